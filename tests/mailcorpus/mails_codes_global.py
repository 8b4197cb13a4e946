"""Code mails from international services (mostly English)."""

import datetime as dt

from mailkit import (mail, page, alt, text, htmlpart, multi, attachment, png_bytes, gif_bytes, addr,
                     enc_word, leaf)


@mail("github-device-verification.eml", "493817", "device check; alternative QP; IP and CA 94107 nearby")
def _(k):
    t = """Hey mertyilmaz94!

A sign in attempt requires further verification because we did not recognize your device. To complete the sign in, enter the verification code on the unrecognized device.

Device: Chrome on Windows
IP address: 88.230.144.27
Verification code: 493817

If you did not attempt to sign in to your account, your password may be compromised. Visit https://github.com/settings/security to create a new, strong password for your GitHub account.

If you'd like to automatically verify devices in the future, consider enabling two-factor authentication on your account. Visit https://docs.github.com/articles/configuring-two-factor-authentication to learn about two-factor authentication.

Thanks,
The GitHub Team

---
GitHub, Inc. - 88 Colin P Kelly Jr Street - San Francisco, CA 94107
"""
    h, _ = page(k, "GitHub", [
        ("p", "Hey mertyilmaz94!"),
        ("p", "A sign in attempt requires further verification because we did not recognize your device. To complete the sign in, enter the verification code on the unrecognized device."),
        ("rows", [("Device", "Chrome on Windows"), ("IP address", "88.230.144.27")]),
        ("p", "Verification code:"),
        ("code", "493817", "span"),
        ("p", "If you did not attempt to sign in to your account, your password may be compromised. Visit https://github.com/settings/security to create a new, strong password for your GitHub account."),
        ("p", "Thanks,\nThe GitHub Team"),
    ], brand="#24292f", css_kib=3.5, footer=["GitHub, Inc. \u30fb88 Colin P Kelly Jr Street \u30fbSan Francisco, CA 94107"], domain="github.com")
    body = alt(k, h, t)
    return k.message("GitHub <noreply@github.com>", "[GitHub] Please verify your device", body, tz="pst")


@mail("github-launch-code-plain.eml", "49201736", "8-digit launch code; plain text only, QP")
def _(k):
    t = """Here's your GitHub launch code, @deniz-aydin!

Continue signing up for GitHub by entering the code below:

49201736

Open GitHub: https://github.com/account_verifications/new?via_launch_code_email=true

Not able to enter the code? Paste the following link into your browser:
https://github.com/account_verifications/confirm/4f0b2a913c?launch_code=49201736

Thanks,
The GitHub Team

You're receiving this email because you recently created a new GitHub account. If this wasn't you, please ignore this email.

GitHub, Inc. \u30fb88 Colin P Kelly Jr Street \u30fbSan Francisco, CA 94107
"""
    return k.message("GitHub <noreply@github.com>", "\U0001F680 Your GitHub launch code",
                     text(t), subject_raw=enc_word("\U0001F680 Your GitHub launch code"), tz="pst")


@mail("google-verify-email-html-b64.eml", "582019", "HTML only, base64, 6 KiB style head, code in own cell; © 2025 and CA 94043")
def _(k):
    h, _ = page(k, "Google", [
        ("h", "Verify your email"),
        ("p", "Google received a request to use **deniz@aydin.dev** as a recovery email for Google Account **deniz.aydin.1993@gmail.com**."),
        ("p", "Use this code to finish setting up this recovery email:"),
        ("code", "582019", "cell"),
        ("p", "This code will expire in 24 hours."),
        ("p", "If you don't recognize **deniz.aydin.1993@gmail.com**, you can safely ignore this email."),
    ], brand="#1a73e8", css_kib=6, preheader="Use this code to finish setting up this recovery email",
        footer=["You received this email to let you know about important changes to your Google Account and services.",
                "\u00a9 2025 Google LLC, 1600 Amphitheatre Parkway, Mountain View, CA 94043, USA"], domain="accounts.google.com")
    return k.message("Google <no-reply@accounts.google.com>", "Email verification code: 582019",
                     htmlpart(h, cte="base64"), tz="pdt")


