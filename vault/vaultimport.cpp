#include "vault/vaultimport.h"

#include "vault/importparsers.h"

#include <QJsonDocument>
#include <QJsonParseError>

using namespace importdetail;

namespace importdetail {

ImportResult failed(ImportFormat format, const QString &why)
{
    ImportResult r;
    r.format = format;
    r.error = QStringLiteral("Iceri aktarilamadi: ") + why;
    return r;
}

bool makeEntry(const QString &account, const QString &issuer, const QString &secret, const QString &algorithm,
               int digits, int period, bool steam, TotpImport *out, QString *problem)
{
    QString label = account.trimmed();
    if (label.isEmpty())
        label = issuer.trimmed();
    if (label.isEmpty())
        label = steam ? QStringLiteral("Steam") : QStringLiteral("Hesap");
    TotpImport entry;
    if (!importTotpInput(label, secret, issuer.trimmed(), &entry, problem))
        return false;
    if (steam) {
        entry.steam = true;
    } else {
        if (!algorithm.isEmpty() && !parseTotpAlgorithm(algorithm, &entry.algorithm)) {
            *problem = QStringLiteral("algoritma desteklenmiyor (%1).").arg(algorithm.left(16));
            return false;
        }
        if (digits < kTotpMinDigits || digits > kTotpMaxDigits) {
            *problem = QStringLiteral("%1 haneli kod desteklenmiyor.").arg(digits);
            return false;
        }
        if (period < kTotpMinPeriod || period > kTotpMaxPeriod) {
            *problem = QStringLiteral("%1 saniyelik periyot desteklenmiyor.").arg(period);
            return false;
        }
        entry.digits = digits;
        entry.period = period;
    }
    *out = entry;
    return true;
}

bool fromLink(const QString &link, TotpImport *out, QString *problem)
{
    if (!importTotpInput(QString(), link, QString(), out, problem))
        return false;
    const QString prefix = out->issuer + QLatin1Char(':');
    if (!out->issuer.isEmpty() && out->label.startsWith(prefix) && out->label.size() > prefix.size())
        out->label = out->label.mid(prefix.size()).trimmed();
    return true;
}

bool append(ImportResult *result, const TotpImport &entry)
{
    if (result->entries.size() >= kImportMaxEntries)
        return false;
    result->entries.append(entry);
    return true;
}

} // namespace importdetail

namespace {

QString tooMany()
{
    return QStringLiteral("cok fazla kayit (en fazla %1).").arg(kImportMaxEntries);
}

ImportResult parseOtpauthLines(const QList<QByteArray> &lines)
{
    ImportResult result;
    result.format = ImportFormat::OtpauthList;
    int lineNo = 0;
    for (const QByteArray &raw : lines) {
        ++lineNo;
        const QString line = QString::fromUtf8(raw).trimmed();
        if (line.isEmpty())
            continue;
        if (line.startsWith(QLatin1String("otpauth://hotp/"), Qt::CaseInsensitive)) {
            ++result.unsupported;
            continue;
        }
        TotpImport entry;
        QString problem;
        if (!fromLink(line, &entry, &problem))
            return failed(result.format, QStringLiteral("satir %1: %2").arg(lineNo).arg(problem));
        if (!append(&result, entry))
            return failed(result.format, tooMany());
    }
    return result;
}

} // namespace

QString importFormatName(ImportFormat format)
{
    switch (format) {
    case ImportFormat::OtpauthList:
        return QStringLiteral("otpauth listesi");
    case ImportFormat::GoogleMigration:
        return QStringLiteral("Google Authenticator");
    case ImportFormat::Aegis:
        return QStringLiteral("Aegis");
    case ImportFormat::TwoFas:
        return QStringLiteral("2FAS");
    case ImportFormat::Bitwarden:
        return QStringLiteral("Bitwarden");
    case ImportFormat::Unknown:
        break;
    }
    return QStringLiteral("bilinmeyen");
}

QString base32Encode(const QByteArray &bytes)
{
    static constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ234567";
    QString out;
    out.reserve((bytes.size() * 8 + 4) / 5);
    quint32 buffer = 0;
    int bits = 0;
    for (char c : bytes) {
        buffer = (buffer << 8) | quint8(c);
        bits += 8;
        while (bits >= 5) {
            out += QLatin1Char(kAlphabet[(buffer >> (bits - 5)) & 31]);
            bits -= 5;
        }
    }
    if (bits > 0)
        out += QLatin1Char(kAlphabet[(buffer << (5 - bits)) & 31]);
    return out;
}

ImportResult parseImport(const QByteArray &data, const QString &password)
{
    if (data.size() > kImportMaxBytes)
        return failed(ImportFormat::Unknown, QStringLiteral("dosya cok buyuk (en fazla %1 MB).")
                                                 .arg(kImportMaxBytes / (1024 * 1024)));
    // Windows editors start UTF-8 files with a byte order mark.
    const QByteArray text = (data.startsWith("\xEF\xBB\xBF") ? data.mid(3) : data).trimmed();
    if (text.isEmpty())
        return failed(ImportFormat::Unknown, QStringLiteral("dosya bos."));

    ImportResult result;
    if (text.startsWith('{')) {
        QJsonParseError error;
        const QJsonDocument doc = QJsonDocument::fromJson(text, &error);
        if (error.error != QJsonParseError::NoError || !doc.isObject())
            return failed(ImportFormat::Unknown, QStringLiteral("JSON okunamadi (%1).").arg(error.errorString()));
        const QJsonObject root = doc.object();
        if (root.contains(QLatin1String("db")) && root.contains(QLatin1String("header")))
            result = parseAegis(root, password);
        else if (root.contains(QLatin1String("services")) || root.contains(QLatin1String("servicesEncrypted")))
            result = parseTwoFas(root, password);
        else if (root.contains(QLatin1String("items")))
            result = parseBitwarden(root);
        else
            return failed(ImportFormat::Unknown,
                          QStringLiteral("JSON taninmadi: Aegis, 2FAS veya Bitwarden disa aktarimi degil."));
    } else {
        const QList<QByteArray> lines = text.split('\n');
        bool migration = false;
        for (const QByteArray &line : lines) {
            const QByteArray t = line.trimmed();
            if (t.isEmpty())
                continue;
            const QByteArray lower = t.left(24).toLower();
            if (lower.startsWith("otpauth-migration://"))
                migration = true;
            else if (!lower.startsWith("otpauth://"))
                return failed(ImportFormat::Unknown,
                              QStringLiteral("bicim taninmadi: otpauth:// linkleri, Google Authenticator, Aegis, "
                                             "2FAS veya Bitwarden disa aktarimi bekleniyordu."));
        }
        result = migration ? parseMigrationLines(lines) : parseOtpauthLines(lines);
    }
    if (result.ok() && !result.needsPassword && result.entries.isEmpty())
        return failed(result.format, result.unsupported > 0
                                         ? QStringLiteral("eklenebilecek kayit yok (%1 sayac tabanli kayit desteklenmiyor).")
                                               .arg(result.unsupported)
                                         : QStringLiteral("icinde kayit yok."));
    return result;
}
