#include "recognition/codewords.h"

#include <QChar>
#include <QHash>

#include <algorithm>
#include <array>
#include <initializer_list>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

namespace {

using namespace CodeWord;

struct Entry
{
    const char16_t *word;
    unsigned flags;
};

// Exact folded words. Stems that take suffixes (Turkish, German compounds)
// are handled by prefixRules below.
const std::initializer_list<Entry> kWords = {
    // Code nouns.
    {u"code", CodeNoun}, {u"codes", CodeNoun}, {u"otp", CodeNoun | Context}, {u"pin", CodeNoun}, {u"token", CodeNoun},
    {u"tan", CodeNoun}, {u"mtan", CodeNoun}, {u"smstan", CodeNoun}, {u"codice", CodeNoun}, {u"kode", CodeNoun},
    {u"kodas", CodeNoun}, {u"cod", CodeNoun}, {u"codigo", CodeNoun}, {u"codigos", CodeNoun},
    {u"kullanimlik", CodeNoun}, {u"одноразовый", CodeNoun}, {u"kod", CodeNoun},
    {u"کد", CodeNoun}, {u"كد", CodeNoun}, {u"رمز", CodeNoun}, {u"الرمز", CodeNoun}, {u"كود", CodeNoun},
    {u"الكود", CodeNoun}, {u"رمزك", CodeNoun}, {u"کدتان", CodeNoun}, {u"کدتایید", CodeNoun}, {u"kodunuz", CodeNoun},
    {u"passcode", CodeNoun}, {u"passcodes", CodeNoun}, {u"onetime", CodeNoun}, {u"jednorazowy", CodeNoun},
    {u"jednorazowe", CodeNoun}, {u"одноразовий", CodeNoun},
    // Context words.
    {u"2fa", Context}, {u"mfa", Context}, {u"login", Context}, {u"logon", Context}, {u"signin", Context},
    {u"password", Context}, {u"passwort", Context}, {u"kennwort", Context}, {u"contrasena", Context},
    {u"parola", Context}, {u"security", Context}, {u"guvenlik", Context}, {u"seguridad", Context},
    {u"securite", Context}, {u"sicherheit", Context}, {u"connexion", Context}, {u"connecter", Context},
    {u"sesion", Context}, {u"acceso", Context}, {u"acces", Context}, {u"accesso", Context}, {u"войти", Context},
    {u"factor", Context}, {u"step", Context}, {u"guard", Context},
    {u"unblock", Context}, {u"sms", Context},
    {u"التحقق", Context}, {u"تحقق", Context}, {u"للتحقق", Context}, {u"التأكيد", Context}, {u"تأكيد", Context},
    {u"الدخول", Context}, {u"دخول", Context}, {u"تسجيل", Context}, {u"المرور", Context}, {u"تأیید", Context},
    {u"تایید", Context}, {u"ورود", Context}, {u"عبور", Context}, {u"امنیتی", Context}, {u"logowania", Context},
    {u"zaloguj", Context}, {u"haslo", Context}, {u"inloggen", Context}, {u"aanmelden", Context},
    {u"wachtwoord", Context}, {u"beveiliging", Context}, {u"sicurezza", Context}, {u"seguranca", Context},
    {u"acesso", Context}, {u"entrar", Context}, {u"masuk", Context}, {u"keamanan", Context},
    {u"sandi", Context}, {u"вхід", Context}, {u"входу", Context}, {u"tesdiq", Context}, {u"tesdiqleme", Context},
    {u"daxil", Context},
    // Labels of numbers that are not codes.
    {u"order", Label | Modifier | OrderTalk}, {u"orders", Label | OrderTalk}, {u"invoice", Label | Modifier},
    {u"receipt", Label}, {u"tracking", Label | Modifier}, {u"track", Label}, {u"shipment", Label},
    {u"shipping", Label}, {u"parcel", Label}, {u"package", Label}, {u"reference", Label | Modifier},
    {u"ref", Label}, {u"account", Label}, {u"acct", Label}, {u"customer", Label | Modifier}, {u"cliente", Label | Modifier},
    {u"client", Label | Modifier}, {u"kunde", Label | Modifier}, {u"klant", Label | Modifier},
    {u"member", Label | Modifier},
    {u"membership", Label}, {u"request", Label}, {u"requests", Label}, {u"anfrage", Label},
    {u"solicitud", Label}, {u"demande", Label}, {u"talep", Label}, {u"talebiniz", Label}, {u"basvuru", Label}, {u"ticket", Label}, {u"case", Label}, {u"transaction", Label}, {u"txn", Label},
    {u"booking", Label | Modifier}, {u"reservation", Label | Modifier}, {u"flight", Label}, {u"seat", Label},
    {u"room", Label}, {u"policy", Label}, {u"claim", Label}, {u"serial", Label | Modifier}, {u"model", Label},
    {u"sku", Label | Modifier}, {u"item", Label | Modifier}, {u"article", Label}, {u"id", Label}, {u"no", Label},
    {u"nr", Label}, {u"number", Label}, {u"num", Label}, {u"makbuz", Label}, {u"hesap", Label}, {u"iban", Label},
    {u"police", Label}, {u"dekont", Label}, {u"kart", Label}, {u"card", Label}, {u"ending", Label},
    {u"biten", Label}, {u"sonu", Label}, {u"pedido", Label | Modifier | OrderTalk}, {u"factura", Label},
    {u"referencia", Label}, {u"commande", Label | Modifier | OrderTalk}, {u"facture", Label}, {u"numero", Label},
    {u"tel", Label}, {u"phone", Label}, {u"telephone", Label}, {u"fax", Label}, {u"faks", Label}, {u"gsm", Label},
    {u"mobile", Label}, {u"mobil", Label}, {u"cep", Label}, {u"call", Label}, {u"whatsapp", Label},
    {u"hotline", Label}, {u"notruf", Label}, {u"sperrnotruf", Label}, {u"helpline", Label}, {u"price", Label}, {u"total", Label}, {u"subtotal", Label}, {u"amount", Label},
    {u"balance", Label}, {u"tax", Label | Modifier}, {u"kdv", Label}, {u"vat", Label}, {u"qty", Label},
    {u"quantity", Label}, {u"adet", Label | Unit}, {u"version", Label}, {u"build", Label}, {u"release", Label},
    {u"page", Label}, {u"sayfa", Label}, {u"ext", Label}, {u"unit", Label}, {u"box", Label | Street},
    {u"zip", Label | Modifier}, {u"postcode", Label}, {u"plz", Label}, {u"isbn", Label}, {u"imei", Label},
    {u"ip", Label}, {u"port", Label}, {u"seri", Label}, {u"batch", Label}, {u"lot", Label}, {u"license", Label | Modifier},
    {u"lisans", Label | Modifier}, {u"kimlik", Label}, {u"tc", Label}, {u"pnr", Label}, {u"vkn", Label},
    {u"bestellung", Label | OrderTalk}, {u"bestellnummer", Label | OrderTalk}, {u"rechnung", Label},
    {u"rechnungsnummer", Label}, {u"sendungsnummer", Label}, {u"kundennummer", Label}, {u"заказ", Label | OrderTalk},
    {u"заказа", Label | OrderTalk}, {u"номер", Label}, {u"счет", Label}, {u"телефон", Label},
    // Words that make a following code noun a label.
    {u"promo", Modifier | Promo}, {u"promotion", Modifier | Promo}, {u"promotional", Modifier | Promo},
    {u"promocional", Modifier | Promo}, {u"discount", Modifier | Promo}, {u"coupon", Modifier | Promo},
    {u"voucher", Modifier | Promo}, {u"gift", Modifier | Promo}, {u"gifts", Promo}, {u"referral", Modifier}, {u"invite", Modifier},
    {u"invitation", Modifier}, {u"postal", Modifier}, {u"post", Modifier}, {u"area", Modifier},
    {u"country", Modifier}, {u"ulke", Modifier}, {u"alan", Modifier}, {u"source", Modifier}, {u"kaynak", Modifier},
    {u"qr", Modifier}, {u"bar", Modifier}, {u"barkod", Modifier}, {u"color", Modifier}, {u"colour", Modifier},
    {u"renk", Modifier}, {u"error", Modifier}, {u"hata", Modifier}, {u"status", Modifier}, {u"durum", Modifier},
    {u"product", Modifier}, {u"vergi", Modifier}, {u"swift", Modifier}, {u"bank", Modifier}, {u"sort", Modifier},
    {u"branch", Modifier}, {u"campaign", Modifier | Promo}, {u"rabatt", Modifier | Promo},
    {u"gutschein", Modifier | Promo}, {u"descuento", Modifier | Promo}, {u"cupon", Modifier | Promo},
    {u"reduction", Modifier | Promo}, {u"regalo", Modifier | Promo}, {u"cadeau", Modifier | Promo}, {u"sconto", Modifier | Promo},
    {u"seguimiento", Modifier}, {u"suivi", Modifier}, {u"conduct", Modifier}, {u"html", Modifier},
    {u"embed", Modifier}, {u"sample", Modifier}, {u"ornek", Modifier}, {u"example", Modifier},
    {u"redeem", Modifier | Promo}, {u"reward", Modifier | Promo}, {u"odul", Modifier | Promo},
    {u"bonus", Modifier | Promo}, {u"key", Modifier}, {u"dress", Modifier}, {u"css", Modifier},
    {u"delivery", Modifier}, {u"pickup", Modifier}, {u"collection", Modifier}, {u"locker", Modifier},
    {u"teslimat", Modifier}, {u"abhol", Modifier},
    {u"checkout", Promo}, {u"sale", Promo}, {u"coupons", Promo}, {u"deal", Promo}, {u"deals", Promo},
    {u"shop", Promo}, {u"cashback", Promo},
    // Fillers between a keyword and its code.
    {u"is", Filler}, {u"ist", Filler}, {u"lautet", Filler}, {u"es", Filler}, {u"est", Filler}, {u"e", Filler},
    {u"are", Filler}, {u"was", Filler}, {u"here", Filler | Stop}, {u"below", Filler | Stop},
    {u"follows", Filler}, {u"olarak", Filler}, {u"asagidaki", Filler}, {u"asagidadir", Filler},
    {u"this", Filler}, {u"your", Filler}, {u"the", Filler}, {u"our", Filler}, {u"ihr", Filler},
    {u"dein", Filler}, {u"uw", Filler}, {u"je", Filler}, {u"jouw", Filler}, {u"il", Filler}, {u"tuo", Filler},
    {u"seu", Filler}, {u"sua", Filler}, {u"anda", Filler}, {u"adalah", Filler}, {u"to", Filler},
    {u"jest", Filler}, {u"twoj", Filler}, {u"هو", Filler}, {u"هي", Filler}, {u"است", Filler}, {u"شما", Filler},
    {u"ваш", Filler}, {u"sizin", Filler}, {u"senin", Filler},
    {u"following", Filler}, {u"folgenden", Filler}, {u"folgende", Filler}, {u"siguiente", Filler},
    {u"suivant", Filler}, {u"seguente", Filler},
    // Verbs of typing a code in, in the languages of the table.
    {u"enter", EntryVerb}, {u"type", EntryVerb}, {u"paste", EntryVerb}, {u"copy", EntryVerb}, {u"input", EntryVerb},
    {u"insert", EntryVerb}, {u"eingeben", EntryVerb}, {u"kopieren", EntryVerb}, {u"tippen", EntryVerb},
    {u"girin", EntryVerb}, {u"giriniz", EntryVerb}, {u"yazin", EntryVerb}, {u"yaziniz", EntryVerb}, {u"yapistirin", EntryVerb},
    {u"kopyala", EntryVerb}, {u"kopyalayin", EntryVerb}, {u"introduce", EntryVerb}, {u"introduzca", EntryVerb},
    {u"ingresa", EntryVerb}, {u"ingrese", EntryVerb}, {u"escribe", EntryVerb}, {u"saisissez", EntryVerb}, {u"saisir", EntryVerb},
    {u"entrez", EntryVerb}, {u"tapez", EntryVerb}, {u"copiez", EntryVerb}, {u"inserisci", EntryVerb}, {u"digita", EntryVerb},
    {u"digite", EntryVerb}, {u"introduza", EntryVerb}, {u"introduzir", EntryVerb}, {u"insira", EntryVerb}, {u"masukkan", EntryVerb}, {u"ketik", EntryVerb}, {u"wpisz", EntryVerb},
    {u"wprowadz", EntryVerb}, {u"voer", EntryVerb}, {u"kopieer", EntryVerb}, {u"введите", EntryVerb},
    {u"введіть", EntryVerb}, {u"أدخل", EntryVerb}, {u"ادخل", EntryVerb},
    // Months and weekdays.
    {u"january", Month}, {u"february", Month}, {u"march", Month}, {u"april", Month}, {u"may", Month},
    {u"june", Month}, {u"july", Month}, {u"august", Month}, {u"september", Month}, {u"october", Month},
    {u"november", Month}, {u"december", Month}, {u"jan", Month}, {u"feb", Month}, {u"mar", Month},
    {u"apr", Month}, {u"jun", Month}, {u"jul", Month}, {u"aug", Month}, {u"sep", Month}, {u"sept", Month},
    {u"oct", Month}, {u"nov", Month}, {u"dec", Month}, {u"ocak", Month}, {u"subat", Month}, {u"mart", Month},
    {u"nisan", Month}, {u"mayis", Month}, {u"haziran", Month}, {u"temmuz", Month}, {u"agustos", Month},
    {u"eylul", Month}, {u"ekim", Month}, {u"kasim", Month}, {u"aralik", Month}, {u"januar", Month},
    {u"februar", Month}, {u"marz", Month}, {u"mai", Month}, {u"juni", Month}, {u"juli", Month},
    {u"oktober", Month}, {u"dezember", Month}, {u"enero", Month}, {u"febrero", Month}, {u"marzo", Month},
    {u"abril", Month}, {u"mayo", Month}, {u"junio", Month}, {u"julio", Month}, {u"agosto", Month},
    {u"septiembre", Month}, {u"octubre", Month}, {u"noviembre", Month}, {u"diciembre", Month},
    {u"janvier", Month}, {u"fevrier", Month}, {u"mars", Month}, {u"avril", Month}, {u"juin", Month},
    {u"juillet", Month}, {u"aout", Month}, {u"septembre", Month}, {u"octobre", Month}, {u"novembre", Month},
    {u"decembre", Month}, {u"января", Month}, {u"февраля", Month}, {u"марта", Month}, {u"апреля", Month},
    {u"мая", Month}, {u"июня", Month}, {u"июля", Month}, {u"августа", Month}, {u"сентября", Month},
    {u"октября", Month}, {u"ноября", Month}, {u"декабря", Month}, {u"mon", Month}, {u"tue", Month},
    {u"wed", Month}, {u"thu", Month}, {u"fri", Month}, {u"sat", Month}, {u"sun", Month}, {u"monday", Month},
    {u"tuesday", Month}, {u"wednesday", Month}, {u"thursday", Month}, {u"friday", Month},
    {u"saturday", Month}, {u"sunday", Month}, {u"pazartesi", Month}, {u"sali", Month}, {u"carsamba", Month},
    {u"persembe", Month}, {u"cuma", Month}, {u"cumartesi", Month}, {u"pazar", Month},
    // Units: the number before them is a quantity.
    {u"minutes", Unit}, {u"minute", Unit}, {u"min", Unit}, {u"mins", Unit}, {u"dakika", Unit}, {u"dk", Unit},
    {u"saat", Unit}, {u"hours", Unit}, {u"hour", Unit}, {u"hrs", Unit}, {u"seconds", Unit}, {u"sec", Unit},
    {u"saniye", Unit}, {u"sn", Unit}, {u"days", Unit}, {u"day", Unit}, {u"gun", Unit}, {u"weeks", Unit},
    {u"hafta", Unit}, {u"months", Unit}, {u"years", Unit}, {u"yil", Unit}, {u"points", Unit}, {u"puan", Unit},
    {u"km", Unit}, {u"kg", Unit}, {u"gb", Unit}, {u"mb", Unit}, {u"kb", Unit}, {u"items", Unit},
    {u"kisi", Unit}, {u"people", Unit}, {u"users", Unit}, {u"followers", Unit}, {u"takipci", Unit},
    {u"views", Unit}, {u"downloads", Unit}, {u"miles", Unit}, {u"mil", Unit}, {u"stunden", Unit},
    {u"minuten", Unit}, {u"minutos", Unit}, {u"horas", Unit}, {u"pieces", Unit}, {u"pcs", Unit},
    {u"минут", Unit}, {u"px", Unit}, {u"pt", Unit},
    // Currencies.
    {u"tl", Currency}, {u"try", Currency}, {u"usd", Currency}, {u"eur", Currency}, {u"gbp", Currency},
    {u"rub", Currency}, {u"lira", Currency}, {u"dolar", Currency}, {u"dollar", Currency},
    {u"dollars", Currency}, {u"euro", Currency}, {u"euros", Currency}, {u"chf", Currency}, {u"jpy", Currency},
    {u"руб", Currency}, {u"cad", Currency | Street},
    // Address words.
    {u"street", Street}, {u"st", Street}, {u"ave", Street}, {u"avenue", Street}, {u"road", Street},
    {u"rd", Street}, {u"blvd", Street}, {u"boulevard", Street}, {u"lane", Street}, {u"parkway", Street},
    {u"pkwy", Street}, {u"suite", Street | Label}, {u"ste", Street}, {u"floor", Street}, {u"caddesi", Street},
    {u"cd", Street}, {u"sok", Street}, {u"sokak", Street}, {u"sokagi", Street}, {u"sk", Street},
    {u"mah", Street}, {u"mahallesi", Street}, {u"mh", Street}, {u"bulvari", Street}, {u"blv", Street},
    {u"apt", Street | Label}, {u"kat", Street}, {u"daire", Street}, {u"strasse", Street}, {u"str", Street},
    {u"platz", Street}, {u"calle", Street}, {u"avenida", Street}, {u"rue", Street}, {u"plaza", Street},
    {u"pobox", Street}, {u"usa", Street}, {u"turkey", Street}, {u"turkiye", Street}, {u"germany", Street},
    {u"deutschland", Street}, {u"ireland", Street}, {u"netherlands", Street}, {u"france", Street},
    {u"espana", Street}, {u"spain", Street}, {u"luxembourg", Street}, {u"singapore", Street},
    {u"kingdom", Street}, {u"istanbul", Street}, {u"ankara", Street}, {u"izmir", Street}, {u"cupertino", Street},
    {u"california", Street}, {u"inc", Street}, {u"ltd", Street}, {u"llc", Street}, {u"gmbh", Street},
    {u"corporation", Street}, {u"corp", Street}, {u"sti", Street},
    // Reservations and tickets.
    {u"reservation", Booking}, {u"reservations", Booking}, {u"booking", Booking}, {u"booked", Booking},
    {u"itinerary", Booking}, {u"checkin", Booking}, {u"hotel", Booking}, {u"flight", Booking},
    {u"pnr", Booking}, {u"otel", Booking}, {u"konaklama", Booking}, {u"reserva", Booking},
    {u"reservierung", Booking}, {u"buchung", Booking}, {u"guests", Booking}, {u"ticket", Booking},
    // Meetings and invitations: their passcodes and PINs let people in to a call.
    {u"meeting", Booking}, {u"meetings", Booking}, {u"webinar", Booking}, {u"conference", Booking},
    {u"dial", Booking}, {u"toplanti", Booking}, {u"toplantiya", Booking}, {u"calendar", Booking},
    {u"takvim", Booking}, {u"besprechung", Booking}, {u"reunion", Booking},
    // Money: invoices, receipts, card payments and their authorisations.
    {u"invoice", Payment}, {u"invoices", Payment}, {u"receipt", Payment}, {u"payment", Payment},
    {u"authorization", Payment | Approval | Modifier}, {u"authorisation", Payment | Approval | Modifier},
    {u"autorizacion", Payment | Approval | Modifier}, {u"autorizzazione", Payment | Approval | Modifier},
    {u"autorisation", Payment | Approval | Modifier}, {u"autorizacao", Payment | Approval | Modifier},
    {u"approval", Payment | Approval | Modifier}, {u"provizyon", Payment | Modifier}, {u"pos", Payment}, {u"factura", Payment}, {u"fattura", Payment | Modifier | Label},
    {u"facture", Payment}, {u"rechnung", Payment}, {u"zahlung", Payment}, {u"betaling", Payment},
    {u"pagamento", Payment}, {u"pago", Payment}, {u"fiscal", Payment | Label}, {u"nota", Payment | Label},
    {u"nfe", Payment | Label}, {u"faktura", Payment}, {u"platnosc", Payment}, {u"quittung", Payment},
    {u"kwitansi", Payment}, {u"tagihan", Payment}, {u"pembayaran", Payment}, {u"ricevuta", Payment},
    {u"recibo", Payment}, {u"transaction", Payment | Label}, {u"transakcji", Label | Modifier},
    {u"transakcja", Label}, {u"transaksi", Label | Modifier},
    {u"transazione", Label | Modifier}, {u"transaccion", Label | Modifier},
    {u"transacao", Label | Modifier}, {u"transactie", Label | Modifier},
    {u"transaktion", Label | Modifier}, {u"paragon", Payment}, {u"kwota", Label}, {u"purchase", Payment}, {u"charged", Payment},
    // Bookings, orders, invoices and tracking in the other languages of the table.
    {u"prenotazione", Modifier | Booking}, {u"prenotazioni", Booking}, {u"reserva", Modifier},
    {u"reservacion", Modifier | Booking}, {u"reservas", Booking}, {u"الحجز", Modifier | Booking},
    {u"حجز", Modifier | Booking}, {u"حجزك", Booking}, {u"رزرو", Modifier | Booking}, {u"rezerwacji", Modifier | Booking},
    {u"reservering", Modifier | Booking}, {u"pemesanan", Modifier | Booking}, {u"бронирования", Modifier | Booking},
    {u"رقم", Label}, {u"شماره", Label}, {u"الطلب", Label | Modifier | OrderTalk}, {u"طلب", Label | Modifier | OrderTalk},
    {u"طلبك", Label | OrderTalk}, {u"طلبكم", Label | OrderTalk}, {u"سفارش", Label | Modifier | OrderTalk},
    {u"سفارشتان", Label | OrderTalk}, {u"فاتورة", Label | Modifier | Payment}, {u"الفاتورة", Label | Modifier | Payment},
    {u"فاکتور", Label | Modifier | Payment}, {u"تتبع", Label | Modifier}, {u"التتبع", Label | Modifier},
    {u"پیگیری", Label | Modifier}, {u"الشحنة", Label}, {u"ordine", Label | Modifier | OrderTalk},
    {u"bestelling", Label | Modifier | OrderTalk}, {u"zamowienie", Label | Modifier | OrderTalk},
    {u"zamowienia", Label | Modifier | OrderTalk}, {u"encomenda", Label | Modifier | OrderTalk},
    {u"pesanan", Label | Modifier | OrderTalk}, {u"замовлення", Label | Modifier | OrderTalk},
    {u"sifaris", Label | Modifier | OrderTalk}, {u"注文", Label}, {u"订单", Label}, {u"주문", Label},
    // Copyright.
    {u"copyright", Copyright}, {u"telif", Copyright}, {u"rights", Copyright}, {u"reserved", Copyright},
    {u"haklari", Copyright},
    // Upper-case words that stand where codes stand but are none.
    {u"note", Stop}, {u"your", Stop}, {u"none", Stop}, {u"null", Stop}, {u"expired", Stop}, {u"valid", Stop},
    {u"sent", Stop}, {u"only", Stop}, {u"enter", Stop}, {u"copy", Stop}, {u"kopyala", Stop}, {u"asagida", Stop},
    {u"gecerli", Stop}, {u"bitte", Stop},
    {u"important", Stop}, {u"onemli", Stop}, {u"warning", Stop}, {u"uyari", Stop}, {u"dikkat", Stop},
};

// Stems: a folded word starting with one of these takes its flags; a longer
// stem (an exception such as "kodla") wins over a shorter one.
struct Stem
{
    const char16_t *prefix;
    unsigned flags;
};
const std::initializer_list<Stem> kStems = {
    {u"kodla", 0}, {u"kodak", 0}, {u"kod", CodeNoun}, {u"код", CodeNoun}, {u"codig", CodeNoun},
    {u"sifrele", 0}, {u"sifre", CodeNoun}, {u"einmal", CodeNoun}, {u"passcode", CodeNoun},
    {u"kodlar", CodeNoun}, {u"رمز", CodeNoun}, {u"الرمز", CodeNoun}, {u"بالرمز", CodeNoun}, {u"كود", CodeNoun},
    {u"الكود", CodeNoun}, {u"weryfik", Context}, {u"logowa", Context}, {u"jednoraz", CodeNoun},
    {u"підтверд", Context}, {u"вхід", Context}, {u"tesdiq", Context}, {u"fatur", Payment | Label | Modifier},
    {u"verif", Context}, {u"confirm", Confirm}, {u"dogrula", Context}, {u"подтвержд", Context}, {u"вход", Context},
    {u"giris", Context}, {u"authenti", Context}, {u"authentif", Context}, {u"autentic", Context},
    {u"anmeld", Context}, {u"bestatig", Context}, {u"zugang", Context}, {u"sicherheits", Context},
    {u"пароль", Context}, {u"numara", Label}, {u"siparis", Label | Modifier | OrderTalk},
{u"kargo", Label | Modifier}, {u"takip", Label | Modifier},
    {u"gonderi", Label}, {u"referans", Label | Modifier}, {u"musteri", Label | Modifier},
    {u"abone", Label}, {u"islem", Label}, {u"telefon", Label}, {u"tutar", Label}, {u"toplam", Label},
    {u"fiyat", Label}, {u"ucret", Label}, {u"bakiye", Label}, {u"odeme", Label}, {u"sendung", Label},
    {u"kundennr", Label}, {u"kundenkonto", Label}, {u"kundenkennung", Label}, {u"kundenref", Label}, {u"счет", Label}, {u"indirim", Modifier | Promo}, {u"kupon", Modifier | Promo},
    {u"kampanya", Modifier | Promo}, {u"hediye", Modifier}, {u"davet", Modifier}, {u"posta", Modifier},
    {u"urun", Modifier}, {u"uye", Modifier}, {u"banka", Modifier}, {u"sube", Modifier},
    {u"promosyon", Modifier | Promo}, {u"rezervasyon", Modifier | Booking}, {u"bilet", Booking},
    {u"ucus", Booking}, {u"sepet", Promo},
};

// Compounds ending in "code" that name a code to type (Bestaetigungscode,
// verificatiecode) against those that do not.
const std::initializer_list<const char16_t *> kNotCodeCompounds = {
    u"barcode",     u"promocode", u"postcode",    u"zipcode",     u"unicode",     u"geocode",
    u"shortcode",   u"transcode", u"sourcecode",  u"colorcode",   u"rabattcode",  u"gutscheincode",
    u"aktionscode", u"couponcode", u"vouchercode", u"discountcode", u"giftcode", u"referralcode",
    u"invitecode",  u"encode",    u"decode",      u"opcode",      u"qrcode",      u"errorcode",
    u"autorisatiecode", u"genehmigungscode", u"autorisierungscode", u"authorizationcode", u"authorisationcode",
    u"autorisationscode", u"approvalcode", u"postleitzahlcode", u"steuercode", u"belastingcode",
    u"kortingscode", u"actiecode", u"cadeaucode", u"landcode", u"ortscode", u"produktcode", u"artikelcode",
    u"buchungscode", u"reservierungscode", u"boekingscode", u"reserveringscode", u"bestellcode", u"auftragscode",
    u"sendungscode", u"trackingcode",
};

using View = std::u16string_view;

View view(QStringView s)
{
    return View(s.utf16(), size_t(s.size()));
}

// Standard containers: their string hash is cheap on the short words looked
// up here, once or twice for every word of a mail.
struct Tables
{
    std::unordered_map<View, unsigned> words;
    std::unordered_map<View, unsigned> stems;
    std::unordered_set<View> stemHeads; // first three letters of every stem
    size_t longestStem = 0;
    std::unordered_set<View> notCode;
};

const Tables &tables()
{
    static const Tables t = [] {
        Tables out;
        for (const Entry &e : kWords)
            out.words[View(e.word)] |= e.flags;
        for (const Stem &s : kStems) {
            out.stems.emplace(View(s.prefix), s.flags);
            out.stemHeads.insert(View(s.prefix).substr(0, 3));
            out.longestStem = std::max(out.longestStem, View(s.prefix).size());
        }
        for (const char16_t *w : kNotCodeCompounds)
            out.notCode.insert(View(w));
        return out;
    }();
    return t;
}

std::array<char16_t, 0x180 - 0xC0> buildLatinFold()
{
    std::array<char16_t, 0x180 - 0xC0> table{};
    for (char16_t c = 0xC0; c < 0x180; ++c) {
        const QChar ch(c);
        const QString d = ch.decomposition();
        char16_t base = d.isEmpty() ? ch.toLower().unicode() : QChar(d.at(0)).toLower().unicode();
        if (base >= 0x80) {
            switch (c) {
            case 0xC6: case 0xE6: base = u'a'; break;
            case 0xD8: case 0xF8: base = u'o'; break;
            case 0xDF: base = u's'; break;
            case 0x110: case 0x111: base = u'd'; break;
            case 0x131: base = u'i'; break;
            case 0x141: case 0x142: base = u'l'; break;
            default: break;
            }
        }
        table[size_t(c - 0xC0)] = base;
    }
    return table;
}

} // namespace

