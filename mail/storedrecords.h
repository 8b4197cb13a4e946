#pragma once

#include "mail/categories.h"
#include "mail/mailrecords.h"

#include <QByteArray>
#include <QList>

// The JSON forms under the settings keys "accounts" and "categories". The
// readers never fail: anything unusable is skipped or takes its default.
QByteArray accountsToJson(const QList<EmailAccount> &accounts);
QList<EmailAccount> accountsFromJson(const QByteArray &json);
QByteArray categoriesToJson(const QList<Category> &categories);
QList<Category> categoriesFromJson(const QByteArray &json);
