"""More code mails: other keywords (OTP, passcode, PIN), grouped and hex-looking codes,
related parts with inline images, forwards in Turkish."""

from mailkit import (mail, page, alt, text, htmlpart, multi, attachment, png_bytes, gif_bytes, addr,
                     enc_word, leaf, recharset, forward_block, Part)


@mail("en-paytm-otp-keyword.eml", "582931", "'Your OTP for login is 582931'; customer care number and amounts")
def _(k):
    t = """Dear Customer,

Your OTP for login is 582931. It is valid for 10 minutes. Do not share this OTP with anyone.

Wallet balance: Rs 1,240.50
Customer care: 0120-4456-456

One 97 Communications Ltd, B-121, Sector 5, Noida 201301, Uttar Pradesh
"""
    return k.message("Paytm <no-reply@paytm.com>", "OTP for Paytm login", text(t, "us-ascii", "7bit"), style="gmail", tz="utc")


@mail("en-chase-passcode-8digit.eml", "74829103", "'one-time passcode' with 8 digits; routing-like numbers and phone")
def _(k):
    h, t = page(k, "CHASE", [
        ("p", "Your one-time passcode is **74829103**."),
        ("p", "Don't share it with anyone. We'll never call you to ask for it. This passcode expires in 30 minutes."),
        ("small", "If you didn't request it, call us at 1-800-935-9935. Account ending in 4410."),
    ], brand="#117aca", css_kib=5, footer=["JPMorgan Chase Bank, N.A. Member FDIC. \u00a9 2026 JPMorgan Chase & Co. 270 Park Avenue, New York, NY 10017"], domain="chase.com")
    return k.message("Chase <no.reply.alerts@chase.com>", "Your Chase one-time passcode", alt(k, h, t), style="outlook", tz="est")


@mail("en-vinted-verification-pin.eml", "4417", "4-digit code introduced as a PIN; order amounts nearby")
def _(k):
    h, t = page(k, "Vinted", [
        ("p", "Hi selinkoc,"),
        ("p", "Your verification PIN is: **4417**"),
        ("p", "Enter it in the app to confirm it's you. It expires in 15 minutes."),
        ("small", "Your last sale: Mango trench coat \u2013 \u20ac24.00 (order 8812390441)"),
    ], brand="#09b1ba", css_kib=4, footer=["Vinted UAB, Svitrigailos g. 13, LT-03228 Vilnius"], domain="vinted.com")
    return k.message("Vinted <no-reply@vinted.com>", "Your Vinted verification PIN", alt(k, h, t), style="gmail", tz="cet")


@mail("de-paypal-sicherheitscode.eml", "193047", "German 'Sicherheitscode', HTML only base64; 'Copyright © 1999-2026'")
def _(k):
    h, _ = page(k, "PayPal", [
        ("p", "Hallo Mert Yilmaz,"),
        ("p", "Ihr PayPal-Sicherheitscode lautet:"),
        ("code", "193047", "cell"),
        ("p", "Der Code ist 10 Minuten g\u00fcltig. Geben Sie ihn niemals weiter."),
    ], brand="#003087", css_kib=6, lang="de", footer=["Copyright \u00a9 1999-2026 PayPal. Alle Rechte vorbehalten. PayPal (Europe) S.\u00e0 r.l. et Cie, S.C.A., 22-24 Boulevard Royal, L-2449 Luxembourg"], domain="paypal.de")
    return k.message("PayPal <service@paypal.de>", "Ihr Sicherheitscode", htmlpart(h, cte="base64"), style="gmail", tz="cet")


@mail("es-codigo-de-seguridad.eml", "308516", "Spanish 'codigo de seguridad'; phone and Madrid postal code")
def _(k):
    t = """Hola, Zeynep:

Tu código de seguridad de BBVA es 308516. No lo compartas con nadie.

Si no has sido tú, llámanos al 91 224 94 26.

BBVA, S.A. Plaza de San Nicolás 4, 48005 Bilbao
"""
    return k.message("BBVA <bbva@comunica.bbva.com>", None, text(t, "iso-8859-1", "quoted-printable"),
                     subject_raw=enc_word("Tu c\u00f3digo de seguridad", "iso-8859-1", "Q"), style="gmail", tz="cet")


@mail("tr-denizbank-otp-kelime.eml", "519374", "Turkish bank using the word OTP; amounts and merchant")
def _(k):
    t = """Değerli Müşterimiz,

DenizBank internet alışverişi OTP: 519374

İşyeri: STEAMGAMES.COM 4259522985
Tutar: 1.299,00 TL
Kart: 4022 ** ** 2213

Bu şifreyi kimseyle paylaşmayınız. DenizBank 0850 222 0 800
"""
    return k.message("DenizBank <bilgi@denizbank.com>", "DenizBank OTP", text(t, "windows-1254", "quoted-printable"), style="generic")