@mail("microsoft-security-code-7digit.eml", "8164032", "7-digit security code; Outlook delivery; WA 98052-6399 footer")
def _(k):
    blocks = [
        ("h", "Security code"),
        ("p", "Please use the following security code for the Microsoft account me*****@gmail.com."),
        ("p", "Security code: **8164032**"),
        ("p", "If you don't recognize the Microsoft account me*****@gmail.com, you can click https://account.live.com/dp?ft=-DgR2X9aBc to remove your email address from that account."),
        ("p", "Thanks,\nThe Microsoft account team"),
    ]
    h, t = page(k, "Microsoft account", blocks, brand="#2672ec", css_kib=2.5, mso=True, pixel=False,
                footer=["Privacy Statement: https://go.microsoft.com/fwlink/?LinkId=521839",
                        "Microsoft Corporation, One Microsoft Way, Redmond, WA 98052-6399"], domain="accountprotection.microsoft.com")
    return k.message("Microsoft account team <account-security-noreply@accountprotection.microsoft.com>",
                     "Microsoft account security code", alt(k, h, t, bstyle="outlook"), style="outlook", tz="utc")


@mail("apple-account-verify-related.eml", "731046", "multipart/related with inline logo; code as big paragraph; Cupertino CA 95014")
def _(k):
    h, _ = page(k, "Apple", [
        ("h", "Verify your email address."),
        ("p", "To verify your email address, enter this code in your web browser."),
        ("code", "731046", "p"),
        ("p", "Your email address has been used to create or update an Apple Account. If you did not make this change or you believe an unauthorised person has accessed your account, you should change your password as soon as possible from your Apple Account page at https://account.apple.com."),
        ("p", "Apple Support"),
    ], brand="#ffffff", css_kib=3, logo_src="cid:apple-logo@2x.png", pixel=False,
        footer=["Apple Account | Support | Privacy Policy", "Copyright \u00a9 2026 Apple Inc. One Apple Park Way, Cupertino, CA 95014, United States. All rights reserved."], domain="apple.com")
    body = multi("related", [htmlpart(h, cte="quoted-printable"),
                             attachment("image/png", "apple-logo@2x.png", png_bytes(k.rng, 2400), "inline", cid="apple-logo@2x.png")],
                 k.rng, "apple", extra_params='; type="text/html"')
    return k.message("Apple <appleid@id.apple.com>", "Verify your Apple Account email address.", body, tz="pdt")


@mail("amazon-otp-ses.eml", "417293", "Amazon OTP; SES ids; Seattle WA 98109; order-style numbers in footer")
def _(k):
    blocks = [
        ("p", "To verify your identity, please use the following code:"),
        ("code", "417293", "h1"),
        ("p", "Amazon takes your account security very seriously. Amazon will never email you and ask you to disclose or verify your Amazon password, credit card, or banking account number. If you receive a suspicious email with a link to update your account information, do not click on the link\u2014instead, report the email to Amazon for investigation."),
        ("p", "We hope to see you again soon."),
    ]
    h, t = page(k, "amazon", blocks, brand="#232f3e", css_kib=2.2,
                footer=["This email was sent from a notification-only address that cannot accept incoming email. Please do not reply to this message.",
                        "\u00a92025 Amazon.com, Inc. or its affiliates. Amazon and all related marks are trademarks of Amazon.com, Inc. or its affiliates. Amazon.com, Inc., 410 Terry Ave N, Seattle, WA 98109."], domain="amazon.com")
    return k.message('"Amazon.com" <account-update@amazon.com>', "Amazon password assistance",
                     alt(k, h, t), msgid_style="ses", tz="pst")


@mail("steam-guard-new-computer.eml", "F4K2Q", "5-char Steam Guard code after the account name with digits; PO Box 1688 WA 98009")
def _(k):
    t = """Dear canDemir1997,

Here is the Steam Guard code you need to login to account canDemir1997:

F4K2Q

This email was generated because of a login attempt from a web or mobile device located at 88.241.17.203 (TR). The login attempt included your correct account name and password.

The Steam Guard code is required to complete the login. No one can access your account without also accessing this email.

If you are not attempting to login then please change your Steam password, and consider changing your email password as well to ensure your account security.

If you are having trouble accessing your account then please reference this help article for assistance:
https://help.steampowered.com/en/wizard/HelpWithLoginInfo?reset=1

Cheers,
The Steam Team

This notification has been sent to the email address associated with your Steam account.
This email message was auto-generated. Please do not respond. If you need additional help, please visit Steam Support.

\u00a9 Valve Corporation. PO Box 1688 Bellevue, WA 98009. All rights reserved. All trademarks are property of their respective owners in the US and other countries.
"""
    return k.message("Steam Support <noreply@steampowered.com>", "Your Steam account: Access from new web or mobile device",
                     text(t, charset="utf-8", cte="quoted-printable"), style="gmail", tz="pst")


