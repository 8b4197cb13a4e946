#include "clouddb/clouddblog.h"
#include "clouddb/clouddbstore.h"
#include "clouddb/clouddbtree.h"

#include <QFile>
#include <QJsonDocument>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(bytes);
}

QByteArray put(CloudDbStore &store, const QByteArray &path, const QByteArray &body)
{
    const CloudDbReply r = handleCloudDbRequest(store, "PUT", path, body);
    return QByteArray::number(r.status);
}

QByteArray loaded(const QString &file)
{
    CloudDbStore store(file);
    QString error;
    if (!store.load(&error))
        return "refused: " + error.toUtf8();
    return cloudDbJsonText(store.root());
}

} // namespace

class TstCloudDbStorage : public QObject
{
    Q_OBJECT
private slots:
    void logParsing();
    void writesGoToTheLogNotTheDataFile();
    void tornTailIsDroppedDamageIsRefused();
    void foldedLogIsIgnored();
    void legacyDataFileIsKeptAndClosed();
    void compactionFoldsTheLog();
    void quotas();
};

void TstCloudDbStorage::logParsing()
{
    const QByteArray base = cloudDbSnapshotId("{}");
    const QByteArray good = cloudDbLogHeader(base) + cloudDbLogLine({"mirelo_link", "s"}, QJsonValue(1))
                            + cloudDbLogLine({"mirelo_link", "s"}, QJsonValue());
    CloudDbLogContents log;
    QString error;
    QVERIFY(parseCloudDbLog(good, &log, &error));
    QCOMPARE(log.base, base);
    QCOMPARE(log.entries.size(), 2);
    QCOMPARE(log.entries.at(0).path, QStringList({"mirelo_link", "s"}));
    QVERIFY(log.entries.at(1).value.isNull());
    QCOMPARE(log.validBytes, good.size());

    // An unfinished or damaged last line ends the log where it starts.
    for (const QByteArray &tail : {QByteArray("{\"p\":[\"a\"],\"v\":"), QByteArray("\0\0\0\0", 4),
                                   QByteArray("{\"p\":[\"a.b\"],\"v\":1}\n"), QByteArray("garbage\n")}) {
        QVERIFY(parseCloudDbLog(good + tail, &log, &error));
        QCOMPARE(log.entries.size(), 2);
        QCOMPARE(log.validBytes, good.size());
    }
    // Damage followed by complete lines is not a cut-short write.
    QVERIFY(!parseCloudDbLog(good + "garbage\n" + cloudDbLogLine({"x"}, QJsonValue(2)), &log, &error));
    // Without a header nothing applies.
    QVERIFY(parseCloudDbLog(cloudDbLogLine({"x"}, QJsonValue(2)), &log, &error));
    QVERIFY(log.base.isEmpty());
    QVERIFY(log.entries.isEmpty());
}

void TstCloudDbStorage::writesGoToTheLogNotTheDataFile()
{
    QTemporaryDir dir;
    const QString file = dir.path() + "/db.json";
    writeFile(file, "{\"mirelo_users\":{\"eski\":{\"pass\":\"p\"}}}");
    CloudDbStore store(file);
    QString error;
    QVERIFY(store.load(&error));
    const QByteArray snapshot = readAll(file);
    QCOMPARE(put(store, "/mirelo_link/s/code.json", "\"123456\""), QByteArray("200"));
    const qint64 afterOne = QFileInfo(store.logFile()).size();
    QCOMPARE(put(store, "/mirelo_link/s/inbox/m1.json", "{\"data\":\"TVJDMQ==\"}"), QByteArray("200"));
    // The data file is untouched; the log grew by one line.
    QCOMPARE(readAll(file), snapshot);
    QCOMPARE(QFileInfo(store.logFile()).size() - afterOne,
             cloudDbLogLine({"mirelo_link", "s", "inbox", "m1"}, QJsonDocument::fromJson("{\"data\":\"TVJDMQ==\"}").object())
                 .size());
#ifdef Q_OS_UNIX
    QVERIFY(QFile::permissions(store.logFile()) & QFileDevice::WriteOwner);
    QVERIFY(!(QFile::permissions(store.logFile()) & (QFileDevice::ReadGroup | QFileDevice::ReadOther)));
#endif
    QCOMPARE(loaded(file), QByteArray("{\"mirelo_link\":{\"s\":{\"code\":\"123456\",\"inbox\":{\"m1\":{\"data\":\"TVJDMQ==\"}}}},"
                                      "\"mirelo_users\":{\"eski\":{\"pass\":\"p\"}}}"));
}

void TstCloudDbStorage::tornTailIsDroppedDamageIsRefused()
{
    QTemporaryDir dir;
    const QString file = dir.path() + "/db.json";
    {
        CloudDbStore store(file);
        QString error;
        QVERIFY(store.load(&error));
        QCOMPARE(put(store, "/mirelo_link/a.json", "1"), QByteArray("200"));
    }
    const QString log = CloudDbStore::logFileFor(file);
    const QByteArray intact = readAll(log);
    // A crash inside the next append.
    writeFile(log, intact + "{\"p\":[\"mirelo_link\",\"b\"],\"v\":2");
    {
        CloudDbStore store(file);
        QString error;
        QVERIFY(store.load(&error));
        QCOMPARE(cloudDbJsonText(store.root()), QByteArray("{\"mirelo_link\":{\"a\":1}}"));
        // The torn bytes are gone before anything is appended after them.
        QCOMPARE(put(store, "/mirelo_link/c.json", "3"), QByteArray("200"));
    }
    QCOMPARE(loaded(file), QByteArray("{\"mirelo_link\":{\"a\":1,\"c\":3}}"));

    const QByteArray damaged = "{\"base\":\"" + cloudDbSnapshotId(readAll(file)) + "\"}\nnot json\n"
                               + cloudDbLogLine({"mirelo_link", "d"}, QJsonValue(4));
    writeFile(log, damaged);
    QVERIFY(loaded(file).startsWith("refused: "));
    // Refused, not repaired away, and no write goes over it.
    CloudDbStore refused(file);
    QString error;
    QVERIFY(!refused.load(&error));
    QCOMPARE(put(refused, "/mirelo_link/e.json", "5"), QByteArray("500"));
    QCOMPARE(readAll(log), damaged);
}

