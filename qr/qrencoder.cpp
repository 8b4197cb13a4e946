#include "qr/qrencoder.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

// Error-correction codewords per block and number of blocks, by level (L, M,
// Q, H) and version (index 0 unused).
constexpr std::int8_t kEccPerBlock[4][41] = {
    {-1, 7, 10, 15, 20, 26, 18, 20, 24, 30, 18, 20, 24, 26, 30, 22, 24, 28, 30, 28, 28, 28, 28, 30, 30, 26, 28, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30},
    {-1, 10, 16, 26, 18, 24, 16, 18, 22, 22, 26, 30, 22, 22, 24, 24, 28, 28, 26, 26, 26, 26, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28},
    {-1, 13, 22, 18, 26, 18, 24, 18, 22, 20, 24, 28, 26, 24, 20, 30, 24, 28, 28, 26, 30, 28, 30, 30, 30, 30, 28, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30},
    {-1, 17, 28, 22, 16, 22, 28, 26, 26, 24, 28, 24, 28, 22, 24, 24, 30, 28, 28, 26, 28, 30, 24, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30},
};
constexpr std::int8_t kBlocks[4][41] = {
    {-1, 1, 1, 1, 1, 1, 2, 2, 2, 2, 4, 4, 4, 4, 4, 6, 6, 6, 6, 7, 8, 8, 9, 9, 10, 12, 12, 12, 13, 14, 15, 16, 17, 18, 19, 19, 20, 21, 22, 24, 25},
    {-1, 1, 1, 1, 2, 2, 4, 4, 4, 5, 5, 5, 8, 9, 9, 10, 10, 11, 13, 14, 16, 17, 17, 18, 20, 21, 23, 25, 26, 28, 29, 31, 33, 35, 37, 38, 40, 43, 45, 47, 49},
    {-1, 1, 1, 2, 2, 4, 4, 6, 6, 8, 8, 8, 10, 12, 16, 12, 17, 16, 18, 21, 20, 23, 23, 25, 27, 29, 34, 34, 35, 38, 40, 43, 45, 48, 51, 53, 56, 59, 62, 65, 68},
    {-1, 1, 1, 2, 4, 4, 4, 5, 6, 8, 8, 11, 11, 16, 16, 18, 16, 19, 21, 25, 25, 25, 34, 30, 32, 35, 37, 40, 42, 45, 48, 51, 54, 57, 60, 63, 66, 70, 74, 77, 81},
};
// Format-information bits of each level.
constexpr int kLevelBits[4] = {1, 0, 3, 2};

int rawDataModules(int v)
{
    int result = (16 * v + 128) * v + 64;
    if (v >= 2) {
        const int n = v / 7 + 2;
        result -= (25 * n - 10) * n - 55;
        if (v >= 7)
            result -= 36;
    }
    return result;
}

int dataCodewords(int v, int level)
{
    return rawDataModules(v) / 8 - kEccPerBlock[level][v] * kBlocks[level][v];
}

// GF(256) with the reduction polynomial 0x11D.
struct Galois
{
    std::array<std::uint8_t, 512> exp{};
    std::array<int, 256> log{};
    Galois()
    {
        int x = 1;
        for (int i = 0; i < 255; ++i) {
            exp[size_t(i)] = std::uint8_t(x);
            log[size_t(x)] = i;
            x <<= 1;
            if (x & 0x100)
                x ^= 0x11D;
        }
        for (int i = 255; i < 512; ++i)
            exp[size_t(i)] = exp[size_t(i - 255)];
    }
    std::uint8_t mul(std::uint8_t a, std::uint8_t b) const
    {
        if (a == 0 || b == 0)
            return 0;
        return exp[size_t(log[a] + log[b])];
    }
};

const Galois &galois()
{
    static const Galois g;
    return g;
}

// Generator polynomial with roots alpha^0 .. alpha^(degree-1), leading
// coefficient (always 1) dropped, highest power first.
std::vector<std::uint8_t> rsDivisor(int degree)
{
    const Galois &g = galois();
    std::vector<std::uint8_t> result(size_t(degree), 0);
    result.back() = 1;
    std::uint8_t root = 1;
    for (int i = 0; i < degree; ++i) {
        for (size_t j = 0; j < result.size(); ++j) {
            result[j] = g.mul(result[j], root);
            if (j + 1 < result.size())
                result[j] ^= result[j + 1];
        }
        root = g.mul(root, 2);
    }
    return result;
}