@mail("steam-guard-html-cell.eml", "7RG9N", "Steam Guard code in a big cell; HTML only QP; account name with year")
def _(k):
    h, _ = page(k, "STEAM", [
        ("p", "Hello zeynep_arslan2003,"),
        ("p", "Login code for your Steam account:"),
        ("code", "7RG9N", "cell"),
        ("p", "You are receiving this email because a sign-in attempt was made from a new device. Request made from: Ankara, Turkey, 2026 web browser session."),
        ("p", "If this wasn't you, change your password right away: https://store.steampowered.com/account/"),
    ], brand="#171a21", css_kib=5, footer=["\u00a9 Valve Corporation. All rights reserved. PO Box 1688, Bellevue, WA 98009"], domain="steampowered.com")
    return k.message("Steam <noreply@steampowered.com>", "Your Steam login code", htmlpart(h), tz="pst")


@mail("discord-verification-code.eml", "694102", "Discord code in div; San Francisco CA 94107 footer; blurple colours")
def _(k):
    h, t = page(k, "Discord", [
        ("h", "Hey elifkaya,"),
        ("p", "We received a request to change the email address on your Discord account. Here's your verification code:"),
        ("code", "694102", "div"),
        ("p", "This code will expire in 10 minutes. If you didn't request this, you can ignore this message, and please consider resetting your password."),
    ], brand="#5865f2", css_kib=4, footer=["Sent by Discord \u2022 check our blog https://discord.com/blog \u2022 @discord",
                                           "444 De Haro Street, Suite 200, San Francisco, CA 94107"], domain="discord.com")
    return k.message("Discord <noreply@discord.com>", "Your Discord verification code", alt(k, h, t), msgid_style="sendgrid", tz="pst")


@mail("epic-games-security-code-digits.eml", "846372", "each digit in its own table cell; © 2026 Epic Games, Cary NC 27518")
def _(k):
    h, _ = page(k, "Epic Games", [
        ("h", "Your security code"),
        ("p", "Hello burakozturk, here is the code you requested to sign in to your Epic Games account."),
        ("code", "846372", "digits"),
        ("p", "This code expires in 30 minutes. If you did not request this code, someone may be trying to access your account. We recommend that you change your password and enable two-factor authentication."),
    ], brand="#121212", css_kib=4.5, footer=["\u00a9 2026, Epic Games, Inc. All rights reserved. Epic, Epic Games, the Epic Games logo, Fortnite and Unreal Engine are trademarks or registered trademarks of Epic Games, Inc.",
                                             "Epic Games, Inc., Box 4700, 620 Crossroads Blvd., Cary, NC 27518, USA"], domain="epicgames.com")
    t = "Your security code\n\nHello burakozturk, here is the code you requested to sign in to your Epic Games account.\n\n846372\n\nThis code expires in 30 minutes.\n\n\u00a9 2026, Epic Games, Inc. Cary, NC 27518, USA\n"
    return k.message("Epic Games <help@acct.epicgames.com>", "Epic Games - Security Code", alt(k, h, t, cte_h="base64"), tz="est")


@mail("riot-signin-code-digit-cells.eml", "502418", "Riot sign-in code split over cells; HTML only base64; LA CA 90064")
def _(k):
    h, _ = page(k, "RIOT GAMES", [
        ("h", "Here's your sign-in code"),
        ("p", "Use this code to finish signing in to your Riot account. It expires in 10 minutes."),
        ("code", "502418", "digits"),
        ("p", "Didn't try to sign in? Someone may know your password. Change it now at https://account.riotgames.com."),
        ("small", "Region: EUW \u2022 Browser: Firefox 132 on Windows 11 \u2022 Time: 21:47 (UTC+03:00)"),
    ], brand="#eb0029", css_kib=7, preheader="Your code expires in 10 minutes",
        footer=["\u00a9 2025 Riot Games, Inc. 12333 W. Olympic Blvd, Los Angeles, CA 90064. VALORANT, League of Legends and all related logos are trademarks of Riot Games, Inc."], domain="riotgames.com")
    return k.message("Riot Games <noreply@mail.accounts.riotgames.com>", "Your Riot sign-in code", htmlpart(h, cte="base64"), tz="pst")


