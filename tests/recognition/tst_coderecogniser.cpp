#include "recognition/coderecogniser.h"

#include <QtTest>

// The trust threshold the program ships with sits between what these tests
// call "sure" (keyword or announcement) and "unsure" (a bare number).
static constexpr int kSure = 80;

class TestCodeRecogniser : public QObject
{
    Q_OBJECT
private slots:
    void codes_data();
    void codes();
    void notCodes_data();
    void notCodes();
    void confidenceOrdersEvidence();
    void keywordCodeBeatsEarlierNumber();
    void invitationsStayUnsure();
    void emphasisIsEvidence();
    void oddTextStaysBounded();
};

void TestCodeRecogniser::codes_data()
{
    QTest::addColumn<QString>("subject");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("code");

    QTest::newRow("tr keyword") << "Steam Guard kodun" << "Hesabina giris icin kodun: 847204" << "847204";
    QTest::newRow("tr split") << "VALORANT" << "Merhaba! Dogrulama kodun: 482 913. 10 dakika gecerli." << "482913";
    QTest::newRow("tr diacritics") << "Giriş" << "Doğrulama kodunuz: 5518 (kimseyle paylaşmayın)" << "5518";
    QTest::newRow("tr announced") << "Hesap" << "Tek kullanımlık şifreniz aşağıdadır:\n\n  739201  \n\nIyi gunler"
                                  << "739201";
    QTest::newRow("en below") << "Sign in" << "Use the code below to sign in.\n\n7XK2PQ\n\nIt expires soon." << "7XK2PQ";
    QTest::newRow("en cell") << "" << "Your verification code is:\t318204\t" << "318204";
    QTest::newRow("lower alnum") << "" << "Here is your login code: 7xk2pq9m (valid 10 minutes)" << "7xk2pq9m";
    QTest::newRow("steam five") << "Steam" << "Login Code\nF7K2X\nIf this wasn't you, change your password."
                                << "F7K2X";
    QTest::newRow("upper unblock") << "" << "Your unblock code: QWRTZPLM" << "QWRTZPLM";
    QTest::newRow("subject first") << "123456 is your Instagram code" << "Someone tried to log in." << "123456";
    QTest::newRow("subject sign in") << "Use 318204 to sign in" << "" << "318204";
    QTest::newRow("google prefix") << "" << "G-482913 is your Google verification code." << "482913";
    QTest::newRow("spaced digits") << "" << "Your code\n4 8 2 9 1 3\nDo not share it." << "482913";
    QTest::newRow("dash halves") << "" << "Recovery code: AB12-CD34" << "AB12CD34";
    QTest::newRow("capital halves") << "Slack" << "Your confirmation code is below\n\nABC-DEF\n" << "ABCDEF";
    QTest::newRow("label then keyword") << "Banka" << "482913 numarali islem onay kodunuz ile 1.250,00 TL odeme."
                                        << "482913";
    QTest::newRow("german") << "" << "Ihr Bestätigungscode lautet 902114." << "902114";
    QTest::newRow("spanish") << "" << "Tu código de verificación es 551823" << "551823";
    QTest::newRow("french") << "" << "Votre code de sécurité : 66 12 09" << "661209";
    QTest::newRow("russian") << "" << "Ваш код подтверждения: 4417" << "4417";
    QTest::newRow("year as code") << "" << "Kodun: 2024" << "2024";
    QTest::newRow("year after keyword loses") << "Giris yap" << "Giris icin asagidaki kodu kullan.\n\n4173\n\nBu kod 2026 paketi icin degil."
                                              << "4173";
    QTest::newRow("html spaces") << "" << "OTP\u00a0:\u200b 902114" << "902114";

    // One sentence, the keyword several words away, over a soft line break.
    QTest::newRow("far keyword") << "Profile" << "The verification code for your new profile is 402913" << "402913";
    QTest::newRow("sentence over a line") << "Sign in"
                                          << "Enter the following special access code into the login window of\n"
                                             "the application before signing in again: 7KQ2M"
                                          << "7KQ2M";
    QTest::newRow("keyword after, digits around") << "Account"
                                                  << "Ref 77120033 / 2026\nHi, 318207 is the verification code for "
                                                     "your account"
                                                  << "318207";
    QTest::newRow("marked lower letters") << "Confirm" << "Use the confirmation code below.\n\n> hxtrkbwz\n\nThanks"
                                          << "hxtrkbwz";
    QTest::newRow("bracketed") << "Confirm" << "Use the confirmation code below.\n\n[ 482913 ]\n" << "482913";
    // Compounds and inflections by rule; dashed letter codes under them.
    QTest::newRow("de compound letters") << "Anmeldung" << "Ihr Anmeldecode steht unten\n\nPLMW-QZRT\n" << "PLMWQZRT";
    QTest::newRow("de zugangscode") << "" << "Ihr Zugangscode: 771204" << "771204";
    QTest::newRow("lower dashed letters") << "Sign in" << "Your sign-in code is below\n\nplmw-qzrt\n" << "plmwqzrt";
    QTest::newRow("tr dashed alnum") << "Giris" << "Giris kodunuz asagida\n\nHB4QN-7XKWE\n" << "HB4QN7XKWE";
    // Other languages, right-to-left text, other digits.
    QTest::newRow("arabic") << "" << "\u0631\u0645\u0632 \u0627\u0644\u062a\u062d\u0642\u0642 \u0647\u0648 "
                                     "\u200f482913\u200f" << "482913";
    QTest::newRow("persian digits") << "" << "\u06a9\u062f \u062a\u0627\u06cc\u06cc\u062f: "
                                             "\u06f4\u06f8\u06f2\u06f9\u06f1\u06f3" << "482913";
    QTest::newRow("chinese glued") << "" << "\u60a8\u7684\u9a8c\u8bc1\u7801\u662f482913" << "482913";
    QTest::newRow("polish") << "" << "Tw\u00f3j kod weryfikacyjny to 482913" << "482913";
    QTest::newRow("azerbaijani") << "" << "T\u0259sdiq kodunuz: 482913" << "482913";
    QTest::newRow("login approval") << "" << "Your login approval code is 552193" << "552193";
    // Set off by a mark of their own, in quotes, in two groups, beside a magic link.
    QTest::newRow("marked letters with vowels") << "Sign in" << "Your sign-in code:\n\n> hoxatrib\n" << "hoxatrib";
    QTest::newRow("quoted dashed mixed") << "Account" << "Your code is \"K7P-2QX\"." << "K7P2QX";
    QTest::newRow("dashed four and two") << "Orbit" << "Or enter this code instead: 29XK-QP" << "29XKQP";
    QTest::newRow("four and four") << "Hallo" << "Ihr Einmalcode f\u00fcr die Anmeldung lautet 2749 3381." << "27493381";
    // A label ending the phrase before a colon; a compound that only starts like a label.
    QTest::newRow("page before colon") << "Sign in" << "Or enter this code on the sign-in page: 29XK-QP" << "29XKQP";
    QTest::newRow("portal compound") << "Einmalcode"
                                     << "der Einmalcode f\u00fcr Ihre Anmeldung im Kundenportal lautet 2749 3381 und ist\n"
                                        "10 Minuten g\u00fcltig." << "27493381";
    // Told to type or copy it, without a code noun.
    QTest::newRow("quoted after typing verb") << "Confirm withdrawal address"
                                              << "To approve it, type \"K7P-2QX\" (without the quotes) in the "
                                                 "confirmation field." << "K7P2QX";
    QTest::newRow("label before the typing verb") << "Finish signing in"
                                                  << "To finish signing in on your new phone, type \"Q7RX-K2MP\" in "
                                                     "the pairing field." << "Q7RXK2MP";
    QTest::newRow("guillemets with spaces") << "Confirm" << "Please enter \u00ab 4K7Q2M \u00bb to confirm your new address."
                                            << "4K7Q2M";
    QTest::newRow("code to approve a transaction") << "Autoryzacja transakcji"
                                                   << "Kod SMS do autoryzacji transakcji: 482913\nKwota: 120,00 PLN"
                                                   << "482913";
    QTest::newRow("copy the word below") << "Confirm your address"
                                         << "To confirm, copy the word below into the confirmation box:\n\n> hxtrkbwz\n"
                                         << "hxtrkbwz";
    // An authorisation without an amount is a device's, not a payment's; a version is no price.
    QTest::newRow("device authorization") << "Device authorization for Cobalt CLI"
                                          << "Device code: ZXR-4TK\n\nEnter this code to authorize the\nCobalt CLI "
                                             "v3.12.0 on host runner-07." << "ZXR4TK";
    QTest::newRow("in parentheses") << "Confirm" << "Use the confirmation code below:\n\n( 482913 )\n" << "482913";
    QTest::newRow("capitals after digits") << "Sign in" << "Enter this code on the login screen of the app: 294KQX"
                                           << "294KQX";
    QTest::newRow("quoted, a place after") << "Verify" << "Type 'KQ7-PZ2' in the verification box." << "KQ7PZ2";
    QTest::newRow("instruction over two lines")
        << "Verify email"
        << "Thanks for signing up! To verify your e-mail address, please enter the following code in the\n"
           "window where you started creating your account:\n\n482913\n" << "482913";
    QTest::newRow("sign-in noun in shop talk") << "Zahlung best\u00e4tigen"
                                               << "Ihr Sicherheitscode f\u00fcr die Zahlung im Online-Shop lautet 551 823."
                                               << "551823";
    QTest::newRow("purchase passcode") << "One-time passcode for your purchase"
                                       << "Your passcode is 552193. It approves the payment of 42,00 EUR." << "552193";
    QTest::newRow("short lead after a code sentence") << "Ton lien de connexion"
        << "Tu preferes saisir un code ? Le voici : \u00ab 803214 \u00bb\nIl expire dans 10 minutes." << "803214";
    QTest::newRow("pt 'no' after the code") << "Codigo"
        << "Para confirmar a morada, introduza o codigo 664018 no formulario da loja." << "664018";
    QTest::newRow("typed into a box far from the keyword") << "Finish your verification"
        << "After you open the app, choose Settings, accept the terms and pick your region, then type 290467 into the box on the screen." << "290467";
    QTest::newRow("typed code beside an events calendar") << "Club news"
        << "Events calendar\nBook your seat for the winter dinner.\n\nTo stay on the list, type in the confirmation code 581930 on the page."
        << "581930";
    QTest::newRow("labelled code over shop talk") << "Confirm your order"
        << "Before we ship, confirm it is you.\n\nYour one-time code: 918274\n\nUse it at checkout to finish your order."
        << "918274";
}

