# The QR encoder (pure), the widget that draws it, and the decoder of QR pictures.
mirelo_library(mirelo_qr
  SOURCES qrencoder.h qrencoder.cpp
  PUBLIC_LIBS Qt6::Core)

mirelo_library(mirelo_qr_widget
  SOURCES qrwidget.h qrwidget.cpp
  PUBLIC_LIBS Qt6::Widgets
  LIBS mirelo_qr)

# Reading QR codes from pictures, with ZBar's library.
find_package(PkgConfig REQUIRED)
pkg_check_modules(ZBAR REQUIRED IMPORTED_TARGET GLOBAL zbar)
mirelo_library(mirelo_qr_decode
  SOURCES qrdecoder.h qrdecoder.cpp
  PUBLIC_LIBS Qt6::Gui
  LIBS PkgConfig::ZBAR)
