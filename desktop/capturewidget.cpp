#include "desktop/capturewidget.h"

#include "desktop/captureprotection.h"
#include "desktop/platform.h"

#include <QWidget>

void applyCaptureProtection(QWidget *widget)
{
    if (!widget || !captureProtectionEnabled())
        return;
    // Asking for the handle creates the native window; pointless where the
    // platform cannot exclude it from capture anyway.
    if (!desktopplatform::captureExclusionSupported())
        return;
    const WId handle = widget->winId();
    if (handle)
        setCaptureProtection(handle, true);
}
