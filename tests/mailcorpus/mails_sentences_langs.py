"""Second round: keywords several words from their code in one sentence, codes set off by marks,
compound and inflected keywords, letter codes, languages beyond the first table (Arabic, Persian,
Chinese, Japanese, Korean, Polish, Dutch, Italian, Portuguese, Indonesian, Ukrainian, Azerbaijani),
and right-to-left text around a left-to-right code."""

from mailkit import mail, page, alt, text, htmlpart, enc_word


def subj(s):
    return s if all(ord(c) < 128 for c in s) else enc_word(s)


def simple_html(body, lang="en", direction="ltr", head_css=""):
    return ('<!DOCTYPE html><html lang="%s" dir="%s"><head><meta charset="utf-8"><style>%s</style></head>'
            '<body style="margin:0;background:#ffffff;font-family:Arial,sans-serif;font-size:15px;color:#222222">'
            '<table role="presentation" width="100%%" cellpadding="0" cellspacing="0"><tr><td style="padding:24px">'
            '%s</td></tr></table></body></html>' % (lang, direction, head_css, body))


# ------------------------------------------------------------ one sentence, several words apart

@mail("en-profile-code-far-keyword.eml", "402913", "'The verification code for your new profile is 402913': six words between")
def _(k):
    t = """Hi {first},

Thanks for creating a family profile on Streamly. The verification code for your new profile is 402913, and it works for the next 15 minutes.

Profiles: 3 of 5 used
Plan: Premium 4K (renews 12/2026)

Streamly Media Ltd, 20 Water Street, Dublin D02 X285
""".format(first=k.first)
    return k.message("Streamly <profiles@streamly.example>", "Confirm your new Streamly profile", text(t, "utf-8", "quoted-printable"), style="sendgrid", tz="utc")


@mail("en-access-code-over-line-break.eml", "7KQ2M", "keyword and mixed code in one sentence wrapped over a line break, code after a colon")
def _(k):
    t = """Dear user,

For your protection, please enter the following special access code into the login
window of the Ledgerline desktop application before signing in again: 7KQ2M

This code replaces the one sent on 14.03.2026 and can be used once.
Reference of this request: REQ-2291-4471
Support: +44 20 7946 0321

Ledgerline Security Team
"""
    return k.message("Ledgerline Security <security@ledgerline.example>", "Your special access code", text(t, "us-ascii", "7bit"), style="generic", tz="utc")


@mail("en-code-first-in-sentence-digits-around.eml", "318207", "'Hi, 318207 is the verification code for your ... account' among long ids and links")
def _(k):
    h, t = page(k, "Parcelhub", [
        ("p", "Hi, 318207 is the verification code for your Parcelhub business account."),
        ("small", "Request id 7730018842199 from device 55120093 at 2026-04-11 09:12 UTC."),
        ("p", "Track shipments at https://app.parcelhub.example/t/88412093/77120 or call 0800 112 4410."),
        ("small", "Account 40021877 / Workspace 3308812"),
    ], brand="#1f6feb", css_kib=4, footer=["Parcelhub Inc., 500 Howard St, San Francisco, CA 94105"], domain="parcelhub.example")
    return k.message("Parcelhub <no-reply@parcelhub.example>", "Your Parcelhub verification code", htmlpart(h, cte="quoted-printable"), style="sendgrid", tz="pst")


@mail("en-code-after-keyword-other-number-between.eml", "650144", "a keyword whose nearest number is a reference; the code stands in the next sentence")
def _(k):
    t = """Hello,

We received your request 88120 for a new security code. Use 650144 to finish signing in.

Never share it with anyone.
"""
    return k.message("Vaultly <auth@vaultly.example>", "Security code", text(t, "us-ascii", "7bit"), style="generic", tz="utc")


# ------------------------------------------------------------ codes set off by marks