@mail("instagram-code-in-subject.eml", "738512", "code in subject and body; username with digits; Menlo Park CA 94025")
def _(k):
    h, t = page(k, "Instagram", [
        ("p", "Hi mert.yilmaz.94,"),
        ("p", "Someone tried to log in to your Instagram account. If this was you, please use the following code to confirm your identity:"),
        ("code", "738512", "p"),
        ("p", "If this wasn't you, please reset your password to secure your account."),
    ], brand="#ffffff", css_kib=3, footer=["from", "\u00a9 Instagram from Meta. Meta Platforms, Inc., 1601 Willow Road, Menlo Park, CA 94025",
                                           "This message was sent to mert.yilmaz@gmail.com and intended for mert.yilmaz.94. Not your account? Remove your email from this account."], domain="mail.instagram.com")
    return k.message("Instagram <security@mail.instagram.com>", "738512 is your Instagram code", alt(k, h, t), tz="pst")


@mail("facebook-login-code-8digit.eml", "59382041", "8-digit Facebook code; Menlo Park 94025; account id digits")
def _(k):
    h, t = page(k, "Facebook", [
        ("p", "Hi Selin,"),
        ("p", "We received a request to log in on Facebook with your email address. To complete the login, enter the following code:"),
        ("code", "59382041", "cell"),
        ("p", "If you didn't request this code, you can safely ignore this email. Someone else might have typed your email address by mistake."),
        ("small", "Account ID: 100089412573301"),
    ], brand="#1877f2", css_kib=3.5, footer=["This message was sent to selin.koc@icloud.com. To help keep your account secure, please don't forward this email.",
                                            "Meta Platforms, Inc., Attention: Community Support, 1 Meta Way, Menlo Park, CA 94025"], domain="facebookmail.com")
    return k.message("Facebook <security@facebookmail.com>", "Your Facebook login code", alt(k, h, t, cte_h="base64"), tz="pst")


@mail("x-confirmation-code-alnum.eml", "ry5h3k9m", "lower-case 8-char alphanumeric code in subject and body; San Francisco CA 94103")
def _(k):
    h, t = page(k, "X", [
        ("h", "Confirm your email address"),
        ("p", "There's one quick step you need to complete before creating your X account. Let's make sure this is the right email address for you \u2014 please confirm this is the right address to use for your new account."),
        ("p", "Please enter this verification code to get started on X:"),
        ("code", "ry5h3k9m", "h1"),
        ("p", "Verification codes expire after two hours."),
        ("p", "Thanks,\nX"),
    ], brand="#000000", css_kib=2.8, footer=["X Corp. 1355 Market Street, Suite 900 San Francisco, CA 94103"], domain="x.com")
    return k.message("X <verify@x.com>", "Your X confirmation code is ry5h3k9m", alt(k, h, t), tz="pst")


@mail("linkedin-code-subject.eml", "593027", "code in subject; Sunnyvale CA 94085; 'Software Engineer at Acme'")
def _(k):
    h, t = page(k, "LinkedIn", [
        ("p", "Hi Emre,"),
        ("p", "Your verification code is **593027**"),
        ("p", "Enter this code in the next 30 minutes to sign in. If you didn't try to sign in, we recommend that you change your password: https://www.linkedin.com/psettings/change-password"),
        ("small", "This email was intended for Emre \u00c7elik (Software Engineer at Acme Bilisim)"),
    ], brand="#0a66c2", css_kib=4, footer=["\u00a9 2025 LinkedIn Corporation, 1000 West Maude Avenue, Sunnyvale, CA 94085. LinkedIn and the LinkedIn logo are registered trademarks of LinkedIn."], domain="linkedin.com")
    return k.message("LinkedIn <security-noreply@linkedin.com>", "Here's your verification code 593027", alt(k, h, t), lists=True, tz="pst")


@mail("paypal-security-code-1999.eml", "280614", "PayPal code; 'Copyright © 1999-2025' and amounts in footer; HTML only base64")
def _(k):
    h, _ = page(k, "PayPal", [
        ("h", "Your security code"),
        ("p", "Hello Ay\u015fe \u015eahin,"),
        ("p", "Your PayPal security code is **280614**. It expires in 10 minutes. Don't share this code with anyone; we'll never call or email you to ask for it."),
        ("p", "Didn't request a code? Go to your PayPal account and change your password."),
        ("small", "Recent activity: payment of $19.99 USD to Spotify AB on 3 Oct 2025."),
    ], brand="#003087", css_kib=5.5, footer=["Help & Contact | Security | Apps",
                                             "Copyright \u00a9 1999-2025 PayPal, Inc. All rights reserved. PayPal Pte. Ltd. 5 Temasek Boulevard #09-01, Suntec Tower 5, Singapore 038985.",
                                             "PayPal RT000186:en_US(en-TR):1.0.0:9d1c1e2f9a0bb"], domain="paypal.com")
    return k.message("PayPal <service@paypal.com>", "Your PayPal security code", htmlpart(h, cte="base64"), tz="pst")


