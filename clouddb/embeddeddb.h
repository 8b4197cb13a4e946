#pragma once

#include "core/clock.h"

#include <QString>

class QObject;

// Starts the database the program uses and returns its base URL: the
// settings value "cloud/url" when the user set one (a hosted database,
// nothing is started), otherwise a local database server inside this
// process on 127.0.0.1, on a thread of its own, owned by `owner`, with its
// data in the application-data folder. Empty when the local server could
// not start.
QString startCloudDatabase(QObject *owner, const Clock &clock = Clock());
