"""Mails whose HTML does not come from the shared page template: Outlook- and Gmail-composed
bodies, old-school markup, long legal text before the code, and look-alike layouts where a
big number in its own cell is not a code."""

from mailkit import mail, page, alt, text, htmlpart, multi, attachment, pdf_bytes, addr, enc_word, Part


def _outlook_html(paras, cs="windows-1254"):
    body = "\n".join('<p class="MsoNormal">%s<o:p></o:p></p>' % p if p else '<p class="MsoNormal"><o:p>&nbsp;</o:p></p>' for p in paras)
    return """<html xmlns:v="urn:schemas-microsoft-com:vml" xmlns:o="urn:schemas-microsoft-com:office:office" xmlns:w="urn:schemas-microsoft-com:office:word" xmlns:m="http://schemas.microsoft.com/office/2004/12/omml" xmlns="http://www.w3.org/TR/REC-html40">
<head>
<meta http-equiv="Content-Type" content="text/html; charset=%s">
<meta name="Generator" content="Microsoft Word 15 (filtered medium)">
<style><!--
/* Font Definitions */
@font-face
	{font-family:"Cambria Math";
	panose-1:2 4 5 3 5 4 6 3 2 4;}
@font-face
	{font-family:Calibri;
	panose-1:2 15 5 2 2 2 4 3 2 4;}
@font-face
	{font-family:Aptos;}
/* Style Definitions */
p.MsoNormal, li.MsoNormal, div.MsoNormal
	{margin:0cm;
	font-size:11.0pt;
	font-family:"Aptos",sans-serif;
	mso-ligatures:standardcontextual;
	mso-fareast-language:EN-US;}
a:link, span.MsoHyperlink
	{mso-style-priority:99;
	color:#467886;
	text-decoration:underline;}
span.EmailStyle17
	{mso-style-type:personal-compose;
	font-family:"Aptos",sans-serif;
	color:windowtext;}
.MsoChpDefault
	{mso-style-type:export-only;
	font-size:11.0pt;
	mso-fareast-language:EN-US;}
@page WordSection1
	{size:612.0pt 792.0pt;
	margin:72.0pt 72.0pt 72.0pt 72.0pt;}
div.WordSection1
	{page:WordSection1;}
--></style><!--[if gte mso 9]><xml>
<o:shapedefaults v:ext="edit" spidmax="1026" />
</xml><![endif]--><!--[if gte mso 9]><xml>
<o:shapelayout v:ext="edit">
<o:idmap v:ext="edit" data="1" />
</o:shapelayout></xml><![endif]-->
</head>
<body lang="TR" link="#467886" vlink="#96607D" style="word-wrap:break-word">
<div class="WordSection1">
%s
</div>
</body>
</html>
""" % (cs, body)


@mail("tr-outlook-vpn-code-pairs.eml", "629184", "Outlook-composed HTML (MsoNormal), windows-1254 QP; code written in pairs '62 91 84'")
def _(k):
    cs = "windows-1254"
    paras = ["Merhaba Burak Bey,", "",
             "Kurumsal VPN cihaz kayd\u0131n\u0131z\u0131 tamamlamak i\u00e7in kay\u0131t kodunuz: <b>62 91 84</b>", "",
             "Kod 15 dakika ge\u00e7erlidir. Sorun ya\u015farsan\u0131z dahili 4410'dan bize ula\u015fabilirsiniz.", "",
             "Sayg\u0131lar\u0131mla,", "<b>Bilgi Teknolojileri Destek</b>", "Acme Bili\u015fim A.\u015e. | Esentepe Mah. B\u00fcy\u00fckdere Cad. No:185 34394 \u015ei\u015fli/\u0130stanbul",
             "T: +90 212 555 44 10 | F: +90 212 555 44 11"]
    t = "\n".join(p.replace("<b>", "").replace("</b>", "") for p in paras) + "\n"
    body = alt(k, _outlook_html(paras, cs), t, charset=cs, bstyle="outlook")
    return k.message(addr("BT Destek", "btdestek@acme.com.tr"), None, body, subject_raw=enc_word("VPN kay\u0131t kodu", cs, "Q"),
                     style="outlook", to="Burak \u00d6zt\u00fcrk <burak.ozturk@acme.com.tr>")


