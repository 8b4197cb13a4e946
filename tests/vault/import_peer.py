#!/usr/bin/python3
"""Writes the exports of other authenticators from their published formats,
with python3-cryptography and python3-protobuf, to check the importers against.

  import_peer.py write DIR PASSWORD   writes the files below and expected.json
  import_peer.py aegis-open FILE PASSWORD
                                      prints the entries of an encrypted Aegis
                                      file as JSON lines (exit 1 when refused)
"""
import base64
import json
import os
import sys

from cryptography.hazmat.primitives.ciphers.aead import AESGCM
from cryptography.hazmat.primitives.kdf.pbkdf2 import PBKDF2HMAC
from cryptography.hazmat.primitives.kdf.scrypt import Scrypt
from cryptography.hazmat.primitives import hashes
from google.protobuf import descriptor_pb2, descriptor_pool, message_factory

# (account, issuer, Base32 secret, algorithm, digits, period, steam)
ENTRIES = [
    ("me@example.com", "GitHub", "JBSWY3DPEHPK3PXP", "SHA1", 6, 30, False),
    ("oyuncu", "Steam", "GEZDGNBVGY3TQOJQGEZDGNBVGY3TQOJQ", "SHA1", 5, 30, True),
    ("ops", "ACME Bulut", "KRSXG5CTMVRXEZLUKRSXG5CTMVRXEZLU", "SHA256", 8, 60, False),
]
TOTP = [e for e in ENTRIES if not e[6]]


def otpauth(e):
    from urllib.parse import quote
    return "otpauth://totp/%s:%s?secret=%s&issuer=%s&algorithm=%s&digits=%d&period=%d" % (
        quote(e[1]), quote(e[0]), e[2], quote(e[1]), e[3], e[4], e[5])


def b32(secret):
    return base64.b32decode(secret + "=" * (-len(secret) % 8))


def migration_classes():
    f = descriptor_pb2.FileDescriptorProto(name="migration.proto", package="gam", syntax="proto3")
    m = f.message_type.add(name="MigrationPayload")
    p = m.nested_type.add(name="OtpParameters")
    T = descriptor_pb2.FieldDescriptorProto
    for name, num, typ in [("secret", 1, T.TYPE_BYTES), ("name", 2, T.TYPE_STRING), ("issuer", 3, T.TYPE_STRING),
                           ("algorithm", 4, T.TYPE_INT32), ("digits", 5, T.TYPE_INT32), ("type", 6, T.TYPE_INT32),
                           ("counter", 7, T.TYPE_INT64)]:
        p.field.add(name=name, number=num, type=typ, label=T.LABEL_OPTIONAL)
    m.field.add(name="otp_parameters", number=1, type=T.TYPE_MESSAGE, label=T.LABEL_REPEATED,
                type_name=".gam.MigrationPayload.OtpParameters")
    for name, num in [("version", 2), ("batch_size", 3), ("batch_index", 4), ("batch_id", 5)]:
        m.field.add(name=name, number=num, type=T.TYPE_INT32, label=T.LABEL_OPTIONAL)
    pool = descriptor_pool.DescriptorPool()
    pool.Add(f)
    return message_factory.MessageFactory(pool).GetPrototype(pool.FindMessageTypeByName("gam.MigrationPayload"))


def migration_links():
    from urllib.parse import quote
    Payload = migration_classes()
    links = []
    # Two QR codes of one batch; the second also holds a counter-based key.
    batches = [TOTP[:1], TOTP[1:]]
    for i, batch in enumerate(batches):
        pl = Payload(version=1, batch_size=len(batches), batch_index=i, batch_id=77)
        for e in batch:
            o = pl.otp_parameters.add()
            o.secret = b32(e[2])
            o.name = "%s:%s" % (e[1], e[0])
            o.issuer = e[1]
            o.algorithm = {"SHA1": 1, "SHA256": 2, "SHA512": 3}[e[3]]
            o.digits = 2 if e[4] == 8 else 1
            o.type = 2
        if i == 1:
            o = pl.otp_parameters.add(secret=b"12345678901234567890", name="sayac", issuer="X", type=1, counter=5)
        links.append("otpauth-migration://offline?data=" + quote(base64.b64encode(pl.SerializeToString()).decode(), safe=""))
    return links


def aegis_db():
    entries = []
    for e in ENTRIES:
        entries.append({"type": "steam" if e[6] else "totp", "uuid": os.urandom(16).hex(), "name": e[0],
                        "issuer": e[1], "note": "", "icon": None,
                        "info": {"secret": e[2], "algo": e[3], "digits": e[4], "period": e[5]}})
    entries.append({"type": "hotp", "uuid": "x", "name": "sayac", "issuer": "X",
                    "info": {"secret": "JBSWY3DPEHPK3PXP", "algo": "SHA1", "digits": 6, "counter": 3}})
    return {"version": 2, "entries": entries}


