# TOTP vault: Base32/TOTP, otpauth import, MRC1 sealed box, secure memory and
# the TotpManager service with its auto-lock. No widgets.
set(_vault_platform securememory_posix.cpp)
if(WIN32)
  set(_vault_platform securememory_win.cpp)
endif()
mirelo_library(mirelo_vault
  SOURCES
    sealedbox.h sealedbox.cpp
    sha256.h sha256.cpp
    totp.h totp.cpp
    otpauth.h otpauth.cpp
    vaultentry.h vaultentry.cpp
    securememory.h securememory.cpp securememory_platform.h ${_vault_platform}
    totpmanager.h totpmanager.cpp
    autolock.h autolock.cpp
  PUBLIC_LIBS Qt6::Core mirelo_core)
