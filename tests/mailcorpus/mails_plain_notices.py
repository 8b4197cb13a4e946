"""Mails without a code: sign-in and security alerts, newsletters, social notifications,
calendar invitations, phishing-like mails and other notices full of numbers."""

import datetime as dt

from mailkit import (mail, page, alt, text, htmlpart, multi, attachment, png_bytes, gif_bytes, pdf_bytes, addr,
                     enc_word, leaf, recharset, forward_block, Part, ics, TZ)
from mails_codes_local import _trendyol_products


# ------------------------------------------------------------ sign-in and security notices

@mail("en-google-security-alert-new-signin.eml", "", "sign-in alert without a code: device, time, © 2025, CA 94043")
def _(k):
    h, t = page(k, "Google", [
        ("h", "A new sign-in on Windows"),
        ("p", "deniz.aydin.1993@gmail.com"),
        ("p", "We noticed a new sign-in to your Google Account on a Windows device. If this was you, you don't need to do anything. If not, we'll help you secure your account."),
        ("btn", "Check activity", "https://accounts.google.com/AccountChooser?Email=deniz.aydin.1993@gmail.com&continue=https://myaccount.google.com/alert/nt/1762261953000?rfn%3D127"),
        ("small", "You can also see security activity at https://myaccount.google.com/notifications"),
    ], brand="#ffffff", css_kib=6, footer=["You received this email to let you know about important changes to your Google Account and services.", "\u00a9 2025 Google LLC, 1600 Amphitheatre Parkway, Mountain View, CA 94043, USA"], domain="accounts.google.com")
    return k.message("Google <no-reply@accounts.google.com>", "Security alert", alt(k, h, t, cte_h="base64"), style="gmail", tz="pst")


@mail("en-microsoft-unusual-signin.eml", "", "unusual sign-in activity without a code: country, IP, date, platform")
def _(k):
    h, t = page(k, "Microsoft account", [
        ("h", "Unusual sign-in activity"),
        ("p", "We detected something unusual about a recent sign-in to the Microsoft account el*****@outlook.com."),
        ("h2", "Sign-in details"),
        ("rows", [("Country/region", "Netherlands"), ("IP address", "185.107.56.201"), ("Date", "10/14/2025 9:21 AM (GMT)"), ("Platform", "Windows 10"), ("Browser", "Firefox")]),
        ("p", "Please go to your recent activity page to let us know whether or not this was you. If this wasn't you, we'll help you secure your account. If this was you, we'll trust similar activity in the future."),
        ("btn", "Review recent activity", "https://account.live.com/Activity?ru=https%3a%2f%2faccount.live.com%2f&mkt=en-US"),
        ("p", "Thanks,\nThe Microsoft account team"),
    ], brand="#2672ec", css_kib=2.5, pixel=False, footer=["Microsoft Corporation, One Microsoft Way, Redmond, WA 98052-6399"], domain="accountprotection.microsoft.com")
    return k.message("Microsoft account team <account-security-noreply@accountprotection.microsoft.com>", "Microsoft account unusual sign-in activity",
                     alt(k, h, t, bstyle="outlook"), style="outlook", tz="utc")


@mail("en-instagram-new-login.eml", "", "new login notice without a code: device, city, time, Menlo Park CA 94025")
def _(k):
    h, t = page(k, "Instagram", [
        ("p", "Hi mert.yilmaz.94,"),
        ("p", "We noticed a new login to your account from a device you don't usually use."),
        ("rows", [("Device", "Chrome on Windows"), ("Near", "Istanbul, Turkey"), ("When", "Nov 3 at 11:42 PM")]),
        ("p", "If this was you, you can ignore this message. If this wasn't you, secure your account from the Accounts Center."),
    ], brand="#ffffff", css_kib=3, footer=["\u00a9 Instagram from Meta. Meta Platforms, Inc., 1601 Willow Road, Menlo Park, CA 94025"], domain="mail.instagram.com")
    return k.message("Instagram <security@mail.instagram.com>", "New login to Instagram from Chrome on Windows", alt(k, h, t), style="gmail", tz="pst")


@mail("tr-facebook-yeni-giris.eml", "", "Turkish new login alert: device, place, date; no code")
def _(k):
    h, t = page(k, "Facebook", [
        ("p", "Merhaba Can,"),
        ("p", "Hesab\u0131na 14 A\u011fustos 2025 saat 02:17'de yeni bir cihazdan giri\u015f yap\u0131ld\u0131."),
        ("rows", [("Cihaz", "Samsung Galaxy S24"), ("Konum", "Antalya, T\u00fcrkiye (yakla\u015f\u0131k)"), ("IP adresi", "78.180.22.194")]),
        ("p", "Bu sen de\u011filsen \u015fifreni hemen de\u011fi\u015ftir."),
    ], brand="#1877f2", css_kib=3.5, lang="tr", footer=["Meta Platforms, Inc., Attention: Community Support, 1 Meta Way, Menlo Park, CA 94025"], domain="facebookmail.com")
    return k.message("Facebook <security@facebookmail.com>", None, alt(k, h, t), subject_raw=enc_word("Yeni cihazdan giri\u015f"), style="gmail", tz="pst")


@mail("en-discord-verify-login-link.eml", "", "new login location: verification by button link, IP in the text, no code")
def _(k):
    h, t = page(k, "Discord", [
        ("h", "Hey elifkaya,"),
        ("p", "It looks like someone tried to log into your Discord account from a new location. If this is you, follow the link below to authorize logging in from this location on your account. If this isn't you, we suggest changing your password as soon as possible."),
        ("rows", [("IP Address", "46.196.83.112"), ("Location", "\u0130zmir, 35, Turkey")]),
        ("btn", "Verify Login", "https://click.discord.com/ls/click?upn=u001.Xk2pq9m7Hc-2BAuthorize482913-2BIp&token=8f3k2"),
    ], brand="#5865f2", css_kib=4, footer=["Sent by Discord \u2022 444 De Haro Street, Suite 200, San Francisco, CA 94107"], domain="discord.com")
    return k.message("Discord <noreply@discord.com>", "Verify Discord Login from New Location", alt(k, h, t), msgid_style="sendgrid", style="gmail", tz="pst")


@mail("en-steam-new-device-login.eml", "", "Steam login notice after the fact: account name with digits, IP, date; no code")
def _(k):
    t = """Dear canDemir1997,

Your Steam account was accessed from a new device on Sat, Oct 18, 2025 at 20:04 UTC+03.

Device: Steam Deck (SteamOS 3.6)
Location: Ankara, Turkey (IP 88.241.17.203)

If you recognise this login you don't need to do anything. If not, please change your password and revoke all other devices at https://store.steampowered.com/twofactor/manage

The Steam Team

© Valve Corporation. PO Box 1688 Bellevue, WA 98009.
"""
    return k.message("Steam Support <noreply@steampowered.com>", "Steam account: new device login", text(t), style="gmail", tz="pst")


@mail("tr-edevlet-giris-yapildi.eml", "", "Turkish sign-in notice: 'giris yapildi', IP, date, method; no code")
def _(k):
    t = """Sayın ZEYNEP ARSLAN,

e-Devlet Kapısı'na 24.06.2025 tarihinde saat 21:33'te giriş yapılmıştır.

Giriş yöntemi : e-Devlet Şifresi
IP adresi     : 95.10.144.87
Tarayıcı      : Safari 17.5 / macOS

Bu giriş size ait değilse şifrenizi değiştiriniz ve ALO 160'ı arayınız.

Türksat A.Ş.
"""
    return k.message(addr("e-Devlet Kap\u0131s\u0131", "bilgilendirme@turkiye.gov.tr", "utf-8", "Q"), None, text(t),
                     subject_raw=enc_word("e-Devlet Kap\u0131s\u0131 Giri\u015f Bildirimi", "utf-8", "Q"), style="generic")


