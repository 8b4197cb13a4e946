# Where mail passwords and refresh tokens are kept: the system's protected
# storage (DPAPI on Windows, the Secret Service through libsecret elsewhere)
# or the owner-only settings file. No widgets.
set(_secrets_platform)
set(_secrets_platform_libs)
if(WIN32)
  list(APPEND _secrets_platform dpapistore.cpp)
  list(APPEND _secrets_platform_libs crypt32)
else()
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(LIBSECRET REQUIRED IMPORTED_TARGET GLOBAL libsecret-1)
  list(APPEND _secrets_platform keyringstore.cpp)
  list(APPEND _secrets_platform_libs PkgConfig::LIBSECRET)
endif()
mirelo_library(mirelo_secrets
  SOURCES
    secretstore.h secretstore.cpp
    ${_secrets_platform}
  PUBLIC_LIBS Qt6::Core
  LIBS ${_secrets_platform_libs})
