#pragma once

#include <QByteArray>

#include <stdexcept>
#include <vector>

// A QR Code Model 2 symbol: byte mode, one segment. The grid is addressed as
// row y, column x; true is a dark module.
struct QrCode
{
    int version = 0;
    int size = 0;
    std::vector<std::vector<bool>> modules;

    bool dark(int x, int y) const { return modules[size_t(y)][size_t(x)]; }
};

// Error-correction levels in the order of the standard's tables.
enum QrLevel { QrLevelL = 0, QrLevelM = 1, QrLevelQ = 2, QrLevelH = 3 };

// Thrown when the data does not fit version 40 at the requested level.
class QrLengthError : public std::length_error
{
public:
    QrLengthError() : std::length_error("veri buyuk") {}
};

// Encodes `data` at error-correction level `level` (0..3) in the smallest
// version that holds it. `mask` -1 chooses the mask by the penalty rules;
// 0..7 forces one. Throws QrLengthError when the data is too long, and
// std::invalid_argument for a level or mask out of range.
QrCode encodeBinary(const QByteArray &data, int level, int mask = -1);

// The largest number of data bytes that `version` holds at `level`.
int qrByteCapacity(int version, int level);