@mail("en-font-tag-use-code-subject.eml", "318204", "old-school HTML with <font size=5>; subject 'Use 318204 to sign in'")
def _(k):
    h = ("<html><body bgcolor=\"#FFFFFF\"><font face=\"Verdana\" size=\"2\">Hi Oguz,<br><br>Use the code below to sign in to Medium. "
         "It expires in 15 minutes.<br><br><center><font size=\"5\" color=\"#1A8917\"><b>318204</b></font></center><br><br>"
         "If you didn't try to sign in, you can safely ignore this email.<br><br>Medium, 548 Market St, PMB 13529, San Francisco, CA 94104"
         "</font></body></html>\n")
    t = "Hi Oguz,\n\nUse the code below to sign in to Medium. It expires in 15 minutes.\n\n318204\n\nIf you didn't try to sign in, you can safely ignore this email.\n\nMedium, 548 Market St, PMB 13529, San Francisco, CA 94104\n"
    return k.message("Medium <noreply@medium.com>", "Use 318204 to sign in to Medium", alt(k, h, t), style="gmail", tz="pst")


@mail("tr-halkbank-uppercase-ascii.eml", "448120", "upper-case ASCII text from an old banking system: 'DOGRULAMA KODUNUZ: 448120'")
def _(k):
    t = """SAYIN MUSTERIMIZ,

INTERNET BANKACILIGI GIRISINIZ ICIN DOGRULAMA KODUNUZ: 448120

BU KOD 180 SANIYE GECERLIDIR. KODUNUZU KIMSEYLE PAYLASMAYINIZ.
ISLEM TARIHI: 09.09.2025 11:47:03
MUSTERI NO: 40192837

TURKIYE HALK BANKASI A.S. - 0850 222 0 400
"""
    return k.message("HALKBANK <bilgilendirme@halkbank.com.tr>", "DOGRULAMA KODU", text(t, "us-ascii", "7bit"), style="generic")


_KVKK = ("Ki\u015fisel Verilerin Korunmas\u0131 Hakk\u0131nda Ayd\u0131nlatma Metni: T\u00fcrkiye Vak\u0131flar Bankas\u0131 T.A.O. olarak, 6698 say\u0131l\u0131 "
         "Ki\u015fisel Verilerin Korunmas\u0131 Kanunu (\"KVKK\") uyar\u0131nca veri sorumlusu s\u0131fat\u0131yla, ki\u015fisel verilerinizi a\u015fa\u011f\u0131da "
         "a\u00e7\u0131klanan kapsamda i\u015fleyebilece\u011fimizi bildiririz. Ki\u015fisel verileriniz; bankac\u0131l\u0131k hizmetlerinin sunulabilmesi, "
         "5411 say\u0131l\u0131 Bankac\u0131l\u0131k Kanunu, 5549 say\u0131l\u0131 Su\u00e7 Gelirlerinin Akland\u0131r\u0131lmas\u0131n\u0131n \u00d6nlenmesi Hakk\u0131nda Kanun "
         "ve ilgili mevzuattan kaynaklanan y\u00fck\u00fcml\u00fcl\u00fcklerin yerine getirilebilmesi amac\u0131yla i\u015flenmektedir. ")


@mail("tr-vakifbank-code-after-long-legal-text.eml", "870352", "plain text where about 3 KiB of legal text comes before the code line")
def _(k):
    t = ("Değerli Müşterimiz,\n\n" + "\n\n".join([_KVKK] * 4) +
         "\n\nKVKK kapsamındaki haklarınız için www.vakifbank.com.tr/kvkk adresini ziyaret edebilirsiniz.\n\n"
         "VakıfBank Mobil cihaz doğrulaması için tek kullanımlık şifreniz: 870352\n\n"
         "Türkiye Vakıflar Bankası T.A.O. Finanskent Mah. 34768 Ümraniye/İstanbul - 0850 222 0 724\n")
    return k.message(addr("Vak\u0131fBank", "bilgilendirme@vakifbank.com.tr", "utf-8", "B"), None, text(t, "utf-8", "quoted-printable"),
                     subject_raw=enc_word("Tek Kullan\u0131ml\u0131k \u015eifre", "utf-8", "B"), style="outlook")


@mail("en-wolt-spaced-digits.eml", "8420", "4-digit code with its digits spaced out '8 4 2 0' inside a sentence")
def _(k):
    h, t = page(k, "Wolt", [
        ("p", "Hi Elif,"),
        ("raw", '<p style="font-size:16px">Your Wolt login code is <span style="font-size:26px;font-weight:bold;letter-spacing:2px">8 4 2 0</span>. It expires in 5 minutes.</p>',
         "Your Wolt login code is 8 4 2 0. It expires in 5 minutes."),
        ("small", "Delivery fee from \u20ba19.90 \u2022 Orders over \u20ba250 ship free."),
    ], brand="#009de0", css_kib=4, footer=["Wolt Enterprises Oy, Arkadiankatu 6, 00100 Helsinki, Finland"], domain="wolt.com")
    return k.message("Wolt <info@wolt.com>", "Your Wolt login code", alt(k, h, t), style="gmail", tz="cet")


