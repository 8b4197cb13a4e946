// Stored vault boxes: whatever sits in "vault/data". Boxes asking for more
// than a tiny Argon2 cost are only checked for their header, so the fuzzer
// spends its time on the parsing, not on the key derivation.
#include "vault/vaultbox.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray box(reinterpret_cast<const char *>(data), qsizetype(size));
    VaultKdfCost cost;
    if (!vaultBoxCost(box, &cost)) {
        VaultBoxError error = VaultBoxError::None;
        if (!openVaultBox(box, "pw", &error).isEmpty() || error != VaultBoxError::Malformed)
            abort();
        return 0;
    }
    if (cost.opsLimit > 2 || cost.memLimitKiB > 64)
        return 0;
    VaultBoxError error = VaultBoxError::None;
    const QByteArray plain = openVaultBox(box, "pw", &error);
    if (error == VaultBoxError::None && plain.size() != box.size() - kVaultBoxOverhead)
        abort();
    return 0;
}
