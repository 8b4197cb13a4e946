#include "recognition/emphasis.h"

#include <QStringList>

QString emphasisNames(unsigned kinds)
{
    static const struct
    {
        unsigned kind;
        const char *name;
    } names[] = {{Emphasis::Large, "large"}, {Emphasis::Bold, "bold"}, {Emphasis::Spaced, "spaced"},
                 {Emphasis::Mono, "mono"},   {Emphasis::Boxed, "boxed"}};
    QStringList out;
    for (const auto &n : names) {
        if (kinds & n.kind)
            out << QString::fromLatin1(n.name);
    }
    return out.join(QLatin1Char('+'));
}
