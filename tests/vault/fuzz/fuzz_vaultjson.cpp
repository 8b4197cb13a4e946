// The vault's sealed JSON as read at unlock: any bytes, no crash; kept
// entries have an id and a secret; writing and reading back is stable.
#include "vault/vaultentry.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray json = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    const QList<VaultEntry> entries = vaultEntriesFromJson(json);
    for (const VaultEntry &e : entries) {
        if (e.id.isEmpty() || e.secret.isEmpty())
            abort();
        totpCode(e, 1700000000);
    }
    const QByteArray once = vaultEntriesToJson(entries);
    const QByteArray twice = vaultEntriesToJson(vaultEntriesFromJson(once));
    if (vaultEntriesToJson(vaultEntriesFromJson(twice)) != twice)
        abort();
    if (vaultEntriesFromJson(once).size() != entries.size())
        abort();
    return 0;
}
