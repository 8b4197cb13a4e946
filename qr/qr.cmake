# The QR encoder (pure) and the widget that draws it.
mirelo_library(mirelo_qr
  SOURCES qrencoder.h qrencoder.cpp
  PUBLIC_LIBS Qt6::Core)

mirelo_library(mirelo_qr_widget
  SOURCES qrwidget.h qrwidget.cpp
  PUBLIC_LIBS Qt6::Widgets
  LIBS mirelo_qr)
