#pragma once

#include "mail/categories.h"
#include "mail/mailrecords.h"
#include "secrets/secretstore.h"

#include <QByteArray>
#include <QList>

// The JSON forms under the settings keys "accounts" and "categories". The
// readers never fail: anything unusable is skipped or takes its default.
// The secret members of one stored account: the form its record is in and
// what that form keeps in the record (in the file form, the secret itself).
struct SecretFields
{
    QString form;
    QString pass;
    QString refreshToken;
};

// The accounts with their secrets in the file form.
QByteArray accountsToJson(const QList<EmailAccount> &accounts);
// With the secret members of each account given, in the same order.
QByteArray accountsToJson(const QList<EmailAccount> &accounts, const QList<SecretFields> &secrets);
// Secrets are filled in only from records in the file form (or of no form:
// the records of older versions).
QList<EmailAccount> accountsFromJson(const QByteArray &json);
// Of each account accountsFromJson keeps, in the same order.
QList<SecretFields> secretFieldsFromJson(const QByteArray &json);
QByteArray categoriesToJson(const QList<Category> &categories);
QList<Category> categoriesFromJson(const QByteArray &json);
