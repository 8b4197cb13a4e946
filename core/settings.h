#pragma once

#include <QByteArray>
#include <QSettings>
#include <QString>
#include <QStringList>

// Keys of the per-user settings store. Their names and value formats are
// what earlier versions wrote; they never change.
//
// The keys marked "own" belong to one signed-in user of the program. Those
// of the user the store's data belonged to before users had their own (the
// one in "auth/display" then, kept in "auth/dataOwner") stay where they
// always were, so older stores read as before; every other user's live
// under "users/<name>/".
namespace SettingsKey {
inline constexpr char kTheme[] = "theme";                    // "light" or "dark"
inline constexpr char kCaptureProtection[] = "captureProt";  // bool, on when missing
inline constexpr char kMinConfidence[] = "codes/minConfidence";
inline constexpr char kAccounts[] = "accounts";              // own; JSON array
inline constexpr char kCategories[] = "categories";          // own; JSON array
inline constexpr char kSeenQueue[] = "seenQueue";            // own; JSON object
inline constexpr char kMailActions[] = "mailActions";        // own; JSON object
inline constexpr char kSilencedSenders[] = "silencedSenders"; // own; JSON array
inline constexpr char kStaleMinutes[] = "codes/staleMinutes"; // int, 10 when missing
inline constexpr char kAutoCopyCountsUsed[] = "codes/autoCopyUsed"; // bool, off when missing
inline constexpr char kAuthDisplay[] = "auth/display";
inline constexpr char kAuthLogged[] = "auth/logged";
inline constexpr char kDataOwner[] = "auth/dataOwner";       // whose the unscoped own keys are
inline constexpr char kUsersGroup[] = "users";               // users/<name>/<own key>
inline constexpr char kCloudUrl[] = "cloud/url";
inline constexpr char kCloudLocalPort[] = "cloud/localPort";
inline constexpr char kVaultSet[] = "vault/set";             // own
inline constexpr char kVaultSalt[] = "vault/salt";           // own
inline constexpr char kVaultData[] = "vault/data";           // own
inline constexpr char kVaultLegacy[] = "totp";               // own; the old unsealed vault
inline constexpr char kLinkDevices[] = "link/devices";       // own; JSON array text
inline constexpr char kLinkCleanup[] = "link/cleanup";       // session ids
} // namespace SettingsKey

// The per-user settings store. It holds the sealed vault, the mail passwords
// and the device keys. Opened afresh for every read and write, so a change of
// the store's location (tests redirect it) or another process's write is
// always seen.
namespace Settings {

// The store itself: the one place that names it.
QSettings open();
// Path of its file.
QString fileName();

bool lightTheme();
void setLightTheme(bool light);

bool captureProtection();
void setCaptureProtection(bool on);

// The stored confidence threshold, or `fallback` when missing or not a
// number from 0 to 100.
int minConfidence(int fallback);

// Minutes after which the last code is too old to type (1 to 1440).
int staleMinutes();
void setStaleMinutes(int minutes);
// Whether a code copied on its own counts as used once its clipboard time ends.
bool autoCopyCountsUsed();
void setAutoCopyCountsUsed(bool on);

QByteArray accountsJson();
void setAccountsJson(const QByteArray &json);
QByteArray categoriesJson();
void setCategoriesJson(const QByteArray &json);
QByteArray seenQueueJson();
void setSeenQueueJson(const QByteArray &json);

QString authDisplayName();
bool authLoggedIn();
// Also settles, before the name changes, whose the unscoped own keys are.
void setAuthUser(const QString &displayName);
void setAuthLoggedOut();

// The signed-in user whose own keys are read and written; empty when
// signed out.
QString dataUser();
// Where the signed-in user's own key `key` lives: the key itself for the
// store's first user, else under "users/<name>/". Signed out it is empty
// (nobody's data is read or written), unless no user ever signed in.
QString userKey(const char *key);

// Trimmed, without trailing slashes; empty when none is configured.
QString cloudUrl();
// The port the local database took once and keeps across starts; 0 when
// none was taken yet.
quint16 cloudLocalPort();
void setCloudLocalPort(quint16 port);

QByteArray linkDevicesJson();
void setLinkDevicesJson(const QByteArray &json);
QStringList linkCleanups();
// An empty list removes the key.
void setLinkCleanups(const QStringList &sessionIds);

} // namespace Settings