def aegis_encrypted(password):
    master = os.urandom(32)
    salt = os.urandom(32)
    n, r, p = 1 << 14, 8, 1
    kek = Scrypt(salt=salt, length=32, n=n, r=r, p=p).derive(password.encode())
    nonce = os.urandom(12)
    sealed = AESGCM(kek).encrypt(nonce, master, None)
    slot = {"type": 1, "uuid": "0d2a0b6e-0000-4000-8000-000000000001", "key": sealed[:-16].hex(),
            "key_params": {"nonce": nonce.hex(), "tag": sealed[-16:].hex()}, "n": n, "r": r, "p": p,
            "salt": salt.hex(), "repaired": True, "is_backup": False}
    # A raw-key slot first, as Aegis writes for biometrics: it must be passed over.
    bio = {"type": 2, "uuid": "x", "key": "00" * 32, "key_params": {"nonce": "00" * 12, "tag": "00" * 16}}
    dnonce = os.urandom(12)
    db = AESGCM(master).encrypt(dnonce, json.dumps(aegis_db()).encode(), None)
    return {"version": 1, "header": {"slots": [bio, slot], "params": {"nonce": dnonce.hex(), "tag": db[-16:].hex()}},
            "db": base64.b64encode(db[:-16]).decode()}


def twofas_services():
    out = []
    for e in ENTRIES:
        out.append({"name": e[1], "secret": e[2], "updatedAt": 1700000000000,
                    "otp": {"label": e[0], "account": e[0], "issuer": e[1], "digits": e[4], "period": e[5],
                            "algorithm": e[3], "tokenType": "STEAM" if e[6] else "TOTP", "source": "Manual"},
                    "order": {"position": 0}})
    return out


def twofas_encrypted(password):
    salt = os.urandom(256)
    iv = os.urandom(12)
    key = PBKDF2HMAC(algorithm=hashes.SHA256(), length=32, salt=salt, iterations=10000).derive(password.encode())
    sealed = AESGCM(key).encrypt(iv, json.dumps(twofas_services()).encode(), None)
    enc = ":".join(base64.b64encode(x).decode() for x in (sealed, salt, iv))
    return {"services": [], "groups": [], "schemaVersion": 4, "appVersionCode": 5000000, "servicesEncrypted": enc}


def bitwarden():
    items = [{"id": "1", "type": 1, "name": "GitHub", "login": {"username": "me@example.com", "totp": otpauth(TOTP[0])}},
             {"id": "2", "type": 1, "name": "Steam", "login": {"username": "oyuncu", "totp": "steam://" + ENTRIES[1][2]}},
             {"id": "3", "type": 1, "name": "ACME Bulut", "login": {"username": "ops", "totp": otpauth(TOTP[1])}},
             {"id": "4", "type": 1, "name": "No 2FA", "login": {"username": "x", "totp": None}},
             {"id": "5", "type": 2, "name": "Note", "secureNote": {"type": 0}}]
    return {"encrypted": False, "folders": [], "items": items}


def write(d, password):
    def put(name, text):
        with open(os.path.join(d, name), "w") as f:
            f.write(text)
    put("list.txt", "\n".join(otpauth(e) for e in TOTP) + "\n")
    put("migration.txt", "\n".join(migration_links()) + "\n")
    put("aegis_plain.json", json.dumps({"version": 1, "header": {"slots": None, "params": None}, "db": aegis_db()}))
    put("aegis_enc.json", json.dumps(aegis_encrypted(password)))
    put("plain.2fas", json.dumps({"services": twofas_services(), "groups": [], "schemaVersion": 4}))
    put("enc.2fas", json.dumps(twofas_encrypted(password)))
    put("bitwarden.json", json.dumps(bitwarden()))
    put("expected.json", json.dumps([list(e) for e in ENTRIES]))


def aegis_open(path, password):
    root = json.load(open(path))
    params = root["header"]["params"]
    for slot in root["header"]["slots"]:
        if slot["type"] != 1:
            continue
        kek = Scrypt(salt=bytes.fromhex(slot["salt"]), length=32, n=slot["n"], r=slot["r"],
                     p=slot["p"]).derive(password.encode())
        kp = slot["key_params"]
        try:
            master = AESGCM(kek).decrypt(bytes.fromhex(kp["nonce"]), bytes.fromhex(slot["key"] + kp["tag"]), None)
        except Exception:
            continue
        db = AESGCM(master).decrypt(bytes.fromhex(params["nonce"]),
                                    base64.b64decode(root["db"]) + bytes.fromhex(params["tag"]), None)
        for e in json.loads(db)["entries"]:
            i = e["info"]
            print(json.dumps([e["name"], e["issuer"], i["secret"], i["algo"], i["digits"], i["period"],
                              e["type"] == "steam"]))
        return 0
    return 1


if __name__ == "__main__":
    if sys.argv[1] == "write":
        write(sys.argv[2], sys.argv[3])
    elif sys.argv[1] == "aegis-open":
        sys.exit(aegis_open(sys.argv[2], sys.argv[3]))
