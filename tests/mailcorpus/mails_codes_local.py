"""Code mails from Turkish senders, other languages and charsets, forwards and broken MIME."""

import datetime as dt

from mailkit import (mail, page, alt, text, htmlpart, multi, attachment, png_bytes, pdf_bytes, addr,
                     enc_word, leaf, recharset, forward_block, Part, rfc_date, TZ)


@mail("tr-garanti-otp-win1254-qp.eml", "318740", "windows-1254 QP alternative; phone 444 0 333, postal code 34340, customer no")
def _(k):
    cs = "windows-1254"
    h, t = page(k, "Garanti BBVA", [
        ("p", "Say\u0131n M\u00dc\u015eTER\u0130M\u0130Z,"),
        ("p", "Garanti BBVA \u0130nternet \u015eubesi'ne giri\u015f i\u00e7in tek kullan\u0131ml\u0131k \u015fifreniz: **318740**"),
        ("p", "Bu \u015fifre 3 dakika ge\u00e7erlidir. \u015eifrenizi banka personeli dahil hi\u00e7 kimseyle payla\u015fmay\u0131n\u0131z."),
        ("rows", [("M\u00fc\u015fteri No", "12845093"), ("\u0130\u015flem Zaman\u0131", "14.10.2025 09:41:07")]),
        ("small", "Bu i\u015flemi siz yapmad\u0131ysan\u0131z l\u00fctfen 444 0 333 numaral\u0131 Garanti BBVA M\u00fc\u015fteri \u0130leti\u015fim Merkezi'ni aray\u0131n\u0131z."),
    ], brand="#00a3e0", css_kib=4, lang="tr",
        footer=["T. Garanti Bankas\u0131 A.\u015e. Levent Nispetiye Mah. Aytar Cad. No:2 34340 Be\u015fikta\u015f/\u0130stanbul",
                "Ticaret Sicil No: 159422 \u2013 Mersis No: 0879001756600379"], domain="garantibbva.com.tr")
    body = alt(k, recharset(h, cs), t, charset=cs)
    return k.message(addr("Garanti BBVA", "bilgilendirme@garantibbva.com.tr"),
                     None, body, subject_raw=enc_word("Tek Kullan\u0131ml\u0131k \u015eifre", cs, "Q"), style="generic")


@mail("tr-akbank-split-code-iso88599-b64.eml", "613508", "code written '613 508'; ISO-8859-9 base64; card digits and phone 444 25 25")
def _(k):
    cs = "iso-8859-9"
    t = """Değerli Müşterimiz,

Akbank Mobil'de e-posta adresinizi doğrulamak için kullanacağınız doğrulama kodu:

613 508

Kod 5 dakika içinde geçerliliğini yitirecektir. Akbank hiçbir koşulda şifrenizi ya da doğrulama kodunuzu sormaz.

Kart No: 4355 **** **** 7710
Tarih: 02.03.2026 17:22

Akbank T.A.Ş. Sabancı Center 4. Levent 34330 Beşiktaş/İstanbul
Akbank Müşteri İletişim Merkezi: 444 25 25
"""
    h, _ = page(k, "Akbank", [
        ("p", "De\u011ferli M\u00fc\u015fterimiz,"),
        ("p", "Akbank Mobil'de e-posta adresinizi do\u011frulamak i\u00e7in kullanaca\u011f\u0131n\u0131z do\u011frulama kodu:"),
        ("code", "613 508", "cell"),
        ("p", "Kod 5 dakika i\u00e7inde ge\u00e7erlili\u011fini yitirecektir. Akbank hi\u00e7bir ko\u015fulda \u015fifrenizi ya da do\u011frulama kodunuzu sormaz."),
        ("rows", [("Kart No", "4355 **** **** 7710"), ("Tarih", "02.03.2026 17:22")]),
    ], brand="#dc0005", css_kib=5, lang="tr", footer=["Akbank T.A.\u015e. Sabanc\u0131 Center 4. Levent 34330 Be\u015fikta\u015f/\u0130stanbul", "Akbank M\u00fc\u015fteri \u0130leti\u015fim Merkezi: 444 25 25"], domain="akbank.com")
    body = alt(k, recharset(h, cs), t, charset=cs, cte_t="base64", cte_h="base64", bstyle="java")
    return k.message(addr("Akbank", "akbank@bilgi.akbank.com"), None, body,
                     subject_raw=enc_word("Akbank Do\u011frulama Kodu", cs, "B"), msgid_style="java", style="generic")


@mail("tr-ziraat-code-below-own-line.eml", "752904", "code on its own line below 'kod asagidadir'; UTF-8 base64 text; Ankara 06050 and 0850 phone")
def _(k):
    t = """Sayın Müşterimiz,

Ziraat Mobil uygulamasında e-posta adresinizi doğrulamak için kullanacağınız kod aşağıdadır:

752904

Bu kod 120 saniye geçerlidir. Bu işlemi siz başlatmadıysanız 0850 220 00 00 numaralı Müşteri İletişim Merkezimizi arayınız.

Saygılarımızla,
T.C. Ziraat Bankası A.Ş.
Hacı Bayram Mah. Atatürk Bulvarı No:8 06050 Altındağ/Ankara
www.ziraatbank.com.tr
"""
    return k.message(addr("Ziraat Bankas\u0131", "bilgilendirme@ziraatbank.com.tr", "utf-8", "B"),
                     None, text(t, cte="base64"), subject_raw=enc_word("E-posta Do\u011frulama", "utf-8", "B"), style="outlook")


@mail("tr-isbank-win1254-8bit.eml", "290415", "8bit windows-1254 text only; 'dogrulama kodunuz'; Levent 34330 and 0850 phone")
def _(k):
    t = """Değerli Müşterimiz,

İşCep'e yeni bir cihazdan giriş yapılmak isteniyor. İşleme devam etmek için doğrulama kodunuz: 290415

Cihaz: iPhone 15 Pro (iOS 18.1)
Tarih/Saat: 21.07.2025 23:14

Bu işlem size ait değilse lütfen şifrenizi değiştirin ve 0850 724 0 724 numaralı telefondan bize ulaşın.

Türkiye İş Bankası A.Ş.
İş Kuleleri 34330 Levent/İstanbul
"""
    return k.message(addr("T\u00fcrkiye \u0130\u015f Bankas\u0131", "iscep@isbank.com.tr", "windows-1254", "Q"), None,
                     text(t, charset="windows-1254", cte="8bit"),
                     subject_raw=enc_word("\u0130\u015fCep Giri\u015f Do\u011frulama", "windows-1254", "Q"), style="generic")