@mail("slack-confirmation-code-dash.eml", "ZXR4TK", "Slack-style code XXX-XXX, joined on the clipboard; San Francisco CA 94105")
def _(k):
    h, t = page(k, "slack", [
        ("h", "Confirm your email address"),
        ("p", "Your confirmation code is below \u2014 enter it in your open browser window and we'll help you get signed in."),
        ("code", "ZXR-4TK", "cell"),
        ("p", "If you didn't request this email, there's nothing to worry about \u2014 you can safely ignore it."),
    ], brand="#4a154b", css_kib=4, footer=["Made by Slack Technologies, LLC \u00b7 500 Howard Street \u00b7 San Francisco, CA 94105"], domain="slack.com")
    return k.message("Slack <no-reply@slack.com>", "Slack confirmation code: ZXR-4TK", alt(k, h, t), tz="pst")


@mail("notion-login-code.eml", "847201", "temporary login code; text part first in alternative")
def _(k):
    t = """Notion

Your temporary login code:

847201

You can also continue by clicking here:
https://www.notion.so/loginwithemail?state=Kf92bQw3_xPt0a&token=3b9e07aa7c1d48f0

If you didn't try to login, you can safely ignore this email.

Hint: You can set a permanent password in Settings & members -> My account.

Notion Labs, Inc., 2300 Harrison St, San Francisco, CA 94110
"""
    h, _ = page(k, "Notion", [
        ("p", "Your temporary login code:"),
        ("code", "847201", "pre"),
        ("btn", "Click here to log in with this magic link", "https://www.notion.so/loginwithemail?state=Kf92bQw3_xPt0a&token=3b9e07aa7c1d48f0"),
        ("p", "If you didn't try to login, you can safely ignore this email."),
        ("small", "Hint: You can set a permanent password in Settings & members \u2192 My account."),
    ], brand="#ffffff", css_kib=2, footer=["Notion Labs, Inc., 2300 Harrison St, San Francisco, CA 94110"], domain="mail.notion.so")
    return k.message("Notion Team <notify@mail.notion.so>", "Your temporary Notion login code is 847201", alt(k, h, t), tz="pst")


@mail("zoom-signin-code.eml", "284610", "Zoom sign-in code; support phone and San Jose CA 95113")
def _(k):
    h, t = page(k, "zoom", [
        ("p", "Hi Oguz,"),
        ("p", "Your verification code is:"),
        ("code", "284610", "span"),
        ("p", "This code will expire in 10 minutes. If you did not request this code, please contact support at +1.888.799.9666."),
    ], brand="#0b5cff", css_kib=3.5, footer=["Copyright \u00a92025 Zoom Communications, Inc. All rights reserved.", "55 Almaden Blvd, 6th Floor, San Jose, CA 95113"], domain="zoom.us")
    return k.message("Zoom <no-reply@zoom.us>", "Zoom: sign in verification code", alt(k, h, t), tz="pdt")


@mail("dropbox-security-code-plain.eml", "192847", "plain 7bit text; PO Box 77767 CA 94107")
def _(k):
    t = """Hi Deniz,

Someone is trying to sign in to your Dropbox account from a new device. To finish signing in, enter this security code:

192847

If this was you, enter the code above. If you don't recognize this activity, please reset your password right away: https://www.dropbox.com/forgot

Happy Dropboxing!
- The Dropbox Team

Dropbox, Inc., PO Box 77767, San Francisco, CA 94107
"""
    return k.message("Dropbox <no-reply@dropbox.com>", "Your Dropbox security code", text(t, "us-ascii", "7bit"), style="generic", tz="pst")


@mail("spotify-login-code.eml", "640281", "Spotify code; Stockholm postal code '111 53' looks like a split code")
def _(k):
    h, t = page(k, "Spotify", [
        ("h", "Your login code"),
        ("p", "Enter this code in the next 15 minutes to log in:"),
        ("code", "640281", "h1"),
        ("p", "If you didn't request this, you can ignore this email. Someone may have typed your email address by mistake."),
    ], brand="#1db954", css_kib=5, footer=["Get Spotify for: iPhone | iPad | Android | Other",
                                           "This message was sent to ayse.sahin@firma.com.tr. Spotify AB, Regeringsgatan 19, 111 53 Stockholm, Sweden"], domain="spotify.com")
    return k.message("Spotify <no-reply@spotify.com>", "Your Spotify login code", alt(k, h, t, cte_h="base64"), tz="cet")


