"""Second round, mails without a code: card payment receipts with authorisation codes, invoices
whose numbers are announced as codes, and mails that hide code-like filler in invisible text."""

from mailkit import mail, page, alt, text, htmlpart, enc_word


def simple_html(body, lang="en", head_css=""):
    return ('<!DOCTYPE html><html lang="%s"><head><meta charset="utf-8"><style>%s</style></head>'
            '<body style="margin:0;background:#ffffff;font-family:Arial,sans-serif;font-size:15px;color:#222222">'
            '<table role="presentation" width="100%%" cellpadding="0" cellspacing="0" bgcolor="#ffffff"><tr>'
            '<td style="padding:24px">%s</td></tr></table></body></html>' % (lang, head_css, body))


# ------------------------------------------------------------ payments, invoices, tax

@mail("nl-betaalbewijs-autorisatiecode.eml", "", "card payment receipt: 'Autorisatiecode : 5521930' is the payment's authorisation")
def _(k):
    t = """Betaalbewijs

Winkel: Boekhandel De Zolder, Utrecht
Datum: 11-04-2026 16:42
Kaart: Maestro **** **** 4410
Bedrag: EUR 23,95
Autorisatiecode : 5521930
Terminal: 88120344

Bewaar dit bewijs voor uw administratie.
"""
    return k.message("Betaalbewijs <bon@kassa.example>", "Uw betaalbewijs", text(t, "utf-8", "quoted-printable"), style="generic", tz="cet")


@mail("en-card-receipt-authorization-code.eml", "", "card receipt with 'Authorization code: 552193' and an approval code")
def _(k):
    h, t = page(k, "Corner Cafe", [
        ("h", "Thanks for your purchase"),
        ("rows", [("Card", "Visa ending 7710"), ("Amount", "$14.60"), ("Authorization code", "552193"),
                  ("Approval code", "A81K2Q"), ("Date", "Apr 12, 2026 08:14")]),
        ("small", "Corner Cafe, 18 Market Street, Boston, MA 02109"),
    ], brand="#6d4c41", css_kib=3, footer=["Receipt sent by Tillpoint"], domain="tillpoint.example")
    return k.message("Corner Cafe via Tillpoint <receipts@tillpoint.example>", "Your receipt from Corner Cafe", alt(k, h, t), style="generic", tz="est")


@mail("es-factura-codigo-subject.eml", "", "invoice whose number stands as 'Codigo: 48120377' in the subject and the text")
def _(k):
    t = """Estimado cliente:

Adjuntamos su factura electr\u00f3nica del mes de marzo.

C\u00f3digo: 48120377
Importe total: 62,30 EUR (IVA incluido)
Fecha de cargo: 05/04/2026

Puede consultar sus facturas en su \u00e1rea de cliente.
"""
    return k.message("Electrica Sur <facturas@electricasur.example>", None, text(t, "utf-8", "quoted-printable"),
                     subject_raw=enc_word("Factura electr\u00f3nica - C\u00f3digo: 48120377"), style="generic", tz="cet")


@mail("it-codice-fattura.eml", "", "Italian invoice: 'codice fattura' and the payment's code")
def _(k):
    t = """Gentile cliente,

la fattura n. 2026/0412 \u00e8 disponibile.
Codice fattura: 48120377
Importo: 89,00 EUR
Scadenza pagamento: 30/04/2026
"""
    return k.message("Telefonia Nord <fatture@telnord.example>", "La tua fattura di aprile", text(t, "utf-8", "quoted-printable"), style="generic", tz="cet")


@mail("pt-nota-fiscal-codigo-verificacao.eml", "", "Brazilian 'nota fiscal' with a 'codigo de verificacao' that checks the document, not a sign-in")
def _(k):
    t = """Prezado cliente,

Sua Nota Fiscal de Servi\u00e7o Eletr\u00f4nica foi emitida.

N\u00famero da nota: 48120377
C\u00f3digo de verifica\u00e7\u00e3o: 7KQ2-MX41
Valor: R$ 1.250,00

Prefeitura Municipal - ISS 2%
"""
    return k.message("Nota Fiscal <nfse@prefeitura.example>", None, text(t, "utf-8", "quoted-printable"),
                     subject_raw=enc_word("Nota Fiscal Eletr\u00f4nica n\u00ba 48120377"), style="generic", tz="utc")


@mail("de-kreditkarte-genehmigungscode.eml", "", "German card statement line with 'Genehmigungscode'")
def _(k):
    t = """Guten Tag,

eine Zahlung mit Ihrer Kreditkarte wurde genehmigt.

H\u00e4ndler: Bahnhofsbuchhandlung K\u00f6ln
Betrag: 18,40 EUR
Genehmigungscode 552193
Datum: 14.04.2026

Ihre Kartenbank
"""
    return k.message("Kartenservice <info@kartenservice.example>", "Zahlung genehmigt", text(t, "utf-8", "quoted-printable"), style="generic", tz="cet")


# ------------------------------------------------------------ invisible filler

@mail("en-phish-hidden-code-filler.eml", "", "phishing-like HTML: code-like filler in 1px, white-on-white, zero-size, transparent and off-screen text")
def _(k):
    body = ('<p>Dear customer,</p>'
            '<p>Your mailbox storage is almost full. Verify your account now to keep receiving mail.</p>'
            '<div style="font-size:1px;line-height:1px">Your verification code is 739281</div>'
            '<p style="color:#fefefe">Security code: 604418</p>'
            '<div style="width:0;height:0;overflow:hidden">Login code 118820</div>'
            '<span style="opacity:0">OTP 550912</span>'
            '<div style="position:absolute;left:-9999px;top:-9999px">Your code: 884120</div>'
            '<p><a href="https://mailbox-verify.example/login">Verify now</a></p>')
    return k.message("Mail Admin <admin@mailbox-verify.example>", "Action required: verify your mailbox", htmlpart(simple_html(body), cte="quoted-printable"), style="generic", tz="utc")


@mail("tr-phish-gizli-kod-sinif.eml", "", "Turkish phishing-like HTML hiding a code line by a style-sheet class and aria-hidden")
def _(k):
    css = ".x9{display:none} .gz{color:#ffffff;background:#ffffff}"
    body = ('<p>Sayin musterimiz,</p><p>Hesabiniz askiya alinacaktir. Bilgilerinizi guncellemek icin baglantiya tiklayin.</p>'
            '<div class="x9">Dogrulama kodunuz: 402177</div>'
            '<div class="gz">Giris kodu 771930</div>'
            '<div aria-hidden="true">Onay kodunuz 338104</div>'
            '<p><a href="https://hesap-guncelle.example/tr">Hemen guncelle</a></p>')
    return k.message("Banka Bilgilendirme <bilgi@hesap-guncelle.example>", "Hesabiniz askiya alinacak", htmlpart(simple_html(body, "tr", css), cte="base64"), style="generic")


@mail("en-newsletter-tiny-preheader-numbers.eml", "", "newsletter with a 4px preheader full of numbers and a code word")
def _(k):
    body = ('<div style="font-size:4px;color:#f4f4f4">Use code 482913 today only - 2026 deals</div>'
            '<h1 style="font-size:26px">Spring picks for you</h1>'
            '<p>New arrivals in outdoor gear, from $19.99. Free shipping over $50.</p>'
            '<p>Questions? Call 1-800-555-0199.</p>')
    return k.message("Outfitters <news@outfitters.example>", "Spring picks for you", htmlpart(simple_html(body), cte="quoted-printable"), style="generic", tz="est", lists=True)
