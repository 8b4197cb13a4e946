#pragma once

#include <QByteArray>
#include <QString>
#include <QVariant>

#include <functional>

class QObject;

// The machine's kernel-level protections as read from the registry; all
// false where a value is missing (and everywhere off Windows).
struct ShieldChecks
{
    bool hvci = false;
    bool secureBoot = false;
    bool uac = false;
    bool testSigning = false;
};

ShieldChecks readShieldChecks();

// Reads a registry value as an integer; 0 when missing or not a number.
// Off Windows always 0, and no settings file is ever created.
int readRegistryInt(const QString &keyPath, const QString &valueName);

// Asks PowerShell whether Defender real-time protection is on. Returns at
// once; `done(on, known)` runs on the GUI thread when the process finishes.
// The process is owned by `context`; once `context` goes, `done` is not
// called.
void queryDefender(QObject *context, std::function<void(bool on, bool known)> done);

QString shieldLine(bool on, const QString &name, const QString &hint);
QString shieldText(const ShieldChecks &checks, bool defenderOn, bool defenderKnown);

// Pure pieces of the checks above.
struct DefenderAnswer
{
    bool on = false;
    bool known = false;
};
DefenderAnswer parseDefenderAnswer(int exitCode, bool crashed, const QByteArray &output);
int registryValueToInt(const QVariant &value);
bool startOptionsHaveTestSigning(const QString &startOptions);