// Remainder of `data` divided by the generator; products by each generator
// coefficient come from a table built once per encoding.
class RsEncoder
{
public:
    // Large symbols reuse each generator coefficient thousands of times, so
    // their products come from a table; small ones multiply directly.
    RsEncoder(int degree, bool tabled) : m_degree(degree), m_divisor(rsDivisor(degree))
    {
        const Galois &g = galois();
        if (!tabled)
            return;
        m_table.assign(size_t(degree) * 256, 0);
        for (int i = 0; i < degree; ++i) {
            const std::uint8_t c = m_divisor[size_t(i)];
            if (c == 0)
                continue;
            const int lc = g.log[c];
            std::uint8_t *row = m_table.data() + size_t(i) * 256;
            for (int f = 1; f < 256; ++f)
                row[f] = g.exp[size_t(lc + g.log[size_t(f)])];
        }
    }

    void remainder(const std::uint8_t *data, int len, std::uint8_t *out) const
    {
        const Galois &g = galois();
        std::memset(out, 0, size_t(m_degree));
        const int last = m_degree - 1;
        for (int k = 0; k < len; ++k) {
            const std::uint8_t factor = data[k] ^ out[0];
            if (!m_table.empty()) {
                const std::uint8_t *col = m_table.data() + factor;
                for (int i = 0; i < last; ++i)
                    out[i] = out[i + 1] ^ col[size_t(i) * 256];
                out[last] = col[size_t(last) * 256];
            } else {
                for (int i = 0; i < last; ++i)
                    out[i] = out[i + 1] ^ g.mul(m_divisor[size_t(i)], factor);
                out[last] = g.mul(m_divisor[size_t(last)], factor);
            }
        }
    }

private:
    int m_degree;
    std::vector<std::uint8_t> m_divisor;
    std::vector<std::uint8_t> m_table;
};

struct MaskPatterns
{
    std::uint8_t cells[8][12][12];
    MaskPatterns()
    {
        for (int m = 0; m < 8; ++m)
            for (int y = 0; y < 12; ++y)
                for (int x = 0; x < 12; ++x) {
                    bool invert;
                    switch (m) {
                    case 0: invert = (x + y) % 2 == 0; break;
                    case 1: invert = y % 2 == 0; break;
                    case 2: invert = x % 3 == 0; break;
                    case 3: invert = (x + y) % 3 == 0; break;
                    case 4: invert = (x / 3 + y / 2) % 2 == 0; break;
                    case 5: invert = x * y % 2 + x * y % 3 == 0; break;
                    case 6: invert = (x * y % 2 + x * y % 3) % 2 == 0; break;
                    default: invert = ((x + y) % 2 + x * y % 3) % 2 == 0; break;
                    }
                    cells[m][y][x] = invert ? 1 : 0;
                }
    }
};

const MaskPatterns &maskPatterns()
{
    static const MaskPatterns patterns;
    return patterns;
}

class Builder
{
public:
    Builder(int version, int level) : v(version), lvl(level), size(version * 4 + 17),
        grid(size_t(size * size), 0), function(size_t(size * size), 0) {}

    void drawFunctionPatterns()
    {
        for (int i = 0; i < size; ++i) {
            setFunction(6, i, i % 2 == 0);
            setFunction(i, 6, i % 2 == 0);
        }
        drawFinder(3, 3);
        drawFinder(size - 4, 3);
        drawFinder(3, size - 4);
        const std::vector<int> pos = alignmentPositions();
        const int n = int(pos.size());
        for (int i = 0; i < n; ++i)
            for (int j = 0; j < n; ++j) {
                if ((i == 0 && j == 0) || (i == 0 && j == n - 1) || (i == n - 1 && j == 0))
                    continue;
                drawAlignment(pos[size_t(i)], pos[size_t(j)]);
            }
        drawFormat(0); // reserves the format areas
        drawVersion();
    }

