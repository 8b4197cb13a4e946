#!/usr/bin/env python3
"""A small OAuth 2.0 authorization server for tests, standard library only.

Authorization code with PKCE (S256), refresh tokens that can be revoked, and
an introspection endpoint in the form Dovecot's oauth2 password database
asks (POST token=...). The user signs in at once as the login_hint (or the
--user given). Loopback only. Prints "listening on http://127.0.0.1:PORT".

Control endpoints for tests: POST /admin/revoke (every token dies),
POST /admin/expire (access tokens die, refresh tokens live),
POST /admin/token-mode with body ok|garbage|error500|silent|crlf.
"""
import argparse
import base64
import hashlib
import json
import secrets
import sys
import threading
import time
import urllib.parse
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer

lock = threading.Lock()
codes = {}      # code -> dict(client, redirect, challenge, user)
access = {}     # token -> (user, expires_at)
refresh = {}    # token -> user
state = {"mode": "ok", "issued": 0, "introspections": 0}
args = None


def s256(verifier):
    digest = hashlib.sha256(verifier.encode("ascii")).digest()
    return base64.urlsafe_b64encode(digest).rstrip(b"=").decode("ascii")


class Handler(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, *a):
        pass

    def reply(self, status, body, ctype="application/json", headers=None):
        data = body if isinstance(body, bytes) else json.dumps(body).encode()
        self.send_response(status)
        self.send_header("Content-Type", ctype)
        self.send_header("Content-Length", str(len(data)))
        for k, v in (headers or {}).items():
            self.send_header(k, v)
        self.end_headers()
        self.wfile.write(data)

    def form(self):
        n = int(self.headers.get("Content-Length") or 0)
        raw = self.rfile.read(n).decode()
        return {k: v[0] for k, v in urllib.parse.parse_qs(raw, keep_blank_values=True).items()}, raw

    def do_GET(self):
        url = urllib.parse.urlsplit(self.path)
        if url.path != "/authorize":
            return self.reply(404, {"error": "not_found"})
        q = {k: v[0] for k, v in urllib.parse.parse_qs(url.query).items()}
        redirect = q.get("redirect_uri", "")
        r = urllib.parse.urlsplit(redirect)
        if (q.get("client_id") != args.client_id or r.scheme != "http" or r.hostname != "127.0.0.1"
                or q.get("response_type") != "code" or q.get("code_challenge_method") != "S256"
                or not q.get("code_challenge") or not q.get("state")):
            return self.reply(400, {"error": "invalid_request"})
        code = secrets.token_urlsafe(24)
        with lock:
            codes[code] = {"redirect": redirect, "challenge": q["code_challenge"],
                           "user": q.get("login_hint") or args.user, "scope": q.get("scope", "")}
        target = redirect + "?" + urllib.parse.urlencode({"code": code, "state": q["state"]})
        self.reply(302, b"", "text/plain", {"Location": target})

    def issue(self, user):
        token = secrets.token_urlsafe(32)
        with lock:
            access[token] = (user, time.time() + args.lifetime)
            state["issued"] += 1
        return token

    def do_POST(self):
        path = urllib.parse.urlsplit(self.path).path
        f, raw = self.form()
        if path == "/admin/revoke":
            with lock:
                access.clear()
                refresh.clear()
            return self.reply(200, {"ok": True})
        if path == "/admin/expire":
            with lock:
                access.clear()
            return self.reply(200, {"ok": True})
        if path == "/admin/token-mode":
            state["mode"] = raw.strip() or "ok"
            return self.reply(200, {"ok": True})
        if path == "/admin/stats":
            return self.reply(200, dict(state))
        if path == "/introspect":
            with lock:
                state["introspections"] += 1
                entry = access.get(f.get("token", ""))
            if entry and entry[1] > time.time():
                return self.reply(200, {"active": True, "username": entry[0]})
            return self.reply(200, {"active": False})
        if path != "/token":
            return self.reply(404, {"error": "not_found"})
        mode = state["mode"]
        if mode == "silent":
            time.sleep(30)
            return
        if mode == "error500":
            return self.reply(500, b"<html>Internal Server Error</html>", "text/html")
        if mode == "garbage":
            return self.reply(200, b"\x00\xffnot json", "application/json")
        if f.get("client_id") != args.client_id:
            return self.reply(401, {"error": "invalid_client"})
        grant = f.get("grant_type")
        if grant == "authorization_code":
            with lock:
                entry = codes.pop(f.get("code", ""), None)
            if (not entry or entry["redirect"] != f.get("redirect_uri")
                    or s256(f.get("code_verifier", "")) != entry["challenge"]):
                return self.reply(400, {"error": "invalid_grant"})
            user = entry["user"]
            rt = secrets.token_urlsafe(32)
            with lock:
                refresh[rt] = user
        elif grant == "refresh_token":
            rt = f.get("refresh_token", "")
            with lock:
                user = refresh.get(rt)
            if not user:
                return self.reply(400, {"error": "invalid_grant", "error_description": "token revoked"})
        else:
            return self.reply(400, {"error": "unsupported_grant_type"})
        token = self.issue(user)
        if mode == "crlf":
            token = token + "\r\nA1 LOGOUT"
        body = {"access_token": token, "token_type": "Bearer", "expires_in": args.lifetime}
        if grant == "authorization_code":
            body["refresh_token"] = rt
        self.reply(200, body)


def main():
    global args
    p = argparse.ArgumentParser()
    p.add_argument("--port", type=int, default=0)
    p.add_argument("--client-id", default="mirelo-test-client")
    p.add_argument("--user", default="alice@localhost")
    p.add_argument("--lifetime", type=int, default=3600)
    args = p.parse_args()
    server = ThreadingHTTPServer(("127.0.0.1", args.port), Handler)
    server.daemon_threads = True
    print("listening on http://127.0.0.1:%d" % server.server_address[1], flush=True)
    try:
        server.serve_forever()
    except KeyboardInterrupt:
        pass


if __name__ == "__main__":
    sys.exit(main())
