# Instant arrival: delivery into a local Dovecot to the code on the clipboard
# through the main window, and idle CPU with five IDLE accounts. Needs the
# test fixtures, so it exists only when the tests are built.
if(TARGET mirelo_servers_mail)
  mirelo_add_bench(bench_idle SOURCES idle_bench.cpp
    LIBS mirelo_app mirelo_mail mirelo_transport mirelo_servers_mail)
endif()
