#!/usr/bin/python3
"""Stand-alone MRC1 sealed box, written from the format alone with hashlib.

  mrc1_peer.py seal <salt-hex> <plaintext-hex>   password on stdin (UTF-8)
  mrc1_peer.py open <box-hex>                    password on stdin (UTF-8)

Prints the box or the plaintext as hex; `open` exits 1 when the box is refused.
"""
import hashlib
import hmac
import sys

MAGIC = b"MRC1"
ROUNDS = 20000


def derive_key(password: bytes, salt: bytes) -> bytes:
    h = hashlib.sha256(salt + password).digest()
    for _ in range(ROUNDS - 1):
        h = hashlib.sha256(h + salt + password).digest()
    return h


def keystream_xor(data: bytes, key: bytes, salt: bytes) -> bytes:
    out = bytearray()
    for j in range((len(data) + 31) // 32):
        block = hashlib.sha256(key + salt + j.to_bytes(8, "big")).digest()
        chunk = data[32 * j:32 * j + 32]
        out.extend(a ^ b for a, b in zip(chunk, block))
    return bytes(out)


def seal(plain: bytes, password: bytes, salt: bytes) -> bytes:
    key = derive_key(password, salt)
    ct = keystream_xor(plain, key, salt)
    return MAGIC + salt + ct + hashlib.sha256(key + ct).digest()


def open_box(box: bytes, password: bytes):
    if len(box) < 52 or box[:4] != MAGIC:
        return None
    salt, ct, tag = box[4:20], box[20:-32], box[-32:]
    key = derive_key(password, salt)
    if not hmac.compare_digest(hashlib.sha256(key + ct).digest(), tag):
        return None
    return keystream_xor(ct, key, salt)


def main() -> int:
    password = sys.stdin.buffer.read()
    if sys.argv[1] == "seal":
        print(seal(bytes.fromhex(sys.argv[3]), password, bytes.fromhex(sys.argv[2])).hex())
        return 0
    if sys.argv[1] == "open":
        plain = open_box(bytes.fromhex(sys.argv[2]), password)
        if plain is None:
            return 1
        print(plain.hex())
        return 0
    return 2


if __name__ == "__main__":
    sys.exit(main())
