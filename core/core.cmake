# The bottom of every service: the per-user settings store behind one facade
# and the one clock type. QtCore only.
mirelo_library(mirelo_core
  SOURCES
    clock.h clock.cpp
    notice.h
    settings.h settings.cpp
    settingsfile.h settingsfile.cpp
  PUBLIC_LIBS Qt6::Core)
