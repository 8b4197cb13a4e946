mirelo_add_bench(bench_app SOURCES app_bench.cpp LIBS mirelo_app mirelo_inboxpages mirelo_mail)
