#include "transport/imapactions.h"

#include <algorithm>

#include <QRegularExpression>

#include "transport/imapparse.h"

namespace {
// A lying server must not make a reader expand a set without bound.
constexpr int kMaxSetUids = 1000;

QList<QByteArray> replyLines(const QByteArray &reply)
{
    QList<QByteArray> lines = imapLinesOutsideLiterals(reply);
    for (QByteArray &l : lines) {
        if (l.endsWith('\r'))
            l.chop(1);
    }
    return lines;
}

// "OK", "NO" or "BAD" of the tagged status line; empty without one.
QByteArray replyStatus(const QByteArray &reply)
{
    const QList<QByteArray> lines = replyLines(reply);
    for (auto it = lines.crbegin(); it != lines.crend(); ++it) {
        if (it->isEmpty() || it->startsWith('*') || it->startsWith('+'))
            continue;
        const QList<QByteArray> words = it->split(' ');
        if (words.size() >= 2)
            return words.at(1).toUpper();
    }
    return QByteArray();
}

QString detailOf(const QByteArray &reply)
{
    const QString d = imapFailureDetail(QString::fromUtf8(reply), 160);
    return d.isEmpty() ? QStringLiteral("sunucu yanit vermedi") : QStringLiteral("sunucu reddetti (%1)").arg(d);
}

bool expandSet(const QByteArray &set, QList<quint32> *out)
{
    for (const QByteArray &part : set.split(',')) {
        const QList<QByteArray> ends = part.split(':');
        bool ok1 = false, ok2 = true;
        const quint32 a = ends.value(0).toUInt(&ok1);
        const quint32 b = ends.size() > 1 ? ends.at(1).toUInt(&ok2) : a;
        if (!ok1 || !ok2 || ends.size() > 2 || a == 0 || b == 0)
            return false;
        const qint64 step = a <= b ? 1 : -1;
        for (qint64 v = a;; v += step) {
            if (out->size() >= kMaxSetUids)
                return false;
            out->append(quint32(v));
            if (v == qint64(b))
                break;
        }
    }
    return true;
}

// "UIDVALIDITY:UID" into its parts; false unless both are positive numbers.
bool splitServerUid(const QString &serverUid, QString *validity, quint32 *uid)
{
    const QStringList parts = serverUid.split(QLatin1Char(':'));
    bool okV = false, okU = false;
    if (parts.size() != 2)
        return false;
    const quint32 v = parts.at(0).toUInt(&okV);
    *uid = parts.at(1).toUInt(&okU);
    *validity = QString::number(v);
    return okV && okU && v > 0 && *uid > 0 && parts.at(0) == *validity;
}

QString prefixOf(MailActionKind kind)
{
    switch (kind) {
    case MailActionKind::MarkSeen:
        return QStringLiteral("Okundu isaretlenemedi");
    case MailActionKind::MoveToTrash:
        return QStringLiteral("Tasinamadi");
    case MailActionKind::Restore:
        break;
    }
    return QStringLiteral("Geri alinamadi");
}
} // namespace

