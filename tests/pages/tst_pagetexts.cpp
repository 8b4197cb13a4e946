#include "pages/lettericon.h"
#include "pages/pagedialogs.h"
#include "pages/pagetexts.h"
#include "support/isolatedsettings.h"

#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <QtTest>

class TestPageTexts : public QObject
{
    Q_OBJECT
private slots:
    void messageBoxesShowTextAsText();
    void accountFormRefusals_data();
    void accountFormRefusals();
    void accountFormPortAndServer();
    void accountStatusTexts();
    void groupedCodes();
    void pairingTexts();
    void alertKeywords();
    void networkList();
    void accessSummary();
    void letterIconPixels();
    void outgoingServerInTheForm();
    void vaultRowsDoNotRepeatTheIssuer();
    void readableTimes();
};

void TestPageTexts::outgoingServerInTheForm()
{
    AccountFormInput in;
    in.address = QStringLiteral("ali@firma.com");
    in.password = QStringLiteral("pw");
    in.smtpHost = QStringLiteral(" smtp.firma.com ");
    in.smtpPort = QStringLiteral("587");
    in.smtpStartTls = true;
    AccountFormResult r = accountFromForm(in);
    QVERIFY(r.ok);
    QCOMPARE(r.account.smtpHost, QStringLiteral("smtp.firma.com"));
    QCOMPARE(r.account.smtpPort, quint16(587));
    QVERIFY(r.account.smtpStartTls);
    in.smtpPort = QStringLiteral("70000");
    QVERIFY(!accountFromForm(in).ok);
    QVERIFY(accountFromForm(in).error.startsWith(QStringLiteral("Giden port gecersiz")));
    // a port without a server would be a port of nothing
    in.smtpHost.clear();
    in.smtpPort = QStringLiteral("587");
    QVERIFY(!accountFromForm(in).ok);
    in.smtpPort.clear();
    r = accountFromForm(in);
    QVERIFY(r.ok && r.account.smtpHost.isEmpty() && !r.account.smtpStartTls);

    EmailAccount refused = r.account;
    refused.loginRefused = true;
    refused.lastError = QStringLiteral("Sifre reddedildi.");
    QVERIFY(accountListStatus(refused).startsWith(QStringLiteral("giris reddedildi, yoklama durdu")));
    QCOMPARE(activityAccountState(refused), QStringLiteral("giris reddedildi, yoklama durdu"));
    // a refused browser sign-in needs a new sign-in, not a new password
    refused.auth = MailAuth::XOAuth2;
    QCOMPARE(accountListStatus(refused), QStringLiteral("Yeniden oturum acilmali"));
    QCOMPARE(activityAccountState(refused), QStringLiteral("Yeniden oturum acilmali, yoklama durdu"));
}

void TestPageTexts::vaultRowsDoNotRepeatTheIssuer()
{
    auto row = [](const QString &label, const QString &issuer) {
        const VaultRowText t = vaultRowText(label, issuer);
        return QStringList{t.title, t.subtitle};
    };
    QCOMPARE(row(QStringLiteral("ACME Co:john@example.com"), QStringLiteral("ACME Co")),
             (QStringList{QStringLiteral("john@example.com"), QStringLiteral("ACME Co")}));
    QCOMPARE(row(QStringLiteral("acme co: john@example.com"), QStringLiteral("ACME Co")),
             (QStringList{QStringLiteral("john@example.com"), QStringLiteral("ACME Co")}));
    // another prefix than the issuer is part of the name
    QCOMPARE(row(QStringLiteral("Work:ali"), QStringLiteral("GitHub")),
             (QStringList{QStringLiteral("Work:ali"), QStringLiteral("GitHub")}));
    QCOMPARE(row(QStringLiteral("Riot"), QString()),
             (QStringList{QStringLiteral("Riot"), QStringLiteral("TOTP - cift tikla kopyala")}));
    QCOMPARE(row(QStringLiteral("Saat 10:30"), QString()).first(), QStringLiteral("Saat 10:30"));
}

