#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include "servers/hostprocess.h"

class TlsFixture;

// A real SMTP server for tests (aiosmtpd, run by /usr/bin/python3 from
// smtpserver.py beside this file): loopback, a free port, implicit TLS or
// STARTTLS with the fixture's localhost certificate, AUTH LOGIN for one
// user. Accepted messages are kept and can be read back.
//
//   SmtpTestServer smtp(tls);
//   QVERIFY2(smtp.start(SmtpTestServer::StartTls, "alice@localhost", "secret"), qPrintable(smtp.error()));
//   ... send to 127.0.0.1:smtp.port() ...
//   QVERIFY(smtp.waitForMessages(1, 5000));
//   smtp.messages().first().content
class SmtpTestServer
{
public:
    enum Security { ImplicitTls, StartTls };
    struct Message
    {
        QString mailFrom;
        QStringList rcptTos;
        QString login;
        QByteArray content; // as received, dot-stuffing already undone
    };

    explicit SmtpTestServer(const TlsFixture &tls);
    ~SmtpTestServer();
    SmtpTestServer(const SmtpTestServer &) = delete;
    SmtpTestServer &operator=(const SmtpTestServer &) = delete;

    bool start(Security security, const QString &user, const QString &password);
    // Before start: AUTH XOAUTH2 too, its tokens checked at this
    // introspection URL (OAuthTestServer::introspectionUrl).
    void setOAuthIntrospection(const QString &url) { m_introspect = url; }
    void stop();
    QString error() const { return m_error; }
    QString host() const { return QStringLiteral("127.0.0.1"); }
    quint16 port() const { return m_port; }

    // Messages accepted so far, in order.
    QList<Message> messages() const;
    bool waitForMessages(int count, int timeoutMs) const;

private:
    const TlsFixture &m_tls;
    QTemporaryDir m_dir{hostTempTemplate()};
    HostProcess m_process;
    quint16 m_port = 0;
    QString m_error;
    QString m_introspect;
};
