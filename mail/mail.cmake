mirelo_library(mirelo_mail
  SOURCES
    mailrecords.h mailrecords.cpp
  PUBLIC_LIBS Qt6::Core)
