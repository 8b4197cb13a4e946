"""Mails without a code: invoices, receipts, orders, shipping, bank and payment notices."""

import datetime as dt

from mailkit import (mail, page, alt, text, htmlpart, multi, attachment, png_bytes, pdf_bytes, addr,
                     enc_word, leaf, recharset, forward_block, Part)
from mails_codes_local import _trendyol_products


def _pdf_mail(k, h, t, fname, title, charset="utf-8"):
    return multi("mixed", [alt(k, h, t, charset=charset), attachment("application/pdf", fname, pdf_bytes(k.rng, k.rng.randint(7000, 16000), title))], k.rng)


@mail("tr-turkcell-fatura-pdf.eml", "", "invoice: Fatura No 2025000123456, amounts, due date, customer number; PDF attached")
def _(k):
    h, t = page(k, "Turkcell", [
        ("h", "Ekim 2025 faturan\u0131z haz\u0131r"),
        ("p", "Say\u0131n Elif Kaya, 0532 *** ** 41 numaral\u0131 hatt\u0131n\u0131za ait faturan\u0131z ekte yer almaktad\u0131r."),
        ("rows", [("Fatura No", "2025000123456"), ("M\u00fc\u015fteri No", "56001234"), ("Fatura D\u00f6nemi", "01.10.2025 - 31.10.2025"),
                  ("Fatura Tutar\u0131", "**349,90 TL**"), ("Son \u00d6deme Tarihi", "27.11.2025")]),
        ("p", "Faturan\u0131z\u0131 Turkcell Dijital Operat\u00f6r \u00fczerinden ya da 0532 532 00 00'\u0131 arayarak \u00f6deyebilirsiniz."),
    ], brand="#ffc900", css_kib=4, lang="tr", footer=["Turkcell \u0130leti\u015fim Hizmetleri A.\u015e. Aydinevler Mah. \u0130n\u00f6n\u00fc Cad. No:20 34854 Maltepe/\u0130stanbul", "Mersis No: 0876005235400017"], domain="turkcell.com.tr")
    return k.message("Turkcell e-Fatura <efatura@turkcell.com.tr>", None, _pdf_mail(k, h, t, "Fatura_2025000123456.pdf", "Fatura"),
                     subject_raw=enc_word("Ekim 2025 Faturan\u0131z"), style="generic")


@mail("tr-vodafone-efatura-iso88599.eml", "", "e-invoice in ISO-8859-9 QP; account number with dots, amount, period")
def _(k):
    cs = "iso-8859-9"
    t = """Değerli Müşterimiz,

Kasım 2025 dönemine ait e-faturanız oluşturulmuştur.

Hesap No       : 1.234.567.890
Fatura Tarihi  : 03.12.2025
Fatura Tutarı  : 412,35 TL
Son Ödeme      : 18.12.2025
Tarife         : Red Elite 40 GB

Faturanızın detaylarına Vodafone Yanımda uygulamasından ulaşabilirsiniz.

Vodafone Net İletişim Hizmetleri A.Ş. Büyükdere Cad. No:251 34398 Maslak/İstanbul
Müşteri Hizmetleri 542 0 542
"""
    return k.message(addr("Vodafone", "efatura@vodafone.com.tr"), None, text(t, cs, "quoted-printable"),
                     subject_raw=enc_word("Vodafone e-Fatura Bildirimi", cs, "Q"), style="outlook")


@mail("tr-turktelekom-internet-fatura.eml", "", "HTML only base64 bill: service number, period, amount, due date")
def _(k):
    h, _ = page(k, "T\u00fcrk Telekom", [
        ("h", "\u0130nternet faturan\u0131z"),
        ("rows", [("Hizmet No", "2126480193"), ("Fatura D\u00f6nemi", "Ekim 2025"), ("Tutar", "599,00 TL"), ("Son \u00d6deme Tarihi", "14.11.2025"),
                  ("Tarife", "Fiber 100 Mbps Limitsiz")]),
        ("btn", "Faturan\u0131 \u00f6de", "https://online.turktelekom.com.tr/fatura-odeme?hizmetNo=2126480193&ref=eml202510"),
        ("small", "Otomatik \u00f6deme talimat\u0131 verin, ayda 25 TL indirim kazan\u0131n."),
    ], brand="#00aeef", css_kib=7, lang="tr", footer=["T\u00fcrk Telekomunikasyon A.\u015e. Turgut \u00d6zal Bulvar\u0131 06103 Ayd\u0131nl\u0131kevler/Ankara", "444 1 444 \u2013 \u00a9 2025"], domain="turktelekom.com.tr")
    return k.message("Turk Telekom <fatura@turktelekom.com.tr>", None, htmlpart(h, cte="base64"),
                     subject_raw=enc_word("Ekim 2025 internet faturan\u0131z"), style="outlook")


@mail("tr-enerjisa-elektrik-faturasi.eml", "", "electricity bill: installation and contract numbers, kWh, amount")
def _(k):
    h, t = page(k, "Enerjisa", [
        ("p", "Say\u0131n Can Demir,"),
        ("p", "Kas\u0131m 2025 d\u00f6nemi elektrik faturan\u0131z d\u00fczenlenmi\u015ftir."),
        ("rows", [("Tesisat No", "4001234567"), ("S\u00f6zle\u015fme Hesap No", "1000234567"), ("T\u00fcketim", "212 kWh"),
                  ("Okuma Tarihi", "28.11.2025"), ("Tutar", "687,42 TL"), ("Son \u00d6deme", "12.12.2025")]),
        ("small", "Sorular\u0131n\u0131z i\u00e7in: 444 4 372"),
    ], brand="#00a651", css_kib=3.5, lang="tr", footer=["Enerjisa Enerji A.\u015e. Bar\u0131\u015f Man\u00e7o Cad. No:26 34746 Kozyata\u011f\u0131/\u0130stanbul"], domain="enerjisa.com.tr")
    return k.message("Enerjisa <e-fatura@enerjisa.com.tr>", "Elektrik Faturaniz", alt(k, h, t), style="generic")


@mail("tr-igdas-dogalgaz-faturasi.eml", "", "gas bill: subscriber number, m3, amount; text only base64")
def _(k):
    t = """Sayın Abonemiz,

10293847 numaralı tesisatınıza ait Kasım 2025 doğal gaz faturanız hazırdır.

Tüketim        : 184 m³
İlk endeks     : 004812
Son endeks     : 004996
Tutar          : 1.124,80 TL
Son ödeme      : 19.12.2025

Faturanızı İGDAŞ mobil uygulamasından ödeyebilirsiniz. Çağrı Merkezi: 187

İGDAŞ İstanbul Gaz Dağıtım San. ve Tic. A.Ş. 34570 Silivri/İstanbul
"""
    return k.message("IGDAS <efatura@igdas.com.tr>", "Dogal gaz faturaniz", text(t, "utf-8", "base64"), style="generic")


