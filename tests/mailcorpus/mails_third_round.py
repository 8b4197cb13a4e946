"""Third round: letter codes behind a quote mark, dashed codes in quotes or cells or beside a magic link,
codes in two groups of four, plural keyword nouns that look like codes, booking codes in other
languages and an order number set off in a right-to-left confirmation."""

from mailkit import mail, text, htmlpart, enc_word
from mails_sentences_langs import simple_html


@mail("en-quoted-lower-letter-code.eml", "hoxatrib", "lower-case random letters behind '> ' on their own line under 'Your sign-in code:'")
def _(k):
    t = """Hello,

Your sign-in code:

> hoxatrib

It works once and runs out in 10 minutes. Questions? Reply to this mail.
"""
    return k.message("Notepine <login@notepine.example>", "Sign in to Notepine", text(t, "us-ascii", "7bit"), style="generic", tz="utc")


@mail("en-dashed-mixed-in-quotes.eml", "R4M9WX", "dashed mixed code in double quotes inside the sentence")
def _(k):
    t = """Hi {first},

Your code is "R4M-9WX". Type it without the dash if your app asks.

Ticket desk: 0800 555 0199
"""
    return k.message("Quillbox <no-reply@quillbox.example>", "Your Quillbox code", text(t, "utf-8", "quoted-printable"), style="generic", tz="utc")


@mail("en-dashed-code-mono-cell.eml", "WQT7KP", "HTML: a dashed letters-and-digits code alone in a boxed monospace cell under 'Use this code to sign in'")
def _(k):
    body = ('<p>Use this code to sign in</p>'
            '<table role="presentation"><tr><td style="font-family:Consolas,monospace;font-size:26px;'
            'border:1px solid #ccd;padding:10px 18px;letter-spacing:3px">WQT-7KP</td></tr></table>'
            '<p style="color:#777;font-size:12px">Sent to {email}. Lumo Apps, 12 Dock Road, Leeds LS1 4AP</p>')
    return k.message("Lumo <auth@lumo.example>", "Sign in to Lumo", htmlpart(simple_html(body), cte="quoted-printable"), style="generic", tz="utc")


@mail("en-magic-link-or-code.eml", "47QZRT", "a magic link, then 'Or enter this code instead:' with a dashed code of four and two")
def _(k):
    body = ('<p>Click the button below to sign in to Orbit.</p>'
            '<p><a href="https://orbit.example/magic?t=9f2c81d0a7" style="background:#2255dd;color:#fff;padding:10px 16px">Sign in</a></p>'
            '<p>Or enter this code instead: 47QZ-RT</p>'
            '<p style="color:#777;font-size:12px">The link and the code expire in 15 minutes.</p>')
    return k.message("Orbit <hello@orbit.example>", "Your Orbit sign-in link", htmlpart(simple_html(body), cte="quoted-printable"), style="generic", tz="utc")


@mail("de-einmalcode-vier-vier.eml", "61830457", "German one-time code of eight digits in two groups of four in the sentence")
def _(k):
    t = """Guten Tag,

Ihr Einmalcode f\u00fcr die Anmeldung lautet 6183 0457. Er gilt 10 Minuten.

Kundenservice: 030 1234 5678
"""
    return k.message("Kontowerk <sicherheit@kontowerk.example>", subj("Ihr Einmalcode"), text(t, "utf-8", "quoted-printable"), style="generic", tz="cet")


@mail("de-sicherheitshinweis-tans-pins.eml", "", "German security notice speaking of TANs, PINs and OTPs in plural: no code")
def _(k):
    t = """Sicherheitshinweis

Wir senden Ihnen nie TANs per E-Mail und fragen nie nach PINs.
Geben Sie OTPs oder Codes niemals am Telefon weiter.

Ihre Sicherheit ist uns wichtig.
"""
    return k.message("Kontowerk <sicherheit@kontowerk.example>", "Sicherheitshinweis: Ihr Zugang", text(t, "utf-8", "quoted-printable"), style="generic", tz="cet")


@mail("it-codice-prenotazione.eml", "", "Italian 'codice di prenotazione': a booking code, not a sign-in code")
def _(k):
    t = """Gentile cliente,

il tuo codice di prenotazione \u00e8 KX7P2Q. Conservalo per il check-in.

Data: 14/06/2026, ore 18:30
"""
    return k.message("Trenivia <info@trenivia.example>", "Il tuo codice prenotazione", text(t, "utf-8", "quoted-printable"), style="generic", tz="cet")


@mail("ar-ramz-alhajz.eml", "", "Arabic booking code: a reservation number, not a sign-in code")
def _(k):
    t = ("\u0645\u0631\u062d\u0628\u0627\u060c\n\n\u0631\u0645\u0632 \u0627\u0644\u062d\u062c\u0632: 583920\n\n"
         "\u0634\u0643\u0631\u0627 \u0644\u0627\u062e\u062a\u064a\u0627\u0631\u0643\u0645.\n")
    return k.message("Rihla <booking@rihla.example>", subj("\u0631\u0645\u0632 \u0627\u0644\u062d\u062c\u0632"), text(t, "utf-8", "base64"), style="generic", tz="utc")


@mail("es-codigo-de-reserva.eml", "", "Spanish 'codigo de reserva' in the subject and the text: a booking")
def _(k):
    t = """Hola,

Tu c\u00f3digo de reserva es 7720193. Pres\u00e9ntalo en recepci\u00f3n.
"""
    return k.message("Casa Sol <reservas@casasol.example>", subj("Tu c\u00f3digo de reserva"), text(t, "utf-8", "quoted-printable"), style="generic", tz="cet")


@mail("ar-order-number-big-bold.eml", "", "Arabic order confirmation: the order number under its label in large bold type")
def _(k):
    body = ('<p>\u0634\u0643\u0631\u0627 \u0644\u0643\u060c \u062a\u0645 \u0627\u0633\u062a\u0644\u0627\u0645 \u0637\u0644\u0628\u0643.</p>'
            '<p>\u0631\u0642\u0645 \u0627\u0644\u0637\u0644\u0628</p>'
            '<p style="font-size:28px;font-weight:bold">4471093</p>'
            '<p>\u0627\u0633\u062a\u062e\u062f\u0645 \u0627\u0644\u0631\u0645\u0632 \u0639\u0646\u062f \u0627\u0644\u062a\u0648\u0627\u0635\u0644 \u0645\u0639\u0646\u0627.</p>')
    return k.message("Souq Nour <orders@souqnour.example>", subj("\u062a\u0623\u0643\u064a\u062f \u0637\u0644\u0628\u0643"),
                     htmlpart(simple_html(body, lang="ar", direction="rtl"), cte="base64"), style="generic", tz="utc")


def subj(s):
    return s if all(ord(c) < 128 for c in s) else enc_word(s)
