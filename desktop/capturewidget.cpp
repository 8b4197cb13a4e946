#include "desktop/capturewidget.h"

#include "desktop/captureprotection.h"
#include "desktop/platform.h"

#include <QWidget>

void applyCaptureProtection(QWidget *widget, DesktopPlatform &platform)
{
    if (!widget || !captureProtectionEnabled())
        return;
    // Asking for the handle creates the native window; pointless where the
    // platform cannot exclude it from capture anyway.
    if (!platform.captureExclusionSupported())
        return;
    const WId handle = widget->winId();
    if (handle)
        setCaptureProtection(platform, handle, true);
}

void applyCaptureProtection(QWidget *widget)
{
    applyCaptureProtection(widget, nativeDesktopPlatform());
}