void TestCodeRecogniser::codes()
{
    QFETCH(QString, subject);
    QFETCH(QString, text);
    QFETCH(QString, code);
    const CodeMatch m = recogniseCode(subject, text);
    QCOMPARE(m.code, code);
    QVERIFY2(m.confidence >= kSure, qPrintable(QString::number(m.confidence) + " " + m.tag));
}

void TestCodeRecogniser::notCodes_data()
{
    QTest::addColumn<QString>("subject");
    QTest::addColumn<QString>("text");

    QTest::newRow("customer code") << "Bolletta" << "Codice cliente: 558201\nCliente no: 77120\nImporto: 87,40 EUR";
    QTest::newRow("footer year") << "Makbuz" << "Odemeniz alindi.\n© 2025 Odeme A.S. Tum haklari saklidir.";
    QTest::newRow("copyright word") << "Bulten" << "Copyright 2024 Example Inc. Guvenlik kodunuzu kimseyle paylasmayin.";
    QTest::newRow("bare year alone") << "Your code" << "Hi,\n\n2025\n\nthanks";
    QTest::newRow("date and time") << "" << "Giris kodu istendi: 12.03.2024 14:32:10";
    QTest::newRow("month date") << "" << "Your code expired on March 12, 2024";
    QTest::newRow("price") << "" << "Verification of payment: total $129,990 paid. Code of conduct applies.";
    QTest::newRow("lira") << "" << "Dogrulama: 125000 TL odendi";
    QTest::newRow("phone") << "" << "Kodunuz gelmediyse 0850 222 0 333 numarali hattimizi arayin.";
    QTest::newRow("plus phone") << "" << "Security code questions? Call +1 415 555 0132";
    QTest::newRow("us zip") << "Your sign-in code" << "Example Inc., 1600 Main Street, Mountain View, CA 94043";
    QTest::newRow("order number") << "Siparis onayi" << "Verification complete. Order number: 114477";
    QTest::newRow("numbered order") << "Kod" << "882211 numarali siparisiniz kargoya verildi.";
    QTest::newRow("label above") << "Code" << "Order number\n884201\nTotal\n12.99";
    QTest::newRow("tracking tr") << "Kargo" << "Kargo takip kodu: 7291837";
    QTest::newRow("promo code") << "" << "Use promo code SAVE20 at checkout for 20% off";
    QTest::newRow("promo tr") << "" << "Sepette %20 indirim icin kod: YAZ2024";
    QTest::newRow("postal tr") << "" << "Posta kodu: 34394";
    QTest::newRow("hex colour") << "" << "Verification <span style=\"color:#006699\">ok</span>";
    QTest::newRow("css text") << "" << "Your code\n.btn { color: 006699; padding: 12px; }";
    QTest::newRow("url digits") << "" << "Verify here: https://example.com/verify?code=482913&u=1";
    QTest::newRow("email address") << "" << "Code sent to user482913@example.com";
    QTest::newRow("long id") << "" << "Verification id 48291377102 done";
    QTest::newRow("duration") << "" << "Your code is valid for 1440 minutes";
    QTest::newRow("no keyword") << "" << "Order 123456";
    QTest::newRow("plain word") << "" << "Your code Expires soon";
    QTest::newRow("shouted word") << "" << "Your verification code was used.\n\nSee you soon\n\nTHANKS";
    QTest::newRow("empty") << "" << "";
    // Transaction numbers announced as codes.
    QTest::newRow("card authorisation") << "Betaling" << "Autorisatiecode : 5521930\nBedrag: 12,50 EUR";
    QTest::newRow("authorization code") << "Your receipt" << "Authorization code: 552193";
    QTest::newRow("invoice subject") << "Factura 2291 - Codigo: 48120377" << "Codigo: 48120377";
    QTest::newRow("codice fattura") << "" << "Codice fattura 48120377";
    QTest::newRow("code d'autorisation") << "" << "Votre code d'autorisation : 552193";
    // Compounds that name another kind of code.
    QTest::newRow("gutscheincode") << "Ihr Gutschein" << "Ihr Gutscheincode lautet 482913";
    QTest::newRow("kortingscode") << "" << "Kortingscode 482913 bij je volgende bestelling";
    QTest::newRow("locker code") << "Your order has shipped" << "Delivery code 4410 for the locker.";
    // Another number between the keyword and a later one.
    QTest::newRow("number in between") << "" << "Your code was sent to order 77120 and 482913 more";
    // Keyword plurals look like letter codes; a quoted reply marks every line.
    QTest::newRow("keyword plurals") << "Sicherheit" << "Ihr Zugangscode:\nTANs\nWir fragen nie nach OTPs oder PINs.";
    QTest::newRow("quoted reply letters") << "Re: Hilfe" << "> Your sign-in code:\n>\n> hoxatrib\n";
    QTest::newRow("unmarked vowelled letters") << "Sign in" << "Your sign-in code:\n\nhoxatrib\n";
    // Booking codes in other languages.
    QTest::newRow("codice di prenotazione") << "" << "Il tuo codice di prenotazione: KX7P2Q";
    QTest::newRow("codigo de reserva") << "Tu codigo de reserva" << "Tu c\u00f3digo de reserva es 7720193";
    QTest::newRow("buchungscode") << "" << "Ihr Buchungscode: 482913";
    QTest::newRow("arabic booking") << "" << "\u0631\u0645\u0632 \u0627\u0644\u062d\u062c\u0632: 583920";
    QTest::newRow("dashed words") << "Sign in" << "Your sign-in code is below\n\nwell-done\n";
    QTest::newRow("word-like lower") << "Confirm" << "Use the code below.\n\nthanks\n";
    // A label's own number after a code's line; a label ending the line above.
    QTest::newRow("postcode under a code line") << "Je bestelling is verzonden"
                                                << "Track & Trace code: 3SBKB0019283744\nPostcode: 3511 AB";
    QTest::newRow("label over a soft break") << "Neue Anmeldung"
                                             << "Sperren Sie Ihren Zugang \u00fcber den Sperr-Notruf\n116 116. Wir fragen "
                                                "Sie niemals nach Sicherheitscodes.";
    QTest::newRow("label naming the code noun") << "Potwierdzenie" << "Kod transakcji: 48120377";
    QTest::newRow("label before colon, no code noun") << "Ihr Konto" << "Ihre Kundennummer lautet: 44120987";
    // Typed words that are not codes: a word in capitals, a word with a digit,
    // a line to copy in a mail about nothing to verify.
    QTest::newRow("type a word to confirm") << "Delete repository"
                                            << "To confirm the deletion, type \"DELETE\" in the confirmation field.";
    QTest::newRow("type a lower word") << "Tips" << "Type \"settings2\" in the search box to confirm your security options.";
    QTest::newRow("copy without code talk") << "Your shell tip" << "Copy the line below:\n\n> XKQZTRW\n";
    QTest::newRow("unit after digits") << "Sign in" << "Your code: 64GB";
    QTest::newRow("coupon under shop talk") << "Winter" << "Copy the code below at checkout for 20% off:\n\n> SAVE2026\n";
    QTest::newRow("plain code in shop talk") << "Sign in" << "Use code 551823 at checkout in our shop.";
    QTest::newRow("approval beside an amount") << "Authorization approved"
                                               << "Approval code: 552193\nAmount: 42,00 EUR";
    QTest::newRow("gift code with a price") << "Winter box" << "Need a present? A gift box for 39 EUR with code XMAS2026.";
    QTest::newRow("code over a sales line") << "Menu" << "Fresh this week\n\nUse code ROAST25\n\n25% off your next order\n";
    QTest::newRow("'no' still labels what follows") << "Sign in" << "Please keep your receipt no 4412987 safe.";
}

