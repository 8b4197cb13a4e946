# Private Xvfb per test process, for tests that need a real X server
# (global hotkey, synthetic typing, screenshots under xcb).
if(UNIX AND NOT APPLE)
  add_library(mirelo_testsupport_xvfb STATIC xvfbserver.h xvfbserver.cpp)
  target_compile_options(mirelo_testsupport_xvfb PRIVATE ${MIRELO_WARNINGS})
  target_include_directories(mirelo_testsupport_xvfb PUBLIC ${PROJECT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/tests)
  target_link_libraries(mirelo_testsupport_xvfb PUBLIC Qt6::Core)
endif()
