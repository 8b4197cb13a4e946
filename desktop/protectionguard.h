#pragma once

#include <QString>

// Whether an analysis environment is present: a debugger attached to this
// process (Windows) or a tracer on it (Linux), as this machine's platform
// sees it. Cheap; ask it as often as needed.
bool analysisEnvironmentPresent();

// One-line status of the guard for the activity page.
QString protectionGuardStatus(bool present);
