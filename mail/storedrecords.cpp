#include "mail/storedrecords.h"

#include "mail/providers.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>

#include <cmath>

namespace {

QJsonArray arrayOf(const QByteArray &json)
{
    const QJsonDocument doc = QJsonDocument::fromJson(json);
    return doc.isArray() ? doc.array() : QJsonArray();
}

// A port outside 1..65535 (or not a whole number) counts as unset, so that
// a damaged value never wraps into some other port.
quint16 storedPort(const QJsonValue &value)
{
    if (value.isUndefined())
        return 993;
    if (!value.isDouble())
        return 993;
    const double d = value.toDouble();
    if (!std::isfinite(d) || d != std::floor(d) || d < 1 || d > 65535)
        return 0;
    return quint16(d);
}

// A record without a marker is from before the marker: the file form.
QString secretFormOf(const QJsonObject &o)
{
    const QJsonValue form = o.value(QStringLiteral("secretForm"));
    return form.isUndefined() ? QString::fromLatin1(kFileSecretForm) : form.toString();
}

} // namespace

QByteArray accountsToJson(const QList<EmailAccount> &accounts)
{
    QList<SecretFields> secrets;
    secrets.reserve(accounts.size());
    for (const EmailAccount &a : accounts)
        secrets.append(SecretFields{QLatin1String(kFileSecretForm), a.pass, a.refreshToken});
    return accountsToJson(accounts, secrets);
}

QByteArray accountsToJson(const QList<EmailAccount> &accounts, const QList<SecretFields> &secrets)
{
    QJsonArray array;
    for (qsizetype i = 0; i < accounts.size(); ++i) {
        const EmailAccount &a = accounts.at(i);
        const SecretFields secret = secrets.value(i);
        QJsonObject o;
        o.insert(QStringLiteral("address"), a.address);
        o.insert(QStringLiteral("provider"), a.provider);
        o.insert(QStringLiteral("host"), a.host);
        o.insert(QStringLiteral("port"), int(a.port));
        o.insert(QStringLiteral("user"), a.user);
        // Every record names its form; the file form keeps the members older
        // versions read, the others members of their own, so that no version
        // takes a sealed text for a password.
        const bool inFile = secret.form == QLatin1String(kFileSecretForm);
        o.insert(QStringLiteral("secretForm"), secret.form);
        if (inFile)
            o.insert(QStringLiteral("pass"), QString::fromLatin1(secret.pass.toUtf8().toBase64()));
        else if (!secret.pass.isEmpty())
            o.insert(QStringLiteral("passSealed"), secret.pass);
        o.insert(QStringLiteral("enabled"), a.enabled);
        // Optional keys, written only when set: older readers ignore them and
        // records without them read as before.
        if (!a.smtpHost.isEmpty()) {
            o.insert(QStringLiteral("smtpHost"), a.smtpHost);
            if (a.smtpPort != 0)
                o.insert(QStringLiteral("smtpPort"), int(a.smtpPort));
            o.insert(QStringLiteral("smtpStartTls"), a.smtpStartTls);
        }
        if (a.loginRefused)
            o.insert(QStringLiteral("loginRefused"), true);
        if (a.afterUse != AfterUse::Leave)
            o.insert(QStringLiteral("afterUse"), afterUseName(a.afterUse));
        if (usesOAuth(a)) {
            o.insert(QStringLiteral("auth"), mailAuthName(a.auth));
            if (inFile)
                o.insert(QStringLiteral("refreshToken"),
                         QString::fromLatin1(secret.refreshToken.toUtf8().toBase64()));
            else if (!secret.refreshToken.isEmpty())
                o.insert(QStringLiteral("refreshTokenSealed"), secret.refreshToken);
        }
        array.append(o);
    }
    return QJsonDocument(array).toJson(QJsonDocument::Compact);
}

