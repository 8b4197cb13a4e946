// The send session against a real SMTP server (aiosmtpd) on implicit TLS and
// on STARTTLS: what arrives, and how refusals are reported.
// GMime before any Qt header: GIO has a member named "signals".
#include <gmime/gmime.h>

#include <QtTest>

#include "accountsupport.h"
#include "servers/smtpserver.h"
#include "servers/tlsfixture.h"
#include "transport/smtpclient.h"
#include "transport/smtpworker.h"

namespace {
SmtpServerResolver toLocal(quint16 port, bool startTls)
{
    return [port, startTls](const EmailAccount &) { return SmtpServer{QStringLiteral("127.0.0.1"), port, startTls}; };
}

EmailAccount fromAccount(const QString &pass = QStringLiteral("secret"))
{
    return makeAccount(QStringLiteral("ali@localhost"), QStringLiteral("imap.localhost"), 993,
                       QStringLiteral("ali"), pass);
}

QByteArray bodyOf(const QByteArray &content)
{
    return content.mid(content.indexOf("\r\n\r\n") + 4);
}
} // namespace

class SmtpServerTest : public QObject
{
    Q_OBJECT

private:
    TlsFixture m_tls;
    std::unique_ptr<SmtpTestServer> m_implicit;
    std::unique_ptr<SmtpTestServer> m_startTls;

private slots:
    void initTestCase()
    {
        registerMailMetaTypes();
        QVERIFY2(m_tls.isValid(), qPrintable(m_tls.error()));
        m_tls.trustInProcess();
        m_implicit = std::make_unique<SmtpTestServer>(m_tls);
        m_startTls = std::make_unique<SmtpTestServer>(m_tls);
        QVERIFY2(m_implicit->start(SmtpTestServer::ImplicitTls, QStringLiteral("ali"), QStringLiteral("secret")),
                 qPrintable(m_implicit->error()));
        QVERIFY2(m_startTls->start(SmtpTestServer::StartTls, QStringLiteral("ali"), QStringLiteral("secret")),
                 qPrintable(m_startTls->error()));
    }

    void cleanupTestCase()
    {
        m_implicit.reset();
        m_startTls.reset();
    }

    void sendsOverImplicitTls()
    {
        SmtpWorker worker(toLocal(m_implicit->port(), false));
        QSignalSpy log(&worker, &SmtpWorker::sendLog);
        QSignalSpy done(&worker, &SmtpWorker::sendFinished);
        const QString body = QStringLiteral("Merhaba,\n   .gizli satir\n.\n\n..iki nokta\r\n  son  ");
        worker.workSend(fromAccount(), QStringLiteral("veli@example.test"), QStringLiteral("Re: Giri\u015f kodu"), body);

        QCOMPARE(done.size(), 1);
        QCOMPARE(done.at(0), (QList<QVariant>{QStringLiteral("veli@example.test"), true,
                                              QStringLiteral("Cevap gonderildi: veli@example.test")}));
        QStringList lines;
        for (const auto &args : log)
            lines << args.at(0).toString();
        QCOMPARE(lines, (QStringList{QStringLiteral("Baglaniliyor: 127.0.0.1:%1 (SSL)").arg(m_implicit->port()),
                                     QStringLiteral("Giris yapiliyor..."),
                                     QStringLiteral("Gonderildi: veli@example.test")}));

        QVERIFY(m_implicit->waitForMessages(1, 5000));
        const SmtpTestServer::Message m = m_implicit->messages().last();
        QCOMPARE(m.mailFrom, QStringLiteral("ali@localhost"));
        QCOMPARE(m.rcptTos, QStringList{QStringLiteral("veli@example.test")});
        QCOMPARE(m.login, QStringLiteral("ali"));
        QVERIFY(m.content.contains("\r\nFrom: ali@localhost\r\nTo: veli@example.test\r\n"));
        // Lines trimmed, dots doubled on the wire and undone by the server: a
        // lone dot does not end the message early.
        QCOMPARE(bodyOf(m.content), QByteArray("Merhaba,\r\n.gizli satir\r\n.\r\n\r\n..iki nokta\r\nson\r\n"));
    }

