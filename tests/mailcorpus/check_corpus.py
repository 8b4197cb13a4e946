#!/usr/bin/python3
"""Sanity check of the mail corpus: manifest and files agree, every mail parses,
lines end in CRLF, sizes stay bounded, and every expected code really stands in
the decoded subject or text of its mail. Prints counts by form.

    /usr/bin/python3 tests/mailcorpus/check_corpus.py
"""

import base64
import collections
import email
import email.policy
import html
import os
import re
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
MAX_SIZE = 150 * 1024


def read_manifest():
    rows = []
    with open(os.path.join(HERE, "manifest.tsv"), encoding="utf-8") as f:
        for n, line in enumerate(f, 1):
            line = line.rstrip("\n")
            if not line or line.startswith("#"):
                continue
            cols = line.split("\t")
            if len(cols) != 3:
                raise SystemExit("manifest line %d: want 3 tab-separated fields, got %d" % (n, len(cols)))
            rows.append(cols)
    return rows


def html_text(s):
    s = re.sub(r"(?is)<(head|style|script)\b.*?</\1\s*>", " ", s)
    s = re.sub(r"(?s)<!--.*?-->", " ", s)
    s = re.sub(r"(?s)<[^>]+>", " ", s)
    return html.unescape(s)


def b64_prefix(part):
    # a cut-off base64 part still yields the whole quads before the cut
    raw = re.sub(rb"[^A-Za-z0-9+/=]", b"", part.get_payload(decode=False).encode("ascii", "replace"))
    raw = raw[:len(raw) - len(raw) % 4]
    data = base64.b64decode(raw)
    cs = part.get_content_charset() or "utf-8"
    try:
        return data.decode(cs, "replace")
    except LookupError:
        return data.decode("utf-8", "replace")


def part_text(part):
    try:
        if str(part.get("Content-Transfer-Encoding", "")).lower() == "base64":
            s = b64_prefix(part)
        else:
            s = part.get_content()
    except (LookupError, UnicodeError, AssertionError, ValueError):
        data = part.get_payload(decode=True) or b""
        s = data.decode("utf-8", "replace")
    if isinstance(s, bytes):
        s = s.decode("utf-8", "replace")
    return html_text(s) if part.get_content_subtype() == "html" else s


def texts_of(msg):
    out = [str(msg.get("Subject", ""))]
    for part in msg.walk():
        if part.get_content_maintype() == "text" and part.get_content_subtype() in ("plain", "html"):
            if part.get_content_disposition() == "attachment":
                continue
            out.append(part_text(part))
        if part.get_content_type() == "message/rfc822":
            inner = part.get_payload()
            if isinstance(inner, list) and inner:
                out.append(str(inner[0].get("Subject", "")))
    return out


def code_pattern(code):
    # separators a sender may put inside a code: spaces, dashes, dots, line breaks between cells
    body = r"[\s\-.\u00a0]*".join(re.escape(c) for c in code)
    return re.compile(r"(?<![0-9A-Za-z])" + body + r"(?![0-9A-Za-z])")


def main():
    rows = read_manifest()
    problems = []
    names = [r[0] for r in rows]
    dup = [n for n, c in collections.Counter(names).items() if c > 1]
    if dup:
        problems.append("duplicate manifest entries: %s" % ", ".join(dup))
    on_disk = {f for f in os.listdir(HERE) if f.endswith(".eml")}
    for f in sorted(on_disk - set(names)):
        problems.append("%s: not in the manifest" % f)
    forms = collections.Counter()
    kinds = collections.Counter()
    for name, code, note in rows:
        path = os.path.join(HERE, name)
        if not os.path.exists(path):
            problems.append("%s: listed but missing" % name)
            continue
        raw = open(path, "rb").read()
        if len(raw) > MAX_SIZE:
            problems.append("%s: %d bytes" % (name, len(raw)))
        if re.search(rb"(?<!\r)\n", raw) or re.search(rb"\r(?!\n)", raw):
            problems.append("%s: line ends are not all CRLF" % name)
        head = raw.split(b"\r\n\r\n", 1)[0]
        if re.search(rb"[\x80-\xff]", head):
            problems.append("%s: raw 8-bit bytes in the top header" % name)
        if any(len(line) > 998 for line in raw.split(b"\r\n")):
            problems.append("%s: a line longer than 998 octets" % name)
        msg = email.message_from_bytes(raw, policy=email.policy.default)
        for h in ("From", "Date", "Subject", "Content-Type"):
            if msg.get(h) is None:
                problems.append("%s: no %s header" % (name, h))
        year = re.search(r"\b(20\d\d)\b", str(msg.get("Date", "")))
        if not year or year.group(1) not in ("2025", "2026"):
            problems.append("%s: Date not in 2025-2026" % name)
        kinds["with code" if code else "without code"] += 1
        forms["top " + msg.get_content_type()] += 1
        for part in msg.walk():
            if part.is_multipart():
                continue
            cte = str(part.get("Content-Transfer-Encoding", "7bit")).lower()
            forms["cte " + cte] += 1
            cs = part.get_param("charset")
            if cs:
                forms["charset " + str(cs).lower()] += 1
            if part.get_content_type() not in ("text/plain", "text/html"):
                forms["part " + part.get_content_type()] += 1
        if code:
            if not re.fullmatch(r"[0-9A-Za-z]{4,10}", code):
                problems.append("%s: odd expected code %r" % (name, code))
            pat = code_pattern(code)
            if not any(pat.search(t) for t in texts_of(msg)):
                problems.append("%s: expected code %s not found in subject or text" % (name, code))
    for p in problems:
        print("PROBLEM", p)
    total = len(rows)
    print("%d mails: %d with a code (%.0f%%), %d without" % (
        total, kinds["with code"], 100.0 * kinds["with code"] / max(total, 1), kinds["without code"]))
    for key in sorted(forms):
        print("  %-40s %d" % (key, forms[key]))
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
