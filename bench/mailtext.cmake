# Reading raw mail: MIME, charsets and HTML to text. Beside it, what a
# tree-building parser costs on the same HTML (gumbo's parse alone, Qt's rich
# text document), the measurement behind reading HTML in one pass.
mirelo_add_bench(bench_mailtext SOURCES mailtext_bench.cpp samplemail.h
  LIBS mirelo_mailtext Qt6::Gui)
find_package(PkgConfig REQUIRED)
pkg_check_modules(GUMBO IMPORTED_TARGET gumbo)
if(GUMBO_FOUND)
  target_link_libraries(bench_mailtext PRIVATE PkgConfig::GUMBO)
  target_compile_definitions(bench_mailtext PRIVATE MIRELO_BENCH_GUMBO)
endif()