@mail("tr-yapikredi-8digit-html-iso88599.eml", "40917256", "8-digit code; HTML only ISO-8859-9 QP; phone 444 0 444 and card number")
def _(k):
    cs = "iso-8859-9"
    h, _ = page(k, "Yap\u0131 Kredi", [
        ("p", "Say\u0131n \u00d6ZT\u00dcRK,"),
        ("p", "World kart\u0131n\u0131zla yapaca\u011f\u0131n\u0131z internet al\u0131\u015fveri\u015fi i\u00e7in g\u00fcvenlik kodunuz:"),
        ("code", "40917256", "h1"),
        ("rows", [("\u0130\u015flem tutar\u0131", "2.149,00 TL"), ("\u0130\u015fyeri", "HEPSIBURADA.COM"), ("Kart", "5400 61** **** 3391")]),
        ("p", "Kodu kimseyle payla\u015fmay\u0131n\u0131z. Bilginiz d\u0131\u015f\u0131nda bir i\u015flem oldu\u011funu d\u00fc\u015f\u00fcn\u00fcyorsan\u0131z 444 0 444 numaral\u0131 telefonu arayabilirsiniz."),
    ], brand="#004b8d", css_kib=6, lang="tr", footer=["Yap\u0131 ve Kredi Bankas\u0131 A.\u015e. Yap\u0131 Kredi Plaza D Blok Levent 34330 \u0130stanbul", "\u00a9 2025 Yap\u0131 Kredi"], domain="yapikredi.com.tr")
    return k.message(addr("Yap\u0131 Kredi", "bilgi@yapikredi.com.tr", cs, "Q"), None, htmlpart(recharset(h, cs), cs, "quoted-printable"),
                     subject_raw=enc_word("World Kart G\u00fcvenlik Kodu", cs, "Q"), style="generic")


@mail("tr-edevlet-dogrulama-kodu.eml", "529174", "e-Devlet code; Alo 160, Golbasi 06830, Turksat address")
def _(k):
    h, t = page(k, "e-Devlet Kap\u0131s\u0131", [
        ("p", "Say\u0131n DEN\u0130Z AYDIN,"),
        ("p", "e-Devlet Kap\u0131s\u0131 ileti\u015fim bilgilerinizde e-posta adresinizi do\u011frulamak i\u00e7in a\u015fa\u011f\u0131daki do\u011frulama kodunu kullan\u0131n\u0131z."),
        ("p", "Do\u011frulama Kodu: **529174**"),
        ("p", "Bu i\u015flemi siz yapmad\u0131ysan\u0131z bu iletiyi dikkate almay\u0131n\u0131z. Sorular\u0131n\u0131z i\u00e7in ALO 160 hatt\u0131n\u0131 arayabilirsiniz."),
    ], brand="#c8102e", css_kib=3, lang="tr", footer=["T\u00fcrksat Uydu Haberle\u015fme Kablo TV ve \u0130\u015fletme A.\u015e. Konya Yolu 40. km G\u00f6lba\u015f\u0131 06830 Ankara", "\u00a9 2026 e-Devlet Kap\u0131s\u0131"], domain="turkiye.gov.tr")
    return k.message(addr("e-Devlet Kap\u0131s\u0131", "bilgilendirme@turkiye.gov.tr", "utf-8", "Q"), None, alt(k, h, t),
                     subject_raw=enc_word("e-Devlet Kap\u0131s\u0131 Do\u011frulama Kodu", "utf-8", "Q"), style="generic")


@mail("tr-turkcell-sifre-4digit.eml", "4827", "4-digit 'sifreniz' code; bill amount 349,90 TL and phone numbers beside it")
def _(k):
    h, t = page(k, "Turkcell", [
        ("p", "De\u011ferli Abonemiz,"),
        ("p", "Dijital Operat\u00f6r'e giri\u015f \u015fifreniz: **4827**"),
        ("p", "\u015eifreniz 3 dakika boyunca ge\u00e7erlidir."),
        ("small", "Son faturan\u0131z: 349,90 TL \u2013 Son \u00f6deme tarihi 27.11.2025. Hatt\u0131n\u0131z: 0532 *** ** 41"),
        ("small", "Turkcell M\u00fc\u015fteri Hizmetleri: 0532 532 00 00 \u2013 Turkcell K\u00fclli\u00e7esi, Aydinevler Mah. \u0130n\u00f6n\u00fc Cad. No:20 34854 Maltepe/\u0130stanbul"),
    ], brand="#ffc900", css_kib=4, lang="tr", footer=["\u00a9 2025 Turkcell \u0130leti\u015fim Hizmetleri A.\u015e."], domain="turkcell.com.tr")
    return k.message("Turkcell <bilgi@turkcell.com.tr>", "Dijital Operator Giris Sifresi", alt(k, h, t), style="generic")


@mail("tr-vodafone-split-dash-subject.eml", "902114", "code '902-114' in an ISO-8859-9 Q-encoded subject and body")
def _(k):
    cs = "iso-8859-9"
    t = """Değerli Vodafone Müşterimiz,

Vodafone Yanımda uygulamasına giriş için tek kullanımlık şifreniz: 902-114

Şifrenizi kimseyle paylaşmayınız. Vodafone çalışanları şifrenizi asla sormaz.

Vodafone Net İletişim Hizmetleri A.Ş., Büyükdere Cad. No:251 34398 Maslak/İstanbul
Müşteri Hizmetleri 542 0 542
"""
    return k.message(addr("Vodafone", "bilgi@vodafone.com.tr"), None, text(t, cs, "quoted-printable"),
                     subject_raw=enc_word("Tek kullan\u0131ml\u0131k \u015fifreniz 902-114", cs, "Q"), style="outlook")


