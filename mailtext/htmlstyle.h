#pragma once

// Internal to the mail reader: the little of CSS that decides whether text
// is seen at all and whether the sender set it off.

#include "recognition/emphasis.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>

// An sRGB colour; alpha 0 is transparent.
struct CssColor
{
    std::uint8_t r = 0, g = 0, b = 0, a = 255;
    bool set = false;
};

// Reads "#abc", "#aabbcc", "rgb(1,2,3)", "rgba(...)", "transparent" and a
// few names. Unset on anything else.
CssColor parseCssColor(std::string_view value);

// Whether text in `fg` can be told apart from `bg` at all.
bool colorsClose(const CssColor &fg, const CssColor &bg);

// What the declarations of an element (its style attribute, its classes)
// say. Later declarations override earlier ones, as in CSS.
struct StyleFacts
{
    bool hidden = false;    // display:none, visibility:hidden, opacity:0, zero size, off screen, tiny font
    int fontPx = -1;        // font size in pixels when stated absolutely
    int fontPercent = -1;   // relative size (em, %) in percent of the parent's
    CssColor color;
    CssColor background;
    unsigned emphasis = 0;  // Emphasis::Kind bits
};

// Merges the declarations of `css` ("a:b; c:d") into `facts`. Linear in the
// input; numbers are clamped.
void readDeclarations(std::string_view css, StyleFacts *facts);

// Adds what `from` says to `into`, `from` winning where both speak.
void mergeFacts(const StyleFacts &from, StyleFacts *into);

// The rules of a <style> element that name one class (".code {...}",
// ".a, .b {...}"); at-rules (@media and the like) are passed over, as their
// rules hold for other screens. Bounded: at most kMaxClasses classes and
// kMaxRuleBytes of rules are kept, whatever the sheet holds.
class ClassSheet
{
public:
    static constexpr std::size_t kMaxClasses = 2048;
    static constexpr std::size_t kMaxRuleBytes = 256 * 1024;

    void add(std::string_view css);
    const StyleFacts *find(std::string_view className) const;
    bool empty() const { return m_classes.empty(); }

private:
    std::unordered_map<std::string, StyleFacts> m_classes;
    std::size_t m_read = 0;
};
