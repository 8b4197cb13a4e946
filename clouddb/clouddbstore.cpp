#include "clouddb/clouddbstore.h"

#include "clouddb/clouddblog.h"
#include "clouddb/clouddbtree.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonObject>
#include <QSaveFile>

#include <cstdio>
#include <utility>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <unistd.h>
#endif
#ifdef Q_OS_WIN
#include <io.h>
#endif

namespace {

const QString kUsers = QStringLiteral("mirelo_users");
const QString kLink = QStringLiteral("mirelo_link");
// The log is folded into the data file once it outgrows both this and the data file.
constexpr qint64 kCompactMinLogBytes = 1024 * 1024;

} // namespace

bool cloudDbDefaultRulesAllow(const QJsonValue &root, const QStringList &path, CloudDbAccess access)
{
    if (path.isEmpty())
        return false;
    // The sessions are reachable only by their id: the tree itself would
    // list them, and writing it whole would wipe them all.
    if (path.first() == kLink)
        return path.size() >= 2;
    if (path.first() == kUsers && path.size() >= 2) {
        if (access == CloudDbAccess::Read)
            return true;
        // Like a hosted rule ".write": "!data.exists()" on the user record:
        // the first write creates it, later ones are refused.
        return cloudDbNode(root, path.mid(0, 2)).isNull();
    }
    return false;
}

QByteArray cloudDbErrorBody(const QString &text)
{
    QByteArray quoted = cloudDbJsonText(QJsonValue(text));
    return "{\"error\" : " + quoted + "}";
}

namespace {

constexpr QFileDevice::Permissions kOwnerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;

bool syncHandle(int fd)
{
#ifdef Q_OS_WIN
    return ::_commit(fd) == 0;
#else
    return ::fdatasync(fd) == 0;
#endif
}

// A new or renamed file lives in its folder: flush the folder too, so a
// power cut after the answer cannot undo it.
void syncFolderOf(const QString &file)
{
#ifdef Q_OS_UNIX
    const int dirFd = ::open(QFile::encodeName(QFileInfo(file).absolutePath()).constData(), O_RDONLY);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
#else
    Q_UNUSED(file);
#endif
}

qint64 jsonBytes(const QJsonValue &value)
{
    return value.isNull() ? 0 : cloudDbJsonText(value).size();
}

} // namespace

// The open log file: lines are gathered in memory and written and flushed
// together by sync(), so one flush covers a burst of writes.
class CloudDbLog
{
public:
    explicit CloudDbLog(const QString &path) : m_file(path) {}

    // Replaces the file by one holding only the header.
    bool start(const QByteArray &base, QString *error)
    {
        m_file.close();
        m_pending.clear();
        QDir().mkpath(QFileInfo(m_file.fileName()).absolutePath());
        if (!m_file.open(QIODevice::WriteOnly | QIODevice::Truncate, kOwnerOnly)
            || !m_file.setPermissions(kOwnerOnly)) {
            return fail(error);
        }
        m_size = 0;
        m_pending = cloudDbLogHeader(base);
        if (!sync(error)) {
            // Entries must never follow a header that is not on disk.
            m_file.close();
            return false;
        }
        syncFolderOf(m_file.fileName());
        return true;
    }

    // Appends to an existing log after its well-formed prefix.
    bool resume(qint64 validBytes, QString *error)
    {
        m_file.close();
        m_pending.clear();
        if (!m_file.open(QIODevice::ReadWrite) || !m_file.setPermissions(kOwnerOnly) || !m_file.resize(validBytes)
            || !m_file.seek(validBytes)) {
            return fail(error);
        }
        m_size = validBytes;
        return true;
    }

    bool isOpen() const { return m_file.isOpen(); }
    void append(const QByteArray &line) { m_pending += line; }
    void discardPending() { m_pending.clear(); }
    qint64 size() const { return m_size + m_pending.size(); }