def _trendyol_products(n, seed):
    names = ["Kad\u0131n Siyah Oversize Ba\u011fl\u0131 Sweatshirt", "Erkek Lacivert Slim Fit Kot Pantolon", "Philips Airfryer XL HD9270/90",
             "Apple AirPods Pro (2. Nesil) USB-C", "Samsung Galaxy A55 128 GB", "Stanley Klasik Termos 1 L", "Nike Air Force 1 '07",
             "Arzum Okka Minio T\u00fcrk Kahvesi Makinesi", "Xiaomi Redmi Buds 6 Active", "Madame Coco Nevresim Tak\u0131m\u0131 \u00c7ift Ki\u015filik",
             "Karaca Hatir Plus Kahve Makinesi", "Dyson V15 Detect Absolute", "Logitech MX Master 3S", "Ray-Ban RB2140 Wayfarer 50 mm",
             "Lego Technic 42151 Bugatti Bolide", "Anker PowerCore 20000 mAh", "Casio MTP-1302D-1A1VDF Kol Saati", "Tefal Ingenio 13 Par\u00e7a Tava Seti",
             "Bosch Serie 4 Bula\u015f\u0131k Makinesi SMS4HVI33T", "Levi's 501 Original Jean", "Adidas Samba OG", "Kiehl's Ultra Facial Cream 50 ml",
             "Pierre Cardin 3'l\u00fc Valiz Seti", "Mavi Erkek Ti\u015f\u00f6rt 0610014", "Koton Kad\u0131n Tr\u00e7 Ceket", "Vestel 55Q9900 55\" 139 Ekran",
             "JBL Tune 520BT Kulakl\u0131k", "Fakir Sal\u00f8 Blender", "Pa\u015fabah\u00e7e 6'l\u0131 Bardak", "Mudo Concept Keten G\u00f6mlek"]
    prices = ["1.299,90 TL", "849,99 TL", "4.499,00 TL", "8.999,00 TL", "15.749,00 TL", "1.189,00 TL", "4.199,99 TL", "3.299,00 TL",
              "899,90 TL", "1.049,00 TL", "2.599,00 TL", "27.999,00 TL", "3.749,00 TL", "6.890,00 TL", "2.499,99 TL", "1.399,00 TL",
              "2.050,00 TL", "3.129,90 TL", "18.499,00 TL", "2.999,95 TL", "4.399,00 TL", "2.450,00 TL", "5.999,00 TL", "299,99 TL",
              "1.599,99 TL", "24.999,00 TL", "1.999,00 TL", "1.749,00 TL", "189,90 TL", "999,95 TL"]
    olds = ["1.899,90 TL", "", "5.299,00 TL", "", "17.999,00 TL", "", "", "3.799,00 TL", "1.199,00 TL", "", "", "32.499,00 TL", "", "",
            "", "1.699,00 TL", "", "", "21.999,00 TL", "", "", "", "7.499,00 TL", "", "", "29.999,00 TL", "", "", "", ""]
    return [(names[(i + seed) % 30], prices[(i + seed) % 30], olds[(i + seed) % 30]) for i in range(n)]


@mail("tr-trendyol-code-large-html.eml", "618204", "~50 KiB HTML with 30 priced products after the code; QP alternative")
def _(k):
    h, t = page(k, "trendyol", [
        ("p", "Merhaba Elif,"),
        ("p", "Trendyol hesab\u0131na giri\u015f yapmak i\u00e7in do\u011frulama kodun:"),
        ("code", "618204", "cell"),
        ("p", "Bu kod 180 saniye ge\u00e7erlidir. Kodu kimseyle payla\u015fma."),
        ("hr",),
        ("h2", "Sana \u00f6zel se\u00e7tiklerimiz \u2013 Efsane Kas\u0131m'da %60'a varan indirim"),
        ("products", _trendyol_products(30, 3), "cdn.dsmcdn.com"),
        ("h2", "Son gezdiğin ürünler"),
        ("products", _trendyol_products(12, 21), "cdn.dsmcdn.com"),
        ("small", "Kampanya 11.11.2025 23:59'a kadar ge\u00e7erlidir. Kargo bedava 300 TL ve \u00fczeri."),
    ], brand="#f27a1a", css_kib=9, lang="tr", preheader="Giri\u015f kodun burada, ayr\u0131ca Efsane Kas\u0131m f\u0131rsatlar\u0131!",
        footer=["DSM Grup Dan\u0131\u015fmanl\u0131k \u0130leti\u015fim ve Sat\u0131\u015f Tic. A.\u015e. Maslak Mah. Eski B\u00fcy\u00fckdere Cad. No:1 34485 Sar\u0131yer/\u0130stanbul",
                "Mersis No: 0313055729000016 \u2013 \u00a9 2025 Trendyol", "Bu e-postay\u0131 almak istemiyorsan\u0131z abonelikten \u00e7\u0131kabilirsiniz."], domain="trendyol.com")
    return k.message("Trendyol <bilgi@trendyol.com>", None, alt(k, h, t), lists=True,
                     subject_raw=enc_word("Trendyol Do\u011frulama Kodu", "utf-8", "B"), style="gmail")


@mail("tr-hepsiburada-dash-split-code.eml", "734105", "code '73-41-05'; order number and prices in the same mail")
def _(k):
    h, t = page(k, "hepsiburada", [
        ("p", "Merhaba Burak,"),
        ("p", "Hesab\u0131na giri\u015f yapabilmen i\u00e7in do\u011frulama kodun: **73-41-05**"),
        ("p", "Kod 3 dakika sonra ge\u00e7ersiz olacak."),
        ("small", "Son sipari\u015fin: #4821093751 \u2013 Teslim edildi (1.049,00 TL)"),
    ], brand="#ff6000", css_kib=4, lang="tr", footer=["D-Market Elektronik Hizmetler ve Ticaret A.\u015e. Kuştepe Mah. Mecidiyeköy Yolu Cad. No:12 34387 \u015ei\u015fli/\u0130stanbul", "\u00a9 2026 Hepsiburada"], domain="hepsiburada.com")
    return k.message("Hepsiburada <noreply@hepsiburada.com>", "Giris dogrulama kodun", alt(k, h, t, cte_h="base64"), style="gmail")


@mail("tr-getir-kodun-4digit.eml", "3852", "informal 'kodun' with a 4-digit code; Sariyer 34485, basket amount")
def _(k):
    t = """Selam Zeynep,

Getir'e giriş kodun: 3852

Bu kodu kimseyle paylaşma. Getir çalışanları senden asla kod istemez.

Sepetinde 3 ürün seni bekliyor (toplam 287,45 TL).

Getir Perakende Lojistik A.Ş.
Etiler Mah. Tanburi Ali Efendi Sok. No:13 34337 Beşiktaş/İstanbul
"""
    h, _ = page(k, "getir", [("p", "Selam Zeynep,"), ("p", "Getir'e giri\u015f kodun:"), ("code", "3852", "h1"),
                             ("p", "Bu kodu kimseyle payla\u015fma. Getir \u00e7al\u0131\u015fanlar\u0131 senden asla kod istemez."),
                             ("small", "Sepetinde 3 \u00fcr\u00fcn seni bekliyor (toplam 287,45 TL).")],
                brand="#5d3ebc", css_kib=3, lang="tr", footer=["Getir Perakende Lojistik A.\u015e. Etiler Mah. Tanburi Ali Efendi Sok. No:13 34337 Be\u015fikta\u015f/\u0130stanbul"], domain="getir.com")
    return k.message("Getir <noreply@getir.com>", "Getir giris kodun", alt(k, h, t), style="gmail")


