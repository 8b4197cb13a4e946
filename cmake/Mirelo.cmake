# Shared build rules: warnings, sanitizers and helpers to declare tests,
# fuzzers and benchmarks from any folder.

set(MIRELO_WARNINGS -Wall -Wextra)
if(MIRELO_WERROR)
  list(APPEND MIRELO_WARNINGS -Werror)
endif()
if(MSVC)
  set(MIRELO_WARNINGS /W4)
endif()

if(MIRELO_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()
if(MIRELO_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "MIRELO_FUZZ needs clang (CXX=clang++)")
  endif()
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()


# Every subsystem folder reads the *.cmake pieces beside it, so that each
# component keeps its build rules in a file of its own.
macro(mirelo_include_pieces)
  file(GLOB _mirelo_pieces CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cmake)
  list(SORT _mirelo_pieces)
  foreach(_piece ${_mirelo_pieces})
    include(${_piece})
  endforeach()
endmacro()

# mirelo_library(name SOURCES ... LIBS ...): a static library with the
# project's warnings; the folder above the sources is the include root.
function(mirelo_library name)
  cmake_parse_arguments(L "" "" "SOURCES;LIBS;PUBLIC_LIBS" ${ARGN})
  add_library(${name} STATIC ${L_SOURCES})
  target_compile_options(${name} PRIVATE ${MIRELO_WARNINGS})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${L_PUBLIC_LIBS} PRIVATE ${L_LIBS})
endfunction()

# mirelo_add_test(name SOURCES ... LIBS ... [LABELS ...] [TIMEOUT s] [ENV ...])
# Qt Test executable registered with CTest; runs on the offscreen platform
# with its settings redirected away from the user's own store.
function(mirelo_add_test name)
  cmake_parse_arguments(T "" "TIMEOUT" "SOURCES;LIBS;LABELS;ENV" ${ARGN})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  # The fuzzing build declares the tests too (so rules that refer to them
  # stay valid) but never builds them.
  if(MIRELO_FUZZ)
    add_executable(${name} EXCLUDE_FROM_ALL ${T_SOURCES})
  else()
    add_executable(${name} ${T_SOURCES})
  endif()
  target_compile_options(${name} PRIVATE ${MIRELO_WARNINGS})
  target_link_libraries(${name} PRIVATE Qt6::Test mirelo_testsupport ${T_LIBS})
  add_test(NAME ${name} COMMAND ${name})
  set(_labels ${T_LABELS})
  if(NOT _labels)
    set(_labels unit)
  endif()
  set_tests_properties(${name} PROPERTIES
    LABELS "${_labels}"
    TIMEOUT ${T_TIMEOUT}
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;MIRELO_SOURCE_DIR=${PROJECT_SOURCE_DIR};MIRELO_BIN_DIR=${CMAKE_RUNTIME_OUTPUT_DIRECTORY};${T_ENV}")
endfunction()

# mirelo_add_fuzzer(name SOURCES ... LIBS ... CORPUS dir)
# Built only with MIRELO_FUZZ; the CI script runs every fuzzer listed in
# fuzzers.txt for a bounded time from its seed corpus.
set_property(GLOBAL PROPERTY MIRELO_FUZZERS "")
function(mirelo_add_fuzzer name)
  cmake_parse_arguments(F "" "CORPUS" "SOURCES;LIBS" ${ARGN})
  if(NOT MIRELO_FUZZ)
    return()
  endif()
  add_executable(${name} ${F_SOURCES})
  target_link_libraries(${name} PRIVATE ${F_LIBS})
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  if(NOT TARGET mirelo_fuzzers)
    add_custom_target(mirelo_fuzzers)
  endif()
  add_dependencies(mirelo_fuzzers ${name})
  file(APPEND ${CMAKE_BINARY_DIR}/fuzzers.txt "${name} ${F_CORPUS}\n")
endfunction()

# mirelo_add_bench(name SOURCES ... LIBS ...): Google Benchmark executable.
function(mirelo_add_bench name)
  cmake_parse_arguments(B "" "" "SOURCES;LIBS" ${ARGN})
  find_package(benchmark REQUIRED)
  add_executable(${name} ${B_SOURCES})
  target_compile_options(${name} PRIVATE ${MIRELO_WARNINGS})
  target_link_libraries(${name} PRIVATE benchmark::benchmark ${B_LIBS})
  target_compile_definitions(${name} PRIVATE MIRELO_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
endfunction()
