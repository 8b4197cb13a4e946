#include "clouddb/clouddbtree.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QUrl>

bool isValidCloudDbKey(const QString &key)
{
    if (key.isEmpty() || key.toUtf8().size() > kCloudDbMaxKeyBytes)
        return false;
    for (const QChar c : key) {
        const ushort u = c.unicode();
        if (u < 0x20 || u == 0x7F)
            return false;
        switch (u) {
        case '.': case '$': case '#': case '[': case ']': case '/':
            return false;
        default:
            break;
        }
    }
    return true;
}

bool splitCloudDbPath(const QByteArray &encodedPath, QStringList *segments, QString *error)
{
    segments->clear();
    static const QByteArray suffix = ".json";
    if (!encodedPath.startsWith('/') || !encodedPath.endsWith(suffix)) {
        *error = QStringLiteral("Path must start with / and end with .json");
        return false;
    }
    const QByteArray path = encodedPath.left(encodedPath.size() - suffix.size());
    for (const QByteArray &raw : path.split('/')) {
        if (raw.isEmpty())
            continue;
        const QByteArray bytes = QByteArray::fromPercentEncoding(raw);
        const QString key = QString::fromUtf8(bytes);
        // Invalid UTF-8 would decode to replacement characters and alias another key.
        if (key.toUtf8() != bytes || !isValidCloudDbKey(key)) {
            *error = QStringLiteral("Invalid key in path");
            return false;
        }
        segments->append(key);
        if (segments->size() > kCloudDbMaxDepth) {
            *error = QStringLiteral("Path deeper than %1 levels").arg(kCloudDbMaxDepth);
            return false;
        }
    }
    return true;
}

bool parseCloudDbJson(const QByteArray &body, QJsonValue *value, QString *error)
{
    // The document parser takes only arrays and objects at the top; wrapping
    // the text in one array accepts any single value and nothing more.
    QJsonParseError pe;
    const QJsonDocument doc = QJsonDocument::fromJson("[" + body + "]", &pe);
    if (pe.error != QJsonParseError::NoError || !doc.isArray() || doc.array().size() != 1) {
        *error = QStringLiteral("Invalid data; couldn't parse JSON object, array, or value.");
        return false;
    }
    *value = doc.array().at(0);
    return true;
}

namespace {

bool checkValue(const QJsonValue &value, int depth, QString *error)
{
    if (value.isObject()) {
        if (depth + 1 > kCloudDbMaxDepth) {
            *error = QStringLiteral("Data deeper than %1 levels").arg(kCloudDbMaxDepth);
            return false;
        }
        const QJsonObject obj = value.toObject();
        for (auto it = obj.begin(); it != obj.end(); ++it) {
            if (!isValidCloudDbKey(it.key())) {
                *error = QStringLiteral("Invalid key in data");
                return false;
            }
            if (!checkValue(it.value(), depth + 1, error))
                return false;
        }
    } else if (value.isArray()) {
        if (depth + 1 > kCloudDbMaxDepth) {
            *error = QStringLiteral("Data deeper than %1 levels").arg(kCloudDbMaxDepth);
            return false;
        }
        for (const QJsonValue &v : value.toArray())
            if (!checkValue(v, depth + 1, error))
                return false;
    }
    return true;
}

bool isIndexKey(const QString &key, int *index)
{
    if (key.isEmpty() || key.size() > 9 || (key.size() > 1 && key.at(0) == QLatin1Char('0')))
        return false;
    for (const QChar c : key)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    *index = key.toInt();
    return true;
}

} // namespace

bool checkCloudDbValue(const QJsonValue &value, int baseDepth, QString *error)
{
    return checkValue(value, baseDepth, error);
}

QJsonValue normalizeCloudDbValue(const QJsonValue &value)
{
    if (value.isArray()) {
        QJsonObject obj;
        const QJsonArray arr = value.toArray();
        for (int i = 0; i < arr.size(); ++i) {
            const QJsonValue v = normalizeCloudDbValue(arr.at(i));
            if (!v.isNull())
                obj.insert(QString::number(i), v);
        }
        return obj.isEmpty() ? QJsonValue() : QJsonValue(obj);
    }
    if (value.isObject()) {
        QJsonObject obj = value.toObject();
        for (auto it = obj.begin(); it != obj.end();) {
            const QJsonValue v = normalizeCloudDbValue(it.value());
            if (v.isNull()) {
                it = obj.erase(it);
            } else {
                it.value() = v;
                ++it;
            }
        }
        return obj.isEmpty() ? QJsonValue() : QJsonValue(obj);
    }
    if (value.isUndefined())
        return QJsonValue();
    return value;
}

QJsonValue renderCloudDbValue(const QJsonValue &stored)
{
    if (!stored.isObject())
        return stored;
    const QJsonObject obj = stored.toObject();
    int maxIndex = -1;
    bool allIndexes = true;
    for (auto it = obj.begin(); it != obj.end() && allIndexes; ++it) {
        int index = 0;
        if (isIndexKey(it.key(), &index))
            maxIndex = qMax(maxIndex, index);
        else
            allIndexes = false;
    }
    // Same heuristic as the hosted database: more than half the slots used.
    if (allIndexes && maxIndex >= 0 && obj.size() * 2 > maxIndex + 1) {
        QJsonArray arr;
        for (int i = 0; i <= maxIndex; ++i) {
            const QJsonValue item = obj.value(QString::number(i));
            arr.append(item.isUndefined() ? QJsonValue() : renderCloudDbValue(item));
        }
        return arr;
    }
    QJsonObject out;
    for (auto it = obj.begin(); it != obj.end(); ++it)
        out.insert(it.key(), renderCloudDbValue(it.value()));
    return out;
}

QJsonValue cloudDbNode(const QJsonValue &root, const QStringList &path)
{
    QJsonValue node = root;
    for (const QString &key : path) {
        if (!node.isObject())
            return QJsonValue();
        node = node.toObject().value(key);
        if (node.isUndefined())
            return QJsonValue();
    }
    return node;
}

namespace {

QJsonValue withNode(const QJsonValue &node, const QStringList &path, int level, const QJsonValue &value)
{
    if (level == path.size())
        return value;
    // A primitive standing in the way is replaced by the new branch.
    QJsonObject obj = node.isObject() ? node.toObject() : QJsonObject();
    const QString &key = path.at(level);
    const QJsonValue child = withNode(obj.value(key), path, level + 1, value);
    if (child.isNull())
        obj.remove(key);
    else
        obj.insert(key, child);
    return obj.isEmpty() ? QJsonValue() : QJsonValue(obj);
}

} // namespace

QJsonValue cloudDbWithNode(const QJsonValue &root, const QStringList &path, const QJsonValue &value)
{
    const QJsonValue normalized = normalizeCloudDbValue(value);
    // Deleting a missing node must not turn a primitive parent into nothing.
    if (normalized.isNull() && cloudDbNode(root, path).isNull())
        return root;
    return withNode(root, path, 0, normalized);
}

QByteArray cloudDbJsonText(const QJsonValue &value)
{
    if (value.isObject())
        return QJsonDocument(value.toObject()).toJson(QJsonDocument::Compact);
    if (value.isArray())
        return QJsonDocument(value.toArray()).toJson(QJsonDocument::Compact);
    QByteArray text = QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact);
    return text.mid(1, text.size() - 2);
}
