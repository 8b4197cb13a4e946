# The OAuth 2.0 authorization server of the tests (Python, standard library).
add_library(mirelo_testsupport_oauth STATIC oauthtestserver.h oauthtestserver.cpp)
target_compile_options(mirelo_testsupport_oauth PRIVATE ${MIRELO_WARNINGS})
target_link_libraries(mirelo_testsupport_oauth PUBLIC mirelo_testsupport mirelo_oauth Qt6::Network)