@mail("netflix-signin-4digit.eml", "7204", "4-digit sign-in code in a cell; help phone 0800-621-6085")
def _(k):
    h, t = page(k, "NETFLIX", [
        ("h", "Enter this code to sign in"),
        ("code", "7204", "cell"),
        ("p", "Enter this code on the device where you're signing in. This code will expire in 15 minutes."),
        ("small", "Requested by: Safari on Mac, Istanbul, Turkey, 14:32 GMT+3"),
        ("p", "If you didn't request this code, we recommend that you change your password."),
    ], brand="#e50914", css_kib=5, footer=["Questions? Call 0800-621-6085", "Netflix International B.V. Karperstraat 8-10, 1075 KZ Amsterdam, Netherlands", "SRC: 9b7c21d4_e3a0_4e56_9f1a_223e8d0a1b55_tr-TR_TR_EVO"], domain="account.netflix.com")
    return k.message("Netflix <info@account.netflix.com>", "Your sign-in code", alt(k, h, t), tz="cet")


@mail("uber-4digit-plain.eml", "5821", "4-digit Uber code in a sentence; Amsterdam address 1076 HR")
def _(k):
    t = """Welcome back!

Your Uber account verification code is 5821.

Enter this code in the app to continue. It will expire in 10 minutes.

If you didn't request a code, you can ignore this email.

Uber B.V., Burgerweeshuispad 301, 1076 HR Amsterdam, Netherlands
"""
    return k.message("Uber <noreply@uber.com>", "Your Uber verification code", text(t, cte="7bit"), tz="cet")


@mail("airbnb-verification-code.eml", "613920", "code in subject and body; San Francisco CA 94103")
def _(k):
    h, t = page(k, "airbnb", [
        ("p", "Your Airbnb verification code is: **613920**"),
        ("p", "Don't share this code with anyone. Airbnb will never ask you for it."),
    ], brand="#ff5a5f", css_kib=3, footer=["Airbnb, Inc., 888 Brannan St, San Francisco, CA 94103"], domain="airbnb.com")
    return k.message("Airbnb <automated@airbnb.com>", "Your Airbnb verification code is 613920", alt(k, h, t), tz="pst")


@mail("coinbase-code-7digit.eml", "4710822", "7-digit code; BTC price and dollar amounts nearby")
def _(k):
    h, t = page(k, "coinbase", [
        ("h", "Verify it's you"),
        ("p", "Your Coinbase verification code is:"),
        ("code", "4710822", "cell"),
        ("p", "This code expires in 10 minutes. Coinbase will never call you or ask you to share this code."),
        ("small", "Bitcoin is trading at $67,412.33 (+2.4% in 24h). Your portfolio: $1,284.10."),
    ], brand="#0052ff", css_kib=4, footer=["Coinbase, Inc. 2025. Coinbase, Inc. 248 3rd St #434, Oakland, CA 94607"], domain="coinbase.com")
    return k.message("Coinbase <no-reply@coinbase.com>", "Your verification code", alt(k, h, t), tz="pst")


@mail("binance-confirm-login.eml", "904317", "code in div; IP, UTC time and device in a table")
def _(k):
    h, t = page(k, "BINANCE", [
        ("h", "Confirm Your Login"),
        ("p", "You are attempting to log in to your Binance account. Your verification code is:"),
        ("code", "904317", "div"),
        ("p", "The verification code will be valid for 30 minutes. Please do not share this code with anyone."),
        ("rows", [("Time", "2025-11-03 08:14:22 (UTC)"), ("Device", "Chrome V131.0.0.0 (Windows)"), ("IP", "185.23.114.8"), ("Location", "Istanbul, TR")]),
        ("small", "Don't recognize this activity? Please disable your account and contact customer support immediately. This is an automated message, please do not reply."),
    ], brand="#f0b90b", css_kib=6, footer=["Stay connected! \u00a9 2017 - 2025 Binance.com, All Rights Reserved.", "To stay secure, setup your phishing code here: https://www.binance.com/en/my/security/anti-phishing-code"], domain="binance.com")
    return k.message("Binance <do-not-reply@ses.binance.com>", "[Binance] Confirm Your Login", alt(k, h, t), msgid_style="ses", tz="utc")


