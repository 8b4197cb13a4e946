#pragma once

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

#include "mail/mailrecords.h"

// How a provider signs users in through the browser (OAuth 2.0 with PKCE).
// The client id is no part of it: it is a setting (oauthSettingsPrefix).
struct ProviderSignIn
{
    QString key; // "microsoft", "google"; empty: no browser sign-in
    QString buttonText;
    QString authorizeUrl;
    QString tokenUrl;
    QStringList scopes;
    QList<QPair<QString, QString>> extraParameters;
    MailAuth mechanism = MailAuth::XOAuth2;
    // Whether the provider still takes application passwords over IMAP/SMTP.
    bool passwordsWork = true;
};

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
    ProviderSignIn signIn;
};

// The settings group of a provider's sign-in: "oauth/<key>/". Under it
// "clientId" (required), "clientSecret" (Google's desktop clients), and for
// tests or other tenants "authorizeUrl" and "tokenUrl" in place of the
// catalogue's.
QString oauthSettingsPrefix(const ProviderSignIn &signIn);

// The seven entries, in order, as a new list on every call.
QList<MailProvider> providerCatalogue();

// Catalogue entry for an explicit provider id, else the one the address's
// domain belongs to, else "custom" with host "imap." + domain.
MailProvider resolveProvider(const QString &address, const QString &providerId);

// Whether the trimmed text looks like a mail address.
bool isValidMailAddress(const QString &text);
