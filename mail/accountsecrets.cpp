#include "mail/accountsecrets.h"

#include "secrets/secretstore.h"

#include <cstdio>
#include <utility>

namespace {

const QString kPassField = QStringLiteral("pass");
const QString kTokenField = QStringLiteral("refreshToken");

QString tokenOf(const EmailAccount &a)
{
    return usesOAuth(a) ? a.refreshToken : QString();
}

void say(const QString &line)
{
    const QByteArray text = (QStringLiteral("[MIRELO+] ") + line + QLatin1Char('\n')).toUtf8();
    std::fwrite(text.constData(), 1, size_t(text.size()), stderr);
    std::fflush(stderr);
}

// Why this run has no reader for records of `form`.
QString noReader(const QString &form)
{
    if (form == QLatin1String(kDpapiSecretForm))
        return QStringLiteral("kayit Windows'un DPAPI korumasiyla muhurlu, bu sistemde acilamaz");
    if (form == QLatin1String(kKeyringSecretForm))
        return QStringLiteral("anahtar zinciri bu oturumda kullanilamiyor");
    return QStringLiteral("bilinmeyen saklama bicimi \"%1\" (daha yeni bir surumun kaydi)").arg(form);
}

} // namespace

AccountSecrets::AccountSecrets(std::shared_ptr<SecretKeeper> keeper) : m_keeper(std::move(keeper)) {}

QList<EmailAccount> AccountSecrets::read(const QByteArray &json, const QString &scope)
{
    m_held.clear();
    QList<EmailAccount> accounts = accountsFromJson(json);
    const QList<SecretFields> fields = secretFieldsFromJson(json);
    for (qsizetype i = 0; i < accounts.size(); ++i) {
        EmailAccount &a = accounts[i];
        const QString key = a.address.toLower();
        Held held;
        held.fields = fields.value(i);
        if (held.fields.form != QLatin1String(kFileSecretForm)) {
            QString why;
            SecretStore *store = m_keeper->reader(held.fields.form);
            if (!store) {
                why = noReader(held.fields.form);
            } else {
                if (!held.fields.pass.isEmpty())
                    store->take(SecretRef{scope, key, kPassField}, held.fields.pass, &a.pass, &why);
                if (why.isEmpty() && usesOAuth(a) && !held.fields.refreshToken.isEmpty())
                    store->take(SecretRef{scope, key, kTokenField}, held.fields.refreshToken, &a.refreshToken, &why);
            }
            if (!why.isEmpty()) {
                // Never an empty password in its place: the account waits
                // for the user to give it again.
                a.pass.clear();
                a.refreshToken.clear();
                held.unreadable = true;
                a.lastError = QStringLiteral("Sifre okunamadi: ") + why;
                say(a.address + QStringLiteral(": ") + a.lastError);
            }
        }
        held.pass = a.pass;
        held.refreshToken = tokenOf(a);
        m_held.insert(key, held);
    }
    return accounts;
}

QByteArray AccountSecrets::write(const QList<EmailAccount> &accounts, const QString &scope)
{
    const QString writerForm = m_keeper->writer().form();
    QHash<QString, Held> next;
    QList<SecretFields> secrets;
    secrets.reserve(accounts.size());
    for (const EmailAccount &a : accounts) {
        const QString key = a.address.toLower();
        const auto before = m_held.constFind(key);
        const bool known = before != m_held.constEnd();
        const QString token = tokenOf(a);
        Held held;
        // An unchanged secret keeps its record: already in the writer's form,
        // or unreadable and not given again (its item may come back).
        if (known && before->pass == a.pass && before->refreshToken == token
            && (before->unreadable || before->fields.form == writerForm)) {
            held = *before;
        } else {
            held.fields = seal(a, scope);
            held.pass = a.pass;
            held.refreshToken = token;
            if (known) {
                const bool moved = before->fields.form != held.fields.form;
                forgetItems(*before, scope, key, moved || held.fields.pass.isEmpty(),
                            moved || held.fields.refreshToken.isEmpty());
            }
        }
        next.insert(key, held);
        secrets.append(held.fields);
    }
    for (auto it = m_held.constBegin(); it != m_held.constEnd(); ++it)
        if (!next.contains(it.key()))
            forgetItems(it.value(), scope, it.key(), true, true);
    m_held = std::move(next);
    return accountsToJson(accounts, secrets);
}

SecretFields AccountSecrets::seal(const EmailAccount &account, const QString &scope)
{
    const QString key = account.address.toLower();
    const QString token = tokenOf(account);
    SecretStore &writer = m_keeper->writer();
    SecretFields fields{writer.form(), QString(), QString()};
    QString why;
    bool ok = true;
    if (!account.pass.isEmpty())
        ok = writer.keep(SecretRef{scope, key, kPassField}, account.pass, &fields.pass, &why);
    if (ok && !token.isEmpty())
        ok = writer.keep(SecretRef{scope, key, kTokenField}, token, &fields.refreshToken, &why);
    if (ok)
        return fields;
    say(QStringLiteral("Sifre saklanamadi: %1; %2 icin korumali ayar dosyasina yaziliyor.").arg(why, account.address));
    if (!fields.pass.isEmpty())
        writer.forget(SecretRef{scope, key, kPassField});
    return SecretFields{QLatin1String(kFileSecretForm), account.pass, token};
}

void AccountSecrets::forgetItems(const Held &held, const QString &scope, const QString &account, bool pass,
                                 bool token)
{
    SecretStore *store = m_keeper->reader(held.fields.form);
    if (!store)
        return;
    if (pass && !held.fields.pass.isEmpty())
        store->forget(SecretRef{scope, account, kPassField});
    if (token && !held.fields.refreshToken.isEmpty())
        store->forget(SecretRef{scope, account, kTokenField});
}
