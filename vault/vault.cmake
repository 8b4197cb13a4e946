# TOTP vault: Base32/TOTP, otpauth import, MRC1 sealed box, secure memory and
# the TotpManager service. No widgets.
mirelo_library(mirelo_vault
  SOURCES
    sealedbox.h sealedbox.cpp
  PUBLIC_LIBS Qt6::Core)
