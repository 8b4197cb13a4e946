# Desktop integration: clipboard, typing and the global hotkey, capture
# protection, hardening, shield checks and the protection guard.
set(_desktop_platform platform_common.cpp)
set(_desktop_platform_libs)
if(WIN32)
  list(APPEND _desktop_platform platform_win.cpp)
  list(APPEND _desktop_platform_libs user32)
else()
  list(APPEND _desktop_platform platform_posix.h platform_posix.cpp)
  find_package(PkgConfig QUIET)
  if(PkgConfig_FOUND)
    pkg_check_modules(MIRELO_X11INPUT IMPORTED_TARGET GLOBAL xcb xcb-xtest xkbcommon)
  endif()
  if(MIRELO_X11INPUT_FOUND)
    list(APPEND _desktop_platform x11keys.h x11keys.cpp x11input.cpp)
    list(APPEND _desktop_platform_libs PkgConfig::MIRELO_X11INPUT)
  else()
    # Hotkey and typing then report failure honestly.
    message(STATUS "xcb, xcb-xtest or xkbcommon missing: no global hotkey or typing on X11")
    list(APPEND _desktop_platform input_none.cpp)
  endif()
endif()

mirelo_library(mirelo_desktop
  SOURCES
    platform.h ${_desktop_platform}
    captureprotection.h captureprotection.cpp
    autotyper.h autotyper.cpp hotkeyfilter.h hotkeyfilter.cpp
    protectionguard.h protectionguard.cpp
    shieldchecks.h shieldchecks.cpp
    plaintext.h plaintext.cpp
  PUBLIC_LIBS Qt6::Core Qt6::Gui
  LIBS ${_desktop_platform_libs})

mirelo_library(mirelo_desktop_widgets
  SOURCES capturewidget.h capturewidget.cpp
  PUBLIC_LIBS mirelo_desktop Qt6::Widgets)
