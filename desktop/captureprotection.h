#pragma once

#include <QString>
#include <qwindowdefs.h>

class DesktopPlatform;

// Switches on the process mitigations the platform offers, once at start,
// and returns a one-line summary such as "mitigasyon: dinamik-kod-yasak".
QString applyProcessHardening(DesktopPlatform &platform);

// Whether screen-capture protection is on (the stored setting, default true).
bool captureProtectionEnabled();

// Whether this machine's platform can keep a window out of captures at all
// (Windows 10 2004 and later); elsewhere the setting does nothing.
bool captureProtectionAvailable();

// Keeps the window out of screenshots and recordings (on) or returns it to
// the plain monitor-only affinity (off). False for a null handle or where the
// platform cannot do it (X11 has no capture exclusion).
bool setCaptureProtection(DesktopPlatform &platform, WId window, bool on);

// The same on this machine's platform (nativeDesktopPlatform()).
QString applyProcessHardening();
bool setCaptureProtection(WId window, bool on);

// Which mitigations were accepted, and the summary built from them.
struct HardeningOutcome
{
    bool extensionPointsDisabled = false;
    bool dynamicCodeProhibited = false;
    bool remoteImagesBlocked = false;
    bool memoryReadsRefused = false;
};
QString hardeningSummary(const HardeningOutcome &outcome);