@mail("tr-garanti-internet-subesi-giris.eml", "", "bank sign-in notice in windows-1254: time, channel, phone; no code")
def _(k):
    cs = "windows-1254"
    h, t = page(k, "Garanti BBVA", [
        ("p", "Say\u0131n M\u00fc\u015fterimiz,"),
        ("p", "Hesab\u0131n\u0131za 12.01.2026 09:14:52 tarihinde Garanti BBVA Mobil \u00fczerinden giri\u015f yap\u0131lm\u0131\u015ft\u0131r."),
        ("p", "Bu i\u015flem size ait de\u011filse l\u00fctfen 444 0 333'\u00fc aray\u0131n\u0131z."),
    ], brand="#00a3e0", css_kib=4, lang="tr", footer=["T. Garanti Bankas\u0131 A.\u015e. 34340 Be\u015fikta\u015f/\u0130stanbul"], domain="garantibbva.com.tr")
    return k.message(addr("Garanti BBVA", "bilgilendirme@garantibbva.com.tr"), None, alt(k, recharset(h, cs), t, charset=cs),
                     subject_raw=enc_word("Hesab\u0131n\u0131za giri\u015f yap\u0131ld\u0131", cs, "Q"), style="generic")


@mail("tr-trendyol-yeni-giris.eml", "", "'Hesabiniza yeni giris yapildi' with device, IP and time; no code")
def _(k):
    h, t = page(k, "trendyol", [
        ("h", "Hesab\u0131na yeni giri\u015f yap\u0131ld\u0131"),
        ("rows", [("Cihaz", "iPhone 13 \u2013 Trendyol iOS 6.84.1"), ("IP", "176.234.19.88"), ("Zaman", "07.02.2026 22:51")]),
        ("p", "Bu i\u015flemi sen yapmad\u0131ysan \u015fifreni hemen de\u011fi\u015ftir ve 0850 333 0 333'\u00fc ara."),
    ], brand="#f27a1a", css_kib=5, lang="tr", footer=["\u00a9 2026 Trendyol \u2013 34485 Sar\u0131yer/\u0130stanbul"], domain="trendyol.com")
    return k.message("Trendyol <guvenlik@trendyol.com>", None, alt(k, h, t), subject_raw=enc_word("Hesab\u0131na yeni giri\u015f yap\u0131ld\u0131"), style="gmail")


@mail("en-github-ssh-key-added.eml", "", "SSH key added: SHA256 fingerprint, key title with digits; no code")
def _(k):
    t = """The following SSH key was added to your account:

laptop-2025
SHA256:kq7M2zXp9f4TgH1w8cQeR3nVb5LmYdA0sJ6uKtPxWoE

If you believe this key was added in error, you can remove the key and disable access at the following location:

https://github.com/settings/keys

To see this and other security events for your account, visit https://github.com/settings/security-log

If you run into problems, please contact support by visiting https://github.com/contact

Thanks,
The GitHub Team
"""
    return k.message("GitHub <noreply@github.com>", "[GitHub] A new SSH authentication public key was added to your account", text(t), style="gmail", tz="pst")


@mail("en-github-pat-added.eml", "", "personal access token added: token name, scopes, expiry date; no code")
def _(k):
    t = """Hey deniz-aydin!

A fine-grained personal access token (ci-deploy-2026) was recently added to your account. Visit https://github.com/settings/personal-access-tokens/4829103 for more information.

Expires: Sun, Mar 1 2026
Repository access: 3 repositories
Permissions: contents (read and write), metadata (read)

To see this and other security events for your account, visit https://github.com/settings/security-log

Thanks,
The GitHub Team
"""
    return k.message("GitHub <noreply@github.com>", "[GitHub] A fine-grained personal access token has been added to your account", text(t), style="gmail", tz="pst")


@mail("en-github-2fa-enabled.eml", "", "two-factor enabled notice; mentions recovery codes but lists none")
def _(k):
    h, t = page(k, "GitHub", [
        ("p", "Hey mertyilmaz94!"),
        ("p", "Two-factor authentication has been **enabled** for your account. You'll be asked for a verification code from your authenticator app each time you sign in."),
        ("p", "Make sure you've saved your recovery codes somewhere safe. You can view or regenerate them at any time: https://github.com/settings/auth/recovery-codes"),
        ("p", "Thanks,\nThe GitHub Team"),
    ], brand="#24292f", css_kib=3, footer=["GitHub, Inc. \u30fb88 Colin P Kelly Jr Street \u30fbSan Francisco, CA 94107"], domain="github.com")
    return k.message("GitHub <noreply@github.com>", "[GitHub] Two-factor authentication enabled", alt(k, h, t), style="gmail", tz="pst")


@mail("en-google-2sv-turned-on.eml", "", "2-Step Verification turned on: no code, © year and address")
def _(k):
    h, t = page(k, "Google", [
        ("h", "2-Step Verification turned on"),
        ("p", "selin.koc.tr@gmail.com"),
        ("p", "Your Google Account is now protected with 2-Step Verification. When signing in on a new or untrusted device, you'll need your second factor to verify your identity."),
        ("p", "Don't get locked out! Add backup options: https://myaccount.google.com/signinoptions/two-step-verification"),
    ], brand="#ffffff", css_kib=6, footer=["\u00a9 2026 Google LLC, 1600 Amphitheatre Parkway, Mountain View, CA 94043, USA"], domain="accounts.google.com")
    return k.message("Google <no-reply@accounts.google.com>", "2-Step Verification turned on", alt(k, h, t), style="gmail", tz="pst")


@mail("en-apple-password-changed.eml", "", "password changed notice: date, time, Cupertino CA 95014")
def _(k):
    h, t = page(k, "Apple", [
        ("p", "Dear Selin Ko\u00e7,"),
        ("p", "The password for your Apple Account (selin.koc@icloud.com) was changed on 9 January 2026 at 19:42:07 GMT+3."),
        ("p", "If you changed your password, you can disregard this email. If you didn't change it, go to https://iforgot.apple.com to reset your password and secure your account."),
        ("p", "Apple Support"),
    ], brand="#ffffff", css_kib=3, footer=["Copyright \u00a9 2026 Apple Inc. One Apple Park Way, Cupertino, CA 95014, United States."], domain="apple.com")
    return k.message("Apple <appleid@id.apple.com>", "Your Apple Account password has been changed.", alt(k, h, t), style="gmail", tz="pdt")


@mail("tr-hepsiburada-sifre-degisti.eml", "", "Turkish password changed notice; date, phone")
def _(k):
    t = """Merhaba Burak,

Hepsiburada hesabının şifresi 03.04.2025 16:27'de değiştirildi.

Bu değişikliği sen yapmadıysan hemen 0850 252 40 00 numaralı müşteri hizmetlerimizi ara.

Hepsiburada
"""
    return k.message("Hepsiburada <guvenlik@hepsiburada.com>", None, text(t, "iso-8859-9", "quoted-printable"),
                     subject_raw=enc_word("\u015eifren de\u011fi\u015ftirildi", "iso-8859-9", "Q"), style="gmail")


@mail("en-code-missing-template-bug.eml", "", "'Your verification code is: . It expires in 10 minutes.' - the code is missing")
def _(k):
    h, t = page(k, "Pixelboard", [
        ("p", "Hi there,"),
        ("p", "Your verification code is: . It expires in 10 minutes."),
        ("code", "", "cell", "    "),
        ("p", "If you didn't request this, please ignore this email."),
        ("small", "Pixelboard Inc., 1 Main St, Suite 300, Boston, MA 02108 \u2013 \u00a9 2025"),
    ], brand="#6b4eff", css_kib=3, domain="pixelboard.io")
    return k.message("Pixelboard <no-reply@pixelboard.io>", "Your verification code", alt(k, h, t), style="gmail", tz="est")


@mail("en-code-sent-to-phone.eml", "", "'we sent a code to your phone ending in 4821' - the code is not in the mail")
def _(k):
    h, t = page(k, "Revolut", [
        ("p", "Hi Oguz,"),
        ("p", "We've sent a 6-digit verification code by SMS to your phone number ending in **4821**. Enter it in the app to finish adding your new device."),
        ("p", "Didn't get it? You can request a new one after 60 seconds."),
    ], brand="#191c1f", css_kib=4, footer=["Revolut Bank UAB, Konstitucijos ave. 21B, 08130 Vilnius, Lithuania"], domain="revolut.com")
    return k.message("Revolut <no-reply@revolut.com>", "Check your phone for a verification code", alt(k, h, t), style="gmail", tz="cet")


