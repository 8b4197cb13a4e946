"""Codes a sentence tells the reader to type or copy (quoted, below an instruction that runs over a line, in
parentheses), a label word ending the phrase before the code's colon, capitals after digits, a sign-in code
in a shop's sentence, a device's authorisation; and beside each, a mail of the same shape without a code:
a word to type, an order number to enter, a coupon under shop talk, a phone number run over a line, a card
authorisation beside its amount, version numbers, a postcode under a tracking code."""

from mailkit import mail, text, htmlpart, enc_word
from mails_sentences_langs import simple_html


def subj(s):
    return s if all(ord(c) < 128 for c in s) else enc_word(s)


# ------------------------------------------------------------ told to type or copy it

@mail("en-type-quoted-code-pairing.eml", "Q7RXK2MP", "'type \"Q7RX-K2MP\" in the pairing field' to finish signing in: no code noun")
def _(k):
    t = """Hi {first},

To finish signing in on your new phone, type "Q7RX-K2MP" in the pairing field
of the Lumo app. The pairing window closes after 10 minutes.

Lumo Apps - 12 Dock Road, Leeds LS1 4AP
"""
    return k.message("Lumo <auth@lumo.example>", "Finish signing in on your phone", text(t, "utf-8", "quoted-printable"), style="generic", tz="utc")


@mail("en-type-word-to-confirm-delete.eml", "", "'type \"DELETE\" to confirm': a word in capitals to type, not a code")
def _(k):
    t = """Hi {first},

You asked to delete the project "harbour-site". To confirm, type "DELETE" in
the confirmation field on the project page. Deleted projects cannot be restored.

Builds kept until 2026-12-31: 14
"""
    return k.message("Gitlane <noreply@gitlane.example>", "Confirm project deletion", text(t, "utf-8", "7bit"), style="generic", tz="utc")


@mail("en-paste-string-below-guillemet.eml", "qzvbkrtm", "'paste the string below into the form:' over a random lower-case word behind a guillemet")
def _(k):
    t = """Hello,

To verify your e-mail address, paste the string below into the form you
left open:

\u00bb qzvbkrtm

The string works once.
"""
    return k.message("Threadly <verify@threadly.example>", "Verify your e-mail address", text(t, "utf-8", "quoted-printable"), style="generic", tz="utc")


@mail("en-copy-coupon-below-percent.eml", "", "'Copy the code below at checkout for 15% off:' over a coupon behind '> '")
def _(k):
    t = """Hi {first},

Winter is here. Copy the code below at checkout for 15% off:

> WINTER26

Valid until 31 January on all jackets.
"""
    return k.message("Northpeak <news@northpeak.example>", "15% off for you", text(t, "utf-8", "7bit"), style="generic", tz="utc")


@mail("en-verify-instruction-two-lines.eml", "730514", "HTML: an instruction to enter a code running over a line break, the code alone in a boxed cell")
def _(k):
    body = ('<p>Thanks for signing up! To verify your e-mail address, please enter the following code in the<br>'
            'window where you started creating your account:</p>'
            '<table role="presentation"><tr><td style="font-size:26px;background:#eef2ff;padding:10px 18px">730514</td></tr></table>'
            '<p style="color:#777;font-size:12px">Ferrow Ltd, 4 Quay Street, Bristol BS1 4DJ</p>')
    return k.message("Ferrow <hello@ferrow.example>", "Verify your e-mail", htmlpart(simple_html(body), cte="quoted-printable"), style="generic", tz="utc")


@mail("en-enter-order-number-below.eml", "", "'enter the order number below on our page:' over the order number: no code")
def _(k):
    t = """Hi {first},

Your parcel is on its way. To follow it, enter the order number below on our
tracking page:

48120377

Estimated delivery: Thursday 10 December
"""
    return k.message("Northpeak <orders@northpeak.example>", "Your order has shipped", text(t, "utf-8", "7bit"), style="generic", tz="utc")