@mail("en-humble-mixed-case-code.eml", "Kj8Pq2", "mixed-case alphanumeric code after 'security code:'; bundle prices around it")
def _(k):
    t = """Hello,

A sign-in to your Humble Bundle account requires confirmation.

Your security code: Kj8Pq2

Codes are case-sensitive and expire in 20 minutes.

This month's Humble Choice: 8 games for $11.99. Humble Bundle, Inc., 201 Post St, 11th Floor, San Francisco, CA 94108
"""
    return k.message("Humble Bundle <contact@humblebundle.com>", "Humble Bundle security code", text(t), style="gmail", tz="pst")


@mail("tr-outlook-teklif-mail.eml", "", "Outlook-composed business mail: offer number, amounts, dates, phone; no code")
def _(k):
    cs = "windows-1254"
    paras = ["Merhaba Elif Han\u0131m,", "",
             "2025-0482 numaral\u0131 teklifimiz ektedir. 48 adet diz\u00fcst\u00fc bilgisayar i\u00e7in birim fiyat 31.250,00 TL + KDV, toplam 1.500.000,00 TL + KDV'dir.",
             "Teslimat 15 i\u015f g\u00fcn\u00fc, teklif ge\u00e7erlilik s\u00fcresi 30.11.2025'tir.", "",
             "\u0130yi \u00e7al\u0131\u015fmalar,", "<b>Kerem Ayd\u0131n</b> | Sat\u0131\u015f M\u00fcd\u00fcr\u00fc", "Tekno Tedarik Ltd. \u015eti. | 41400 Gebze/Kocaeli | +90 262 555 12 34"]
    t = "\n".join(p.replace("<b>", "").replace("</b>", "") for p in paras) + "\n"
    body = multi("mixed", [alt(k, _outlook_html(paras, cs), t, charset=cs, bstyle="outlook"),
                           attachment("application/pdf", "Teklif_2025-0482.pdf", pdf_bytes(k.rng, 12000, "Teklif"))], k.rng, "outlook")
    return k.message(addr("Kerem Ayd\u0131n", "kerem.aydin@teknotedarik.com.tr", cs, "Q"), None, body,
                     subject_raw=enc_word("Teklif 2025-0482 - Diz\u00fcst\u00fc bilgisayar", cs, "Q"), style="outlook")


@mail("tr-kisisel-dogum-gunu.eml", "", "personal plain mail with years, ages, phone numbers and a flat number")
def _(k):
    t = """Selam Zeynep,

Cumartesi annemin 60. yaş günü, 1965 doğumlu olduğunu hatırlatırım :) Saat 19:30'da Moda'daki evde (Caferağa Mah. Şair Nefi Sok. No:14 D:5, 34710) buluşuyoruz.

Pasta siparişini 0532 418 20 90'dan Mehmet abi verdi, 850 TL tuttu, yarısını bana IBAN'dan atarsın.

2019'daki gibi geç kalma!

Can
"""
    return k.message("Can Demir <can.demir@yandex.com>", None, text(t, "utf-8", "8bit"), subject_raw=enc_word("Cumartesi ak\u015fam"),
                     style="yandex", msgid_style="gmail", to="Zeynep Arslan <zeynep.arslan@gmail.com>")


@mail("tr-siparis-no-big-cell.eml", "", "look-alike: six-digit order number in a big-font cell under 'Siparis numaraniz'")
def _(k):
    h, t = page(k, "Kitapyurdu", [
        ("p", "Merhaba Mert,"),
        ("p", "Sipari\u015finiz al\u0131nd\u0131. Sipari\u015f numaran\u0131z:"),
        ("code", "482913", "cell"),
        ("rows", [("\u00dcr\u00fcnler", "3 kitap"), ("Toplam", "687,40 TL"), ("Kargo", "\u00dccretsiz"), ("Tahmini teslim", "2-3 i\u015f g\u00fcn\u00fc")]),
    ], brand="#f36f21", css_kib=5, lang="tr", footer=["Kitapyurdu Do\u011frudan Sat\u0131\u015f Yay\u0131nc\u0131l\u0131k A.\u015e. 34394 \u015ei\u015fli/\u0130stanbul \u2013 0212 217 70 70"], domain="kitapyurdu.com")
    return k.message("Kitapyurdu <siparis@kitapyurdu.com>", None, alt(k, h, t), subject_raw=enc_word("Sipari\u015finiz al\u0131nd\u0131 (482913)"), style="gmail")


