# Signing in to mail providers with OAuth 2.0: the pure pieces (PKCE, URLs,
# token answers, SASL strings) and the browser flow over a loopback listener.
mirelo_library(mirelo_oauth
  SOURCES
    oauthcore.h oauthcore.cpp
    loopbackreceiver.h loopbackreceiver.cpp
    oauthflow.h oauthflow.cpp
  PUBLIC_LIBS Qt6::Core Qt6::Network)
