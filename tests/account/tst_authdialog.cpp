#include "account/authdialog.h"
#include "account/firebaseauth.h"
#include "servers/clouddbfixture.h"
#include "support/isolatedsettings.h"

#include <QDir>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

QPushButton *button(QDialog &dialog, const QString &text)
{
    for (QPushButton *b : dialog.findChildren<QPushButton *>())
        if (b->text() == text)
            return b;
    return nullptr;
}

QLabel *statusLabel(QDialog &dialog)
{
    // The status line is the last label of the dialog.
    return dialog.findChildren<QLabel *>().last();
}

} // namespace

class TstAuthDialog : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init() { settings = std::make_unique<IsolatedSettings>(); }
    void cleanup() { settings.reset(); }
    void layoutAndTexts();
    void signUpSendsTrimmedNameAndExactPassword();
    void refusalKeepsDialogOpen();
    void signInClosesAccepted();
    void logoLookup();

private:
    CloudDbFixture db;
    std::unique_ptr<IsolatedSettings> settings;
};

void TstAuthDialog::initTestCase()
{
    QVERIFY2(db.startInProcess(), qPrintable(db.errorText()));
}

void TstAuthDialog::layoutAndTexts()
{
    FirebaseAuth auth(nullptr, db.baseUrl());
    AuthDialog dialog(&auth);
    QCOMPARE(dialog.windowTitle(), QString("MIRELO+ Hesabi"));
    QCOMPARE(dialog.objectName(), QString("authDialog"));
    QVERIFY(dialog.isModal());
    QCOMPARE(dialog.minimumWidth(), 360);
    const QList<QLineEdit *> edits = dialog.findChildren<QLineEdit *>();
    QCOMPARE(edits.size(), 2);
    QCOMPARE(edits.at(0)->placeholderText(), QString("kullanici_adi (3-20, harf/rakam/_)"));
    QVERIFY(edits.at(0)->isClearButtonEnabled());
    QCOMPARE(edits.at(1)->placeholderText(), QString("sifre (en az 4 karakter)"));
    QCOMPARE(edits.at(1)->echoMode(), QLineEdit::Password);
    QPushButton *in = button(dialog, "Giris Yap");
    QPushButton *up = button(dialog, "Kayit Ol");
    QVERIFY(in && up);
    QCOMPARE(in->property("class").toString(), QString("ghostBtn"));
    QCOMPARE(up->property("class").toString(), QString("primaryBtn"));
    QCOMPARE(up->cursor().shape(), Qt::PointingHandCursor);
}

void TstAuthDialog::signUpSendsTrimmedNameAndExactPassword()
{
    FirebaseAuth auth(nullptr, db.baseUrl());
    AuthDialog dialog(&auth);
    dialog.show();
    const QList<QLineEdit *> edits = dialog.findChildren<QLineEdit *>();
    edits.at(0)->setText("  pencere_1 \t");
    edits.at(1)->setText(" bosluklu ");
    QSignalSpy accepted(&dialog, &QDialog::accepted);
    button(dialog, "Kayit Ol")->click();
    QCOMPARE(statusLabel(dialog)->text(), QString("Kayit olusturuluyor..."));
    QVERIFY(accepted.wait(10000));
    QCOMPARE(statusLabel(dialog)->text(), QString("Hos geldin, pencere_1"));
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QVERIFY(auth.isLogged());
    QCOMPARE(auth.displayName(), QString("pencere_1"));

    // The password was hashed untrimmed: only the spaced form signs in.
    FirebaseAuth check(nullptr, db.baseUrl());
    QSignalSpy ok(&check, &FirebaseAuth::authOk);
    QSignalSpy error(&check, &FirebaseAuth::authError);
    check.signIn("pencere_1", "bosluklu");
    QVERIFY(error.wait(10000));
    QCOMPARE(error.at(0).at(0).toString(), QString("Sifre yanlis"));
    check.signIn("pencere_1", " bosluklu ");
    QVERIFY(ok.wait(10000));
}

void TstAuthDialog::refusalKeepsDialogOpen()
{
    FirebaseAuth auth(nullptr, db.baseUrl());
    AuthDialog dialog(&auth);
    dialog.show();
    dialog.findChildren<QLineEdit *>().at(0)->setText("a.b");
    button(dialog, "Giris Yap")->click();
    QCOMPARE(statusLabel(dialog)->text(), QString("Kullanici adi formati hatali"));
    QVERIFY(dialog.isVisible());

    // A refusal from the server as well.
    dialog.findChildren<QLineEdit *>().at(0)->setText("bilinmeyen");
    QSignalSpy error(&auth, &FirebaseAuth::authError);
    button(dialog, "Giris Yap")->click();
    QCOMPARE(statusLabel(dialog)->text(), QString("Giris yapiliyor..."));
    QVERIFY(error.wait(10000));
    QCOMPARE(statusLabel(dialog)->text(), QString("Kullanici bulunamadi"));
    QVERIFY(dialog.isVisible());
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
}

void TstAuthDialog::signInClosesAccepted()
{
    FirebaseAuth owner(nullptr, db.baseUrl());
    QSignalSpy created(&owner, &FirebaseAuth::authOk);
    owner.signUp("giris_1", "sifre");
    QVERIFY(created.wait(10000));
    owner.signOut();

    FirebaseAuth auth(nullptr, db.baseUrl());
    AuthDialog dialog(&auth);
    dialog.findChildren<QLineEdit *>().at(0)->setText("giris_1");
    dialog.findChildren<QLineEdit *>().at(1)->setText("sifre");
    // exec() returns once the sign-in succeeds.
    QTimer::singleShot(0, button(dialog, "Giris Yap"), &QPushButton::click);
    QTimer::singleShot(15000, &dialog, &QDialog::reject);
    QCOMPARE(dialog.exec(), int(QDialog::Accepted));
    QCOMPARE(statusLabel(dialog)->text(), QString("Tekrar hos geldin, giris_1"));
}

void TstAuthDialog::logoLookup()
{
    QTemporaryDir dir;
    const QString oldCwd = QDir::currentPath();
    QVERIFY(QDir::setCurrent(dir.path()));
    // No file anywhere (the test binary has no embedded logo): the built-in icon.
    QVERIFY(AuthDialog::findLogo().isNull());
    {
        FirebaseAuth auth(nullptr, db.baseUrl());
        AuthDialog dialog(&auth);
        dialog.show();
        QVERIFY(dialog.isVisible());
    }
    QVERIFY(QDir().mkpath("resources"));
    QImage square(100, 50, QImage::Format_ARGB32);
    square.fill(Qt::red);
    QVERIFY(square.save("resources/logo.png"));
    QCOMPARE(AuthDialog::findLogo().size(), QSize(72, 36));
    // The wide logo comes first and is scaled to a width of 260.
    QImage wide(600, 100, QImage::Format_ARGB32);
    wide.fill(Qt::blue);
    QVERIFY(wide.save("resources/logo_full.png"));
    QCOMPARE(AuthDialog::findLogo().size(), QSize(260, 43));
    // A file that is not an image is skipped.
    QFile broken("resources/logo_full.png");
    QVERIFY(broken.open(QIODevice::WriteOnly | QIODevice::Truncate));
    broken.write("not a png");
    broken.close();
    QCOMPARE(AuthDialog::findLogo().size(), QSize(72, 36));
    QVERIFY(QDir::setCurrent(oldCwd));
}

QTEST_MAIN(TstAuthDialog)
#include "tst_authdialog.moc"
