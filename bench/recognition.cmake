# Reading a raw mail through the poll's reader and recognising its code.
mirelo_add_bench(bench_recognition SOURCES recognition_bench.cpp LIBS mirelo_mailtext mirelo_recognition)
