# The QR encoder (pure) and the widget that draws it.
mirelo_library(mirelo_qr
  SOURCES qrencoder.h qrencoder.cpp
  PUBLIC_LIBS Qt6::Core)

mirelo_library(mirelo_link_widgets
  SOURCES qrwidget.h qrwidget.cpp
  PUBLIC_LIBS mirelo_qr Qt6::Widgets)
