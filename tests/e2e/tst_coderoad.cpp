// The whole road of a code with nothing faked: a real Dovecot mailbox, the
// main window with a signed-in user on a local database, a pairing started
// from the link page and joined by mirelo-peer from the scanned QR code,
// then one mail with a code: card, clipboard and the peer all get it, and
// the database holds only sealed boxes.
#include "account/firebaseauth.h"
#include "app/appservices.h"
#include "app/mainwindow.h"
#include "desktop/autotyper.h"
#include "link/linkmanager.h"
#include "qr/qrwidget.h"
#include "mail/mailstore.h"
#include "pages/accountspage.h"
#include "pages/inboxmodel.h"
#include "pages/inboxpage.h"
#include "pages/linkpage.h"
#include "servers/clouddbfixture.h"
#include "servers/dovecotserver.h"
#include "servers/hostprocess.h"
#include "support/isolatedsettings.h"
#include "servers/tlsfixture.h"
#include "transport/imapclient.h"

#include "../pages/dbpeek.h"

#include <QClipboard>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QStandardPaths>
#include <QtTest>

#include <memory>

namespace {

QString peerProgram()
{
    return QStringLiteral(MIRELO_TEST_BIN_DIR) + QStringLiteral("/mirelo-peer");
}

QPushButton *findButton(QWidget *root, const QString &text)
{
    for (QPushButton *b : root->findChildren<QPushButton *>())
        if (b->text() == text)
            return b;
    return nullptr;
}

QLineEdit *findEdit(QWidget *root, const QString &placeholderStart)
{
    for (QLineEdit *e : root->findChildren<QLineEdit *>())
        if (e->placeholderText().startsWith(placeholderStart))
            return e;
    return nullptr;
}

// What a phone's camera would read off the screen.
QString scanQr(const QPixmap &pixmap, const QString &dir, QString *error)
{
    const QString file = dir + QStringLiteral("/qr.png");
    if (!pixmap.save(file)) {
        *error = QStringLiteral("cannot save the QR image");
        return QString();
    }
    // zbarimg is a Linux program: the Windows build reaches it through the host.
    HostProcess zbar;
    if (!zbar.start(QStringLiteral("/usr/bin/zbarimg"), {QStringLiteral("--raw"), QStringLiteral("-q"), hostPath(file)})
        || !zbar.waitForFinished(15000) || zbar.exitCode() != 0) {
        *error = QStringLiteral("zbarimg failed: ") + QString::fromUtf8(zbar.readAllStandardError());
        return QString();
    }
    return QString::fromUtf8(zbar.readAllStandardOutput()).trimmed();
}

// A mail the way large senders send it: HTML only, base64, a long style
// head before the text, the code in its own table cell.
QByteArray htmlCodeMail(const QString &code)
{
    QByteArray html = "<html><head><style>";
    for (int i = 0; i < 60; ++i)
        html += ".c" + QByteArray::number(i) + "{color:#006699;font:14px Arial;padding:2024px}";
    html += "</style></head><body><table><tr><td>Merhaba,</td></tr>"
            "<tr><td>Hesabiniza giris icin dogrulama kodunuz asagidadir:</td></tr>"
            "<tr><td style=\"font-size:32px\">" + code.toUtf8() + "</td></tr>"
            "<tr><td>Bu kod 10 dakika gecerlidir. &copy; 2025 Ornek A.S.</td></tr></table></body></html>";
    QByteArray b64 = html.toBase64();
    QByteArray wrapped;
    for (qsizetype i = 0; i < b64.size(); i += 76)
        wrapped += b64.mid(i, 76) + "\r\n";
    return "From: Ornek <guvenlik@ornek.com.tr>\r\nTo: alice@mirelo.test\r\nSubject: Giris dogrulamasi\r\n"
           "Date: " + QDateTime::currentDateTime().toString(Qt::RFC2822Date).toUtf8()
           + "\r\nMessage-ID: <html-code@ornek.com.tr>\r\nMIME-Version: 1.0\r\n"
             "Content-Type: text/html; charset=utf-8\r\nContent-Transfer-Encoding: base64\r\n\r\n"
           + wrapped;
}

// A receipt full of years, prices, a postal code and a phone number.
QByteArray receiptMail()
{
    return "From: Magaza <fatura@magaza.example>\r\nTo: alice@mirelo.test\r\nSubject: Makbuzunuz 2025\r\n"
           "Date: " + QDateTime::currentDateTime().toString(Qt::RFC2822Date).toUtf8()
           + "\r\nMessage-ID: <receipt-2025@magaza.example>\r\nMIME-Version: 1.0\r\n"
             "Content-Type: text/plain; charset=utf-8\r\nContent-Transfer-Encoding: quoted-printable\r\n\r\n"
             "Odemeniz alindi, guvenlik icin tesekkurler.\r\n"
             "Siparis no: 552211 =E2=80=94 12 Mart 2025, 14:32\r\n"
             "Toplam: 1.999,00 TL (KDV 2024)\r\n"
             "Magaza A.S., 1600 Main Street, Mountain View, CA 94043\r\n"
             "Destek: +90 212 555 01 99 | =C2=A9 1999-2025 Magaza\r\n";
}

} // namespace