@mail("tr-enpara-related-iso88599.eml", "827361", "multipart/related HTML (ISO-8859-9 QP) with inline logo; code on its own line below 'asagidadir'")
def _(k):
    cs = "iso-8859-9"
    h, _ = page(k, "Enpara.com", [
        ("p", "Merhaba Deniz,"),
        ("p", "Enpara.com \u015eubesi'ne giri\u015f i\u00e7in do\u011frulama kodunuz a\u015fa\u011f\u0131dad\u0131r:"),
        ("code", "827361", "p"),
        ("p", "Kodunuz 180 saniye ge\u00e7erlidir."),
    ], brand="#7b2d8e", css_kib=5, lang="tr", logo_src="cid:logo_enpara.png", pixel=False,
        footer=["QNB Bank A.\u015e. Enpara.com \u2013 0850 222 0 567"], domain="enpara.com")
    body = multi("related", [htmlpart(recharset(h, cs), cs), attachment("image/png", "logo_enpara.png", png_bytes(k.rng, 3000), "inline", cid="logo_enpara.png")], k.rng)
    return k.message("Enpara.com <bilgi@enpara.com>", None, body, subject_raw=enc_word("Giri\u015f do\u011frulama kodu", cs, "Q"), style="generic")


@mail("tr-ininal-code-label-cell.eml", "604918", "code in the cell right of a 'Dogrulama Kodu' label cell; card number cells around it")
def _(k):
    raw = ('<table role="presentation" width="100%" cellpadding="8" cellspacing="0" border="1" style="border-collapse:collapse;border-color:#e5e5e5">'
           '<tr><td style="color:#666666">Kart No</td><td>5319 **** **** 0192</td></tr>'
           '<tr><td style="color:#666666">Do\u011frulama Kodu</td><td style="font-size:22px;font-weight:bold;color:#00b2a9">604918</td></tr>'
           '<tr><td style="color:#666666">Ge\u00e7erlilik</td><td>5 dakika</td></tr></table>')
    h, t = page(k, "ininal", [
        ("p", "Merhaba,"),
        ("p", "ininal hesab\u0131na giri\u015f i\u00e7in a\u015fa\u011f\u0131daki bilgileri kullan."),
        ("raw", raw, "Kart No: 5319 **** **** 0192\nDo\u011frulama Kodu: 604918\nGe\u00e7erlilik: 5 dakika"),
    ], brand="#00b2a9", css_kib=4, lang="tr", footer=["ininal \u00d6deme ve Elektronik Para Hizmetleri A.\u015e. 34394 \u015ei\u015fli/\u0130stanbul"], domain="ininal.com")
    return k.message("ininal <noreply@ininal.com>", None, alt(k, h, t), subject_raw=enc_word("ininal do\u011frulama"), style="gmail")


@mail("tr-kuveytturk-related-b64-long-head.eml", "275049", "HTML only in multipart/related, base64, 9 KiB style head and two inline images")
def _(k):
    h, _ = page(k, "Kuveyt T\u00fcrk", [
        ("p", "Say\u0131n M\u00fc\u015fterimiz,"),
        ("p", "Mobil \u015eube cihaz e\u015fle\u015ftirme i\u015fleminiz i\u00e7in tek kullan\u0131ml\u0131k \u015fifreniz:"),
        ("code", "275049", "div"),
        ("small", "\u0130\u015flem saati: 16.09.2025 08:02 \u2013 Cihaz: Xiaomi 14T"),
    ], brand="#0d7d3d", css_kib=9, lang="tr", logo_src="cid:img001.png@01DC2A11.5F9E3B20", pixel=False,
        footer=["Kuveyt T\u00fcrk Kat\u0131l\u0131m Bankas\u0131 A.\u015e. B\u00fcy\u00fckdere Cad. No:129/1 34394 Esentepe/\u0130stanbul \u2013 444 0 123"], domain="kuveytturk.com.tr")
    h = h.replace("</body>", '<img src="cid:img002.gif@01DC2A11.5F9E3B20" width="600" height="80" alt="">\n</body>')
    body = multi("related", [htmlpart(h, cte="base64"),
                             attachment("image/png", "image001.png", png_bytes(k.rng, 2500), "inline", cid="img001.png@01DC2A11.5F9E3B20"),
                             attachment("image/gif", "image002.gif", gif_bytes(k.rng, 1800), "inline", cid="img002.gif@01DC2A11.5F9E3B20")],
                 k.rng, "outlook", extra_params='; type="text/html"')
    return k.message("Kuveyt Turk <bilgilendirme@kuveytturk.com.tr>", None, body, subject_raw=enc_word("Tek kullan\u0131ml\u0131k \u015fifre"), style="outlook")


