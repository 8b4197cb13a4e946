#!/usr/bin/python3
"""Starts Linux programs for the tests of the Windows build.

A program under Wine can start a Unix program but cannot wait on it, read
its output or stop it, so the test fixtures (servers/hostprocess.h) ask this
agent instead: one TCP connection per program, on loopback.

  client -> agent   one JSON line {"argv": [...], "merge": bool,
                    "input": base64 of the standard input}, then control
                    lines "TERM" or "KILL"
  agent -> client   one JSON line {"pid": n} or {"error": "..."}, then frames:
                    a type byte ("O" output, "E" errors, "X" exit code as
                    decimal text), 8 hex digits of length, the bytes

A closed connection kills the program and its process group, so a test that
crashes or is stopped by its time limit leaves no server behind.
"""
import argparse
import base64
import json
import os
import signal
import socketserver
import subprocess
import sys
import threading


def frame(kind, data):
    return kind + b"%08x" % len(data) + data


class Program(socketserver.StreamRequestHandler):
    def handle(self):
        self.lock = threading.Lock()
        try:
            request = json.loads(self.rfile.readline())
            argv = [str(a) for a in request["argv"]]
            merge = bool(request.get("merge"))
            data = base64.b64decode(request.get("input") or "", validate=True)
        except (ValueError, KeyError, TypeError) as e:
            self.send_line({"error": "bad request: %s" % e})
            return
        try:
            proc = subprocess.Popen(argv, stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                    stderr=subprocess.STDOUT if merge else subprocess.PIPE,
                                    start_new_session=True)
        except OSError as e:
            self.send_line({"error": "%s: %s" % (argv[0] if argv else "?", e.strerror)})
            return
        self.send_line({"pid": proc.pid})
        threading.Thread(target=self.feed, args=(proc.stdin, data), daemon=True).start()
        readers = [threading.Thread(target=self.pump, args=(proc.stdout, b"O"), daemon=True)]
        if not merge:
            readers.append(threading.Thread(target=self.pump, args=(proc.stderr, b"E"), daemon=True))
        for r in readers:
            r.start()
        threading.Thread(target=self.report_exit, args=(proc, readers), daemon=True).start()
        try:
            for line in self.rfile:
                command = line.strip()
                if command == b"TERM":
                    self.signal(proc, signal.SIGTERM, group=False)
                elif command == b"KILL":
                    self.signal(proc, signal.SIGKILL, group=True)
        except OSError:
            pass
        # The test is gone: nothing of its program may stay.
        self.signal(proc, signal.SIGKILL, group=True)
        proc.wait()

    @staticmethod
    def signal(proc, sig, group):
        try:
            if group:
                os.killpg(proc.pid, sig)
            elif proc.poll() is None:
                proc.send_signal(sig)
        except ProcessLookupError:
            pass

    @staticmethod
    def feed(stream, data):
        try:
            stream.write(data)
            stream.close()
        except OSError:
            pass

    def send(self, data):
        with self.lock:
            try:
                self.wfile.write(data)
                self.wfile.flush()
            except (OSError, ValueError):
                pass

    def send_line(self, obj):
        self.send(json.dumps(obj).encode() + b"\n")

    def pump(self, stream, kind):
        while True:
            chunk = stream.read1(65536)
            if not chunk:
                return
            self.send(frame(kind, chunk))

    def report_exit(self, proc, readers):
        code = proc.wait()
        for r in readers:
            r.join()
        self.send(frame(b"X", str(code).encode()))


class Server(socketserver.ThreadingTCPServer):
    daemon_threads = True
    allow_reuse_address = True


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--port-file", required=True)
    args = parser.parse_args()
    server = Server(("127.0.0.1", 0), Program)
    with open(args.port_file + ".tmp", "w") as f:
        f.write("%d\n" % server.server_address[1])
    os.replace(args.port_file + ".tmp", args.port_file)
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(0))
    try:
        server.serve_forever()
    finally:
        server.server_close()


if __name__ == "__main__":
    main()
