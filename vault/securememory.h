#pragma once

#include <QByteArray>
#include <QByteArrayView>

// Overwrites the array's own bytes with zeros (in a way the compiler must
// keep), then empties it.
void wipeBytes(QByteArray &bytes);

// A byte buffer for secrets: page-locked while it holds bytes (so it is not
// written to swap) and overwritten with zeros whenever it is replaced,
// cleared or destroyed.
class SecureBytes
{
public:
    SecureBytes() = default;
    ~SecureBytes();
    SecureBytes(const SecureBytes &) = delete;
    SecureBytes &operator=(const SecureBytes &) = delete;

    // Takes over `bytes` (wiping the old content first); the caller's array is
    // left empty so no unlocked copy of the secret stays behind.
    void assign(QByteArray &&bytes);
    void wipe();

    // A view, never a copy: a shared copy would outlive the wipe.
    QByteArrayView view() const { return m_bytes; }
    qsizetype size() const { return m_bytes.size(); }
    bool isEmpty() const { return m_bytes.isEmpty(); }
    bool isPageLocked() const { return m_pageLocked; }

private:
    QByteArray m_bytes;
    bool m_pageLocked = false;
};
