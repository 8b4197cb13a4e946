#pragma once

#include <QList>
#include <QString>

// One mail provider the program knows, with its IMAP server.
struct MailProvider
{
    QString id;
    QString displayName;
    QString host; // empty for "auto" and "custom"
    quint16 port = 993;
    QString help; // how to get an application password; empty for "auto"/"custom"
    // The outgoing server; empty host for "auto" and "custom".
    QString smtpHost;
    quint16 smtpPort = 465;
    bool smtpStartTls = false; // plain connect upgraded by STARTTLS, else TLS from the first byte
};

// The seven entries, in order, as a new list on every call.
QList<MailProvider> providerCatalogue();

// Catalogue entry for an explicit provider id, else the one the address's
// domain belongs to, else "custom" with host "imap." + domain.
MailProvider resolveProvider(const QString &address, const QString &providerId);

// Whether the trimmed text looks like a mail address.
bool isValidMailAddress(const QString &text);
