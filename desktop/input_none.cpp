// Where no supported window system is built in: hotkey and typing report
// failure so callers can say so.
#include "desktop/platform_posix.h"

DesktopPlatform &nativeDesktopPlatform()
{
    static PosixPlatform platform;
    return platform;
}
