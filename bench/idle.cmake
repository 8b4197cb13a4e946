# Instant arrival: delivery into a local Dovecot to the code on the clipboard
# through the main window, and idle CPU with five IDLE accounts. Needs the
# test fixtures, so it exists only when the tests are built.
if(TARGET mirelo_servers_mail)
  mirelo_add_bench(bench_idle SOURCES idle_bench.cpp
    LIBS mirelo_app mirelo_mail mirelo_transport mirelo_servers_mail)
endif()

# From the server's EXISTS to the clipboard, against a scripted TLS server
# that answers at once: the program's own part of an arrival.
mirelo_add_bench(bench_exists SOURCES exists_bench.cpp
  LIBS mirelo_app mirelo_mail mirelo_transport mirelo_servers_tls)
