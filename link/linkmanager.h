#pragma once

#include "core/clock.h"
#include "link/linkrecords.h"
#include "link/pairing.h"

#include <QDateTime>
#include <QList>
#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>

class QNetworkAccessManager;
class QTimer;
struct MailItem;

inline constexpr int kPairTickMs = 1000;
inline constexpr int kPairPollMs = 3000;
inline constexpr qint64 kPairingLifetimeSecs = 600;

// What a LinkManager is built with; defaults are the production values.
struct LinkOptions
{
    QString databaseBaseUrl;
    Clock clock;       // default: the system clock
    LinkRandom random; // empty: the system's cryptographic generator
    int tickMs = kPairTickMs;
    int pollMs = kPairPollMs;
    // Empty: the device list lives under "link/devices" in the settings
    // store. Otherwise a file of its own holding the same JSON array (used by
    // the command-line peer).
    QString devicesFile;
};

// Pairs this program with phones through the realtime database (host side,
// and the joining side for peers), keeps the paired devices and pushes each
// new code sealed to every one of them.
class LinkManager : public QObject
{
    Q_OBJECT
public:
    explicit LinkManager(QObject *parent = nullptr, const QString &databaseBaseUrl = QString());
    LinkManager(QObject *parent, const LinkOptions &options);
    ~LinkManager() override;

    QString databaseBaseUrl() const { return m_databaseBaseUrl; }
    void setDatabaseBaseUrl(const QString &url) { m_databaseBaseUrl = url; }

    // Host side.
    void startPairing();
    void cancelPairing();
    bool isPairing() const { return m_isPairing; }
    QString sessionId() const { return m_sessionId; }
    QString pairingCode() const { return m_pairingCode; }
    // Empty while idle.
    QString pairingUri() const;
    // Expiry minus now, never below 0; 0 while idle.
    qint64 secondsLeft() const;

    // Cleans up the sessions an earlier run left behind (closed while waiting,
    // or paired while the clean-up could not reach the database). The
    // program calls it once at start; only one manager may own the store.
    void cleanUpLeftSessions();

    // Joining side; answers with joinOk or joinFail.
    void joinSession(const QString &sessionId, const QString &code, const QString &deviceName);

    // Registry.
    QList<PairedDevice> devices() const { return m_devices; }
    void unpair(const QString &sid);
    // Another user signed in (or out): a pairing under way ends, and the
    // devices are read again from the store, which now gives that user's own.
    void reloadDevices();

    // One sealed message per paired device; fire and forget.
    void pushCode(const MailItem &item);
    // Reads, opens, reports and deletes the messages in every device's inbox.
    void pollInbox();

signals:
    void pairingChanged();
    void devicesChanged();
    void linkLog(const QString &message);
    void joinOk(const QString &sessionId);
    void joinFail(const QString &message);
    void codeReceived(const LinkCode &code);

public slots:
    void onPairTick();
    void onPairPoll();

private:
    void endSession();
    void addDevice(const PairedDevice &device);
    void loadDevices();
    void saveDevices();
    qint64 nowSecs() const;
    void pollDevice(const PairedDevice &device);
    void noteInboxUnreachable(const QString &reason);
    static constexpr int kUnreachableRepeatSecs = 60;
    QDateTime m_unreachableSince; // invalid while the database answers
    QDateTime m_unreachableSaid;
    // Deletes a waiting session's record, or a paired one's "codeHash"; the
    // sid stays on the clean-up list (kept across runs) until that worked.
    void cleanUpSession(const QString &sid);
    QStringList storedCleanups() const;
    void rememberCleanup(const QString &sid, bool pending);

    QNetworkAccessManager *m_nam = nullptr;
    QString m_databaseBaseUrl;
    QTimer *m_tick = nullptr;
    QTimer *m_poll = nullptr;
    bool m_isPairing = false;
    QString m_sessionId;
    QString m_pairingCode;
    QString m_linkKey;
    qint64 m_expiry = 0;
    QList<PairedDevice> m_devices;

    Clock m_clock;
    quint32 m_pushSequence = 0;
    LinkRandom m_random;
    QString m_devicesFile;
    // sid + "/" + message id of the messages whose DELETE is on its way, so
    // that an overlapping poll does not report them twice.
    QSet<QString> m_deleting;
    // Sessions whose first write is still on its way.
    QSet<QString> m_creating;
    // The clean-up list of a manager that keeps its devices in a file.
    QStringList m_cleanups;
};
