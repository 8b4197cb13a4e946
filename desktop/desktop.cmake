# Desktop integration: clipboard, typing and the global hotkey, capture
# protection, hardening, shield checks and the protection guard.
set(_desktop_platform platform_common.cpp)
set(_desktop_platform_libs)
if(WIN32)
  list(APPEND _desktop_platform platform_win.cpp)
  list(APPEND _desktop_platform_libs user32)
else()
  list(APPEND _desktop_platform platform_posix.cpp input_none.cpp)
endif()

mirelo_library(mirelo_desktop
  SOURCES
    platform.h ${_desktop_platform}
    captureprotection.h captureprotection.cpp
    autotyper.h autotyper.cpp hotkeyfilter.h hotkeyfilter.cpp
    protectionguard.h protectionguard.cpp
    shieldchecks.h shieldchecks.cpp
  PUBLIC_LIBS Qt6::Core Qt6::Gui
  LIBS ${_desktop_platform_libs})

mirelo_library(mirelo_desktop_widgets
  SOURCES capturewidget.h capturewidget.cpp
  PUBLIC_LIBS mirelo_desktop Qt6::Widgets)
