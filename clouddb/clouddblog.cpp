#include "clouddb/clouddblog.h"

#include "clouddb/clouddbtree.h"

#include <QCryptographicHash>
#include <QJsonArray>
#include <QJsonObject>

namespace {

bool parseHeader(const QByteArray &line, QByteArray *base)
{
    QJsonValue v;
    QString error;
    if (!parseCloudDbJson(line, &v, &error) || !v.isObject())
        return false;
    const QJsonObject obj = v.toObject();
    const QByteArray text = obj.value(QStringLiteral("base")).toString().toLatin1();
    if (obj.size() != 1 || text.size() != 64)
        return false;
    for (const char c : text)
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f')))
            return false;
    *base = text;
    return true;
}

bool parseEntry(const QByteArray &line, CloudDbLogEntry *entry)
{
    QJsonValue v;
    QString error;
    if (!parseCloudDbJson(line, &v, &error) || !v.isObject())
        return false;
    const QJsonObject obj = v.toObject();
    if (obj.size() != 2 || !obj.value(QStringLiteral("p")).isArray() || !obj.contains(QStringLiteral("v")))
        return false;
    entry->path.clear();
    for (const QJsonValue &key : obj.value(QStringLiteral("p")).toArray()) {
        if (!key.isString() || !isValidCloudDbKey(key.toString()))
            return false;
        entry->path.append(key.toString());
    }
    if (entry->path.size() > kCloudDbMaxDepth)
        return false;
    entry->value = obj.value(QStringLiteral("v"));
    return checkCloudDbValue(entry->value, int(entry->path.size()), &error);
}

} // namespace

bool parseCloudDbLog(const QByteArray &text, CloudDbLogContents *out, QString *error)
{
    *out = CloudDbLogContents();
    qsizetype pos = 0;
    bool damaged = false;
    while (pos < text.size()) {
        const qsizetype nl = text.indexOf('\n', pos);
        if (nl < 0)
            break;  // unfinished last line
        const QByteArray line = text.mid(pos, nl - pos);
        bool ok = false;
        if (!damaged) {
            if (out->base.isEmpty()) {
                ok = parseHeader(line, &out->base);
            } else {
                CloudDbLogEntry entry;
                ok = parseEntry(line, &entry);
                if (ok)
                    out->entries.append(entry);
            }
        }
        if (!ok && !damaged) {
            damaged = true;
        } else if (damaged) {
            // A complete line after a damaged one: not a torn tail.
            *error = QStringLiteral("log damaged at byte %1").arg(out->validBytes);
            return false;
        }
        if (!damaged)
            out->validBytes = nl + 1;
        pos = nl + 1;
    }
    return true;
}

QByteArray cloudDbLogHeader(const QByteArray &base)
{
    return "{\"base\":\"" + base + "\"}\n";
}

QByteArray cloudDbLogLine(const QStringList &path, const QJsonValue &value)
{
    QJsonArray keys;
    for (const QString &key : path)
        keys.append(key);
    return "{\"p\":" + cloudDbJsonText(keys) + ",\"v\":" + cloudDbJsonText(value) + "}\n";
}

QByteArray cloudDbSnapshotId(const QByteArray &snapshotBytes)
{
    return QCryptographicHash::hash(snapshotBytes, QCryptographicHash::Sha256).toHex();
}
