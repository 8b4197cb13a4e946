# The cloud account (no widgets) and its sign-in dialog.
mirelo_library(mirelo_account
  SOURCES firebaseauth.h firebaseauth.cpp
  PUBLIC_LIBS mirelo_core mirelo_rest Qt6::Core Qt6::Network)

mirelo_library(mirelo_account_widgets
  SOURCES authdialog.h authdialog.cpp
  PUBLIC_LIBS mirelo_account Qt6::Widgets
  LIBS mirelo_desktop_widgets)