    bool sync(QString *error)
    {
        if (m_pending.isEmpty())
            return true;
        if (m_file.write(m_pending) != m_pending.size() || !m_file.flush() || !syncHandle(m_file.handle())) {
            // Cut back what may have reached the file, so the log stays a
            // record of acknowledged writes only.
            m_file.resize(m_size);
            m_file.seek(m_size);
            m_pending.clear();
            return fail(error);
        }
        m_size += m_pending.size();
        m_pending.clear();
        return true;
    }

private:
    bool fail(QString *error)
    {
        *error = QStringLiteral("cannot write %1: %2").arg(m_file.fileName(), m_file.errorString());
        return false;
    }

    QFile m_file;
    QByteArray m_pending;
    qint64 m_size = 0;
};

CloudDbStore::CloudDbStore(const QString &dataFile, const CloudDbQuota &quota)
    : m_dataFile(dataFile)
    , m_quota(quota)
    , m_snapshotId(cloudDbSnapshotId(QByteArray()))
    , m_loaded(dataFile.isEmpty())
{
    if (!m_dataFile.isEmpty())
        m_log = std::make_unique<CloudDbLog>(logFile());
}

CloudDbStore::~CloudDbStore() = default;

QString CloudDbStore::logFileFor(const QString &dataFile)
{
    return dataFile.isEmpty() ? QString() : dataFile + QStringLiteral(".log");
}

QString CloudDbStore::logFile() const
{
    return logFileFor(m_dataFile);
}

qint64 CloudDbStore::logBytes() const
{
    return m_log ? m_log->size() : 0;
}

bool CloudDbStore::load(QString *error)
{
    m_root = QJsonValue();
    m_syncedRoot = QJsonValue();
    m_unsynced = false;
    m_loaded = m_dataFile.isEmpty();
    m_log.reset();
    m_snapshotId = cloudDbSnapshotId(QByteArray());
    measureAll();
    if (m_dataFile.isEmpty())
        return true;
    QByteArray text;
    QFile file(m_dataFile);
    if (file.exists()) {
        if (!file.open(QIODevice::ReadOnly)) {
            *error = QStringLiteral("cannot read %1: %2").arg(m_dataFile, file.errorString());
            return false;
        }
        text = file.readAll();
        file.close();
        // Files written before they were kept owner-only are closed now.
        file.setPermissions(kOwnerOnly);
    }
    QJsonValue value;
    QString parseError;
    if (!text.trimmed().isEmpty() && !parseCloudDbJson(text, &value, &parseError)) {
        *error = QStringLiteral("%1 is not valid JSON").arg(m_dataFile);
        return false;
    }
    QString valueError;
    if (!checkCloudDbValue(value, 0, &valueError)) {
        *error = QStringLiteral("%1: %2").arg(m_dataFile, valueError);
        return false;
    }
    QJsonValue root = normalizeCloudDbValue(value);
    m_snapshotId = cloudDbSnapshotId(text);

    QFile logFile(this->logFile());
    CloudDbLogContents log;
    if (logFile.exists()) {
        if (!logFile.open(QIODevice::ReadOnly)) {
            *error = QStringLiteral("cannot read %1: %2").arg(logFile.fileName(), logFile.errorString());
            return false;
        }
        QString logError;
        if (!parseCloudDbLog(logFile.readAll(), &log, &logError)) {
            *error = QStringLiteral("%1: %2").arg(logFile.fileName(), logError);
            return false;
        }
    }
    // A log of another base was folded into the data file before a crash
    // could remove it.
    const bool replay = log.base == m_snapshotId;
    if (replay) {
        for (const CloudDbLogEntry &entry : std::as_const(log.entries))
            root = cloudDbWithNode(root, entry.path, entry.value);
    }
    m_root = root;
    m_syncedRoot = root;
    measureAll();
    m_log = std::make_unique<CloudDbLog>(this->logFile());
    m_compactAt = qMax<qint64>(kCompactMinLogBytes, text.size());
    if (replay && !log.entries.isEmpty()) {
        const QByteArray before = m_snapshotId;
        QString foldError;
        if (compact(&foldError)) {
            m_loaded = true;
            return true;
        }
        // A full disk at start must not make the data look broken.
        std::fprintf(stderr, "clouddb: %s\n", qPrintable(foldError));
        // Still the old data file: go on appending to the log that applies
        // to it. Otherwise the next write starts a log for the new one.
        if (m_snapshotId == before && !m_log->resume(log.validBytes, error))
            return false;
    } else if (replay) {
        if (!m_log->resume(log.validBytes, error))
            return false;
    } else if (logFile.exists()) {
        if (!m_log->start(m_snapshotId, error))
            return false;
    }
    m_loaded = true;
    return true;
}