    int cells() const { return size * size; }

    void drawCodewords(const std::vector<std::uint8_t> &data)
    {
        const size_t bits = data.size() * 8;
        size_t i = 0;
        for (int right = size - 1; right >= 1; right -= 2) {
            if (right == 6)
                right = 5;
            const bool upward = ((right + 1) & 2) == 0;
            for (int vert = 0; vert < size; ++vert) {
                const int y = upward ? size - 1 - vert : vert;
                for (int j = 0; j < 2; ++j) {
                    const int x = right - j;
                    const size_t at = size_t(y * size + x);
                    if (function[at])
                        continue;
                    if (i < bits) {
                        grid[at] = (data[i >> 3] >> (7 - (i & 7))) & 1;
                        ++i;
                    }
                }
            }
        }
    }

    // Fills `out` (and its transpose) with the base grid under mask `mask`
    // and that mask's format information.
    void render(int mask, std::vector<std::uint8_t> &out, std::vector<std::uint8_t> &outT) const
    {
        // Every mask repeats with a period of 12 modules in both directions.
        const std::uint8_t(&pattern)[12][12] = maskPatterns().cells[mask];
        std::uint8_t maskRow[12 + 177];
        for (int y = 0; y < size; ++y) {
            const std::uint8_t *periodic = pattern[y % 12];
            for (int x = 0; x < size; ++x)
                maskRow[x] = periodic[x % 12];
            const std::uint8_t *base = grid.data() + y * size;
            const std::uint8_t *fn = function.data() + y * size;
            std::uint8_t *row = out.data() + y * size;
            for (int x = 0; x < size; ++x)
                row[x] = base[x] ^ (maskRow[x] & (fn[x] ^ 1));
        }
        forEachFormatModule(mask, [&](int x, int y, bool dark) { out[size_t(y * size + x)] = dark; });
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x)
                outT[size_t(x * size + y)] = out[size_t(y * size + x)];
    }

    void drawFormat(int mask)
    {
        forEachFormatModule(mask, [this](int x, int y, bool dark) { setFunction(x, y, dark); });
    }

    long penalty(const std::vector<std::uint8_t> &g, const std::vector<std::uint8_t> &gT) const
    {
        long result = 0;
        std::vector<int> bounds(size_t(size) + 1);
        for (int line = 0; line < size; ++line) {
            result += linePenalty(g.data() + line * size, bounds.data());
            result += linePenalty(gT.data() + line * size, bounds.data());
        }
        // 2 x 2 blocks of one colour, and the balance of dark and light.
        long blocks = 0;
        long dark = 0;
        for (int y = 0; y + 1 < size; ++y) {
            const std::uint8_t *a = g.data() + y * size;
            const std::uint8_t *b = a + size;
            for (int x = 0; x + 1 < size; ++x)
                blocks += (a[x] == a[x + 1]) & (a[x] == b[x]) & (a[x] == b[x + 1]);
        }
        for (std::uint8_t m : g)
            dark += m;
        result += blocks * 3;
        const long total = long(size) * size;
        long k = (std::labs(dark * 20 - total * 10) + total - 1) / total - 1;
        if (k < 0)
            k = 0;
        result += k * 10;
        return result;
    }

    QrCode result(const std::vector<std::uint8_t> &g) const
    {
        QrCode qr;
        qr.version = v;
        qr.size = size;
        qr.modules.assign(size_t(size), std::vector<bool>(size_t(size), false));
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x)
                qr.modules[size_t(y)][size_t(x)] = g[size_t(y * size + x)] != 0;
        return qr;
    }