char16_t foldedChar(char16_t c)
{
    if (c < 0x80)
        return (c >= u'A' && c <= u'Z') ? char16_t(c + 32) : c;
    if (c == 0x259 || c == 0x18F) // Azerbaijani schwa
        return u'e';
    if (c >= 0xC0 && c < 0x180) {
        static const std::array<char16_t, 0x180 - 0xC0> latin = buildLatinFold();
        return latin[size_t(c - 0xC0)];
    }
    if (QChar::isSurrogate(c))
        return c;
    const char32_t lower = QChar::toLower(char32_t(c));
    return lower <= 0xFFFF ? char16_t(lower) : c;
}

unsigned codeWordFlags(QStringView folded, QStringView next)
{
    if (folded.isEmpty() || folded.size() > 40)
        return 0;
    const Tables &t = tables();
    const View word = view(folded);
    const auto exact = t.words.find(word);
    unsigned flags = exact == t.words.end() ? 0 : exact->second;
    // "sign in", "log in", "one time", "tek kullanimlik": the pair is the keyword.
    if ((word == u"sign" || word == u"log" || word == u"signing" || word == u"logging")
        && (next == u"in" || next == u"on" || next == u"up"))
        flags |= CodeWord::Context;
    if (word == u"one" && next == u"time")
        flags |= CodeWord::CodeNoun;
    if (flags != 0)
        return flags;
    // Scripts written without spaces: the keyword stands inside a longer run.
    if (folded.front().unicode() >= 0x3000) {
        for (const char16_t *k : {u"验证码", u"校验码", u"动态码", u"驗證碼", u"认证码", u"コード", u"코드",
                                  u"인증번호", u"確認番号", u"暗証番号"}) {
            if (folded.contains(QStringView(k)))
                return CodeWord::CodeNoun;
        }
        for (const char16_t *k : {u"验证", u"驗證", u"登录", u"認証", u"인증", u"ログイン"}) {
            if (folded.contains(QStringView(k)))
                return CodeWord::Context;
        }
        return 0;
    }
    // Compounds name what their last part names: Anmeldecode, Einmalcode,
    // verificatiecode, dogrulamakodu; a listed few name something else.
    if (word.size() >= 7) {
        static constexpr View tails[] = {u"codes", u"code", u"kodunuz", u"kodu", u"kodun", u"sifreniz", u"sifresi",
                                         u"sifre", u"kod", u"kode"};
        for (const View tail : tails) {
            if (word.size() < tail.size() + 3 || word.compare(word.size() - tail.size(), tail.size(), tail) != 0)
                continue;
            const View whole = tail == u"codes" ? word.substr(0, word.size() - 1) : word;
            if (t.notCode.count(whole))
                return CodeWord::Modifier | CodeWord::Label;
            // "Zugangscode": the German linking s; the head word keeps its other flags.
            return CodeWord::CodeNoun;
        }
    }
    // The longest stem wins, so exceptions ("kodla") come before their stem.
    if (word.size() >= 3 && t.stemHeads.count(word.substr(0, 3))) {
        for (size_t len = std::min(word.size(), t.longestStem); len >= 3; --len) {
            const auto it = t.stems.find(word.substr(0, len));
            if (it != t.stems.end())
                return it->second;
        }
    }
    return 0;
}

bool isUsState(QStringView word)
{
    static const QHash<QStringView, bool> states = [] {
        QHash<QStringView, bool> h;
        for (const char16_t *s :
             {u"AL", u"AK", u"AZ", u"AR", u"CA", u"CO", u"CT", u"DE", u"FL", u"GA", u"HI", u"ID", u"IL",
              u"IN", u"IA", u"KS", u"KY", u"LA", u"ME", u"MD", u"MA", u"MI", u"MN", u"MS", u"MO", u"MT",
              u"NE", u"NV", u"NH", u"NJ", u"NM", u"NY", u"NC", u"ND", u"OH", u"OK", u"OR", u"PA", u"RI",
              u"SC", u"SD", u"TN", u"TX", u"UT", u"VT", u"VA", u"WA", u"WV", u"WI", u"WY", u"DC"})
            h.insert(QStringView(s), true);
        return h;
    }();
    return word.size() == 2 && states.contains(word);
}
