// SPDX-License-Identifier: GPL-3.0-or-later
#include "LogCapture.h"
#include "browser/BrowserConnection.h"
#include "browser/cBrwsr_Events.h"
#include "browser/cIE_Events.h"
#include "platform/AutomationBrowser.h"
#include "platform/ScriptedPrompts.h"
#include "settings/COptions.h"
#include "startup/modMain.h"
#include "tests/support/TestHttpServer.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <memory>

// A main window's browser against a real headless Chromium.
class tst_BrowserConnection : public QObject
{
    Q_OBJECT

    std::unique_ptr<BrowserConnection> connection()
    {
        auto made = std::make_unique<BrowserConnection>(m_options);
        made->setProfileFolder(m_profile->path());
        return made;
    }

    TestHttpServer m_server;
    QTemporaryDir m_logs;
    std::unique_ptr<QTemporaryDir> m_profile;
    std::unique_ptr<LogCapture> m_log;
    std::unique_ptr<ScriptedPrompts> m_prompts;
    COptions m_options;

private Q_SLOTS:
    void initTestCase()
    {
        qputenv("PAGEWHEEL_BROWSER_FLAGS", "--headless=new");
        QVERIFY(m_server.listen());
        m_server.setHtmlPage(QStringLiteral("/a.html"), QStringLiteral("Page A"));
    }

    void init()
    {
        m_profile = std::make_unique<QTemporaryDir>();
        m_log = std::make_unique<LogCapture>(m_logs.path(), true, true);
        modMain::TraceMode = true;
        m_prompts = std::make_unique<ScriptedPrompts>();
        m_options.init_options();
        // As choosing the automation browser leaves them.
        m_options.AutoMode = 2;
        m_options.AutoDDEapp = QStringLiteral("IEXPLORE");
        m_options.AutoDDEexe = QStringLiteral("IExplore.exe");
    }

    void cleanup()
    {
        m_prompts.reset();
        m_log.reset();
        QFile::remove(m_logs.filePath(QStringLiteral("DebugFile.txt")));
    }

    void loadsDrivesRestartsAndUnloads()
    {
        auto browser = connection();
        QCOMPARE(BrowserConnection::first(), browser.get());
        browser->UseOLE = true;
        QVERIFY(browser->load_Browser(browser->UseOLE, browser->UseDDE, QStringLiteral("IEXPLORE"),
                                      QStringLiteral("IExplore.exe")));
        QVERIFY(m_prompts->shown().isEmpty());
        AutomationBrowser* dead = browser->instance();
        QVERIFY(dead);
        // The browser's events reach the trace.
        const QString address = m_server.url(QStringLiteral("/a.html")).toString();
        QVERIFY(dead->Navigate(address));
        QTRY_VERIFY_WITH_TIMEOUT(
            m_log->messages().contains(QStringLiteral("DocumentComplete: ") + address), 10000);
        QVERIFY(m_log->messages().contains(QStringLiteral("BeforeNav2")));
        // Full screen in the browser sets the first window's flag.
        QVERIFY(dead->setFullScreen(true));
        QTRY_VERIFY_WITH_TIMEOUT(browser->FullScreenOn, 5000);

        QSignalSpy quit(dead, &AutomationBrowser::OnQuit);
        ::kill(pid_t(dead->processId()), SIGKILL);
        QVERIFY(quit.wait(5000));
        // Twenty failing ticks in a row say nothing; the 21st asks.
        QSignalSpy stop(browser.get(), &BrowserConnection::stopRequested);
        qint16 counter = 0;
        for (int tick = 0; tick < 20; ++tick)
            browser->BrowserTerminate(counter);
        QCOMPARE(counter, qint16(20));
        QVERIFY(m_prompts->shown().isEmpty());
        m_prompts->answer(Prompts::vbNo);
        browser->BrowserTerminate(counter);
        QCOMPARE(counter, qint16(0));
        QCOMPARE(m_prompts->texts(), QStringList{"The browser Pagewheel was using has terminated."
                                                 "\r\nTo restart browser press Yes."});
        QCOMPARE(stop.size(), 1);
        // Yes starts a new browser that answers.
        counter = 20;
        m_prompts->answer(Prompts::vbYes);
        browser->BrowserTerminate(counter);
        AutomationBrowser* instance = browser->instance();
        QVERIFY(instance && instance != dead);
        VbError error;
        instance->Busy(&error);
        QCOMPARE(error.number, 0);

        const qint64 pid = instance->processId();
        QSignalSpy quitAgain(instance, &AutomationBrowser::OnQuit);
        QVERIFY(browser->unload_browser(true, false, QStringLiteral("IEXPLORE"), QString()));
        QVERIFY(!browser->instance());
        QTRY_VERIFY_WITH_TIMEOUT(::kill(pid_t(pid), 0) != 0 || !quitAgain.isEmpty(), 5000);
    }

    void failuresAskWhatToDo()
    {
        auto browser = connection();
        QVERIFY(!browser->LoadIE(QStringLiteral("iexplore")));
        QCOMPARE(m_log->messages(), QStringList{QStringLiteral("LOAD IE: unknown app: iexplore")});

        browser->setBrowserProgram(m_profile->filePath(QStringLiteral("no-such-browser")));
        QSignalSpy close(browser.get(), &BrowserConnection::closeRequested);
        m_options.Changed = true;
        bool ole = true;
        bool dde = false;
        m_prompts->answer(Prompts::vbOK);
        m_prompts->answer(Prompts::vbYes);
        QVERIFY(!browser->load_Browser(ole, dde, QStringLiteral("IEXPLORE"), QString()));
        QCOMPARE(m_prompts->texts(),
                 (QStringList{"Error in loading IEXPLORE.\r\nPagewheel cannot function correctly "
                              "without Browser",
                              "There was a problem loading your browser, IEXPLORE\r\nDo you want "
                              "to continue with Pagewheel?"}));
        QVERIFY(close.isEmpty());
        QVERIFY(m_options.Changed);
        // No: the window closes without asking about settings.
        m_prompts->clear();
        m_prompts->answer(Prompts::vbOK);
        m_prompts->answer(Prompts::vbNo);
        QVERIFY(!browser->load_Browser(ole, dde, QStringLiteral("IEXPLORE"), QString()));
        QCOMPARE(close.size(), 1);
        QVERIFY(!m_options.Changed);

        // Without automation the notifier offers the restart.
        m_prompts->clear();
        browser.reset();
        browser = connection();
        ole = dde = false;
        QVERIFY(browser->load_Browser(ole, dde, QString(), QString()));
        m_prompts->answer(Prompts::vbNo);
        browser->notifier()->BrowserTerminate();
        QCOMPARE(m_prompts->texts(), QStringList{"The browser Pagewheel was using has terminated."
                                                 "\r\n\r\nRestart browser?"});
        QVERIFY(!browser->instance());
    }
};

QTEST_GUILESS_MAIN(tst_BrowserConnection)
#include "tst_BrowserConnection.moc"