@mail("tr-yemeksepeti-code-below.eml", "471036", "code in its own cell under 'asagidaki kodu'; coupon percentages and minimum basket")
def _(k):
    h, t = page(k, "yemeksepeti", [
        ("p", "Merhaba Can,"),
        ("p", "Yemeksepeti hesab\u0131na giri\u015f yapmak i\u00e7in a\u015fa\u011f\u0131daki kodu kullanabilirsin:"),
        ("code", "471036", "cell"),
        ("p", "Kod 10 dakika ge\u00e7erli."),
        ("small", "Bu hafta sonu se\u00e7ili restoranlarda %25 indirim! Min. sepet tutar\u0131 150 TL."),
    ], brand="#ea004b", css_kib=5, lang="tr", footer=["Yemek Sepeti Elektronik \u0130leti\u015fim Perakende G\u0131da Lojistik A.\u015e. Re\u015fitpa\u015fa Mah. 34467 Sar\u0131yer/\u0130stanbul", "\u00a9 2001-2025 Yemeksepeti"], domain="yemeksepeti.com")
    return k.message("Yemeksepeti <noreply@yemeksepeti.com>", None, alt(k, h, t), subject_raw=enc_word("Yemeksepeti giri\u015f kodu"), style="gmail")


@mail("tr-sahibinden-code-listing-number.eml", "238561", "code beside a 10-digit listing number (Ilan No)")
def _(k):
    h, t = page(k, "sahibinden.com", [
        ("p", "Say\u0131n Kullan\u0131c\u0131m\u0131z,"),
        ("p", "1204583927 numaral\u0131 ilan\u0131n\u0131z\u0131 g\u00fcncellemek i\u00e7in g\u00fcvenlik kodunuz: **238561**"),
        ("rows", [("\u0130lan No", "1204583927"), ("\u0130lan Ba\u015fl\u0131\u011f\u0131", "Sahibinden 2018 Model Fiat Egea 1.4 Fire Easy 98.000 km"), ("Fiyat", "745.000 TL")]),
        ("p", "G\u00fcvenli\u011finiz i\u00e7in kodu kimseyle payla\u015fmay\u0131n\u0131z."),
    ], brand="#ffe800", css_kib=4, lang="tr", footer=["sahibinden.com \u2013 0850 222 44 44 \u2013 Maslak Mah. 34398 Sar\u0131yer/\u0130stanbul"], domain="sahibinden.com")
    return k.message("sahibinden.com <bilgilendirme@sahibinden.com>", "Guvenlik kodu", alt(k, h, t), style="generic")


@mail("tr-papara-code-with-account-no.eml", "771094", "code with a 10-digit account number and balance")
def _(k):
    t = """Merhaba Selin,

Papara hesabına yeni cihazdan giriş için doğrulama kodunuz 771094.

Papara No: 1823445566
Bakiye: 2.415,60 TL

Kodunuzu kimseyle paylaşmayın.

Papara Elektronik Para A.Ş. Esentepe Mah. 34394 Şişli/İstanbul
"""
    return k.message("Papara <noreply@papara.com>", "Papara dogrulama kodu", text(t), style="gmail")


@mail("tr-turktelekom-html-iso88599-b64.eml", "640275", "HTML only ISO-8859-9 base64; code in h1; service number 444 1 444")
def _(k):
    cs = "iso-8859-9"
    h, _ = page(k, "T\u00fcrk Telekom", [
        ("p", "Say\u0131n Abonemiz,"),
        ("p", "Online \u0130\u015flemler giri\u015finiz i\u00e7in tek kullan\u0131ml\u0131k \u015fifreniz a\u015fa\u011f\u0131dad\u0131r:"),
        ("code", "640275", "h1"),
        ("small", "Hizmet numaran\u0131z: 2126480193 \u2013 Destek: 444 1 444"),
    ], brand="#00aeef", css_kib=6, lang="tr", footer=["T\u00fcrk Telekomunikasyon A.\u015e. Turgut \u00d6zal Bulvar\u0131 06103 Aydınlıkevler/Ankara", "\u00a9 2025"], domain="turktelekom.com.tr")
    return k.message("Turk Telekom <bilgi@turktelekom.com.tr>", None, htmlpart(recharset(h, cs), cs, "base64"),
                     subject_raw=enc_word("Tek kullan\u0131ml\u0131k \u015fifre", cs, "B"), style="outlook")


@mail("tr-mhrs-dogrulama-kodu.eml", "318406", "code with appointment date and time nearby; ALO 182")
def _(k):
    t = """Sayın AYŞE ŞAHİN,

MHRS hesabınız için doğrulama kodunuz: 318406

Yaklaşan randevunuz: 12.03.2026 Perşembe 14:30 - Kardiyoloji, Ankara Şehir Hastanesi.

Randevu iptali ve bilgi için ALO 182'yi arayabilirsiniz.

T.C. Sağlık Bakanlığı
"""
    return k.message(addr("MHRS", "mhrs@saglik.gov.tr"), "MHRS Dogrulama Kodu", text(t, "utf-8", "base64"), style="generic")


@mail("tr-steam-guard-kodu.eml", "R7T2K", "Turkish Steam Guard mail with a 5-char code")
def _(k):
    h, t = page(k, "STEAM", [
        ("p", "Merhaba emrecelik06,"),
        ("p", "emrecelik06 hesab\u0131na giri\u015f yapmak i\u00e7in gereken Steam Guard kodu:"),
        ("code", "R7T2K", "cell"),
        ("p", "Bu e-posta, 176.88.41.19 IP adresindeki bir cihazdan (Bursa, T\u00fcrkiye) yap\u0131lan giri\u015f denemesi nedeniyle olu\u015fturuldu."),
        ("p", "Giri\u015f yapmaya \u00e7al\u0131\u015fm\u0131yorsan\u0131z l\u00fctfen Steam \u015fifrenizi de\u011fi\u015ftirin."),
    ], brand="#171a21", css_kib=4, lang="tr", footer=["\u00a9 Valve Corporation. PO Box 1688 Bellevue, WA 98009."], domain="steampowered.com")
    return k.message("Steam Destek <noreply@steampowered.com>", None, alt(k, h, t),
                     subject_raw=enc_word("Steam hesab\u0131n\u0131z: Yeni cihazdan eri\u015fim"), style="gmail", tz="pst")


