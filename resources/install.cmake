# What `cmake --install` puts in place: the program, the local database
# server, the command-line peer and the inspector, plus a desktop entry and
# icons on Linux. The programs live in folders added after this one, so the
# rules run once the whole tree has been read.
function(mirelo_install_programs)
  foreach(_prog mireloplus mirelo-clouddb mirelo-peer mirelo-inspect)
    if(TARGET ${_prog})
      install(TARGETS ${_prog} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    endif()
  endforeach()
endfunction()
cmake_language(DEFER DIRECTORY ${PROJECT_SOURCE_DIR} CALL mirelo_install_programs)

if(UNIX AND NOT APPLE)
  set(_linux ${CMAKE_CURRENT_SOURCE_DIR}/linux)
  install(FILES ${_linux}/mireloplus.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${_linux}/mireloplus.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
  install(FILES ${CMAKE_CURRENT_SOURCE_DIR}/logo.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/256x256/apps RENAME mireloplus.png)
endif()