void TestCodeRecogniser::notCodes()
{
    QFETCH(QString, subject);
    QFETCH(QString, text);
    const CodeMatch m = recogniseCode(subject, text);
    QVERIFY2(m.code.isEmpty(), qPrintable(m.code + " " + m.tag + " " + QString::number(m.confidence)));
    QCOMPARE(m.confidence, 0);
}

void TestCodeRecogniser::confidenceOrdersEvidence()
{
    const CodeMatch keyword = recogniseCode("", "Your code: 482913");
    const CodeMatch loose = recogniseCode("Hesap guvenligi", "Kod istegi alindi.\nMerhaba 482913 dostum");
    QCOMPARE(keyword.code, QStringLiteral("482913"));
    QCOMPARE(loose.code, QStringLiteral("482913"));
    QCOMPARE(loose.tag, QStringLiteral("loose"));
    QVERIFY(loose.confidence >= kCodeReportFloor);
    QVERIFY2(loose.confidence < kSure, qPrintable(QString::number(loose.confidence)));
    QVERIFY(keyword.confidence > loose.confidence);

    // Support falls with distance, and a line break inside the sentence adds to it.
    const CodeMatch near = recogniseCode("", "Your security code for the new browser is 552211");
    const CodeMatch far = recogniseCode("", "Your security code for the new browser that signed in\nfrom "
                                            "Lyon on your laptop is 552211");
    QCOMPARE(far.code, QStringLiteral("552211"));
    QVERIFY2(far.confidence < near.confidence && far.confidence < kSure,
             qPrintable(QString::number(near.confidence) + " " + QString::number(far.confidence)));
    // Past the short reach it falls word by word, not at once.
    const CodeMatch mid = recogniseCode("", "Your security code for the new browser on the laptop in the office in Lyon is 552211");
    QCOMPARE(mid.code, QStringLiteral("552211"));
    QVERIFY2(mid.confidence < near.confidence && mid.confidence > far.confidence && mid.confidence >= kSure,
             qPrintable(QString::number(mid.confidence)));
}

