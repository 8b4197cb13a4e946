// Fuzzes the mail reader with raw mails: any bytes must read without a crash,
// a hang or a leak, with the text within its bound.
#include "mailtext/mailreader.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray raw(reinterpret_cast<const char *>(data), qsizetype(size));
    const MailText mail = readMail(raw);
    if (mail.text.size() > kMailTextChars || mail.from.size() > 220 || mail.subject.size() > 220)
        std::abort();
    return 0;
}