QList<EmailAccount> accountsFromJson(const QByteArray &json)
{
    QList<EmailAccount> accounts;
    for (const QJsonValue &item : arrayOf(json)) {
        const QJsonObject o = item.toObject();
        EmailAccount a;
        a.address = o.value(QStringLiteral("address")).toString();
        a.provider = o.value(QStringLiteral("provider")).toString(QStringLiteral("auto"));
        a.host = o.value(QStringLiteral("host")).toString(QString::fromLatin1(kGmailImapHost));
        quint16 port = storedPort(o.value(QStringLiteral("port")));
        if (a.host.isEmpty())
            a.host = resolveProvider(a.address, a.provider).host;
        if (port == 0)
            port = 993;
        a.port = port;
        a.user = o.value(QStringLiteral("user")).toString();
        // Only the file form keeps the secrets themselves in the record.
        const bool inFile = secretFormOf(o) == QLatin1String(kFileSecretForm);
        if (inFile)
            a.pass = QString::fromUtf8(QByteArray::fromBase64(o.value(QStringLiteral("pass")).toString().toLatin1()));
        a.enabled = o.value(QStringLiteral("enabled")).toBool(true);
        a.smtpHost = o.value(QStringLiteral("smtpHost")).toString().trimmed();
        if (!a.smtpHost.isEmpty()) {
            const QJsonValue smtpPort = o.value(QStringLiteral("smtpPort"));
            a.smtpPort = smtpPort.isDouble() ? storedPort(smtpPort) : 0; // 0 when damaged: the default port
            a.smtpStartTls = o.value(QStringLiteral("smtpStartTls")).toBool(false);
        }
        a.loginRefused = o.value(QStringLiteral("loginRefused")).toBool(false);
        a.auth = mailAuthFromName(o.value(QStringLiteral("auth")).toString());
        a.afterUse = afterUseFromName(o.value(QStringLiteral("afterUse")).toString());
        if (usesOAuth(a) && inFile)
            a.refreshToken = QString::fromUtf8(
                QByteArray::fromBase64(o.value(QStringLiteral("refreshToken")).toString().toLatin1()));
        if (!a.address.isEmpty())
            accounts.append(a);
    }
    return accounts;
}

QList<SecretFields> secretFieldsFromJson(const QByteArray &json)
{
    QList<SecretFields> out;
    for (const QJsonValue &item : arrayOf(json)) {
        const QJsonObject o = item.toObject();
        if (o.value(QStringLiteral("address")).toString().isEmpty())
            continue;
        SecretFields f;
        f.form = secretFormOf(o);
        if (f.form == QLatin1String(kFileSecretForm)) {
            f.pass = QString::fromUtf8(QByteArray::fromBase64(o.value(QStringLiteral("pass")).toString().toLatin1()));
            f.refreshToken = QString::fromUtf8(
                QByteArray::fromBase64(o.value(QStringLiteral("refreshToken")).toString().toLatin1()));
        } else {
            f.pass = o.value(QStringLiteral("passSealed")).toString();
            f.refreshToken = o.value(QStringLiteral("refreshTokenSealed")).toString();
        }
        out.append(f);
    }
    return out;
}

QByteArray categoriesToJson(const QList<Category> &categories)
{
    QJsonArray array;
    for (const Category &c : categories) {
        QJsonObject o;
        o.insert(QStringLiteral("name"), c.name);
        o.insert(QStringLiteral("icon"), c.icon);
        o.insert(QStringLiteral("filters"), QJsonArray::fromStringList(c.filters));
        array.append(o);
    }
    return QJsonDocument(array).toJson(QJsonDocument::Compact);
}

QList<Category> categoriesFromJson(const QByteArray &json)
{
    QList<Category> categories;
    for (const QJsonValue &item : arrayOf(json)) {
        const QJsonObject o = item.toObject();
        Category c;
        c.name = o.value(QStringLiteral("name")).toString();
        c.icon = o.value(QStringLiteral("icon")).toString(QStringLiteral("inbox"));
        c.filters.clear();
        for (const QJsonValue &f : o.value(QStringLiteral("filters")).toArray())
            c.filters.append(f.toString());
        if (!c.name.isEmpty())
            categories.append(c);
    }
    return categories;
}
