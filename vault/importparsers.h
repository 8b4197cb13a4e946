#pragma once

// Shared by the importers; not part of the folder's public surface.

#include "vault/vaultimport.h"

#include <QJsonObject>

namespace importdetail {

// "Iceri aktarilamadi: " + why.
ImportResult failed(ImportFormat format, const QString &why);
// One entry from an exporter's fields; false with *problem set when the
// fields cannot give working codes.
bool makeEntry(const QString &account, const QString &issuer, const QString &secret, const QString &algorithm,
               int digits, int period, bool steam, TotpImport *out, QString *problem);
// One otpauth:// (or steam://) link; an "Issuer:account" label loses the
// issuer it repeats.
bool fromLink(const QString &link, TotpImport *out, QString *problem);
// Adds `entry`, refusing past kImportMaxEntries.
bool append(ImportResult *result, const TotpImport &entry);

ImportResult parseMigrationLines(const QList<QByteArray> &lines);
ImportResult parseAegis(const QJsonObject &root, const QString &password);
ImportResult parseTwoFas(const QJsonObject &root, const QString &password);
ImportResult parseBitwarden(const QJsonObject &root);

} // namespace importdetail
