# The local realtime database: pure tree and request handling, the thin HTTP
# server over it, and the program's embedded default.
mirelo_library(mirelo_clouddb_core
  SOURCES clouddbtree.h clouddbtree.cpp clouddbstore.h clouddbstore.cpp
  PUBLIC_LIBS Qt6::Core)

if(TARGET Qt6::HttpServer)
  mirelo_library(mirelo_clouddb
    SOURCES clouddbserver.h clouddbserver.cpp embeddeddb.h embeddeddb.cpp
    PUBLIC_LIBS mirelo_clouddb_core Qt6::Core Qt6::Network
    LIBS Qt6::HttpServer)
endif()
