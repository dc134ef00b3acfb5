// SPDX-License-Identifier: GPL-3.0-or-later
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSet>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <QTest>

#include "LogCapture.h"
#include "browser/BrowserConnection.h"
#include "browser/cBrwsr_Events.h"
#include "browser/cIE_Events.h"
#include "platform/AutomationBrowser.h"
#include "platform/ProcessTree.h"
#include "platform/ScriptedPrompts.h"
#include "settings/COptions.h"
#include "startup/modMain.h"
#include "tests/support/HeadlessChromium.h"
#include "tests/support/ListeningSockets.h"
#include "tests/support/TestHttpServer.h"

#include <csignal>
#include <memory>

namespace {

bool processExists(qint64 pid)
{
    // A finished child stays a zombie until it is reaped; count it gone.
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return false;
    const QByteArray line = stat.readAll();
    return line.mid(line.lastIndexOf(')') + 2, 1) != "Z";
}

/// The inodes of the sockets the process holds.
QSet<QString> socketsOf(qint64 pid)
{
    QSet<QString> inodes;
    const QString folder = QStringLiteral("/proc/%1/fd").arg(pid);
    for (const QString& fd : QDir(folder).entryList(QDir::Files | QDir::System)) {
        const QString name = QFileInfo(QFile::symLinkTarget(folder + u'/' + fd)).fileName();
        if (name.startsWith(QLatin1String("socket:[")))
            inodes.insert(name.mid(8).chopped(1));
    }
    return inodes;
}

} // namespace

// The browser and a main window's connection to it, against a real headless
// Chromium and pages on 127.0.0.1.
class tst_AutomationBrowser : public QObject
{
    Q_OBJECT

    QString url(const QString& path) const { return m_server.url(path).toString(); }

    /// Navigates and waits (10 s at most) for completion and idle.
    static bool navigateAndWait(AutomationBrowser& browser, const QString& address)
    {
        QSignalSpy complete(&browser, &AutomationBrowser::DocumentComplete);
        if (!browser.Navigate(address))
            return false;
        const auto done = [&] { return complete.contains({address}) && !browser.Busy(); };
        QElapsedTimer clock;
        clock.start();
        while (!done() && clock.elapsed() < 10000)
            QTest::qWait(20);
        return done();
    }

    std::unique_ptr<BrowserConnection> connection()
    {
        auto made = std::make_unique<BrowserConnection>(m_options);
        made->setProfileFolder(m_profile->path());
        return made;
    }

