"""Building blocks for the mail corpus: trace headers, MIME parts, HTML pages.

Every mail is composed from texts written for this corpus; randomness (ids,
signatures, image bytes, dates) comes from a generator seeded with the file
name, so a rebuild gives the same bytes.
"""

import base64
import datetime as dt
import hashlib
import html
import quopri
import random
import re
import string

REGISTRY = []


def mail(name, code, note):
    """Register a mail builder: file name, expected code ('' for none), note."""
    def wrap(fn):
        REGISTRY.append((name, code, note, fn))
        return fn
    return wrap


# ---------------------------------------------------------------- helpers

B64 = string.ascii_letters + string.digits + "+/"
HEX = "0123456789abcdef"


def b64junk(rng, n):
    return "".join(rng.choice(B64) for _ in range(n))


def hexjunk(rng, n):
    return "".join(rng.choice(HEX) for _ in range(n))


def fold_b64(s, first=50, width=70, indent="\t "):
    out = [s[:first]]
    s = s[first:]
    while s:
        out.append(indent + s[:width])
        s = s[width:]
    return "\n".join(out)


TZ = {
    "tr": dt.timezone(dt.timedelta(hours=3)),
    "utc": dt.timezone.utc,
    "pst": dt.timezone(dt.timedelta(hours=-8)),
    "pdt": dt.timezone(dt.timedelta(hours=-7)),
    "est": dt.timezone(dt.timedelta(hours=-5)),
    "cet": dt.timezone(dt.timedelta(hours=1)),
    "cest": dt.timezone(dt.timedelta(hours=2)),
    "msk": dt.timezone(dt.timedelta(hours=3)),
    "cst": dt.timezone(dt.timedelta(hours=8)),
}

DAYS = ["Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"]
MONTHS = ["Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"]