@mail("tr-iski-su-faturasi-win1254.eml", "", "water bill in 8bit windows-1254; meter readings that look like codes")
def _(k):
    t = """Sayın Abonemiz,

Sözleşme No: 3748291
Sayaç No   : 20-184736
Önceki okuma: 004512 (12.10.2025)
Son okuma   : 004529 (11.11.2025)
Tüketim     : 17 m³
Tutar       : 486,10 TL
Son ödeme   : 26.11.2025

Bu e-posta bilgilendirme amaçlıdır. İSKİ Çağrı Merkezi: 185

İSKİ Genel Müdürlüğü, Cumhuriyet Mah. 34381 Şişli/İstanbul
"""
    return k.message("ISKI <bilgi@iski.gov.tr>", None, text(t, "windows-1254", "8bit"),
                     subject_raw=enc_word("Su Faturan\u0131z", "windows-1254", "Q"), style="generic")


@mail("en-apple-receipt.eml", "", "receipt: upper-case Order ID MXQ7K2ZP9L and 12-digit document number, prices, Cork address")
def _(k):
    h, t = page(k, "Apple", [
        ("h", "Receipt"),
        ("rows", [("APPLE ACCOUNT", "burak.ozturk@gmail.com"), ("BILLED TO", "Visa .... 7710\nBurak \u00d6zt\u00fcrk\nBa\u011fdat Cad. 412/5\n34728 Kad\u0131k\u00f6y/\u0130stanbul"),
                  ("DATE", "Oct 14, 2025"), ("ORDER ID", "MXQ7K2ZP9L"), ("DOCUMENT NO.", "155920384712")]),
        ("rows", [("iCloud+ with 200 GB Storage (Monthly)", "$2.99"), ("Renews Nov 14, 2025", ""), ("Subtotal", "$2.99"), ("Tax", "$0.00"), ("TOTAL", "**$2.99**")]),
        ("p", "If you have any questions about your bill, visit Apple Support at https://support.apple.com/billing."),
    ], brand="#ffffff", css_kib=5, footer=["Apple Account | Terms of Sale | Privacy Policy", "Copyright \u00a9 2025 Apple Distribution International Ltd. Hollyhill Industrial Estate, Hollyhill, Cork, Republic of Ireland. VAT No. IE9700053D. All rights reserved."], domain="apple.com")
    return k.message("Apple <no_reply@email.apple.com>", "Your receipt from Apple.", alt(k, h, t), style="gmail", tz="pdt")


@mail("en-google-play-receipt.eml", "", "Google Play order number GPA.3312-4471-9982-10543 and subscription prices")
def _(k):
    h, t = page(k, "Google Play", [
        ("p", "Thank you. You've subscribed to YouTube Premium from Google Play."),
        ("rows", [("Order number", "GPA.3312-4471-9982-10543"), ("Order date", "Mar 3, 2026 9:12:40 PM GMT+3"), ("Item", "YouTube Premium (YouTube)"),
                  ("Price", "$13.99/month"), ("Tax", "$0.00"), ("Total", "$13.99/month"), ("Payment method", "Mastercard-4521")]),
        ("p", "You will be charged $13.99 every month until you cancel."),
    ], brand="#01875f", css_kib=5, footer=["\u00a9 2026 Google LLC 1600 Amphitheatre Parkway, Mountain View, CA 94043"], domain="google.com")
    return k.message("Google Play <googleplay-noreply@google.com>", "Your Google Play Order Receipt from Mar 3, 2026", alt(k, h, t), style="gmail", tz="pst")


@mail("en-steam-purchase-receipt.eml", "", "Steam receipt: 16-digit confirmation number, account name with year, prices")
def _(k):
    h, t = page(k, "STEAM", [
        ("h", "Thank you for your recent transaction on Steam."),
        ("rows", [("Account name", "canDemir1997"), ("Invoice", "4719283746152038"), ("Date issued", "25 Nov, 2025 @ 8:15pm +03"),
                  ("Payment method", "Visa")]),
        ("rows", [("Baldur's Gate 3", "$29.99"), ("Hades II", "$29.99"), ("Subtotal", "$59.98"), ("Total", "**$59.98**")]),
        ("p", "The items have been added to your library. Autumn Sale ends December 2 at 10am Pacific Time."),
    ], brand="#171a21", css_kib=5, footer=["\u00a9 Valve Corporation. PO Box 1688 Bellevue, WA 98009"], domain="steampowered.com")
    return k.message("Steam Store <noreply@steampowered.com>", "Thank you for your Steam purchase!", alt(k, h, t), style="gmail", tz="pst")


@mail("en-epic-receipt.eml", "", "Epic receipt: order number F2503221453290874, VAT amounts, years")
def _(k):
    h, t = page(k, "Epic Games", [
        ("h", "Thanks for your purchase!"),
        ("rows", [("Order Number", "F2503221453290874"), ("Order Date", "March 22, 2025"), ("Source", "Epic Games Store")]),
        ("rows", [("Fortnite - 2,800 V-Bucks", "\u20ac22.99"), ("VAT included", "\u20ac3.67"), ("Total", "**\u20ac22.99**")]),
    ], brand="#121212", css_kib=4, footer=["\u00a9 2025, Epic Games, Inc. Box 4700, 620 Crossroads Blvd., Cary, NC 27518"], domain="epicgames.com")
    return k.message("Epic Games Store <help@acct.epicgames.com>", "Your Epic Games Receipt F2503221453290874", alt(k, h, t), style="gmail", tz="est")


@mail("tr-spotify-makbuz.eml", "", "Turkish Spotify receipt, lira amounts and dates")
def _(k):
    h, t = page(k, "Spotify", [
        ("h", "Makbuzun"),
        ("p", "Merhaba Ay\u015fe, Spotify Premium \u00fcyeli\u011fin i\u00e7in te\u015fekk\u00fcrler."),
        ("rows", [("Plan", "Premium Bireysel"), ("Tarih", "14.09.2025"), ("Tutar", "\u20ba99,00"), ("\u00d6deme y\u00f6ntemi", "Mastercard **** 4521"),
                  ("Sonraki \u00f6deme", "14.10.2025")]),
    ], brand="#1db954", css_kib=5, lang="tr", footer=["Spotify AB, Regeringsgatan 19, 111 53 Stockholm, \u0130sve\u00e7"], domain="spotify.com")
    return k.message("Spotify <no-reply@spotify.com>", None, alt(k, h, t, cte_h="base64"), subject_raw=enc_word("Spotify Premium makbuzun"), style="gmail", tz="cet")


@mail("tr-netflix-odeme-alindi.eml", "", "payment received: amount 229,99 TL and next billing date")
def _(k):
    h, t = page(k, "NETFLIX", [
        ("h", "\u00d6demeniz al\u0131nd\u0131"),
        ("p", "Merhaba Mert, Standart plan \u00fcyeli\u011finiz i\u00e7in 229,99 TL tutar\u0131ndaki \u00f6demeniz al\u0131nm\u0131\u015ft\u0131r."),
        ("rows", [("Sonraki fatura tarihi", "14 Aral\u0131k 2025"), ("Plan", "Standart \u2013 2 ekran, 1080p")]),
    ], brand="#e50914", css_kib=4, lang="tr", footer=["Netflix International B.V. Karperstraat 8-10, 1075 KZ Amsterdam", "Sorular\u0131n\u0131z m\u0131 var? 0850 390 7444"], domain="account.netflix.com")
    return k.message("Netflix <info@account.netflix.com>", None, alt(k, h, t), subject_raw=enc_word("\u00d6demeniz al\u0131nd\u0131"), style="gmail", tz="cet")