@mail("en-github-recovery-codes-regenerated.eml", "", "recovery codes regenerated notice without the codes")
def _(k):
    t = """Hey mertyilmaz94!

Your two-factor authentication recovery codes were just regenerated. Your previous recovery codes will no longer work.

You can view your new recovery codes at https://github.com/settings/auth/recovery-codes

If you did not do this, please reset your password immediately.

Thanks,
The GitHub Team
"""
    return k.message("GitHub <noreply@github.com>", "[GitHub] Your two-factor recovery codes were regenerated", text(t), style="gmail", tz="pst")


@mail("en-password-reset-link.eml", "", "password reset by link: token and numbers in the URL, expiry 60 minutes")
def _(k):
    h, t = page(k, "Figma", [
        ("p", "Hi Elif,"),
        ("p", "Someone requested a password reset for your Figma account. Click below to choose a new one. This link expires in 60 minutes."),
        ("btn", "Reset password", "https://www.figma.com/reset_password?token=8f3k2pq9m7x4c1b6&uid=482913&ts=1762261953"),
        ("small", "If you didn't request this, you can ignore this email. Figma, Inc. 760 Market St, Floor 10, San Francisco, CA 94102"),
    ], brand="#0d99ff", css_kib=3.5, domain="figma.com")
    return k.message("Figma <support@figma.com>", "Reset your Figma password", alt(k, h, t), style="gmail", tz="pst")


@mail("en-verify-email-link-only.eml", "", "email verification by button link only; no code")
def _(k):
    h, t = page(k, "Canva", [
        ("h", "Verify your email address"),
        ("p", "Hi Deniz, please confirm that deniz@aydin.dev is your email address by clicking the button below within 48 hours."),
        ("btn", "Verify email", "https://www.canva.com/verify?e=ZGVuaXpAYXlkaW4uZGV2&c=40917256&ref=signup_2025"),
    ], brand="#7d2ae8", css_kib=4, footer=["Canva\u00ae 110 Kippax St, Surry Hills NSW 2010, Australia"], domain="canva.com")
    return k.message("Canva <no-reply@canva.com>", "Please verify your email address", alt(k, h, t), style="gmail", tz="utc")


@mail("tr-eposta-dogrulandi.eml", "", "'e-posta adresiniz dogrulandi' success notice; no code")
def _(k):
    t = """Merhaba Ayşe,

E-posta adresiniz başarıyla doğrulandı. Artık sahibinden.com'da ilan verebilir ve mesajlaşabilirsiniz.

Üyelik numaranız: 48210933

sahibinden.com - 0850 222 44 44
"""
    return k.message("sahibinden.com <bilgilendirme@sahibinden.com>", None, text(t),
                     subject_raw=enc_word("E-posta adresiniz do\u011fruland\u0131"), style="generic")


@mail("en-code-was-used-notice.eml", "", "'your one-time code was used to sign in' notice, with time and IP but no code")
def _(k):
    t = """Hi Zeynep,

Your one-time sign-in code was just used to sign in to Wise on a new device.

When: 18 April 2025, 10:07 (UTC+3)
Device: Wise for Android 8.41.0
IP: 88.230.76.14

If this wasn't you, contact us right away on +44 20 3695 0999.

The Wise Team
Wise Payments Limited, 6th Floor, The Tea Building, 56 Shoreditch High Street, London E1 6JJ
"""
    return k.message("Wise <noreply@wise.com>", "New sign-in to your Wise account", text(t), style="gmail", tz="utc")


@mail("en-wrong-code-attempts.eml", "", "failed attempts notice: 'someone entered a wrong code 3 times'; no code")
def _(k):
    h, t = page(k, "Coinbase", [
        ("h", "Multiple failed verification attempts"),
        ("p", "Someone entered an incorrect 2-step verification code 3 times while trying to sign in to your account on 2025-12-01 at 03:12 UTC."),
        ("p", "For your security, sign-ins from that device are blocked for 24 hours. If this was you, you can try again later."),
    ], brand="#0052ff", css_kib=4, footer=["Coinbase, Inc. 248 3rd St #434, Oakland, CA 94607"], domain="coinbase.com")
    return k.message("Coinbase <no-reply@coinbase.com>", "Failed sign-in attempts on your account", alt(k, h, t), style="gmail", tz="pst")


@mail("en-authenticator-app-prompt.eml", "", "asks for an authenticator-app code but contains none")
def _(k):
    t = """Hello Can,

To finish signing in to your Bitwarden vault, open your authenticator app and enter the 6-digit code it shows for Bitwarden.

Not you? Change your master password at https://vault.bitwarden.com/#/settings/security

Bitwarden Inc., 1 N Calle Cesar Chavez, Suite 102, Santa Barbara, CA 93103
"""
    return k.message("Bitwarden <no-reply@bitwarden.com>", "Two-step login required", text(t, "us-ascii", "7bit"), style="gmail", tz="pst")


# ------------------------------------------------------------ newsletters and social notifications

def _articles(items):
    return [("article", a, b, c) for a, b, c in items]


@mail("en-tech-newsletter-large.eml", "", "~50 KiB newsletter: many years (2019-2026), prices, versions, colours")
def _(k):
    arts = []
    topics = [("The state of Rust in 2026", "Adoption numbers from 2019 to 2025 show steady growth; 41% of respondents now use it at work."),
              ("Postgres 18 released", "Async I/O lands; benchmarks show 2.4x faster sequential scans on 64-core machines."),
              ("Why we moved off Kubernetes", "Our bill dropped from $48,200 to $12,900 a month after 18 months of work."),
              ("A look back at 2025's outages", "From the June 12 cloud incident to the 2025-10-20 DNS failure: lessons learned."),
              ("Qt 6.10 and what it means for desktop apps", "New widgets, better Wayland support and 30% faster startup."),
              ("The 1999 bug that still bites", "How a two-digit year assumption survived 26 years in a billing system."),
              ("Interview: building a 600px email template that works everywhere", "Tables, #006699 and media queries still rule in 2026."),
              ("Hiring: Senior Backend Engineer (Remote, EU)", "\u20ac85,000 \u2013 \u20ac110,000 + equity. Apply by March 31."),
              ("GPU prices in 2026", "The RTX 5080 now sells for $999, down from $1,199 at launch."),
              ("CVE-2025-31337 explained", "A heap overflow in a popular image library affects versions 2.3.0 to 2.4.7.")]
    for i in range(4):
        for title, summ in topics:
            arts.append((title if i == 0 else "%s (part %d)" % (title, i + 1), summ, "https://newsletter.devweekly.io/c/%d/%d" % (2026 + i, 100 + len(arts))))
    h, t = page(k, "Dev Weekly", [
        ("h", "Dev Weekly \u2013 Issue #412"),
        ("p", "Hi friend, here's what happened this week. Published March 6, 2026."),
    ] + _articles(arts) + [
        ("small", "Sponsored: Upgrade to Pro for $8/month (billed $96 yearly). Offer ends 2026-03-31."),
    ], brand="#006699", css_kib=12, preheader="Rust in 2026, Postgres 18 and the 1999 bug", footer=["Dev Weekly, 2261 Market Street #4667, San Francisco, CA 94114", "\u00a9 2019\u20132026 Dev Weekly. Unsubscribe | Preferences"], domain="devweekly.io")
    return k.message("Dev Weekly <hello@devweekly.io>", "Dev Weekly #412: Rust in 2026, Postgres 18, the 1999 bug", alt(k, h, t), lists=True, style="gmail", tz="est")


