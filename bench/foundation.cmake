# Code extractor and mail store speed.
mirelo_add_bench(bench_foundation
  SOURCES foundation_bench.cpp benchsettings.h
  LIBS mirelo_mail mirelo_recognition)
