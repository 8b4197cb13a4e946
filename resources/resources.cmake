# Style sheets, icons and logos compiled into the program (AUTORCC). Users call
# Q_INIT_RESOURCE(mirelo) once (the theme code does), which keeps the archive
# member linked in.
add_library(mirelo_resources STATIC mirelo.qrc)
target_link_libraries(mirelo_resources PUBLIC Qt6::Core)