@mail("tr-trendyol-kampanya-kupon.eml", "", "hard: campaign with 'Indirim kodu: YENI50' coupon and prices; a coupon is not a verification code")
def _(k):
    h, t = page(k, "trendyol", [
        ("h", "Efsane Kas\u0131m ba\u015flad\u0131! %60'a varan indirim"),
        ("p", "Sepette ek %10 indirim i\u00e7in indirim kodu: **YENI50**"),
        ("small", "Kod 500 TL ve \u00fczeri al\u0131\u015fveri\u015flerde 15.11.2025 23:59'a kadar ge\u00e7erlidir."),
        ("products", _trendyol_products(30, 17), "cdn.dsmcdn.com"),
    ], brand="#f27a1a", css_kib=8, lang="tr", preheader="YENI50 koduyla sepette ek indirim",
        footer=["DSM Grup 34485 Sar\u0131yer/\u0130stanbul \u2013 \u00a9 2025 Trendyol", "Abonelikten \u00e7\u0131kmak i\u00e7in t\u0131klay\u0131n."], domain="trendyol.com")
    return k.message("Trendyol <kampanya@trendyol.com>", None, alt(k, h, t), lists=True,
                     subject_raw=enc_word("\U0001F525 Efsane Kas\u0131m: %60'a varan indirim + YENI50"), style="gmail")


@mail("en-steam-winter-sale.eml", "", "sale newsletter: prices, discount percentages, dates")
def _(k):
    games = [("Cyberpunk 2077", "$29.99", "$59.99"), ("Elden Ring", "$35.99", "$59.99"), ("Stardew Valley", "$9.89", "$14.99"),
             ("Hades II", "$22.49", "$29.99"), ("Red Dead Redemption 2", "$14.99", "$59.99"), ("Hollow Knight", "$7.49", "$14.99"),
             ("Baldur's Gate 3", "$47.99", "$59.99"), ("Terraria", "$4.99", "$9.99"), ("Satisfactory", "$27.99", "$39.99")]
    h, t = page(k, "STEAM", [
        ("h", "The Steam Winter Sale is here!"),
        ("p", "December 18, 2025 \u2013 January 5, 2026 at 10 AM Pacific."),
    ] + [("rows", [(g, "%s (was %s)" % (p, o)) for g, p, o in games])] + [
        ("small", "Prices shown in USD. Discounts up to 75%."),
    ], brand="#171a21", css_kib=6, footer=["\u00a9 2025 Valve Corporation. PO Box 1688 Bellevue, WA 98009"], domain="steampowered.com")
    return k.message("Steam <noreply@steampowered.com>", "The Steam Winter Sale is on now!", alt(k, h, t), lists=True, style="gmail", tz="pst")


@mail("en-epic-free-games.eml", "", "free games newsletter: dates, times, prices")
def _(k):
    h, t = page(k, "Epic Games", [
        ("h", "Free games this week"),
        ("p", "Grab Control and Alan Wake Remastered for free until Thursday, July 17, 2025 at 15:00 UTC (regularly $29.99 and $29.99)."),
        ("p", "Next week: a mystery game. Mega Sale ends July 3."),
    ], brand="#121212", css_kib=5, footer=["\u00a9 2025, Epic Games, Inc. Box 4700, Cary, NC 27518"], domain="epicgames.com")
    return k.message("Epic Games Store <news@epicgames.com>", "Free games this week: Control & Alan Wake Remastered", alt(k, h, t), lists=True, style="gmail", tz="est")


@mail("en-medium-daily-digest.eml", "", "digest: article read times, clap counts, member counts")
def _(k):
    arts = [("How I Built a $10K/Month Side Project in 2025", "8 min read \u00b7 4.2K claps", "https://medium.com/p/4a9b2c1d3e5f"),
            ("The 12-Factor App, Revisited for 2026", "11 min read \u00b7 1.1K claps", "https://medium.com/p/7c1e5f9a0b2d"),
            ("Stop Using 600px Emails", "5 min read \u00b7 318 claps", "https://medium.com/p/2b8d4e6f1a3c"),
            ("What 365 Days of LeetCode Taught Me", "7 min read \u00b7 2.7K claps", "https://medium.com/p/9f0e1d2c3b4a")]
    h, t = page(k, "Medium", [("h", "Today's highlights")] + _articles(arts), brand="#ffffff", css_kib=5,
                footer=["Sent by Medium \u00b7 Medium, 548 Market St, PMB 13529, San Francisco, CA 94104"], domain="medium.com")
    return k.message("Medium Daily Digest <noreply@medium.com>", "How I Built a $10K/Month Side Project in 2025 | Deniz Aydin", alt(k, h, t), lists=True, style="gmail", tz="pst")


@mail("en-linkedin-weekly-searches.eml", "", "social notification: 'You appeared in 14 searches this week', counts")
def _(k):
    h, t = page(k, "LinkedIn", [
        ("h", "You appeared in 14 searches this week"),
        ("p", "Your profile was found by people from Trendyol, Getir and 3 other companies. 27 people viewed your profile in the past 90 days."),
        ("btn", "See all searches", "https://www.linkedin.com/me/search-appearances/?trk=eml-weekly-2025-47"),
    ], brand="#0a66c2", css_kib=5, footer=["\u00a9 2025 LinkedIn Corporation, 1000 West Maude Avenue, Sunnyvale, CA 94085."], domain="linkedin.com")
    return k.message("LinkedIn <notifications-noreply@linkedin.com>", "You appeared in 14 searches this week", alt(k, h, t), lists=True, style="gmail", tz="pst")


@mail("en-facebook-12-new-messages.eml", "", "social notification: 'You have 12 new messages' and counts")
def _(k):
    h, t = page(k, "Facebook", [
        ("p", "Hi Emre,"),
        ("p", "You have 12 new messages, 4 friend requests and 37 notifications waiting for you."),
        ("btn", "Go to Facebook", "https://www.facebook.com/n/?notifications&aref=1762261953&medium=email&mid=5f1a2b3cG5af3b2f4e"),
    ], brand="#1877f2", css_kib=3.5, footer=["Meta Platforms, Inc., Attention: Community Support, 1 Meta Way, Menlo Park, CA 94025"], domain="facebookmail.com")
    return k.message("Facebook <notification@facebookmail.com>", "You have 12 new messages", alt(k, h, t), lists=True, style="gmail", tz="pst")


@mail("en-x-trending-digest.eml", "", "social digest: like counts '48.2K', times, hashtags with years")
def _(k):
    h, t = page(k, "X", [
        ("h", "Trending in Turkey"),
        ("list", ["#Eurovision2026 \u2013 128K posts", "Galatasaray \u2013 48.2K posts", "#Kas\u0131m2025 \u2013 12.1K posts", "Apple \u2013 9,410 posts"]),
        ("p", "@nasa posted: Artemis II launch window opens at 06:41 EDT on April 1. 21,384 likes \u00b7 3,102 reposts"),
    ], brand="#000000", css_kib=4, footer=["X Corp. 1355 Market Street, Suite 900 San Francisco, CA 94103"], domain="x.com")
    return k.message("X <info@x.com>", "Trending in Turkey: #Eurovision2026", alt(k, h, t), lists=True, style="gmail", tz="pst")


@mail("en-discord-missed-messages.eml", "", "social notification: unread counts, channel names with numbers")
def _(k):
    h, t = page(k, "Discord", [
        ("h", "You have 23 unread messages"),
        ("p", "In Valorant TR: #lfg-2025 (14), #duyurular (9). Mentions: @bora_1989 mentioned you in #scrim-482."),
    ], brand="#5865f2", css_kib=4, footer=["Sent by Discord \u2022 444 De Haro Street, Suite 200, San Francisco, CA 94107"], domain="discord.com")
    return k.message("Discord <noreply@discord.com>", "You have missed messages in Valorant TR", alt(k, h, t), lists=True, style="gmail", tz="pst")


@mail("en-spotify-wrapped-year-alone.eml", "", "hard: the year 2025 stands alone in a big cell; minutes count 48,213")
def _(k):
    h, t = page(k, "Spotify", [
        ("h", "Your Wrapped is here"),
        ("code", "2025", "cell"),
        ("p", "You listened to **48,213 minutes** of music this year \u2013 more than 92% of listeners in Turkey."),
        ("p", "Your top artist: Sezen Aksu (1,204 minutes). Your top song: played 317 times."),
        ("btn", "See your Wrapped", "https://open.spotify.com/wrapped?year=2025&utm_campaign=wrapped-2025"),
    ], brand="#1db954", css_kib=6, footer=["Spotify AB, Regeringsgatan 19, 111 53 Stockholm, Sweden"], domain="spotify.com")
    return k.message("Spotify <no-reply@spotify.com>", "Your 2025 Wrapped is ready", alt(k, h, t), lists=True, style="gmail", tz="cet")