void TstCloudDbStorage::foldedLogIsIgnored()
{
    QTemporaryDir dir;
    const QString file = dir.path() + "/db.json";
    // A crash after the data file was rewritten but before the old log was
    // replaced: replaying it again would undo the later delete.
    writeFile(file, "{\"mirelo_link\":{\"b\":2}}");
    writeFile(CloudDbStore::logFileFor(file), cloudDbLogHeader(cloudDbSnapshotId("{\"older\":1}"))
                                                  + cloudDbLogLine({"mirelo_link", "a"}, QJsonValue(1)));
    QCOMPARE(loaded(file), QByteArray("{\"mirelo_link\":{\"b\":2}}"));
}

void TstCloudDbStorage::legacyDataFileIsKeptAndClosed()
{
    QTemporaryDir dir;
    const QString file = dir.path() + "/clouddb.json";
    const QByteArray legacy = "{\"mirelo_users\":{\"ayse\":{\"display\":\"ayse\",\"pass\":\"ab\"}}}";
    writeFile(file, legacy);
    QFile::setPermissions(file, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup
                                    | QFileDevice::ReadOther);
    CloudDbStore store(file);
    QString error;
    QVERIFY(store.load(&error));
    QCOMPARE(handleCloudDbRequest(store, "GET", "/mirelo_users/ayse/pass.json", {}).body, QByteArray("\"ab\""));
    QCOMPARE(readAll(file), legacy);
#ifdef Q_OS_UNIX
    QVERIFY(!(QFile::permissions(file) & (QFileDevice::ReadGroup | QFileDevice::ReadOther)));
#endif
}

void TstCloudDbStorage::compactionFoldsTheLog()
{
    QTemporaryDir dir;
    const QString file = dir.path() + "/db.json";
    CloudDbStore store(file);
    QString error;
    QVERIFY(store.load(&error));
    // Enough writes to pass the folding threshold of a small database.
    QByteArray value;
    for (int i = 0; i < 400; ++i) {
        value = "\"" + QByteArray::number(i) + QByteArray(4000, 'v') + "\"";
        QCOMPARE(put(store, "/mirelo_link/s" + QByteArray::number(i % 50) + ".json", value), QByteArray("200"));
    }
    QVERIFY(QFile::exists(file));
    // The log was started again after folding; it holds far less than was written.
    QVERIFY(QFileInfo(store.logFile()).size() < 400 * 4000);
#ifdef Q_OS_UNIX
    QVERIFY(!(QFile::permissions(file) & (QFileDevice::ReadGroup | QFileDevice::ReadOther)));
    QVERIFY(!(QFile::permissions(store.logFile()) & (QFileDevice::ReadGroup | QFileDevice::ReadOther)));
#endif
    const QByteArray expected = cloudDbJsonText(store.root());
    QCOMPARE(loaded(file), expected);
    QCOMPARE(handleCloudDbRequest(store, "GET", "/mirelo_link/s49.json", {}).body, value);
}

void TstCloudDbStorage::quotas()
{
    CloudDbQuota quota;
    quota.linkSessionBytes = 100;
    quota.linkTreeBytes = 250;
    quota.userRecordBytes = 40;
    CloudDbStore store(QString(), quota);
    const QByteArray fifty = "\"" + QByteArray(48, 'x') + "\"";  // 50 bytes of JSON
    QCOMPARE(put(store, "/mirelo_link/a/m1.json", fifty), QByteArray("200"));
    // The session would be {"m1":"…","m2":"…"}: over 100 bytes.
    const CloudDbReply over = handleCloudDbRequest(store, "PUT", "/mirelo_link/a/m2.json", fifty);
    QCOMPARE(over.status, 507);
    QVERIFY(QJsonDocument::fromJson(over.body).object().contains("error"));
    QCOMPARE(handleCloudDbRequest(store, "GET", "/mirelo_link/a/m2.json", {}).body, QByteArray("null"));
    // The tree as a whole: four sessions of 57 bytes fit, the fifth does not.
    for (const QByteArray sid : {"b", "c", "d"})
        QCOMPARE(put(store, "/mirelo_link/" + sid + "/m1.json", fifty), QByteArray("200"));
    QCOMPARE(put(store, "/mirelo_link/e/m1.json", fifty), QByteArray("507"));
    // Freeing a session makes room again, and shrinking is always allowed.
    QCOMPARE(handleCloudDbRequest(store, "DELETE", "/mirelo_link/b.json", {}).status, 200);
    QCOMPARE(put(store, "/mirelo_link/e/m1.json", fifty), QByteArray("200"));
    QCOMPARE(put(store, "/mirelo_link/a/m1.json", "1"), QByteArray("200"));
    // A user record has its own limit.
    QCOMPARE(put(store, "/mirelo_users/ali.json", "{\"pass\":" + fifty + "}"), QByteArray("507"));
    QCOMPARE(put(store, "/mirelo_users/ali.json", "{\"pass\":\"ab\"}"), QByteArray("200"));
}

QTEST_GUILESS_MAIN(TstCloudDbStorage)
#include "tst_clouddbstorage.moc"