@mail("binance-withdrawal-code.eml", "731508", "withdrawal code with amount 1,250.00 USDT and wallet address")
def _(k):
    h, t = page(k, "BINANCE", [
        ("h", "Withdrawal Verification"),
        ("p", "You have requested a withdrawal of **1,250.00 USDT** to address TQn9Y2khEsLJW1ChVWFMSMeRDow5KcbLSE (Network: TRX)."),
        ("p", "Verification code: **731508**"),
        ("p", "The verification code will be valid for 30 minutes. If you did not make this request, please lock your account immediately."),
        ("rows", [("Fee", "1.00 USDT"), ("Time", "2026-03-14 19:02:51 (UTC)")]),
    ], brand="#f0b90b", css_kib=5, footer=["\u00a9 2017 - 2026 Binance.com, All Rights Reserved."], domain="binance.com")
    return k.message("Binance <do-not-reply@ses.binance.com>", "[Binance] Withdrawal Verification Code - 2026-03-14 19:02:51(UTC)", alt(k, h, t), msgid_style="ses", tz="utc",
                     date=dt.datetime(2026, 3, 14, 19, 2, 53, tzinfo=dt.timezone.utc))


@mail("chatgpt-code-subject.eml", "381920", "code in subject and a large paragraph; San Francisco CA 94158")
def _(k):
    h, t = page(k, "OpenAI", [
        ("h", "Your ChatGPT code is 381920"),
        ("p", "Enter this temporary verification code to continue:"),
        ("code", "381920", "p"),
        ("p", "If you were not trying to log in to ChatGPT, please reset your password."),
        ("p", "Best,\nThe ChatGPT team"),
    ], brand="#ffffff", css_kib=3, footer=["OpenAI, 1455 3rd Street, San Francisco, CA 94158"], domain="tm.openai.com")
    return k.message("ChatGPT <noreply@tm.openai.com>", "Your ChatGPT code is 381920", alt(k, h, t), tz="pst")


@mail("battlenet-unlock-code-upper8.eml", "QH7ZK2MP", "8-char upper-case unlock code; ticket number and Irvine CA 92623")
def _(k):
    h, t = page(k, "BATTLE.NET", [
        ("h", "Battle.net Account Unlock"),
        ("p", "Greetings,"),
        ("p", "Your account was locked after several unsuccessful sign-in attempts. Use the unlock code below to regain access:"),
        ("code", "QH7ZK2MP", "span"),
        ("p", "If you contacted us about this lock, please mention ticket #48291034 in your reply."),
        ("p", "Regards,\nBlizzard Entertainment"),
    ], brand="#148eff", css_kib=4, footer=["Blizzard Entertainment, Inc. \u2022 P.O. Box 18979 \u2022 Irvine, CA 92623", "\u00a92025 Blizzard Entertainment, Inc. All rights reserved."], domain="battle.net")
    return k.message("Battle.net <noreply@battle.net>", "Your Battle.net Account Unlock Code", alt(k, h, t), tz="pst")


@mail("atlassian-code-lower-after-keyword.eml", "7xk2pq9m", "lower-case code after 'code:' while a 6-digit ticket id stands elsewhere")
def _(k):
    t = """Hi Can,

We received a request to sign in to Atlassian with this email address. Your one-time code: 7xk2pq9m

This code is valid for 10 minutes.

Your open Jira ticket SUP-204518 was updated on 12 Aug 2025. Reference 480213 has been attached to the request.

If you didn't try to sign in, you can ignore this email.

Cheers,
The Atlassian team

Atlassian Pty Ltd, Level 6, 341 George Street, Sydney NSW 2000, Australia
"""
    return k.message("Atlassian <noreply@id.atlassian.com>", "Your Atlassian sign-in code", text(t), tz="utc")


@mail("samsung-account-code-digits.eml", "305882", "digit cells; Korean postal code 16677 in footer")
def _(k):
    h, t = page(k, "Samsung account", [
        ("h", "Verification code"),
        ("p", "To continue, enter the verification code below on the screen where you requested it."),
        ("code", "305882", "digits", "305882"),
        ("p", "The code is valid for 30 minutes. If you didn't request this, someone may be trying to use your Samsung account."),
    ], brand="#1428a0", css_kib=3.5, footer=["Copyright \u00a9 1995-2026 Samsung. All Rights Reserved.", "Samsung Electronics Co., Ltd. 129, Samsung-ro, Yeongtong-gu, Suwon-si, Gyeonggi-do 16677, Korea"], domain="samsung.com")
    return k.message("Samsung account <sa.noreply@samsung-mail.com>", "[Samsung account] Verification code", alt(k, h, t), tz="utc")


