#include "link/linkpayload.h"

#include "link/pairing.h"
#include "mail/mailrecords.h"
#include "vault/sealedbox.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonParseError>

namespace {

bool parseJson(const QByteArray &bytes, QJsonDocument *doc)
{
    QJsonParseError error;
    *doc = QJsonDocument::fromJson(bytes, &error);
    return error.error == QJsonParseError::NoError;
}

void addInboxEntry(QList<InboxEntry> *entries, const QString &key, const QJsonValue &value)
{
    if (!isPlainInboxKey(key) || !value.isObject())
        return;
    const QJsonValue data = value.toObject().value(QLatin1String("data"));
    if (!data.isString())
        return;
    const auto decoded = QByteArray::fromBase64Encoding(data.toString().toLatin1(),
                                                         QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded || decoded.decoded.size() < kSealedBoxOverhead)
        return;
    entries->append(InboxEntry{key, decoded.decoded});
}

} // namespace

QJsonObject newSessionRecord(const QString &codeHash, const QString &createdIso)
{
    QJsonObject record;
    record.insert(QLatin1String("codeHash"), codeHash);
    record.insert(QLatin1String("created"), createdIso);
    record.insert(QLatin1String("status"), QLatin1String("waiting"));
    return record;
}

bool parseSessionRecord(const QByteArray &body, QJsonObject *record)
{
    QJsonDocument doc;
    if (!parseJson(body, &doc) || !doc.isObject())
        return false;
    *record = doc.object();
    return true;
}

bool sessionIsPaired(const QJsonObject &record)
{
    const QJsonValue status = record.value(QLatin1String("status"));
    return status.isString() && status.toString() == QLatin1String("paired");
}

QString sessionDeviceName(const QJsonObject &record)
{
    const QJsonValue device = record.value(QLatin1String("device"));
    // The joiner cuts it; a record written by anyone else may not be.
    return device.isString() ? cutText(device.toString(), kDeviceNameMax) : QStringLiteral("Telefon");
}

QJsonObject joinedSessionRecord(const QJsonObject &record, const QString &deviceName,
                                const QString &pairedAtIso)
{
    QJsonObject joined = record;
    joined.insert(QLatin1String("status"), QLatin1String("paired"));
    joined.insert(QLatin1String("device"), cutText(deviceName, kDeviceNameMax));
    joined.insert(QLatin1String("pairedAt"), pairedAtIso);
    return joined;
}

QByteArray buildLinkPayload(const MailItem &item, const QString &tsIso)
{
    QJsonObject payload;
    payload.insert(QLatin1String("from"), cutText(item.from, kPayloadFromMax));
    payload.insert(QLatin1String("subject"), cutText(item.subject, kPayloadSubjectMax));
    payload.insert(QLatin1String("code"), item.code);
    payload.insert(QLatin1String("ts"), tsIso);
    return QJsonDocument(payload).toJson(QJsonDocument::Compact);
}

QJsonObject sealLinkMessage(const QByteArray &payload, const QString &tsIso,
                            const QString &deviceKey, const QByteArray &salt)
{
    QJsonObject message;
    message.insert(QLatin1String("ts"), tsIso);
    message.insert(QLatin1String("data"),
                   QString::fromLatin1(sealBox(payload, deviceKey, salt).toBase64()));
    return message;
}

QList<InboxEntry> parseInbox(const QByteArray &body)
{
    QList<InboxEntry> entries;
    QJsonDocument doc;
    if (!parseJson(body, &doc))
        return entries;
    if (doc.isObject()) {
        const QJsonObject inbox = doc.object();
        for (auto it = inbox.begin(); it != inbox.end(); ++it)
            addInboxEntry(&entries, it.key(), it.value());
    } else if (doc.isArray()) {
        // The database shows an object whose keys are all small indexes as
        // an array; its indexes are then the keys.
        const QJsonArray inbox = doc.array();
        for (qsizetype i = 0; i < inbox.size(); ++i)
            addInboxEntry(&entries, QString::number(i), inbox.at(i));
    }
    return entries;
}

bool parseLinkPayload(const QByteArray &plain, LinkCode *code)
{
    QJsonDocument doc;
    if (!parseJson(plain, &doc) || !doc.isObject())
        return false;
    // A box that opens to anything but a message of the right shape (e.g. one
    // lengthened without the key) is dropped, never shown as an empty code.
    const QJsonObject payload = doc.object();
    const QJsonValue from = payload.value(QLatin1String("from"));
    const QJsonValue subject = payload.value(QLatin1String("subject"));
    const QJsonValue value = payload.value(QLatin1String("code"));
    const QJsonValue ts = payload.value(QLatin1String("ts"));
    if (!from.isString() || !subject.isString() || !value.isString() || !ts.isString()
        || value.toString().isEmpty())
        return false;
    code->from = from.toString();
    code->subject = subject.toString();
    code->code = value.toString();
    code->ts = ts.toString();
    return true;
}

bool openLinkMessage(const QByteArray &box, const QString &deviceKey, LinkCode *code)
{
    const QByteArray plain = openBox(box, deviceKey);
    return !plain.isEmpty() && parseLinkPayload(plain, code);
}

QList<PairedDevice> parsePairedDevices(const QByteArray &json)
{
    QList<PairedDevice> devices;
    QJsonDocument doc;
    if (json.isEmpty() || !parseJson(json, &doc) || !doc.isArray())
        return devices;
    for (const QJsonValue &value : doc.array()) {
        const QJsonObject o = value.toObject();
        const QJsonValue sid = o.value(QLatin1String("sid"));
        const QJsonValue key = o.value(QLatin1String("key"));
        if (!sid.isString() || !key.isString() || sid.toString().isEmpty() || key.toString().isEmpty())
            continue;
        devices.append(PairedDevice{sid.toString(), o.value(QLatin1String("name")).toString(),
                                    key.toString(), o.value(QLatin1String("at")).toString()});
    }
    return devices;
}

QByteArray serializePairedDevices(const QList<PairedDevice> &devices)
{
    QJsonArray array;
    for (const PairedDevice &d : devices) {
        QJsonObject o;
        o.insert(QLatin1String("sid"), d.sid);
        o.insert(QLatin1String("name"), d.name);
        o.insert(QLatin1String("key"), d.key);
        o.insert(QLatin1String("at"), d.at);
        array.append(o);
    }
    return QJsonDocument(array).toJson(QJsonDocument::Compact);
}