    TestHttpServer m_server;
    std::unique_ptr<QTemporaryDir> m_profile;
    QList<qint64> m_pids;
    QTemporaryDir m_logs;
    std::unique_ptr<LogCapture> m_log;
    std::unique_ptr<ScriptedPrompts> m_prompts;
    COptions m_options;

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY2(useHeadlessChromium(), "no Chromium-family browser on PATH");
        QVERIFY(m_server.listen());
        for (const char* page : {"/a.html", "/b.html", "/slow.html", "/held.html", "/again.html"})
            m_server.setHtmlPage(QLatin1String(page), QLatin1String(page));
        m_server.holdOpen(QStringLiteral("/slow.html"), 1500);
        m_server.holdOpen(QStringLiteral("/held.html"), 60000);
        m_server.setPage(QStringLiteral("/opener.html"),
                         "<html><body><script>window.open('/a.html')</script></body></html>");
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
        for (const qint64 pid : std::as_const(m_pids))
            QTRY_VERIFY_WITH_TIMEOUT(!processExists(pid), 10000);
        m_pids.clear();
        m_prompts.reset();
        m_log.reset();
        QFile::remove(m_logs.filePath(QStringLiteral("DebugFile.txt")));
        m_profile.reset();
    }

    void drivesOneWindow()
    {
        const auto browser = std::make_unique<AutomationBrowser>();
        browser->setProfileFolder(m_profile->path());
        QVERIFY(browser->start());
        m_pids << browser->processId();
        QVERIFY(browser->Visible());
        QCOMPARE(browser->LocationURL(), QStringLiteral("about:blank"));
        QVERIFY(!browser->Busy());
        VbError error;
        QVERIFY(!browser->GoBack(&error)); // only the blank page so far
        QCOMPARE(error.number, AutomationErrors::CallFailed);
        QSignalSpy menuBar(browser.get(), &AutomationBrowser::OnMenuBar);
        QVERIFY(browser->setMenuBar(!browser->MenuBar()));
        QCOMPARE(menuBar.size(), 1);
        QSignalSpy fullScreen(browser.get(), &AutomationBrowser::OnFullScreen);
        for (const bool on : {true, false}) {
            QVERIFY(browser->setFullScreen(on));
            QVERIFY(fullScreen.wait(5000));
            QCOMPARE(fullScreen.takeFirst().first().toBool(), on);
        }

        // The navigation events carry the address, in order.
        QStringList events;
        const auto record = [&events](const char* name) {
            return [&events, name](const QString& address) {
                events << QLatin1String(name) + QLatin1Char(' ') + address;
            };
        };
        connect(browser.get(), &AutomationBrowser::BeforeNavigate2, this, record("before"));
        connect(browser.get(), &AutomationBrowser::NavigateComplete2, this, record("navigated"));
        connect(browser.get(), &AutomationBrowser::DocumentComplete, this, record("complete"));
        connect(browser.get(), &AutomationBrowser::TitleChange, this, record("title"));
        QSignalSpy begin(browser.get(), &AutomationBrowser::DownloadBegin);
        const QString a = url(QStringLiteral("/a.html"));
        const QString b = url(QStringLiteral("/b.html"));
        QVERIFY(navigateAndWait(*browser, a));
        QTRY_VERIFY_WITH_TIMEOUT(events.contains(QStringLiteral("title /a.html")), 5000);
        const qsizetype before = events.indexOf(QStringLiteral("before ") + a);
        const qsizetype navigated = events.indexOf(QStringLiteral("navigated ") + a);
        const qsizetype complete = events.indexOf(QStringLiteral("complete ") + a);
        QVERIFY2(before >= 0 && before < navigated && navigated < complete,
                 qPrintable(events.join(QLatin1String(" | "))));
        QVERIFY(begin.size() >= 1);
        QCOMPARE(browser->LocationURL(), a);

        // History calls work from inside the pipe's own event delivery.
        bool wentBack = false;
        const auto connection = connect(browser.get(), &AutomationBrowser::DocumentComplete, this,
                                        [&](const QString& address) {
                                            if (address == b && !wentBack)
                                                wentBack = browser->GoBack();
                                        });
        QVERIFY(browser->Navigate(b));
        QTRY_VERIFY_WITH_TIMEOUT(wentBack, 5000);
        QTRY_COMPARE_WITH_TIMEOUT(browser->LocationURL(), a, 5000);
        disconnect(connection);
        QSignalSpy completed(browser.get(), &AutomationBrowser::DocumentComplete);
        QVERIFY(browser->GoForward());
        QTRY_VERIFY_WITH_TIMEOUT(completed.contains({b}) && !browser->Busy(), 5000);
        QCOMPARE(browser->LocationURL(), b);
        // A page from the back/forward cache must still be named on completion.
        completed.clear();
        QVERIFY(browser->GoBack(&error));
        QVERIFY(completed.wait(5000));
        QCOMPARE(completed.first().first().toString(), a);
        QTRY_VERIFY_WITH_TIMEOUT(!browser->Busy(), 5000);
        QCOMPARE(browser->LocationURL(), a);
        // A fragment is part of the address.
        QVERIFY(browser->Navigate(a + QStringLiteral("#part")));
        QTRY_COMPARE_WITH_TIMEOUT(browser->LocationURL(), a + QStringLiteral("#part"), 5000);
        QTRY_VERIFY_WITH_TIMEOUT(events.contains(QStringLiteral("navigated ") + a + "#part"), 5000);

        // Another site means a new renderer that briefly refuses commands.
        const QString there = QStringLiteral("http://localhost:%1/b.html").arg(m_server.port());
        for (int i = 0; i < 8; ++i) {
            QVERIFY(navigateAndWait(*browser, a));
            QVERIFY(browser->Navigate(there));
            QTest::qWait(i);
            QVERIFY2(browser->GoBack(&error), qPrintable(error.description));
            QTRY_VERIFY_WITH_TIMEOUT(!browser->Busy(), 5000);
            QVERIFY(browser->LocationURL() != there);
        }

        // Refresh asks the server again.
        const QString again = url(QStringLiteral("/again.html"));
        QVERIFY(navigateAndWait(*browser, again));
        QCOMPARE(m_server.requestCount(QStringLiteral("/again.html")), 1);
        QVERIFY(browser->Refresh());
        QTRY_COMPARE_WITH_TIMEOUT(m_server.requestCount(QStringLiteral("/again.html")), 2, 5000);
        QTRY_VERIFY_WITH_TIMEOUT(!browser->Busy(), 5000);

        // Busy while a slow page loads, from the request on.
        const QString slow = url(QStringLiteral("/slow.html"));
        completed.clear();
        QVERIFY(browser->Navigate(slow));
        QVERIFY(browser->Busy()); // at once, before any event
        QTest::qWait(700);        // the server holds the page for 1.5 s
        QVERIFY(browser->Busy());
        QVERIFY(completed.isEmpty());
        QTRY_VERIFY_WITH_TIMEOUT(!browser->Busy(), 10000);
        QVERIFY(completed.contains({slow}));

        // Stop ends a page the server would hold for a minute.
        QSignalSpy requests(&m_server, &TestHttpServer::requestReceived);
        QVERIFY(browser->Navigate(url(QStringLiteral("/held.html"))));
        QTRY_VERIFY_WITH_TIMEOUT(requests.contains({QStringLiteral("/held.html")}), 5000);
        QVERIFY(browser->Stop());
        QTRY_VERIFY_WITH_TIMEOUT(!browser->Busy(), 5000);
        QCOMPARE(browser->LocationURL(), slow);

        // No process of the browser listens on TCP (the check sees this
        // test's own server).
        const QList<qint64> tree = ProcessTree::members(browser->processId());
        QVERIFY(tree.size() > 1);
        QSet<QString> listening;
        for (const ListeningSocket& socket : listeningSockets())
            listening.insert(socket.inode);
        QVERIFY(socketsOf(QCoreApplication::applicationPid()).intersects(listening));
        for (const qint64 pid : tree)
            QVERIFY2(!socketsOf(pid).intersects(listening), qPrintable(QString::number(pid)));

        // A page opening a window is reported.
        QSignalSpy newWindow(browser.get(), &AutomationBrowser::NewWindow2);
        QVERIFY(browser->Navigate(url(QStringLiteral("/opener.html"))));
        QVERIFY(newWindow.wait(5000));
        QCOMPARE(newWindow.first().first().toString(), a);
    }

    void windowsShareOneBrowserUntilItDies()
    {
        // A start asked for while a start waits for the browser is refused;
        // the first start's window works.
        const auto first = std::make_unique<AutomationBrowser>();
        first->setProfileFolder(m_profile->path());
        VbError inner;
        QTimer::singleShot(0, first.get(), [&] { first->start(&inner); });
        QVERIFY(first->start());
        QCOMPARE(inner.number, AutomationErrors::CannotStart);
        const qint64 pid = first->processId();
        m_pids << pid;
        // The main window's browser is a second window of it.
        auto connection = this->connection();
        QCOMPARE(BrowserConnection::first(), connection.get());
        connection->UseOLE = true;
        QVERIFY(connection->load_Browser(connection->UseOLE, connection->UseDDE,
                                         QStringLiteral("IEXPLORE"),
                                         QStringLiteral("IExplore.exe")));
        QVERIFY(m_prompts->shown().isEmpty());
        AutomationBrowser* second = connection->instance();
        QCOMPARE(second->processId(), pid);
        QSignalSpy firstComplete(first.get(), &AutomationBrowser::DocumentComplete);
        const QString a = url(QStringLiteral("/a.html"));
        const QString b = url(QStringLiteral("/b.html"));
        QVERIFY(navigateAndWait(*second, b));
        QVERIFY(navigateAndWait(*first, a));
        QCOMPARE(second->LocationURL(), b);
        QVERIFY(!firstComplete.contains({b}));
        // The browser's events reach the trace; its full screen sets the window's flag.
        QTRY_VERIFY_WITH_TIMEOUT(m_log->messages().contains("DocumentComplete: " + b), 5000);
        QVERIFY(m_log->messages().contains(QStringLiteral("BeforeNav2")));
        QVERIFY(second->setFullScreen(true));
        QTRY_VERIFY_WITH_TIMEOUT(connection->FullScreenOn, 5000);

        // Closing one window leaves the other.
        QSignalSpy firstQuit(first.get(), &AutomationBrowser::OnQuit);
        QSignalSpy secondQuit(second, &AutomationBrowser::OnQuit);
        QVERIFY(first->closeWindow(first->HWND()));
        QVERIFY(firstQuit.wait(5000));
        QVERIFY(navigateAndWait(*second, a));
        QVERIFY(processExists(pid));
        QVERIFY(secondQuit.isEmpty());

        // A killed browser fails every call, and says so once.
        ::kill(pid_t(pid), SIGKILL);
        QVERIFY(secondQuit.wait(5000));
        VbError error;
        QVERIFY(!second->Busy(&error));
        QCOMPARE(error.number, AutomationErrors::ServerUnavailable);
        error = {};
        QVERIFY(second->LocationURL(&error).isEmpty());
        QCOMPARE(error.number, AutomationErrors::ServerUnavailable);
        QCOMPARE(secondQuit.size(), 1);

        // A restart brings a fresh browser; quitting the last window ends it.
        QVERIFY(second->start());
        const qint64 restarted = second->processId();
        m_pids << restarted;
        QVERIFY(navigateAndWait(*second, b));
        QVERIFY(second->Quit());
        QVERIFY(secondQuit.wait(5000));
        QTRY_VERIFY_WITH_TIMEOUT(!processExists(restarted), 5000);

        // Twenty failing ticks in a row say nothing; the 21st asks.
        QSignalSpy stop(connection.get(), &BrowserConnection::stopRequested);
        qint16 counter = 0;
        for (int tick = 0; tick < 20; ++tick)
            connection->BrowserTerminate(counter);
        QCOMPARE(counter, qint16(20));
        QVERIFY(m_prompts->shown().isEmpty());
        m_prompts->answer(Prompts::vbNo);
        connection->BrowserTerminate(counter);
        QCOMPARE(counter, qint16(0));
        QCOMPARE(m_prompts->texts(), QStringList{"The browser Pagewheel was using has terminated."
                                                 "\r\nTo restart browser press Yes."});
        QCOMPARE(stop.size(), 1);
        // Yes starts a new browser that answers.
        counter = 20;
        m_prompts->answer(Prompts::vbYes);
        connection->BrowserTerminate(counter);
        AutomationBrowser* instance = connection->instance();
        QVERIFY(instance && instance != second);
        error = {};
        instance->Busy(&error);
        QCOMPARE(error.number, 0);

        const qint64 last = instance->processId();
        QSignalSpy quitAgain(instance, &AutomationBrowser::OnQuit);
        QVERIFY(connection->unload_browser(true, false, QStringLiteral("IEXPLORE"), QString()));
        QVERIFY(!connection->instance());
        QTRY_VERIFY_WITH_TIMEOUT(::kill(pid_t(last), 0) != 0 || !quitAgain.isEmpty(), 5000);
    }

    void failuresAskWhatToDo()
    {
        AutomationBrowser missing;
        missing.setProfileFolder(m_profile->path());
        missing.setProgram(QStringLiteral("/nonexistent/chromium"));
        VbError error;
        QVERIFY(!missing.start(&error));
        QCOMPARE(error.number, AutomationErrors::CannotStart);
        QVERIFY(!missing.Navigate(url(QStringLiteral("/a.html")), &error));
        QCOMPARE(error.number, AutomationErrors::NotStarted);

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

QTEST_GUILESS_MAIN(tst_AutomationBrowser)
#include "tst_AutomationBrowser.moc"