@mail("en-amazon-order-confirmation.eml", "", "order confirmation: Order #112-4839201-5532817, items, prices, delivery date")
def _(k):
    h, t = page(k, "amazon", [
        ("h", "Thanks for your order, Deniz!"),
        ("p", "We'll let you know when your items ship."),
        ("rows", [("Order #", "112-4839201-5532817"), ("Arriving", "Thursday, November 13"), ("Ship to", "Deniz Aydin, 1200 Market St Apt 4B, San Francisco, CA 94102")]),
        ("rows", [("Anker USB C Charger 65W (Qty 1)", "$35.99"), ("Kindle Paperwhite 16 GB (Qty 1)", "$159.99"), ("Shipping", "FREE"), ("Tax", "$17.39"), ("Order Total", "**$213.37**")]),
        ("btn", "View or manage order", "https://www.amazon.com/gp/your-account/order-details?orderID=112-4839201-5532817&ref_=pe_2640190_1086"),
    ], brand="#232f3e", css_kib=6, footer=["\u00a92025 Amazon.com, Inc. or its affiliates. 410 Terry Ave N, Seattle, WA 98109"], domain="amazon.com")
    return k.message('"Amazon.com" <auto-confirm@amazon.com>', "Your Amazon.com order #112-4839201-5532817", alt(k, h, t), msgid_style="ses", style="gmail", tz="pst")


@mail("tr-trendyol-siparis-large.eml", "", "~50 KiB order mail: order number, many prices and percentages")
def _(k):
    h, t = page(k, "trendyol", [
        ("h", "Sipari\u015fin al\u0131nd\u0131!"),
        ("rows", [("Sipari\u015f No", "812734659"), ("Sipari\u015f Tarihi", "11.11.2025 00:14"), ("Teslimat Adresi", "Caferaga Mah. Moda Cad. No:48 D:7 34710 Kad\u0131k\u00f6y/\u0130stanbul"),
                  ("Toplam", "**3.649,89 TL**")]),
        ("products", _trendyol_products(3, 0), "cdn.dsmcdn.com"),
        ("hr",),
        ("h2", "Bunlar da ilgini \u00e7ekebilir"),
        ("products", _trendyol_products(27, 7), "cdn.dsmcdn.com"),
    ], brand="#f27a1a", css_kib=9, lang="tr", preheader="Sipari\u015fin haz\u0131rlan\u0131yor, tahmini teslimat 14 Kas\u0131m",
        footer=["DSM Grup Dan\u0131\u015fmanl\u0131k \u0130leti\u015fim ve Sat\u0131\u015f Tic. A.\u015e. 34485 Sar\u0131yer/\u0130stanbul", "\u00a9 2025 Trendyol"], domain="trendyol.com")
    return k.message("Trendyol <siparis@trendyol.com>", None, alt(k, h, t), lists=True,
                     subject_raw=enc_word("812734659 numaral\u0131 sipari\u015fin al\u0131nd\u0131"), style="gmail")


@mail("tr-hepsiburada-kargoya-verildi.eml", "", "shipped: 13-digit tracking number, order number, delivery window")
def _(k):
    h, t = page(k, "hepsiburada", [
        ("h", "Sipari\u015fin kargoya verildi"),
        ("rows", [("Sipari\u015f No", "4821093751"), ("Kargo Firmas\u0131", "HepsiJet"), ("Takip No", "7283940182734"), ("Tahmini Teslimat", "18 Mart \u2013 19 Mart")]),
        ("btn", "Kargom nerede?", "https://www.hepsiburada.com/siparislerim/takip?no=7283940182734"),
    ], brand="#ff6000", css_kib=5, lang="tr", footer=["D-Market Elektronik Hizmetler ve Ticaret A.\u015e. 34387 \u015ei\u015fli/\u0130stanbul", "\u00a9 2026 Hepsiburada"], domain="hepsiburada.com")
    return k.message("Hepsiburada <bilgi@hepsiburada.com>", None, alt(k, h, t), subject_raw=enc_word("Sipari\u015fin kargoya verildi"), style="gmail")


@mail("tr-yurtici-kargo-takip-kodu.eml", "", "hard: 'Kargo takip kodunuz: 3012847561' is a tracking code, not a sign-in code")
def _(k):
    t = """Sayın MERT YILMAZ,

ACME ELEKTRONIK tarafından gönderilen kargonuz yola çıkmıştır.

Kargo takip kodunuz: 3012847561
Çıkış şubesi: Gebze Transfer Merkezi
Varış şubesi: Kadıköy (0216 330 12 34)
Tahmini teslim: 05.06.2025

Gönderinizi https://www.yurticikargo.com/tr/online-servisler/gonderi-sorgula?code=3012847561 adresinden takip edebilirsiniz.

Yurtiçi Kargo Servisi A.Ş. - 444 99 99
"""
    return k.message("Yurtici Kargo <bilgilendirme@yurticikargo.com>", None, text(t),
                     subject_raw=enc_word("Kargonuz yola \u00e7\u0131kt\u0131"), style="generic")


@mail("tr-aras-kargo-teslim-edildi.eml", "", "delivered: shipment number, time 14:22, branch phone")
def _(k):
    h, t = page(k, "Aras Kargo", [
        ("p", "Say\u0131n Zeynep Arslan,"),
        ("p", "8471029365 numaral\u0131 g\u00f6nderiniz 22.04.2025 saat 14:22'de teslim edilmi\u015ftir."),
        ("rows", [("Teslim alan", "ZEYNEP ARSLAN"), ("\u015eube", "\u00c7ankaya / Ankara (0312 441 20 20)"), ("Par\u00e7a", "1 / 1"), ("Desi", "3")]),
    ], brand="#e30613", css_kib=3, lang="tr", footer=["Aras Kargo Yurti\u00e7i Yurtd\u0131\u015f\u0131 Ta\u015f\u0131mac\u0131l\u0131k A.\u015e. 444 25 52"], domain="araskargo.com.tr")
    return k.message("Aras Kargo <bilgi@araskargo.com.tr>", "Gonderiniz teslim edildi", alt(k, h, t, charset="utf-8"), style="generic")