    // What a receiving mail program reads: every header a well-formed reply
    // needs, the Subject and body decoded back, the reply threaded.
    void replyIsWellFormedMail()
    {
        SmtpWorker worker(toLocal(m_implicit->port(), false));
        QSignalSpy done(&worker, &SmtpWorker::sendFinished);
        const int before = int(m_implicit->messages().size());
        const QString subject = QStringLiteral("Re: Giri\u015f kodu \u00e7ok \u00f6nemli");
        const QDateTime sentAfter = QDateTime::currentDateTime().addSecs(-1);
        worker.workSend(fromAccount(), QStringLiteral("veli@example.test"), subject,
                        QStringLiteral("Te\u015fekk\u00fcrler,\n.nokta"), QStringLiteral("<orig-1@example.test>"),
                        QStringLiteral("<root@example.test>"));
        QCOMPARE(done.size(), 1);
        QVERIFY(done.at(0).at(1).toBool());
        QVERIFY(m_implicit->waitForMessages(before + 1, 5000));
        const QByteArray raw = m_implicit->messages().last().content;
        for (char c : raw)
            QVERIFY2(uchar(c) < 0x80, "raw 8-bit byte on the wire");

        g_mime_init();
        GMimeStream *stream = g_mime_stream_mem_new_with_buffer(raw.constData(), size_t(raw.size()));
        GMimeParser *parser = g_mime_parser_new_with_stream(stream);
        GMimeMessage *message = g_mime_parser_construct_message(parser, nullptr);
        QVERIFY(message);
        auto header = [message](const char *name) {
            return QString::fromUtf8(g_mime_object_get_header(GMIME_OBJECT(message), name));
        };
        QCOMPARE(QString::fromUtf8(g_mime_message_get_subject(message)), subject);
        const QString id = QString::fromUtf8(g_mime_message_get_message_id(message));
        QVERIFY2(QRegularExpression(QStringLiteral("^[0-9a-f]{32}@localhost$")).match(id).hasMatch(), qPrintable(id));
        GDateTime *date = g_mime_message_get_date(message);
        QVERIFY(date);
        const QDateTime sent = QDateTime::fromSecsSinceEpoch(g_date_time_to_unix(date));
        QVERIFY(sent >= sentAfter && sent <= QDateTime::currentDateTime().addSecs(1));
        QCOMPARE(header("MIME-Version"), QStringLiteral("1.0"));
        QCOMPARE(header("In-Reply-To"), QStringLiteral("<orig-1@example.test>"));
        GMimeReferences *refs = g_mime_references_parse(nullptr, g_mime_object_get_header(GMIME_OBJECT(message), "References"));
        QStringList chain;
        for (int i = 0; refs && i < g_mime_references_length(refs); ++i)
            chain << QString::fromUtf8(g_mime_references_get_message_id(refs, i));
        QCOMPARE(chain, (QStringList{"root@example.test", "orig-1@example.test"}));
        GMimeObject *body = g_mime_message_get_mime_part(message);
        QVERIFY(GMIME_IS_PART(body));
        QCOMPARE(QString::fromUtf8(g_mime_object_get_content_type_parameter(body, "charset")).toLower(),
                 QStringLiteral("utf-8"));
        QVERIFY(!header("Content-Transfer-Encoding").isEmpty() || !QString::fromUtf8(
            g_mime_object_get_header(body, "Content-Transfer-Encoding")).isEmpty());
        GMimeStream *out = g_mime_stream_mem_new();
        g_mime_data_wrapper_write_to_stream(g_mime_part_get_content(GMIME_PART(body)), out);
        GByteArray *bytes = g_mime_stream_mem_get_byte_array(GMIME_STREAM_MEM(out));
        const QString text = QString::fromUtf8(reinterpret_cast<const char *>(bytes->data), int(bytes->len));
        QCOMPARE(text, QStringLiteral("Te\u015fekk\u00fcrler,\r\n.nokta"));
        if (refs)
            g_mime_references_free(refs);
        g_object_unref(out);
        g_object_unref(message);
        g_object_unref(parser);
        g_object_unref(stream);
    }

    void sendsOverStartTls()
    {
        SmtpWorker worker(toLocal(m_startTls->port(), true));
        QSignalSpy log(&worker, &SmtpWorker::sendLog);
        QSignalSpy done(&worker, &SmtpWorker::sendFinished);
        const int before = int(m_startTls->messages().size());
        worker.workSend(fromAccount(), QStringLiteral("veli@example.test"), QStringLiteral("Re: Kod"),
                        QStringLiteral("Tesekkurler"));
        QCOMPARE(done.size(), 1);
        QCOMPARE(done.at(0).at(1).toBool(), true);
        QCOMPARE(log.at(0).at(0).toString(),
                 QStringLiteral("Baglaniliyor: 127.0.0.1:%1 (STARTTLS)").arg(m_startTls->port()));
        QVERIFY(m_startTls->waitForMessages(before + 1, 5000));
        QCOMPARE(bodyOf(m_startTls->messages().last().content), QByteArray("Tesekkurler\r\n"));
    }

