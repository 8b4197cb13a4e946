# Code recognition: pure text functions, safe on any thread. glib only for
# its iconv, where Qt has no converter for a mail's charset.
find_package(PkgConfig REQUIRED)
pkg_check_modules(RECOGNITION_GLIB REQUIRED IMPORTED_TARGET glib-2.0)
mirelo_library(mirelo_recognition
  SOURCES
    codeextractor.h codeextractor.cpp
    codewords.h codewords.cpp
    codescanner.h codescanner.cpp codecandidates.cpp
    coderecogniser.h coderecogniser.cpp
    emphasis.h emphasis.cpp
    headerdecode.h headerdecode.cpp
    brands.h brands.cpp
  PUBLIC_LIBS Qt6::Core
  LIBS PkgConfig::RECOGNITION_GLIB)
