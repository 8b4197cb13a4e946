# Local realtime database: request rates over loopback and writes into a large tree.
if(TARGET mirelo_clouddb)
  mirelo_add_bench(bench_clouddb
    SOURCES clouddb_bench.cpp
    LIBS mirelo_clouddb Qt6::Network)
endif()
