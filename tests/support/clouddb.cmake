# Fixture that runs the local realtime database for tests (child process or
# in process). Links the server library and builds mirelo-clouddb first.
if(TARGET mirelo_clouddb)
  add_library(mirelo_testsupport_clouddb STATIC clouddbfixture.h clouddbfixture.cpp clouddbload.h clouddbload.cpp)
  target_compile_options(mirelo_testsupport_clouddb PRIVATE ${MIRELO_WARNINGS})
  target_link_libraries(mirelo_testsupport_clouddb PUBLIC mirelo_testsupport mirelo_clouddb Qt6::Core Qt6::Network Threads::Threads)
  if(TARGET mirelo-clouddb)
    add_dependencies(mirelo_testsupport_clouddb mirelo-clouddb)
  endif()
endif()