@mail("tr-getir-siparis-fisi.eml", "", "grocery receipt: item prices, total 287,45 TL, order time")
def _(k):
    h, t = page(k, "getir", [
        ("h", "Sipari\u015fin teslim edildi"),
        ("rows", [("Pinar S\u00fct 1 L x2", "69,90 TL"), ("Eti Burcu 6'l\u0131", "42,50 TL"), ("Muz 1 kg", "79,95 TL"), ("Filiz Makarna 500 g x3", "65,10 TL"),
                  ("Getir indirimi", "-20,00 TL"), ("Teslimat \u00fccreti", "50,00 TL"), ("Toplam", "**287,45 TL**")]),
        ("small", "Sipari\u015f saati 19:42 \u2013 teslim 19:58. Kurye: Ahmet Y."),
    ], brand="#5d3ebc", css_kib=4, lang="tr", footer=["Getir Perakende Lojistik A.\u015e. 34337 Be\u015fikta\u015f/\u0130stanbul"], domain="getir.com")
    return k.message("Getir <noreply@getir.com>", None, alt(k, h, t), subject_raw=enc_word("Getir sipari\u015f \u00f6zetin"), style="gmail")


@mail("tr-yemeksepeti-siparis-onay.eml", "", "order confirmation: order number YS-48291037, restaurant phone, amounts")
def _(k):
    h, t = page(k, "yemeksepeti", [
        ("h", "Sipari\u015fin restorana iletildi"),
        ("rows", [("Sipari\u015f No", "YS-48291037"), ("Restoran", "Kofteci Yusuf \u2013 Ata\u015fehir (0216 456 78 90)"), ("Tahmini teslimat", "35-45 dk"),
                  ("Ara toplam", "412,00 TL"), ("Kupon", "-60,00 TL"), ("Toplam", "**352,00 TL**")]),
    ], brand="#ea004b", css_kib=5, lang="tr", footer=["Yemek Sepeti Elektronik \u0130leti\u015fim A.\u015e. 34467 Sar\u0131yer/\u0130stanbul"], domain="yemeksepeti.com")
    return k.message("Yemeksepeti <siparis@yemeksepeti.com>", None, alt(k, h, t), subject_raw=enc_word("Sipari\u015fin al\u0131nd\u0131"), style="gmail")


@mail("en-uber-trip-receipt.eml", "", "trip receipt: fare, distance, times, licence plate")
def _(k):
    h, t = page(k, "Uber", [
        ("h", "Thanks for riding, Oguz"),
        ("rows", [("Total", "**$23.47**"), ("Trip fare", "$18.20"), ("Booking Fee", "$2.85"), ("Tip", "$2.42"), ("Distance", "7.82 mi"), ("Duration", "21 min")]),
        ("p", "10:42 PM \u2013 1455 Market St, San Francisco, CA 94103\n11:03 PM \u2013 2100 Webster St, Oakland, CA 94612"),
        ("small", "You rode with Miguel (4.93) in a Toyota Camry, license plate 8ABC123."),
    ], brand="#000000", css_kib=5, footer=["Uber Technologies, 1725 3rd Street, San Francisco, CA 94158"], domain="uber.com")
    return k.message("Uber Receipts <noreply@uber.com>", "Your Tuesday evening trip with Uber", alt(k, h, t), style="gmail", tz="pst")


@mail("en-booking-confirmation-pin.eml", "", "hard: booking confirmation with 'PIN code: 7281' to manage the stay; not a sign-in code")
def _(k):
    h, t = page(k, "Booking.com", [
        ("h", "Your booking in Barcelona is confirmed"),
        ("rows", [("Confirmation number", "4012.583.991"), ("PIN code", "7281"), ("Check-in", "Thu 14 May 2026 (from 15:00)"),
                  ("Check-out", "Sun 17 May 2026 (until 12:00)"), ("Price", "\u20ac 642.60")]),
        ("p", "Hotel Arts Barcelona, Carrer de la Marina 19-21, 08005 Barcelona, Spain \u2013 +34 932 21 10 00"),
        ("small", "Your PIN code is confidential; you need it with the confirmation number to change or cancel your booking."),
    ], brand="#003580", css_kib=6, footer=["Booking.com B.V., Oosterdokskade 163, 1011 DL Amsterdam, Netherlands", "Copyright \u00a9 1996\u20132026 Booking.com"], domain="booking.com")
    return k.message("Booking.com <noreply@booking.com>", "Your booking is confirmed at Hotel Arts Barcelona", alt(k, h, t), style="gmail", tz="cet")


@mail("en-airbnb-reservation-code.eml", "", "hard: reservation 'Confirmation code HMQ4X8KZ2A' identifies a stay, not a sign-in")
def _(k):
    h, t = page(k, "airbnb", [
        ("h", "Your reservation is confirmed"),
        ("p", "You're going to Kapadokya! Check-in is Friday, Jun 12, 2026 after 3:00 PM."),
        ("rows", [("Confirmation code", "HMQ4X8KZ2A"), ("Guests", "2 adults"), ("Total (TRY)", "\u20ba18,450.00")]),
        ("p", "Address: Aydinli Mah. Cevizler Sok. No:7, 50180 G\u00f6reme/Nev\u015fehir"),
    ], brand="#ff5a5f", css_kib=5, footer=["Airbnb Ireland UC, 8 Hanover Quay, Dublin 2, D02 DP23, Ireland"], domain="airbnb.com")
    return k.message("Airbnb <automated@airbnb.com>", "Reservation confirmed for Kapadokya", alt(k, h, t), style="gmail", tz="cet")


@mail("en-paypal-sent-payment.eml", "", "payment sent: transaction id 8XK29384LM2039145 and $19.99")
def _(k):
    h, t = page(k, "PayPal", [
        ("h", "You sent a payment of $19.99 USD to Spotify AB"),
        ("rows", [("Transaction ID", "8XK29384LM2039145"), ("Transaction date", "October 3, 2025"), ("Amount", "$19.99 USD"), ("Funding", "Visa x-7710")]),
        ("small", "It may take a few moments for this transaction to appear in your account."),
    ], brand="#003087", css_kib=5, footer=["Copyright \u00a9 1999-2025 PayPal, Inc. All rights reserved. PayPal, Inc. 2211 North First Street, San Jose, CA 95131"], domain="paypal.com")
    return k.message("service@paypal.com", "Receipt for your payment to Spotify AB", alt(k, h, t), style="gmail", tz="pst")


@mail("tr-paypal-odeme-aldiniz.eml", "", "Turkish payment received: amounts in dollars, transaction id")
def _(k):
    h, t = page(k, "PayPal", [
        ("h", "\u00d6deme ald\u0131n\u0131z"),
        ("p", "John Miller size 150,00 USD \u00f6deme g\u00f6nderdi."),
        ("rows", [("\u0130\u015flem No", "5TW81049PX3341622"), ("Tarih", "19 Haziran 2025"), ("Not", "Logo design \u2013 invoice #2025-014")]),
    ], brand="#003087", css_kib=4, lang="tr", footer=["Telif Hakk\u0131 \u00a9 1999-2025 PayPal. T\u00fcm haklar\u0131 sakl\u0131d\u0131r."], domain="paypal.com")
    return k.message("PayPal <service@paypal.com.tr>", None, alt(k, h, t), subject_raw=enc_word("150,00 USD \u00f6deme ald\u0131n\u0131z"), style="gmail")