@mail("en-quote-marked-letter-code.eml", "hxtrkbwz", "lower-case letter code on its own line behind '> ', below 'use the confirmation code below'")
def _(k):
    t = """Hi {first},

To finish moving your notes to the new device, use the confirmation code below:

> hxtrkbwz

The code is valid for one hour.

Notely
""".format(first=k.first)
    return k.message("Notely <hello@notely.example>", "Confirm your device", text(t, "us-ascii", "7bit"), style="generic", tz="cet")


@mail("en-guillemet-marked-code.eml", "482913", "code behind a guillemet on its own line")
def _(k):
    t = """Your one-time code:

\u00bb 482913

Enter it within 10 minutes. Questions? help@trailpass.example
"""
    return k.message("Trailpass <login@trailpass.example>", "Sign in to Trailpass", text(t, "utf-8", "quoted-printable"), style="generic", tz="cet")


@mail("en-bracketed-code.eml", "561204", "code in square brackets with spaces on its own line")
def _(k):
    t = """Verification required

Please confirm your e-mail address with this code:

[ 561204 ]

Order history and invoices stay available at any time.
"""
    return k.message("Orbitmart <accounts@orbitmart.example>", "Confirm your e-mail", text(t, "us-ascii", "7bit"), style="generic", tz="utc")


@mail("en-asterisk-code.eml", "739015", "code between asterisks (plain text emphasis) on its own line")
def _(k):
    t = """Your Quillboard login code is below.

*739015*

If you did not try to log in, change your password.
Quillboard, 1200 Pine Ave, Portland OR 97205
"""
    return k.message("Quillboard <noreply@quillboard.example>", "Login code", text(t, "us-ascii", "7bit"), style="generic", tz="pst")


@mail("es-quoted-code.eml", "204816", "Spanish, code in quotation marks on its own line")
def _(k):
    t = """Hola:

Usa el siguiente c\u00f3digo para confirmar tu cuenta:

\u201c204816\u201d

Caduca en 20 minutos.
"""
    return k.message("Rutaverde <cuentas@rutaverde.example>", subj("Confirma tu cuenta"), text(t, "utf-8", "quoted-printable"), subject_raw=enc_word("Confirma tu cuenta"), style="gmail", tz="cet")


# ------------------------------------------------------------ compounds, inflections, letter codes

@mail("de-anmeldecode-letter-code.eml", "PLMWQZRT", "German compound 'Anmeldecode' over a dashed letter-only code")
def _(k):
    h, t = page(k, "Kontora", [
        ("p", "Hallo,"),
        ("p", "Ihr Anmeldecode steht unten. Er gilt 10 Minuten."),
        ("code", "PLMW-QZRT", "cell"),
        ("small", "Kundennummer 4471-2290 \u2013 Kontora GmbH, Friedrichstra\u00dfe 68, 10117 Berlin"),
    ], brand="#0b5394", css_kib=3, lang="de", footer=["Kontora GmbH \u2013 HRB 200911 B"], domain="kontora.example")
    return k.message("Kontora <login@kontora.example>", "Ihr Anmeldecode", alt(k, h, t), style="generic", tz="cet")


@mail("de-einmalcode-html.eml", "581730", "German 'Einmalcode' in an HTML only mail")
def _(k):
    body = ('<p>Guten Tag,</p><p>Ihr Einmalcode f\u00fcr die Freigabe lautet <strong>581730</strong>.</p>'
            '<p>Der Code verf\u00e4llt nach 5 Minuten.</p><p style="font-size:12px;color:#777">Musterbank AG, 60311 Frankfurt am Main, BLZ 500 100 00</p>')
    return k.message("Musterbank <sicherheit@musterbank.example>", subj("Ihr Einmalcode"), htmlpart(simple_html(body, "de"), cte="base64"), style="generic", tz="cet")


@mail("de-pruefcode-zugangscode.eml", "HB4QN7XKWE", "German 'Pruefcode' over a dashed mixed code; 'Zugangscode' spelled out later")
def _(k):
    t = """Hallo {first},

Ihr Pruefcode:

HB4QN-7XKWE

Geben Sie diesen Zugangscode nur in der App ein. Servicenummer 030 2291 4410.
""".format(first=k.first)
    return k.message("Mietwerk <service@mietwerk.example>", "Ihr Pruefcode", text(t, "us-ascii", "7bit"), style="generic", tz="cet")


