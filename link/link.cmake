# Device link: pairing (host and joiner), paired devices, sealed code push and
# inbox polling. No widgets.
mirelo_library(mirelo_link
  SOURCES
    linkrecords.h
    pairing.h pairing.cpp
    linkpayload.h linkpayload.cpp
    linkmanager.h linkmanager.cpp
  PUBLIC_LIBS mirelo_core Qt6::Core Qt6::Network
  LIBS mirelo_rest mirelo_vault mirelo_mail)
