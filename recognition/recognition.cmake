# Code recognition: pure text functions, safe on any thread.
mirelo_library(mirelo_recognition
  SOURCES
    codeextractor.h codeextractor.cpp
    codewords.h codewords.cpp
    codescanner.h codescanner.cpp codecandidates.cpp
    coderecogniser.h coderecogniser.cpp
    emphasis.h emphasis.cpp
    headerdecode.h headerdecode.cpp
    brands.h brands.cpp
  PUBLIC_LIBS Qt6::Core)