@mail("tr-garanti-hesap-ozeti-pdf.eml", "", "card statement: masked card number, period amounts, dates; PDF attached")
def _(k):
    h, t = page(k, "Garanti BBVA", [
        ("p", "Say\u0131n EMRE \u00c7EL\u0130K,"),
        ("p", "Bonus kart\u0131n\u0131za ait Kas\u0131m 2025 hesap \u00f6zetiniz ekte bilginize sunulmu\u015ftur."),
        ("rows", [("Kart No", "5400 **** **** 1234"), ("Hesap Kesim Tarihi", "25.11.2025"), ("Son \u00d6deme Tarihi", "05.12.2025"),
                  ("D\u00f6nem Borcu", "12.482,35 TL"), ("Asgari \u00d6deme Tutar\u0131", "4.992,94 TL"), ("Kazan\u0131lan Bonus", "184,20 TL")]),
        ("small", "Hesap \u00f6zeti \u015fifreniz, T.C. kimlik numaran\u0131z\u0131n ilk 6 hanesidir."),
    ], brand="#00a3e0", css_kib=4, lang="tr", footer=["T. Garanti Bankas\u0131 A.\u015e. 34340 Be\u015fikta\u015f/\u0130stanbul \u2013 444 0 333"], domain="garantibbva.com.tr")
    return k.message(addr("Garanti BBVA", "ekstre@garantibbva.com.tr"), None, _pdf_mail(k, h, t, "HesapOzeti_202511.pdf", "Hesap Ozeti", "windows-1254"),
                     subject_raw=enc_word("Kas\u0131m 2025 Hesap \u00d6zetiniz", "windows-1254", "Q"), style="generic")


@mail("tr-akbank-ekstre-win1254-b64.eml", "", "statement HTML in windows-1254 base64; IBAN and amounts")
def _(k):
    cs = "windows-1254"
    h, _ = page(k, "Akbank", [
        ("p", "De\u011ferli M\u00fc\u015fterimiz,"),
        ("p", "Vadesiz TL hesab\u0131n\u0131za ait Ekim 2025 hesap \u00f6zeti a\u015fa\u011f\u0131dad\u0131r."),
        ("rows", [("IBAN", "TR12 0004 6001 2388 8000 1234 56"), ("D\u00f6nem ba\u015f\u0131 bakiye", "8.214,07 TL"), ("Gelen", "52.300,00 TL"),
                  ("Giden", "49.871,42 TL"), ("D\u00f6nem sonu bakiye", "10.642,65 TL")]),
        ("small", "Akbank M\u00fc\u015fteri \u0130leti\u015fim Merkezi: 444 25 25"),
    ], brand="#dc0005", css_kib=5, lang="tr", footer=["Akbank T.A.\u015e. Sabanc\u0131 Center 34330 Be\u015fikta\u015f/\u0130stanbul"], domain="akbank.com")
    return k.message("Akbank <ekstre@akbank.com>", None, htmlpart(recharset(h, cs), cs, "base64"),
                     subject_raw=enc_word("Hesap \u00d6zeti \u2013 Ekim 2025", "utf-8", "B"), style="generic")


@mail("tr-ziraat-eft-bildirimi.eml", "", "transfer notice: IBAN, amount, 16-digit reference that contains a six-digit run")
def _(k):
    t = """Sayın CAN DEMİR,

Hesabınıza EFT ile para gelmiştir.

Gönderen     : ACME BILISIM YAZILIM LTD STI
Tutar        : 15.000,00 TL
Açıklama     : Kasim 2025 hakedis
Alıcı IBAN   : TR33 0001 0009 1234 5678 9012 34
İşlem Tarihi : 14.11.2025 10:48
İşlem Ref    : 2025111400482913

T.C. Ziraat Bankası A.Ş. - 0850 220 00 00
"""
    return k.message(addr("Ziraat Bankas\u0131", "bilgilendirme@ziraatbank.com.tr", "utf-8", "B"), "EFT Bildirimi", text(t, "utf-8", "quoted-printable"), style="outlook")


@mail("tr-isbank-maas-win1254-qp.eml", "", "salary notice: amounts, account number, date")
def _(k):
    t = """Değerli Müşterimiz,

1042-0384129 numaralı hesabınıza 14.08.2025 tarihinde 48.250,00 TL maaş ödemesi yatırılmıştır.

Güncel bakiye: 51.402,18 TL

Türkiye İş Bankası A.Ş.
"""
    return k.message(addr("\u0130\u015f Bankas\u0131", "bilgi@isbank.com.tr", "windows-1254", "Q"), None, text(t, "windows-1254", "quoted-printable"),
                     subject_raw=enc_word("Maa\u015f \u00f6demeniz hesab\u0131n\u0131zda", "windows-1254", "Q"), style="generic")


@mail("tr-yapikredi-worldpuan.eml", "", "campaign: points, percentages, dates, SMS short number and 'Kampanya kodu: WP2512-MRK' (a campaign code, not a verification code)")
def _(k):
    h, t = page(k, "Yap\u0131 Kredi", [
        ("h", "Market al\u0131\u015fveri\u015flerinize 250 TL'ye varan Worldpuan!"),
        ("p", "01.12.2025 - 31.12.2025 tarihleri aras\u0131nda World kartlar\u0131n\u0131zla yapaca\u011f\u0131n\u0131z her 1.500 TL ve \u00fczeri market harcamas\u0131na 50 TL, toplamda 250 TL Worldpuan."),
        ("p", "Kat\u0131lmak i\u00e7in MARKET yaz\u0131p 4454'e SMS g\u00f6nderin."),
        ("small", "Kampanya kodu: WP2512-MRK. Kampanyaya Yap\u0131 Kredi ticari kartlar dahil de\u011fildir."),
    ], brand="#004b8d", css_kib=7, lang="tr", footer=["Yap\u0131 ve Kredi Bankas\u0131 A.\u015e. 34330 Levent/\u0130stanbul \u2013 444 0 444", "\u00a9 2025"], domain="yapikredi.com.tr")
    return k.message("Yapi Kredi <kampanya@yapikredi.com.tr>", None, alt(k, h, t), lists=True,
                     subject_raw=enc_word("250 TL'ye varan Worldpuan f\u0131rsat\u0131"), style="generic")


@mail("en-binance-deposit-success.eml", "", "crypto deposit: amounts, long transaction hash, UTC time")
def _(k):
    h, t = page(k, "BINANCE", [
        ("h", "Deposit Successful"),
        ("p", "Your deposit of 0.0523 BTC is now available in your Binance account. Log in to check your balance."),
        ("rows", [("Network", "BTC"), ("TxID", "7f3c9a1e42b8d605ef1c2a7b93d04e58a6c1f2e39b7d4a0c85e6f13b2a9d7c40"), ("Time", "2025-07-02 11:38:09 (UTC)")]),
    ], brand="#f0b90b", css_kib=5, footer=["\u00a9 2017 - 2025 Binance.com, All Rights Reserved."], domain="binance.com")
    return k.message("Binance <do-not-reply@ses.binance.com>", "[Binance] BTC Deposit Confirmed - 2025-07-02 11:38:09(UTC)", alt(k, h, t), msgid_style="ses", style="gmail", tz="utc",
                     date=dt.datetime(2025, 7, 2, 11, 38, 12, tzinfo=dt.timezone.utc))


