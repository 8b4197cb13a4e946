# The local realtime database: pure tree, request handling and write log,
# the HTTP server over it (Boost.Beast, on a thread of its own) and the
# program's embedded default.
mirelo_library(mirelo_clouddb_core
  SOURCES clouddbtree.h clouddbtree.cpp clouddblog.h clouddblog.cpp clouddbstore.h clouddbstore.cpp
  PUBLIC_LIBS Qt6::Core)

find_package(Boost 1.74 REQUIRED)
find_package(Threads REQUIRED)
mirelo_library(mirelo_clouddb
  SOURCES clouddbserver.h clouddbserver.cpp embeddeddb.h embeddeddb.cpp
  PUBLIC_LIBS mirelo_clouddb_core mirelo_core Qt6::Core Qt6::Network
  LIBS Boost::headers Threads::Threads)
if(WIN32)
  target_link_libraries(mirelo_clouddb PRIVATE ws2_32 mswsock)
  target_compile_definitions(mirelo_clouddb PRIVATE _WIN32_WINNT=0x0A00)
endif()
