# mirelo-inspect: what the program makes of raw mails, as JSON Lines.
mirelo_library(mirelo_inspect
  SOURCES inspectmail.h inspectmail.cpp corpuseval.h corpuseval.cpp
  PUBLIC_LIBS Qt6::Core mirelo_mail mirelo_recognition mirelo_mailtext)

add_executable(mirelo-inspect inspect_main.cpp)
target_compile_options(mirelo-inspect PRIVATE ${MIRELO_WARNINGS})
target_link_libraries(mirelo-inspect PRIVATE mirelo_inspect Qt6::Core)
install(TARGETS mirelo-inspect RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
