// The reply dialog: pre-filled fields, the subject prefix, accessors and the
// busy state.
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>

#include "support/isolatedsettings.h"
#include "transport/replydialog.h"

class ReplyDialogTest : public QObject
{
    Q_OBJECT

private:
    static EmailAccount account()
    {
        EmailAccount acc;
        acc.address = QStringLiteral("ali@x.test");
        return acc;
    }
    static QPushButton *sendButton(ReplyDialog &d)
    {
        for (QPushButton *b : d.findChildren<QPushButton *>()) {
            if (b->property("class").toString() == QLatin1String("primaryBtn"))
                return b;
        }
        return nullptr;
    }

    std::unique_ptr<IsolatedSettings> m_settings;

private slots:
    void init() { m_settings = std::make_unique<IsolatedSettings>(); }
    void cleanup() { m_settings.reset(); }

    void subjectPrefix_data()
    {
        QTest::addColumn<QString>("given");
        QTest::addColumn<QString>("shown");
        QTest::newRow("plain") << "Kodunuz" << "Re: Kodunuz";
        QTest::newRow("already") << "Re: Kodunuz" << "Re: Kodunuz";
        QTest::newRow("capitals") << "RE: Kodunuz" << "RE: Kodunuz";
        QTest::newRow("no space after") << "re:x" << "re:x";
        QTest::newRow("empty") << "" << "Re:";
        QTest::newRow("Re inside") << "Fwd: Re: x" << "Re: Fwd: Re: x";
    }

    void subjectPrefix()
    {
        QFETCH(QString, given);
        QFETCH(QString, shown);
        ReplyDialog d(account(), QStringLiteral("a@b"), given);
        // The accessor trims: an empty subject shows "Re: " and reads back "Re:".
        QCOMPARE(d.subject(), shown);
        QCOMPARE(ReplyDialog::replySubject(given).trimmed(), shown);
    }

    void layoutAndAccessors()
    {
        ReplyDialog d(account(), QStringLiteral("  veli@y.test "), QStringLiteral("Kod"));
        QCOMPARE(d.windowTitle(), QStringLiteral("Cevapla \u2014 ali@x.test"));
        QVERIFY(!d.isModal());
        QCOMPARE(d.minimumSize(), QSize(440, 380));
        QCOMPARE(d.fromAccount().address, QStringLiteral("ali@x.test"));
        QCOMPARE(d.toAddress(), QStringLiteral("veli@y.test"));
        bool fromShown = false;
        for (QLabel *l : d.findChildren<QLabel *>())
            fromShown |= l->text() == QLatin1String("Kimden: ali@x.test")
                && l->property("class").toString() == QLatin1String("muted");
        QVERIFY(fromShown);
        auto *body = d.findChild<QPlainTextEdit *>();
        QVERIFY(body);
        QCOMPARE(body->placeholderText(), QStringLiteral("Cevabini yaz..."));
        body->setPlainText(QStringLiteral("  satir\n"));
        QCOMPARE(d.body(), QStringLiteral("  satir\n"));
        d.setStatus(QStringLiteral("Gonderiliyor..."));
        bool statusShown = false;
        for (QLabel *l : d.findChildren<QLabel *>())
            statusShown |= l->text() == QLatin1String("Gonderiliyor...") && l->wordWrap();
        QVERIFY(statusShown);
    }

    void busyStateAndSend()
    {
        ReplyDialog d(account(), QStringLiteral("veli@y.test"), QStringLiteral("Kod"));
        QPushButton *send = sendButton(d);
        QVERIFY(send);
        QCOMPARE(send->text(), QStringLiteral("Gonder"));
        QCOMPARE(send->cursor().shape(), Qt::PointingHandCursor);
        d.setBusy(true);
        QVERIFY(!send->isEnabled());
        QCOMPARE(send->text(), QStringLiteral("Gonderiliyor..."));
        d.setBusy(false);
        QVERIFY(send->isEnabled());
        QCOMPARE(send->text(), QStringLiteral("Gonder"));

        // sending leaves the window open: it closes only once the mail went out
        QSignalSpy requested(&d, &ReplyDialog::sendRequested);
        d.show();
        send->click();
        QCOMPARE(requested.size(), 1);
        QVERIFY(d.isVisible());
    }
};

QTEST_MAIN(ReplyDialogTest)
#include "tst_replydialog.moc"