@mail("tr-instagram-kod-subject.eml", "415862", "Turkish subject '415862 Instagram kodunuz'")
def _(k):
    h, t = page(k, "Instagram", [
        ("p", "Merhaba selin.koc_,"),
        ("p", "Birisi Instagram hesab\u0131na giri\u015f yapmaya \u00e7al\u0131\u015ft\u0131. Bu sensen, kimli\u011fini do\u011frulamak i\u00e7in a\u015fa\u011f\u0131daki kodu kullan:"),
        ("code", "415862", "p"),
        ("p", "Bu sen de\u011filsen \u015fifreni s\u0131f\u0131rla."),
    ], brand="#ffffff", css_kib=3, lang="tr", footer=["\u00a9 Meta'dan Instagram. Meta Platforms, Inc., 1601 Willow Road, Menlo Park, CA 94025"], domain="mail.instagram.com")
    return k.message("Instagram <security@mail.instagram.com>", None, alt(k, h, t),
                     subject_raw=enc_word("415862 Instagram kodunuz"), style="gmail", tz="pst")


@mail("tr-google-kod-b64-html.eml", "905127", "Turkish Google mail, HTML only base64, © year and CA 94043")
def _(k):
    h, _ = page(k, "Google", [
        ("h", "Do\u011frulama kodu"),
        ("p", "Google Hesab\u0131n\u0131zda oturum a\u00e7mak i\u00e7in bu kodu kullan\u0131n:"),
        ("code", "905127", "cell"),
        ("p", "Bu kodu siz istemediyseniz birisi hesab\u0131n\u0131za eri\u015fmeye \u00e7al\u0131\u015f\u0131yor olabilir. Bu kodu kimseyle payla\u015fmay\u0131n."),
    ], brand="#1a73e8", css_kib=6, lang="tr", footer=["\u00a9 2026 Google LLC, 1600 Amphitheatre Parkway, Mountain View, CA 94043, USA"], domain="accounts.google.com")
    return k.message("Google <no-reply@accounts.google.com>", None, htmlpart(h, cte="base64"),
                     subject_raw=enc_word("Google do\u011frulama kodu"), style="gmail", tz="pst")


@mail("tr-microsoft-guvenlik-kodu.eml", "731284", "Turkish Microsoft security code; Outlook delivery")
def _(k):
    h, t = page(k, "Microsoft hesab\u0131", [
        ("h", "G\u00fcvenlik kodu"),
        ("p", "L\u00fctfen el*****@outlook.com Microsoft hesab\u0131 i\u00e7in a\u015fa\u011f\u0131daki g\u00fcvenlik kodunu kullan\u0131n."),
        ("p", "G\u00fcvenlik kodu: **731284**"),
        ("p", "Te\u015fekk\u00fcrler,\nMicrosoft hesap ekibi"),
    ], brand="#2672ec", css_kib=2.5, lang="tr", pixel=False, footer=["Microsoft Corporation, One Microsoft Way, Redmond, WA 98052-6399"], domain="accountprotection.microsoft.com")
    return k.message("Microsoft hesap ekibi <account-security-noreply@accountprotection.microsoft.com>", None,
                     alt(k, h, t, bstyle="outlook"), subject_raw=enc_word("Microsoft hesab\u0131 g\u00fcvenlik kodu", "utf-8", "Q"), style="outlook", tz="utc")


@mail("tr-n11-ascii-no-diacritics.eml", "840217", "Turkish without diacritics; plain 7bit; order number and phone")
def _(k):
    t = """Merhaba Oguz Bey,

n11.com uyeliginize giris icin dogrulama kodunuz: 840217

Kodu kimseyle paylasmayiniz. Bu islemi siz yapmadiysaniz 0850 333 0 111 numarali musteri hizmetlerini arayiniz.

Acik siparisiniz: 20251104-77391 (kargoda)

n11.com - Dogan Elektronik Ticaret Bilisim Hizmetleri A.S. Kocatepe Mah. 34045 Bayrampasa/Istanbul
"""
    return k.message("n11.com <noreply@n11.com>", "Dogrulama Kodunuz", text(t, "us-ascii", "7bit"), style="generic")


@mail("tr-pazarama-alnum-code-below.eml", "K7M4QX", "upper-case 6-char code in its own cell under 'kodunuz asagidadir'; ISO-8859-9 QP HTML")
def _(k):
    cs = "iso-8859-9"
    h, _ = page(k, "Pazarama", [
        ("p", "Merhaba,"),
        ("p", "Pazarama hesab\u0131n\u0131za giri\u015f kodunuz a\u015fa\u011f\u0131dad\u0131r:"),
        ("code", "K7M4QX", "cell"),
        ("p", "Kod 5 dakika ge\u00e7erlidir."),
    ], brand="#6c3bff", css_kib=4, lang="tr", footer=["Pazarama \u2013 \u0130\u015f Kuleleri Kule 3, 34330 Levent/\u0130stanbul \u2013 \u00a9 2025"], domain="pazarama.com")
    return k.message("Pazarama <bilgi@pazarama.com>", "Giris kodunuz", htmlpart(recharset(h, cs), cs, "quoted-printable"), style="gmail")


@mail("tr-amazon-com-tr-otp.eml", "250713", "Turkish Amazon OTP; SES ids; Istanbul postal code")
def _(k):
    h, t = page(k, "amazon.com.tr", [
        ("p", "Kimli\u011finizi do\u011frulamak i\u00e7in l\u00fctfen \u015fu kodu kullan\u0131n:"),
        ("code", "250713", "h1"),
        ("p", "Amazon hesap g\u00fcvenli\u011finizi \u00e7ok ciddiye al\u0131r. Amazon sizden \u015fifrenizi, kredi kart\u0131 ya da banka hesap numaran\u0131z\u0131 asla e-posta ile istemez."),
    ], brand="#232f3e", css_kib=2.5, lang="tr", footer=["Amazon Turkey Perakende Hizmetleri Ltd. \u015eti., Esentepe Mah. B\u00fcy\u00fckdere Cad. No:201 34394 \u015ei\u015fli/\u0130stanbul"], domain="amazon.com.tr")
    return k.message('"Amazon.com.tr" <hesap-guncelleme@amazon.com.tr>', None, alt(k, h, t), msgid_style="ses",
                     subject_raw=enc_word("Amazon \u015fifre yard\u0131m\u0131"), style="gmail")


