# The inbox page with its painted cards, the sidebar and the category dialog.
mirelo_library(mirelo_inboxpages
  SOURCES
    mailcard.h mailcard.cpp
    inboxmodel.h inboxmodel.cpp
    maillistview.h maillistview.cpp
    inboxfilter.h inboxfilter.cpp
    inboxpage.h inboxpage.cpp
    pageindex.h
    sidebar.h sidebar.cpp
    categorydialog.h categorydialog.cpp
  PUBLIC_LIBS Qt6::Widgets mirelo_mail
  LIBS mirelo_theme mirelo_recognition mirelo_desktop_widgets)
