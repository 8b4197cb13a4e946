#pragma once

#include "servers/dovecotserver.h"
#include "servers/tlsfixture.h"

#include <QString>

// One Dovecot over TLS for a whole test binary, with the users "user1" to
// "userN" (password "secret"); each test case takes the next unused user, so
// no case sees another's mail.
//
//   DovecotUsers dovecot{8};          // a member of the test object
//   QVERIFY2(dovecot.start(), qPrintable(dovecot.error()));   // initTestCase
//   const QString user = dovecot.nextUser();                  // per case
class DovecotUsers
{
public:
    explicit DovecotUsers(int users);

    // Trusts the fixture's CA in this process, adds the users and starts the
    // server. Users with other passwords go in through server().addUser()
    // before this.
    bool start();
    QString error() const { return m_error; }
    DovecotServer &server() { return m_imap; }

    // "userK" for the next K, empty once all are taken.
    QString nextUser();
    static QString password() { return QStringLiteral("secret"); }

private:
    TlsFixture m_tls;
    DovecotServer m_imap{m_tls};
    int m_users;
    int m_taken = 0;
    QString m_error;
};
