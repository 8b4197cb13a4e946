#pragma once

#include <QString>

#include <memory>
#include <vector>

// Names one secret: whose store it belongs to (the settings key of the
// user's accounts, so each signed-in user has their own), the account
// (lower-cased address) and which of its secrets ("pass", "refreshToken").
struct SecretRef
{
    QString scope;
    QString account;
    QString field;
};

// One place secrets can be kept. A record that holds a secret names the
// store's form and keeps the text `keep` gave back; `take` needs both.
class SecretStore
{
public:
    virtual ~SecretStore() = default;
    // The form marker the records carry: "file", "dpapi" or "keyring".
    virtual QString form() const = 0;
    // Keeps `secret` (never empty); `recordText` is what the record holds.
    virtual bool keep(const SecretRef &ref, const QString &secret, QString *recordText, QString *error) = 0;
    virtual bool take(const SecretRef &ref, const QString &recordText, QString *secret, QString *error) = 0;
    // Drops what the store holds outside the record; false only on a failure.
    virtual bool forget(const SecretRef &ref) = 0;
};

inline constexpr char kFileSecretForm[] = "file";
inline constexpr char kDpapiSecretForm[] = "dpapi";
inline constexpr char kKeyringSecretForm[] = "keyring";

// The secret as it is, in the record: the settings file guards it (owner-only
// on Unix, the user's profile on Windows).
std::unique_ptr<SecretStore> makeFileSecretStore();

#ifdef Q_OS_WIN
// Sealed for the signed-in Windows user by CryptProtectData; the sealed
// bytes live in the record.
std::unique_ptr<SecretStore> makeDpapiSecretStore();
#else
// The Secret Service through libsecret, when one answers on the session bus
// within `timeoutMs`; null (and `error` says why) when none does. Every
// later call waits at most `timeoutMs`; after one that did not come back,
// the store gives up for the rest of the run instead of waiting again.
std::unique_ptr<SecretStore> openKeyringSecretStore(int timeoutMs, QString *error);
#endif

// The stores of one run: the first takes new secrets, each reads the records
// of its own form. The file form is always among them.
class SecretKeeper
{
public:
    explicit SecretKeeper(std::vector<std::shared_ptr<SecretStore>> stores);
    SecretStore &writer() const { return *m_stores.front(); }
    SecretStore &fileStore() const;
    // Null when this run cannot read records of `form`.
    SecretStore *reader(const QString &form) const;

private:
    std::vector<std::shared_ptr<SecretStore>> m_stores;
};

// The keeper the mail store uses unless given one: the one installed at
// start, else the file form alone (so tests never touch a real keyring).
std::shared_ptr<SecretKeeper> currentSecretKeeper();
void installSecretKeeper(std::shared_ptr<SecretKeeper> keeper);
// Looks for the system's protected storage: DPAPI on Windows, a keyring that
// answers elsewhere; says on stderr what it chose and why.
std::shared_ptr<SecretKeeper> openSystemSecretKeeper();
