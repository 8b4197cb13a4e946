// Session records and the stored device list are read from outside.
#include "link/linkpayload.h"
#include "link/pairing.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    QJsonObject record;
    if (parseSessionRecord(bytes, &record)) {
        sessionIsPaired(record);
        const QString name = sessionDeviceName(record);
        const QJsonObject joined = joinedSessionRecord(record, name, QStringLiteral("t"));
        if (!sessionIsPaired(joined) || sessionDeviceName(joined).size() > kDeviceNameMax)
            std::abort();
    }
    const QList<PairedDevice> devices = parsePairedDevices(bytes);
    for (const PairedDevice &d : devices) {
        if (d.sid.isEmpty() || d.key.isEmpty())
            std::abort();
    }
    // What is saved reads back the same.
    if (parsePairedDevices(serializePairedDevices(devices)).size() != devices.size())
        std::abort();
    return 0;
}
