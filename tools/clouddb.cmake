# mirelo-clouddb: the local realtime database as a stand-alone server.
if(TARGET mirelo_clouddb)
  add_executable(mirelo-clouddb clouddb_main.cpp)
  target_compile_options(mirelo-clouddb PRIVATE ${MIRELO_WARNINGS})
  target_link_libraries(mirelo-clouddb PRIVATE mirelo_clouddb Qt6::Core Qt6::Network)
  install(TARGETS mirelo-clouddb RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
