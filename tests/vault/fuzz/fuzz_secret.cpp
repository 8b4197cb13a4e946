// Secrets and otpauth URIs as pasted by the user. Input: label, a newline,
// then the secret or URI.
#include "vault/otpauth.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    const qsizetype cut = text.indexOf(QLatin1Char('\n'));
    const QString label = cut < 0 ? QString() : text.left(cut);
    const QString input = cut < 0 ? text : text.mid(cut + 1);

    const QString normal = normalizeSecret(input);
    if (isValidSecret(normal) && normalizeSecret(normal) != normal)
        abort();
    TotpImport out;
    if (!importTotpInput(label, input, QString(), &out))
        return 0;
    if (out.label.isEmpty() || out.label.size() > kVaultFieldMaxLength
        || out.issuer.size() > kVaultFieldMaxLength || !isValidSecret(out.secret))
        abort();
    if (out.digits < kTotpMinDigits || out.digits > kTotpMaxDigits || out.period < kTotpMinPeriod
        || out.period > kTotpMaxPeriod)
        abort();
    if (totpCode(out.secret, 1700000000, out.algorithm, out.digits, out.period).size() != out.digits)
        abort();
    return 0;
}
