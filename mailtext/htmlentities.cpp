#include "mailtext/htmltext.h"

#include <algorithm>
#include <string_view>

namespace {

struct Entity
{
    std::string_view name;
    char32_t code;
};

// The named references mail uses, sorted by name (byte order) for a binary
// search: markup, typography, Latin-1 letters and the Turkish ones.
const Entity kEntities[] = {
    {"AElig", 0xC6},   {"Aacute", 0xC1},  {"Acirc", 0xC2},   {"Agrave", 0xC0},  {"Aring", 0xC5},
    {"Atilde", 0xC3},  {"Auml", 0xC4},    {"Ccedil", 0xC7},  {"Dagger", 0x2021}, {"ETH", 0xD0},
    {"Eacute", 0xC9},  {"Ecirc", 0xCA},   {"Egrave", 0xC8},  {"Euml", 0xCB},    {"Gbreve", 0x11E},
    {"Iacute", 0xCD},  {"Icirc", 0xCE},   {"Idot", 0x130},   {"Igrave", 0xCC},  {"Iuml", 0xCF},
    {"Ntilde", 0xD1},  {"OElig", 0x152},  {"Oacute", 0xD3},  {"Ocirc", 0xD4},   {"Ograve", 0xD2},
    {"Oslash", 0xD8},  {"Otilde", 0xD5},  {"Ouml", 0xD6},    {"Prime", 0x2033}, {"Scaron", 0x160},
    {"Scedil", 0x15E}, {"THORN", 0xDE},   {"Uacute", 0xDA},  {"Ucirc", 0xDB},   {"Ugrave", 0xD9},
    {"Uuml", 0xDC},    {"Yacute", 0xDD},  {"Yuml", 0x178},   {"aacute", 0xE1},  {"acirc", 0xE2},
    {"acute", 0xB4},   {"aelig", 0xE6},   {"agrave", 0xE0},  {"amp", 0x26},     {"apos", 0x27},
    {"aring", 0xE5},   {"atilde", 0xE3},  {"auml", 0xE4},    {"bdquo", 0x201E}, {"brvbar", 0xA6},
    {"bull", 0x2022},  {"ccedil", 0xE7},  {"cedil", 0xB8},   {"cent", 0xA2},    {"check", 0x2713},
    {"circ", 0x2C6},   {"copy", 0xA9},    {"curren", 0xA4},  {"dagger", 0x2020}, {"darr", 0x2193},
    {"deg", 0xB0},     {"divide", 0xF7},  {"dollar", 0x24},  {"eacute", 0xE9},  {"ecirc", 0xEA},
    {"egrave", 0xE8},  {"emsp", 0x2003},  {"ensp", 0x2002},  {"eth", 0xF0},     {"euml", 0xEB},
    {"euro", 0x20AC},  {"fnof", 0x192},   {"frac12", 0xBD},  {"frac14", 0xBC},  {"frac34", 0xBE},
    {"gbreve", 0x11F}, {"gt", 0x3E},      {"harr", 0x2194},  {"hellip", 0x2026}, {"iacute", 0xED},
    {"icirc", 0xEE},   {"iexcl", 0xA1},   {"igrave", 0xEC},  {"imath", 0x131},  {"inodot", 0x131},
    {"iquest", 0xBF},  {"iuml", 0xEF},    {"laquo", 0xAB},   {"larr", 0x2190},  {"ldquo", 0x201C},
    {"lrm", 0x200E},   {"lsaquo", 0x2039}, {"lsquo", 0x2018}, {"lt", 0x3C},      {"macr", 0xAF},
    {"mdash", 0x2014}, {"micro", 0xB5},   {"middot", 0xB7},  {"nbsp", 0xA0},    {"ndash", 0x2013},
    {"not", 0xAC},     {"ntilde", 0xF1},  {"oacute", 0xF3},  {"ocirc", 0xF4},   {"oelig", 0x153},
    {"ograve", 0xF2},  {"ordf", 0xAA},    {"ordm", 0xBA},    {"oslash", 0xF8},  {"otilde", 0xF5},
    {"ouml", 0xF6},    {"para", 0xB6},    {"permil", 0x2030}, {"plusmn", 0xB1},  {"pound", 0xA3},
    {"prime", 0x2032}, {"quot", 0x22},    {"raquo", 0xBB},   {"rarr", 0x2192},  {"rdquo", 0x201D},
    {"reg", 0xAE},     {"rlm", 0x200F},   {"rsaquo", 0x203A}, {"rsquo", 0x2019}, {"sbquo", 0x201A},
    {"scaron", 0x161}, {"scedil", 0x15F}, {"sect", 0xA7},    {"shy", 0xAD},     {"sup1", 0xB9},
    {"sup2", 0xB2},    {"sup3", 0xB3},    {"szlig", 0xDF},   {"thinsp", 0x2009}, {"thorn", 0xFE},
    {"tilde", 0x2DC},  {"times", 0xD7},   {"trade", 0x2122}, {"uacute", 0xFA},  {"uarr", 0x2191},
    {"ucirc", 0xFB},   {"ugrave", 0xF9},  {"uml", 0xA8},     {"uuml", 0xFC},    {"yacute", 0xFD},
    {"yen", 0xA5},     {"yuml", 0xFF},    {"zwj", 0x200D},   {"zwnj", 0x200C},
};

// What browsers make of references to the C1 range: Windows-1252 letters.
const char16_t kWindows1252[32] = {
    0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD, 0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178,
};

bool isAlnum(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

} // namespace

qsizetype htmlEntity(const char *at, const char *end, char32_t *code)
{
    // `at` points past the '&'.
    if (at < end && *at == '#') {
        const char *p = at + 1;
        const bool hex = p < end && (*p == 'x' || *p == 'X');
        if (hex)
            ++p;
        const char *digits = p;
        char32_t value = 0;
        while (p < end && p - digits < 8) {
            const char c = *p;
            int d = -1;
            if (c >= '0' && c <= '9')
                d = c - '0';
            else if (hex && c >= 'a' && c <= 'f')
                d = c - 'a' + 10;
            else if (hex && c >= 'A' && c <= 'F')
                d = c - 'A' + 10;
            if (d < 0)
                break;
            value = value * (hex ? 16 : 10) + char32_t(d);
            ++p;
        }
        if (p == digits)
            return 0;
        while (p < end && ((*p >= '0' && *p <= '9') || (hex && isAlnum(*p))))
            ++p; // overlong numbers read as invalid
        if (p < end && *p == ';')
            ++p;
        if (value >= 0x80 && value < 0xA0)
            value = kWindows1252[value - 0x80];
        else if (value == 0 || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF) || p - digits > 9)
            value = 0xFFFD;
        *code = value;
        return p - at;
    }
    const char *p = at;
    while (p < end && p - at < 12 && isAlnum(*p))
        ++p;
    const std::string_view name(at, std::size_t(p - at));
    if (name.empty())
        return 0;
    const auto found = std::lower_bound(std::begin(kEntities), std::end(kEntities), name,
                                        [](const Entity &e, std::string_view key) { return e.name < key; });
    if (found == std::end(kEntities) || found->name != name)
        return 0;
    *code = found->code;
    return qsizetype(name.size()) + (p < end && *p == ';' ? 1 : 0);
}
