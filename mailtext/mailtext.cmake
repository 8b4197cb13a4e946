# Reading raw mail: MIME structure, transfer encodings and charsets (GMime),
# HTML turned into its visible text. Pure functions of bytes, safe on any
# thread; GMime stays inside mimewalk.cpp.
find_package(PkgConfig REQUIRED)
pkg_check_modules(GMIME REQUIRED IMPORTED_TARGET gmime-3.0)

mirelo_library(mirelo_mailtext
  SOURCES
    mailreader.h mailreader.cpp
    htmltext.h htmltext.cpp htmlentities.cpp
    htmlstyle.h htmlstyle.cpp htmlsink.h
    mimewalk.h mimewalk.cpp
  PUBLIC_LIBS Qt6::Core mirelo_recognition
  LIBS PkgConfig::GMIME)