void TestPageTexts::readableTimes()
{
    const QDateTime now(QDate(2026, 12, 8), QTime(15, 0));
    QCOMPARE(readableTime(QDateTime(QDate(2026, 12, 8), QTime(9, 5)), now), QStringLiteral("09:05"));
    QCOMPARE(readableTime(QDateTime(QDate(2026, 3, 7), QTime(9, 41)), now), QStringLiteral("07.03 09:41"));
    QCOMPARE(readableTime(QDateTime(QDate(2025, 12, 31), QTime(23, 0)), now), QStringLiteral("31.12.2025"));
    QVERIFY(readableTime(QDateTime(), now).isEmpty());
    // a UTC time is shown in local time
    const QDateTime utc(QDate(2026, 12, 8), QTime(12, 0), Qt::UTC);
    QCOMPARE(readableTime(utc, now.addSecs(-3600 * 14)).right(5), utc.toLocalTime().toString(QStringLiteral("HH:mm")));
    // the pairing record's ISO time; anything else as it is
    QCOMPARE(pairedAtText(QStringLiteral("2026-12-08T09:05:00"), now), QStringLiteral("09:05"));
    QCOMPARE(pairedAtText(QStringLiteral("dun"), now), QStringLiteral("dun"));
}

void TestPageTexts::accountFormRefusals_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("port");
    QTest::addColumn<QString>("error");
    const QString portError = QStringLiteral("Port 993 olmali.");
    QTest::newRow("no dot") << "ali@firma" << "pw" << "" << "Gecerli bir mail yaz: ornek@gmail.com";
    QTest::newRow("non-ascii") << "ayşe@firma.com" << "pw" << "" << "Gecerli bir mail yaz: ornek@gmail.com";
    QTest::newRow("no password") << "ali@firma.com" << ""
                                 << "" << "Uygulama sifreni yaz. Normal sifren degil, saglayicidan uretilir. "
                                          "'Nasil alinir?' butonuna bak.";
    QTest::newRow("port 0") << "ali@firma.com" << "pw" << "0" << portError;
    QTest::newRow("port -5") << "ali@firma.com" << "pw" << "-5" << portError;
    QTest::newRow("port abc") << "ali@firma.com" << "pw" << "abc" << portError;
    QTest::newRow("port 70000") << "ali@firma.com" << "pw" << "70000" << portError;
}

void TestPageTexts::accountFormRefusals()
{
    QFETCH(QString, address);
    QFETCH(QString, password);
    QFETCH(QString, port);
    QFETCH(QString, error);
    AccountFormInput in;
    in.address = address;
    in.password = password;
    in.port = port;
    const AccountFormResult r = accountFromForm(in);
    QVERIFY(!r.ok);
    QCOMPARE(r.error, error);
}

void TestPageTexts::accountFormPortAndServer()
{
    AccountFormInput in;
    in.address = QStringLiteral("  Ali@Gmail.com ");
    in.password = QStringLiteral(" pw with spaces ");
    in.port = QString();
    AccountFormResult r = accountFromForm(in);
    QVERIFY(r.ok);
    QCOMPARE(r.account.address, QStringLiteral("Ali@Gmail.com"));
    QCOMPARE(r.account.provider, QStringLiteral("gmail"));
    QCOMPARE(r.account.host, QStringLiteral("imap.gmail.com"));
    QCOMPARE(r.account.port, quint16(993)); // empty port: the detected one
    QCOMPARE(r.account.pass, QStringLiteral(" pw with spaces ")); // as typed
    QVERIFY(r.account.enabled);

    // A manual server wins over a successful detection; the port is taken.
    in.host = QStringLiteral(" 127.0.0.1 ");
    in.port = QStringLiteral(" 10993 ");
    in.user = QStringLiteral(" ali ");
    r = accountFromForm(in);
    QVERIFY(r.ok);
    QCOMPARE(r.account.host, QStringLiteral("127.0.0.1"));
    QCOMPARE(r.account.port, quint16(10993));
    QCOMPARE(r.account.user, QStringLiteral("ali"));

    // Unlisted domain: the guessed host.
    in = AccountFormInput();
    in.address = QStringLiteral("ali@Firma.com.tr");
    in.password = QStringLiteral("x");
    r = accountFromForm(in);
    QVERIFY(r.ok);
    QCOMPARE(r.account.provider, QStringLiteral("custom"));
    QCOMPARE(r.account.host, QStringLiteral("imap.firma.com.tr"));
}

