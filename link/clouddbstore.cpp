#include "link/clouddbstore.h"

#include "link/clouddbtree.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonObject>
#include <QSaveFile>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <unistd.h>
#endif

namespace {

const QString kUsers = QStringLiteral("mirelo_users");
const QString kLink = QStringLiteral("mirelo_link");

} // namespace

bool cloudDbDefaultRulesAllow(const QJsonValue &root, const QStringList &path, CloudDbAccess access)
{
    if (path.isEmpty())
        return false;
    if (path.first() == kLink)
        return true;
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

CloudDbStore::CloudDbStore(const QString &dataFile)
    : m_dataFile(dataFile)
{
}

bool CloudDbStore::load(QString *error)
{
    m_root = QJsonValue();
    if (m_dataFile.isEmpty())
        return true;
    QFile file(m_dataFile);
    if (!file.exists())
        return true;
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("cannot read %1: %2").arg(m_dataFile, file.errorString());
        return false;
    }
    const QByteArray text = file.readAll();
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
    m_root = normalizeCloudDbValue(value);
    return true;
}

bool CloudDbStore::write(const QStringList &path, const QJsonValue &value, QString *error)
{
    const QJsonValue next = cloudDbWithNode(m_root, path, value);
    if (next == m_root)
        return true;
    if (!save(next, error))
        return false;
    m_root = next;
    return true;
}

bool CloudDbStore::save(const QJsonValue &root, QString *error) const
{
    if (m_dataFile.isEmpty())
        return true;
    QDir().mkpath(QFileInfo(m_dataFile).absolutePath());
    // QSaveFile writes a temporary file, flushes it to disk and renames it
    // over the old one: a crash leaves the old or the new file, never a mix.
    QSaveFile file(m_dataFile);
    if (!file.open(QIODevice::WriteOnly) || file.write(cloudDbJsonText(root)) < 0 || !file.commit()) {
        *error = QStringLiteral("cannot write %1: %2").arg(m_dataFile, file.errorString());
        return false;
    }
#ifdef Q_OS_UNIX
    // The rename itself lives in the folder; flush it too so a power cut
    // after the answer cannot bring the old file back.
    const int dirFd = ::open(QFile::encodeName(QFileInfo(m_dataFile).absolutePath()).constData(), O_RDONLY);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
#endif
    return true;
}

CloudDbReply handleCloudDbRequest(CloudDbStore &store, const QByteArray &method,
                                  const QByteArray &encodedPath, const QByteArray &body)
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
    if (!store.write(path, value, &error))
        return {500, cloudDbErrorBody(error)};
    if (method == "DELETE")
        return {200, QByteArrayLiteral("null")};
    return {200, cloudDbJsonText(renderCloudDbValue(normalizeCloudDbValue(value)))};
}
