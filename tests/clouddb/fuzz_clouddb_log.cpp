// Feeds the write log's reader with arbitrary file contents.
#include "clouddb/clouddblog.h"
#include "clouddb/clouddbtree.h"

#include <QByteArray>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray text(reinterpret_cast<const char *>(data), qsizetype(size));
    CloudDbLogContents log;
    QString error;
    if (!parseCloudDbLog(text, &log, &error))
        return 0;
    if (log.validBytes < 0 || log.validBytes > text.size())
        std::abort();
    // The well-formed prefix reads back to the same entries, and every
    // entry is a write the tree accepts.
    CloudDbLogContents again;
    if (!parseCloudDbLog(text.left(log.validBytes), &again, &error) || again.entries.size() != log.entries.size()
        || again.validBytes != log.validBytes)
        std::abort();
    QJsonValue root;
    for (const CloudDbLogEntry &entry : log.entries) {
        if (!checkCloudDbValue(entry.value, int(entry.path.size()), &error))
            std::abort();
        root = cloudDbWithNode(root, entry.path, entry.value);
    }
    if (!checkCloudDbValue(root, 0, &error))
        std::abort();
    return 0;
}
