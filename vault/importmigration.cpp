// Google Authenticator's export: otpauth-migration://offline?data=<Base64 of a
// MigrationPayload protobuf>, one such link per QR code of a batch. A small
// reader of that one message; unknown fields are skipped as the wire format
// allows.

#include "vault/importparsers.h"

#include <QHash>
#include <QSet>
#include <QUrl>
#include <QUrlQuery>

using namespace importdetail;

namespace {

class Wire
{
public:
    explicit Wire(QByteArrayView data) : m_data(data) {}
    bool atEnd() const { return m_pos >= m_data.size(); }

    bool varint(quint64 *value)
    {
        quint64 v = 0;
        for (int shift = 0; shift < 64; shift += 7) {
            if (atEnd())
                return false;
            const quint8 b = quint8(m_data[m_pos++]);
            v |= quint64(b & 0x7f) << shift;
            if (!(b & 0x80)) {
                *value = v;
                return true;
            }
        }
        return false;
    }

    bool bytes(QByteArrayView *out)
    {
        quint64 len = 0;
        if (!varint(&len) || len > quint64(m_data.size() - m_pos))
            return false;
        *out = m_data.sliced(m_pos, qsizetype(len));
        m_pos += qsizetype(len);
        return true;
    }

    // Skips one field of wire type `type`; false for groups and damage.
    bool skip(int type)
    {
        quint64 ignored = 0;
        QByteArrayView view;
        switch (type) {
        case 0:
            return varint(&ignored);
        case 1:
            return advance(8);
        case 2:
            return bytes(&view);
        case 5:
            return advance(4);
        default:
            return false;
        }
    }

private:
    bool advance(qsizetype n)
    {
        if (m_data.size() - m_pos < n)
            return false;
        m_pos += n;
        return true;
    }

    QByteArrayView m_data;
    qsizetype m_pos = 0;
};

struct OtpParameters
{
    QByteArray secret;
    QString name;
    QString issuer;
    quint64 algorithm = 0;
    quint64 digits = 0;
    quint64 type = 0;
};

bool readParameters(QByteArrayView data, OtpParameters *out)
{
    Wire wire(data);
    while (!wire.atEnd()) {
        quint64 key = 0;
        if (!wire.varint(&key))
            return false;
        const int field = int(key >> 3);
        const int type = int(key & 7);
        QByteArrayView view;
        if (type == 2 && field >= 1 && field <= 3) {
            if (!wire.bytes(&view))
                return false;
            if (field == 1)
                out->secret = view.toByteArray();
            else if (field == 2)
                out->name = QString::fromUtf8(view);
            else
                out->issuer = QString::fromUtf8(view);
        } else if (type == 0 && field >= 4 && field <= 6) {
            quint64 v = 0;
            if (!wire.varint(&v))
                return false;
            (field == 4 ? out->algorithm : field == 5 ? out->digits : out->type) = v;
        } else if (!wire.skip(type)) {
            return false;
        }
    }
    return true;
}

QString damaged()
{
    return QStringLiteral("Google Authenticator verisi bozuk.");
}

struct Batch
{
    quint64 version = 0;
    quint64 size = 1;
    quint64 index = 0;
    quint64 id = 0;
};

// Reads one payload into `result`; false with `why` set on damage.
bool readPayload(QByteArrayView payload, ImportResult *result, Batch *batch, QString *why)
{
    Wire wire(payload);
    while (!wire.atEnd()) {
        quint64 key = 0;
        if (!wire.varint(&key)) {
            *why = damaged();
            return false;
        }
        if (key != ((1 << 3) | 2)) {
            const int field = int(key >> 3);
            quint64 v = 0;
            if ((key & 7) == 0 && field >= 2 && field <= 5) {
                if (!wire.varint(&v)) {
                    *why = damaged();
                    return false;
                }
                (field == 2 ? batch->version : field == 3 ? batch->size : field == 4 ? batch->index : batch->id) = v;
            } else if (!wire.skip(int(key & 7))) {
                *why = damaged();
                return false;
            }
            continue;
        }
        QByteArrayView view;
        OtpParameters p;
        if (!wire.bytes(&view) || !readParameters(view, &p)) {
            *why = damaged();
            return false;
        }
        if (p.type == 1) { // HOTP
            ++result->unsupported;
            continue;
        }
        static const char *const kAlgorithms[] = {"SHA1", "SHA1", "SHA256", "SHA512"};
        if (p.algorithm > 3) {
            *why = QStringLiteral("kayit %1: MD5 kodlari desteklenmiyor.").arg(result->entries.size() + 1);
            return false;
        }
        const int digits = p.digits == 2 ? 8 : 6;
        // "Issuer:account" names carry the issuer twice.
        QString account = p.name;
        if (!p.issuer.isEmpty() && account.startsWith(p.issuer + QLatin1Char(':')))
            account = account.mid(p.issuer.size() + 1).trimmed();
        TotpImport entry;
        QString problem;
        if (!makeEntry(account, p.issuer, base32Encode(p.secret), QLatin1String(kAlgorithms[p.algorithm]), digits,
                       kTotpDefaultPeriod, false, &entry, &problem)) {
            *why = QStringLiteral("kayit %1: %2").arg(result->entries.size() + 1).arg(problem);
            return false;
        }
        if (!append(result, entry)) {
            *why = QStringLiteral("cok fazla kayit (en fazla %1).").arg(kImportMaxEntries);
            return false;
        }
    }
    // The app writes the version after the entries: a payload without it was cut short.
    if (batch->version == 0) {
        *why = QStringLiteral("Google Authenticator verisi eksik (kesilmis olabilir).");
        return false;
    }
    return true;
}

} // namespace

