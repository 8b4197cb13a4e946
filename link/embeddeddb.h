#pragma once

#include <QString>

class QObject;

// The database base URL the program uses: the settings value "cloud/url"
// when the user set one (a hosted database), otherwise the URL of a local
// database server started inside this process on 127.0.0.1, owned by
// `owner`, with its data in the application-data folder. Empty when the
// local server could not start.
QString cloudDatabaseUrl(QObject *owner);