@mail("en-railway-hex-looking-code.eml", "d4e81b", "lower-case code that looks like a hex colour; CSS colours all around")
def _(k):
    h, t = page(k, "Railway", [
        ("p", "Hey deniz,"),
        ("p", "Your login code is:"),
        ("code", "d4e81b", "pre"),
        ("p", "Paste it into the browser tab you started from. It expires in 15 minutes."),
    ], brand="#13111c", css_kib=6, footer=["Railway Corp., 548 Market St, San Francisco, CA 94104"], domain="railway.app")
    return k.message("Railway <team@railway.app>", "Your Railway login code", alt(k, h, t), style="gmail", tz="pst")


@mail("en-hetzner-grouped-8digit.eml", "48291037", "8-digit code written in two groups '4829 1037'; invoice number nearby")
def _(k):
    t = """Dear Mr. Kurt,

Please use the following confirmation code to log in to the Hetzner Console:

    4829 1037

The code is valid for 15 minutes.

Your latest invoice R0024819305 (EUR 5.83) is available in the Console.

Kind regards
Hetzner Online GmbH
Industriestr. 25, 91710 Gunzenhausen, Germany
Tel: +49 9831 505-0
"""
    return k.message("Hetzner Online <noreply@hetzner.com>", "Your confirmation code", text(t, "us-ascii", "7bit"), style="generic", tz="cet")


@mail("tr-fwd-inline-turkcell-kod.eml", "5830", "Turkish inline forward ('Yonlendirilmis ileti') of a 4-digit operator code")
def _(k):
    t = ("Baba bu kodu sorsalar soyle, ben istedim.\n\n"
         + forward_block("Turkcell <bilgi@turkcell.com.tr>", "Cmt, 12 Tem 2025 10:41", "Dijital Operat\u00f6r giri\u015f \u015fifresi", "<emre.celik@hotmail.com>", "tr")
         + "\n\nDe\u011ferli Abonemiz,\n\nDijital Operat\u00f6r'e giri\u015f \u015fifreniz: 5830\n\n\u015eifreniz 3 dakika boyunca ge\u00e7erlidir.\n"
           "Turkcell M\u00fc\u015fteri Hizmetleri: 0532 532 00 00\n")
    return k.message("Emre \u00c7elik <emre.celik@hotmail.com>", None, text(t), subject_raw=enc_word("Fwd: Dijital Operat\u00f6r giri\u015f \u015fifresi"),
                     style="outlook", to="Hasan Celik <hasan.celik@gmail.com>")


@mail("en-apple-mail-alternative-ea-code.eml", "528130", "Apple-Mail style boundaries; code in sentence plus subject; game IDs with digits")
def _(k):
    h, t = page(k, "EA", [
        ("p", "Hi Bora_1989,"),
        ("p", "Your EA security code is: **528130**"),
        ("p", "This code expires in 30 minutes. EA will never ask you for it."),
        ("small", "Linked: EA SPORTS FC 26 (PS5), Apex Legends Season 27."),
    ], brand="#ff4747", css_kib=5, footer=["Electronic Arts Inc., 209 Redwood Shores Parkway, Redwood City, CA 94065"], domain="ea.com")
    return k.message("EA <EA@e.ea.com>", "Your EA Security Code is: 528130", alt(k, h, t, bstyle="apple"), style="gmail", tz="pst")


@mail("en-code-in-preheader-and-cell.eml", "730194", "code also in the hidden preheader; HTML only QP with 7 KiB style head")
def _(k):
    h, _ = page(k, "Kick", [
        ("h", "Verify your email"),
        ("p", "Enter this code to finish creating your Kick account:"),
        ("code", "730194", "digits"),
        ("small", "Streaming since 2022 \u2022 10M+ creators \u2022 95/5 revenue split"),
    ], brand="#53fc18", css_kib=7, preheader="Your verification code is 730194", footer=["Kick Streaming Pty Ltd, Level 5, 6 Riverside Quay, Southbank VIC 3006, Australia"], domain="kick.com")
    return k.message("Kick <noreply@email.kick.com>", "Verify your email", htmlpart(h), style="gmail", tz="utc")


@mail("tr-bip-kod-text-b64-html-qp.eml", "916027", "text part base64 and HTML part QP; phone number with 6-digit runs")
def _(k):
    h, t = page(k, "BiP", [
        ("p", "Merhaba,"),
        ("p", "BiP Web'e giri\u015f i\u00e7in kodun: **916027**"),
        ("small", "Numaran: +90 532 418 20 90. Bu i\u015flemi sen yapmad\u0131ysan BiP'i yeniden ba\u015flat."),
    ], brand="#00b9f1", css_kib=4, lang="tr", footer=["Lifecell Dijital Servisler ve \u00c7\u00f6z\u00fcmler A.\u015e. 34854 Maltepe/\u0130stanbul"], domain="bip.com")
    return k.message("BiP <noreply@bip.com>", "BiP Web giris kodu", alt(k, h, t, cte_t="base64", cte_h="quoted-printable"), style="generic")
