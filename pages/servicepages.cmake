# The accounts, vault, link and activity pages: widgets over the services,
# with their texts as pure functions beside them.
mirelo_library(mirelo_servicepages
  SOURCES
    pagedialogs.h pagedialogs.cpp
    lettericon.h lettericon.cpp
    pagewidgets.h pagewidgets.cpp
    pagetexts.h pagetexts.cpp
    accountspage.h accountspage.cpp
    codeusesection.h codeusesection.cpp
    vaultpage.h vaultpage.cpp vaulttransfer.cpp
    linkpage.h linkpage.cpp
    activitypage.h activitypage.cpp
  PUBLIC_LIBS Qt6::Widgets Qt6::Network mirelo_mail mirelo_oauth mirelo_transport
  LIBS mirelo_recognition mirelo_vault mirelo_link mirelo_qr_widget mirelo_qr_decode mirelo_desktop)