@mail("en-coinbase-received-eth.eml", "", "received crypto: amounts in ETH and dollars")
def _(k):
    h, t = page(k, "coinbase", [
        ("h", "You just received 0.01 ETH"),
        ("p", "You received 0.01 ETH ($38.12) from an external wallet. It's now in your Coinbase account."),
        ("small", "ETH price: $3,812.40. Network fee paid by sender."),
    ], brand="#0052ff", css_kib=4, footer=["Coinbase, Inc. 248 3rd St #434, Oakland, CA 94607"], domain="coinbase.com")
    return k.message("Coinbase <no-reply@coinbase.com>", "You received 0.01 ETH", alt(k, h, t), style="gmail", tz="pst")


@mail("tr-papara-bakiye-yukleme.eml", "", "top-up: amount, transaction number, time")
def _(k):
    t = """Merhaba Selin,

Papara hesabına 1.500,00 TL yüklendi.

İşlem No: 928374615
Tarih: 07.05.2025 13:02
Yeni bakiye: 2.415,60 TL

Papara Elektronik Para A.Ş.
"""
    return k.message("Papara <noreply@papara.com>", None, text(t), subject_raw=enc_word("Bakiye y\u00fcklemen ba\u015far\u0131l\u0131"), style="gmail")


@mail("tr-edevlet-basvuru-alindi.eml", "", "application received: application number 2025-0048291, dates, ALO 160")
def _(k):
    h, t = page(k, "e-Devlet Kap\u0131s\u0131", [
        ("p", "Say\u0131n BURAK \u00d6ZT\u00dcRK,"),
        ("p", "Adres de\u011fi\u015fikli\u011fi ba\u015fvurunuz al\u0131nm\u0131\u015ft\u0131r."),
        ("rows", [("Ba\u015fvuru No", "2025-0048291"), ("Ba\u015fvuru Tarihi", "03.09.2025 11:20"), ("Kurum", "N\u00fcfus ve Vatanda\u015fl\u0131k \u0130\u015fleri Genel M\u00fcd\u00fcrl\u00fc\u011f\u00fc")]),
        ("p", "Ba\u015fvurunuzun durumunu e-Devlet Kap\u0131s\u0131 \u00fczerinden takip edebilirsiniz."),
    ], brand="#c8102e", css_kib=3, lang="tr", footer=["T\u00fcrksat A.\u015e. G\u00f6lba\u015f\u0131 06830 Ankara \u2013 ALO 160"], domain="turkiye.gov.tr")
    return k.message(addr("e-Devlet Kap\u0131s\u0131", "bilgilendirme@turkiye.gov.tr", "utf-8", "Q"), None, alt(k, h, t),
                     subject_raw=enc_word("Ba\u015fvurunuz al\u0131nd\u0131", "utf-8", "Q"), style="generic")


@mail("tr-mhrs-randevu-olusturuldu.eml", "", "appointment: appointment number, date, time, room numbers")
def _(k):
    t = """Sayın SELİN KOÇ,

Randevunuz oluşturulmuştur.

Randevu No : 2025112345
Hastane    : Başakşehir Çam ve Sakura Şehir Hastanesi
Klinik     : Dermatoloji - Poliklinik 3, Kat 2
Hekim      : Dr. Öğr. Üyesi A. Yıldız
Tarih/Saat : 18.12.2025 Perşembe 09:40

Randevunuza gelemeyecekseniz en geç 24 saat önce iptal ediniz. ALO 182

T.C. Sağlık Bakanlığı
"""
    return k.message(addr("MHRS", "mhrs@saglik.gov.tr"), None, text(t, "utf-8", "base64"),
                     subject_raw=enc_word("Randevu Bilgilendirme"), style="generic")


@mail("de-telekom-rechnung.eml", "", "German invoice: Rechnung Nr. 2025-004812, customer number, euro amount, Bonn 53113")
def _(k):
    cs = "iso-8859-1"
    t = """Guten Tag Herr Yilmaz,

Ihre Rechnung für November 2025 ist da.

Rechnungsnummer: 2025-004812
Kundennummer:    4829103
Buchungskonto:   0192837465
Betrag:          39,95 €
Abbuchung am:    05.12.2025

Den Rechnungsbetrag buchen wir von Ihrem Konto IBAN DE89 3704 0044 0532 0130 00 ab.

Freundliche Grüße
Ihre Telekom

Telekom Deutschland GmbH, Landgrabenweg 151, 53227 Bonn
""".replace("€", "EUR")
    return k.message("Telekom <rechnung@telekom.de>", None, text(t, cs, "quoted-printable"),
                     subject_raw=enc_word("Ihre Telekom Rechnung f\u00fcr November 2025", cs, "Q"), style="generic", tz="cet")


@mail("es-pedido-confirmado.eml", "", "Spanish order: order number, euro amounts, Madrid 28046")
def _(k):
    h, t = page(k, "El Corte Ingl\u00e9s", [
        ("h", "\u00a1Gracias por tu pedido!"),
        ("rows", [("Pedido n.\u00ba", "408-2918374"), ("Fecha", "12/04/2025"), ("Entrega estimada", "15/04/2025 - 17/04/2025"), ("Total", "**79,90 \u20ac**")]),
        ("p", "Direcci\u00f3n de entrega: Paseo de la Castellana 95, 28046 Madrid"),
    ], brand="#00843d", css_kib=4, lang="es", footer=["El Corte Ingl\u00e9s, S.A. Hermosilla 112, 28009 Madrid. Tel. 901 122 122"], domain="elcorteingles.es")
    return k.message("El Corte Ingles <pedidos@elcorteingles.es>", None, alt(k, h, t), subject_raw=enc_word("Pedido confirmado 408-2918374"), style="gmail", tz="cet")


@mail("fr-commande-expediee.eml", "", "French shipped order: order number, amounts, Paris 75009, tracking")
def _(k):
    h, t = page(k, "Fnac", [
        ("h", "Votre commande a \u00e9t\u00e9 exp\u00e9di\u00e9e"),
        ("rows", [("Commande n\u00b0", "2025112000481"), ("Transporteur", "Colissimo"), ("Num\u00e9ro de suivi", "6A21948372615"), ("Total TTC", "129,99 \u20ac")]),
        ("p", "Livraison : 12 rue La Fayette, 75009 Paris"),
    ], brand="#e1a925", css_kib=4, lang="fr", footer=["Fnac Darty, 9 rue des Bateaux-Lavoirs, 94200 Ivry-sur-Seine"], domain="fnac.com")
    return k.message("Fnac <commande@fnac.com>", None, alt(k, h, t), subject_raw=enc_word("Votre commande a \u00e9t\u00e9 exp\u00e9di\u00e9e", "utf-8", "Q"), style="gmail", tz="cet")