CloudDbWrite CloudDbStore::write(const QStringList &path, const QJsonValue &value, QString *error, CloudDbSync sync)
{
    if (!m_loaded) {
        // Writing over a data file that was never read would lose it.
        *error = QStringLiteral("%1 is not loaded").arg(m_dataFile);
        return CloudDbWrite::Failed;
    }
    const QJsonValue normalized = normalizeCloudDbValue(value);
    if (cloudDbNode(m_root, path) == normalized)
        return CloudDbWrite::Done;
    const QJsonValue next = cloudDbWithNode(m_root, path, normalized);
    qint64 recordBytes = -1;
    if (!withinQuota(path, next, &recordBytes)) {
        *error = QStringLiteral("Quota exceeded");
        return CloudDbWrite::OverQuota;
    }
    if (m_log) {
        if (!m_log->isOpen() && !m_log->start(m_snapshotId, error))
            return CloudDbWrite::Failed;
        m_log->append(cloudDbLogLine(path, normalized));
    }
    m_root = next;
    m_unsynced = true;
    account(path, recordBytes);
    if (sync == CloudDbSync::Now && !this->sync(error))
        return CloudDbWrite::Failed;
    return CloudDbWrite::Done;
}

bool CloudDbStore::flushLog(QString *error)
{
    if (!m_unsynced)
        return true;
    if (m_log && !m_log->sync(error)) {
        m_root = m_syncedRoot;
        m_unsynced = false;
        measureAll();
        return false;
    }
    m_syncedRoot = m_root;
    m_unsynced = false;
    return true;
}

bool CloudDbStore::sync(QString *error)
{
    if (!flushLog(error))
        return false;
    // Folding costs the whole tree, so it waits until the log has grown
    // past the data file: the cost per written byte stays constant.
    if (m_log && m_log->size() > m_compactAt) {
        QString compactError;
        if (!compact(&compactError))
            std::fprintf(stderr, "clouddb: %s\n", qPrintable(compactError));
    }
    return true;
}

bool CloudDbStore::compact(QString *error)
{
    if (m_dataFile.isEmpty())
        return true;
    if (!flushLog(error))
        return false;
    QDir().mkpath(QFileInfo(m_dataFile).absolutePath());
    const QByteArray text = cloudDbJsonText(m_root);
    const qint64 logged = logBytes();
    // Retried only after as much again has been logged, not on every write.
    m_compactAt = qMax<qint64>(kCompactMinLogBytes, qMax<qint64>(text.size(), logged * 2));
    // QSaveFile writes a temporary file, flushes it to disk and renames it
    // over the old one: a crash leaves the old or the new file, never a mix.
    QSaveFile file(m_dataFile);
    if (!file.open(QIODevice::WriteOnly) || !file.setPermissions(kOwnerOnly) || file.write(text) < 0
        || !file.commit()) {
        *error = QStringLiteral("cannot write %1: %2").arg(m_dataFile, file.errorString());
        return false;
    }
    syncFolderOf(m_dataFile);
    m_snapshotId = cloudDbSnapshotId(text);
    // A crash before the new log is in place leaves the old one, whose
    // base no longer matches: it is ignored on the next start.
    if (!m_log->start(m_snapshotId, error))
        return false;
    m_compactAt = qMax<qint64>(kCompactMinLogBytes, text.size());
    return true;
}

