#include "desktop/protectionguard.h"

#include "desktop/platform.h"

bool analysisEnvironmentPresent()
{
    return nativeDesktopPlatform().debuggerAttached();
}

QString protectionGuardStatus(bool present)
{
    return present ? QStringLiteral("Koruma: hata ayiklayici algilandi, kodlar bu oturumda gizli.")
                   : QStringLiteral("Koruma: hata ayiklayici algilanmadi, kodlar acik.");
}
