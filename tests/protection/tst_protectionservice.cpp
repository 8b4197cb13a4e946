// Masked mode and the capture setting as a service: once per session, said
// once, and followed through its signals. No display.
#include "core/settings.h"
#include "protection/protectionservice.h"
#include "support/isolatedsettings.h"

#include <QSignalSpy>
#include <QtTest>

#include <memory>

class TestProtectionService : public QObject
{
    Q_OBJECT

    std::unique_ptr<IsolatedSettings> m_settings;
    bool m_present = false;
    int m_looks = 0;

    std::unique_ptr<ProtectionService> make()
    {
        ProtectionOptions o;
        o.guardTickMs = 3'600'000;
        o.guard = [this] {
            ++m_looks;
            return m_present;
        };
        o.captureAvailable = [] { return true; };
        return std::make_unique<ProtectionService>(o);
    }

private slots:
    void init()
    {
        m_settings = std::make_unique<IsolatedSettings>();
        m_present = false;
        m_looks = 0;
    }

    void aDebuggerAtStartMasksAtOnce()
    {
        m_present = true;
        auto p = make();
        QSignalSpy masked(p.get(), &ProtectionService::maskedChanged);
        QSignalSpy notice(p.get(), &ProtectionService::notice);
        QSignalSpy status(p.get(), &ProtectionService::status);
        QVERIFY(!p->isMasked()); // nothing before start
        p->start();
        QVERIFY(p->isMasked());
        QCOMPARE(masked.size(), 1);
        QCOMPARE(masked.at(0).at(0).toBool(), true);
        QCOMPARE(status.last().at(0).toString(), QString("Koruma: analiz ortami algilandi, kodlar gizlendi."));
        const Notice n = notice.at(0).at(0).value<Notice>();
        QCOMPARE(n.title, QString("MIRELO+ Koruma"));
        QVERIFY(n.warning);
        QCOMPARE(n.msecs, 4000);
    }

    void maskedModeBeginsOnceAndOutlivesTheDebugger()
    {
        auto p = make();
        QSignalSpy masked(p.get(), &ProtectionService::maskedChanged);
        QSignalSpy notice(p.get(), &ProtectionService::notice);
        QSignalSpy guard(p.get(), &ProtectionService::guardStatusChanged);
        QSignalSpy checked(p.get(), &ProtectionService::checked);
        p->start();
        QVERIFY(!p->isMasked());
        const QString calm = p->guardStatus();
        p->check();
        QCOMPARE(guard.last().at(0).toString(), calm);
        QVERIFY(masked.isEmpty());

        m_present = true;
        p->check();
        p->check();
        QCOMPARE(masked.size(), 1);
        QCOMPARE(notice.size(), 1);
        QVERIFY(guard.last().at(0).toString() != calm);
        // the debugger goes; the session stays masked and the guard line says so
        m_present = false;
        p->check();
        QVERIFY(p->isMasked());
        QVERIFY(guard.last().at(0).toString() != calm);
        QCOMPARE(checked.size(), 4);
        QCOMPARE(m_looks, 5); // start and every check look afresh
    }

    void captureSettingIsStoredAndReported()
    {
        auto p = make();
        QVERIFY(p->captureEnabled()); // on unless turned off
        QSignalSpy status(p.get(), &ProtectionService::status);
        p->setCaptureProtection(false);
        QVERIFY(!p->captureEnabled());
        QCOMPARE(Settings::open().value(SettingsKey::kCaptureProtection).toBool(), false);
        QCOMPARE(status.last().at(0).toString(), QString("Ekran yakalama korumasi: KAPALI"));
        p->setCaptureProtection(true);
        QVERIFY(Settings::captureProtection());
        QCOMPARE(status.last().at(0).toString(), QString("Ekran yakalama korumasi: ACIK"));
    }
};

QTEST_GUILESS_MAIN(TestProtectionService)
#include "tst_protectionservice.moc"
