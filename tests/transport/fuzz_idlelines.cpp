// Fuzzes the IDLE connection's reading of server bytes: the bounded line
// reader (fed whole and in pieces, which must agree) and the meaning of each
// line and capability list.
#include <QByteArray>
#include <QList>

#include <cstdint>
#include <cstdlib>

#include "transport/idleparse.h"

namespace {
constexpr qint64 kLimit = 512;

QList<QByteArray> readAll(const QByteArray &bytes, qsizetype piece, bool *overflow)
{
    ImapLineReader reader(kLimit);
    QList<QByteArray> lines;
    QByteArray line;
    for (qsizetype at = 0; at < bytes.size(); at += piece) {
        reader.feed(bytes.mid(at, piece));
        while (reader.next(line))
            lines << line;
    }
    *overflow = reader.overflowed();
    return lines;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    const qsizetype piece = 1 + data[0] % 17;
    const QByteArray bytes(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));
    bool wholeOverflow = false;
    bool piecesOverflow = false;
    const QList<QByteArray> whole = readAll(bytes, qMax<qsizetype>(1, bytes.size()), &wholeOverflow);
    const QList<QByteArray> pieces = readAll(bytes, piece, &piecesOverflow);
    if (whole != pieces || wholeOverflow != piecesOverflow)
        std::abort();
    for (const QByteArray &line : whole) {
        if (line.size() > kLimit || line.contains('\n'))
            std::abort();
        const IdleLine l = classifyIdleLine(line, "i7");
        if ((l.kind == IdleLine::Exists || l.kind == IdleLine::Recent) != (l.number >= 0))
            std::abort();
        const int caps = lineAnnouncesIdle(line);
        if (caps < -1 || caps > 1)
            std::abort();
    }
    const int delay = idleRetryDelayMs(int(size % 40), double(data[0]) / 256.0, 1000, 300000);
    if (delay < 750 || delay > 300000)
        std::abort();
    return 0;
}
