#include "clouddb/clouddbstore.h"
#include "clouddb/clouddbtree.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QJsonValue json(const QByteArray &text)
{
    QJsonValue v;
    QString error;
    if (!parseCloudDbJson(text, &v, &error))
        qFatal("bad test JSON: %s", text.constData());
    return v;
}

} // namespace

class TstCloudDbCore : public QObject
{
    Q_OBJECT
private slots:
    void keys_data();
    void keys();
    void paths_data();
    void paths();
    void parsesAnyJsonValue();
    void treeWrites();
    void arraysComeBackAsArrays();
    void depthLimit();
    void requests();
    void userRecordsAreCreateOnly();
    void refusals();
    void hostedRulesAgreeWithTheDefaultRules();
    void persistsAndReloads();
    void brokenFileIsRefusedAndKept();
    void failedSaveChangesNothing();
};

void TstCloudDbCore::keys_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<bool>("valid");
    QTest::newRow("plain") << "user_01" << true;
    QTest::newRow("spaces and unicode") << QString::fromUtf8("a b \xc3\xa7") << true;
    QTest::newRow("empty") << "" << false;
    for (const char *bad : {"a.b", "a$", "#a", "a[", "a]", "a/b"})
        QTest::newRow(bad) << QString::fromLatin1(bad) << false;
    QTest::newRow("control") << QString("a\x01") << false;
    QTest::newRow("newline") << QString("a\n") << false;
    QTest::newRow("del") << QString("a\x7f") << false;
    QTest::newRow("768 bytes") << QString(768, 'k') << true;
    QTest::newRow("769 bytes") << QString(769, 'k') << false;
    // 384 two-byte letters are 768 bytes; one more ASCII letter is too many.
    QTest::newRow("768 utf8 bytes") << QString(384, QChar(0xe7)) << true;
    QTest::newRow("769 utf8 bytes") << QString(384, QChar(0xe7)) + "x" << false;
}

void TstCloudDbCore::keys()
{
    QFETCH(QString, key);
    QFETCH(bool, valid);
    QCOMPARE(isValidCloudDbKey(key), valid);
}

void TstCloudDbCore::paths_data()
{
    QTest::addColumn<QByteArray>("path");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QStringList>("segments");
    QTest::newRow("root") << QByteArray("/.json") << true << QStringList();
    QTest::newRow("nested") << QByteArray("/mirelo_link/abc/inbox.json") << true
                            << QStringList{"mirelo_link", "abc", "inbox"};
    QTest::newRow("decoded") << QByteArray("/a%20b/%C3%A7.json") << true
                             << QStringList{"a b", QString::fromUtf8("\xc3\xa7")};
    QTest::newRow("double slash") << QByteArray("//a//b.json") << true << QStringList{"a", "b"};
    QTest::newRow("encoded slash") << QByteArray("/mirelo_link/x%2Fy.json") << false << QStringList();
    QTest::newRow("encoded dot") << QByteArray("/mirelo_link/%2E%2E.json") << false << QStringList();
    QTest::newRow("dot dot") << QByteArray("/a/../b.json") << false << QStringList();
    QTest::newRow("no suffix") << QByteArray("/a/b") << false << QStringList();
    QTest::newRow("no slash") << QByteArray("a.json") << false << QStringList();
    QTest::newRow("bad utf8") << QByteArray("/a%FF.json") << false << QStringList();
    QByteArray deep;
    for (int i = 0; i < 32; ++i)
        deep += "/k";
    QTest::newRow("32 levels") << deep + ".json" << true << QStringList(QList<QString>(32, "k"));
    QTest::newRow("33 levels") << deep + "/k.json" << false << QStringList();
}

void TstCloudDbCore::paths()
{
    QFETCH(QByteArray, path);
    QFETCH(bool, ok);
    QFETCH(QStringList, segments);
    QStringList got;
    QString error;
    QCOMPARE(splitCloudDbPath(path, &got, &error), ok);
    if (ok)
        QCOMPARE(got, segments);
    else
        QVERIFY(!error.isEmpty());
}

void TstCloudDbCore::parsesAnyJsonValue()
{
    QJsonValue v;
    QString error;
    QVERIFY(parseCloudDbJson("5", &v, &error) && v.toInt() == 5);
    QVERIFY(parseCloudDbJson(" \"x\" ", &v, &error) && v.toString() == "x");
    QVERIFY(parseCloudDbJson("null", &v, &error) && v.isNull());
    QVERIFY(parseCloudDbJson("{\"a\":[1]}", &v, &error) && v.isObject());
    // The array wrapping must not let two values or stray brackets through.
    for (const QByteArray &bad : {QByteArray(""), QByteArray("1,2"), QByteArray("1]["), QByteArray("{"),
                                 QByteArray("]"), QByteArray("nul")})
        QVERIFY2(!parseCloudDbJson(bad, &v, &error), bad.constData());
    QCOMPARE(cloudDbJsonText(QJsonValue("a\"b")), QByteArray("\"a\\\"b\""));
    QCOMPARE(cloudDbJsonText(QJsonValue()), QByteArray("null"));
}

