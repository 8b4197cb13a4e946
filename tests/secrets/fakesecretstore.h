#pragma once

#include "secrets/secretstore.h"

#include <QHash>
#include <QString>

// A keyring in memory: items by scope, account and field, every call counted;
// `refuse` makes it fail like a locked keyring.
struct FakeKeyring final : SecretStore
{
    QHash<QString, QString> items;
    int keeps = 0;
    int forgets = 0;
    bool refuse = false;

    static QString id(const SecretRef &r) { return r.scope + QLatin1Char('|') + r.account + QLatin1Char('|') + r.field; }
    QString form() const override { return QLatin1String(kKeyringSecretForm); }
    bool keep(const SecretRef &ref, const QString &secret, QString *recordText, QString *error) override
    {
        ++keeps;
        if (refuse) {
            *error = QStringLiteral("kilitli");
            return false;
        }
        items.insert(id(ref), secret);
        *recordText = QStringLiteral("item");
        return true;
    }
    bool take(const SecretRef &ref, const QString &, QString *secret, QString *error) override
    {
        if (!items.contains(id(ref))) {
            *error = QStringLiteral("kayit yok");
            return false;
        }
        *secret = items.value(id(ref));
        return true;
    }
    bool forget(const SecretRef &ref) override
    {
        ++forgets;
        items.remove(id(ref));
        return true;
    }
};