void TestPageTexts::accountStatusTexts()
{
    EmailAccount a;
    a.address = QStringLiteral("a@b.com");
    QCOMPARE(accountListStatus(a), QStringLiteral("kaydedildi, yoklaniyor..."));
    QCOMPARE(activityAccountState(a), QStringLiteral("baglanti bekleniyor"));
    a.lastOk = QStringLiteral("12:34");
    QCOMPARE(accountListStatus(a), QStringLiteral("calisiyor (son: 12:34)"));
    QCOMPARE(activityAccountState(a), QStringLiteral("son erisim 12:34"));
    a.lastError = QString(120, QLatin1Char('e'));
    QCOMPARE(accountListStatus(a), QStringLiteral("hata: ") + QString(90, QLatin1Char('e')));
    QCOMPARE(activityAccountState(a), QStringLiteral("HATA ") + QString(60, QLatin1Char('e')));
    a.enabled = false;
    QCOMPARE(accountListStatus(a), QStringLiteral("duraklatildi"));
    QCOMPARE(activityAccountState(a), QStringLiteral("duraklatildi"));
}

void TestPageTexts::groupedCodes()
{
    QCOMPARE(groupedCode(QStringLiteral("012345")), QStringLiteral("012 345"));
    QCOMPARE(groupedCode(QStringLiteral("0123456")), QStringLiteral("0123 456"));
    QCOMPARE(groupedCode(QStringLiteral("01234567")), QStringLiteral("0123 4567"));
    QCOMPARE(groupedCode(QStringLiteral("------")), QStringLiteral("------"));
    QCOMPARE(groupedCode(QString()), QString());
}

void TestPageTexts::pairingTexts()
{
    QCOMPARE(pairingCodeText(QString()), QStringLiteral("------"));
    QCOMPARE(pairingCodeText(QStringLiteral("042917")), QStringLiteral("042 917"));
    QCOMPARE(timeLeftText(125), QStringLiteral("Kalan sure: 2:05"));
    QCOMPARE(timeLeftText(600), QStringLiteral("Kalan sure: 10:00"));
    QCOMPARE(timeLeftText(9), QStringLiteral("Kalan sure: 0:09"));
    QCOMPARE(timeLeftText(-3), QStringLiteral("Kalan sure: 0:00"));
}

void TestPageTexts::alertKeywords()
{
    QCOMPARE(securityAlertKeywords().first(), QStringLiteral("yeni giris"));

    MailItem m;
    m.from = QStringLiteral("Google <no-reply@accounts.google.com>");
    m.subject = QStringLiteral("Security alert: New sign-in on Windows");
    QVERIFY(isSecurityAlert(m));
    m.subject = QStringLiteral("Hesabiniza YENI GIRIS yapildi");
    QVERIFY(isSecurityAlert(m));
    m.subject = QStringLiteral("Guvenlik uyarisi"); // inside a longer word
    QVERIFY(isSecurityAlert(m));
    m.subject = QStringLiteral("Siparisin kargoya verildi");
    QVERIFY(!isSecurityAlert(m));
    // The sender counts as well as the subject.
    m.from = QStringLiteral("Suspicious Activity Team <x@y.com>");
    QVERIFY(isSecurityAlert(m));

    // The usual wordings of a sign-in notice, English and Turkish (with its own letters).
    m.from = QStringLiteral("Spotify <no-reply@spotify.com>");
    for (const QString &subject :
         {QStringLiteral("New login to Spotify"), QStringLiteral("You signed in on a new device"),
          QStringLiteral("Someone logged into your account"), QStringLiteral("Unusual login attempt"),
          QString::fromUtf8("Hesab\u0131n\u0131za yeni giri\u015f"), QString::fromUtf8("YEN\u0130 OTURUM A\u00c7ILDI"),
          QString::fromUtf8("Yeni bir cihazdan eri\u015fim")}) {
        m.subject = subject;
        QVERIFY2(isSecurityAlert(m), qPrintable(subject));
    }
    m.subject = QStringLiteral("Your weekly mix is ready");
    QVERIFY(!isSecurityAlert(m));
}

