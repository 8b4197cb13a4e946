#include "oauth/oauthcore.h"

#include <cstddef>
#include <cstdint>

// Token answers and redirect queries come from outside: neither may crash,
// and whatever they yield must be safe to put in a protocol line.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), int(size));
    const TokenReply reply = readTokenReply(200, bytes);
    for (const QString *token : {&reply.accessToken, &reply.refreshToken}) {
        for (const QChar c : *token) {
            if (c.unicode() < 0x21 || c.unicode() > 0x7e)
                __builtin_trap();
        }
    }
    const RedirectResult redirect = readRedirect(QUrl(QStringLiteral("/?") + QString::fromUtf8(bytes)), QStringLiteral("S1"));
    if (!redirect.code.isEmpty() && !redirect.error.isEmpty())
        __builtin_trap();
    for (const QChar c : redirect.code) {
        if (c.unicode() < 0x21 || c.unicode() > 0x7e)
            __builtin_trap();
    }
    return 0;
}