ImapSelectInfo parseSelectInfo(const QByteArray &reply)
{
    static const QRegularExpression validity(QStringLiteral("^\\* OK \\[UIDVALIDITY (\\d{1,10})\\]"),
                                             QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression next(QStringLiteral("^\\* OK \\[UIDNEXT (\\d{1,10})\\]"),
                                         QRegularExpression::CaseInsensitiveOption);
    ImapSelectInfo info;
    for (const QByteArray &line : replyLines(reply)) {
        const QString l = QString::fromLatin1(line);
        const auto v = validity.match(l);
        if (v.hasMatch())
            info.uidValidity = QString::number(v.captured(1).toUInt());
        const auto n = next.match(l);
        if (n.hasMatch())
            info.uidNext = n.captured(1).toUInt();
    }
    return info;
}

QString parseTrashFolder(const QByteArray &listReply)
{
    for (const QByteArray &line : replyLines(listReply)) {
        if (!line.toUpper().startsWith("* LIST ("))
            continue;
        const qsizetype close = line.indexOf(')');
        if (close < 0)
            continue;
        const QList<QByteArray> flags = line.mid(8, close - 8).toLower().split(' ');
        if (!flags.contains("\\trash"))
            continue;
        QByteArray rest = line.mid(close + 1).trimmed();
        // The hierarchy delimiter: a quoted character or NIL.
        if (rest.startsWith('"')) {
            const qsizetype end = rest.at(1) == '\\' ? 3 : 2;
            if (rest.size() <= end || rest.at(end) != '"')
                continue;
            rest = rest.mid(end + 1).trimmed();
        } else if (rest.toUpper().startsWith("NIL")) {
            rest = rest.mid(3).trimmed();
        } else {
            continue;
        }
        QByteArray name;
        if (rest.startsWith('"')) {
            bool closed = false;
            for (qsizetype i = 1; i < rest.size(); ++i) {
                const char c = rest.at(i);
                if (c == '\\' && i + 1 < rest.size()) {
                    name += rest.at(++i);
                } else if (c == '"') {
                    closed = true;
                    break;
                } else {
                    name += c;
                }
            }
            if (!closed)
                continue;
        } else {
            name = rest;
            if (name.contains(' ') || name.contains('"'))
                continue;
        }
        // A control character (a bare CR) would end or split the command
        // the name goes into.
        const bool control = std::any_of(name.begin(), name.end(), [](char c) {
            return static_cast<unsigned char>(c) < 0x20 || c == 0x7F;
        });
        if (!name.isEmpty() && !control)
            return QString::fromUtf8(name);
    }
    return QString();
}

quint32 ImapCopyUid::destination(quint32 uid) const
{
    if (from.size() != to.size())
        return 0;
    const qsizetype i = from.indexOf(uid);
    return i < 0 ? 0 : to.at(i);
}

ImapCopyUid parseCopyUid(const QByteArray &reply)
{
    static const QRegularExpression re(QStringLiteral("\\[COPYUID (\\d{1,10}) ([0-9:,]{1,4000}) ([0-9:,]{1,4000})\\]"),
                                       QRegularExpression::CaseInsensitiveOption);
    for (const QByteArray &line : replyLines(reply)) {
        const auto m = re.match(QString::fromLatin1(line));
        if (!m.hasMatch())
            continue;
        ImapCopyUid c;
        if (!expandSet(m.captured(2).toLatin1(), &c.from) || !expandSet(m.captured(3).toLatin1(), &c.to)
            || c.from.size() != c.to.size() || m.captured(1).toUInt() == 0)
            continue;
        c.uidValidity = QString::number(m.captured(1).toUInt());
        return c;
    }
    return ImapCopyUid();
}

QByteArray imapMailboxArg(const QString &name)
{
    return '"' + imapQuoted(name).toUtf8() + '"';
}

ImapActionRun::ImapActionRun(const QList<MailAction> &actions, const QStringList &capabilities,
                             const QString &inboxUidValidity)
    : m_actions(actions), m_caps(capabilities), m_inboxValidity(inboxUidValidity)
{
}

bool ImapActionRun::hasCap(const char *cap) const
{
    return m_caps.contains(QLatin1String(cap));
}

void ImapActionRun::finish(MailActionResult::Outcome outcome, const QString &message)
{
    MailActionResult r;
    r.action = current();
    r.outcome = outcome;
    if (outcome == MailActionResult::Outcome::Failed)
        r.message = prefixOf(r.action.kind) + QStringLiteral(": ") + message;
    if (outcome == MailActionResult::Outcome::Done && m_newUid > 0 && !m_newValidity.isEmpty()) {
        r.newUid = m_newValidity + QLatin1Char(':') + QString::number(m_newUid);
        r.newFolder = r.action.kind == MailActionKind::MoveToTrash ? m_trash : QString();
    }
    m_results.append(r);
    m_newUid = 0;
    m_newValidity.clear();
    m_await = Await::None;
    ++m_index;
}

bool ImapActionRun::next(QByteArray *command)
{
    if (m_followUp) {
        // The second and third step of a copy: by the mail's UID only.
        m_followUp = false;
        QString v;
        quint32 uid = 0;
        splitServerUid(current().serverUid, &v, &uid);
        const QByteArray u = QByteArray::number(uid);
        *command = m_await == Await::Delete ? "UID STORE " + u + " +FLAGS.SILENT (\\Deleted)" : "UID EXPUNGE " + u;
        return true;
    }
    if (m_await != Await::None)
        return false; // the previous command is still unanswered
    return plan(command);
}

bool ImapActionRun::plan(QByteArray *command)
{
    using O = MailActionResult::Outcome;
    while (m_index < m_actions.size()) {
        const MailAction &a = current();
        QString validity;
        quint32 uid = 0;
        const bool inInbox = a.folder.isEmpty() || a.folder.compare(QLatin1String("INBOX"), Qt::CaseInsensitive) == 0;
        if (!splitServerUid(a.serverUid, &validity, &uid)) {
            finish(O::Failed, QStringLiteral("postanin sunucudaki yeri bilinmiyor"));
            continue;
        }
        const bool moves = a.kind != MailActionKind::MarkSeen;
        if (moves && !m_capsAsked && !hasCap("MOVE") && !hasCap("UIDPLUS")) {
            m_capsAsked = true;
            m_await = Await::Capability;
            *command = "CAPABILITY";
            return true;
        }
        if (moves && !hasCap("MOVE") && !hasCap("UIDPLUS")) {
            finish(O::Failed, QStringLiteral("sunucu MOVE ve UIDPLUS desteklemiyor"));
            continue;
        }
        const QString from = a.kind == MailActionKind::Restore ? a.folder : QString();
        if ((a.kind == MailActionKind::Restore && inInbox) || (a.kind != MailActionKind::Restore && !inInbox)) {
            finish(O::Failed, QStringLiteral("postanin klasoru beklenen degil"));
            continue;
        }
        if (a.kind == MailActionKind::MoveToTrash && !m_listed) {
            m_await = Await::List;
            *command = hasCap("SPECIAL-USE") ? QByteArray("LIST (SPECIAL-USE) \"\" \"*\"") : QByteArray("LIST \"\" \"*\"");
            return true;
        }
        if (a.kind == MailActionKind::MoveToTrash && m_trash.isEmpty()) {
            finish(O::Failed, QStringLiteral("sunucuda cop kutusu yok"));
            continue;
        }
        if (m_selected != from) {
            m_await = from.isEmpty() ? Await::SelectInbox : Await::SelectTrash;
            *command = "SELECT " + (from.isEmpty() ? QByteArray("INBOX") : imapMailboxArg(from));
            return true;
        }
        const QString current = from.isEmpty() ? m_inboxValidity : m_selectedValidity;
        if (current.isEmpty() || current != validity) {
            finish(O::Failed, QStringLiteral("posta kutusu yenilenmis, posta artik o numarada degil"));
            continue;
        }
        const QByteArray u = QByteArray::number(uid);
        if (a.kind == MailActionKind::MarkSeen) {
            m_await = Await::Store;
            *command = "UID STORE " + u + " +FLAGS.SILENT (\\Seen)";
            return true;
        }
        if (!a.copied.isEmpty() && splitServerUid(a.copied, &m_newValidity, &m_newUid)) {
            // An earlier session's copy stands: only the original goes.
            m_await = Await::Delete;
            *command = "UID STORE " + u + " +FLAGS.SILENT (\\Deleted)";
            return true;
        }
        const QByteArray to = a.kind == MailActionKind::MoveToTrash ? imapMailboxArg(m_trash) : QByteArray("INBOX");
        m_await = hasCap("MOVE") ? Await::Move : Await::Copy;
        *command = (hasCap("MOVE") ? "UID MOVE " : "UID COPY ") + u + ' ' + to;
        return true;
    }
    if (!m_selected.isEmpty() && !m_finalSelect) {
        // The session goes on in INBOX.
        m_finalSelect = true;
        m_await = Await::SelectInbox;
        *command = "SELECT INBOX";
        return true;
    }
    return false;
}

void ImapActionRun::reply(const QByteArray &reply)
{
    using O = MailActionResult::Outcome;
    const bool ok = replyStatus(reply) == "OK";
    const Await was = m_await;
    m_await = Await::None;
    const auto uidOf = [this] {
        QString v;
        quint32 uid = 0;
        splitServerUid(current().serverUid, &v, &uid);
        return uid;
    };
    switch (was) {
    case Await::None:
        return;
    case Await::Capability:
        m_caps = imapCapabilities(reply);
        return;
    case Await::List:
        m_listed = true;
        if (ok)
            m_trash = parseTrashFolder(reply);
        return;
    case Await::SelectTrash:
        if (!ok) {
            // A refused SELECT leaves no folder selected.
            m_selected = QStringLiteral("\x01");
            finish(O::Failed, QStringLiteral("cop kutusu acilamadi, ") + detailOf(reply));
            return;
        }
        m_selected = current().folder;
        m_selectedValidity = parseSelectInfo(reply).uidValidity;
        return;
    case Await::SelectInbox:
        if (!ok) {
            // Without INBOX nothing else is safe to send.
            m_selected = QStringLiteral("\x01");
            m_finalSelect = true;
            abandon();
            return;
        }
        m_selected.clear();
        m_inboxValidity = parseSelectInfo(reply).uidValidity;
        return;
    case Await::Store:
        if (ok)
            finish(O::Done);
        else
            finish(O::Failed, detailOf(reply));
        return;
    case Await::Move:
    case Await::Copy: {
        if (!ok) {
            finish(O::Failed, detailOf(reply));
            return;
        }
        const ImapCopyUid c = parseCopyUid(reply);
        const quint32 uid = uidOf();
        m_newUid = c.destination(uid);
        m_newValidity = c.uidValidity;
        if (m_newUid == 0 && hasCap("UIDPLUS")) {
            // A server that names every copy named none: the UID was not there.
            finish(O::Failed, QStringLiteral("posta sunucuda artik yok"));
            return;
        }
        if (was == Await::Copy) {
            // The copy stands; the original goes by its UID alone (never a
            // plain EXPUNGE, which would take other deleted mails too).
            m_await = Await::Delete;
            m_followUp = true;
            return;
        }
        if (current().kind == MailActionKind::Restore && m_newUid > 0)
            m_restored.append(m_newUid);
        finish(O::Done);
        return;
    }
    case Await::Delete:
        if (!ok) {
            finish(O::Failed, QStringLiteral("kopyalandi ama asli silinemedi, ") + detailOf(reply));
            return;
        }
        m_await = Await::Expunge;
        m_followUp = true;
        return;
    case Await::Expunge:
        if (!ok) {
            finish(O::Failed, QStringLiteral("kopyalandi ama asli silinemedi, ") + detailOf(reply));
            return;
        }
        if (current().kind == MailActionKind::Restore && m_newUid > 0)
            m_restored.append(m_newUid);
        finish(O::Done);
        return;
    }
}

void ImapActionRun::abandon()
{
    const bool copyStands = m_await == Await::Delete || m_await == Await::Expunge;
    m_await = Await::None;
    m_followUp = false;
    if (copyStands && m_index < m_actions.size() && m_newUid > 0 && !m_newValidity.isEmpty()) {
        // Sent again whole, the move would copy the mail a second time.
        MailActionResult r;
        r.action = current();
        r.action.copied = m_newValidity + QLatin1Char(':') + QString::number(m_newUid);
        m_results.append(r);
        m_newUid = 0;
        m_newValidity.clear();
        ++m_index;
    }
    while (m_index < m_actions.size())
        finish(MailActionResult::Outcome::NotSent);
}
