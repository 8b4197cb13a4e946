#include "transport/imapfetch.h"

#include <QRegularExpression>

#include <algorithm>

#include "recognition/headerdecode.h"
#include "transport/imapparse.h"
#include "transport/smtpparse.h"

namespace {
// The MIME fields come along so that the text can be decoded.
const char *const kHeaderFields = "(UID BODY.PEEK[HEADER.FIELDS (FROM SUBJECT DATE MESSAGE-ID REFERENCES "
                                  "MIME-VERSION CONTENT-TYPE CONTENT-TRANSFER-ENCODING)])";
} // namespace

QString parseAnyFetchUid(const QByteArray &reply)
{
    static const QRegularExpression fetch(QStringLiteral("^\\* \\d+ FETCH \\("),
                                          QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression uid(QStringLiteral("[ (]UID (\\d+)"), QRegularExpression::CaseInsensitiveOption);
    for (const QByteArray &line : imapLinesOutsideLiterals(reply)) {
        const QString text = QString::fromLatin1(line);
        const auto start = fetch.match(text);
        if (!start.hasMatch())
            continue;
        const auto m = uid.match(text.mid(start.capturedEnd() - 1));
        if (m.hasMatch())
            return m.captured(1);
    }
    return QString();
}

ImapFetchRun::ImapFetchRun(const QString &account, const QString &uidValidity, quint32 lastUid, ImapFetchMode mode,
                           const Clock &clock)
    : m_account(account), m_validity(uidValidity), m_lastUid(lastUid), m_mode(mode), m_clock(clock)
{
}

bool ImapFetchRun::next(QByteArray *command)
{
    if (m_step == Step::Done || m_sent)
        return false;
    const QByteArray prefix = byUid() ? "UID " : "";
    switch (m_step) {
    case Step::Search:
        if (m_mode == ImapFetchMode::Above)
            *command = "UID SEARCH UID " + QByteArray::number(quint64(m_lastUid) + 1) + ":*";
        else
            *command = prefix + "SEARCH UNSEEN";
        break;
    case Step::SearchAll:
        *command = "SEARCH ALL";
        break;
    case Step::Header:
        *command = prefix + "FETCH " + m_current.toLatin1() + ' ' + kHeaderFields;
        break;
    case Step::Text:
        *command = prefix + "FETCH " + m_current.toLatin1() + " BODY.PEEK[TEXT]<0." + QByteArray::number(kFetchTextOctets)
            + '>';
        break;
    case Step::Done:
        return false;
    }
    m_sent = true;
    return true;
}

void ImapFetchRun::planFrom(const QStringList &found, int keep)
{
    if (!byUid()) {
        m_queue = keepLast(found, keep);
        return;
    }
    // A server may answer "n:*" with its last mail even when that one is
    // older than n, and name a UID twice: only UIDs above the last count.
    QList<quint32> uids;
    for (const QString &s : found) {
        bool ok = false;
        const quint32 u = s.toUInt(&ok);
        if (ok && u > m_lastUid && !m_taken.contains(s))
            uids.append(u);
    }
    std::sort(uids.begin(), uids.end());
    uids.erase(std::unique(uids.begin(), uids.end()), uids.end());
    QStringList out;
    for (quint32 u : std::as_const(uids))
        out.append(QString::number(u));
    m_queue = keepLast(out, keep);
}

void ImapFetchRun::advance()
{
    m_header.clear();
    m_currentUid.clear();
    if (m_queue.isEmpty()) {
        m_step = Step::Done;
        return;
    }
    m_current = m_queue.takeFirst();
    m_step = Step::Header;
}

void ImapFetchRun::reply(const QByteArray &reply)
{
    if (!m_sent)
        return;
    m_sent = false;
    switch (m_step) {
    case Step::Search: {
        const QStringList found = parseSearch(QString::fromUtf8(reply));
        // The first run shows the last few mails even when all are read;
        // those come in as read.
        if (found.isEmpty() && m_mode == ImapFetchMode::FirstRun) {
            m_fromAll = true;
            m_step = Step::SearchAll;
            return;
        }
        planFrom(found, 8);
        advance();
        return;
    }
    case Step::SearchAll:
        planFrom(parseSearch(QString::fromUtf8(reply)), 3);
        advance();
        return;
    case Step::Header: {
        if (reply.isEmpty()) {
            advance();
            return;
        }
        // The UID rides along with the headers: it names the message for
        // good, while the sequence number shifts when an older one goes.
        QString uid = byUid() ? parseAnyFetchUid(reply) : parseFetchUid(reply, m_current);
        if (byUid()) {
            if (uid.isEmpty())
                uid = m_current;
            if (uid != m_current || m_taken.contains(uid)) {
                advance();
                return;
            }
        }
        const QString header = QString::fromUtf8(reply);
        if (headerValue(header, QStringLiteral("From")).isEmpty()
            && headerValue(header, QStringLiteral("Subject")).isEmpty()) {
            // Nothing to show: never asked for again.
            m_lastUid = qMax(m_lastUid, uid.toUInt());
            advance();
            return;
        }
        m_header = reply;
        m_currentUid = uid;
        m_step = Step::Text;
        return;
    }
    case Step::Text: {
        if (byUid()) {
            const QString uid = parseAnyFetchUid(reply);
            if (!uid.isEmpty() && uid != m_current) {
                advance();
                return;
            }
        }
        const QString header = QString::fromUtf8(m_header);
        MailItem item;
        item.account = m_account;
        item.from = headerValue(header, QStringLiteral("From"));
        item.subject = headerValue(header, QStringLiteral("Subject"));
        item.sent = parseMailDate(headerValue(header, QStringLiteral("Date")));
        item.messageId = smtpMessageIds(headerValue(header, QStringLiteral("Message-ID"))).section(QLatin1Char(' '), 0, 0);
        item.references = smtpMessageIds(headerValue(header, QStringLiteral("References")));
        item.body = imapMailBody(m_header, reply, &item.emphasis);
        item.preview = imapPreview(item.body, item.subject);
        item.id = imapMessageId(m_account, m_validity, m_currentUid, header);
        if (!m_currentUid.isEmpty() && !m_validity.isEmpty())
            item.serverUid = m_validity + QLatin1Char(':') + m_currentUid;
        item.seen = m_fromAll;
        item.received = m_clock.nowLocal();
        m_items.append(item);
        if (!m_currentUid.isEmpty()) {
            m_taken.insert(m_currentUid);
            m_lastUid = qMax(m_lastUid, m_currentUid.toUInt());
        }
        advance();
        return;
    }
    case Step::Done:
        return;
    }
}
