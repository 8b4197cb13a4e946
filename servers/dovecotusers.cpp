#include "servers/dovecotusers.h"

DovecotUsers::DovecotUsers(int users) : m_users(users) {}

bool DovecotUsers::start()
{
    if (!m_tls.isValid()) {
        m_error = m_tls.error();
        return false;
    }
    m_tls.trustInProcess();
    for (int i = 1; i <= m_users; ++i) {
        if (!m_imap.addUser(QStringLiteral("user%1").arg(i), password())) {
            m_error = QStringLiteral("user%1 could not be added").arg(i);
            return false;
        }
    }
    if (!m_imap.start()) {
        m_error = m_imap.error();
        return false;
    }
    return true;
}

QString DovecotUsers::nextUser()
{
    if (m_taken >= m_users)
        return QString();
    return QStringLiteral("user%1").arg(++m_taken);
}