void TestCodeRecogniser::keywordCodeBeatsEarlierNumber()
{
    // The old table took the first six-digit run; the keyword's code wins now.
    const CodeMatch m = recogniseCode("Hesap", "Ref 552211 kaydiniz.\nSteam Guard code: 7K2PX\nDestek: 444 0 555");
    QCOMPARE(m.code, QStringLiteral("7K2PX"));
    QCOMPARE(m.tag, QStringLiteral("keyword_before"));
}

void TestCodeRecogniser::emphasisIsEvidence()
{
    // A code far from its keyword, set off by the sender, is trusted; the
    // same text without the mark, or with a whole paragraph marked, is not.
    const QString text = "Kodunuz hazir.\nHesabiniza yeni bir cihaz eklendi.\nCihaz: Pixel\nKonum: Ankara\n"
                         "Saat: gece\n482913\nIyi gunler";
    const qsizetype at = text.indexOf("482913");
    const CodeMatch plain = recogniseCode("Hesap", text);
    QVERIFY2(plain.confidence < 80, qPrintable(QString::number(plain.confidence)));
    const CodeMatch marked = recogniseCode("Hesap", text, {{at, 6, Emphasis::Large | Emphasis::Bold}});
    QCOMPARE(marked.code, QStringLiteral("482913"));
    QCOMPARE(marked.tag, QStringLiteral("emphasis"));
    QVERIFY2(marked.confidence >= 85, qPrintable(QString::number(marked.confidence)));
    const CodeMatch paragraph = recogniseCode("Hesap", text, {{0, text.size(), Emphasis::Bold}});
    QCOMPARE(paragraph.confidence, plain.confidence);
    // The number of an order, set off under or beside its label, stays the order's.
    for (const QString &order : {QStringLiteral("Keep your code safe.\nThis is the number of your order with us\n5520193\n"),
                                 QStringLiteral("\u062a\u0645 \u0627\u0633\u062a\u0644\u0627\u0645 \u0637\u0644\u0628\u0643 "
                                                "\u0648\u0627\u0644\u0631\u0645\u0632 \u0645\u0639\u0646\u0627\n"
                                                "\u0631\u0642\u0645 \u0627\u0644\u0637\u0644\u0628 \u0647\u0648 5520193\n")}) {
        const CodeMatch m = recogniseCode("", order, {{order.indexOf("5520193"), 7, Emphasis::Large | Emphasis::Bold}});
        QVERIFY2(m.confidence < 70, qPrintable(m.code + " " + m.tag + " " + QString::number(m.confidence)));
    }
    // Spans from another text (out of range) are ignored, never read past the end.
    QCOMPARE(recogniseCode("Hesap", text, {{at + 500, 6, Emphasis::Bold}, {-3, 2, Emphasis::Bold}}).confidence,
             plain.confidence);
}