private:
    template <typename Set>
    void forEachFormatModule(int mask, Set set) const
    {
        const int data = kLevelBits[lvl] << 3 | mask;
        int rem = data;
        for (int i = 0; i < 10; ++i)
            rem = (rem << 1) ^ ((rem >> 9) * 0x537);
        const int bits = (data << 10 | rem) ^ 0x5412;
        auto bit = [bits](int i) { return ((bits >> i) & 1) != 0; };
        for (int i = 0; i <= 5; ++i)
            set(8, i, bit(i));
        set(8, 7, bit(6));
        set(8, 8, bit(7));
        set(7, 8, bit(8));
        for (int i = 9; i < 15; ++i)
            set(14 - i, 8, bit(i));
        for (int i = 0; i < 8; ++i)
            set(size - 1 - i, 8, bit(i));
        for (int i = 8; i < 15; ++i)
            set(8, size - 15 + i, bit(i));
        set(8, size - 8, true);
    }

    // Runs of one colour (N1) and finder-like patterns (N3) along one row or
    // column. The run boundaries are collected without branches first, since
    // on real data colours change every other module.
    long linePenalty(const std::uint8_t *line, int *bounds) const
    {
        int count = 0;
        for (int k = 1; k < size; ++k) {
            bounds[count] = k;
            count += line[k] != line[k - 1];
        }
        bounds[count] = size;
        long result = 0;
        std::array<int, 7> history{};
        bool dark = line[0] != 0;
        if (dark)
            addHistory(0, history); // the light area before the symbol
        int start = 0;
        for (int r = 0; r <= count; ++r) {
            const int run = bounds[r] - start;
            start = bounds[r];
            if (run >= 5)
                result += run - 2;
            if (r == count) {
                int last = run;
                if (dark) {
                    addHistory(last, history);
                    last = 0;
                }
                addHistory(last + size, history);
                result += countFinderPatterns(history) * 40;
            } else {
                addHistory(run, history);
                if (!dark)
                    result += countFinderPatterns(history) * 40;
                dark = !dark;
            }
        }
        return result;
    }

    void setFunction(int x, int y, bool dark)
    {
        const size_t at = size_t(y * size + x);
        grid[at] = dark ? 1 : 0;
        function[at] = 1;
    }

    void drawFinder(int cx, int cy)
    {
        for (int dy = -4; dy <= 4; ++dy)
            for (int dx = -4; dx <= 4; ++dx) {
                const int x = cx + dx, y = cy + dy;
                if (x < 0 || x >= size || y < 0 || y >= size)
                    continue;
                const int dist = std::max(std::abs(dx), std::abs(dy));
                setFunction(x, y, dist != 2 && dist != 4);
            }
    }

    void drawAlignment(int cx, int cy)
    {
        for (int dy = -2; dy <= 2; ++dy)
            for (int dx = -2; dx <= 2; ++dx)
                setFunction(cx + dx, cy + dy, std::max(std::abs(dx), std::abs(dy)) != 1);
    }

    std::vector<int> alignmentPositions() const
    {
        if (v == 1)
            return {};
        const int n = v / 7 + 2;
        const int step = (v * 8 + n * 3 + 5) / (n * 4 - 4) * 2;
        std::vector<int> result(static_cast<size_t>(n));
        result[0] = 6;
        for (int i = n - 1, pos = size - 7; i >= 1; --i, pos -= step)
            result[size_t(i)] = pos;
        return result;
    }

    void drawVersion()
    {
        if (v < 7)
            return;
        int rem = v;
        for (int i = 0; i < 12; ++i)
            rem = (rem << 1) ^ ((rem >> 11) * 0x1F25);
        const long bits = long(v) << 12 | rem;
        for (int i = 0; i < 18; ++i) {
            const bool bit = ((bits >> i) & 1) != 0;
            const int a = size - 11 + i % 3, b = i / 3;
            setFunction(a, b, bit);
            setFunction(b, a, bit);
        }
    }

    // Run history for the finder-like pattern rule; the area outside the
    // symbol counts as light, so the first run is lengthened by the size.
    void addHistory(int run, std::array<int, 7> &history) const
    {
        if (history[0] == 0)
            run += size;
        history[6] = history[5];
        history[5] = history[4];
        history[4] = history[3];
        history[3] = history[2];
        history[2] = history[1];
        history[1] = history[0];
        history[0] = run;
    }

    static int countFinderPatterns(const std::array<int, 7> &h)
    {
        const int n = h[1];
        const bool core = n > 0 && h[2] == n && h[3] == n * 3 && h[4] == n && h[5] == n;
        return (core && h[0] >= n * 4 && h[6] >= n ? 1 : 0) + (core && h[6] >= n * 4 && h[0] >= n ? 1 : 0);
    }

    int v;
    int lvl;
    int size;
    std::vector<std::uint8_t> grid;
    std::vector<std::uint8_t> function;
};

} // namespace