@mail("tr-sifreniz-suffix.eml", "771204", "Turkish inflected 'sifreniz' and 'kodunuz' without diacritics, amounts nearby")
def _(k):
    t = """Sayin {first},

Mobil uygulamaya giris icin tek kullanimlik sifreniz 771204 olarak belirlenmistir.
Bu kodunuzu kimseyle paylasmayiniz.

Son islem: 1.250,00 TL - 12.04.2026 14:22
Musteri hizmetleri: 0850 222 0 444
""".format(first=k.first)
    return k.message("Ornekbank <bilgi@ornekbank.example>", "Giris sifreniz", text(t, "us-ascii", "7bit"), style="generic")


# ------------------------------------------------------------ languages

@mail("ar-ramz-tahaqquq-rtl.eml", "482913", "Arabic 'rmz al-tahaqquq' in a right-to-left HTML mail, the code wrapped in direction marks")
def _(k):
    body = ('<p>\u0645\u0631\u062d\u0628\u064b\u0627\u060c</p>'
            '<p>\u0631\u0645\u0632 \u0627\u0644\u062a\u062d\u0642\u0642 \u0627\u0644\u062e\u0627\u0635 \u0628\u0643 \u0647\u0648 '
            '<span dir="ltr">\u200e482913\u200e</span></p>'
            '<p>\u0635\u0627\u0644\u062d \u0644\u0645\u062f\u0629 10 \u062f\u0642\u0627\u0626\u0642.</p>')
    return k.message("Souqly <no-reply@souqly.example>", None, htmlpart(simple_html(body, "ar", "rtl"), cte="base64"),
                     subject_raw=enc_word("\u0631\u0645\u0632 \u0627\u0644\u062a\u062d\u0642\u0642"), style="generic", tz="utc")


@mail("ar-alkod-below.eml", "90317", "Arabic 'al-kod' announcing a five-digit code on the next line")
def _(k):
    t = ("\u0627\u0633\u062a\u062e\u062f\u0645 \u0627\u0644\u0643\u0648\u062f \u0627\u0644\u062a\u0627\u0644\u064a "
         "\u0644\u062a\u0633\u062c\u064a\u0644 \u0627\u0644\u062f\u062e\u0648\u0644:\n\n90317\n\n"
         "\u0641\u0631\u064a\u0642 \u0627\u0644\u062f\u0639\u0645 - 800 1234 5678\n")
    return k.message("Talabak <login@talabak.example>", None, text(t, "utf-8", "base64"),
                     subject_raw=enc_word("\u062a\u0633\u062c\u064a\u0644 \u0627\u0644\u062f\u062e\u0648\u0644"), style="generic", tz="utc")


@mail("fa-kod-taeed.eml", "652018", "Persian 'kod-e ta'id' (verification code)")
def _(k):
    t = ("\u06a9\u062f \u062a\u0627\u06cc\u06cc\u062f \u0634\u0645\u0627: 652018\n"
         "\u0627\u06cc\u0646 \u06a9\u062f \u0631\u0627 \u0628\u0647 \u06a9\u0633\u06cc \u0646\u062f\u0647\u06cc\u062f.\n")
    return k.message("Digikala-like <verify@bazarcheh.example>", None, text(t, "utf-8", "quoted-printable"),
                     subject_raw=enc_word("\u06a9\u062f \u062a\u0627\u06cc\u06cc\u062f"), style="generic", tz="utc")


@mail("zh-yanzhengma-glued-html.eml", "835402", "Chinese HTML, the code written against the characters without a space")
def _(k):
    body = ('<p>\u5c0a\u656c\u7684\u7528\u6237\uff1a</p><p>\u60a8\u7684\u767b\u5f55\u9a8c\u8bc1\u7801\u662f835402\uff0c'
            '10\u5206\u949f\u5185\u6709\u6548\u3002</p><p>\u5ba2\u670d\u7535\u8bdd\uff1a400-820-8820</p>')
    return k.message("Example CN <noreply@yunpan.example>", None, htmlpart(simple_html(body, "zh"), cte="base64"),
                     subject_raw=enc_word("\u767b\u5f55\u9a8c\u8bc1\u7801"), style="generic", tz="utc")