@mail("tr-qnb-code-with-pdf.eml", "883104", "multipart/mixed: alternative plus PDF contract; code after 'onay kodunuz'")
def _(k):
    h, t = page(k, "QNB", [
        ("p", "De\u011ferli M\u00fc\u015fterimiz,"),
        ("p", "Dijital Bankac\u0131l\u0131k S\u00f6zle\u015fmesi'ni onaylamak i\u00e7in onay kodunuz: **883104**"),
        ("p", "S\u00f6zle\u015fmenin bir kopyas\u0131 ekte yer almaktad\u0131r (S\u00f6zle\u015fme No: 2025/118342)."),
    ], brand="#5a2d82", css_kib=3, lang="tr", footer=["QNB Bank A.\u015e. Esentepe Mah. B\u00fcy\u00fckdere Cad. QNB Kule No:215 34394 \u015ei\u015fli/\u0130stanbul \u2013 0850 222 0 900"], domain="qnb.com.tr")
    body = multi("mixed", [alt(k, h, t), attachment("application/pdf", "Dijital_Bankacilik_Sozlesmesi.pdf", pdf_bytes(k.rng, 9000, "Sozlesme"))], k.rng)
    return k.message("QNB <bilgilendirme@qnb.com.tr>", "Sozlesme onay kodu", body, style="outlook")


@mail("tr-enabiz-code-8bit-utf8.eml", "628491", "8bit UTF-8 text; code after the word 'kodunuz' and a phone line")
def _(k):
    t = """Sayın Kullanıcı,

e-Nabız sistemine giriş için doğrulama kodunuz 628491'dir.

Bu kodu kimseyle paylaşmayınız. Destek hattı: 184

T.C. Sağlık Bakanlığı - 2025
"""
    return k.message("e-Nabiz <enabiz@saglik.gov.tr>", None, text(t, "utf-8", "8bit"),
                     subject_raw=enc_word("e-Nab\u0131z Do\u011frulama"), style="generic")


@mail("tr-defacto-wrong-charset-label.eml", "507931", "mislabeled: windows-1254 bytes declared ISO-8859-1 (Turkish letters come out wrong)")
def _(k):
    t = """Merhaba Elif Hanım,

DeFacto üyeliğinizi doğrulamak için kullanacağınız kod: 507931

Kod 10 dakika geçerlidir. Şimdi alışverişe başlayın, ilk siparişinize özel %20 indirim!

DeFacto Perakende Ticaret A.Ş. 34524 Beylikdüzü/İstanbul
"""
    body = leaf("text/plain", t, "windows-1254", "quoted-printable", label="iso-8859-1")
    return k.message("DeFacto <info@defacto.com.tr>", "Uyelik dogrulama kodu", body, style="gmail")


@mail("tr-koton-missing-close-boundary.eml", "218590", "broken: multipart/alternative without its closing boundary")
def _(k):
    h, t = page(k, "KOTON", [
        ("p", "Merhaba,"),
        ("p", "Koton hesab\u0131n\u0131za giri\u015f i\u00e7in do\u011frulama kodunuz: **218590**"),
        ("small", "Yeni sezon \u00fcr\u00fcnlerde sepette %30 indirim \u2013 30.11.2025'e kadar."),
    ], brand="#000000", css_kib=3, lang="tr", footer=["Koton Ma\u011fazac\u0131l\u0131k Tekstil San. ve Tic. A.\u015e. 34197 Bah\u00e7elievler/\u0130stanbul"], domain="koton.com")
    body = multi("alternative", [text(t), htmlpart(h)], k.rng, "java", close=False)
    return k.message("Koton <bilgi@koton.com>", "Dogrulama kodunuz", body, style="generic")


@mail("tr-lcw-truncated-base64.eml", "663017", "broken: base64 HTML part cut off mid-line, no closing boundary")
def _(k):
    h, _ = page(k, "LC Waikiki", [
        ("p", "Merhaba Deniz,"),
        ("p", "LC Waikiki hesab\u0131n\u0131 do\u011frulamak i\u00e7in kodun:"),
        ("code", "663017", "cell"),
        ("p", "Kod 3 dakika ge\u00e7erli."),
        ("products", _trendyol_products(9, 11), "img-lcwaikiki.mncdn.com"),
    ], brand="#004a98", css_kib=2, lang="tr", footer=["LC Waikiki Ma\u011fazac\u0131l\u0131k Hizmetleri Tic. A.\u015e."], domain="lcwaikiki.com")
    part = htmlpart(h, cte="base64")
    cut = int(len(part.body) * 0.72)
    part.body = part.body[:cut - (cut % 77) + 41]
    body = multi("mixed", [part], k.rng, "generic", close=False)
    return k.message("LC Waikiki <info@lcwaikiki.com>", "Dogrulama kodun", body, style="gmail")


@mail("tr-migros-charset-utf8-label.eml", "9036", "charset label 'utf8' (no dash); 4-digit Money code; prices")
def _(k):
    t = """Merhaba,

Migros Sanal Market'e giriş için tek kullanımlık kodunuz: 9036

Haftanın fırsatları: Süt 1 L 34,95 TL, Yumurta 30'lu 149,90 TL.

Migros Ticaret A.Ş. Atatürk Mah. Turgut Özal Bulvarı No:7 34758 Ataşehir/İstanbul
"""
    body = leaf("text/plain", t, "utf-8", "quoted-printable", label="utf8")
    return k.message("Migros <bilgi@migros.com.tr>", "Tek kullanimlik kod", body, style="gmail")


@mail("fwd-rfc822-microsoft-code.eml", "294730", "forwarded as message/rfc822 attachment with a short Turkish note")
def _(k):
    h, t = page(k, "Microsoft account", [
        ("h", "Security code"),
        ("p", "Please use the following security code for the Microsoft account mu*****@firma.com.tr."),
        ("p", "Security code: **294730**"),
        ("p", "Thanks,\nThe Microsoft account team"),
    ], brand="#2672ec", css_kib=2.5, pixel=False, footer=["Microsoft Corporation, One Microsoft Way, Redmond, WA 98052-6399"], domain="accountprotection.microsoft.com")
    inner = k.message("Microsoft account team <account-security-noreply@accountprotection.microsoft.com>",
                      "Microsoft account security code", alt(k, h, t, bstyle="outlook"), style="outlook", tz="utc",
                      to="muhasebe@firma.com.tr")
    note = text("Merhaba,\n\nSirket hesabina bu kod geldi, sen mi istedin? Saat 14:05'te geldi.\n\nAyse\n", cte="7bit", charset="us-ascii")
    fwd = Part(["Content-Type: message/rfc822", 'Content-Disposition: attachment; filename="Microsoft account security code.eml"'], inner)
    body = multi("mixed", [note, fwd], k.rng, "gmail")
    return k.message(addr("Ay\u015fe \u015eahin", "ayse.sahin@firma.com.tr", "utf-8", "B"), "Fwd: Microsoft account security code", body,
                     style="generic", msgid_style="gmail")