@mail("ru-ozon-zakaz-win1251.eml", "", "Russian order in windows-1251: order number, rubles, Moscow 123112")
def _(k):
    cs = "windows-1251"
    t = """Здравствуйте, Олег!

Ваш заказ № 48291037-0012 оформлен.

Сумма: 2 499 руб.
Доставка: 14 ноября, пункт выдачи, Пресненская наб., 10, 123112 Москва
Телефон поддержки: 8 800 234-70-00

Спасибо, что выбрали Ozon!
"""
    return k.message("Ozon <noreply@sender.ozon.ru>", None, text(t, cs, "quoted-printable"),
                     subject_raw=enc_word("\u0417\u0430\u043a\u0430\u0437 \u2116 48291037-0012 \u043e\u0444\u043e\u0440\u043c\u043b\u0435\u043d", cs, "B"), style="yandex", tz="msk")


@mail("zh-gbk-order-shipped-qp.eml", "", "Chinese GBK QP HTML order notice: order number, yuan amount, phone")
def _(k):
    cs = "gbk"
    h, _ = page(k, "\u6dd8\u5b9d", [
        ("p", "\u4eb2\u7231\u7684\u7528\u6237\uff1a"),
        ("p", "\u60a8\u7684\u8ba2\u5355\u5df2\u53d1\u8d27\u3002"),
        ("rows", [("\u8ba2\u5355\u53f7", "8143920561823"), ("\u91d1\u989d", "\u00a5 128.00"), ("\u5feb\u9012\u5355\u53f7", "SF1402938475612"), ("\u5ba2\u670d\u7535\u8bdd", "95188")]),
    ], brand="#ff5000", css_kib=3, lang="zh", footer=["\u6dd8\u5b9d\u7f51 2025"], domain="taobao.com")
    return k.message("Taobao <service@mail.taobao.com>", None, htmlpart(recharset(h, cs), cs, "quoted-printable"),
                     subject_raw=enc_word("\u60a8\u7684\u8ba2\u5355\u5df2\u53d1\u8d27", cs, "B"), style="generic", tz="cst")


@mail("fwd-rfc822-invoice-to-accounting.eml", "", "forwarded invoice as message/rfc822: e-invoice number GIB2025000004812, amounts")
def _(k):
    h, t = page(k, "Bulut Yaz\u0131l\u0131m", [
        ("h", "e-Fatura"),
        ("rows", [("Fatura No", "GIB2025000004812"), ("ETTN", "3f2a9c1e-7b4d-4e58-a6c1-f2e39b7d4a0c"), ("Tarih", "30.09.2025"),
                  ("Mal/Hizmet Toplam", "10.000,00 TL"), ("KDV %20", "2.000,00 TL"), ("Genel Toplam", "**12.000,00 TL**")]),
        ("small", "Vergi Dairesi: Kad\u0131k\u00f6y \u2013 VKN 1234567890"),
    ], brand="#333366", css_kib=3, lang="tr", footer=["Bulut Yaz\u0131l\u0131m A.\u015e. 34746 Ata\u015fehir/\u0130stanbul"], domain="bulutyazilim.com.tr")
    inner = k.message("Bulut Yazilim <efatura@bulutyazilim.com.tr>", "e-Fatura GIB2025000004812", alt(k, h, t), style="generic",
                      to="deniz@aydin.dev")
    note = text("Merhaba,\n\nEylul faturasi ekte. Odemesi 15 Ekim'e kadar.\n\nDeniz\n", "us-ascii", "7bit")
    body = multi("mixed", [note, Part(["Content-Type: message/rfc822"], inner)], k.rng, "apple")
    return k.message("Deniz Aydin <deniz@aydin.dev>", "Fwd: e-Fatura GIB2025000004812", body, style="generic",
                     to="Muhasebe <muhasebe@firma.com.tr>")


@mail("fwd-inline-amazon-receipt.eml", "", "inline-forwarded receipt with order number and prices")
def _(k):
    t = ("Iade icin lazim olabilir, kaydet.\n\n"
         + forward_block("Amazon.com.tr <siparis@amazon.com.tr>", "Pzt, 17 Mar 2025 14:22", "Sipari\u015finiz: 403-8823719-2281134", "<selin.koc@icloud.com>", "tr")
         + "\n\nSipari\u015finiz i\u00e7in te\u015fekk\u00fcrler.\n\nSipari\u015f No: 403-8823719-2281134\nPhilips Airfryer XL HD9270/90  4.499,00 TL\nKargo  0,00 TL\nToplam  4.499,00 TL\n\n"
           "Teslimat: 19 Mart 2025 \u00c7ar\u015famba\nAdres: Ba\u011fdat Cad. 412/5 34728 Kad\u0131k\u00f6y/\u0130stanbul\n")
    return k.message("Selin Ko\u00e7 <selin.koc@icloud.com>", "Fwd: Sipari\u015finiz: 403-8823719-2281134", text(t),
                     subject_raw=enc_word("Fwd: Sipari\u015finiz: 403-8823719-2281134"), style="generic", to="Selin <selin.koc@icloud.com>")


@mail("tr-broken-receipt-missing-boundary.eml", "", "broken: receipt multipart without closing boundary; amounts and receipt number")
def _(k):
    h, t = page(k, "Starbucks", [
        ("h", "E-Fi\u015finiz"),
        ("rows", [("Fi\u015f No", "000482"), ("Z No", "0193"), ("Caff\u00e8 Latte Grande", "135,00 TL"), ("Cookie", "85,00 TL"), ("Toplam", "220,00 TL"),
                  ("Kazan\u0131lan y\u0131ld\u0131z", "44")]),
        ("small", "Starbucks Kad\u0131k\u00f6y Moda \u2013 0216 345 12 34 \u2013 28.09.2025 16:41"),
    ], brand="#00704a", css_kib=3, lang="tr", footer=["Starbucks Coffee T\u00fcrkiye \u2013 Alsea Gida 34394 \u015ei\u015fli/\u0130stanbul"], domain="starbucks.com.tr")
    body = multi("alternative", [text(t), htmlpart(h)], k.rng, "java", close=False)
    return k.message("Starbucks <e-fis@starbucks.com.tr>", "E-Fisiniz", body, style="generic")


@mail("tr-wrong-label-invoice.eml", "", "mislabeled: windows-1254 invoice declared us-ascii; invoice number and amounts")
def _(k):
    t = """Sayın Müşterimiz,

Fatura No: ABC2025000123456
Fatura Tarihi: 02.10.2025
Tutar: 1.299,90 TL (KDV dahil)
Vade: 16.10.2025

Teşekkür ederiz.
Kablonet - 0850 250 20 00
"""
    body = leaf("text/plain", t, "windows-1254", "8bit", label="us-ascii")
    return k.message("Kablonet <fatura@kablonet.com.tr>", "Faturaniz hazir", body, style="generic")


