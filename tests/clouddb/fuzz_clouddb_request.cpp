// Feeds the database's request handling with arbitrary methods, paths and
// bodies. Input layout: method selector byte, then path and body split at
// the first newline.
#include "clouddb/clouddbstore.h"
#include "clouddb/clouddbtree.h"

#include <QByteArray>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    static CloudDbStore store;  // memory only; state carries over between inputs
    static const char *methods[] = {"GET", "PUT", "DELETE", "PATCH"};
    const QByteArray method = methods[data[0] % 4];
    const QByteArray rest(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));
    const qsizetype nl = rest.indexOf('\n');
    const QByteArray path = nl < 0 ? rest : rest.left(nl);
    const QByteArray body = nl < 0 ? QByteArray() : rest.mid(nl + 1);

    const CloudDbReply reply = handleCloudDbRequest(store, method, path, body);
    if (reply.status < 200 || reply.status > 599 || reply.body.isEmpty())
        std::abort();
    // Whatever was accepted must leave a tree that passes its own checks.
    QString error;
    if (!checkCloudDbValue(store.root(), 0, &error))
        std::abort();
    QJsonValue reparsed;
    if (!parseCloudDbJson(reply.body, &reparsed, &error))
        std::abort();
    // Keep the tree small so the fuzzer stays fast.
    if (cloudDbJsonText(store.root()).size() > 64 * 1024)
        store.write({}, QJsonValue(), &error);
    return 0;
}