void TestPageTexts::networkList()
{
    QCOMPARE(networkListText({}), QStringLiteral("bilinmiyor"));

    NetInterfaceInfo lo{QStringLiteral("lo"), true, true, {QHostAddress(QStringLiteral("127.0.0.1"))}};
    NetInterfaceInfo eth{QStringLiteral("eth0"), true, false,
                         {QHostAddress(QStringLiteral("fe80::1")), QHostAddress(QStringLiteral("192.168.1.7")),
                          QHostAddress(QStringLiteral("2001:db8::5"))}};
    NetInterfaceInfo down{QStringLiteral("wlan0"), false, false, {QHostAddress(QStringLiteral("10.0.0.2"))}};
    NetInterfaceInfo v6only{QStringLiteral("tun0"), true, false, {QHostAddress(QStringLiteral("2001:db8::9"))}};
    NetInterfaceInfo eth2{QStringLiteral("eth1"), true, false, {QHostAddress(QStringLiteral("10.1.2.3"))}};
    QCOMPARE(networkListText({lo, down, v6only}), QStringLiteral("bilinmiyor"));
    QCOMPARE(networkListText({lo, eth, down, v6only, eth2}),
             QStringLiteral("eth0: 192.168.1.7  •  eth1: 10.1.2.3"));

    // The live machine's list never shows loopback or IPv6 addresses.
    const QString live = networkListText(systemInterfaces());
    QVERIFY(!live.contains(QStringLiteral("127.0.0.1")));
    QVERIFY(!live.contains(QStringLiteral("::")));
}

void TestPageTexts::accessSummary()
{
    QCOMPARE(accessSummaryText(QStringLiteral("pc"), QStringLiteral("Debian"), QStringLiteral("bilinmiyor"), {}),
             QStringLiteral("Bu cihaz: pc  |  Debian\nAg: bilinmiyor\nHenuz bagli hesap yok."));
    EmailAccount a;
    a.address = QStringLiteral("a@b.com");
    a.enabled = false;
    EmailAccount b;
    b.address = QStringLiteral("c@d.com");
    b.lastOk = QStringLiteral("09:05");
    QCOMPARE(accessSummaryText(QStringLiteral("pc"), QStringLiteral("OS"), QStringLiteral("eth0: 1.2.3.4"), {a, b}),
             QStringLiteral("Bu cihaz: pc  |  OS\nAg: eth0: 1.2.3.4\na@b.com: duraklatildi\nc@d.com: son erisim 09:05"));
}

void TestPageTexts::letterIconPixels()
{
    const QImage img = letterImage(QColor(kLetterGrey), QStringLiteral("A"));
    QCOMPARE(img.size(), QSize(32, 32));
    QCOMPARE(qAlpha(img.pixel(0, 0)), 0); // outside the circle
    // Left edge of the circle, away from the letter: the fill colour.
    QCOMPARE(QColor(img.pixel(3, 16)).name(), QStringLiteral("#77777f"));
    // Something white was drawn near the middle.
    bool white = false;
    for (int y = 8; y < 24 && !white; ++y)
        for (int x = 8; x < 24 && !white; ++x)
            white = QColor(img.pixel(x, y)) == QColor(Qt::white);
    QVERIFY(white);
    QCOMPARE(firstLetterUpper(QStringLiteral("ali@x.com")), QStringLiteral("A"));
    QCOMPARE(firstLetterUpper(QString()), QStringLiteral("?"));
}

void TestPageTexts::messageBoxesShowTextAsText()
{
    // Server answers and names reach these boxes; the static QMessageBox
    // helpers would render anything that looks like HTML.
    const QString evil = QStringLiteral("<b>Sunucu</b> <img src=x> cevabi");
    QList<Qt::TextFormat> formats;
    QStringList texts;
    QTimer closer;
    closer.setInterval(10);
    connect(&closer, &QTimer::timeout, this, [&] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            formats << box->textFormat();
            texts << box->text();
            box->done(QMessageBox::No);
        }
    });
    closer.start();
    PageDialogs *dialogs = PageDialogs::standard();
    dialogs->warn(nullptr, evil);
    dialogs->inform(nullptr, QStringLiteral("MIRELO+"), evil);
    QVERIFY(!dialogs->ask(nullptr, evil));
    QCOMPARE(texts, QStringList({evil, evil, evil}));
    QCOMPARE(formats, QList<Qt::TextFormat>({Qt::PlainText, Qt::PlainText, Qt::PlainText}));
}

QTEST_MAIN(TestPageTexts)
#include "tst_pagetexts.moc"
