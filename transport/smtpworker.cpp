#include "transport/smtpworker.h"

#include "transport/imapparse.h"
#include "transport/sessionsocket.h"

#include <QRandomGenerator>

SmtpWorker::SmtpWorker(SmtpServerResolver resolver, const SmtpTimeouts &timeouts, QObject *parent)
    : QObject(parent), m_resolver(resolver ? std::move(resolver) : SmtpServerResolver(smtpServerFor)),
      m_timeouts(timeouts)
{
}

SmtpWorker::~SmtpWorker() = default;

void SmtpWorker::workSend(EmailAccount acc, QString to, QString subject, QString body, QString inReplyTo,
                          QString references)
{
    m_queue.run([this, acc, to, subject, body, inReplyTo, references] {
        SmtpMessage message;
        message.from = acc.address;
        message.to = to;
        message.subject = subject;
        message.body = body;
        message.inReplyTo = inReplyTo;
        message.references = references;
        bool ok = false;
        const QString msg = runSend(acc, message, ok);
        emit sendFinished(to, ok, msg);
    });
}

bool SmtpWorker::sendLine(SessionSocket &socket, const QString &text)
{
    return socket.writeAll((text + QLatin1String("\r\n")).toUtf8(), m_timeouts.writeMs);
}

bool SmtpWorker::readReply(SessionSocket &socket, const QStringList &codes, QString *text)
{
    // A reply is read to its last line, so that none of it is taken for the
    // answer to the next command; a complete refusal needs no further wait.
    const QString reply = socket.collectReply(m_timeouts.replyReads, m_timeouts.replyMs,
                                              [](const QString &r, qsizetype) { return smtpReplyComplete(r); });
    if (text)
        *text = reply;
    return !socket.overflowed() && smtpReplyHasCode(reply, codes);
}

QString SmtpWorker::logIn(SessionSocket &socket, const EmailAccount &acc, const SmtpServer &server)
{
    auto failed = [&](const QString &text) {
        return socket.overflowed() ? replyTooLargeText(socket.replyLimit()) : text;
    };
    if (usesOAuth(acc)) {
        if (acc.accessToken.isEmpty() || hasLineBreak(acc.accessToken))
            return QStringLiteral("Giris yapilamadi: hesabin erisim anahtari yok, yeniden oturum ac.");
        const QByteArray initial = saslInitialResponse(acc, server.host, server.port);
        QString reply;
        if (!sendLine(socket, QStringLiteral("AUTH ") + saslMechanismName(acc) + QLatin1Char(' ')
                                  + QString::fromLatin1(initial)))
            return failed(QStringLiteral("AUTH desteklenmiyor."));
        readReply(socket, {QStringLiteral("235")}, &reply);
        QString code = smtpFinalCode(reply);
        if (code == u"334") {
            // The server's error report; an empty line ends the exchange
            // and brings the refusal proper.
            sendLine(socket, QString());
            readReply(socket, {QStringLiteral("235")}, &reply);
            code = smtpFinalCode(reply);
        }
        if (code == u"235")
            return QString();
        if (code == u"535") {
            emit tokenRefused(acc.address);
            return failed(tokenRefusedText());
        }
        return failed(QStringLiteral("AUTH %1 kabul edilmedi: %2")
                          .arg(saslMechanismName(acc), reply.trimmed().left(160)));
    }
    const QString login = accountLoginName(acc);
    if (!sendLine(socket, QStringLiteral("AUTH LOGIN")) || !readReply(socket, {QStringLiteral("334")}))
        return failed(QStringLiteral("AUTH desteklenmiyor."));
    if (!sendLine(socket, QString::fromLatin1(login.toUtf8().toBase64()))
        || !readReply(socket, {QStringLiteral("334")}))
        return failed(QStringLiteral("Kullanici adi reddedildi."));
    if (!sendLine(socket, QString::fromLatin1(acc.pass.toUtf8().toBase64()))
        || !readReply(socket, {QStringLiteral("235")}))
        return failed(QStringLiteral("Sifre reddedildi. Uygulama sifreni kontrol et."));
    return QString();
}

