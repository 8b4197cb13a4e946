#include "app/replycontroller.h"

#include "mail/mailstore.h"
#include "recognition/headerdecode.h"
#include "transport/smtpclient.h"

ReplyController::ReplyController(MailStore *store, SmtpClient *smtp, QWidget *window, MessageFn message)
    : QObject(window), m_store(store), m_smtp(smtp), m_window(window), m_message(std::move(message))
{
    connect(m_smtp, &SmtpClient::replyFinished, this, &ReplyController::onReplyFinished);
    connect(m_smtp, &SmtpClient::sendLog, this, &ReplyController::onSendLog);
}

void ReplyController::open(const QString &account, const QString &from, const QString &subject,
                           const QString &mailId)
{
    const QList<EmailAccount> accounts = m_store->accounts();
    const EmailAccount *found = nullptr;
    for (const EmailAccount &a : accounts)
        if (sameAccount(a.address, account))
            found = &a;
    if (!found) {
        m_message(QMessageBox::Warning, QStringLiteral("Hesap bulunamadi: ") + account);
        return;
    }
    // A window still sending stays open for its result; an idle one gives way.
    if (m_current && !m_current->isBusy()) {
        m_current->close();
        m_current->deleteLater();
    }
    // A From header carries a display name ("GitHub <noreply@github.com>");
    // the server wants the bare address.
    auto *dialog = new ReplyDialog(*found, senderAddress(from), subject, m_window);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    QString inReplyTo, references;
    if (!mailId.isEmpty()) {
        for (const MailItem &m : m_store->mails()) {
            if (m.id == mailId) {
                inReplyTo = m.messageId;
                references = m.references;
                break;
            }
        }
    }
    connect(dialog, &ReplyDialog::sendRequested, this,
            [this, dialog, inReplyTo, references] { send(dialog, inReplyTo, references); });
    m_current = dialog;
    dialog->show();
}

void ReplyController::send(ReplyDialog *dialog, const QString &inReplyTo, const QString &references)
{
    if (dialog->isBusy())
        return;
    const QString to = dialog->toAddress();
    const QString body = dialog->body();
    if (to.isEmpty() || body.isEmpty()) {
        dialog->setStatus(QStringLiteral("Alici ve mesaj gerekli."));
        m_message(QMessageBox::Warning, QStringLiteral("Alici ve mesaj gerekli."));
        return;
    }
    dialog->setBusy(true);
    dialog->setStatus(QStringLiteral("Gonderiliyor..."));
    const int request = m_smtp->sendReply(dialog->fromAccount(), to, dialog->subject(), body, inReplyTo, references);
    m_sending.insert(request, dialog);
    m_order.append(request);
}

void ReplyController::onSendLog(const QString &line)
{
    if (m_order.isEmpty())
        return;
    if (ReplyDialog *d = m_sending.value(m_order.first()))
        d->appendDetail(line);
}

void ReplyController::onReplyFinished(int request, bool ok, const QString &msg)
{
    m_order.removeAll(request);
    const QPointer<ReplyDialog> dialog = m_sending.take(request);
    if (!dialog) {
        resultWithoutDialog(ok, msg);
        return;
    }
    emit status(msg);
    dialog->setBusy(false);
    if (ok) {
        dialog->close();
        m_message(QMessageBox::Information, msg);
        return;
    }
    // The window and what was written stay; the reason shows in it.
    dialog->setStatus(msg);
}

void ReplyController::resultWithoutDialog(bool ok, const QString &msg)
{
    emit status(msg);
    if (!ok)
        m_message(QMessageBox::Warning, msg);
}