@mail("en-netflix-new-on.eml", "", "newsletter: release dates, seasons, episode numbers, ratings")
def _(k):
    h, t = page(k, "NETFLIX", [
        ("h", "New on Netflix this week"),
        ("list", ["Stranger Things 5 \u2013 Volume 2 (Dec 25, 2025)", "Squid Game: Season 3 \u2013 6 episodes, 98% match", "Wednesday 2 \u2013 8 episodes, 16+"]),
    ], brand="#e50914", css_kib=5, footer=["Netflix International B.V. Karperstraat 8-10, 1075 KZ Amsterdam"], domain="netflix.com")
    return k.message("Netflix <info@mailer.netflix.com>", "New this week: Stranger Things 5", alt(k, h, t), lists=True, style="gmail", tz="cet")


@mail("en-uber-eats-promo-code.eml", "", "hard: promo 'Use code EATS25 for 25% off' - a promo code, not a verification code")
def _(k):
    h, t = page(k, "Uber Eats", [
        ("h", "25% off your next 3 orders"),
        ("p", "Use code **EATS25** at checkout. Valid until Sunday 11:59 PM, max $15 off per order, minimum order $20."),
    ], brand="#06c167", css_kib=5, footer=["Uber Technologies, 1725 3rd Street, San Francisco, CA 94158"], domain="uber.com")
    return k.message("Uber Eats <uber@uber.com>", "25% off? Yes please \U0001F354", alt(k, h, t), lists=True,
                     subject_raw=enc_word("25% off? Yes please \U0001F354"), style="gmail", tz="pst")


@mail("en-booking-prices-dropped.eml", "", "price drop newsletter: prices, dates, review scores")
def _(k):
    h, t = page(k, "Booking.com", [
        ("h", "Prices dropped for your Rome search"),
        ("rows", [("Hotel Artemide \u2605\u2605\u2605\u2605 \u2013 8.9", "\u20ac 189 (was \u20ac 236)"), ("The Hoxton Rome \u2013 9.1", "\u20ac 214"), ("Generator Rome \u2013 7.8", "\u20ac 74")]),
        ("small", "For 12 Apr \u2013 15 Apr 2026, 2 adults."),
    ], brand="#003580", css_kib=6, footer=["Booking.com B.V., Oosterdokskade 163, 1011 DL Amsterdam"], domain="booking.com")
    return k.message("Booking.com <email.campaign@sg.booking.com>", "Prices dropped in Rome", alt(k, h, t), lists=True, style="gmail", tz="cet")


@mail("tr-bonus-kampanya.eml", "", "bank campaign: points, installments, dates, SMS short number")
def _(k):
    h, t = page(k, "Bonus", [
        ("h", "Elektronikte 9 taksit + 500 TL bonus!"),
        ("p", "01.11.2025 \u2013 30.11.2025 tarihleri aras\u0131nda 10.000 TL ve \u00fczeri elektronik harcaman\u0131za 500 TL bonus. Kat\u0131l\u0131m i\u00e7in ELEKTRONIK yaz\u0131p 3340'a g\u00f6nderin."),
    ], brand="#00a3e0", css_kib=6, lang="tr", footer=["T. Garanti Bankas\u0131 A.\u015e. \u2013 444 0 333"], domain="bonus.com.tr")
    return k.message("Bonus <kampanya@bonus.com.tr>", None, alt(k, h, t), lists=True, subject_raw=enc_word("Elektronikte 9 taksit + 500 TL bonus"), style="generic")


@mail("en-dropbox-storage-full.eml", "", "storage notice: 2 GB, percentages, price per month")
def _(k):
    h, t = page(k, "Dropbox", [
        ("h", "Your Dropbox is full"),
        ("p", "You're using 2 GB of 2 GB (100%). Files stopped syncing on 21 Jan 2026. Upgrade to Plus for 2,000 GB at $11.99/month."),
    ], brand="#0061ff", css_kib=4, footer=["Dropbox, Inc., PO Box 77767, San Francisco, CA 94107"], domain="dropbox.com")
    return k.message("Dropbox <no-reply@dropbox.com>", "Your Dropbox is full", alt(k, h, t), lists=True, style="gmail", tz="pst")


@mail("en-analytics-weekly-report.eml", "", "analytics report: user counts, percentages, dates")
def _(k):
    h, t = page(k, "Google Analytics", [
        ("h", "Your weekly report for aydin.dev"),
        ("rows", [("Users", "4,821 (+12.4%)"), ("New users", "3,902"), ("Sessions", "6,107"), ("Avg. engagement time", "1m 48s"), ("Top page", "/blog/2025/10/qt-tips (1,204 views)")]),
        ("small", "Nov 3 \u2013 Nov 9, 2025 compared to Oct 27 \u2013 Nov 2, 2025. Property ID 482913045."),
    ], brand="#f9ab00", css_kib=6, footer=["\u00a9 2025 Google LLC, 1600 Amphitheatre Parkway, Mountain View, CA 94043"], domain="google.com")
    return k.message("Google Analytics <analytics-noreply@google.com>", "Your weekly Analytics report", alt(k, h, t), style="gmail", tz="pst")


@mail("en-github-actions-failed.eml", "", "CI failure: run number, short commit SHA, job ids, durations")
def _(k):
    t = """Run failed: CI - main (a3f9c21)

deniz-aydin/mirelo-tools
Workflow: CI
Run #1842 triggered by push to main

build (ubuntu-22.04)   failed in 4m 12s
test (windows-2022)    cancelled after 2m 03s

Error: Process completed with exit code 137.

View workflow run: https://github.com/deniz-aydin/mirelo-tools/actions/runs/12482913045/job/34910287733

You are receiving this because you are subscribed to this repository's Actions notifications.
"""
    return k.message("deniz-aydin <notifications@github.com>", "[deniz-aydin/mirelo-tools] Run failed: CI - main (a3f9c21)", text(t),
                     style="gmail", tz="pst", extra=["X-GitHub-Reason: ci_activity", "List-ID: deniz-aydin/mirelo-tools <mirelo-tools.deniz-aydin.github.com>"])


@mail("en-github-pr-comment.eml", "", "PR review comment quoting code with numbers, issue #4821 and commit SHAs")
def _(k):
    t = """@mertyilmaz94 commented on this pull request.

> -    timeout_ms = 30000
> +    timeout_ms = 300000

This is 5 minutes now; was that intended? In #4821 we agreed on 120000. Also see 7c1e5f9 and b2d4e6f.

Reply to this email directly, view it on GitHub:
https://github.com/acme/mailer/pull/4830#discussion_r1948302217

You are receiving this because you were mentioned.
Message ID: <acme/mailer/pull/4830/review/2481093751@github.com>
"""
    h = ('<p><b>@mertyilmaz94</b> commented on this pull request.</p><hr>'
         '<pre style="color:#555555"><span style="color:#cf222e">-    timeout_ms = 30000</span>\n<span style="color:#116329">+    timeout_ms = 300000</span></pre>'
         '<p dir="auto">This is 5 minutes now; was that intended? In <a href="https://github.com/acme/mailer/issues/4821">#4821</a> we agreed on 120000. Also see '
         '<a href="https://github.com/acme/mailer/commit/7c1e5f9">7c1e5f9</a> and <a href="https://github.com/acme/mailer/commit/b2d4e6f">b2d4e6f</a>.</p>'
         '<p style="font-size:small;color:#666">\u2014<br>Reply to this email directly, <a href="https://github.com/acme/mailer/pull/4830#discussion_r1948302217">view it on GitHub</a>.<br>'
         'You are receiving this because you were mentioned.<img src="https://github.com/notifications/beacon/AB4X2QRZ7KQ3M.gif" height="1" width="1" alt=""></p>\n')
    body = multi("alternative", [text(t), htmlpart(h)], k.rng, "generic")
    return k.message("Mert Yilmaz <notifications@github.com>", "Re: [acme/mailer] Raise SMTP timeout (PR #4830)", body, style="gmail", tz="pst",
                     extra=["In-Reply-To: <acme/mailer/pull/4830@github.com>", "X-GitHub-Reason: mention"])


