#pragma once

#include "mail/mailrecords.h"
#include "mail/storedrecords.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>

#include <memory>

class SecretKeeper;

// The accounts' passwords and refresh tokens on their way to and from the
// stored records: kept by the keeper's writer, read from whichever store a
// record names. Remembers each account's stored secret members, so that a
// save rewrites (and the keyring sees) only the secrets that changed, and a
// secret that could not be read keeps its record untouched until the user
// gives a new one.
class AccountSecrets
{
public:
    explicit AccountSecrets(std::shared_ptr<SecretKeeper> keeper);

    // The accounts of a stored array. One whose secret cannot be read comes
    // back without it and with lastError "Sifre okunamadi: <why>".
    QList<EmailAccount> read(const QByteArray &json, const QString &scope);
    // The stored array for `accounts`. Secrets go to the writer; one it
    // refuses goes to the file form, said on stderr. Items of accounts gone
    // since the last read or write are dropped from their store.
    QByteArray write(const QList<EmailAccount> &accounts, const QString &scope);

private:
    struct Held
    {
        SecretFields fields;
        QString pass;
        QString refreshToken;
        bool unreadable = false;
    };
    SecretFields seal(const EmailAccount &account, const QString &scope);
    void forgetItems(const Held &held, const QString &scope, const QString &account, bool pass, bool token);

    std::shared_ptr<SecretKeeper> m_keeper;
    // By lower-cased address.
    QHash<QString, Held> m_held;
};
