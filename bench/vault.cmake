# Vault benchmarks: key derivation against a plain OpenSSL SHA-256 loop of the
# same 20,000 hashes (libcrypto is linked here only), sealing and opening a
# 1 KiB vault, unlocking the Argon2id vault box (time and peak memory), and
# TOTP codes. The Windows SDK has no OpenSSL: there the yardstick is left out.
mirelo_add_bench(bench_vault SOURCES vault_bench.cpp LIBS mirelo_vault)
if(WIN32)
  find_package(OpenSSL COMPONENTS Crypto)
else()
  find_package(OpenSSL REQUIRED COMPONENTS Crypto)
endif()
if(OpenSSL_FOUND)
  target_link_libraries(bench_vault PRIVATE OpenSSL::Crypto)
  target_compile_definitions(bench_vault PRIVATE MIRELO_BENCH_OPENSSL)
endif()
