#pragma once

#include <QByteArray>
#include <QHash>
#include <QJsonValue>
#include <QString>
#include <QStringList>

#include <memory>

// The local realtime database without HTTP: its tree, its data file and
// the handling of one request. The HTTP server only passes requests in.

inline constexpr qsizetype kCloudDbMaxBodyBytes = 1024 * 1024;

enum class CloudDbAccess { Read, Write };

// The default rules: records under "mirelo_users" may be read one by one
// and created, but never overwritten or deleted; every pairing session
// under "mirelo_link" is open, but the tree itself can be neither read (it
// would list the sessions) nor written whole; everything else is closed.
bool cloudDbDefaultRulesAllow(const QJsonValue &root, const QStringList &path, CloudDbAccess access);

// Size limits of the open trees, in bytes of compact JSON. "Record" is one
// child of the tree: a pairing session or a user record.
struct CloudDbQuota
{
    qint64 linkSessionBytes = 1024 * 1024 + 1024;
    qint64 linkTreeBytes = 64 * 1024 * 1024;
    qint64 userRecordBytes = 16 * 1024;
    qint64 usersTreeBytes = 64 * 1024 * 1024;
};

enum class CloudDbWrite { Done, OverQuota, Failed };

// When a write is made durable: before write() returns, or at the next
// sync(), so one flush can cover several writes.
enum class CloudDbSync { Now, Deferred };

class CloudDbLog;

class CloudDbStore
{
public:
    // An empty file name keeps the data in memory only.
    explicit CloudDbStore(const QString &dataFile = QString(), const CloudDbQuota &quota = CloudDbQuota());
    ~CloudDbStore();
    CloudDbStore(const CloudDbStore &) = delete;
    CloudDbStore &operator=(const CloudDbStore &) = delete;

    // Reads the data file and replays its log; missing files are an empty
    // database. A store with a data file takes writes only once loaded. A data file or log that does not parse is refused rather
    // than overwritten. A replayed log is folded into the data file.
    bool load(QString *error);

    const QJsonValue &root() const { return m_root; }
    QString dataFile() const { return m_dataFile; }
    // The log beside the data file (empty for a memory-only store).
    QString logFile() const;
    static QString logFileFor(const QString &dataFile);

    // Writes the value at the path and appends it to the log; with
    // CloudDbSync::Now it is on disk before returning. A write that makes
    // a record or an open tree outgrow its quota is refused. On a failure
    // nothing changes.
    CloudDbWrite write(const QStringList &path, const QJsonValue &value, QString *error,
                       CloudDbSync sync = CloudDbSync::Now);
    bool hasUnsyncedWrites() const { return m_unsynced; }
    // Flushes the writes made since the last sync. On failure they are
    // undone and false is returned: they must not be acknowledged. Folds the
    // log into the data file when it has grown past the data file's size.
    bool sync(QString *error);
    // Writes the whole tree into the data file and starts an empty log.
    bool compact(QString *error);
    qint64 logBytes() const;

private:
    void measureAll();
    bool withinQuota(const QStringList &path, const QJsonValue &next, qint64 *recordBytes) const;
    // recordBytes: the written record's new size, or -1 for a write above
    // the records.
    void account(const QStringList &path, qint64 recordBytes);
    bool flushLog(QString *error);

    QString m_dataFile;
    CloudDbQuota m_quota;
    QJsonValue m_root;
    QJsonValue m_syncedRoot;
    QByteArray m_snapshotId;
    bool m_loaded = false;
    bool m_unsynced = false;
    std::unique_ptr<CloudDbLog> m_log;
    qint64 m_compactAt = 0;
    // Compact JSON size of every record of the open trees, and their sums.
    QHash<QString, qint64> m_linkSizes;
    QHash<QString, qint64> m_userSizes;
    qint64 m_linkBytes = 0;
    qint64 m_usersBytes = 0;
};

struct CloudDbReply
{
    int status = 200;
    QByteArray body;
};

// One REST request: `method` "GET", "PUT" or "DELETE", `encodedPath` the
// request path still percent-encoded and without query.
CloudDbReply handleCloudDbRequest(CloudDbStore &store, const QByteArray &method,
                                  const QByteArray &encodedPath, const QByteArray &body,
                                  CloudDbSync sync = CloudDbSync::Now);

// {"error" : "text"}
QByteArray cloudDbErrorBody(const QString &text);