void CloudDbStore::measureAll()
{
    m_linkSizes.clear();
    m_userSizes.clear();
    m_linkBytes = 0;
    m_usersBytes = 0;
    const QJsonObject link = cloudDbNode(m_root, {kLink}).toObject();
    for (auto it = link.begin(); it != link.end(); ++it) {
        const qint64 n = jsonBytes(it.value());
        m_linkSizes.insert(it.key(), n);
        m_linkBytes += n;
    }
    const QJsonObject users = cloudDbNode(m_root, {kUsers}).toObject();
    for (auto it = users.begin(); it != users.end(); ++it) {
        const qint64 n = jsonBytes(it.value());
        m_userSizes.insert(it.key(), n);
        m_usersBytes += n;
    }
}

bool CloudDbStore::withinQuota(const QStringList &path, const QJsonValue &next, qint64 *recordBytes) const
{
    if (path.size() < 2 || (path.first() != kLink && path.first() != kUsers))
        return true;  // whole trees are written only by the owner, never over HTTP
    const bool link = path.first() == kLink;
    const QHash<QString, qint64> &sizes = link ? m_linkSizes : m_userSizes;
    const qint64 before = sizes.value(path.at(1));
    *recordBytes = jsonBytes(cloudDbNode(next, path.mid(0, 2)));
    if (*recordBytes <= before)
        return true;  // shrinking is always allowed
    const qint64 total = (link ? m_linkBytes : m_usersBytes) - before + *recordBytes;
    if (link)
        return *recordBytes <= m_quota.linkSessionBytes && total <= m_quota.linkTreeBytes;
    return *recordBytes <= m_quota.userRecordBytes && total <= m_quota.usersTreeBytes;
}

void CloudDbStore::account(const QStringList &path, qint64 recordBytes)
{
    if (recordBytes < 0) {
        if (path.size() < 2)
            measureAll();
        return;
    }
    const bool link = path.first() == kLink;
    QHash<QString, qint64> &sizes = link ? m_linkSizes : m_userSizes;
    qint64 &total = link ? m_linkBytes : m_usersBytes;
    const qint64 n = recordBytes;
    total += n - sizes.value(path.at(1));
    if (n == 0)
        sizes.remove(path.at(1));
    else
        sizes.insert(path.at(1), n);
}

CloudDbReply handleCloudDbRequest(CloudDbStore &store, const QByteArray &method,
                                  const QByteArray &encodedPath, const QByteArray &body, CloudDbSync sync)
{
    QStringList path;
    QString error;
    if (method != "GET" && method != "PUT" && method != "DELETE")
        return {405, cloudDbErrorBody(QStringLiteral("Method not allowed"))};
    if (body.size() > kCloudDbMaxBodyBytes)
        return {413, cloudDbErrorBody(QStringLiteral("Request body too large"))};
    if (!splitCloudDbPath(encodedPath, &path, &error))
        return {400, cloudDbErrorBody(error)};

    if (method == "GET") {
        if (!cloudDbDefaultRulesAllow(store.root(), path, CloudDbAccess::Read))
            return {401, cloudDbErrorBody(QStringLiteral("Permission denied"))};
        return {200, cloudDbJsonText(renderCloudDbValue(cloudDbNode(store.root(), path)))};
    }

    QJsonValue value;
    if (method == "PUT") {
        if (!parseCloudDbJson(body, &value, &error))
            return {400, cloudDbErrorBody(error)};
        if (!checkCloudDbValue(value, path.size(), &error))
            return {400, cloudDbErrorBody(error)};
    }
    if (!cloudDbDefaultRulesAllow(store.root(), path, CloudDbAccess::Write))
        return {401, cloudDbErrorBody(QStringLiteral("Permission denied"))};
    switch (store.write(path, value, &error, sync)) {
    case CloudDbWrite::Done:
        break;
    case CloudDbWrite::OverQuota:
        return {507, cloudDbErrorBody(error)};
    case CloudDbWrite::Failed:
        return {500, cloudDbErrorBody(error)};
    }
    if (method == "DELETE")
        return {200, QByteArrayLiteral("null")};
    return {200, cloudDbJsonText(renderCloudDbValue(normalizeCloudDbValue(value)))};
}
