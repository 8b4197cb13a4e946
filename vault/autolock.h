#pragma once

#include <QObject>

class QTimer;
class TotpManager;

inline constexpr int kVaultAutoLockMs = 300000;

// Locks an open vault after a quiet interval. The application services own it and call
// restart() after every successful unlock or set-up and every code copy.
class AutoLock : public QObject
{
    Q_OBJECT
public:
    explicit AutoLock(TotpManager *vault, QObject *parent = nullptr, int intervalMs = kVaultAutoLockMs);

    // (Re)starts the countdown; does nothing while the vault is locked.
    void restart();
    void stop();
    bool isActive() const;
    int interval() const;

signals:
    // The vault was locked by the timer (not emitted when it already was).
    void autoLocked();

private:
    void onTimeout();

    TotpManager *m_vault;
    QTimer *m_timer;
};