void TestCodeRecogniser::invitationsStayUnsure()
{
    // A meeting's passcode lets people into a call, not into an account;
    // "password" and "sign in" in the body do not change that, a subject does.
    const QString body = "Join the Webex meeting\nMeeting number: 2345 678 901\nMeeting password: 73920415\n"
                         "Sign in to Webex to join.";
    const CodeMatch invite = recogniseCode("Weekly sync", body);
    QVERIFY2(invite.confidence < 70, qPrintable(invite.code + " " + QString::number(invite.confidence)));
    const CodeMatch signIn = recogniseCode("Your Webex sign-in code", "Meeting password: 73920415");
    QCOMPARE(signIn.code, QStringLiteral("73920415"));
    QVERIFY(signIn.confidence >= 70);
}

void TestCodeRecogniser::oddTextStaysBounded()
{
    // One endless sentence of keywords, numbers, links, addresses and
    // percentages, surrogates and lone separators: the answer is a code or
    // none (and it comes in milliseconds; quadratic scans took seconds).
    QString text;
    for (int i = 0; i < 4000; ++i)
        text += QStringLiteral("kod %1 - \xD83D\xDE00 http://a.bc/%1 x%1@y.zz 5% ").arg(100000 + i);
    text += QChar(0xD800);
    const CodeMatch m = recogniseCode(QString(200, QChar('9')), text);
    QVERIFY(m.code.isEmpty() || (m.code.size() == 6 && m.code.startsWith('1')));
}

QTEST_APPLESS_MAIN(TestCodeRecogniser)
#include "tst_coderecogniser.moc"
