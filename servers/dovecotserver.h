#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

#include "servers/hostprocess.h"

class TlsFixture;

// A real Dovecot IMAP server for tests: implicit TLS on a free loopback port
// with the fixture's localhost certificate, passwd-file users (plain
// passwords) and one maildir per user, everything in a temporary folder.
// Starting takes well under a second, stopping about one: start one server
// per test binary and give each test case a user of its own (addUser).
//
//   TlsFixture tls; tls.trustInProcess();
//   DovecotServer imap(tls);
//   imap.addUser("alice", "secret");
//   QVERIFY2(imap.start(), qPrintable(imap.error()));
//   imap.deliver("alice", DovecotServer::message("a@x.test", "Kod", "Kodunuz 123456"));
//   // account: host imap.host(), port imap.port(), user "alice", pass "secret"
//
// Needs root (the mail files belong to "nobody"). Dovecot is a Linux
// program: the Windows build reaches it through the host agent (HostProcess).
class DovecotServer
{
public:
    explicit DovecotServer(const TlsFixture &tls);
    ~DovecotServer();
    DovecotServer(const DovecotServer &) = delete;
    DovecotServer &operator=(const DovecotServer &) = delete;

    // Before start: XOAUTH2 and OAUTHBEARER too, their tokens checked at this
    // introspection URL (OAuthTestServer::introspectionUrl). Users signing
    // in so still need addUser (any password) for their mailbox.
    void setOAuthIntrospection(const QString &url) { m_introspect = url; }

    // Starts the server and waits for its TLS greeting.
    bool start();
    void stop();
    QString error() const { return m_error; }
    QString host() const { return QStringLiteral("127.0.0.1"); }
    quint16 port() const { return m_port; }
    // Dovecot's own log, for failure messages.
    QString log() const;

    // Adds a user with an empty INBOX. Add every user before start(): the
    // running server re-reads its user file at most once a second, so a user
    // added later may be refused for a moment.
    bool addUser(const QString &user, const QString &password);

    // Puts a message into the user's INBOX, unseen unless `seen`. Messages
    // get ascending numbers in delivery order. Returns a key that names the
    // message for removeMessage and isSeen, empty on failure.
    QString deliver(const QString &user, const QByteArray &message, bool seen = false);
    // Deletes a message as another client's expunge would.
    bool removeMessage(const QString &user, const QString &key);
    // Whether the server has flagged the message \Seen.
    bool isSeen(const QString &user, const QString &key) const;

    // Messages in the user's folder (empty: INBOX), expunged ones not counted.
    int messageCount(const QString &user, const QString &folder = QString()) const;

    // A minimal RFC 5322 message with CRLF line ends.
    static QByteArray message(const QString &from, const QString &subject, const QString &body);

private:
    QString maildir(const QString &user) const;
    QString findMessage(const QString &user, const QString &key) const;
    bool waitForGreeting(int ms);

    const TlsFixture &m_tls;
    QTemporaryDir m_dir;
    HostProcess m_process;
    quint16 m_port = 0;
    QString m_error;
    QString m_probeError;
    int m_counter = 0;
    QString m_introspect;
};
