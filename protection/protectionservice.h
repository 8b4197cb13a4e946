#pragma once

#include "core/notice.h"

#include <QObject>
#include <QString>
#include <qwindowdefs.h>

#include <functional>

class QTimer;

struct ProtectionOptions
{
    // How often the guard looks for an analysis environment.
    int guardTickMs = 5000;
    // Whether one is present; empty: the real check.
    std::function<bool()> guard;
    // Whether capture protection does anything here; empty: the platform's answer.
    std::function<bool()> captureAvailable;
};

// Masked mode and capture protection. Masked mode begins when the guard
// finds a debugger or tracer and lasts for the session; capture protection
// is the user's setting, applied to the protected window.
class ProtectionService : public QObject
{
    Q_OBJECT
public:
    explicit ProtectionService(const ProtectionOptions &options = ProtectionOptions(), QObject *parent = nullptr);

    bool isMasked() const { return m_masked; }
    bool captureAvailable() const;
    // The stored setting (on unless turned off).
    bool captureEnabled() const;
    // The guard's one-line status for the activity page.
    QString guardStatus() const;

    // The first check and the guard's timer; masked mode may begin at once.
    void start();
    // The window whose content capture protection hides; the stored setting
    // applies to it at once.
    void protectWindow(WId window);

public slots:
    // One look of the guard.
    void check();
    void setCaptureProtection(bool on);

signals:
    // Once per session, to true.
    void maskedChanged(bool masked);
    void guardStatusChanged(const QString &status);
    // After every look of the guard.
    void checked();
    void status(const QString &text);
    void notice(const Notice &notice);

private:
    void enterMaskedMode();

    ProtectionOptions m_options;
    QTimer *m_timer = nullptr;
    WId m_window = 0;
    bool m_masked = false;
    bool m_present = false;
};
