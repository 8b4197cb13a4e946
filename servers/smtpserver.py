#!/usr/bin/python3
"""SMTP server for tests: aiosmtpd on a free loopback port with implicit TLS
or STARTTLS and AUTH LOGIN for one user; with --introspect also AUTH XOAUTH2,
its bearer token checked at that introspection URL (a refused token gets the
334 error continuation a real provider sends, then 535). Every accepted message is written to
OUTDIR as msg-NNNN.eml (the content as received, dot-stuffing undone) with
msg-NNNN.json beside it (envelope sender, recipients, login). Prints
"READY <port>" once it accepts connections; runs until killed."""
import argparse
import json
import os
import socket
import ssl
import sys
import threading
import urllib.parse
import urllib.request
from base64 import b64decode, b64encode

from aiosmtpd.controller import Controller
from aiosmtpd.smtp import AuthResult, LoginPassword


class Handler:
    def __init__(self, outdir):
        self.outdir = outdir
        self.count = 0
        self.lock = threading.Lock()

    async def handle_DATA(self, server, session, envelope):
        with self.lock:
            self.count += 1
            base = os.path.join(self.outdir, "msg-%04d" % self.count)
        login = ""
        if session.auth_data is not None and isinstance(session.auth_data, LoginPassword):
            login = session.auth_data.login.decode("utf-8", "replace")
        meta = {"mailFrom": envelope.mail_from, "rcptTos": envelope.rcpt_tos, "login": login}
        with open(base + ".json", "w") as f:
            json.dump(meta, f)
        # The .eml appears last and whole: readers wait for it.
        with open(base + ".part", "wb") as f:
            f.write(envelope.original_content or b"")
        os.rename(base + ".part", base + ".eml")
        return "250 OK message accepted"


class OAuthHandler(Handler):
    def __init__(self, outdir, introspect):
        super().__init__(outdir)
        self.introspect = introspect

    def token_user(self, token):
        data = urllib.parse.urlencode({"token": token}).encode()
        try:
            with urllib.request.urlopen(self.introspect, data, timeout=5) as r:
                answer = json.loads(r.read().decode())
        except Exception:
            return None
        return answer.get("username") if answer.get("active") else None

    async def auth_XOAUTH2(self, server, args):
        blob = args[1] if len(args) > 1 else ""
        if not blob:
            blob = (await server.challenge_auth(b"", encode_to_b64=False)) or b""
            blob = b64encode(blob).decode()
        try:
            fields = b64decode(blob).split(b"\x01")
        except Exception:
            fields = []
        user = next((f[5:] for f in fields if f.startswith(b"user=")), b"")
        auth = next((f[5:] for f in fields if f.startswith(b"auth=")), b"")
        token = auth[7:].decode("ascii", "replace") if auth.startswith(b"Bearer ") else ""
        owner = self.token_user(token) if token else None
        if owner is not None and owner.encode() == user:
            return AuthResult(success=True, handled=False, auth_data=LoginPassword(user, b""))
        # As the providers do: an error report first, the refusal after the
        # client's empty answer.
        await server.challenge_auth(json.dumps({"status": "401", "schemes": "bearer"}))
        return AuthResult(success=False, handled=False)


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--mode", choices=["implicit", "starttls"], required=True)
    ap.add_argument("--cert", required=True)
    ap.add_argument("--key", required=True)
    ap.add_argument("--user", required=True)
    ap.add_argument("--password", required=True)
    ap.add_argument("--outdir", required=True)
    ap.add_argument("--introspect", default="")
    args = ap.parse_args()

    ctx = ssl.create_default_context(ssl.Purpose.CLIENT_AUTH)
    ctx.load_cert_chain(args.cert, args.key)

    def authenticator(server, session, envelope, mechanism, auth_data):
        ok = (isinstance(auth_data, LoginPassword)
              and auth_data.login == args.user.encode()
              and auth_data.password == args.password.encode())
        return AuthResult(success=ok, handled=False, auth_data=auth_data)

    probe = socket.socket()
    probe.bind(("127.0.0.1", 0))
    port = probe.getsockname()[1]
    probe.close()

    common = dict(hostname="127.0.0.1", port=port, authenticator=authenticator)
    handler = OAuthHandler(args.outdir, args.introspect) if args.introspect else Handler(args.outdir)
    if args.mode == "implicit":
        # aiosmtpd does not count implicit TLS as TLS for AUTH.
        controller = Controller(handler, ssl_context=ctx, auth_require_tls=False, **common)
    else:
        controller = Controller(handler, tls_context=ctx, require_starttls=True, **common)
    controller.start()
    print("READY %d" % port, flush=True)
    threading.Event().wait()


if __name__ == "__main__":
    sys.exit(main())
