// Non-Windows process side of the platform layer: hardening and the tracer
// check. Capture exclusion does not exist on X11 or elsewhere here.
#include "desktop/platform_posix.h"

#include <fstream>
#include <iterator>
#include <string>

#ifdef __linux__
#include <sys/prctl.h>
#endif

std::vector<desktopplatform::ClipboardMark> PosixPlatform::secretClipboardMarks()
{
    // Read by Klipper and other clipboard managers on Linux desktops.
    return {{"x-kde-passwordManagerHint", "secret"}};
}

desktopplatform::Mitigations PosixPlatform::applyMitigations()
{
    desktopplatform::Mitigations m;
#ifdef __linux__
    // Not dumpable: other processes of the same user can no longer attach
    // with ptrace or read /proc/<pid>/mem, and no core file holds secrets.
    m.memoryReadsRefused = prctl(PR_SET_DUMPABLE, 0, 0, 0, 0) == 0;
#endif
    return m;
}

bool PosixPlatform::debuggerAttached()
{
#ifdef __linux__
    std::ifstream in("/proc/self/status");
    if (!in)
        return false;
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return desktopplatform::tracerPidFromStatus(text.data(), text.size()) != 0;
#else
    return false;
#endif
}
