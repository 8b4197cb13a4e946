# Vault benchmarks: key derivation against a plain OpenSSL SHA-256 loop of the
# same 20,000 hashes (libcrypto is linked here only), sealing and opening a
# 1 KiB vault, unlocking the Argon2id vault box (time and peak memory), and
# TOTP codes.
find_package(OpenSSL REQUIRED COMPONENTS Crypto)
mirelo_add_bench(bench_vault SOURCES vault_bench.cpp LIBS mirelo_vault OpenSSL::Crypto)