void TstCloudDbCore::treeWrites()
{
    QJsonValue root;
    root = cloudDbWithNode(root, {"a", "b"}, json("{\"c\":1,\"d\":null,\"e\":{}}"));
    QCOMPARE(cloudDbJsonText(root), QByteArray("{\"a\":{\"b\":{\"c\":1}}}"));
    // A primitive in the way is replaced.
    root = cloudDbWithNode(root, {"a", "b", "c", "x"}, json("2"));
    QCOMPARE(cloudDbJsonText(cloudDbNode(root, {"a", "b"})), QByteArray("{\"c\":{\"x\":2}}"));
    QVERIFY(cloudDbNode(root, {"a", "b", "c", "x", "deeper"}).isNull());
    root = cloudDbWithNode(root, {"a", "z"}, json("true"));
    // Deleting a missing node under a primitive leaves the primitive alone.
    QCOMPARE(cloudDbWithNode(root, {"a", "z", "q"}, QJsonValue()), root);
    // An empty object deletes, and so does null; emptied parents vanish.
    root = cloudDbWithNode(root, {"a", "b", "c", "x"}, json("{}"));
    QCOMPARE(cloudDbJsonText(root), QByteArray("{\"a\":{\"z\":true}}"));
    root = cloudDbWithNode(root, {"a", "z"}, QJsonValue());
    QVERIFY(root.isNull());
    // Writing at the root replaces everything.
    root = cloudDbWithNode(json("{\"q\":1}"), {}, json("{\"r\":2}"));
    QCOMPARE(cloudDbJsonText(root), QByteArray("{\"r\":2}"));
}

void TstCloudDbCore::arraysComeBackAsArrays()
{
    const QJsonValue stored = normalizeCloudDbValue(json("{\"l\":[1,null,3],\"s\":[null,null,null,7]}"));
    QCOMPARE(cloudDbJsonText(stored), QByteArray("{\"l\":{\"0\":1,\"2\":3},\"s\":{\"3\":7}}"));
    // Two of three slots used: an array; one of four: an object.
    QCOMPARE(cloudDbJsonText(renderCloudDbValue(stored)), QByteArray("{\"l\":[1,null,3],\"s\":{\"3\":7}}"));
    QCOMPARE(cloudDbJsonText(renderCloudDbValue(json("{\"01\":1,\"1\":2}"))), QByteArray("{\"01\":1,\"1\":2}"));
}

void TstCloudDbCore::depthLimit()
{
    QJsonValue v = json("1");
    for (int i = 0; i < 31; ++i)
        v = QJsonObject{{"k", v}};
    QString error;
    QVERIFY(checkCloudDbValue(v, 1, &error));   // 1 + 31 levels
    QVERIFY(!checkCloudDbValue(v, 2, &error));  // 2 + 31 levels
    QVERIFY(!checkCloudDbValue(QJsonArray{v}, 1, &error));
    QVERIFY(!checkCloudDbValue(json("{\"a\":{\"b.c\":1}}"), 0, &error));
}

void TstCloudDbCore::requests()
{
    CloudDbStore store;
    QString loadError;
    QVERIFY(store.load(&loadError));
    auto req = [&](const QByteArray &m, const QByteArray &p, const QByteArray &b = {}) {
        return handleCloudDbRequest(store, m, p, b);
    };
    CloudDbReply r = req("GET", "/mirelo_link/s1.json");
    QCOMPARE(r.status, 200);
    QCOMPARE(r.body, QByteArray("null"));

    r = req("PUT", "/mirelo_link/s1.json", "{\"code\":\"123456\",\"inbox\":{\"m1\":{\"v\":1},\"m2\":{\"v\":2}}}");
    QCOMPARE(r.status, 200);
    QCOMPARE(QJsonDocument::fromJson(r.body).object().value("code").toString(), QString("123456"));
    QCOMPARE(req("GET", "/mirelo_link/s1/inbox/m2.json").body, QByteArray("{\"v\":2}"));
    QCOMPARE(req("PUT", "/mirelo_link/s1/code.json", "\"654321\"").body, QByteArray("\"654321\""));
    QCOMPARE(req("GET", "/mirelo_link/s1/code.json").body, QByteArray("\"654321\""));

    r = req("DELETE", "/mirelo_link/s1/inbox.json");
    QCOMPARE(r.status, 200);
    QCOMPARE(r.body, QByteArray("null"));
    QCOMPARE(req("GET", "/mirelo_link/s1/inbox/m1.json").body, QByteArray("null"));
    QCOMPARE(req("GET", "/mirelo_link/s1.json").body, QByteArray("{\"code\":\"654321\"}"));
    // Deleting the last child removes the emptied parents up to the root.
    QCOMPARE(req("PUT", "/mirelo_link/s1/code.json", "null").status, 200);
    QVERIFY(store.root().isNull());
    QCOMPARE(req("DELETE", "/mirelo_link/missing.json").status, 200);
}

