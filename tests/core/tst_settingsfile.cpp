// The settings store (sealed vault, mail passwords, device keys) stays
// owner-only on Unix, also after the store rewrites it.
#include "core/settingsfile.h"
#include "support/isolatedsettings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QtTest>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace {

#ifdef Q_OS_UNIX
mode_t modeOf(const QString &path)
{
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return 0;
    return st.st_mode & 07777;
}
#endif

#ifdef Q_OS_UNIX
void writeSome(int round)
{
    QSettings s(QStringLiteral("MIRELOPLUS"), QStringLiteral("MireloPlus"));
    s.setValue(QStringLiteral("vault/data"), QString(200 + round, QLatin1Char('x')));
    s.setValue(QStringLiteral("round"), round);
    s.sync();
    QCOMPARE(s.status(), QSettings::NoError);
}
#endif

} // namespace

class TestSettingsFile : public QObject
{
    Q_OBJECT
private slots:
    void ownerOnlyAfterEveryRewrite()
    {
#ifdef Q_OS_UNIX
        const mode_t oldMask = ::umask(022);
        for (const bool existedBefore : {true, false}) {
            IsolatedSettings settings;
            const QString file = settings.settingsFile();
            if (existedBefore) {
                writeSome(0);
                QCOMPARE(modeOf(file), mode_t(0644)); // what the store makes on its own
            }
            QVERIFY(restrictSettingsStore());
            QVERIFY(QFileInfo::exists(file));
            QCOMPARE(modeOf(file), mode_t(0600));
            QCOMPARE(modeOf(QFileInfo(file).absolutePath()), mode_t(0700));
            for (int round = 1; round <= 3; ++round) {
                writeSome(round);
                QCOMPARE(modeOf(file), mode_t(0600));
            }
            QCOMPARE(QSettings(QStringLiteral("MIRELOPLUS"), QStringLiteral("MireloPlus")).value("round").toInt(), 3);
        }
        ::umask(oldMask);
#else
        QSKIP("file modes are a Unix matter");
#endif
    }

    void unwritableStoreIsSaidWithItsPlace()
    {
        IsolatedSettings settings;
        QCOMPARE(settingsStoreWriteProblem(), QString());
        QVERIFY(restrictSettingsStore());
#ifdef Q_OS_UNIX
        // A file where the store's folder should be stops even root.
        const QString file = settings.settingsFile();
        const QString folder = QFileInfo(file).absolutePath();
        QVERIFY(QFile::remove(file));
        QVERIFY(QDir(folder).removeRecursively());
        QFile blocker(folder);
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        const QString problem = settingsStoreWriteProblem();
        QVERIFY2(problem.startsWith(QStringLiteral("Ayarlar kaydedilemiyor: ")), qPrintable(problem));
        QVERIFY(problem.contains(file));
        QVERIFY(!restrictSettingsStore());
#else
        // A branch the user may not change.
        QVERIFY(settings.refuseRegistryWrites());
        const QString problem = settingsStoreWriteProblem();
        QVERIFY2(problem.startsWith(QStringLiteral("Ayarlar kaydedilemiyor: ")), qPrintable(problem));
        QVERIFY2(problem.contains(QStringLiteral("MIRELOPLUS")), qPrintable(problem));
        settings.allowRegistryWrites();
        QCOMPARE(settingsStoreWriteProblem(), QString());
#endif
    }
};

QTEST_GUILESS_MAIN(TestSettingsFile)
#include "tst_settingsfile.moc"
