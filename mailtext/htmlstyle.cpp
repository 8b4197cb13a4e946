#include "mailtext/htmlstyle.h"

#include <algorithm>
#include <cstdlib>

namespace {

bool isCssSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

char lowerChar(char c)
{
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

std::string_view trimmed(std::string_view s)
{
    while (!s.empty() && isCssSpace(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && isCssSpace(s.back()))
        s.remove_suffix(1);
    return s;
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    c = lowerChar(c);
    return c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
}

// A length: number and unit, clamped; false when none stands there.
struct Length
{
    double value = 0;
    std::string_view unit;
};

bool parseLength(std::string_view s, Length *out)
{
    s = trimmed(s);
    std::size_t i = 0;
    bool negative = false;
    if (i < s.size() && (s[i] == '-' || s[i] == '+'))
        negative = s[i++] == '-';
    double value = 0;
    bool digits = false;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
        value = std::min(value * 10 + (s[i++] - '0'), 1e6);
        digits = true;
    }
    if (i < s.size() && s[i] == '.') {
        double scale = 0.1;
        for (++i; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i, scale /= 10) {
            value += (s[i] - '0') * scale;
            digits = true;
        }
    }
    if (!digits)
        return false;
    std::size_t end = i;
    while (end < s.size() && ((s[end] >= 'a' && s[end] <= 'z') || s[end] == '%'))
        ++end;
    out->value = negative ? -value : value;
    out->unit = s.substr(i, end - i);
    return true;
}

// Pixels of an absolute length; -1 when relative or unreadable.
double pixels(const Length &l)
{
    if (l.unit == "px" || (l.unit.empty() && l.value == 0))
        return l.value;
    if (l.unit == "pt")
        return l.value * 4 / 3;
    if (l.unit == "cm")
        return l.value * 96 / 2.54;
    if (l.unit == "mm")
        return l.value * 96 / 25.4;
    if (l.unit == "in")
        return l.value * 96;
    return -1;
}

bool isZero(std::string_view value)
{
    Length l;
    return parseLength(value, &l) && l.value == 0 && trimmed(value).find_first_not_of("0.+-pxemrtc%") == std::string_view::npos;
}

bool contains(std::string_view hay, std::string_view needle)
{
    return hay.find(needle) != std::string_view::npos;
}

} // namespace

CssColor parseCssColor(std::string_view v)
{
    v = trimmed(v);
    CssColor c;
    if (v == "transparent") {
        c.a = 0;
        c.set = true;
        return c;
    }
    if (!v.empty() && v[0] == '#') {
        const std::string_view h = v.substr(1);
        int d[6];
        const std::size_t n = h.size() >= 6 ? 6 : h.size() >= 3 ? 3 : 0;
        for (std::size_t i = 0; i < n; ++i) {
            d[i] = hexValue(h[i]);
            if (d[i] < 0)
                return {};
        }
        if (n == 6) {
            c.r = std::uint8_t(d[0] * 16 + d[1]);
            c.g = std::uint8_t(d[2] * 16 + d[3]);
            c.b = std::uint8_t(d[4] * 16 + d[5]);
        } else if (n == 3) {
            c.r = std::uint8_t(d[0] * 17);
            c.g = std::uint8_t(d[1] * 17);
            c.b = std::uint8_t(d[2] * 17);
        } else {
            return {};
        }
        c.set = true;
        return c;
    }
    if (v.substr(0, 4) == "rgb(" || v.substr(0, 5) == "rgba(") {
        std::string_view args = v.substr(v.find('(') + 1);
        double parts[4] = {0, 0, 0, 1};
        for (int k = 0; k < 4 && !args.empty(); ++k) {
            const std::size_t cut = args.find_first_of(",) /");
            Length l;
            if (parseLength(args.substr(0, cut), &l))
                parts[k] = l.unit == "%" ? l.value * (k == 3 ? 0.01 : 2.55) : l.value;
            if (cut == std::string_view::npos)
                break;
            args = args.substr(cut + 1);
            while (!args.empty() && (isCssSpace(args.front()) || args.front() == ',' || args.front() == '/'))
                args.remove_prefix(1);
        }
        c.r = std::uint8_t(std::clamp(parts[0], 0.0, 255.0));
        c.g = std::uint8_t(std::clamp(parts[1], 0.0, 255.0));
        c.b = std::uint8_t(std::clamp(parts[2], 0.0, 255.0));
        c.a = std::uint8_t(std::clamp(parts[3], 0.0, 1.0) * 255);
        c.set = true;
        return c;
    }
    struct Named
    {
        std::string_view name;
        std::uint8_t r, g, b;
    };
    static const Named names[] = {{"white", 255, 255, 255}, {"black", 0, 0, 0},     {"red", 255, 0, 0},
                                  {"gray", 128, 128, 128},  {"grey", 128, 128, 128}, {"silver", 192, 192, 192},
                                  {"whitesmoke", 245, 245, 245}, {"snow", 255, 250, 250}, {"ivory", 255, 255, 240},
                                  {"blue", 0, 0, 255},      {"navy", 0, 0, 128},     {"green", 0, 128, 0}};
    for (const Named &n : names) {
        if (v == n.name) {
            c.r = n.r;
            c.g = n.g;
            c.b = n.b;
            c.set = true;
        }
    }
    return c;
}

bool colorsClose(const CssColor &fg, const CssColor &bg)
{
    if (fg.a < 26)
        return true;
    const int dr = std::abs(int(fg.r) - bg.r), dg = std::abs(int(fg.g) - bg.g), db = std::abs(int(fg.b) - bg.b);
    return dr + dg + db <= 24;
}

void readDeclarations(std::string_view css, StyleFacts *f)
{
    bool positioned = false, offScreen = false, clipped = false, overflowHidden = false;
    while (!css.empty()) {
        const std::size_t semi = css.find(';');
        const std::string_view decl = css.substr(0, semi);
        css = semi == std::string_view::npos ? std::string_view() : css.substr(semi + 1);
        const std::size_t colon = decl.find(':');
        if (colon == std::string_view::npos)
            continue;
        std::string name, value;
        for (char ch : trimmed(decl.substr(0, colon)))
            name += lowerChar(ch);
        for (char ch : trimmed(decl.substr(colon + 1)))
            value += lowerChar(ch);
        if (const std::size_t bang = value.find('!'); bang != std::string::npos)
            value = std::string(trimmed(std::string_view(value).substr(0, bang)));
        if (name.size() > 32 || value.empty())
            continue;
        Length l;
        if (name == "display") {
            f->hidden |= value == "none";
        } else if (name == "visibility") {
            f->hidden |= value == "hidden" || value == "collapse";
        } else if (name == "mso-hide") {
            f->hidden |= value == "all";
        } else if (name == "opacity") {
            f->hidden |= parseLength(value, &l) && (l.unit == "%" ? l.value / 100 : l.value) < 0.1;
        } else if (name == "font-size") {
            if (parseLength(value, &l)) {
                const double px = pixels(l);
                if (px >= 0) {
                    f->fontPx = int(std::min(px, 1000.0));
                    f->fontPercent = -1;
                } else if (l.unit == "em" || l.unit == "rem" || l.unit == "%") {
                    f->fontPercent = int(std::min(l.value * (l.unit == "%" ? 1 : 100), 10000.0));
                    f->fontPx = -1;
                }
            } else if (value == "xx-large" || value == "x-large" || value == "larger") {
                f->fontPercent = 150;
            }
        } else if (name == "width" || name == "height" || name == "max-width" || name == "max-height") {
            f->hidden |= isZero(value);
            if (parseLength(value, &l) && pixels(l) >= 0 && pixels(l) <= 2)
                clipped = true;
        } else if (name == "overflow" || name == "overflow-y" || name == "overflow-x") {
            overflowHidden = value == "hidden" || value == "clip";
        } else if (name == "color") {
            f->color = parseCssColor(value);
        } else if (name == "background" || name == "background-color") {
            // "url(x) #fff no-repeat", "rgb(1, 2, 3)": the first word that is a colour.
            const std::size_t rgb = value.find("rgb");
            std::string_view rest = value;
            if (rgb != std::string::npos)
                rest = rest.substr(rgb);
            while (!rest.empty()) {
                const std::size_t cut = rgb != std::string::npos ? std::string_view::npos : rest.find(' ');
                const CssColor c = parseCssColor(rest.substr(0, cut));
                if (c.set) {
                    f->background = c; // a box only where it differs from what is behind: the reader decides
                    break;
                }
                rest = cut == std::string_view::npos ? std::string_view() : rest.substr(cut + 1);
            }
        } else if (name == "border" || name == "border-style") {
            if (contains(value, "solid") || contains(value, "dashed") || contains(value, "dotted"))
                f->emphasis |= Emphasis::Boxed;
        } else if (name == "font-weight") {
            if (value == "bold" || value == "bolder" || (parseLength(value, &l) && l.value >= 600))
                f->emphasis |= Emphasis::Bold;
        } else if (name == "font-family") {
            if (contains(value, "mono") || contains(value, "courier") || contains(value, "consolas")
                || contains(value, "menlo") || contains(value, "monaco") || contains(value, "lucida console"))
                f->emphasis |= Emphasis::Mono;
        } else if (name == "letter-spacing") {
            if (parseLength(value, &l) && (pixels(l) >= 2 || ((l.unit == "em" || l.unit == "rem") && l.value >= 0.1)))
                f->emphasis |= Emphasis::Spaced;
        } else if (name == "position") {
            positioned = value == "absolute" || value == "fixed";
        } else if (name == "left" || name == "top" || name == "right") {
            offScreen |= parseLength(value, &l) && pixels(l) <= -500;
        } else if (name == "text-indent" || name == "margin-left" || name == "margin-top") {
            f->hidden |= parseLength(value, &l) && pixels(l) <= -500;
        } else if (name == "clip") {
            f->hidden |= contains(value, "rect(0") && positioned;
        } else if (name == "transform") {
            // scale(0), scale(0,0), scaleY(0): drawn at no size at all.
            for (const char *zero : {"scale(0)", "scale(0,", "scale(0 ", "scalex(0)", "scaley(0)"})
                f->hidden |= contains(value, zero);
        }
    }
    f->hidden |= positioned && offScreen;
    // A box one or two pixels high that cuts off what overflows shows nothing.
    f->hidden |= clipped && overflowHidden;
    // Text too small to read is filler, whatever else is said.
    f->hidden |= f->fontPx >= 0 && f->fontPx < 6;
}

void ClassSheet::add(std::string_view css)
{
    std::size_t i = 0;
    const auto skipBlock = [&]() {
        // Past a {...} block, nested blocks included.
        int depth = 0;
        for (; i < css.size(); ++i) {
            if (css[i] == '{')
                ++depth;
            else if (css[i] == '}' && --depth <= 0) {
                ++i;
                return;
            }
        }
    };
    while (i < css.size() && m_read < kMaxRuleBytes) {
        const char c = css[i];
        if (isCssSpace(c) || c == '}' || c == ';') {
            ++i;
            continue;
        }
        if (c == '/' && i + 1 < css.size() && css[i + 1] == '*') {
            const std::size_t end = css.find("*/", i + 2);
            i = end == std::string_view::npos ? css.size() : end + 2;
            continue;
        }
        if (c == '<' || c == '-') { // <!-- and --> around old sheets
            while (i < css.size() && (css[i] == '<' || css[i] == '!' || css[i] == '-' || css[i] == '>'))
                ++i;
            continue;
        }
        if (c == '@') {
            const std::size_t brace = css.find_first_of("{;", i);
            if (brace == std::string_view::npos)
                return;
            i = brace;
            if (css[i] == ';')
                ++i;
            else
                skipBlock();
            continue;
        }
        const std::size_t open = css.find('{', i);
        if (open == std::string_view::npos)
            return;
        const std::size_t close = css.find('}', open);
        const std::string_view selectors = css.substr(i, open - i);
        const std::string_view body = css.substr(open + 1, (close == std::string_view::npos ? css.size() : close) - open - 1);
        i = close == std::string_view::npos ? css.size() : close + 1;
        m_read += selectors.size() + body.size();
        StyleFacts facts;
        bool parsed = false;
        std::size_t from = 0;
        while (from <= selectors.size()) {
            std::size_t comma = selectors.find(',', from);
            if (comma == std::string_view::npos)
                comma = selectors.size();
            std::string_view sel = trimmed(selectors.substr(from, comma - from));
            from = comma + 1;
            // "td.code" or ".code", nothing more specific.
            const std::size_t dot = sel.find('.');
            if (dot == std::string_view::npos || sel.find_first_of(" >+~:[#", 0) != std::string_view::npos)
                continue;
            const std::string_view cls = sel.substr(dot + 1);
            if (cls.empty() || cls.size() > 64 || cls.find('.') != std::string_view::npos)
                continue;
            if (!parsed) {
                readDeclarations(body, &facts);
                parsed = true;
            }
            auto it = m_classes.find(std::string(cls));
            if (it == m_classes.end()) {
                if (m_classes.size() >= kMaxClasses)
                    continue;
                it = m_classes.emplace(std::string(cls), StyleFacts()).first;
            }
            // Later rules add to earlier ones.
            mergeFacts(facts, &it->second);
        }
    }
}

void mergeFacts(const StyleFacts &from, StyleFacts *into)
{
    into->hidden |= from.hidden;
    into->emphasis |= from.emphasis;
    if (from.fontPx >= 0 || from.fontPercent >= 0) {
        into->fontPx = from.fontPx;
        into->fontPercent = from.fontPercent;
    }
    if (from.color.set)
        into->color = from.color;
    if (from.background.set)
        into->background = from.background;
}

const StyleFacts *ClassSheet::find(std::string_view className) const
{
    if (m_classes.empty())
        return nullptr;
    const auto it = m_classes.find(std::string(className));
    return it == m_classes.end() ? nullptr : &it->second;
}
