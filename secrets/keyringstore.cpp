// GLib before Qt: Qt's "signals" macro breaks GLib's headers.
#include <libsecret/secret.h>

#include "secrets/secretstore.h"

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

namespace {

const SecretSchema *mailSchema()
{
    static const SecretSchema schema = [] {
        SecretSchema s{};
        s.name = "org.mireloplus.MailSecret";
        s.flags = SECRET_SCHEMA_NONE;
        s.attributes[0] = {"store", SECRET_SCHEMA_ATTRIBUTE_STRING};
        s.attributes[1] = {"account", SECRET_SCHEMA_ATTRIBUTE_STRING};
        s.attributes[2] = {"field", SECRET_SCHEMA_ATTRIBUTE_STRING};
        return s;
    }();
    return &schema;
}

// One call to the keyring, shared by the caller and the thread doing it, so
// that a caller who stopped waiting leaves nothing dangling.
struct Call
{
    std::mutex lock;
    std::condition_variable finished;
    bool done = false;
    GCancellable *cancel = g_cancellable_new();
    bool ok = false;
    QString value;
    QString error;
    ~Call() { g_object_unref(cancel); }
};

QString glibError(GError *err)
{
    const QString text = QStringLiteral("anahtar zinciri hatasi: ") + QString::fromUtf8(err->message);
    g_error_free(err);
    return text;
}

struct Attributes
{
    QByteArray scope, account, field;
    explicit Attributes(const SecretRef &ref)
        : scope(ref.scope.toUtf8()), account(ref.account.toUtf8()), field(ref.field.toUtf8())
    {
    }
};

class KeyringSecretStore final : public SecretStore
{
public:
    explicit KeyringSecretStore(int timeoutMs) : m_timeoutMs(timeoutMs) {}

    QString form() const override { return QLatin1String(kKeyringSecretForm); }

    bool probe(QString *error)
    {
        const Attributes at(SecretRef{QStringLiteral("probe"), QString(), QStringLiteral("probe")});
        return run(
            [at](Call &c) {
                GError *err = nullptr;
                gchar *found = secret_password_lookup_sync(mailSchema(), c.cancel, &err, "store",
                                                           at.scope.constData(), "account", at.account.constData(),
                                                           "field", at.field.constData(), nullptr);
                secret_password_free(found);
                c.ok = err == nullptr;
                if (err)
                    c.error = glibError(err);
            },
            nullptr, error);
    }

    bool keep(const SecretRef &ref, const QString &secret, QString *recordText, QString *error) override
    {
        const Attributes at(ref);
        const QByteArray label = QStringLiteral("MIRELO+ %1 (%2)").arg(ref.account, ref.field).toUtf8();
        const QByteArray value = secret.toUtf8();
        if (!run(
                [at, label, value](Call &c) {
                    GError *err = nullptr;
                    c.ok = secret_password_store_sync(mailSchema(), SECRET_COLLECTION_DEFAULT, label.constData(),
                                                      value.constData(), c.cancel, &err, "store",
                                                      at.scope.constData(), "account", at.account.constData(),
                                                      "field", at.field.constData(), nullptr);
                    if (err) {
                        c.ok = false;
                        c.error = glibError(err);
                    }
                },
                nullptr, error))
            return false;
        // The item is found by its attributes; the record only says it exists.
        *recordText = QStringLiteral("secret-service");
        return true;
    }

    bool take(const SecretRef &ref, const QString &, QString *secret, QString *error) override
    {
        const Attributes at(ref);
        return run(
            [at](Call &c) {
                GError *err = nullptr;
                gchar *found = secret_password_lookup_sync(mailSchema(), c.cancel, &err, "store",
                                                           at.scope.constData(), "account", at.account.constData(),
                                                           "field", at.field.constData(), nullptr);
                if (err) {
                    c.error = glibError(err);
                } else if (!found) {
                    c.error = QStringLiteral("anahtar zincirinde kayit yok");
                } else {
                    c.value = QString::fromUtf8(found);
                    c.ok = true;
                }
                secret_password_free(found);
            },
            secret, error);
    }

    bool forget(const SecretRef &ref) override
    {
        const Attributes at(ref);
        QString ignored;
        return run(
            [at](Call &c) {
                GError *err = nullptr;
                secret_password_clear_sync(mailSchema(), c.cancel, &err, "store", at.scope.constData(), "account",
                                           at.account.constData(), "field", at.field.constData(), nullptr);
                c.ok = err == nullptr;
                if (err)
                    c.error = glibError(err);
            },
            nullptr, &ignored);
    }

private:
    // libsecret's calls may wait on a prompt or a bus that never answers: each
    // runs on a thread of its own, and the caller waits for it a bounded time.
    bool run(const std::function<void(Call &)> &work, QString *value, QString *error)
    {
        if (m_gaveUp) {
            *error = m_gaveUpWhy;
            return false;
        }
        auto call = std::make_shared<Call>();
        std::thread([call, work] {
            work(*call);
            std::lock_guard<std::mutex> held(call->lock);
            call->done = true;
            call->finished.notify_all();
        }).detach();
        std::unique_lock<std::mutex> held(call->lock);
        if (!call->finished.wait_for(held, std::chrono::milliseconds(m_timeoutMs), [&] { return call->done; })) {
            g_cancellable_cancel(call->cancel);
            m_gaveUp = true;
            m_gaveUpWhy = QStringLiteral("anahtar zinciri %1 ms icinde yanit vermedi (kilitli ya da kapali)")
                              .arg(m_timeoutMs);
            *error = m_gaveUpWhy;
            return false;
        }
        if (!call->ok) {
            *error = call->error;
            return false;
        }
        if (value)
            *value = call->value;
        return true;
    }

    int m_timeoutMs;
    bool m_gaveUp = false;
    QString m_gaveUpWhy;
};

} // namespace

std::unique_ptr<SecretStore> openKeyringSecretStore(int timeoutMs, QString *error)
{
    auto store = std::make_unique<KeyringSecretStore>(timeoutMs);
    if (!store->probe(error))
        return nullptr;
    return store;
}