@mail("fwd-inline-gmail-epic-code.eml", "552091", "inline 'Forwarded message' block in a Gmail forward; times and dates in the header block")
def _(k):
    t = ("Bu kod benim hesabima mi ait? Ben bir sey istemedim.\n\n"
         + forward_block("Epic Games <help@acct.epicgames.com>", "Sat, Aug 9, 2025 at 9:14 PM", "Epic Games - Security Code", "<burak.ozturk@gmail.com>")
         + "\n\nYour security code\n\nHello burakozturk, here is the code you requested to sign in to your Epic Games account.\n\n552091\n\n"
           "This code expires in 30 minutes.\n\n\u00a9 2025, Epic Games, Inc. Box 4700, Cary, NC 27518, USA\n")
    hh = ('<div dir="ltr">Bu kod benim hesabima mi ait? Ben bir sey istemedim.<br><br><div class="gmail_quote"><div dir="ltr" class="gmail_attr">'
          '---------- Forwarded message ---------<br>From: <strong class="gmail_sendername" dir="auto">Epic Games</strong> <span dir="auto">&lt;<a href="mailto:help@acct.epicgames.com">help@acct.epicgames.com</a>&gt;</span><br>'
          'Date: Sat, Aug 9, 2025 at 9:14 PM<br>Subject: Epic Games - Security Code<br>To: &lt;<a href="mailto:burak.ozturk@gmail.com">burak.ozturk@gmail.com</a>&gt;<br></div><br><br>'
          '<div><table width="600" style="max-width:600px"><tr><td><h1 style="font-size:22px">Your security code</h1><p>Hello burakozturk, here is the code you requested to sign in to your Epic Games account.</p>'
          '<p style="font-size:32px;letter-spacing:6px;font-weight:bold">552091</p><p>This code expires in 30 minutes.</p>'
          '<p style="font-size:11px;color:#777777">\u00a9 2025, Epic Games, Inc. Box 4700, Cary, NC 27518, USA</p></td></tr></table></div></div></div>\n')
    body = multi("alternative", [text(t), htmlpart(hh)], k.rng, "gmail", quote=False)
    return k.message("Burak \u00d6zt\u00fcrk <burak.ozturk@gmail.com>", "Fwd: Epic Games - Security Code", body,
                     style="gmail", msgid_style="gmail", to="Mert Yilmaz <mert.yilmaz@gmail.com>")


@mail("fwd-outlook-original-aws-code.eml", "384016", "Outlook-style forward with 'From:/Sent:' block; AWS code; account id 12 digits")
def _(k):
    t = """Hi Can, can you enter this in the console? I'm on the road.

________________________________
From: Amazon Web Services <no-reply@signin.aws>
Sent: Monday, February 16, 2026 10:02 AM
To: ops@aydin.dev <ops@aydin.dev>
Subject: AWS Email Verification

Hello,

To finish signing in to the AWS Management Console, enter the following verification code:

Verification code: 384016

Account ID: 4829-1093-7715
This code expires 10 minutes after it was sent.

Amazon Web Services, Inc. is a subsidiary of Amazon.com, Inc. 410 Terry Avenue North, Seattle, WA 98109-5210
"""
    return k.message("Deniz Aydin <deniz@aydin.dev>", "FW: AWS Email Verification", text(t, "utf-8", "quoted-printable"),
                     style="outlook", to="Can Demir <can.demir@yandex.com>")


@mail("de-n26-bestaetigungscode-latin1.eml", "284019", "German, ISO-8859-1 QP; Berlin 10179 and phone")
def _(k):
    cs = "iso-8859-1"
    t = """Hallo Mert,

dein Bestätigungscode lautet: 284019

Gib den Code in der N26 App ein, um die Änderung deiner E-Mail-Adresse zu bestätigen. Der Code ist 15 Minuten gültig.

Du hast diese Änderung nicht angefordert? Dann kontaktiere bitte sofort unseren Support unter +49 30 364 286 880.

Viele Grüße
Dein N26 Team

N26 Bank SE, Voltairestraße 8, 10179 Berlin
Amtsgericht Charlottenburg HRB 170602 B
"""
    return k.message("N26 <no-reply@n26.com>", None, text(t, cs, "quoted-printable"),
                     subject_raw=enc_word("Dein N26 Best\u00e4tigungscode", cs, "Q"), style="generic", tz="cet")


@mail("de-zalando-anmeldecode.eml", "739102", "German HTML alternative; order number and Berlin postal code 10243")
def _(k):
    h, t = page(k, "Zalando", [
        ("p", "Hallo Zeynep,"),
        ("p", "hier ist dein Anmeldecode f\u00fcr Zalando:"),
        ("code", "739102", "cell"),
        ("p", "Der Code ist 10 Minuten g\u00fcltig. Bitte gib ihn niemals weiter."),
        ("small", "Deine letzte Bestellung 10105983412345 wurde am 03.10.2025 zugestellt."),
    ], brand="#ff6900", css_kib=4, lang="de", footer=["Zalando SE, Valeska-Gert-Stra\u00dfe 5, 10243 Berlin. Amtsgericht Charlottenburg HRB 158855 B"], domain="zalando.de")
    return k.message("Zalando <info@service-mail.zalando.de>", "Dein Anmeldecode", alt(k, h, t), style="gmail", tz="cet")