    void wrongPasswordIsReportedOnce_data()
    {
        QTest::addColumn<bool>("startTls");
        QTest::newRow("implicit TLS") << false;
        QTest::newRow("STARTTLS") << true;
    }

    void wrongPasswordIsReportedOnce()
    {
        QFETCH(bool, startTls);
        SmtpTestServer &server = startTls ? *m_startTls : *m_implicit;
        const int before = int(server.messages().size());
        SmtpWorker worker(toLocal(server.port(), startTls));
        QSignalSpy done(&worker, &SmtpWorker::sendFinished);
        worker.workSend(fromAccount(QStringLiteral("yanlis")), QStringLiteral("veli@example.test"), QStringLiteral("S"),
                        QStringLiteral("B"));
        QCOMPARE(done.size(), 1);
        QCOMPARE(done.at(0), (QList<QVariant>{QStringLiteral("veli@example.test"), false,
                                              QStringLiteral("Sifre reddedildi. Uygulama sifreni kontrol et.")}));
        QCOMPARE(server.messages().size(), before);
    }

    void clientQueuesRequestsOnItsThread()
    {
        SmtpClient client(toLocal(m_implicit->port(), false), SmtpTimeouts());
        QSignalSpy done(&client, &SmtpClient::sendFinished);
        QSignalSpy log(&client, &SmtpClient::sendLog);
        const int before = int(m_implicit->messages().size());
        client.sendReply(fromAccount(), QStringLiteral("bir@example.test"), QStringLiteral("1"), QStringLiteral("bir"));
        client.sendReply(fromAccount(), QStringLiteral("iki@example.test"), QStringLiteral("2"), QStringLiteral("iki"));
        QTRY_COMPARE_WITH_TIMEOUT(done.size(), 2, 20000);
        QCOMPARE(done.at(0).at(0).toString(), QStringLiteral("bir@example.test"));
        QCOMPARE(done.at(1).at(0).toString(), QStringLiteral("iki@example.test"));
        QVERIFY(done.at(0).at(1).toBool() && done.at(1).at(1).toBool());
        QCOMPARE(log.size(), 6);
        QVERIFY(m_implicit->waitForMessages(before + 2, 5000));
        QCOMPARE(m_implicit->messages().at(before + 1).rcptTos, QStringList{QStringLiteral("iki@example.test")});
    }

    void outgoingServerSetByHandOnTheAccount()
    {
        // No test resolver: the account's own fields lead to the STARTTLS
        // server on its non-465 port, and each result names its request.
        SmtpClient client;
        QSignalSpy finished(&client, &SmtpClient::replyFinished);
        EmailAccount acc = fromAccount();
        acc.smtpHost = QStringLiteral("localhost");
        acc.smtpPort = m_startTls->port();
        acc.smtpStartTls = true;
        const int before = int(m_startTls->messages().size());
        const int good = client.sendReply(acc, QStringLiteral("veli@example.test"), QStringLiteral("Re: Kod"),
                                          QStringLiteral("Elle ayarlandi"));
        // the same server without STARTTLS speaks plain text to a TLS hello
        EmailAccount implicit = acc;
        implicit.smtpStartTls = false;
        const int bad = client.sendReply(implicit, QStringLiteral("veli@example.test"), QStringLiteral("S"),
                                         QStringLiteral("B"));
        QVERIFY(good != bad);
        QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 2, 30000);
        QCOMPARE(finished.at(0).at(0).toInt(), good);
        QVERIFY2(finished.at(0).at(1).toBool(), qPrintable(finished.at(0).at(2).toString()));
        QCOMPARE(finished.at(1).at(0).toInt(), bad);
        QVERIFY(!finished.at(1).at(1).toBool());
        const QString why = finished.at(1).at(2).toString();
        QVERIFY2(why.contains(QStringLiteral("localhost:%1").arg(m_startTls->port())), qPrintable(why));
        QVERIFY(m_startTls->waitForMessages(before + 1, 5000));
        QCOMPARE(m_startTls->messages().size(), before + 1);
        QCOMPARE(bodyOf(m_startTls->messages().last().content), QByteArray("Elle ayarlandi\r\n"));
    }
};

QTEST_GUILESS_MAIN(SmtpServerTest)
#include "tst_smtpserver.moc"
