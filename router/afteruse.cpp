#include "router/afteruse.h"

#include "core/settings.h"
#include "mail/codetrust.h"
#include "mail/mailstore.h"

#include <QTimer>

CodeAfterUse::CodeAfterUse(MailStore *store, const AfterUseOptions &options, QObject *parent)
    : QObject(parent), m_store(store), m_options(options), m_undoTimer(new QTimer(this))
{
    qRegisterMetaType<Notice>();
    m_undoTimer->setSingleShot(true);
    connect(m_undoTimer, &QTimer::timeout, this, &CodeAfterUse::closeUndo);
    connect(m_store, &MailStore::actionFinished, this, &CodeAfterUse::onFinished);
}

bool CodeAfterUse::trusted(const MailItem &mail) const
{
    if (mail.demo || mail.silenced)
        return false;
    // The decision the card shows: the one made when the mail came in.
    const QDateTime at = mail.received.isValid() ? mail.received : m_options.clock.now();
    return codeTrust(mail, at, minConfidenceSetting()).trusted;
}

void CodeAfterUse::codeUsed(const QString &mailId)
{
    const MailItem *mail = m_store->mail(mailId);
    if (!mail || m_used.contains(mailId) || !trusted(*mail))
        return;
    AfterUse choice = AfterUse::Leave;
    for (const EmailAccount &a : m_store->accounts())
        if (sameAccount(a.address, mail->account))
            choice = a.afterUse;
    if (choice == AfterUse::Leave)
        return;
    m_used.insert(mailId);
    if (choice == AfterUse::MarkSeen) {
        m_store->requestAction(mailId, MailActionKind::MarkSeen);
        return;
    }
    if (m_store->requestAction(mailId, MailActionKind::MoveToTrash))
        m_moving.insert(mailId);
}

void CodeAfterUse::codeAutoCopied(const MailItem &mail)
{
    const QString id = mail.id;
    QTimer::singleShot(m_options.clipboardMs, this, [this, id] {
        const bool counts = m_options.autoCopyCounts ? m_options.autoCopyCounts() : Settings::autoCopyCountsUsed();
        if (counts)
            codeUsed(id);
    });
}

void CodeAfterUse::onFinished(const MailActionResult &result)
{
    const QString id = result.action.mailId;
    if (result.outcome == MailActionResult::Outcome::Failed) {
        m_moving.remove(id);
        emit status(QStringLiteral("Posta islemi yapilamadi: ") + result.message);
        return;
    }
    if (result.outcome != MailActionResult::Outcome::Done || result.action.kind != MailActionKind::MoveToTrash
        || !m_moving.remove(id))
        return;
    if (result.newUid.isEmpty()) {
        emit status(QStringLiteral("Kod postasi cop kutusuna tasindi (geri alinamaz: sunucu yeni yerini bildirmedi)"));
        return;
    }
    m_undoId = id;
    m_undoUntil = m_options.clock.now().addMSecs(m_options.undoMs);
    m_undoTimer->start(m_options.undoMs);
    const QString text = QStringLiteral("Kod postasi cop kutusuna tasindi. Geri almak icin tikla.");
    emit status(QStringLiteral("Kod postasi cop kutusuna tasindi."));
    emit notice({QStringLiteral("MIRELO+"), text, false, m_options.undoMs, true});
    emit undoAvailable(true);
}

bool CodeAfterUse::undo()
{
    if (m_undoId.isEmpty())
        return false;
    const QString id = m_undoId;
    const bool inTime = m_options.clock.now() < m_undoUntil;
    closeUndo();
    if (!inTime || !m_store->undoMove(id))
        return false;
    emit status(QStringLiteral("Geri aliniyor: posta gelen kutusuna donuyor."));
    return true;
}

void CodeAfterUse::closeUndo()
{
    m_undoTimer->stop();
    if (m_undoId.isEmpty())
        return;
    m_undoId.clear();
    emit undoAvailable(false);
}

void CodeAfterUse::reset()
{
    m_used.clear();
    m_moving.clear();
    closeUndo();
}