@mail("en-code-in-parentheses-alone.eml", "582013", "a code in parentheses alone on its line under 'Use this security code:'")
def _(k):
    t = """Hello,

Use this security code:

( 582013 )

Do not share it with anyone. Questions? Call 0800 555 0142.
"""
    return k.message("Pennyway <security@pennyway.example>", "Your Pennyway security code", text(t, "utf-8", "7bit"), style="generic", tz="utc")


# ------------------------------------------------------------ labels before the colon, and after the code

@mail("en-code-login-screen-colon.eml", "7RM4QK", "'Enter this code on the login screen of the app: 7RM4-QK': 'screen' and 'app' are places, not labels")
def _(k):
    body = ('<p>Someone is signing in to Tallow on a new device.</p>'
            '<p>Enter this code on the sign-in page of the app: 7RM4-QK</p>'
            '<p style="color:#777;font-size:12px">Tallow Inc., 500 Harbor Blvd, Oakland CA 94607</p>')
    return k.message("Tallow <security@tallow.example>", "New sign-in to Tallow", htmlpart(simple_html(body), cte="base64"), style="generic", tz="utc")


@mail("en-mixed-capitals-after-digits.eml", "508QXT", "digits then three capitals ('508QXT'), not a unit, after 'code:'")
def _(k):
    t = """Hi {first},

Your Quillbox login code: 508QXT

Your storage: 64GB of 128GB used.
"""
    return k.message("Quillbox <no-reply@quillbox.example>", "Your Quillbox login code", text(t, "utf-8", "7bit"), style="generic", tz="utc")


@mail("en-quoted-code-verification-box.eml", "KQ7PZ2", "single-quoted dashed code, 'in the verification box' after it (a place, not its label)")
def _(k):
    t = """Hello,

Type 'KQ7-PZ2' in the verification box to finish your registration.

Orbit Notes
"""
    return k.message("Orbit Notes <hello@orbitnotes.example>", "Finish your registration", text(t, "utf-8", "7bit"), style="generic", tz="utc")


@mail("en-tracking-code-postcode-below.eml", "", "'Tracking code: ...' then 'Postcode: 2511 CV' on the next line: the postcode is its label's")
def _(k):
    t = """Hi {first},

Your parcel has been handed to the carrier.

Tracking code: 3SPDX0041127788
Postcode: 2511 CV

Expected: Friday 11 December
"""
    return k.message("Dutchbox <shipping@dutchbox.example>", "Your parcel is on its way", text(t, "utf-8", "7bit"), style="generic", tz="cet")


@mail("de-kundenportal-zugangscode.eml", "88412290", "German: 'Zugangscode fuer das Kundenportal ... lautet 8841 2290': the portal is no customer number")
def _(k):
    t = """Guten Tag,

Ihr Zugangscode f\u00fcr das Kundenportal der Stadtwerke lautet 8841 2290 und gilt
15 Minuten.

Kundennummer: 4100 2291
"""
    return k.message("Stadtwerke Lindental <portal@stadtwerke-lindental.example>", subj("Ihr Zugangscode"), text(t, "utf-8", "quoted-printable"), style="generic", tz="cet")


@mail("de-sperrnotruf-ueber-zeile.eml", "", "German sign-in notice: the blocking hotline's '116 116' runs over a line from its label; 'Sicherheitscodes' elsewhere")
def _(k):
    t = """Guten Tag,

am 07.12.2026 um 08:12 Uhr hat sich ein neues Ger\u00e4t in Ihrem Online-Banking angemeldet.

Waren Sie das nicht? Dann sperren Sie Ihren Zugang sofort \u00fcber den Sperr-Notruf
116 116. Wir fragen Sie nie nach Sicherheitscodes.

Ihre Nordbank
"""
    return k.message("Nordbank <service@nordbank.example>", subj("Neues Ger\u00e4t angemeldet"), text(t, "iso-8859-1", "quoted-printable"), style="generic", tz="cet")


