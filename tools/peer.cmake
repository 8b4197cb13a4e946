# mirelo-peer: a command-line paired device (joins a session, prints pushed codes).
add_executable(mirelo-peer peer_main.cpp)
target_compile_options(mirelo-peer PRIVATE ${MIRELO_WARNINGS})
target_link_libraries(mirelo-peer PRIVATE mirelo_link Qt6::Core Qt6::Network)
install(TARGETS mirelo-peer RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
