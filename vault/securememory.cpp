#include "vault/securememory.h"

#include "vault/securememory_platform.h"

void wipeBytes(QByteArray &bytes)
{
    if (!bytes.isEmpty()) {
        bytes.detach();
        secureZero(bytes.data(), size_t(bytes.size()));
    }
    bytes = QByteArray();
}

SecureBytes::~SecureBytes()
{
    wipe();
}

void SecureBytes::assign(QByteArray &&bytes)
{
    wipe();
    m_bytes = std::move(bytes);
    bytes = QByteArray();
    if (m_bytes.isEmpty())
        return;
    // Our own buffer, not one shared with the caller, is what gets locked and wiped.
    m_bytes.detach();
    m_pageLocked = lockMemoryPages(m_bytes.data(), size_t(m_bytes.size()));
}

void SecureBytes::wipe()
{
    if (!m_bytes.isEmpty()) {
        m_bytes.detach();
        secureZero(m_bytes.data(), size_t(m_bytes.size()));
        if (m_pageLocked)
            unlockMemoryPages(m_bytes.data(), size_t(m_bytes.size()));
    }
    m_pageLocked = false;
    m_bytes = QByteArray();
}
