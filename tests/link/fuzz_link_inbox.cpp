// An inbox read and a sealed payload come from the database: neither may
// crash, and whatever passes must be safe to put into a path.
#include "link/linkpayload.h"
#include "link/pairing.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const QString key = QStringLiteral("8f3c0b9e4f3d2a1b8f3c0b9e4f3d2a1b8f3c0b9e4f3d2a1b8f3c0b9e4f3d2a1b");
    for (const InboxEntry &entry : parseInbox(bytes)) {
        if (!isPlainInboxKey(entry.key) || entry.box.size() < 52)
            std::abort();
        LinkCode code;
        openLinkMessage(entry.box, key, &code);
    }
    LinkCode code;
    parseLinkPayload(bytes, &code);
    return 0;
}
