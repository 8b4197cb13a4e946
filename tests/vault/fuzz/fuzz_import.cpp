// Files and pasted text handed to the importers: every format, with a
// password for the encrypted ones. What comes out must be addable entries.
#include "vault/vaultimport.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const ImportResult r = parseImport(bytes, QStringLiteral("pw"));
    if (!r.ok() && !r.entries.isEmpty())
        abort();
    if (r.entries.size() > kImportMaxEntries)
        abort();
    for (const TotpImport &e : r.entries) {
        if (e.label.isEmpty() || e.label.size() > kVaultFieldMaxLength || !isValidSecret(e.secret))
            abort();
    }
    return 0;
}
