#pragma once

#include <QString>

// The per-user settings store holds the sealed vault, the mail passwords and
// the device keys: on Unix it is made readable by its owner only (0600, its
// folder 0700), created so when missing. Rewrites keep the mode, since the
// store replaces the file by one that takes over the old file's permissions.
// False when the file could not be created or its mode not set.
bool restrictSettingsStore();
// The same for a given settings file.
bool restrictSettingsFile(const QString &path);

// Why the store cannot be written (a read-only file or folder, a registry
// branch the user may not change), naming where it is; empty when it can.
// Without a writable store every change is lost when the program ends.
QString settingsStoreWriteProblem();

// Windows: MIRELO_SETTINGS_HKCU names a key below the user's HKEY_CURRENT_USER
// that stands in for it in this process, so that tests and benchmarks hand
// their throw-away store to the programs they start (as XDG_CONFIG_HOME does
// on Unix). Call before anything reads settings. False when the variable is
// set and the key could not be put in place: nothing may run on the user's
// own store then.
bool followSettingsStoreOverride();

// The per-user data folder (the embedded database's files): the system's
// application data folder, or MIRELO_DATA_DIR when set. Windows has no
// XDG_DATA_HOME, so tests and benchmarks hand their throw-away folder to the
// programs they start through this variable.
QString dataFolder();