@mail("en-jira-issue-updated.eml", "", "Jira notification: issue key PROJ-4821, story points, dates")
def _(k):
    h, t = page(k, "Jira", [
        ("p", "Can Demir **changed the status** to In Review"),
        ("h2", "PROJ-4821: Recognition misses codes after 2 KiB"),
        ("rows", [("Priority", "High"), ("Story points", "5"), ("Sprint", "Sprint 2025-48"), ("Due", "05/Dec/25")]),
    ], brand="#0052cc", css_kib=4, footer=["Atlassian Pty Ltd, Level 6, 341 George Street, Sydney NSW 2000"], domain="acme.atlassian.net")
    return k.message("Can Demir (Jira) <jira@acme.atlassian.net>", "[JIRA] (PROJ-4821) Recognition misses codes after 2 KiB", alt(k, h, t), style="gmail", tz="utc")


@mail("en-dependabot-alert.eml", "", "security advisory: CVE-2025-31337, version numbers, CVSS score")
def _(k):
    t = """Dependabot alert: critical severity vulnerability in lodash

Package: lodash (npm)
Affected versions: < 4.17.21
Patched version: 4.17.21
Advisory: GHSA-35jh-r3h4-6jhm / CVE-2025-31337
CVSS score: 9.8

Manifest: package-lock.json in deniz-aydin/portfolio-2024

Review and merge the pull request #118 opened by Dependabot.
"""
    return k.message("GitHub <noreply@github.com>", "[deniz-aydin/portfolio-2024] Critical severity vulnerability in lodash", text(t), style="gmail", tz="pst")


@mail("en-slack-digest.eml", "", "workspace digest: channel names, message counts, times")
def _(k):
    h, t = page(k, "slack", [
        ("h", "Here's what you missed in acme-dev"),
        ("list", ["#release-2026-q1: 42 new messages", "#incidents: INC-2025-118 resolved at 14:32", "Direct messages from Elif (3)"]),
    ], brand="#4a154b", css_kib=4, footer=["Made by Slack Technologies, LLC \u00b7 500 Howard Street \u00b7 San Francisco, CA 94105"], domain="slack.com")
    return k.message("Slack <notification@slack.com>", "[Slack] Notifications from the acme-dev workspace", alt(k, h, t), lists=True, style="gmail", tz="pst")


@mail("en-notion-page-shared.eml", "", "share notification: page title with year and budget numbers")
def _(k):
    h, t = page(k, "Notion", [
        ("p", "Elif Kaya shared a page with you:"),
        ("h2", "Q1 2026 Budget \u2013 Marketing ($48,500)"),
        ("btn", "Open in Notion", "https://www.notion.so/acme/Q1-2026-Budget-4a9b2c1d3e5f47a8b9c0d1e2f3a4b5c6"),
    ], brand="#ffffff", css_kib=2, footer=["Notion Labs, Inc., 2300 Harrison St, San Francisco, CA 94110"], domain="mail.notion.so")
    return k.message("Notion <notify@mail.notion.so>", "Elif Kaya shared Q1 2026 Budget with you", alt(k, h, t), style="gmail", tz="pst")


# ------------------------------------------------------------ calendar invitations

def _invite(k, summary, start, minutes, organizer, description, location, html_extra, tz_name="Europe/Istanbul", outlook=False):
    cal = ics(k.rng, summary, start, minutes, organizer, [(k.to_name, k.to_email), organizer], location, description,
              uid_domain="microsoft.com" if outlook else "google.com", tzid=tz_name)
    h, t = page(k, "Calendar", html_extra, brand="#1a73e8" if not outlook else "#5b5fc7", css_kib=3, logo=False, pixel=False,
                domain="google.com" if not outlook else "microsoft.com")
    calpart = leaf("text/calendar", cal, "utf-8", "7bit" if outlook else "base64", ct_params="; method=REQUEST")
    inner = multi("alternative", [text(t), htmlpart(h), calpart], k.rng, "gmail" if not outlook else "outlook")
    att = attachment("application/ics", "invite.ics", cal.replace("\n", "\r\n").encode())
    return multi("mixed", [inner, att], k.rng, "gmail" if not outlook else "outlook")


@mail("en-google-calendar-invite-dialin-pin.eml", "", "calendar invite with ICS; phone dial-in 'PIN: 482 913 018#' is not a verification code")
def _(k):
    start = dt.datetime(2026, 2, 17, 14, 0)
    desc = ("Weekly sync on the release.\n\nJoin with Google Meet: https://meet.google.com/xkp-qrzt-mvb\n"
            "Join by phone: (US) +1 650-555-0142 PIN: 482 913 018#\nMore phone numbers: https://tel.meet/xkp-qrzt-mvb?pin=4829130184821")
    blocks = [("h2", "Invitation: Release sync @ Tue Feb 17, 2026 2pm - 2:30pm (GMT+3)"),
              ("p", "Join with Google Meet: meet.google.com/xkp-qrzt-mvb"),
              ("p", "Join by phone: (US) +1 650-555-0142 PIN: 482 913 018#"),
              ("rows", [("When", "Tuesday Feb 17, 2026 \u22c5 2pm \u2013 2:30pm (Eastern European Time - Istanbul)"), ("Guests", "deniz@aydin.dev \u2013 organizer")]),
              ("small", "Invitation from Google Calendar. You are receiving this email because you are an attendee on the event.")]
    body = _invite(k, "Release sync", start, 30, ("Deniz Aydin", "deniz@aydin.dev"), desc, "", blocks)
    return k.message("Deniz Aydin <deniz@aydin.dev>", "Invitation: Release sync @ Tue Feb 17, 2026 2pm - 2:30pm (GMT+3) (%s)" % k.to_email, body,
                     style="gmail", msgid_style="gmail", reply_to="Deniz Aydin <deniz@aydin.dev>")


@mail("en-zoom-meeting-passcode.eml", "", "meeting invite: 'Meeting ID: 845 2391 0472 Passcode: 719204' - a meeting passcode, not a sign-in code")
def _(k):
    t = """Oguz Kurt is inviting you to a scheduled Zoom meeting.

Topic: Sprint Review 2026-04
Time: Apr 24, 2026 04:00 PM Istanbul

Join Zoom Meeting
https://us06web.zoom.us/j/84523910472?pwd=bXk2cHE5bTdIYzFiNmQ3ZjBlMWQyYzNi.1

Meeting ID: 845 2391 0472
Passcode: 719204

---

One tap mobile
+14086380968,,84523910472#,,,,*719204# US (San Jose)
+16465588656,,84523910472#,,,,*719204# US (New York)

---

Dial by your location
• +1 408 638 0968 US (San Jose)
• +90 212 900 4124 Turkey

Meeting ID: 845 2391 0472
Passcode: 719204
"""
    return k.message("Oguz Kurt <oguzkurt@proton.me>", "Zoom meeting invitation - Sprint Review 2026-04", text(t), style="generic")


@mail("en-teams-meeting-conference-id.eml", "", "Teams invite from Outlook with ICS: 'Phone conference ID: 482 913 018#', meeting id and meeting passcode Xy7nQ2; none is a sign-in code")
def _(k):
    start = dt.datetime(2025, 9, 9, 10, 30)
    desc = ("Microsoft Teams meeting\nJoin: https://teams.microsoft.com/l/meetup-join/19%3ameeting_NGI5YzEx@thread.v2/0\n"
            "Meeting ID: 371 284 905 612\nPasscode: Xy7nQ2\nDial in by phone\n+90 212 912 1025,,482913018# Turkey, Istanbul\nPhone conference ID: 482 913 018#")
    blocks = [("h2", "Microsoft Teams meeting"),
              ("p", "Join on your computer, mobile app or room device"),
              ("btn", "Click here to join the meeting", "https://teams.microsoft.com/l/meetup-join/19%3ameeting_NGI5YzEx@thread.v2/0"),
              ("p", "Meeting ID: 371 284 905 612\nPasscode: Xy7nQ2"),
              ("p", "Dial in by phone\n+90 212 912 1025,,482913018# Turkey, Istanbul\nPhone conference ID: 482 913 018#"),
              ("small", "For organizers: Meeting options | Reset dial-in PIN")]
    body = _invite(k, "Q3 Budget Review", start, 60, ("Selin Koc", "selin.koc@firma.com.tr"), desc, "Microsoft Teams Meeting", blocks, outlook=True)
    return k.message("Selin Koc <selin.koc@firma.com.tr>", "Q3 Budget Review", body, style="outlook")


