#pragma once

// What the window tests share: a window over its own services with a
// hand-moved clock, a recording tray, answered dialogs and a counted quit,
// against the project's real database server.

#include "app/tray.h"
#include "recordingtray.h"
#include "servers/clouddbfixture.h"
#include "support/isolatedsettings.h"
#include "support/runningwindow.h"

#include <QClipboard>
#include <QDialog>
#include <QGuiApplication>
#include <QSettings>
#include <QTcpServer>
#include <QTextDocument>
#include <QUuid>
#include <QtTest>

#include <functional>
#include <memory>

inline MailItem codeMail(const QString &code, const QString &from = "Steam <noreply@steampowered.com>")
{
    MailItem m;
    m.id = QUuid::createUuid().toString(QUuid::WithoutBraces);
    m.account = "me@example.com";
    m.from = from;
    m.subject = "Giris kodun";
    m.code = code;
    m.confidence = 95;
    // Fetched just after the fake clock's start: fresh for the tests' minutes.
    m.received = QDateTime::fromSecsSinceEpoch(1'700'000'030);
    return m;
}

class WindowFixture : public QObject
{
protected:
    std::unique_ptr<IsolatedSettings> m_settings;
    std::unique_ptr<CloudDbFixture> m_db;
    qint64 m_now = 1'700'000'000;
    int m_quits = 0;
    bool m_guard = false;
    bool m_withTray = true;
    RecordingTray *m_tray = nullptr;
    QList<QPair<QMessageBox::Icon, QString>> m_messages;
    int m_dialogResult = QDialog::Rejected;
    std::function<void()> m_onDialog;
    std::function<void()> m_onQuit;
    bool m_captureAvailable = true;

    AppServicesOptions servicesOptions(int notifyMs = 3000)
    {
        AppServicesOptions s;
        s.databaseUrl = m_db->baseUrl();
        s.clock = Clock::fromSeconds([this] { return m_now; });
        s.notifyMs = notifyMs;
        s.guard = [this] { return m_guard; };
        s.captureAvailable = [this] { return m_captureAvailable; };
        s.startPolling = false;
        s.registerHotkey = false;
        s.vaultSealing.cost = {1, 8}; // the smallest Argon2id cost
        return s;
    }

    MainWindowOptions windowOptions()
    {
        MainWindowOptions o;
        o.fadeMs = 1;
        o.trayFactory = [this](QObject *parent) -> Tray * {
            if (!m_withTray)
                return nullptr;
            m_tray = new RecordingTray(parent);
            return m_tray;
        };
        o.runDialog = [this](QDialog *) {
            if (m_onDialog)
                m_onDialog();
            return m_dialogResult;
        };
        o.quit = [this] {
            ++m_quits;
            if (m_onQuit)
                m_onQuit();
        };
        o.message = [this](QMessageBox::Icon icon, const QString &text) { m_messages.append({icon, text}); };
        return o;
    }

    RunningWindow makeWindow(int notifyMs = 3000) { return RunningWindow(servicesOptions(notifyMs), windowOptions()); }

    void startDatabase()
    {
        m_db = std::make_unique<CloudDbFixture>();
        QVERIFY2(m_db->startInProcess(), qPrintable(m_db->errorText()));
    }

    void resetState()
    {
        m_settings = std::make_unique<IsolatedSettings>();
        m_now = 1'700'000'000;
        m_quits = 0;
        m_guard = false;
        m_withTray = true;
        m_tray = nullptr;
        m_messages.clear();
        m_dialogResult = QDialog::Rejected;
        m_onDialog = nullptr;
        m_onQuit = nullptr;
        m_captureAvailable = true;
        QGuiApplication::clipboard()->clear();
        // A user let in by the sign-in gate, unless a test says otherwise.
        QSettings s("MIRELOPLUS", "MireloPlus");
        s.setValue("auth/display", "tester");
        s.setValue("auth/logged", true);
    }
};