@mail("tr-yeni-yil-2026-big-heading.eml", "", "look-alike: the year 2026 alone in a big heading of a greeting mail")
def _(k):
    h, t = page(k, "Migros", [
        ("code", "2026", "h1"),
        ("p", "Yeni y\u0131l\u0131n\u0131z kutlu olsun! 2025'te bizimle 1.248 TL tasarruf ettiniz."),
        ("p", "31 Aral\u0131k'a kadar 750 TL ve \u00fczeri al\u0131\u015fveri\u015fe 150 TL Money puan."),
    ], brand="#ff8300", css_kib=6, lang="tr", footer=["Migros Ticaret A.\u015e. 34758 Ata\u015fehir/\u0130stanbul \u2013 444 10 44"], domain="migros.com.tr")
    return k.message("Migros <bilgi@migros.com.tr>", None, alt(k, h, t), lists=True, subject_raw=enc_word("Mutlu y\u0131llar! \U0001F384"), style="gmail")


@mail("tr-boarding-pass-gate-seat.eml", "", "boarding pass: flight, gate, seat, sequence and ticket numbers in big cells")
def _(k):
    h, t = page(k, "AJet", [
        ("h", "Bini\u015f kart\u0131n\u0131z"),
        ("code", "VF 3021", "h1", "    VF 3021"),
        ("rows", [("Kalk\u0131\u015f", "Ankara (ESB) 07:25"), ("Var\u0131\u015f", "\u0130stanbul (SAW) 08:35"), ("Kap\u0131", "204"), ("Koltuk", "14C"),
                  ("S\u0131ra No", "0087"), ("Bilet No", "235-2190048213")]),
        ("small", "Bini\u015f kap\u0131s\u0131 kalk\u0131\u015ftan 20 dakika \u00f6nce kapan\u0131r."),
    ], brand="#e30a17", css_kib=5, lang="tr", footer=["AJet Hava Ta\u015f\u0131mac\u0131l\u0131\u011f\u0131 A.\u015e. \u2013 0850 222 8 999"], domain="ajet.com")
    return k.message("AJet <noreply@ajet.com>", None, alt(k, h, t), subject_raw=enc_word("Bini\u015f kart\u0131n\u0131z: VF 3021 ESB-SAW"), style="gmail")


@mail("tr-milli-piyango-bilet.eml", "", "lottery ticket: ticket number, drawn numbers, amounts, draw date")
def _(k):
    t = """Sayın Talihli Adayı,

Yılbaşı Özel Çekilişi biletiniz kaydedilmiştir.

Bilet No       : 482913
Çekiliş tarihi : 31.12.2025 21:00
Tutar          : 200,00 TL (çeyrek bilet)
Büyük ikramiye : 600.000.000 TL

Geçen haftanın çekilen numaraları: 07 14 23 31 38 45

Milli Piyango Online - 444 0 645
"""
    return k.message("Milli Piyango Online <bilgi@millipiyangoonline.com>", None, text(t),
                     subject_raw=enc_word("Biletiniz kaydedildi"), style="generic")


@mail("tr-mac-sonucu-bulten.eml", "", "sports bulletin: scores, minutes, season '2025-26', ticket prices")
def _(k):
    h, t = page(k, "Spor B\u00fclteni", [
        ("h", "Haftan\u0131n sonu\u00e7lar\u0131"),
        ("rows", [("Galatasaray \u2013 Fenerbah\u00e7e", "3-1"), ("Be\u015fikta\u015f \u2013 Trabzonspor", "2-2"), ("Samsunspor \u2013 G\u00f6ztepe", "1-0")]),
        ("p", "2025-26 sezonunun 14. haftas\u0131nda Osimhen 67. dakikada 12. gol\u00fcn\u00fc att\u0131. Derbi biletleri 1.750 TL'den sat\u0131\u015fta."),
    ], brand="#0b3d91", css_kib=5, lang="tr", footer=["Spor B\u00fclteni \u2013 abonelikten \u00e7\u0131kmak i\u00e7in t\u0131klay\u0131n."], domain="sporbulteni.com")
    return k.message("Spor Bulteni <bulten@sporbulteni.com>", None, alt(k, h, t), lists=True, subject_raw=enc_word("Derbi 3-1 bitti"), style="gmail")