namespace importdetail {

ImportResult parseMigrationLines(const QList<QByteArray> &lines)
{
    ImportResult result;
    result.format = ImportFormat::GoogleMigration;
    // batch id -> (parts expected, parts seen)
    QHash<quint64, std::pair<quint64, QSet<quint64>>> batches;
    int lineNo = 0;
    for (const QByteArray &raw : lines) {
        ++lineNo;
        const QString line = QString::fromUtf8(raw).trimmed();
        if (line.isEmpty())
            continue;
        if (line.startsWith(QLatin1String("otpauth://"), Qt::CaseInsensitive)) {
            TotpImport entry;
            QString problem;
            if (!fromLink(line, &entry, &problem))
                return failed(result.format, QStringLiteral("satir %1: %2").arg(lineNo).arg(problem));
            if (!append(&result, entry))
                return failed(result.format, QStringLiteral("cok fazla kayit (en fazla %1).").arg(kImportMaxEntries));
            continue;
        }
        const QUrl url(line, QUrl::TolerantMode);
        const QString data = QUrlQuery(url).queryItemValue(QStringLiteral("data"), QUrl::FullyDecoded);
        // Some tools hand the link on with '+' turned into a space.
        QByteArray base64 = data.toLatin1();
        base64.replace(' ', '+');
        auto decoded = QByteArray::fromBase64Encoding(base64, QByteArray::AbortOnBase64DecodingErrors);
        if (!decoded)
            decoded = QByteArray::fromBase64Encoding(
                base64, QByteArray::Base64UrlEncoding | QByteArray::AbortOnBase64DecodingErrors);
        if (url.host().compare(QLatin1String("offline"), Qt::CaseInsensitive) != 0 || !decoded
            || decoded.decoded.isEmpty())
            return failed(result.format, QStringLiteral("satir %1: Google Authenticator linki bozuk.").arg(lineNo));
        QString why;
        Batch batch;
        if (!readPayload(decoded.decoded, &result, &batch, &why))
            return failed(result.format, QStringLiteral("satir %1: %2").arg(lineNo).arg(why));
        auto &parts = batches[batch.id];
        parts.first = batch.size;
        parts.second.insert(batch.index);
    }
    // An export of several QR codes is taken whole or not at all.
    for (const auto &parts : std::as_const(batches)) {
        if (parts.first > quint64(parts.second.size()))
            return failed(result.format, QStringLiteral("Google Authenticator disa aktarimi %1 QR koddan olusuyor, "
                                                        "%2 tanesi var: hepsini birlikte ekle.")
                                             .arg(parts.first)
                                             .arg(parts.second.size()));
    }
    return result;
}

} // namespace importdetail