@mail("ja-ninsho-code.eml", "271946", "Japanese 'ninsho kodo' with a full-width colon")
def _(k):
    t = ("\u3054\u5229\u7528\u3042\u308a\u304c\u3068\u3046\u3054\u3056\u3044\u307e\u3059\u3002\n\n"
         "\u8a8d\u8a3c\u30b3\u30fc\u30c9\uff1a271946\n\n"
         "\u3053\u306e\u30b3\u30fc\u30c9\u306e\u6709\u52b9\u671f\u9650\u306f30\u5206\u3067\u3059\u3002\n")
    return k.message("Kaimono <info@kaimono.example>", None, text(t, "utf-8", "base64"),
                     subject_raw=enc_word("\u8a8d\u8a3c\u30b3\u30fc\u30c9\u306e\u304a\u77e5\u3089\u305b"), style="generic", tz="utc")


@mail("ko-injeung-beonho.eml", "508317", "Korean 'injeung beonho' with the code in brackets")
def _(k):
    t = ("\uc548\ub155\ud558\uc138\uc694.\n\n\uc778\uc99d\ubc88\ud638 [508317]\ub97c \uc785\ub825\ud574 \uc8fc\uc138\uc694.\n"
         "\uace0\uac1d\uc13c\ud130 1588-1234\n")
    return k.message("Sikdang <no-reply@sikdang.example>", None, text(t, "utf-8", "quoted-printable"),
                     subject_raw=enc_word("\uc778\uc99d\ubc88\ud638 \uc548\ub0b4"), style="generic", tz="utc")


@mail("pl-kod-weryfikacyjny.eml", "440917", "Polish 'kod weryfikacyjny ... to'")
def _(k):
    t = """Cze\u015b\u0107,

Tw\u00f3j kod weryfikacyjny to 440917. Kod jest wa\u017cny przez 10 minut.

Zam\u00f3wienie nr 2026/04/11882 pozostaje bez zmian.
"""
    return k.message("Sklepik <konto@sklepik.example>", None, text(t, "utf-8", "quoted-printable"),
                     subject_raw=enc_word("Kod weryfikacyjny"), style="generic", tz="cet")


@mail("nl-verificatiecode.eml", "386205", "Dutch 'verificatiecode'")
def _(k):
    h, t = page(k, "Fietsdeal", [
        ("p", "Hoi,"),
        ("p", "Je verificatiecode is **386205**. Deze code is 15 minuten geldig."),
        ("small", "Klantnummer 88120344 \u2013 Fietsdeal B.V., Damrak 70, 1012 LM Amsterdam"),
    ], brand="#e4572e", css_kib=3, lang="nl", footer=["KvK 81234567"], domain="fietsdeal.example")
    return k.message("Fietsdeal <noreply@fietsdeal.example>", "Je verificatiecode", alt(k, h, t), style="generic", tz="cet")


@mail("it-codice-di-verifica.eml", "917352", "Italian 'il tuo codice di verifica e'")
def _(k):
    t = """Ciao,

il tuo codice di verifica \u00e8 917352. Non condividerlo con nessuno.

Assistenza: 02 8734 1100
"""
    return k.message("Spesafacile <accesso@spesafacile.example>", None, text(t, "utf-8", "quoted-printable"),
                     subject_raw=enc_word("Codice di verifica"), style="generic", tz="cet")


@mail("pt-codigo-de-verificacao.eml", "604127", "Brazilian Portuguese 'seu codigo de verificacao e'")
def _(k):
    t = """Ol\u00e1,

Seu c\u00f3digo de verifica\u00e7\u00e3o \u00e9 604127. Ele expira em 5 minutos.

Central de atendimento: 0800 725 1122 - CNPJ 12.345.678/0001-90
"""
    return k.message("Mercadinho <seguranca@mercadinho.example>", None, text(t, "utf-8", "quoted-printable"),
                     subject_raw=enc_word("C\u00f3digo de verifica\u00e7\u00e3o"), style="generic", tz="utc")