void TstCloudDbCore::userRecordsAreCreateOnly()
{
    CloudDbStore store;
    const QByteArray denied = "{\"error\" : \"Permission denied\"}";
    auto req = [&](const QByteArray &m, const QByteArray &p, const QByteArray &b = {}) {
        return handleCloudDbRequest(store, m, p, b);
    };
    QCOMPARE(req("PUT", "/mirelo_users/ali.json", "{\"pass\":\"a\"}").status, 200);
    for (const CloudDbReply &r : {req("PUT", "/mirelo_users/ali.json", "{\"pass\":\"b\"}"),
                                  req("PUT", "/mirelo_users/ali/pass.json", "\"b\""),
                                  req("DELETE", "/mirelo_users/ali.json"),
                                  req("PUT", "/mirelo_users.json", "{}"),
                                  req("DELETE", "/.json"),
                                  req("GET", "/mirelo_users.json"),
                                  req("GET", "/.json"),
                                  // The pairing tree cannot be listed or replaced whole.
                                  req("GET", "/mirelo_link.json"),
                                  req("PUT", "/mirelo_link.json", "{}"),
                                  req("DELETE", "/mirelo_link.json"),
                                  req("PUT", "/other.json", "1")}) {
        QCOMPARE(r.status, 401);
        QCOMPARE(r.body, denied);
    }
    QCOMPARE(req("GET", "/mirelo_users/ali/pass.json").body, QByteArray("\"a\""));
    // Names differing in case are different records.
    QCOMPARE(req("PUT", "/mirelo_users/Ali.json", "{\"pass\":\"c\"}").status, 200);
    QCOMPARE(req("GET", "/mirelo_users/ALI.json").body, QByteArray("null"));
}

namespace {

// Evaluates the hosted rules file the way the hosted database does for the
// constructs it uses: ".read"/".write" granted anywhere on the path grant
// below it, "$name" matches any key, "!data.exists()" holds on a missing node.
bool hostedAllows(const QJsonObject &rules, const QJsonValue &root, const QStringList &path, const char *kind)
{
    QJsonObject node = rules;
    for (int level = 0;; ++level) {
        const QJsonValue grant = node.value(QLatin1String(kind));
        if (grant == QJsonValue(true))
            return true;
        if (grant == QJsonValue("!data.exists()") && cloudDbNode(root, path.mid(0, level)).isNull())
            return true;
        if (level == path.size())
            return false;
        QJsonObject next = node.value(path.at(level)).toObject();
        for (auto it = node.begin(); next.isEmpty() && it != node.end(); ++it)
            if (it.key().startsWith('$'))
                next = it.value().toObject();
        if (next.isEmpty())
            return false;
        node = next;
    }
}

} // namespace

