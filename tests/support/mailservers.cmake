# Real mail servers for tests: a throw-away CA with a localhost certificate,
# Dovecot over implicit TLS and an aiosmtpd SMTP server (implicit TLS or
# STARTTLS). Linux only; the servers need root for their mail folders.
add_library(mirelo_testsupport_mailservers STATIC
  tlsfixture.h tlsfixture.cpp
  dovecotserver.h dovecotserver.cpp
  dovecotusers.h dovecotusers.cpp
  smtpserver.h smtpserver.cpp)
target_compile_options(mirelo_testsupport_mailservers PRIVATE ${MIRELO_WARNINGS})
target_link_libraries(mirelo_testsupport_mailservers PUBLIC mirelo_testsupport Qt6::Core Qt6::Network)
