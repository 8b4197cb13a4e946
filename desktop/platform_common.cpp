#include "desktop/platform.h"

#include <cstdlib>
#include <cstring>
#include <string>

namespace desktopplatform {

int tracerPidFromStatus(const char *statusText, std::size_t length)
{
    if (!statusText)
        return 0;
    const std::string text(statusText, length);
    static const char kKey[] = "TracerPid:";
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t end = text.find('\n', pos);
        const std::string line = text.substr(pos, end == std::string::npos ? std::string::npos : end - pos);
        if (line.compare(0, sizeof kKey - 1, kKey) == 0) {
            std::size_t i = sizeof kKey - 1;
            while (i < line.size() && (line[i] == ' ' || line[i] == '\t'))
                ++i;
            long value = 0;
            bool digits = false;
            for (; i < line.size() && line[i] >= '0' && line[i] <= '9'; ++i) {
                digits = true;
                value = value * 10 + (line[i] - '0');
                if (value > 0x7fffffffL)
                    return 0;
            }
            // Trailing garbage means the line is not what we think it is.
            if (!digits || i != line.size())
                return 0;
            return static_cast<int>(value);
        }
        if (end == std::string::npos)
            break;
        pos = end + 1;
    }
    return 0;
}

} // namespace desktopplatform
