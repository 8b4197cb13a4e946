# Masked mode and capture protection as one service the pages follow.
mirelo_library(mirelo_protection
  SOURCES protectionservice.h protectionservice.cpp
  PUBLIC_LIBS Qt6::Core Qt6::Gui mirelo_core
  LIBS mirelo_desktop mirelo_router)