@mail("id-kode-otp.eml", "5293", "Indonesian 'kode OTP Anda adalah' with a four-digit code")
def _(k):
    t = """Halo,

Kode OTP Anda adalah 5293. Jangan berikan kode ini kepada siapa pun.

Total belanja terakhir: Rp 125.000
"""
    return k.message("Belanjaku <otp@belanjaku.example>", "Kode OTP Belanjaku", text(t, "us-ascii", "7bit"), style="generic", tz="utc")


@mail("uk-kod-pidtverdzhennia.eml", "748261", "Ukrainian 'kod pidtverdzhennia'")
def _(k):
    t = ("\u0412\u0456\u0442\u0430\u0454\u043c\u043e!\n\n\u0412\u0430\u0448 \u043a\u043e\u0434 "
         "\u043f\u0456\u0434\u0442\u0432\u0435\u0440\u0434\u0436\u0435\u043d\u043d\u044f: 748261\n\n"
         "\u0422\u0435\u043b\u0435\u0444\u043e\u043d \u043f\u0456\u0434\u0442\u0440\u0438\u043c\u043a\u0438: 0 800 300 545\n")
    return k.message("Kvytok <noreply@kvytok.example>", None, text(t, "utf-8", "base64"),
                     subject_raw=enc_word("\u041a\u043e\u0434 \u043f\u0456\u0434\u0442\u0432\u0435\u0440\u0434\u0436\u0435\u043d\u043d\u044f"), style="generic", tz="utc")


@mail("az-tesdiq-kodunuz.eml", "219460", "Azerbaijani 'Tesdiq kodunuz' with schwa")
def _(k):
    t = """Salam,

T\u0259sdiq kodunuz: 219460

Bu kodu he\u00e7 kim\u0259 verm\u0259yin.
"""
    return k.message("Bazarim <info@bazarim.example>", None, text(t, "utf-8", "quoted-printable"),
                     subject_raw=enc_word("T\u0259sdiq kodu"), style="generic", tz="utc")


# ------------------------------------------------------------ set off by styles only

@mail("en-code-set-off-big-cell-far-keyword.eml", "930571", "HTML only: the code in a large, spaced, boxed monospace cell paragraphs below the keyword")
def _(k):
    body = ('<p>Your Fieldnote code has arrived.</p>'
            '<p>We noticed a sign-in from a new browser on Windows in Lyon, France.</p>'
            '<p>If this was you, you can continue where you left off.</p>'
            '<p>Device id 44120987, session 2026-05-02.</p>'
            '<table role="presentation" align="center"><tr><td style="font-size:30px;letter-spacing:6px;'
            'font-family:Menlo,monospace;background:#eef2f7;padding:12px 24px">930571</td></tr></table>'
            '<p style="color:#777;font-size:12px">Fieldnote Labs, 3 Rue de la Paix, 75002 Paris</p>')
    return k.message("Fieldnote <security@fieldnote.example>", "New sign-in to Fieldnote", htmlpart(simple_html(body), cte="quoted-printable"), style="generic", tz="cet")


@mail("en-order-total-big-bold-cell.eml", "", "HTML receipt whose order number and total are large and bold in cells of their own")
def _(k):
    body = ('<p>Thanks for your order. Use the code on your order page if you need support.</p>'
            '<table role="presentation"><tr><td style="color:#777">Order</td></tr>'
            '<tr><td style="font-size:28px;font-weight:bold;background:#f3f3f3">5520193</td></tr>'
            '<tr><td style="color:#777">Total</td></tr><tr><td style="font-size:28px;font-weight:bold">$84.20</td></tr></table>')
    return k.message("Shopwise <orders@shopwise.example>", "Your Shopwise order", htmlpart(simple_html(body), cte="quoted-printable"), style="generic", tz="est")