class TestCodeRoad : public QObject
{
    Q_OBJECT
private slots:
    void codeTravelsFromMailboxToPeer();
};

void TestCodeRoad::codeTravelsFromMailboxToPeer()
{
    if (HostProcess::run(QStringLiteral("/usr/bin/test"), {QStringLiteral("-x"), QStringLiteral("/usr/bin/zbarimg")}) != 0)
        QSKIP("zbarimg is not installed (scripts/install-deps.sh installs it)");
    IsolatedSettings settings;

    // Mail server and database.
    TlsFixture tls;
    QVERIFY2(tls.isValid(), qPrintable(tls.error()));
    tls.trustInProcess();
    DovecotServer imap(tls);
    QVERIFY2(imap.start(), qPrintable(imap.error()));
    QVERIFY(imap.addUser(QStringLiteral("alice"), QStringLiteral("uygulama-sifresi")));
    CloudDbFixture db;
    QVERIFY2(db.start(), qPrintable(db.errorText()));

    // A user signs up once; the window finds the stored session.
    {
        FirebaseAuth signup(nullptr, db.baseUrl());
        signup.signUp(QStringLiteral("deneme"), QStringLiteral("gizli-1234"));
        QTRY_VERIFY_WITH_TIMEOUT(signup.isLogged(), 10000);
    }

    AppServicesOptions so;
    so.databaseUrl = db.baseUrl();
    // The start-up quiet period stays: it holds only the first round's mails.
    so.guard = [] { return false; };
    so.registerHotkey = false;
    AppServices s(so);
    MainWindowOptions o;
    o.trayFactory = [](QObject *) -> Tray * { return nullptr; };
    QStringList boxes;
    o.message = [&boxes](QMessageBox::Icon, const QString &text) { boxes.append(text); };
    o.fadeMs = 1;
    MainWindow w(&s, o);
    s.start();
    w.show();
    QVERIFY(s.auth()->isLogged());
    QCOMPARE(s.auth()->displayName(), QStringLiteral("deneme"));

    // Pairing from the link page; the peer joins with what it scans.
    w.switchPage(LinkPageIndex);
    QCOMPARE(w.pageStack()->currentWidget(), static_cast<QWidget *>(w.linkPage()));
    findButton(w.linkPage(), QStringLiteral("Eslestirme Baslat"))->click();
    QVERIFY(s.link()->isPairing());
    const QString sid = s.link()->sessionId();
    QTRY_VERIFY(!peekDatabase(db.baseUrl(), QStringLiteral("/mirelo_link/") + sid).isEmpty());
    QString scanError;
    const QString uri = scanQr(w.linkPage()->qrWidget()->pixmap(), settings.path(), &scanError);
    QVERIFY2(!uri.isEmpty(), qPrintable(scanError));
    QCOMPARE(uri, s.link()->pairingUri());

    const QString peerState = settings.path() + QStringLiteral("/peer-devices.json");
    QProcess join;
    join.start(peerProgram(), {QStringLiteral("join"), uri, QStringLiteral("--name"), QStringLiteral("e2e telefon"),
                               QStringLiteral("--state"), peerState, QStringLiteral("--db"), db.baseUrl()});
    QVERIFY2(join.waitForFinished(20000), "mirelo-peer join did not finish");
    QVERIFY2(join.exitCode() == 0, join.readAllStandardError().constData());
    QTRY_COMPARE_WITH_TIMEOUT(s.link()->devices().size(), 1, 10000);
    QCOMPARE(s.link()->devices().at(0).name, QStringLiteral("e2e telefon"));
    QCOMPARE(w.linkPage()->pairCodeLabel()->text(), QStringLiteral("------"));
    QVERIFY(w.linkPage()->deviceList()->item(0)->text().startsWith(QStringLiteral("e2e telefon  —  eslesti: ")));

    // The mailbox, added through the accounts page and tested for real.
    w.switchPage(AccountsPageIndex);
    AccountsPage *acc = w.accountsPage();
    findEdit(acc, QStringLiteral("Mail adresin"))->setText(QStringLiteral("alice@mirelo.test"));
    findEdit(acc, QStringLiteral("Uygulama sifresi"))->setText(QStringLiteral("uygulama-sifresi"));
    acc->findChild<QLineEdit *>(QStringLiteral("hostField"))->setText(imap.host());
    acc->findChild<QLineEdit *>(QStringLiteral("userField"))->setText(QStringLiteral("alice"));
    acc->findChild<QLineEdit *>(QStringLiteral("portField"))->setText(QString::number(imap.port()));
    QSignalSpy tested(s.imap(), &ImapClient::testFinished);
    findButton(acc, QStringLiteral("Bagla ve Test Et"))->click();
    QTRY_COMPARE_WITH_TIMEOUT(tested.size(), 1, 20000);
    QVERIFY2(tested.at(0).at(1).toBool(), qPrintable(tested.at(0).at(2).toString() + QLatin1Char('\n') + imap.log()));
    QVERIFY(boxes.isEmpty());
    QTRY_COMPARE(w.currentPage(), int(InboxPageIndex));
    // The first round after the good test marks the account as working; the
    // mailbox's mails found in it would be held for the quiet period.
    QTRY_VERIFY_WITH_TIMEOUT(!s.store()->accounts().value(0).lastOk.isEmpty(), 20000);

    // One mail with a code, brought by the account's IDLE connection: no
    // poll is asked for and the poll timer is an hour away.
    s.imap()->setPollInterval(3600 * 1000);
    QTRY_VERIFY_WITH_TIMEOUT(s.imap()->isInstant(QStringLiteral("alice@mirelo.test")), 20000);
    QGuiApplication::clipboard()->clear();
    QElapsedTimer clock;
    clock.start();
    QVERIFY(!imap.deliver(QStringLiteral("alice"),
                          DovecotServer::message(QStringLiteral("Steam <noreply@steampowered.com>"),
                                                 QStringLiteral("Steam Guard kodun"),
                                                 QStringLiteral("Hesabina giris icin kodun: 847204")))
                 .isEmpty());
    QTRY_COMPARE_WITH_TIMEOUT(QGuiApplication::clipboard()->text(), QStringLiteral("847204"), 20000);
    const qint64 toClipboardMs = clock.elapsed();
    std::printf("E2E delivery to clipboard: %lld ms (over IDLE, no poll asked for)\n",
                static_cast<long long>(toClipboardMs));
    std::fflush(stdout);

    // The card, once the debounced inbox rebuild has run.
    InboxModel *model = w.inboxPage()->model();
    const auto cardShown = [model] {
        for (int row = 0; row < model->rowCount(); ++row) {
            const QModelIndex idx = model->index(row, 0);
            if (idx.data(InboxModel::CodeRole).toString() == QStringLiteral("847204")
                && idx.data(InboxModel::AccountRole).toString() == QStringLiteral("alice@mirelo.test"))
                return true;
        }
        return false;
    };
    QTRY_VERIFY(cardShown());

    // The database holds the message, sealed: no code, sender or subject in clear.
    QByteArray inbox;
    QTRY_VERIFY_WITH_TIMEOUT(
        !(inbox = peekDatabase(db.baseUrl(), QStringLiteral("/mirelo_link/") + sid + QStringLiteral("/inbox")))
             .isEmpty(),
        10000);
    const QJsonObject messages = QJsonDocument::fromJson(inbox).object();
    QCOMPARE(messages.size(), 1);
    const QJsonObject message = messages.begin().value().toObject();
    QVERIFY(message.contains(QStringLiteral("data")));
    // The pairing tree cannot be listed; the session is read by its id.
    QVERIFY(peekDatabase(db.baseUrl(), QStringLiteral("/mirelo_link")).isEmpty());
    const QByteArray whole = peekDatabase(db.baseUrl(), QStringLiteral("/mirelo_link/") + sid);
    QVERIFY(!whole.isEmpty());
    for (const char *clear : {"847204", "Steam Guard", "steampowered", "uygulama-sifresi"})
        QVERIFY2(!whole.contains(clear), clear);

    // The peer opens it.
    QProcess watch;
    watch.start(peerProgram(), {QStringLiteral("watch"), QStringLiteral("--state"), peerState, QStringLiteral("--db"),
                                db.baseUrl(), QStringLiteral("--interval"), QStringLiteral("0.2")});
    QVERIFY(watch.waitForStarted(10000));
    QByteArray printed;
    QTRY_VERIFY_WITH_TIMEOUT((printed += watch.readAllStandardOutput()).contains('\n'), 15000);
    // On Windows terminate() only asks windows to close: a console program
    // would go on taking codes from the inbox.
#ifdef Q_OS_WIN
    watch.kill();
#else
    watch.terminate();
#endif
    QVERIFY(watch.waitForFinished(5000));
    const QJsonObject line = QJsonDocument::fromJson(printed.left(printed.indexOf('\n'))).object();
    QCOMPARE(line.value(QStringLiteral("code")).toString(), QStringLiteral("847204"));
    QCOMPARE(line.value(QStringLiteral("subject")).toString(), QStringLiteral("Steam Guard kodun"));

    // Read and deleted by the peer; the database file never saw the code either.
    QTRY_VERIFY_WITH_TIMEOUT(
        peekDatabase(db.baseUrl(), QStringLiteral("/mirelo_link/") + sid + QStringLiteral("/inbox")).isEmpty(), 10000);
    // Neither in the data file nor in its write log.
    QByteArray stored;
    for (const QString &path : {db.dataFile(), db.dataFile() + QStringLiteral(".log")}) {
        QFile file(path);
        if (file.open(QIODevice::ReadOnly))
            stored += file.readAll();
    }
    QVERIFY(stored.contains(sid.toUtf8())); // it does hold the session
    QVERIFY(!stored.contains("847204"));

    // In one poll: a base64 HTML code mail, then a receipt full of years,
    // prices and numbers. The code travels; the receipt gives nothing, so
    // the clipboard keeps the code although the receipt came later.
    QVERIFY(!imap.deliver(QStringLiteral("alice"), htmlCodeMail(QStringLiteral("603918"))).isEmpty());
    QVERIFY(!imap.deliver(QStringLiteral("alice"), receiptMail()).isEmpty());
    s.imap()->pollNow();
    const auto held = [&s](const QString &subject) {
        for (const MailItem &m : s.store()->mails())
            if (m.subject == subject)
                return m;
        return MailItem();
    };
    QTRY_VERIFY_WITH_TIMEOUT(!held(QStringLiteral("Makbuzunuz 2025")).id.isEmpty(), 20000);
    QCOMPARE(held(QStringLiteral("Giris dogrulamasi")).code, QStringLiteral("603918"));
    QVERIFY(held(QStringLiteral("Makbuzunuz 2025")).code.isEmpty());
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("603918"));
    QCOMPARE(s.typer()->lastText(), QStringLiteral("603918"));
    // The card shows the decoded text, not base64.
    QVERIFY(held(QStringLiteral("Giris dogrulamasi")).preview.contains(QStringLiteral("dogrulama kodunuz")));

    QProcess watch2;
    watch2.start(peerProgram(), {QStringLiteral("watch"), QStringLiteral("--state"), peerState, QStringLiteral("--db"),
                                 db.baseUrl(), QStringLiteral("--interval"), QStringLiteral("0.2")});
    QVERIFY(watch2.waitForStarted(10000));
    QByteArray printed2;
    QTRY_VERIFY_WITH_TIMEOUT((printed2 += watch2.readAllStandardOutput()).contains('\n'), 15000);
    // Give a second message, were there one, time to arrive too.
    QTest::qWait(1000);
    printed2 += watch2.readAllStandardOutput();
    watch2.terminate();
    watch2.waitForFinished(5000);
    const QList<QByteArray> lines2 = printed2.trimmed().split('\n');
    QCOMPARE(lines2.size(), 1);
    QCOMPARE(QJsonDocument::fromJson(lines2.first()).object().value(QStringLiteral("code")).toString(),
             QStringLiteral("603918"));
}

QTEST_MAIN(TestCodeRoad)
#include "tst_coderoad.moc"
