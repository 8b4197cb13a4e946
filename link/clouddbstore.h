#pragma once

#include <QByteArray>
#include <QJsonValue>
#include <QString>
#include <QStringList>

// The local realtime database without HTTP: its tree, its data file and
// the handling of one request. The HTTP server only passes requests in.

inline constexpr qsizetype kCloudDbMaxBodyBytes = 1024 * 1024;

enum class CloudDbAccess { Read, Write };

// The default rules: records under "mirelo_users" may be read one by one
// and created, but never overwritten or deleted; the "mirelo_link" tree is
// open; everything else is closed.
bool cloudDbDefaultRulesAllow(const QJsonValue &root, const QStringList &path, CloudDbAccess access);

class CloudDbStore
{
public:
    // An empty file name keeps the data in memory only.
    explicit CloudDbStore(const QString &dataFile = QString());

    // Reads the data file; a missing file is an empty database. A file that
    // does not parse is refused rather than overwritten.
    bool load(QString *error);

    const QJsonValue &root() const { return m_root; }
    QString dataFile() const { return m_dataFile; }

    // Writes the value at the path and stores the whole tree atomically
    // before returning; on a storage failure nothing changes.
    bool write(const QStringList &path, const QJsonValue &value, QString *error);

private:
    bool save(const QJsonValue &root, QString *error) const;

    QString m_dataFile;
    QJsonValue m_root;
};

struct CloudDbReply
{
    int status = 200;
    QByteArray body;
};

// One REST request: `method` "GET", "PUT" or "DELETE", `encodedPath` the
// request path still percent-encoded and without query.
CloudDbReply handleCloudDbRequest(CloudDbStore &store, const QByteArray &method,
                                  const QByteArray &encodedPath, const QByteArray &body);

// {"error" : "text"}
QByteArray cloudDbErrorBody(const QString &text);