@mail("tr-thy-eticket-pnr.eml", "", "hard: e-ticket with 'Rezervasyon kodu (PNR): XK7M2Q', ticket number, flight times")
def _(k):
    h, t = page(k, "Turkish Airlines", [
        ("h", "Elektronik biletiniz"),
        ("rows", [("Rezervasyon kodu (PNR)", "XK7M2Q"), ("Bilet No", "235-2174839201"), ("Yolcu", "MR MERT YILMAZ"),
                  ("U\u00e7u\u015f", "TK2124 \u0130stanbul (IST) \u2192 \u0130zmir (ADB)"), ("Tarih", "21.03.2026 14:35 \u2013 15:45"), ("Bagaj", "20 kg"), ("Tutar", "2.340,00 TL")]),
        ("p", "Online check-in u\u00e7u\u015ftan 24 saat \u00f6nce a\u00e7\u0131l\u0131r."),
    ], brand="#c8102e", css_kib=6, lang="tr", footer=["T\u00fcrk Hava Yollar\u0131 A.O. Genel Y\u00f6netim Binas\u0131, Atat\u00fcrk Havaliman\u0131 34149 Ye\u015filk\u00f6y/\u0130stanbul \u2013 444 0 849"], domain="thy.com")
    return k.message("Turkish Airlines <noreply@thy.com>", None, alt(k, h, t), subject_raw=enc_word("Elektronik biletiniz - XK7M2Q"), style="gmail")


@mail("en-pegasus-booking-reference.eml", "", "hard: 'Booking reference (PNR): 8HD4KL', flight number and times")
def _(k):
    h, t = page(k, "Pegasus", [
        ("h", "Your booking is confirmed"),
        ("rows", [("Booking reference (PNR)", "8HD4KL"), ("Flight", "PC1172 Sabiha G\u00f6k\u00e7en (SAW) \u2192 Berlin (BER)"), ("Date", "04 Jul 2026, 06:15 - 08:05"),
                  ("Passenger", "Ms Zeynep Arslan"), ("Total", "\u20ac 148.99")]),
    ], brand="#fdc600", css_kib=5, footer=["Pegasus Hava Ta\u015f\u0131mac\u0131l\u0131\u011f\u0131 A.\u015e. Aeropark, Yenisehir Mah. 34912 Pendik/\u0130stanbul \u2013 0888 228 1212"], domain="flypgs.com")
    return k.message("Pegasus Airlines <noreply@flypgs.com>", "Booking confirmation 8HD4KL", alt(k, h, t), style="gmail")


@mail("tr-biletix-bilet.eml", "", "event ticket: ticket number, seat, date, time, price")
def _(k):
    h, t = page(k, "Biletix", [
        ("h", "Biletiniz haz\u0131r"),
        ("rows", [("Etkinlik", "Duman \u2013 Harbiye A\u00e7\u0131khava"), ("Tarih", "12 Temmuz 2025 Cumartesi 21:00"), ("Blok / S\u0131ra / Koltuk", "C / 14 / 27"),
                  ("Bilet No", "7710248193"), ("Tutar", "1.250,00 TL")]),
        ("p", "Kap\u0131lar 19:30'da a\u00e7\u0131lacakt\u0131r."),
    ], brand="#2b2d42", css_kib=4, lang="tr", footer=["Biletix \u2013 444 8 849"], domain="biletix.com")
    return k.message("Biletix <bilet@biletix.com>", None, alt(k, h, t), subject_raw=enc_word("Biletiniz haz\u0131r: Duman"), style="gmail")


@mail("tr-sigorta-police-yenileme.eml", "", "insurance renewal: policy number, premium, plate, dates")
def _(k):
    t = """Sayın Emre Çelik,

34 ABC 123 plakalı aracınızın kasko poliçesi 15.01.2026 tarihinde sona erecektir.

Poliçe No      : 123456789
Yenileme primi : 18.420,00 TL (9 taksit)
Teminat        : 1.250.000 TL

Yenilemek için 0850 222 0 850 numaralı hattı arayabilirsiniz.

Anadolu Anonim Türk Sigorta Şirketi, 34330 Beşiktaş/İstanbul
"""
    return k.message("Anadolu Sigorta <bilgi@anadolusigorta.com.tr>", None, text(t), subject_raw=enc_word("Kasko poli\u00e7eniz yenileniyor"), style="generic")


@mail("en-aws-billing-statement.eml", "", "cloud bill: 12-digit account id, dollar totals, month")
def _(k):
    t = """Greetings from Amazon Web Services,

This e-mail confirms that your latest billing statement is available on the AWS web site.

Account ID: 482910937715
Billing period: October 1 - October 31, 2025
Total: $12.84 USD

Amazon EC2     $8.31
Amazon S3      $1.02
Amazon Route 53 $3.51

Please see the Bills page for details: https://console.aws.amazon.com/billing/home#/bills?year=2025&month=10

Sincerely,
Amazon Web Services

Amazon Web Services, Inc. 410 Terry Avenue North, Seattle, WA 98109-5210
"""
    return k.message("Amazon Web Services <aws-billing@amazon.com>", "AWS Notification - Your Bill Is Available", text(t, "us-ascii", "7bit"),
                     msgid_style="ses", style="gmail", tz="pst")


@mail("en-github-sponsors-receipt.eml", "", "receipt: receipt number #6293011, amount, billing date, GitHub address")
def _(k):
    t = """We received payment for your GitHub Sponsors subscription. Thanks for your support!

Receipt #6293011
Date: 2026-02-01
Sponsoring: @sindresorhus
Tier: $5 a month
Total: $5.00 USD
Charged to: Visa (4242) 12/2027

GitHub, Inc. 88 Colin P Kelly Jr Street, San Francisco, CA 94107
"""
    return k.message("GitHub <noreply@github.com>", "[GitHub] Payment Receipt for deniz-aydin", text(t, cte="quoted-printable"), style="gmail", tz="pst")


@mail("tr-kredi-karti-son-odeme-hatirlatma.eml", "", "reminder: due amounts, dates, masked card, phone")
def _(k):
    h, t = page(k, "QNB", [
        ("p", "De\u011ferli M\u00fc\u015fterimiz,"),
        ("p", "5234 **** **** 0981 numaral\u0131 kart\u0131n\u0131z\u0131n son \u00f6deme tarihi 15.06.2025'tir."),
        ("rows", [("D\u00f6nem borcu", "6.712,40 TL"), ("Asgari \u00f6deme", "2.684,96 TL"), ("Gecikme faizi (ayl\u0131k)", "%4,55")]),
        ("small", "\u00d6deme yapt\u0131ysan\u0131z bu mesaj\u0131 dikkate almay\u0131n\u0131z. 0850 222 0 900"),
    ], brand="#5a2d82", css_kib=4, lang="tr", footer=["QNB Bank A.\u015e. 34394 \u015ei\u015fli/\u0130stanbul"], domain="qnb.com.tr")
    return k.message("QNB <bilgilendirme@qnb.com.tr>", None, alt(k, h, t), subject_raw=enc_word("Son \u00f6deme tarihi hat\u0131rlatmas\u0131"), style="outlook")
