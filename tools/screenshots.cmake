# Screenshots of the main window with demo mails, both themes, on a private
# Xvfb: `cmake --build <build> --target screenshots` writes <build>/screenshots/.
if(UNIX AND NOT APPLE AND NOT MIRELO_FUZZ)
  add_executable(mirelo-screenshots screenshots_main.cpp)
  target_compile_options(mirelo-screenshots PRIVATE ${MIRELO_WARNINGS})
  target_link_libraries(mirelo-screenshots PRIVATE mirelo_app mirelo_theme mirelo_link mirelo_mail mirelo_inboxpages
                                                   mirelo_transport_widgets mirelo_vault)
  target_compile_definitions(mirelo-screenshots PRIVATE MIRELO_SCREENSHOT_DIR="${CMAKE_BINARY_DIR}/screenshots")
  add_custom_target(screenshots
    COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1400x900x24" $<TARGET_FILE:mirelo-screenshots> ${CMAKE_BINARY_DIR}/screenshots
    DEPENDS mirelo-screenshots
    COMMENT "Saving screenshots into ${CMAKE_BINARY_DIR}/screenshots"
    VERBATIM)
endif()