@mail("es-booking-codigo-latin1-b64.eml", "661402", "Spanish, ISO-8859-1 base64 alternative; reservation number nearby")
def _(k):
    cs = "iso-8859-1"
    h, t = page(k, "Booking.com", [
        ("p", "Hola Can:"),
        ("p", "Tu c\u00f3digo de verificaci\u00f3n es:"),
        ("code", "661402", "h1"),
        ("p", "Introduce este c\u00f3digo para iniciar sesi\u00f3n. Caduca en 10 minutos."),
        ("small", "Tu pr\u00f3xima reserva: 4012.583.991 \u2013 Hotel Arts Barcelona, 14\u201317 mayo 2026."),
    ], brand="#003580", css_kib=5, lang="es", footer=["Booking.com B.V., Oosterdokskade 163, 1011 DL \u00c1msterdam, Pa\u00edses Bajos"], domain="booking.com")
    return k.message("Booking.com <noreply@booking.com>", None, alt(k, recharset(h, cs), t, charset=cs, cte_t="base64", cte_h="base64"),
                     subject_raw=enc_word("Tu c\u00f3digo de verificaci\u00f3n", cs, "B"), style="gmail", tz="cet")


@mail("es-glovo-codigo-4digit.eml", "5173", "Spanish 4-digit access code; Barcelona 08005")
def _(k):
    t = """¡Hola!

Tu código de acceso a Glovo es 5173.

No lo compartas con nadie.

Glovoapp23, S.A., C/ Llull 108, 08005 Barcelona
"""
    return k.message("Glovo <no-reply@glovoapp.com>", None, text(t), subject_raw=enc_word("Tu c\u00f3digo de acceso"), style="gmail", tz="cet")


@mail("fr-doctolib-code-verification.eml", "406218", "French code; appointment time '10h30' and Levallois 92300")
def _(k):
    h, t = page(k, "Doctolib", [
        ("p", "Bonjour,"),
        ("p", "Votre code de v\u00e9rification : **406218**"),
        ("p", "Ce code est valable 10 minutes. Ne le communiquez \u00e0 personne."),
        ("small", "Rappel : rendez-vous le 12/02/2026 \u00e0 10h30 avec Dr Martin, 14 rue de la Paix, 75002 Paris."),
    ], brand="#107aca", css_kib=3.5, lang="fr", footer=["Doctolib SAS, 54 quai Charles Pasqua, 92300 Levallois-Perret"], domain="doctolib.fr")
    return k.message("Doctolib <no-reply@doctolib.fr>", None, alt(k, h, t), subject_raw=enc_word("Votre code de v\u00e9rification", "utf-8", "Q"),
                     style="gmail", tz="cet")


@mail("fr-amazon-code-usage-unique.eml", "823014", "French one-time code; Luxembourg L-1855 address")
def _(k):
    h, t = page(k, "amazon.fr", [
        ("p", "Pour v\u00e9rifier votre identit\u00e9, veuillez utiliser le code suivant :"),
        ("code", "823014", "h1"),
        ("p", "Ne communiquez jamais ce code. Amazon ne vous demandera jamais de le lui donner."),
    ], brand="#232f3e", css_kib=3, lang="fr", footer=["Amazon EU S.\u00e0 r.l., 38 avenue John F. Kennedy, L-1855 Luxembourg"], domain="amazon.fr")
    return k.message('"Amazon.fr" <compte-mise-a-jour@amazon.fr>', None, alt(k, h, t), msgid_style="ses",
                     subject_raw=enc_word("Votre code \u00e0 usage unique"), style="gmail", tz="cet")


@mail("ru-yandex-koi8r-b64.eml", "539018", "Russian KOI8-R base64; Moscow postal code 119021 is also six digits")
def _(k):
    cs = "koi8-r"
    t = """Здравствуйте!

Ваш код подтверждения: 539018

Введите его на странице входа. Код действует 10 минут. Никому не сообщайте этот код.

Если вы не запрашивали код, просто проигнорируйте это письмо.

С уважением,
Команда Яндекс ID

ООО «Яндекс», 119021, Москва, ул. Льва Толстого, 16
""".replace("«", '"').replace("»", '"')
    return k.message(addr("\u042f\u043d\u0434\u0435\u043a\u0441 ID", "noreply@id.yandex.ru", cs, "B"), None, text(t, cs, "base64"),
                     subject_raw=enc_word("\u041a\u043e\u0434 \u043f\u043e\u0434\u0442\u0432\u0435\u0440\u0436\u0434\u0435\u043d\u0438\u044f", cs, "B"),
                     style="yandex", tz="msk")


@mail("ru-vk-win1251-html-qp.eml", "742196", "Russian windows-1251 QP HTML; Moscow postal code 125167")
def _(k):
    cs = "windows-1251"
    h, _ = page(k, "VK ID", [
        ("p", "\u0417\u0434\u0440\u0430\u0432\u0441\u0442\u0432\u0443\u0439\u0442\u0435, \u041e\u0433\u0443\u0437!"),
        ("p", "\u0412\u0430\u0448 \u043a\u043e\u0434 \u0434\u043b\u044f \u0432\u0445\u043e\u0434\u0430 \u0432 VK ID:"),
        ("code", "742196", "cell"),
        ("p", "\u041d\u0438\u043a\u043e\u043c\u0443 \u043d\u0435 \u0441\u043e\u043e\u0431\u0449\u0430\u0439\u0442\u0435 \u044d\u0442\u043e\u0442 \u043a\u043e\u0434."),
    ], brand="#0077ff", css_kib=3, lang="ru", footer=["\u041e\u041e\u041e \u0412\u041a, 125167, \u0433. \u041c\u043e\u0441\u043a\u0432\u0430, \u041b\u0435\u043d\u0438\u043d\u0433\u0440\u0430\u0434\u0441\u043a\u0438\u0439 \u043f\u0440\u043e\u0441\u043f\u0435\u043a\u0442, 39, \u0441\u0442\u0440. 79"], domain="vk.com")
    return k.message("VK <admin@notify.vk.com>", None, htmlpart(recharset(h, cs), cs, "quoted-printable"),
                     subject_raw=enc_word("\u041a\u043e\u0434 \u0434\u043b\u044f \u0432\u0445\u043e\u0434\u0430", cs, "B"), style="yandex", tz="msk")


@mail("zh-gbk-yanzhengma-b64.eml", "835206", "Chinese GBK base64 with a GBK encoded-word subject; hotline 95188")
def _(k):
    cs = "gbk"
    t = """尊敬的用户：

您好！您正在进行邮箱验证，本次验证码为：835206

验证码5分钟内有效，请勿泄露给他人。如非本人操作，请忽略本邮件。

客服热线：95188
Copyright 2025 阿里巴巴集团 版权所有
"""
    return k.message(addr("\u963f\u91cc\u4e91", "noreply@service.aliyun.com", cs, "B"), None, text(t, cs, "base64"),
                     subject_raw=enc_word("\u90ae\u7bb1\u9a8c\u8bc1\u7801", cs, "B"), style="generic", tz="cst")
