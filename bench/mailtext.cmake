# Reading raw mail: MIME, charsets and HTML to text; gumbo beside Qt's own
# HTML reader for the choice between them.
mirelo_add_bench(bench_mailtext SOURCES mailtext_bench.cpp samplemail.h
  LIBS mirelo_mailtext Qt6::Gui)
