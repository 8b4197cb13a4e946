# Theme lookups: colours and icons drawn by the pages and the window alike.
mirelo_library(mirelo_theme
  SOURCES theme.h theme.cpp
  PUBLIC_LIBS Qt6::Widgets
  LIBS Qt6::Svg mirelo_resources mirelo_core)