@mail("playstation-verification-code.eml", "482093", "PSN code; San Mateo CA 94404; online ID with digits")
def _(k):
    h, t = page(k, "PlayStation", [
        ("p", "Hi Bora_1989,"),
        ("p", "Use this verification code to confirm it's you:"),
        ("code", "482093", "h1"),
        ("p", "The code expires in 15 minutes."),
    ], brand="#003791", css_kib=4, footer=["\u00a9 2025 Sony Interactive Entertainment LLC. 2207 Bridgepointe Pkwy, San Mateo, CA 94404"], domain="txn-email.playstation.com")
    return k.message("PlayStation <Sony@txn-email.playstation.com>", "PlayStation\u2122Network verification code", alt(k, h, t),
                     subject_raw=enc_word("PlayStation\u2122Network verification code", "utf-8", "Q"), tz="pst")


@mail("twitch-login-code.eml", "150937", "code next to a large-number stat line and timestamps")
def _(k):
    h, t = page(k, "twitch", [
        ("h", "Your Twitch Login Verification Code"),
        ("p", "Hey deniz_plays,"),
        ("p", "Here is your login verification code:"),
        ("code", "150937", "cell"),
        ("p", "This code will expire in 10 minutes. Someone tried to log in from Istanbul, Turkey at 23:08 on 2025-09-21."),
        ("small", "You've watched 1,248 hours this year. Follow your favourite streamers."),
    ], brand="#9146ff", css_kib=4, footer=["\u00a9 2025 Twitch, All Rights Reserved. 350 Bush Street, 2nd Floor, San Francisco, CA 94104"], domain="twitch.tv")
    return k.message("Twitch <no-reply@twitch.tv>", "Your Twitch Login Verification Code", alt(k, h, t), tz="pst")


@mail("bolt-code-4digit.eml", "4721", "4-digit code; Tallinn address 10113 and phone")
def _(k):
    h, t = page(k, "Bolt", [
        ("p", "Your Bolt code: **4721**"),
        ("p", "Enter it in the app to log in. Never share this code with anyone, including Bolt support."),
    ], brand="#34d186", css_kib=2.5, footer=["Bolt Technology O\u00dc, Vana-L\u00f5unas 15, 10134 Tallinn, Estonia. +372 640 9080"], domain="bolt.eu")
    return k.message("Bolt <noreply@bolt.eu>", "Your Bolt code", alt(k, h, t), tz="cet")


@mail("proton-code-text-only.eml", "096413", "code starting with 0; plain text; Geneva postal code")
def _(k):
    t = """Hello,

Your Proton verification code is: 096413

Enter it in the verification window to continue creating your account.
This code is valid for 15 minutes.

If you did not request this, please ignore this message.

Proton AG, Route de la Galaise 32, 1228 Plan-les-Ouates, Geneva, Switzerland
"""
    return k.message("Proton <no-reply@verify.proton.me>", "Proton Verification Code", text(t, cte="7bit", charset="us-ascii"), style="generic", tz="cet")


@mail("tr-forum-code-label-cell.eml", "662971", "code in a table beside its label cell ('Code:' | value)")
def _(k):
    raw = ('<table role="presentation" cellpadding="6" cellspacing="0" border="0" style="margin:16px 0"><tr>'
           '<td style="font-size:16px;color:#536471">Code:</td><td style="font-size:28px;font-weight:bold;color:#0f1419">662971</td>'
           '</tr><tr><td style="font-size:13px;color:#536471">Expires:</td><td style="font-size:13px;color:#536471">in 30 min</td></tr></table>')
    h, t = page(k, "Yemek Tarifleri Forum", [
        ("p", "Merhaba Zeynep,"),
        ("p", "Hesabini dogrulamak icin asagidaki kodu kullan."),
        ("raw", raw, "Code: 662971\nExpires: in 30 min"),
        ("small", "Forum uye no: 240117 - Kayit: 14.02.2026"),
    ], brand="#2b7a78", css_kib=2.5, lang="tr", footer=["Yemek Tarifleri Forum, Kadikoy 34710 Istanbul"], domain="yemektariflerforum.com")
    return k.message("Yemek Tarifleri Forum <noreply@yemektariflerforum.com>", "Dogrulama", alt(k, h, t, charset="us-ascii"), style="generic")
