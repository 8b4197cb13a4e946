# The program within the user's session: one instance per user, and the
# entry that starts it at login.
mirelo_library(mirelo_desktop_session
  SOURCES
    singleinstance.h singleinstance.cpp
    autostart.h autostart.cpp
  PUBLIC_LIBS Qt6::Core
  LIBS Qt6::Network)
