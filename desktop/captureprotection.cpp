#include "desktop/captureprotection.h"

#include "desktop/platform.h"

#include <QSettings>
#include <QStringList>

QString hardeningSummary(const HardeningOutcome &outcome)
{
    QStringList labels;
    if (outcome.extensionPointsDisabled)
        labels << QStringLiteral("eklenti-sizma-kapali");
    if (outcome.dynamicCodeProhibited)
        labels << QStringLiteral("dinamik-kod-yasak");
    if (outcome.remoteImagesBlocked)
        labels << QStringLiteral("uzak-dll-engelli");
    if (outcome.memoryReadsRefused)
        labels << QStringLiteral("bellek-okuma-kapali");
    if (labels.isEmpty())
        return QStringLiteral("mitigasyon: yok");
    return QStringLiteral("mitigasyon: ") + labels.join(QStringLiteral(", "));
}

QString applyProcessHardening(DesktopPlatform &platform)
{
    const desktopplatform::Mitigations m = platform.applyMitigations();
    HardeningOutcome outcome;
    outcome.extensionPointsDisabled = m.extensionPointsDisabled;
    outcome.dynamicCodeProhibited = m.dynamicCodeProhibited;
    outcome.remoteImagesBlocked = m.remoteImagesBlocked;
    outcome.memoryReadsRefused = m.memoryReadsRefused;
    return hardeningSummary(outcome);
}

bool captureProtectionEnabled()
{
    QSettings settings(QStringLiteral("MIRELOPLUS"), QStringLiteral("MireloPlus"));
    return settings.value(QStringLiteral("captureProt"), true).toBool();
}


bool setCaptureProtection(DesktopPlatform &platform, WId window, bool on)
{
    if (!window)
        return false;
    return platform.setCaptureExcluded(reinterpret_cast<void *>(window), on);
}

QString applyProcessHardening()
{
    return applyProcessHardening(nativeDesktopPlatform());
}

bool captureProtectionAvailable()
{
    return nativeDesktopPlatform().captureExclusionSupported();
}

bool setCaptureProtection(WId window, bool on)
{
    return setCaptureProtection(nativeDesktopPlatform(), window, on);
}
