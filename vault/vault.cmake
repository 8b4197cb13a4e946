# TOTP vault: Base32/TOTP, otpauth import, the MRC1 sealed box (still read,
# and the phones' format), the Argon2id/XChaCha20 vault box (libsodium),
# the importers of other authenticators' exports (libsodium's scrypt and
# AES-GCM, Qt's PBKDF2), secure memory and the TotpManager service with
# its auto-lock. No widgets.
find_package(PkgConfig REQUIRED)
pkg_check_modules(SODIUM REQUIRED IMPORTED_TARGET GLOBAL libsodium)
set(_vault_platform securememory_posix.cpp)
if(WIN32)
  set(_vault_platform securememory_win.cpp)
endif()
mirelo_library(mirelo_vault
  SOURCES
    sealedbox.h sealedbox.cpp
    vaultbox.h vaultbox.cpp
    vaultimport.h vaultimport.cpp importparsers.h importmigration.cpp importjson.cpp
    importcrypto.h importcrypto.cpp
    vaultexport.h vaultexport.cpp
    sha256.h sha256.cpp
    totp.h totp.cpp
    otpauth.h otpauth.cpp
    vaultentry.h vaultentry.cpp
    securememory.h securememory.cpp securememory_platform.h ${_vault_platform}
    totpmanager.h totpmanager.cpp
    autolock.h autolock.cpp
  PUBLIC_LIBS Qt6::Core mirelo_core
  LIBS PkgConfig::SODIUM Qt6::Network)
