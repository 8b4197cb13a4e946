# Our QR encoder beside two independent ones, in the same run.
find_package(PkgConfig REQUIRED)
pkg_check_modules(BENCH_QRCODEGEN IMPORTED_TARGET qrcodegencpp)
pkg_check_modules(BENCH_QRENCODE IMPORTED_TARGET libqrencode)
if(BENCH_QRCODEGEN_FOUND AND BENCH_QRENCODE_FOUND)
  mirelo_add_bench(bench_qr
    SOURCES qr_bench.cpp
    LIBS mirelo_qr PkgConfig::BENCH_QRCODEGEN PkgConfig::BENCH_QRENCODE)
endif()