void TstCloudDbCore::hostedRulesAgreeWithTheDefaultRules()
{
    QFile file(QStringLiteral(MIRELO_TEST_SOURCE_DIR "/firebase_rules.json"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QJsonObject rules = QJsonDocument::fromJson(file.readAll()).object().value("rules").toObject();
    QVERIFY(!rules.isEmpty());
    const QJsonValue root = json("{\"mirelo_users\":{\"ali\":{\"pass\":\"a\"}},\"mirelo_link\":{\"S\":{\"status\":\"waiting\"}}}");
    const QList<QStringList> paths = {{},
                                      {"mirelo_link"},
                                      {"mirelo_link", "S"},
                                      {"mirelo_link", "NEW"},
                                      {"mirelo_link", "S", "inbox", "m1"},
                                      {"mirelo_users"},
                                      {"mirelo_users", "ali"},
                                      {"mirelo_users", "ali", "pass"},
                                      {"mirelo_users", "veli"},
                                      {"other"}};
    for (const QStringList &path : paths) {
        const QString where = "/" + path.join('/');
        QVERIFY2(hostedAllows(rules, root, path, ".read") == cloudDbDefaultRulesAllow(root, path, CloudDbAccess::Read),
                 qPrintable("read " + where));
        QVERIFY2(hostedAllows(rules, root, path, ".write") == cloudDbDefaultRulesAllow(root, path, CloudDbAccess::Write),
                 qPrintable("write " + where));
    }
    // The sessions are never listable, in either.
    QVERIFY(!hostedAllows(rules, root, {"mirelo_link"}, ".read"));
}

void TstCloudDbCore::refusals()
{
    CloudDbStore store;
    auto status = [&](const QByteArray &m, const QByteArray &p, const QByteArray &b = {}) {
        const CloudDbReply r = handleCloudDbRequest(store, m, p, b);
        if (r.status != 200)
            [&] { QVERIFY(QJsonDocument::fromJson(r.body).object().contains("error")); }();
        return r.status;
    };
    QCOMPARE(status("PUT", "/mirelo_link/a.json", "{bad"), 400);
    QCOMPARE(status("PUT", "/mirelo_link/a.json", ""), 400);
    QCOMPARE(status("PUT", "/mirelo_link/a.json", "{\"x$\":1}"), 400);
    QCOMPARE(status("PUT", "/mirelo_link/a%2Fb.json", "1"), 400);
    QCOMPARE(status("GET", "/mirelo_link/a%2Fb.json"), 400);
    QCOMPARE(status("POST", "/mirelo_link/a.json", "1"), 405);
    QByteArray big(kCloudDbMaxBodyBytes + 1, ' ');
    big[0] = '1';
    QCOMPARE(status("PUT", "/mirelo_link/a.json", big), 413);
    QByteArray limit(kCloudDbMaxBodyBytes, ' ');
    limit[0] = '1';
    QCOMPARE(status("PUT", "/mirelo_link/a.json", limit), 200);
    QCOMPARE(status("PUT", "/mirelo_link/a/b.json", "{\"c\":{\"d\":1}}"), 200);
    QCOMPARE(cloudDbJsonText(store.root()), QByteArray("{\"mirelo_link\":{\"a\":{\"b\":{\"c\":{\"d\":1}}}}}"));
}

void TstCloudDbCore::persistsAndReloads()
{
    QTemporaryDir dir;
    const QString file = dir.path() + "/sub/db.json";
    {
        CloudDbStore store(file);
        QString error;
        QVERIFY(store.load(&error));
        QCOMPARE(handleCloudDbRequest(store, "PUT", "/mirelo_link/s/k.json", "{\"v\":[1,2]}").status, 200);
        // On disk before the request returns: another reader of the same
        // files finds it while this store is still open.
        CloudDbStore reader(file);
        QVERIFY(reader.load(&error));
        QCOMPARE(cloudDbJsonText(reader.root()), QByteArray("{\"mirelo_link\":{\"s\":{\"k\":{\"v\":{\"0\":1,\"1\":2}}}}}"));
    }
    CloudDbStore again(file);
    QString error;
    QVERIFY(again.load(&error));
    QCOMPARE(handleCloudDbRequest(again, "GET", "/mirelo_link/s/k.json", {}).body, QByteArray("{\"v\":[1,2]}"));
}

void TstCloudDbCore::brokenFileIsRefusedAndKept()
{
    QTemporaryDir dir;
    const QString file = dir.path() + "/db.json";
    for (const QByteArray &content : {QByteArray("{\"a\":"), QByteArray("{\"a.b\":1}")}) {
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(content);
        f.close();
        CloudDbStore store(file);
        QString error;
        QVERIFY(!store.load(&error));
        QVERIFY(error.contains(file));
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), content);
    }
}

void TstCloudDbCore::failedSaveChangesNothing()
{
    QTemporaryDir dir;
    // A plain file where the data file's folder should be: every save fails.
    QFile blocker(dir.path() + "/plain");
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const QString file = dir.path() + "/plain/db.json";
    CloudDbStore store(file);
    QString error;
    QVERIFY(store.load(&error));
    const CloudDbReply r = handleCloudDbRequest(store, "PUT", "/mirelo_link/a.json", "1");
    QCOMPARE(r.status, 500);
    QVERIFY(store.root().isNull());
    QCOMPARE(handleCloudDbRequest(store, "GET", "/mirelo_link/a.json", {}).body, QByteArray("null"));
}

QTEST_GUILESS_MAIN(TstCloudDbCore)
#include "tst_clouddbcore.moc"
