# Screenshots of the main window with demo mails, both themes, on a private
# Xvfb: `cmake --build <build> --target screenshots` writes <build>/screenshots/.
# The test support libraries are declared later (tests/), hence no TARGET check.
if(UNIX AND NOT APPLE AND MIRELO_BUILD_TESTS AND TARGET Qt6::Test AND NOT MIRELO_FUZZ)
  add_executable(mirelo-screenshots screenshots_main.cpp)
  target_compile_options(mirelo-screenshots PRIVATE ${MIRELO_WARNINGS})
  target_link_libraries(mirelo-screenshots PRIVATE mirelo_app mirelo_testsupport mirelo_testsupport_xvfb)
  add_custom_target(screenshots
    COMMAND mirelo-screenshots ${CMAKE_BINARY_DIR}/screenshots
    DEPENDS mirelo-screenshots
    COMMENT "Saving screenshots into ${CMAKE_BINARY_DIR}/screenshots"
    VERBATIM)
endif()