@mail("tr-toplam-tutar-big-cell.eml", "", "look-alike: the total amount stands alone in a big-font cell of a payment receipt")
def _(k):
    h, t = page(k, "iyzico", [
        ("p", "\u00d6demeniz ba\u015far\u0131yla ger\u00e7ekle\u015fti. \u00d6denen tutar:"),
        ("code", "1.299,90 TL", "cell"),
        ("rows", [("\u0130\u015fyeri", "Decathlon T\u00fcrkiye"), ("\u0130\u015flem No", "24819305"), ("Tarih", "06.04.2025 18:22"), ("Kart", "**** 7710")]),
    ], brand="#1e64ff", css_kib=5, lang="tr", footer=["iyzi \u00d6deme ve Elektronik Para Hizmetleri A.\u015e. 34394 \u015ei\u015fli/\u0130stanbul"], domain="iyzico.com")
    return k.message("iyzico <bilgi@iyzico.com>", None, alt(k, h, t), subject_raw=enc_word("\u00d6deme bilgilendirmesi"), style="gmail")


@mail("tr-broken-wrong-boundary-newsletter.eml", "", "broken: the parts use a boundary other than the declared one; prices and dates inside")
def _(k):
    h, t = page(k, "Boyner", [
        ("h", "Sezon sonu indirimi ba\u015flad\u0131"),
        ("p", "Se\u00e7ili \u00fcr\u00fcnlerde %50'ye varan indirim, 2.000 TL ve \u00fczeri al\u0131\u015fveri\u015fe 250 TL hediye \u00e7eki. Son g\u00fcn 31.01.2026."),
    ], brand="#000000", css_kib=4, lang="tr", footer=["Boyner B\u00fcy\u00fck Ma\u011fazac\u0131l\u0131k A.\u015e. 34460 Sar\u0131yer/\u0130stanbul"], domain="boyner.com.tr")
    body = multi("alternative", [text(t), htmlpart(h)], k.rng, "java")
    declared = body.headers[0]
    body.headers[0] = declared.replace('_Part_', '_Part_9', 1)
    return k.message("Boyner <bilgi@boyner.com.tr>", None, body, lists=True, subject_raw=enc_word("Sezon sonu indirimi ba\u015flad\u0131"), style="generic")


@mail("tr-broken-base64-label-on-plain-text.eml", "", "broken: declared base64 but the body is plain text; a shipping notice with tracking number")
def _(k):
    t = """Merhaba,

Siparişiniz 9284716350 takip numarasıyla Sürat Kargo'ya teslim edildi.
Tahmini teslim: 2-3 iş günü. Sürat Kargo: 0850 202 0 202
"""
    part = text(t, "utf-8", "8bit")
    part.headers[1] = "Content-Transfer-Encoding: base64"
    return k.message("Pttavm <siparis@pttavm.com>", "Siparisiniz kargoya verildi", part, style="generic")


@mail("tr-part-without-headers-default-text.eml", "365201", "multipart whose text part has no headers at all (defaults to text/plain us-ascii)")
def _(k):
    t = ("Dogrulama kodunuz: 365201\n\nBu kodu 5 dakika icinde giriniz.\nTurkNet - 0850 288 0 888\n")

    bare = Part([], t.encode("ascii"))
    h = "<html><body><p>Dogrulama kodunuz: <b>365201</b></p><p>Bu kodu 5 dakika icinde giriniz.</p></body></html>\n"
    body = multi("alternative", [bare, htmlpart(h, "us-ascii", "7bit")], k.rng, "generic")
    # a part with no header lines starts straight with its blank separator line
    body.body = body.body.replace(b"\n\n\nDogrulama", b"\n\nDogrulama", 1)
    return k.message("TurkNet <noreply@turk.net>", "TurkNet dogrulama kodu", body, style="generic")


@mail("tr-no-charset-param-utf8-8bit.eml", "719350", "text/plain without a charset parameter, 8-bit UTF-8 Turkish body")
def _(k):
    t = """Merhaba,

Dolap hesabına giriş için doğrulama kodun: 719350

Kod 3 dakika geçerli. Satıcı puanın: 4,9 (128 değerlendirme)
"""
    part = text(t, "utf-8", "8bit")
    part.headers[0] = "Content-Type: text/plain"
    return k.message("Dolap <bilgi@dolap.com>", "Dolap dogrulama kodu", part, style="gmail")