def rfc_date(t, zero_pad=True, comment=None):
    off = t.utcoffset()
    mins = int(off.total_seconds() // 60)
    sign = "+" if mins >= 0 else "-"
    mins = abs(mins)
    day = "%02d" % t.day if zero_pad else str(t.day)
    s = "%s, %s %s %d %02d:%02d:%02d %s%02d%02d" % (
        DAYS[t.weekday()], day, MONTHS[t.month - 1], t.year, t.hour, t.minute, t.second,
        sign, mins // 60, mins % 60)
    if comment:
        s += " (%s)" % comment
    return s


# ------------------------------------------------------------ encoded words

def enc_word(text, charset="utf-8", mode="B"):
    """Encode a header value as one or more encoded words (split on characters)."""
    words = []
    chunk = ""
    limit = 45 if mode == "B" else 30
    for ch in text:
        if len((chunk + ch).encode(charset)) > limit:
            words.append(chunk)
            chunk = ""
        chunk += ch
    if chunk:
        words.append(chunk)
    out = []
    for w in words:
        raw = w.encode(charset)
        if mode == "B":
            out.append("=?%s?B?%s?=" % (charset.upper() if charset == "utf-8" else charset,
                                         base64.b64encode(raw).decode()))
        else:
            q = ""
            for b in raw:
                c = chr(b)
                if c == " ":
                    q += "_"
                elif c.isalnum() and b < 128:
                    q += c
                elif c in "-!*+/" and b < 128:
                    q += c
                else:
                    q += "=%02X" % b
            out.append("=?%s?Q?%s?=" % (charset, q))
    return "\n ".join(out)


def addr(name, email, charset=None, mode="Q"):
    if not name:
        return email
    if charset:
        return "%s <%s>" % (enc_word(name, charset, mode), email)
    if re.search(r'[(),.:;<>@\[\]"]', name):
        return '"%s" <%s>' % (name, email)
    return "%s <%s>" % (name, email)


# ------------------------------------------------------------ MIME parts

class Part:
    """A MIME entity: header lines plus body bytes (LF line ends until the end)."""

    def __init__(self, headers, body, src=""):
        self.headers = headers
        self.body = body
        self.src = src  # the text before encoding, used to address the mail to the person it greets

    def render(self):
        return ("\n".join(self.headers) + "\n\n").encode("ascii") + self.body


def encode_body(data, cte):
    if cte == "base64":
        enc = base64.encodebytes(data)
        return enc
    if cte == "quoted-printable":
        data = data.replace(b"\r\n", b"\n")
        return quopri.encodestring(data, quotetabs=False)
    return data


SUBST = {"\u2013": "-", "\u2014": "-", "\u2022": "*", "\u2026": "...", "\u201c": '"', "\u201d": '"',
         "\u2019": "'", "\u30fb": "-", "\u2192": "->", "\u2122": "(TM)"}


def leaf(ctype, text, charset="utf-8", cte="7bit", extra=(), raw=None, label=None,
         ct_params=""):
    """A text or binary leaf. label overrides the declared charset (for mislabeled mail)."""
    if raw is None:
        text = text.replace("\r\n", "\n")
        if ctype == "text/html":
            data = text.encode(charset, "xmlcharrefreplace")
        else:
            if charset.lower().replace("-", "") not in ("utf8",):
                for a, b in SUBST.items():
                    text = text.replace(a, b)
            data = text.encode(charset)
    else:
        data = raw
    body = encode_body(data, cte)
    declared = label if label is not None else charset
    if ctype.startswith("text/") and declared:
        ct = "Content-Type: %s; charset=%s%s" % (ctype, declared, ct_params)
    else:
        ct = "Content-Type: %s%s" % (ctype, ct_params)
    hdrs = [ct, "Content-Transfer-Encoding: %s" % cte] + list(extra)
    return Part(hdrs, body, text or "")


def text(t, charset="utf-8", cte="quoted-printable", **kw):
    return leaf("text/plain", t, charset, cte, **kw)


def htmlpart(h, charset="utf-8", cte="quoted-printable", **kw):
    return leaf("text/html", h, charset, cte, **kw)


def boundary(rng, style="generic"):
    if style == "gmail":
        return "000000000000" + hexjunk(rng, 16)
    if style == "outlook":
        return "_000_" + "".join(rng.choice(string.ascii_uppercase + string.digits) for _ in range(28)) + "_"
    if style == "java":
        return "----=_Part_%d_%d.%d" % (rng.randint(10000, 9999999), rng.randint(100000000, 2099999999),
                                        rng.randint(1700000000000, 1790000000000))
    if style == "apple":
        return "Apple-Mail=_" + "-".join(hexjunk(rng, n).upper() for n in (8, 4, 4, 4, 12))
    return "=_" + hexjunk(rng, 24)


def multi(subtype, parts, rng, bstyle="generic", close=True, preamble=None, extra_params="",
          epilogue=None, quote=True):
    b = boundary(rng, bstyle)
    bq = '"%s"' % b if quote else b
    hdrs = ["Content-Type: multipart/%s;\n\tboundary=%s%s" % (subtype, bq, extra_params)]
    body = b""
    if preamble:
        body += preamble.encode() + b"\n"
    for p in parts:
        body += b"\n--" + b.encode() + b"\n" + p.render()
        if not body.endswith(b"\n"):
            body += b"\n"
    if close:
        body += b"\n--" + b.encode() + b"--\n"
        if epilogue:
            body += epilogue.encode() + b"\n"
    return Part(hdrs, body.lstrip(b"\n") if not preamble else body, "\n".join(p.src for p in parts))


def attachment(ctype, filename, raw, disposition="attachment", cid=None, name_param=True):
    extra = ["Content-Disposition: %s; filename=\"%s\"" % (disposition, filename)]
    if cid:
        extra.append("Content-ID: <%s>" % cid)
    params = '; name="%s"' % filename if name_param else ""
    return leaf(ctype, None, cte="base64", raw=raw, extra=extra, ct_params=params, charset=None)


def png_bytes(rng, n=1800):
    return b"\x89PNG\r\n\x1a\n\x00\x00\x00\rIHDR" + bytes(rng.getrandbits(8) for _ in range(n))


def gif_bytes(rng, n=600):
    return b"GIF89a" + bytes(rng.getrandbits(8) for _ in range(n))


def pdf_bytes(rng, n=6000, title="Document"):
    head = ("%%PDF-1.5\n%%\xe2\xe3\xcf\xd3\n1 0 obj\n<< /Type /Catalog /Pages 2 0 R >>\nendobj\n"
            "2 0 obj\n<< /Type /Pages /Kids [3 0 R] /Count 1 >>\nendobj\n"
            "4 0 obj\n<< /Title (%s) /Producer (PDFlib 9.2) >>\nendobj\n"
            "5 0 obj\n<< /Length %d /Filter /FlateDecode >>\nstream\n" % (title, n)).encode("latin-1")
    return head + bytes(rng.getrandbits(8) for _ in range(n)) + b"\nendstream\nendobj\n%%EOF\n"


def ics(rng, summary, start, minutes, organizer, attendees, location="", description="",
        method="REQUEST", uid_domain="google.com", tzid="Europe/Istanbul"):
    end = start + dt.timedelta(minutes=minutes)
    fmt = "%Y%m%dT%H%M%S"
    stamp = start - dt.timedelta(days=rng.randint(1, 9))
    desc = description.replace("\\", "\\\\").replace(",", "\\,").replace(";", "\\;").replace("\n", "\\n")
    lines = [
        "BEGIN:VCALENDAR",
        "PRODID:-//Google Inc//Google Calendar 70.9054//EN" if uid_domain == "google.com"
        else "PRODID:-//Microsoft Corporation//Outlook 16.0 MIMEDIR//EN",
        "VERSION:2.0", "CALSCALE:GREGORIAN", "METHOD:%s" % method,
        "BEGIN:VTIMEZONE", "TZID:%s" % tzid, "X-LIC-LOCATION:%s" % tzid,
        "BEGIN:STANDARD", "TZOFFSETFROM:+0300", "TZOFFSETTO:+0300", "TZNAME:+03",
        "DTSTART:19700101T000000", "END:STANDARD", "END:VTIMEZONE",
        "BEGIN:VEVENT",
        "DTSTART;TZID=%s:%s" % (tzid, start.strftime(fmt)),
        "DTEND;TZID=%s:%s" % (tzid, end.strftime(fmt)),
        "DTSTAMP:%sZ" % stamp.strftime(fmt),
        "ORGANIZER;CN=%s:mailto:%s" % organizer,
        "UID:%s@%s" % (hexjunk(rng, 26), uid_domain),
    ]
    for cn, em in attendees:
        lines.append("ATTENDEE;CUTYPE=INDIVIDUAL;ROLE=REQ-PARTICIPANT;PARTSTAT=NEEDS-ACTION;RSVP=TRUE;CN=%s;X-NUM-GUESTS=0:mailto:%s" % (cn, em))
    lines += [
        "X-MICROSOFT-CDO-OWNERAPPTID:%d" % rng.randint(-2000000000, 2000000000),
        "CREATED:%sZ" % stamp.strftime(fmt),
        "DESCRIPTION:%s" % desc,
        "LAST-MODIFIED:%sZ" % stamp.strftime(fmt),
        "LOCATION:%s" % location.replace(",", "\\,"),
        "SEQUENCE:0", "STATUS:CONFIRMED",
        "SUMMARY:%s" % summary.replace(",", "\\,"),
        "TRANSP:OPAQUE",
        "BEGIN:VALARM", "ACTION:DISPLAY", "DESCRIPTION:This is an event reminder",
        "TRIGGER:-P0DT0H10M0S", "END:VALARM",
        "END:VEVENT", "END:VCALENDAR",
    ]
    folded = []
    for ln in lines:
        while len(ln.encode()) > 75:
            cut = 74
            while len(ln[:cut].encode()) > 74:
                cut -= 1
            folded.append(ln[:cut])
            ln = " " + ln[cut:]
        folded.append(ln)
    return "\n".join(folded) + "\n"


# ------------------------------------------------------------ trace headers

def _ip(rng, prefix=None):
    if prefix:
        return prefix + "." + ".".join(str(rng.randint(1, 254)) for _ in range(4 - prefix.count(".") - 1))
    return "%d.%d.%d.%d" % (rng.choice([40, 52, 54, 104, 149, 159, 167, 185, 192, 198, 209]),
                            rng.randint(1, 254), rng.randint(1, 254), rng.randint(1, 254))


def trace(k, style):
    """Received/ARC/DKIM lines as the receiving provider adds them (a few KiB)."""
    rng = k.rng
    dom = k.from_domain
    to = k.to_email
    t = k.date
    ts = int(t.timestamp())
    tu = t.astimezone(TZ["pst"])
    ip = _ip(rng)
    sel = rng.choice(["s1", "k1", "pf2023", "google", "selector1", "mail", "20230601", "dkim", "mte1"])
    bh = b64junk(rng, 43) + "="
    hdr_list = "From:To:Subject:Date:Message-ID:MIME-Version:Content-Type"
    if rng.random() < 0.5:
        hdr_list = "mime-version:from:to:subject:date:message-id:content-type:list-unsubscribe"
    dkim = ("DKIM-Signature: v=1; a=rsa-sha256; c=relaxed/relaxed; d=%s;\n\ts=%s; t=%d;\n\tbh=%s;\n\th=%s;\n\tb=%s"
            % (dom, sel, ts, bh, hdr_list, fold_b64(b64junk(rng, 342) + "==", 60, 70, "\t ")))
    mailfrom = k.return_path
    if style == "gmail":
        gid = "%s:%s:%s:%s:%s" % ("2002:a05:%s" % hexjunk(rng, 4), hexjunk(rng, 4), "b0:" + hexjunk(rng, 3),
                                  hexjunk(rng, 4), hexjunk(rng, 4))
        arc_b = fold_b64(b64junk(rng, 342) + "==", 40, 70, "         ")
        lines = [
            "Delivered-To: %s" % to,
            "Received: by %s with SMTP id %s;\n        %s" % (gid, "z%dcsp%d%s" % (rng.randint(1, 99), rng.randint(100000, 9999999), "".join(rng.choice(string.ascii_lowercase) for _ in range(3))), rfc_date(tu, False, "PST")),
            "X-Google-Smtp-Source: AGHT+I%s" % b64junk(rng, 100),
            "X-Received: by %s with SMTP id %s-%s.%d.%d;\n        %s" % ("2002:a17:90b:%s:b0:%s:%s" % (hexjunk(rng, 4), hexjunk(rng, 3), hexjunk(rng, 4)), hexjunk(rng, 8), hexjunk(rng, 12), rng.randint(1, 99), ts % 100000, rfc_date(tu, False, "PST")),
            "ARC-Seal: i=1; a=rsa-sha256; t=%d; cv=none;\n        d=google.com; s=arc-20240605;\n        b=%s" % (ts, arc_b),
            "ARC-Message-Signature: i=1; a=rsa-sha256; c=relaxed/relaxed; d=google.com; s=arc-20240605;\n        h=%s;\n        bh=%s;\n        fh=%s;\n        b=%s" % (hdr_list.lower().replace(":", ":"), bh, b64junk(rng, 43) + "=", fold_b64(b64junk(rng, 342) + "==", 40, 70, "        ")),
            "ARC-Authentication-Results: i=1; mx.google.com;\n       dkim=pass header.i=@%s header.s=%s header.b=%s;\n       spf=pass (google.com: domain of %s designates %s as permitted sender) smtp.mailfrom=%s;\n       dmarc=pass (p=REJECT sp=REJECT dis=NONE) header.from=%s" % (dom, sel, b64junk(rng, 8), mailfrom, ip, mailfrom, dom),
            "Return-Path: <%s>" % mailfrom,
            "Received: from %s (%s. [%s])\n        by mx.google.com with ESMTPS id %s.%d.%s\n        for <%s>\n        (version=TLS1_3 cipher=TLS_AES_256_GCM_SHA384 bits=256/256);\n        %s" % (k.relay, k.relay, ip, hexjunk(rng, 16), rng.randint(100, 999999), t.strftime("%Y.%m.%d.%H.%M.%S"), to, rfc_date(tu, False, "PST")),
            "Received-SPF: pass (google.com: domain of %s designates %s as permitted sender) client-ip=%s;" % (mailfrom, ip, ip),
            "Authentication-Results: mx.google.com;\n       dkim=pass header.i=@%s header.s=%s header.b=%s;\n       spf=pass (google.com: domain of %s designates %s as permitted sender) smtp.mailfrom=%s;\n       dmarc=pass (p=REJECT sp=REJECT dis=NONE) header.from=%s" % (dom, sel, b64junk(rng, 8), mailfrom, ip, mailfrom, dom),
            dkim,
        ]
        return lines
    if style == "outlook":
        srv = "%s%dPR%02dMB%d.eurprd%02d.prod.outlook.com" % (rng.choice(["AM", "DB", "VI", "PA", "AS"]), rng.randint(0, 9), rng.randint(1, 99), rng.randint(1000, 9999), rng.randint(1, 9))
        edge = "%s%dEUR%02d.FT%03d.mail.protection.outlook.com" % (rng.choice(["AM", "DB", "VI"]), rng.randint(1, 9), rng.randint(1, 9), rng.randint(1, 999))
        lines = [
            "Received: from %s (::1) by %s with HTTPS; %s" % (srv.replace("MB", "MB" + str(rng.randint(0, 9))), srv, rfc_date(t.astimezone(TZ["utc"]), False)),
            "Received: from %s (2603:10a6:%s::%s) by %s\n (2603:10a6:%s::%s) with Microsoft SMTP Server (version=TLS1_2,\n cipher=TLS_ECDHE_RSA_WITH_AES_256_GCM_SHA384) id 15.20.%d.%d; %s" % (edge, hexjunk(rng, 3), rng.randint(10, 99), srv, hexjunk(rng, 3), rng.randint(10, 99), rng.randint(8000, 9400), rng.randint(10, 40), rfc_date(t.astimezone(TZ["utc"]), False)),
            "Authentication-Results: spf=pass (sender IP is %s)\n smtp.mailfrom=%s; dkim=pass (signature was verified)\n header.d=%s;dmarc=pass action=none header.from=%s;compauth=pass reason=100" % (ip, mailfrom.split("@")[-1], dom, dom),
            "Received-SPF: Pass (protection.outlook.com: domain of %s designates\n %s as permitted sender) receiver=protection.outlook.com;\n client-ip=%s; helo=%s; pr=C" % (mailfrom.split("@")[-1], ip, ip, k.relay),
            "Received: from %s (%s) by\n %s (10.167.1.%d) with Microsoft SMTP Server (version=TLS1_3,\n cipher=TLS_AES_256_GCM_SHA384) id 15.20.%d.%d via Frontend Transport; %s" % (k.relay, ip, edge, rng.randint(2, 250), rng.randint(8000, 9400), rng.randint(10, 40), rfc_date(t.astimezone(TZ["utc"]), False)),
            dkim,
            "X-MS-Exchange-Organization-ExpirationStartTime: %s" % t.astimezone(TZ["utc"]).strftime("%d %b %Y %H:%M:%S.%f")[:-3] + "0 (UTC)",
            "X-MS-Exchange-Organization-Network-Message-Id: %s" % "-".join(hexjunk(rng, n) for n in (8, 4, 4, 4, 12)),
            "X-MS-Exchange-Organization-SCL: 1",
            "X-Microsoft-Antispam: BCL:0;ARA:%d|%d|%d|%d;" % tuple(rng.randint(10000, 99999999) for _ in range(4)),
            "X-Microsoft-Antispam-Message-Info:\n\t%s" % fold_b64(b64junk(rng, 560), 70, 70, "\t"),
        ]
        return lines
    if style == "yandex":
        lines = [
            "Received: from mail-nwsmtp-mxfront-production-main-%d.vla.yp-c.yandex.net (mail-nwsmtp-mxfront-production-main-%d.vla.yp-c.yandex.net [IPv6:2a02:6b8:c0f:%s:0:640:%s:0])\n\tby mail-notsolitesrv-production-main-%d.vla.yp-c.yandex.net (notsolitesrv/Yandex) with LMTPS id %s-%s\n\tfor <%s>; %s" % (rng.randint(10, 99), rng.randint(10, 99), hexjunk(rng, 4), hexjunk(rng, 4), rng.randint(10, 99), b64junk(rng, 10), b64junk(rng, 8), to, rfc_date(t.astimezone(TZ["msk"]))),
            "Received: from %s (%s [%s])\n\tby mail-nwsmtp-mxfront-production-main-%d.vla.yp-c.yandex.net (mxfront/Yandex) with ESMTPS id %s-%s;\n\t%s" % (k.relay, k.relay, ip, rng.randint(10, 99), b64junk(rng, 10), b64junk(rng, 8), rfc_date(t.astimezone(TZ["msk"]))),
            "X-Yandex-Fwd: 1",
            "Authentication-Results: mail-nwsmtp-mxfront-production-main-%d.vla.yp-c.yandex.net; spf=pass (mail-nwsmtp-mxfront-production-main-%d.vla.yp-c.yandex.net: domain of %s designates %s as permitted sender, rule=[ip4:%s/24]) smtp.mail=%s; dkim=pass header.i=@%s" % (rng.randint(10, 99), rng.randint(10, 99), dom, ip, ip, mailfrom, dom),
            dkim,
            "Return-Path: %s" % mailfrom,
        ]
        return lines
    # plain postfix relay chain, as small providers and corporate servers deliver
    lines = [
        "Return-Path: <%s>" % mailfrom,
        "Delivered-To: %s" % to,
        "Received: from mx%d.%s\n\tby mail.%s with LMTP\n\tid %s\n\t(envelope-from <%s>)\n\tfor <%s>; %s" % (rng.randint(1, 4), k.to_domain, k.to_domain, b64junk(rng, 22), mailfrom, to, rfc_date(t)),
        "Received: from %s (%s [%s])\n\t(using TLSv1.3 with cipher TLS_AES_256_GCM_SHA384 (256/256 bits)\n\t key-exchange X25519 server-signature RSA-PSS (2048 bits) server-digest SHA256)\n\t(No client certificate requested)\n\tby mx%d.%s (Postfix) with ESMTPS id %s\n\tfor <%s>; %s" % (k.relay, k.relay, ip, rng.randint(1, 4), k.to_domain, hexjunk(rng, 11).upper(), to, rfc_date(t)),
        "Received: from localhost (localhost [127.0.0.1])\n\tby %s (Postfix) with ESMTP id %s;\n\t%s" % (k.relay, hexjunk(rng, 10).upper(), rfc_date(t)),
        "Authentication-Results: mx.%s;\n\tdkim=pass (2048-bit key; unprotected) header.d=%s header.i=@%s header.a=rsa-sha256 header.s=%s header.b=%s;\n\tspf=pass smtp.mailfrom=%s;\n\tdmarc=pass (p=quarantine dis=none) header.from=%s" % (k.to_domain, dom, dom, sel, b64junk(rng, 8), mailfrom, dom),
        dkim,
    ]
    return lines


def list_headers(k, unsub_url=None):
    rng = k.rng
    dom = k.from_domain
    tok = b64junk(rng, 64).replace("/", "_").replace("+", "-")
    url = unsub_url or "https://links.%s/u/%s" % (dom, tok)
    return [
        "List-Unsubscribe: <%s>,\n <mailto:unsubscribe-%s@%s?subject=unsubscribe>" % (url, hexjunk(rng, 24), dom),
        "List-Unsubscribe-Post: List-Unsubscribe=One-Click",
        "List-Id: <%s.list-id.%s>" % (hexjunk(rng, 10), dom),
        "Feedback-ID: %d:%d:%s:%s" % (rng.randint(1000, 99999), rng.randint(1, 999), rng.choice(["campaign", "transactional", "mkt"]), rng.choice(["sendgrid", "sparkpost", "ses", "mailchimp"])),
        "X-Campaign-ID: %s" % hexjunk(rng, 20),
        "Precedence: bulk",
    ]


# ------------------------------------------------------------ the mail kit

TO_PEOPLE = [
    ("Mert Yilmaz", "mert.yilmaz@gmail.com"), ("Elif Kaya", "elif.kaya@outlook.com"),
    ("Can Demir", "can.demir@yandex.com"), ("Zeynep Arslan", "zeynep.arslan@gmail.com"),
    ("Emre \u00c7elik", "emre.celik@hotmail.com"), ("Ay\u015fe \u015eahin", "ayse.sahin@firma.com.tr"),
    ("Burak \u00d6zt\u00fcrk", "burak.ozturk@gmail.com"), ("Deniz Ayd\u0131n", "deniz@aydin.dev"),
    ("Selin Ko\u00e7", "selin.koc@icloud.com"), ("Oguz Kurt", "oguzkurt@proton.me"),
]


GREETING = re.compile(r"\b(Hi|Hey|Hello|Dear|Merhaba|Selam|Say\u0131n|SAYIN|Hallo|Hola|Bonjour)\s+([^\W\d][\w.]*)")


def _fold(s):
    return s.translate(str.maketrans("\u00e7\u011f\u0131\u00f6\u015f\u00fc\u00c7\u011e\u0130\u00d6\u015e\u00dc", "cgiosuCGIOSU")).lower()


def _ascii_addr(v):
    """Encode a raw non-ASCII display name the way a mail client would."""
    if all(ord(c) < 128 for c in v):
        return v
    m = re.match(r'\s*"?([^"<]*?)"?\s*<([^>]+)>\s*$', v)
    return addr(m.group(1), m.group(2), "utf-8", "Q")


class Kit:
    def __init__(self, name):
        seed = int(hashlib.sha256(name.encode()).hexdigest()[:16], 16)
        self.rng = random.Random(seed)
        self.name = name
        p = self.rng.choice(TO_PEOPLE)
        self.to_name, self.to_email = p
        self.first = self.to_name.split()[0]
        start = dt.datetime(2025, 1, 6, tzinfo=dt.timezone.utc)
        span = (dt.datetime(2026, 11, 28, tzinfo=dt.timezone.utc) - start).total_seconds()
        self.date = start + dt.timedelta(seconds=self.rng.randint(0, int(span)))
        self.date = self.date.replace(microsecond=0)

    def _address_greeted(self, src):
        """Send the mail to the person its text names or greets, so greeting and To agree."""
        folded = _fold(src)
        for name, email in TO_PEOPLE:
            if _fold(name) in folded:
                self.to_name, self.to_email = name, email
                return
        m = GREETING.search(src)
        if m:
            word = _fold(m.group(2))
            for name, email in TO_PEOPLE:
                if word.startswith(_fold(name.split()[0])):
                    self.to_name, self.to_email = name, email
                    return

    @property
    def to_domain(self):
        return self.to_email.split("@")[1]

    def when(self, tz="tr"):
        return self.date.astimezone(TZ[tz])

    def msgid(self, dom, style="generic"):
        r = self.rng
        if style == "ses":
            return "<0100%s-%s-000000@email.amazonses.com>" % (hexjunk(r, 12), "-".join(hexjunk(r, n) for n in (8, 4, 4, 4, 12)))
        if style == "gmail":
            return "<CA%s@mail.gmail.com>" % b64junk(r, 60).replace("/", "_").replace("+", "-")
        if style == "sendgrid":
            return "<%s@geopod-ismtpd-%d>" % (b64junk(r, 22).replace("/", "_"), r.randint(1, 40))
        if style == "java":
            return "<%d.%d.%d@%s>" % (r.randint(100000, 9999999), r.randint(1000, 99999), r.randint(1700000000000, 1790000000000), dom)
        return "<%s.%s@%s>" % (hexjunk(r, 16), hexjunk(r, 8), dom)

    def message(self, frm, subject, body, frm_email=None, style="gmail", lists=False, to=None,
                subject_raw=None, date=None, tz="tr", extra=(), msgid_style="generic",
                mime_version=True, relay=None, return_path=None, trace_on=True, unsub_url=None,
                reply_to=None):
        """frm is a ready From value; subject is encoded by caller if needed (subject_raw)."""
        m = re.search(r"<([^>]+)>", frm)
        femail = frm_email or (m.group(1) if m else frm)
        self.from_domain = femail.split("@")[1]
        base = self.from_domain.split(".")[-2] if self.from_domain.count(".") >= 1 else self.from_domain
        self.relay = relay or "%s-%d.%s" % (self.rng.choice(["mta", "out", "smtp", "o", "mail"]),
                                           self.rng.randint(1, 60), self.from_domain)
        self.return_path = return_path or "bounces+%d-%s-%s=%s@em.%s" % (
            self.rng.randint(1000, 9999999), hexjunk(self.rng, 4), self.to_email.split("@")[0],
            self.to_domain, self.from_domain)
        if date is not None:
            self.date = date
        hs = []
        if trace_on:
            hs += trace(self, style)
        hs.append("From: %s" % _ascii_addr(frm))
        if to is None:
            self._address_greeted(body.src)
        nonascii = any(ord(c) > 127 for c in self.to_name)
        to_v = to or addr(self.to_name, self.to_email, "utf-8" if nonascii else None, self.rng.choice("BQ"))
        hs.append("To: %s" % _ascii_addr(to_v))
        if reply_to:
            hs.append("Reply-To: %s" % reply_to)
        hs.append("Subject: %s" % (subject_raw if subject_raw is not None else subject))
        hs.append("Date: %s" % rfc_date(self.when(tz)))
        hs.append("Message-ID: %s" % self.msgid(self.from_domain, msgid_style))
        if lists:
            hs += list_headers(self, unsub_url)
        hs += list(extra)
        if mime_version:
            hs.append("MIME-Version: 1.0")
        raw = ("\n".join(hs) + "\n").encode("utf-8") + ("\n".join(body.headers) + "\n\n").encode("ascii") + body.body
        return raw


def finish(raw):
    """Normalise to CRLF line ends."""
    raw = raw.replace(b"\r\n", b"\n")
    if not raw.endswith(b"\n"):
        raw += b"\n"
    return raw.replace(b"\n", b"\r\n")


# ------------------------------------------------------------ HTML pages

CSS_FONTS = [
    "-apple-system,BlinkMacSystemFont,'Segoe UI',Roboto,Helvetica,Arial,sans-serif",
    "'Helvetica Neue',Helvetica,Arial,sans-serif",
    "'Google Sans',Roboto,RobotoDraggable,Helvetica,Arial,sans-serif",
    "Tahoma,Verdana,Segoe,sans-serif",
    "'Open Sans','Segoe UI',Arial,sans-serif",
]

PALETTE = ["#006699", "#333333", "#666666", "#999999", "#f4f4f4", "#e5e5e5", "#1a73e8", "#202124", "#5f6368",
           "#ff6000", "#f27a1a", "#0f9d58", "#d93025", "#ffffff", "#000000", "#24292f", "#57606a", "#0969da",
           "#2da44e", "#fafbfc", "#ececec", "#c8102e", "#004b8d", "#00a3e0", "#ffc107", "#7289da", "#1db954",
           "#e50914", "#ff5a5f", "#003580", "#febb02", "#5865f2", "#f0b90b", "#0052ff", "#4a154b", "#2d8cff"]


def css(rng, brand="#006699", kib=4.0, dark=True):
    font = rng.choice(CSS_FONTS)
    parts = [
        "body,table,td,a{-webkit-text-size-adjust:100%;-ms-text-size-adjust:100%}",
        "table,td{mso-table-lspace:0pt;mso-table-rspace:0pt;border-collapse:collapse}",
        "img{-ms-interpolation-mode:bicubic;border:0;height:auto;line-height:100%;outline:none;text-decoration:none}",
        "body{margin:0!important;padding:0!important;width:100%!important;background-color:#f4f4f4;font-family:" + font + "}",
        "a[x-apple-data-detectors]{color:inherit!important;text-decoration:none!important;font-size:inherit!important;font-family:inherit!important;font-weight:inherit!important;line-height:inherit!important}",
        "u + #body a{color:inherit;text-decoration:none;font-size:inherit;font-family:inherit;font-weight:inherit;line-height:inherit}",
        "#MessageViewBody a{color:inherit;text-decoration:none;font-size:inherit;font-family:inherit;font-weight:inherit;line-height:inherit}",
        ".wrapper{width:100%;max-width:600px;margin:0 auto;background-color:#ffffff}",
        ".header{background-color:%s;padding:24px 32px}" % brand,
        ".content{padding:32px 40px 24px 40px;color:#333333;font-size:16px;line-height:24px}",
        ".btn a{background-color:%s;border:1px solid %s;border-radius:4px;color:#ffffff;display:inline-block;font-size:16px;font-weight:600;padding:12px 28px;text-decoration:none}" % (brand, brand),
        ".footer{padding:24px 40px;color:#999999;font-size:12px;line-height:18px;text-align:center}",
        ".footer a{color:#999999;text-decoration:underline}",
        ".code{font-family:'Courier New',Courier,monospace;font-size:32px;letter-spacing:6px;font-weight:700;color:#202124;background:#f1f3f4;padding:16px 24px;border-radius:8px}",
        ".preheader{display:none!important;visibility:hidden;mso-hide:all;font-size:1px;line-height:1px;max-height:0;max-width:0;opacity:0;overflow:hidden}",
        "@media only screen and (max-width:620px){.wrapper{width:100%!important}.content{padding:24px 20px!important}.col-6,.col-4{width:100%!important;display:block!important}h1{font-size:22px!important;line-height:28px!important}.code{font-size:26px!important;letter-spacing:4px!important}.hide-mobile{display:none!important}}",
        "@media only screen and (max-width:480px){.footer{padding:16px 12px!important}.btn a{display:block!important;padding:12px 0!important}}",
    ]
    if dark:
        parts.append("@media (prefers-color-scheme:dark){.bg{background-color:#1a1a1a!important}.wrapper{background-color:#202124!important}.content,.txt{color:#e8eaed!important}.footer{color:#9aa0a6!important}.code{background:#303134!important;color:#ffffff!important}}")
        parts.append("[data-ogsc] .txt{color:#e8eaed!important}[data-ogsb] .bg{background-color:#1a1a1a!important}")
    parts.append("@font-face{font-family:'BrandSans';font-style:normal;font-weight:400;src:url(https://fonts.gstatic.com/s/brandsans/v%d/%s.woff2) format('woff2');unicode-range:U+0000-00FF,U+0131,U+0152-0153,U+02BB-02BC,U+02C6,U+02DA,U+02DC,U+2000-206F}" % (rng.randint(10, 40), b64junk(rng, 22)))
    props = ["margin-top", "margin-bottom", "padding", "padding-left", "padding-right", "width", "max-width",
             "font-size", "line-height", "border-radius", "height", "min-width", "letter-spacing"]
    target = int(kib * 1024)
    n = 0
    while sum(len(p) + 1 for p in parts) < target:
        n += 1
        kind = rng.random()
        if kind < 0.35:
            pr = rng.choice(props)
            v = rng.choice([0, 2, 4, 6, 8, 10, 12, 14, 16, 18, 20, 24, 28, 32, 40, 48, 56, 64, 80, 120, 160, 200, 280, 300, 560, 600, 640])
            parts.append(".%s-%d{%s:%dpx!important}" % (pr.replace("-", "")[:4], v, pr, v))
        elif kind < 0.6:
            c = rng.choice(PALETTE)
            parts.append(".%s-%s{%s:%s}" % (rng.choice(["c", "bg", "bc"]), c[1:], rng.choice(["color", "background-color", "border-color"]), c))
        elif kind < 0.75:
            w = rng.choice([600, 580, 480, 414, 375, 320, 640])
            parts.append("@media screen and (max-width:%dpx){.m-%d{width:%d%%!important;font-size:%dpx!important;padding:%dpx %dpx!important}}" % (w, n, rng.choice([100, 50, 90]), rng.choice([12, 14, 16, 18]), rng.choice([8, 12, 16]), rng.choice([0, 8, 16, 24])))
        elif kind < 0.9:
            parts.append(".t%d td.c%d{font:%s %dpx/%dpx %s;color:%s;border-bottom:1px solid %s}" % (n, rng.randint(1, 9), rng.choice(["normal", "bold", "600"]), rng.choice([11, 12, 13, 14, 15]), rng.choice([16, 18, 20, 22]), font, rng.choice(PALETTE), rng.choice(PALETTE)))
        else:
            parts.append(".g%d{display:inline-block;vertical-align:top;width:%d%%;max-width:%dpx;box-shadow:0 %dpx %dpx rgba(0,0,0,.%02d);transition:all .%ds ease-in-out}" % (n, rng.choice([25, 33, 50, 100]), rng.choice([140, 180, 200, 290, 300]), rng.randint(1, 4), rng.randint(2, 12), rng.randint(4, 30), rng.randint(1, 5)))
    return "\n".join(parts)


def esc(s):
    return html.escape(s, quote=False)


BOLD = re.compile(r"(?<![*\w])\*\*([^*\s](?:[^*]*?[^*\s])?)\*\*(?![*\w])")


def inline(s):
    """**bold** markup to HTML; everything else escaped (masked numbers like 4355 **** 7710 stay)."""
    out, pos = [], 0
    for m in BOLD.finditer(s):
        out.append(esc(s[pos:m.start()]))
        out.append("<strong>%s</strong>" % esc(m.group(1)))
        pos = m.end()
    out.append(esc(s[pos:]))
    return "".join(out).replace("\n", "<br>\n")


def plain_inline(s):
    return BOLD.sub(lambda m: m.group(1), s)


def code_html(code, variant, brand):
    if variant == "cell":
        return ('<table role="presentation" cellpadding="0" cellspacing="0" border="0" align="center"><tr>'
                '<td align="center" style="font-family:\'Courier New\',monospace;font-size:36px;line-height:44px;'
                'letter-spacing:8px;font-weight:bold;color:#202124;background-color:#f1f3f4;padding:18px 32px;'
                'border-radius:8px">%s</td></tr></table>' % esc(code))
    if variant == "digits":
        tds = "".join('<td width="44" height="56" align="center" style="border:1px solid #dadce0;border-radius:6px;'
                      'font-size:28px;font-weight:700;color:%s">%s</td><td width="8"></td>' % (brand, esc(c)) for c in code)
        return '<table role="presentation" align="center" cellpadding="0" cellspacing="0"><tr>%s</tr></table>' % tds
    if variant == "div":
        return '<div class="code" style="text-align:center;margin:24px 0">%s</div>' % esc(code)
    if variant == "h1":
        return '<h1 style="font-size:40px;letter-spacing:10px;margin:16px 0;color:%s;text-align:center">%s</h1>' % (brand, esc(code))
    if variant == "p":
        return '<p style="font-size:30px;font-weight:bold;margin:20px 0;color:#111111">%s</p>' % esc(code)
    if variant == "span":
        return ('<p style="margin:20px 0;text-align:center"><span style="display:inline-block;font-size:34px;'
                'font-weight:700;letter-spacing:12px;padding:14px 20px;background:#f6f8fa;border:1px solid #d0d7de;'
                'border-radius:6px;color:#24292f">%s</span></p>' % esc(code))
    if variant == "pre":
        return '<pre style="font-size:24px;background:#f6f8fa;padding:16px;border-radius:6px">%s</pre>' % esc(code)
    raise ValueError(variant)


def render_blocks(blocks, brand):
    h, t = [], []
    for b in blocks:
        kind = b[0]
        if kind == "p":
            h.append('<p style="margin:0 0 16px 0;font-size:16px;line-height:24px;color:#333333">%s</p>' % inline(b[1]))
            t.append(plain_inline(b[1]))
        elif kind == "h":
            h.append('<h1 style="margin:0 0 20px 0;font-size:24px;line-height:32px;font-weight:600;color:#202124">%s</h1>' % inline(b[1]))
            t.append(plain_inline(b[1]))
        elif kind == "h2":
            h.append('<h2 style="margin:24px 0 12px 0;font-size:18px;line-height:24px;color:#202124">%s</h2>' % inline(b[1]))
            t.append(plain_inline(b[1]))
        elif kind == "code":
            h.append(code_html(b[1], b[2] if len(b) > 2 else "cell", brand))
            t.append(b[3] if len(b) > 3 else "    " + b[1])
        elif kind == "btn":
            h.append('<table role="presentation" cellpadding="0" cellspacing="0" class="btn"><tr><td align="center" bgcolor="%s" style="border-radius:4px"><a href="%s" target="_blank" style="display:inline-block;padding:12px 28px;color:#ffffff;text-decoration:none;font-weight:600">%s</a></td></tr></table>' % (brand, html.escape(b[2]), esc(b[1])))
            t.append("%s: %s" % (b[1], b[2]))
        elif kind == "rows":
            rows = "".join('<tr><td style="padding:6px 0;color:#5f6368;font-size:14px;width:45%%">%s</td><td style="padding:6px 0;color:#202124;font-size:14px;text-align:right">%s</td></tr>' % (esc(a), inline(v)) for a, v in b[1])
            h.append('<table role="presentation" width="100%%" cellpadding="0" cellspacing="0" style="border-top:1px solid #e0e0e0;border-bottom:1px solid #e0e0e0;margin:8px 0 20px 0">%s</table>' % rows)
            t.append("\n".join("%s: %s" % (a, plain_inline(v)) for a, v in b[1]))
        elif kind == "list":
            h.append("<ul style=\"padding-left:20px;margin:0 0 16px 0\">%s</ul>" % "".join("<li style=\"margin-bottom:6px\">%s</li>" % inline(i) for i in b[1]))
            t.append("\n".join("- " + plain_inline(i) for i in b[1]))
        elif kind == "small":
            h.append('<p style="margin:0 0 12px 0;font-size:12px;line-height:18px;color:#777777">%s</p>' % inline(b[1]))
            t.append(plain_inline(b[1]))
        elif kind == "hr":
            h.append('<table role="presentation" width="100%" cellpadding="0" cellspacing="0"><tr><td style="border-top:1px solid #e8eaed;font-size:1px;line-height:1px;height:24px">&nbsp;</td></tr></table>')
        elif kind == "raw":
            h.append(b[1])
            if b[2]:
                t.append(b[2])
        elif kind == "products":
            cells = []
            lines = []
            for i, (name, price, old) in enumerate(b[1]):
                img = "https://cdn.%s/mnresize/%d/%d/ty%d/product/media/images/prod/SPM/PIM/2025%02d%02d/%02d/%s/1_org_zoom.jpg" % (
                    b[2] if len(b) > 2 else "example-cdn.com", 200, 300, 1500 + i * 7, (i % 12) + 1, (i * 3) % 28 + 1, i % 24, hexjunk(random.Random(name), 32))
                cells.append('<td class="col-4" width="33%%" valign="top" style="padding:8px"><a href="https://www.example-shop.com/p-%d?boutiqueId=%d&amp;merchantId=%d"><img src="%s" width="180" height="270" alt="%s" style="display:block;width:100%%;max-width:180px"></a><p style="font-size:13px;color:#333333;margin:8px 0 4px 0;height:36px;overflow:hidden">%s</p>%s<p style="font-size:16px;color:#f27a1a;font-weight:bold;margin:0">%s</p></td>' % (
                    700000000 + i * 104729, 61 + i, 100000 + i * 977, img, esc(name), esc(name),
                    '<p style="font-size:12px;color:#999999;text-decoration:line-through;margin:0">%s</p>' % esc(old) if old else "", esc(price)))
                lines.append("%s - %s%s" % (name, price, (" (yerine %s)" % old) if old else ""))
            rows = ["<tr>%s</tr>" % "".join(cells[i:i + 3]) for i in range(0, len(cells), 3)]
            h.append('<table role="presentation" width="100%%" cellpadding="0" cellspacing="0">%s</table>' % "".join(rows))
            t.append("\n".join(lines))
        elif kind == "article":
            _, title, summary, url = b
            h.append('<table role="presentation" width="100%%" cellpadding="0" cellspacing="0" style="margin-bottom:20px"><tr><td style="padding:0 0 8px 0"><a href="%s" style="font-size:18px;font-weight:700;color:#1a1a1a;text-decoration:none">%s</a></td></tr><tr><td style="font-size:14px;line-height:21px;color:#555555">%s</td></tr></table>' % (html.escape(url), esc(title), inline(summary)))
            t.append("%s\n%s\n%s" % (title, plain_inline(summary), url))
        else:
            raise ValueError(kind)
    return "\n".join(h), "\n\n".join(t)


def page(k, brand_name, blocks, brand="#006699", preheader=None, css_kib=4.0, lang="en", footer=(),
         logo=True, title=None, mso=True, pixel=True, logo_src=None, domain="example.com"):
    """A table-layout HTML mail with a style head; returns (html, text)."""
    rng = k.rng
    body_h, body_t = render_blocks(blocks, brand)
    foot_h = "".join('<p style="margin:0 0 8px 0">%s</p>' % inline(f) for f in footer)
    foot_t = "\n".join(plain_inline(f) for f in footer)
    pre = ""
    if preheader:
        pre = ('<div class="preheader" style="display:none;font-size:1px;color:#ffffff;line-height:1px;max-height:0px;'
               'max-width:0px;opacity:0;overflow:hidden;mso-hide:all">%s%s</div>' % (esc(preheader), "&#847; &zwnj; &nbsp; " * 30))
    logo_h = ""
    if logo:
        src = logo_src or "https://%s/static/email/%s/logo-%d.png" % (domain, hexjunk(rng, 8), rng.choice([120, 144, 160, 200]))
        logo_h = '<img src="%s" width="%d" height="%d" alt="%s" style="display:block;border:0">' % (src, rng.choice([96, 120, 140]), rng.choice([24, 28, 32, 40]), esc(brand_name))
    px = ""
    if pixel:
        px = '<img src="https://click.%s/open.aspx?ffcb10-%s&amp;d=%d&amp;s=%d" width="1" height="1" alt="" style="display:block">' % (
            domain, hexjunk(rng, 40), rng.randint(10000, 99999), rng.randint(100000, 999999))
    mso_h = ""
    if mso:
        mso_h = ('<!--[if mso]>\n<noscript><xml><o:OfficeDocumentSettings><o:AllowPNG/><o:PixelsPerInch>96</o:PixelsPerInch>'
                 '</o:OfficeDocumentSettings></xml></noscript>\n<style type="text/css">body,table,td{font-family:Arial,sans-serif!important}</style>\n<![endif]-->')
    doc = """<!DOCTYPE html PUBLIC "-//W3C//DTD XHTML 1.0 Transitional//EN" "http://www.w3.org/TR/xhtml1/DTD/xhtml1-transitional.dtd">
<html xmlns="http://www.w3.org/1999/xhtml" xmlns:v="urn:schemas-microsoft-com:vml" xmlns:o="urn:schemas-microsoft-com:office:office" lang="%(lang)s">
<head>
<meta http-equiv="Content-Type" content="text/html; charset=utf-8">
<meta name="viewport" content="width=device-width, initial-scale=1.0">
<meta http-equiv="X-UA-Compatible" content="IE=edge">
<meta name="x-apple-disable-message-reformatting">
<meta name="format-detection" content="telephone=no,address=no,email=no,date=no,url=no">
<meta name="color-scheme" content="light dark">
<title>%(title)s</title>
%(mso)s
<style type="text/css">
%(css)s
</style>
</head>
<body id="body" class="bg" style="margin:0;padding:0;background-color:#f4f4f4">
%(pre)s
<table role="presentation" width="100%%" cellpadding="0" cellspacing="0" border="0" bgcolor="#f4f4f4" class="bg">
<tr><td align="center" style="padding:24px 12px">
<!--[if (gte mso 9)|(IE)]><table width="600" align="center" cellpadding="0" cellspacing="0" border="0"><tr><td><![endif]-->
<table role="presentation" class="wrapper" width="600" cellpadding="0" cellspacing="0" border="0" style="max-width:600px;background-color:#ffffff">
<tr><td class="header" bgcolor="%(brand)s" style="padding:24px 40px">%(logo)s</td></tr>
<tr><td class="content txt" style="padding:32px 40px 24px 40px">
%(body)s
</td></tr>
<tr><td class="footer" style="padding:24px 40px;color:#999999;font-size:12px;line-height:18px">
%(foot)s
</td></tr>
</table>
<!--[if (gte mso 9)|(IE)]></td></tr></table><![endif]-->
</td></tr>
</table>
%(px)s
</body>
</html>
""" % dict(lang=lang, title=esc(title or brand_name), mso=mso_h, css=css(rng, brand, css_kib), pre=pre,
           brand=brand, logo=logo_h, body=body_h, foot=foot_h, px=px)
    txt = body_t + ("\n\n" + foot_t if foot_t else "") + "\n"
    return doc, txt


def alt(k, html_doc, txt, charset="utf-8", cte_t="quoted-printable", cte_h="quoted-printable", bstyle="generic"):
    return multi("alternative", [text(txt, charset, cte_t), htmlpart(html_doc, charset, cte_h)], k.rng, bstyle)


def recharset(doc, cs):
    """Point the HTML meta charset at the part's charset."""
    return doc.replace('content="text/html; charset=utf-8"', 'content="text/html; charset=%s"' % cs)


def forward_block(frm, date, subject, to, lang="en"):
    if lang == "tr":
        return ("---------- Y\u00f6nlendirilmi\u015f ileti ---------\nG\u00f6nderen: %s\nDate: %s\nSubject: %s\nTo: %s\n"
                % (frm, date, subject, to))
    return ("---------- Forwarded message ---------\nFrom: %s\nDate: %s\nSubject: %s\nTo: %s\n"
            % (frm, date, subject, to))