@mail("tr-toplanti-daveti-ics.eml", "", "Turkish meeting invitation with ICS: dates, room number, phone")
def _(k):
    start = dt.datetime(2025, 12, 3, 9, 30)
    desc = "Yillik butce toplantisi. Toplanti odasi: B-204 (3. kat). Katilamayacaklar 0212 555 01 42'yi arasin."
    blocks = [("h2", "Davet: Y\u0131ll\u0131k B\u00fct\u00e7e 2026 \u2013 3 Ara 2025 \u00c7ar 09:30 - 11:00"),
              ("p", "Toplant\u0131 odas\u0131: B-204 (3. kat)"),
              ("p", "Kat\u0131lamayacaklar 0212 555 01 42'yi aras\u0131n.")]
    body = _invite(k, "Yillik Butce 2026", start, 90, ("Ayse Sahin", "ayse.sahin@firma.com.tr"), desc, "B-204", blocks)
    return k.message(addr("Ay\u015fe \u015eahin", "ayse.sahin@firma.com.tr", "utf-8", "B"), None, body,
                     subject_raw=enc_word("Davet: Y\u0131ll\u0131k B\u00fct\u00e7e 2026 @ 3 Ara 2025 \u00c7ar 09:30 - 11:00"), style="gmail", msgid_style="gmail")


@mail("en-calendar-event-cancelled.eml", "", "cancelled event: ICS METHOD:CANCEL text, dates and times")
def _(k):
    start = dt.datetime(2026, 6, 5, 15, 0)
    cal = ics(k.rng, "Design review", start, 45, ("Elif Kaya", "elif.kaya@outlook.com"), [(k.to_name, k.to_email)], "", "Cancelled.", method="CANCEL")
    t = "This event has been cancelled.\n\nDesign review\nFriday Jun 5, 2026 \u22c5 3pm \u2013 3:45pm (GMT+3)\n"
    body = multi("mixed", [multi("alternative", [text(t), leaf("text/calendar", cal, "utf-8", "7bit", ct_params="; method=CANCEL")], k.rng, "gmail"),
                           attachment("application/ics", "invite.ics", cal.replace("\n", "\r\n").encode())], k.rng, "gmail")
    return k.message("Elif Kaya <elif.kaya@outlook.com>", "Canceled event: Design review @ Fri Jun 5, 2026 3pm - 3:45pm (GMT+3)", body, style="gmail", msgid_style="gmail")


# ------------------------------------------------------------ phishing-like mails

@mail("en-phish-account-suspended.eml", "", "phishing-like: 'account suspended', case id, deadline, fake link")
def _(k):
    h, t = page(k, "Security Center", [
        ("h", "Your account has been temporarily suspended"),
        ("p", "We detected unusual activity. To avoid permanent closure, verify your information within 24 hours."),
        ("rows", [("Case ID", "48201-93"), ("Date", "11/27/2025"), ("Amount on hold", "$1,249.00")]),
        ("btn", "Verify now", "http://secure-account-verify.support-center482.com/login?id=482913&session=9f0e1d"),
    ], brand="#003087", css_kib=2, domain="support-center482.com")
    return k.message("Account Service <service@support-center482.com>", "Action required: account suspended [Case 48201-93]", alt(k, h, t), style="generic", tz="utc")


@mail("tr-phish-ptt-kargo-gumruk.eml", "", "phishing-like Turkish parcel mail: customs fee 24,90 TL, shipment number, link")
def _(k):
    h, t = page(k, "PTT Kargo", [
        ("p", "Say\u0131n m\u00fc\u015fterimiz,"),
        ("p", "RR482913045TR numaral\u0131 g\u00f6nderiniz g\u00fcmr\u00fck \u00fccreti \u00f6denmedi\u011fi i\u00e7in teslim edilemedi. 24,90 TL tutar\u0131ndaki \u00fccreti 48 saat i\u00e7inde \u00f6deyin."),
        ("btn", "\u00d6deme yap", "https://ptt-gonderi-takip.info/odeme?no=RR482913045TR"),
    ], brand="#ffcc00", css_kib=2, lang="tr", domain="ptt-gonderi-takip.info")
    return k.message("PTT <destek@ptt-gonderi-takip.info>", None, alt(k, h, t), subject_raw=enc_word("G\u00f6nderiniz teslim edilemedi"), style="generic")


@mail("en-phish-apple-id-locked.eml", "", "phishing-like Apple lock mail: order number, amount, support phone")
def _(k):
    t = """Dear Customer,

Your Apple ID has been locked for security reasons. A purchase of Final Cut Pro ($299.99, Order No. MQ82KX4P19) was made from a new device in Lagos, Nigeria on 03/14/2026.

If you did not make this purchase, call Apple Support at +1 (888) 482-9130 within 24 hours or your account will be disabled.

Apple Support Team
"""
    return k.message("Apple Support <support@apple-id-security-team.com>", "Your Apple ID has been locked", text(t), style="generic", tz="utc")


@mail("en-phish-m365-password-expires.eml", "", "phishing-like password expiry: days, dates, link with ids")
def _(k):
    h, t = page(k, "Microsoft 365", [
        ("p", "Your password for can.demir@yandex.com expires in 2 days (11/30/2025)."),
        ("btn", "Keep current password", "https://m365-portal-renew.web.app/?u=can.demir%40yandex.com&id=90211482"),
        ("small", "\u00a9 2025 Microsoft Corporation. All rights reserved."),
    ], brand="#0078d4", css_kib=2, domain="m365-portal-renew.web.app")
    return k.message("Microsoft 365 <no-reply@m365-portal-renew.web.app>", "Password expiry notice", alt(k, h, t), style="generic", tz="utc")


@mail("tr-phish-vergi-iadesi.eml", "", "phishing-like tax refund: refund amount, reference number, deadline")
def _(k):
    t = """Sayın Vatandaşımız,

2025 yılına ait 1.842,50 TL vergi iadeniz onaylanmıştır. İadenizi almak için kart bilgilerinizi 3 gün içinde güncelleyiniz.

Referans No: GIB-2025-7731904
Bağlantı: https://edevlet-iade-gib.com/iade?ref=7731904

Gelir İdaresi Başkanlığı
"""
    return k.message("e-Devlet <iade@edevlet-iade-gib.com>", None, text(t), subject_raw=enc_word("Vergi iadeniz onayland\u0131"), style="generic")


# ------------------------------------------------------------ other notices

@mail("tr-destek-talebi-no.eml", "", "support ticket: 'Talep No: #482913' is a six-digit ticket number, not a code")
def _(k):
    h, t = page(k, "Hepsiburada Destek", [
        ("p", "Merhaba Burak,"),
        ("p", "Talebini ald\u0131k, en ge\u00e7 48 saat i\u00e7inde d\u00f6n\u00fc\u015f yapaca\u011f\u0131z."),
        ("rows", [("Talep No", "#482913"), ("Konu", "\u0130ade \u2013 Sipari\u015f 4821093751"), ("Tarih", "21.02.2026 11:05")]),
    ], brand="#ff6000", css_kib=4, lang="tr", footer=["Hepsiburada \u2013 0850 252 40 00"], domain="hepsiburada.com")
    return k.message("Hepsiburada Destek <destek@hepsiburada.com>", None, alt(k, h, t), subject_raw=enc_word("Talebin al\u0131nd\u0131 #482913"), style="gmail")


