#pragma once

class DesktopPlatform;
class QWidget;

// Protects a secondary window (dialog) from screen capture when the user's
// setting is on; does nothing for a null widget, when the setting is off, or
// where the platform has no capture exclusion.
void applyCaptureProtection(QWidget *widget, DesktopPlatform &platform);
// The same on this machine's platform.
void applyCaptureProtection(QWidget *widget);