int qrByteCapacity(int version, int level)
{
    if (version < 1 || version > 40 || level < 0 || level > 3)
        return 0;
    const int countBits = version <= 9 ? 8 : 16;
    return (dataCodewords(version, level) * 8 - 4 - countBits) / 8;
}

QrCode encodeBinary(const QByteArray &data, int level, int mask)
{
    if (level < 0 || level > 3)
        throw std::invalid_argument("level");
    if (mask < -1 || mask > 7)
        throw std::invalid_argument("mask");

    const long length = long(data.size());
    int version = 0;
    for (int v = 1; v <= 40; ++v) {
        const long needed = 4 + (v <= 9 ? 8 : 16) + 8 * length;
        if (long(dataCodewords(v, level)) * 8 >= needed) {
            version = v;
            break;
        }
    }
    if (version == 0)
        throw QrLengthError();

    // Bit stream: byte mode, count, data, terminator, padding.
    const int capacity = dataCodewords(version, level);
    std::vector<std::uint8_t> codewords;
    codewords.reserve(size_t(capacity));
    std::uint32_t acc = 0;
    int accBits = 0;
    auto put = [&](std::uint32_t value, int bits) {
        for (int i = bits - 1; i >= 0; --i) {
            acc = (acc << 1) | ((value >> i) & 1);
            if (++accBits == 8) {
                codewords.push_back(std::uint8_t(acc));
                acc = 0;
                accBits = 0;
            }
        }
    };
    put(0x4, 4);
    put(std::uint32_t(length), version <= 9 ? 8 : 16);
    for (char c : data)
        put(std::uint8_t(c), 8);
    const long used = 4 + (version <= 9 ? 8 : 16) + 8 * length;
    put(0, int(std::min<long>(4, long(capacity) * 8 - used)));
    if (accBits > 0)
        put(0, 8 - accBits);
    for (std::uint8_t pad = 0xEC; int(codewords.size()) < capacity; pad ^= 0xEC ^ 0x11)
        codewords.push_back(pad);

    // Blocks with their error correction, interleaved.
    const int blocks = kBlocks[level][version];
    const int eccLen = kEccPerBlock[level][version];
    const int raw = rawDataModules(version) / 8;
    const int shortBlocks = blocks - raw % blocks;
    const int shortLen = raw / blocks; // data + ecc of a short block
    const RsEncoder rs(eccLen, capacity > 400);
    std::vector<std::uint8_t> ecc(size_t(blocks * eccLen));
    std::vector<int> blockStart(static_cast<size_t>(blocks)), blockLen(static_cast<size_t>(blocks));
    for (int b = 0, k = 0; b < blocks; ++b) {
        const int len = shortLen - eccLen + (b < shortBlocks ? 0 : 1);
        blockStart[size_t(b)] = k;
        blockLen[size_t(b)] = len;
        rs.remainder(codewords.data() + k, len, ecc.data() + b * eccLen);
        k += len;
    }
    std::vector<std::uint8_t> all;
    all.reserve(size_t(raw));
    for (int i = 0; i <= shortLen - eccLen; ++i)
        for (int b = 0; b < blocks; ++b)
            if (i < blockLen[size_t(b)])
                all.push_back(codewords[size_t(blockStart[size_t(b)] + i)]);
    for (int i = 0; i < eccLen; ++i)
        for (int b = 0; b < blocks; ++b)
            all.push_back(ecc[size_t(b * eccLen + i)]);

    Builder builder(version, level);
    builder.drawFunctionPatterns();
    builder.drawCodewords(all);

    const size_t cells = size_t(builder.cells());
    std::vector<std::uint8_t> work(cells), workT(cells);
    if (mask == -1) {
        long best = -1;
        for (int m = 0; m < 8; ++m) {
            builder.render(m, work, workT);
            const long p = builder.penalty(work, workT);
            if (best < 0 || p < best) {
                best = p;
                mask = m;
            }
        }
    }
    builder.render(mask, work, workT);
    return builder.result(work);
}