@mail("tr-is-basvurusu-alindi.eml", "", "job application received: application number 2025-48291, dates")
def _(k):
    t = """Sayın Elif Kaya,

Kıdemli Yazılım Mühendisi (İlan Ref: YZM-2025-114) pozisyonu için başvurunuz alınmıştır.

Başvuru numaranız: 2025-48291
Başvuru tarihi: 14.10.2025

Değerlendirme süreci yaklaşık 3-4 hafta sürmektedir.

İnsan Kaynakları
Acme Bilişim A.Ş. - 34394 Şişli/İstanbul
"""
    return k.message("Acme IK <ik@acme.com.tr>", None, text(t, "windows-1254", "quoted-printable"),
                     subject_raw=enc_word("Ba\u015fvurunuz al\u0131nd\u0131", "windows-1254", "Q"), style="outlook")


@mail("tr-osym-sinav-giris-belgesi.eml", "", "exam notice: candidate number, exam date and time, hall number, building code")
def _(k):
    h, t = page(k, "\u00d6SYM", [
        ("p", "Say\u0131n Aday,"),
        ("p", "2026-ALES/1 s\u0131nav giri\u015f belgeniz eri\u015fime a\u00e7\u0131lm\u0131\u015ft\u0131r."),
        ("rows", [("Aday No", "26104829137"), ("S\u0131nav tarihi", "10 May\u0131s 2026 Pazar, 10:15"), ("Bina", "Ankara \u00dcniversitesi Tando\u011fan (Bina Kodu 06041)"), ("Salon", "204")]),
    ], brand="#1b4f8c", css_kib=3, lang="tr", footer=["\u00d6SYM Ba\u015fkanl\u0131\u011f\u0131 06800 \u00c7ankaya/Ankara"], domain="osym.gov.tr")
    return k.message("OSYM <bilgi@osym.gov.tr>", None, alt(k, h, t), subject_raw=enc_word("S\u0131nav giri\u015f belgeniz haz\u0131r"), style="generic")


@mail("en-unsubscribe-confirmation.eml", "", "unsubscribe confirmation: list id digits, date")
def _(k):
    t = """You've been unsubscribed.

You will no longer receive marketing emails from Zara at mert.yilmaz@gmail.com (list 4829130). It may take up to 10 days for this change to take effect.

Changed your mind? Resubscribe: https://www.zara.com/tr/en/newsletter?lid=4829130

Inditex, S.A. Avenida de la Diputación, Edificio Inditex, 15143 Arteixo (A Coruña), Spain
"""
    return k.message("ZARA <newsletter@zara.com>", "You've been unsubscribed", text(t), style="gmail", tz="cet")


@mail("en-data-export-ready.eml", "", "data export ready: archive size, expiry date, link with ids")
def _(k):
    h, t = page(k, "Google Takeout", [
        ("h", "Your Google data is ready to download"),
        ("p", "Your export of 3 products (1.4 GB, 2 files) created on March 2, 2026 is ready. Download it before March 9, 2026."),
        ("btn", "Download your files", "https://takeout.google.com/settings/takeout/downloads?j=4a9b2c1d&i=0&user=104829130455"),
    ], brand="#ffffff", css_kib=5, footer=["\u00a9 2026 Google LLC, 1600 Amphitheatre Parkway, Mountain View, CA 94043"], domain="google.com")
    return k.message("Google Takeout <noreply-takeout@google.com>", "Your Google data is ready to download", alt(k, h, t), style="gmail", tz="pst")


@mail("de-termin-erinnerung.eml", "", "German appointment reminder: date, time, Berlin 10115, phone")
def _(k):
    t = """Guten Tag Frau Arslan,

wir erinnern Sie an Ihren Termin am Donnerstag, 12.03.2026 um 10:30 Uhr.

Praxis Dr. med. Weber
Invalidenstraße 42, 10115 Berlin
Tel. 030 28 49 13 0

Bitte bringen Sie Ihre Versichertenkarte mit. Absagen bitte bis 24 Stunden vorher.
"""
    return k.message("Praxis Dr. Weber <termine@praxis-weber.de>", None, text(t, "iso-8859-1", "quoted-printable"),
                     subject_raw=enc_word("Terminerinnerung 12.03.2026", "iso-8859-1", "Q"), style="generic", tz="cet")


@mail("es-factura-disponible.eml", "", "Spanish invoice available: invoice number, amount in euros, Madrid 28050")
def _(k):
    h, t = page(k, "Movistar", [
        ("h", "Tu factura ya est\u00e1 disponible"),
        ("rows", [("N.\u00ba de factura", "TA1B2025004812"), ("Periodo", "01/10/2025 - 31/10/2025"), ("Importe", "58,90 \u20ac"), ("Cargo en cuenta", "05/11/2025")]),
    ], brand="#019df4", css_kib=4, lang="es", footer=["Telef\u00f3nica de Espa\u00f1a, S.A.U. Ronda de la Comunicaci\u00f3n s/n, 28050 Madrid"], domain="movistar.es")
    return k.message("Movistar <facturas@movistar.es>", None, alt(k, recharset(h, "windows-1252"), t, charset="windows-1252"), subject_raw=enc_word("Tu factura de octubre", "iso-8859-1", "Q"), style="gmail", tz="cet")


@mail("fr-newsletter-soldes.eml", "", "French sale newsletter: percentages, prices, dates")
def _(k):
    h, t = page(k, "Decathlon", [
        ("h", "Soldes d'hiver : jusqu'\u00e0 -50 %"),
        ("rows", [("Veste de ski 500", "59,99 \u20ac (au lieu de 119,99 \u20ac)"), ("Chaussures Kiprun KS900", "89,99 \u20ac"), ("Tente 2 Seconds", "49,99 \u20ac")]),
        ("small", "Du 7 janvier au 3 f\u00e9vrier 2026, dans la limite des stocks disponibles."),
    ], brand="#3643ba", css_kib=6, lang="fr", footer=["Decathlon SE, 4 boulevard de Mons, 59650 Villeneuve d'Ascq"], domain="decathlon.fr")
    return k.message("Decathlon <news@newsletter.decathlon.fr>", None, alt(k, h, t), lists=True, subject_raw=enc_word("Soldes d'hiver : jusqu'\u00e0 -50 %"), style="gmail", tz="cet")


@mail("ru-newsletter-koi8r.eml", "", "Russian newsletter in KOI8-R: discounts, prices, dates")
def _(k):
    t = """Здравствуйте!

Только до 30 ноября: скидки до 50% на ноутбуки.

Ноутбук 15,6" — 54 990 руб. (было 69 990 руб.)
Смартфон 128 ГБ — 21 490 руб.

Адрес магазина: 125009, Москва, ул. Тверская, 7.
Телефон: 8 800 700-50-50
"""
    return k.message("M.Video <news@mvideo.ru>", None, text(t.replace("—", "-"), "koi8-r", "quoted-printable"),
                     subject_raw=enc_word("\u0421\u043a\u0438\u0434\u043a\u0438 \u0434\u043e 50%", "koi8-r", "B"), lists=True, style="yandex", tz="msk")


@mail("tr-fwd-inline-kargo-bildirimi.eml", "", "Turkish inline forward of a shipping notice; tracking and order numbers")
def _(k):
    t = ("Annecim kargo yarin geliyormus, kapida olur musun?\n\n"
         + forward_block("MNG Kargo <bilgi@mngkargo.com.tr>", "\u00c7ar, 4 Haz 2025 09:12", "G\u00f6nderiniz da\u011f\u0131t\u0131ma \u00e7\u0131kt\u0131", "<can.demir@yandex.com>", "tr")
         + "\n\n4819203756 takip numaral\u0131 g\u00f6nderiniz 05.06.2025 tarihinde da\u011f\u0131t\u0131ma \u00e7\u0131kacakt\u0131r.\nTeslimat aral\u0131\u011f\u0131: 09:00 - 13:00\n\u015eube: Ata\u015fehir (0216 456 00 00)\n")
    return k.message("Can Demir <can.demir@yandex.com>", None, text(t), subject_raw=enc_word("Fwd: G\u00f6nderiniz da\u011f\u0131t\u0131ma \u00e7\u0131kt\u0131"),
                     style="yandex", to="Annem <fatma.demir@gmail.com>")
