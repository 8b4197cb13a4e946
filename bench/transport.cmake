# Transport benchmarks: a full poll against a local Dovecot and one send
# through a local SMTP server. They start the test fixtures, so they exist
# only when the tests are built.
if(TARGET mirelo_servers_mail)
  mirelo_add_bench(bench_transport SOURCES transport_bench.cpp samplemail.h
    LIBS mirelo_transport mirelo_servers_mail)
endif()
