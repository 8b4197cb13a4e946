// Fuzzes the readers of IMAP server replies: search results, the UID and
// UIDVALIDITY, failure details, the tagged end of a reply, and the body and
// preview rules, the capability and AUTHENTICATE readers, and the readers
// and runners of the mail commands and of fetching.
#include <QByteArray>
#include <QString>

#include <cstdint>
#include <cstdlib>

#include "transport/imapactions.h"
#include "transport/imapfetch.h"
#include "transport/imapparse.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const QString reply = QString::fromUtf8(bytes);

    const QStringList numbers = parseSearch(reply);
    for (const QString &n : numbers) {
        bool ok = false;
        n.toULongLong(&ok);
        if (!ok && n.size() < 19)
            std::abort();
    }
    const QString seq = numbers.value(0, QStringLiteral("1"));
    const QString uid = parseFetchUid(bytes, seq);
    for (const QChar c : uid) {
        if (!c.isDigit())
            std::abort();
    }
    parseUidValidity(reply);
    if (imapFailureDetail(reply, 160).size() > 160)
        std::abort();
    pollLoginFailureText(reply);

    const QString body = imapBodyFromTextReply(reply);
    if (body.size() > 2500)
        std::abort();
    // The same octets as header fields and as text of a fetched mail.
    if (imapMailBody(bytes, bytes).size() > 2500)
        std::abort();
    imapTaggedDone(bytes, "a06");
    // Sign-in with a token: the offered capabilities and the exchange's state.
    for (const QString &cap : imapCapabilities(bytes)) {
        if (cap.isEmpty())
            std::abort();
        for (const QChar c : cap) {
            if (c.unicode() <= 0x20 || c.unicode() >= 0x7f || (c >= QLatin1Char('a') && c <= QLatin1Char('z')))
                std::abort();
        }
    }
    const ImapAuthState auth = imapAuthState(bytes, "a02");
    if (auth != ImapAuthState::Incomplete && !bytes.contains('\n'))
        std::abort();
    if (imapPreview(body, reply).size() > 140)
        std::abort();
    if (imapMessageId(QStringLiteral("a@b"), QStringLiteral("1"), uid, reply).size() != 37)
        std::abort();
    // Mail commands: whatever the server answers, the runner ends, with one
    // result per command, and never names a UID it was not given.
    parseSelectInfo(bytes);
    if (parseTrashFolder(bytes).contains(QLatin1Char('\n')) || parseTrashFolder(bytes).contains(QLatin1Char('\r')))
        std::abort();
    const ImapCopyUid copy = parseCopyUid(bytes);
    if (copy.from.size() != copy.to.size() || copy.from.size() > 1000)
        std::abort();
    const QList<MailAction> actions{{MailActionKind::MoveToTrash, QStringLiteral("7:42"), {}, {}},
                                    {MailActionKind::Restore, QStringLiteral("3:9"), QStringLiteral("Trash"), {}},
                                    {MailActionKind::MarkSeen, QStringLiteral("7:43"), {}, {}}};
    ImapActionRun run(actions, imapCapabilities(bytes), QStringLiteral("7"));
    QByteArray command;
    int steps = 0;
    while (run.next(&command)) {
        if (++steps > 40 || command.contains('\n') || command.contains('\r'))
            std::abort();
        if (command.startsWith("UID ") && !command.contains(" 42") && !command.contains(" 9")
            && !command.contains(" 43"))
            std::abort();
        run.reply(bytes);
    }
    if (run.results().size() != actions.size())
        std::abort();
    // Fetching: every answer the same octets; the runner ends, never goes
    // below the last UID and takes a UID at most once, above the last.
    for (const ImapFetchMode mode : {ImapFetchMode::FirstRun, ImapFetchMode::Above}) {
        ImapFetchRun fetch(QStringLiteral("a@b"), QStringLiteral("7"), 40, mode);
        steps = 0;
        while (fetch.next(&command)) {
            if (++steps > 40 || command.contains('\n') || command.contains('\r'))
                std::abort();
            fetch.reply(bytes);
        }
        if (fetch.lastUid() < 40 || fetch.items().size() > 8)
            std::abort();
        QStringList uids;
        for (const MailItem &m : fetch.items()) {
            if (mode == ImapFetchMode::Above && (uids.contains(m.serverUid) || m.serverUid.section(':', 1).toUInt() <= 40))
                std::abort();
            uids << m.serverUid;
        }
    }
    return 0;
}
