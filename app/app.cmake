# The window, title bar, tray and notification texts form the application
# library that tests link; the executable is only the entry point.
mirelo_library(mirelo_app
  SOURCES
    titlebar.h titlebar.cpp
    tray.h tray.cpp
    signingate.h signingate.cpp
    commandline.h commandline.cpp
    startup.h startup.cpp
    appservices.h appservices.cpp
    traymenu.h traymenu.cpp
    windowtray.h windowtray.cpp
    servicepages.h servicepages.cpp
    mainwindow.h mainwindow.cpp
    replycontroller.h replycontroller.cpp
  PUBLIC_LIBS Qt6::Widgets mirelo_core mirelo_theme mirelo_mail mirelo_inboxpages mirelo_servicepages mirelo_router
              mirelo_protection
  LIBS mirelo_recognition mirelo_secrets mirelo_transport mirelo_transport_widgets mirelo_vault mirelo_account
       mirelo_account_widgets mirelo_link mirelo_clouddb mirelo_desktop mirelo_desktop_widgets mirelo_desktop_session)

add_executable(mireloplus WIN32 main.cpp)
target_compile_options(mireloplus PRIVATE ${MIRELO_WARNINGS})
target_link_libraries(mireloplus PRIVATE mirelo_app)
target_compile_definitions(mirelo_app PRIVATE MIRELO_VERSION="${PROJECT_VERSION}")