# ------------------------------------------------------------ shops, authorisations, versions

@mail("de-sicherheitscode-online-shop.eml", "551823", "German payment confirmation: 'Sicherheitscode fuer die Zahlung im Online-Shop lautet 551 823'")
def _(k):
    t = """Guten Tag,

Ihr Sicherheitscode f\u00fcr die Zahlung im Online-Shop lautet 551 823.
Geben Sie ihn nur auf der Seite Ihrer Bank ein.

Betrag: 42,90 EUR
"""
    return k.message("Nordbank SecureGo <securego@nordbank.example>", subj("Zahlung best\u00e4tigen"), text(t, "utf-8", "quoted-printable"), style="generic", tz="cet")


@mail("de-gutscheincode-online-shop.eml", "", "German: 'Ihr Gutscheincode fuer den Online-Shop lautet 551823': a voucher")
def _(k):
    t = """Hallo {first},

Ihr Gutscheincode f\u00fcr den Online-Shop lautet 551823. Er gilt bis 31.01.2027.

Viel Spa\u00df beim Einkaufen!
"""
    return k.message("Modehaus Kern <news@modehaus-kern.example>", "Ihr Gutschein", text(t, "utf-8", "quoted-printable"), style="generic", tz="cet")


@mail("en-device-authorization-cli-version.eml", "HQX7TW", "device authorisation for a CLI: 'Your device code: HQX-7TW', a version 'v2.14.1' that is no price")
def _(k):
    t = """A device is asking for access to your Cobble account.

Your device code: HQX-7TW

Enter it at https://cobble.example/device to let Cobble CLI v2.14.1 on
host ci-runner-03 in.
"""
    return k.message("Cobble <no-reply@cobble.example>", "Device authorization for Cobble CLI", text(t, "utf-8", "7bit"), style="generic", tz="utc")


@mail("en-card-authorization-amount.eml", "", "card authorisation mail: 'Authorization code: 552193' beside its amount, the subject only 'Card authorization'")
def _(k):
    t = """Card authorization

Merchant: Harbour Cafe, Leeds
Amount: 42.00 GBP
Authorization code: 552193
Card ending 4421
"""
    return k.message("Pennyway Card <cards@pennyway.example>", "Card authorization", text(t, "utf-8", "7bit"), style="generic", tz="utc")


@mail("en-release-notes-versions.eml", "", "release notes full of versions (3.12.0, v2.4.10) and a build number in a mail that speaks of code")
def _(k):
    t = """Tallow 3.12.0 is out

This release brings faster sync and a new code editor theme.
Upgrading from v2.4.10 keeps your settings. Build 20261207.

Read the full notes on our blog.
"""
    return k.message("Tallow <news@tallow.example>", "Tallow 3.12.0 release notes", text(t, "utf-8", "7bit"), style="generic", tz="utc")


@mail("pl-kod-transakcji-paragon.eml", "", "Polish card receipt: 'Kod transakcji: 48120377' names the transaction, beside its amount")
def _(k):
    t = """Dzi\u0119kujemy za zakupy.

Kod transakcji: 48120377
Kwota: 120,00 PLN
Karta: **** 4421
"""
    return k.message("Sklep Lipa <paragony@sklep-lipa.example>", subj("Tw\u00f3j e-paragon"), text(t, "utf-8", "quoted-printable"), style="generic", tz="cet")


@mail("pl-kod-sms-autoryzacja-transakcji.eml", "482913", "Polish card payment code: 'Kod SMS do autoryzacji transakcji: 482913' beside the amount it approves")
def _(k):
    t = """Dzie\u0144 dobry,

Kod SMS do autoryzacji transakcji: 482913
Kwota: 120,00 PLN, sklep: Lipa Online

Nie podawaj kodu nikomu.
"""
    return k.message("Bank Brzoza <powiadomienia@bankbrzoza.example>", "Autoryzacja transakcji", text(t, "utf-8", "quoted-printable"), style="generic", tz="cet")
