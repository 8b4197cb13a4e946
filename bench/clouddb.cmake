# Local realtime database: request rates over loopback, writes into large
# databases, and the stand-alone server under a full hostile load.
if(TARGET mirelo_clouddb)
  mirelo_add_bench(bench_clouddb
    SOURCES clouddb_bench.cpp
    LIBS mirelo_clouddb Qt6::Network)
endif()
if(TARGET mirelo_servers_clouddb)
  mirelo_add_bench(bench_clouddb_load
    SOURCES clouddb_load_bench.cpp
    LIBS mirelo_servers_clouddb)
endif()
