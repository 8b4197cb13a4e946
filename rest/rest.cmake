# Calls of the cloud realtime database, shared by the cloud account and the device link.
mirelo_library(mirelo_rest
  SOURCES rest.h rest.cpp neterrors.h neterrors.cpp
  PUBLIC_LIBS Qt6::Core Qt6::Network)
