#include "router/notifytext.h"

#include <QtTest>

static MailItem mail(const QString &code, const QString &from, const QString &subject = "Kod",
                     const QString &account = "me@example.com")
{
    MailItem m;
    m.code = code;
    m.from = from;
    m.subject = subject;
    m.account = account;
    return m;
}

class TestNotifyText : public QObject
{
    Q_OBJECT
private slots:
    void emptyBatchGivesNothing()
    {
        const TrayText t = codeBatchNotification({});
        QVERIFY(t.title.isEmpty());
        QVERIFY(t.text.isEmpty());
    }

    void oneMailCutsSenderAndSubject()
    {
        const QString longName = QString(50, 'A');
        const QString subject = QString(70, 's');
        const TrayText t = codeBatchNotification({mail("123456", "\"" + longName + "\" <a@b.com>", subject)});
        QCOMPARE(t.title, "MIRELO+ - " + QString(40, 'A'));
        QCOMPARE(t.text, "123456  (" + QString(60, 's')
                             + ")\nPanoya kopyalandi. Ctrl+Shift+V ile otomatik yaz.");
    }

    void emptySenderFallsBackToAccount()
    {
        QCOMPARE(notifySenderName(mail("1", "", "x", "ali.veli@example.com")), QString("ali.veli"));
        QCOMPARE(notifySenderName(mail("1", "Steam <noreply@steampowered.com>")), QString("Steam"));
        // The card's name, not the sender's old display name.
        QCOMPARE(notifySenderName(mail("1", "Twitter <verify@twitter.com>")), QString("X"));
    }

    void threeCodesListAll()
    {
        const TrayText t = codeBatchNotification(
            {mail("111", "Riot <a@riotgames.com>"), mail("222", "Steam <b@steampowered.com>"),
             mail("333", "Discord <c@discord.com>")});
        QCOMPARE(t.title, QString("MIRELO+ - 3 yeni kod"));
        QCOMPARE(t.text, QString("Son kod panoda: 333\n111 (Riot Games)\n222 (Steam)\n333 (Discord)"));
    }

    void fiveCodesListThreeAndTheRest()
    {
        QList<MailItem> batch;
        for (int i = 1; i <= 5; ++i)
            batch << mail(QString::number(i * 111), QString("Sender%1 <s%1@ornek.example>").arg(i));
        const TrayText t = codeBatchNotification(batch);
        QCOMPARE(t.title, QString("MIRELO+ - 5 yeni kod"));
        const QStringList lines = t.text.split('\n');
        QCOMPARE(lines.size(), 5);
        QCOMPARE(lines[0], QString("Son kod panoda: 555"));
        QCOMPARE(lines[3], QString("333 (Sender3)"));
        QCOMPARE(lines[4], QString("+2 kod daha"));
    }

    void manyFormCutsSenderTo24()
    {
        const TrayText t = codeBatchNotification({mail("1", QString(30, 'x') + " <a@b.com>"), mail("2", "B <b@b.com>")});
        QVERIFY(t.text.contains("1 (" + QString(24, 'x') + ")\n"));
    }

    void statusTextKeepsSenderAsReceived()
    {
        QCOMPARE(newCodeStatusText(mail("42", "=?utf-8?q?x?= <a@b.com>")),
                 QString("Yeni kod: 42 <- =?utf-8?q?x?= <a@b.com>"));
    }
};

QTEST_GUILESS_MAIN(TestNotifyText)
#include "tst_notifytext.moc"