QString SmtpWorker::runSend(const EmailAccount &acc, SmtpMessage message, bool &ok)
{
    ok = false;
    const QString &to = message.to;
    const QString &subject = message.subject;
    // A line break would end the command or header line early and let the
    // rest run as commands or headers of its own (a subject can come from a
    // hostile mail).
    if (hasLineBreak(to))
        return QStringLiteral("Alici gecersiz: adres satir sonu (CR/LF) iceremez.");
    if (hasLineBreak(subject))
        return QStringLiteral("Konu gecersiz: konu satir sonu (CR/LF) iceremez.");
    if (hasLineBreak(acc.address))
        return QStringLiteral("Gonderen gecersiz: adres satir sonu (CR/LF) iceremez.");

    const SmtpServer server = m_resolver(acc);
    SessionSocket socket(m_timeouts.replyLimit);
    // A reply past the size limit fails its step with its own text.
    auto failed = [&](const QString &text) {
        return socket.overflowed() ? replyTooLargeText(socket.replyLimit()) : text;
    };
    const QString codes220 = QStringLiteral("220"), codes250 = QStringLiteral("250");

    const QString where = QStringLiteral("%1:%2").arg(server.host).arg(server.port);
    // The reason in Turkish names the server; Qt's own text goes to the log.
    auto socketFailed = [&](const QString &step) {
        emit sendLog(QStringLiteral("Detay: ") + socket.detailText());
        return step + QStringLiteral(": ") + where + QStringLiteral(" \u2014 ") + socket.failureReason();
    };
    if (server.startTls) {
        emit sendLog(QStringLiteral("Baglaniliyor: %1 (STARTTLS)").arg(where));
        if (!socket.connectPlain(server.host, server.port, m_timeouts.connectMs))
            return socketFailed(QStringLiteral("Baglanilamadi"));
        readReply(socket, {codes220});
        if (!sendLine(socket, QStringLiteral("EHLO mireloplus")) || !readReply(socket, {codes250}))
            return failed(QStringLiteral("EHLO reddedildi."));
        if (!sendLine(socket, QStringLiteral("STARTTLS")) || !readReply(socket, {codes220}))
            return failed(QStringLiteral("STARTTLS desteklenmiyor."));
        // Verified like implicit TLS: the password never goes to an unproven server.
        if (!socket.startEncryption(m_timeouts.startTlsMs))
            return socketFailed(QStringLiteral("TLS kurulamadi"));
        if (!sendLine(socket, QStringLiteral("EHLO mireloplus")) || !readReply(socket, {codes250}))
            return failed(QStringLiteral("EHLO2 reddedildi."));
    } else {
        emit sendLog(QStringLiteral("Baglaniliyor: %1 (SSL)").arg(where));
        if (!socket.connectEncrypted(server.host, server.port, m_timeouts.handshakeMs))
            return socketFailed(QStringLiteral("SSL baglanti hatasi"));
        readReply(socket, {codes220});
        sendLine(socket, QStringLiteral("EHLO mireloplus"));
        readReply(socket, {codes250});
        if (socket.overflowed())
            return replyTooLargeText(socket.replyLimit());
    }

    emit sendLog(QStringLiteral("Giris yapiliyor..."));
    const QString loginFailure = logIn(socket, acc, server);
    if (!loginFailure.isEmpty())
        return loginFailure;
    if (!sendLine(socket, QStringLiteral("MAIL FROM:<") + acc.address + QLatin1Char('>'))
        || !readReply(socket, {codes250}))
        return failed(QStringLiteral("Gonderen reddedildi."));
    if (!sendLine(socket, QStringLiteral("RCPT TO:<") + to + QLatin1Char('>'))
        || !readReply(socket, {codes250, QStringLiteral("251")}))
        return failed(QStringLiteral("Alici reddedildi: ") + to);
    if (!sendLine(socket, QStringLiteral("DATA")) || !readReply(socket, {QStringLiteral("354")}))
        return failed(QStringLiteral("DATA reddedildi."));
    message.date = QDateTime::currentDateTime();
    QByteArray random(16, Qt::Uninitialized);
    QRandomGenerator::system()->fillRange(reinterpret_cast<quint32 *>(random.data()), 4);
    message.messageId = smtpNewMessageId(acc.address, random);
    if (!socket.writeAll(smtpMessageText(message), m_timeouts.messageWriteMs)
        || !readReply(socket, {codes250}))
        return failed(QStringLiteral("Gonderi kabul edilmedi."));
    sendLine(socket, QStringLiteral("QUIT"));
    socket.disconnect();
    emit sendLog(QStringLiteral("Gonderildi: ") + to);
    ok = true;
    return QStringLiteral("Cevap gonderildi: ") + to;
}
