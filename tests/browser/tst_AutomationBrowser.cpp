// SPDX-License-Identifier: GPL-3.0-or-later
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSet>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "platform/AutomationBrowser.h"
#include "platform/ProgramLocator.h"
#include "tests/support/TestHttpServer.h"

#include <csignal>
#include <memory>

// Against a real headless Chromium and pages on 127.0.0.1.
class tst_AutomationBrowser : public QObject
{
    Q_OBJECT

private:
    static bool processExists(qint64 pid)
    {
        // A finished child stays a zombie until it is reaped; count it gone.
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        if (!stat.open(QIODevice::ReadOnly))
            return false;
        const QByteArray line = stat.readAll();
        return line.mid(line.lastIndexOf(')') + 2, 1) != "Z";
    }

    std::unique_ptr<AutomationBrowser> startBrowser()
    {
        auto browser = std::make_unique<AutomationBrowser>();
        browser->setProfileFolder(m_profile->path());
        VbError error;
        if (!browser->start(&error))
            qWarning("start failed: %d %s", error.number, qPrintable(error.description));
        m_pids << browser->processId();
        return browser;
    }

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

    TestHttpServer m_server;
    std::unique_ptr<QTemporaryDir> m_profile;
    QList<qint64> m_pids;

private Q_SLOTS:
    void initTestCase()
    {
        qputenv("PAGEWHEEL_BROWSER_FLAGS", "--headless=new");
        QVERIFY2(!ProgramLocator::resolveBrowser(QStringLiteral("IExplore.exe")).isEmpty(),
                 "no Chromium-family browser on PATH");
        QVERIFY(m_server.listen());
        m_server.setHtmlPage(QStringLiteral("/a.html"), QStringLiteral("Page A"));
        m_server.setHtmlPage(QStringLiteral("/b.html"), QStringLiteral("Page B"));
        m_server.setHtmlPage(QStringLiteral("/slow.html"), QStringLiteral("Slow page"));
        m_server.holdOpen(QStringLiteral("/slow.html"), 1500);
        m_server.setHtmlPage(QStringLiteral("/held.html"), QStringLiteral("Never comes"));
        m_server.holdOpen(QStringLiteral("/held.html"), 60000);
        m_server.setPage(QStringLiteral("/opener.html"),
                         "<html><body><script>window.open('/a.html')</script></body></html>");
    }

    void init() { m_profile = std::make_unique<QTemporaryDir>(); }

    void cleanup()
    {
        for (const qint64 pid : std::as_const(m_pids))
            QTRY_VERIFY_WITH_TIMEOUT(!processExists(pid), 10000);
        m_pids.clear();
        m_profile.reset();
    }

    void missingProgramFailsToStart()
    {
        AutomationBrowser browser;
        browser.setProfileFolder(m_profile->path());
        browser.setProgram(QStringLiteral("/nonexistent/chromium"));
        VbError error;
        QVERIFY(!browser.start(&error));
        QCOMPARE(error.number, AutomationErrors::CannotStart);
        QVERIFY(!browser.Navigate(url(QStringLiteral("/a.html")), &error));
        QCOMPARE(error.number, AutomationErrors::NotStarted);
    }

    void startedBrowserAnswersItsProperties()
    {
        const auto browser = startBrowser();
        QVERIFY(browser->Visible());
        QCOMPARE(browser->LocationURL(), QStringLiteral("about:blank"));
        QVERIFY(!browser->Busy());
        QSignalSpy menuBar(browser.get(), &AutomationBrowser::OnMenuBar);
        QVERIFY(browser->setMenuBar(!browser->MenuBar()));
        QCOMPARE(menuBar.size(), 1);
    }

    void navigationEventsCarryTheAddress()
    {
        const auto browser = startBrowser();
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
        QVERIFY(navigateAndWait(*browser, a));
        QTRY_VERIFY_WITH_TIMEOUT(events.contains(QStringLiteral("title Page A")), 5000);
        const qsizetype before = events.indexOf(QStringLiteral("before ") + a);
        const qsizetype navigated = events.indexOf(QStringLiteral("navigated ") + a);
        const qsizetype complete = events.indexOf(QStringLiteral("complete ") + a);
        QVERIFY2(before >= 0 && before < navigated && navigated < complete,
                 qPrintable(events.join(QLatin1String(" | "))));
        QVERIFY(begin.size() >= 1);
        QCOMPARE(browser->LocationURL(), a);

        // A fragment is part of the address.
        QVERIFY(browser->Navigate(a + QStringLiteral("#part")));
        QTRY_COMPARE_WITH_TIMEOUT(browser->LocationURL(), a + QStringLiteral("#part"), 5000);
        QTRY_VERIFY_WITH_TIMEOUT(events.contains(QStringLiteral("navigated ") + a + "#part"), 5000);
    }

    void busyWhileASlowPageLoads()
    {
        const auto browser = startBrowser();
        const QString slow = url(QStringLiteral("/slow.html"));
        QSignalSpy complete(browser.get(), &AutomationBrowser::DocumentComplete);
        QVERIFY(browser->Navigate(slow));
        QVERIFY(browser->Busy()); // at once, before any event
        QTest::qWait(700);        // the server holds the page for 1.5 s
        QVERIFY(browser->Busy());
        QVERIFY(complete.isEmpty());
        QTRY_VERIFY_WITH_TIMEOUT(!browser->Busy(), 10000);
        QVERIFY(complete.contains({slow}));
    }

    void backAndForwardFollowTheHistory()
    {
        const auto browser = startBrowser();
        VbError error;
        QVERIFY(!browser->GoBack(&error)); // only the blank page so far
        QCOMPARE(error.number, AutomationErrors::CallFailed);

        const QString a = url(QStringLiteral("/a.html"));
        const QString b = url(QStringLiteral("/b.html"));
        QVERIFY(navigateAndWait(*browser, a));
        QVERIFY(navigateAndWait(*browser, b));

        // A page from the back/forward cache must still be named on completion.
        QSignalSpy complete(browser.get(), &AutomationBrowser::DocumentComplete);
        QVERIFY(browser->GoBack(&error));
        QVERIFY(complete.wait(5000));
        QCOMPARE(complete.first().first().toString(), a);
        QTRY_VERIFY_WITH_TIMEOUT(!browser->Busy(), 5000);
        QCOMPARE(browser->LocationURL(), a);

        QVERIFY(browser->GoForward());
        QTRY_COMPARE_WITH_TIMEOUT(browser->LocationURL(), b, 5000);
    }

    void historyCallsWorkFromInsideAnEvent()
    {
        // GoBack called from inside the pipe's own event delivery.
        const auto browser = startBrowser();
        const QString a = url(QStringLiteral("/a.html"));
        const QString b = url(QStringLiteral("/b.html"));
        QVERIFY(navigateAndWait(*browser, a));
        bool wentBack = false;
        connect(browser.get(), &AutomationBrowser::DocumentComplete, this,
                [&](const QString& address) {
                    if (address == b && !wentBack)
                        wentBack = browser->GoBack();
                });
        QVERIFY(browser->Navigate(b));
        QTRY_VERIFY_WITH_TIMEOUT(wentBack, 5000);
        QTRY_COMPARE_WITH_TIMEOUT(browser->LocationURL(), a, 5000);
    }

    void callsRightAfterASwitchOfSiteSucceed()
    {
        // Another site means a new renderer that briefly refuses commands.
        const auto browser = startBrowser();
        const QString here = url(QStringLiteral("/a.html"));
        const QString there = QStringLiteral("http://localhost:%1/b.html").arg(m_server.port());
        for (int i = 0; i < 8; ++i) {
            QVERIFY(navigateAndWait(*browser, here));
            QVERIFY(browser->Navigate(there));
            QTest::qWait(i);
            VbError error;
            QVERIFY2(browser->GoBack(&error), qPrintable(error.description));
            QTRY_VERIFY_WITH_TIMEOUT(!browser->Busy(), 5000);
            QVERIFY(browser->LocationURL() != there);
        }
    }

    void refreshAsksAgainAndStopEndsAHeldPage()
    {
        const auto browser = startBrowser();
        const QString path = QStringLiteral("/refresh.html");
        m_server.setHtmlPage(path, QStringLiteral("Again"));
        QVERIFY(navigateAndWait(*browser, url(path)));
        QCOMPARE(m_server.requestCount(path), 1);
        QVERIFY(browser->Refresh());
        QTRY_COMPARE_WITH_TIMEOUT(m_server.requestCount(path), 2, 5000);
        QTRY_VERIFY_WITH_TIMEOUT(!browser->Busy(), 5000);

        QSignalSpy requests(&m_server, &TestHttpServer::requestReceived);
        QVERIFY(browser->Navigate(url(QStringLiteral("/held.html"))));
        QTRY_VERIFY_WITH_TIMEOUT(requests.contains({QStringLiteral("/held.html")}), 5000);
        QVERIFY(browser->Stop()); // the server would hold it for a minute
        QTRY_VERIFY_WITH_TIMEOUT(!browser->Busy(), 5000);
        QCOMPARE(browser->LocationURL(), url(path));
    }

    void fullScreenOnAndOff()
    {
        const auto browser = startBrowser();
        QSignalSpy changed(browser.get(), &AutomationBrowser::OnFullScreen);
        QVERIFY(browser->setFullScreen(true));
        QVERIFY(changed.wait(5000));
        QCOMPARE(changed.takeFirst().first().toBool(), true);
        QVERIFY(browser->setFullScreen(false));
        QVERIFY(changed.wait(5000));
        QCOMPARE(changed.takeFirst().first().toBool(), false);
    }

    void pageOpeningAWindowIsReported()
    {
        const auto browser = startBrowser();
        QSignalSpy newWindow(browser.get(), &AutomationBrowser::NewWindow2);
        QVERIFY(browser->Navigate(url(QStringLiteral("/opener.html"))));
        QVERIFY(newWindow.wait(5000));
        QCOMPARE(newWindow.first().first().toString(), url(QStringLiteral("/a.html")));
    }

    void killedBrowserFailsEveryCall()
    {
        const auto browser = startBrowser();
        QVERIFY(navigateAndWait(*browser, url(QStringLiteral("/a.html"))));
        QSignalSpy quit(browser.get(), &AutomationBrowser::OnQuit);
        ::kill(pid_t(browser->processId()), SIGKILL);
        QVERIFY(quit.wait(5000));

        VbError error;
        QVERIFY(!browser->Busy(&error));
        QCOMPARE(error.number, AutomationErrors::ServerUnavailable);
        error = {};
        QVERIFY(browser->LocationURL(&error).isEmpty());
        QCOMPARE(error.number, AutomationErrors::ServerUnavailable);
        QCOMPARE(quit.size(), 1);

        // A restart brings a fresh browser.
        QVERIFY(browser->start());
        QVERIFY(navigateAndWait(*browser, url(QStringLiteral("/b.html"))));
    }

    void twoWindowsShareOneBrowser()
    {
        const auto first = startBrowser();
        const auto second = startBrowser();
        QCOMPARE(second->processId(), first->processId());

        QSignalSpy firstComplete(first.get(), &AutomationBrowser::DocumentComplete);
        QVERIFY(navigateAndWait(*second, url(QStringLiteral("/b.html"))));
        QVERIFY(navigateAndWait(*first, url(QStringLiteral("/a.html"))));
        QCOMPARE(second->LocationURL(), url(QStringLiteral("/b.html")));
        QVERIFY(!firstComplete.contains({url(QStringLiteral("/b.html"))}));

        // Closing one window leaves the other; the last takes the process.
        const qint64 pid = first->processId();
        QSignalSpy firstQuit(first.get(), &AutomationBrowser::OnQuit);
        QSignalSpy secondQuit(second.get(), &AutomationBrowser::OnQuit);
        QVERIFY(first->closeWindow(first->HWND()));
        QVERIFY(firstQuit.wait(5000));
        QVERIFY(navigateAndWait(*second, url(QStringLiteral("/a.html"))));
        QVERIFY(processExists(pid));
        QVERIFY(secondQuit.isEmpty());
        QVERIFY(second->Quit());
        QVERIFY(secondQuit.wait(5000));
        QTRY_VERIFY_WITH_TIMEOUT(!processExists(pid), 5000);
    }

    void browserListensOnNoTcpPort()
    {
        const auto browser = startBrowser();
        QVERIFY(navigateAndWait(*browser, url(QStringLiteral("/a.html"))));

        QSet<qint64> tree{browser->processId()};
        for (bool grew = true; grew;) {
            grew = false;
            const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs);
            for (const QString& entry : entries) {
                bool isPid = false;
                const qint64 pid = entry.toLongLong(&isPid);
                QFile stat(QStringLiteral("/proc/%1/stat").arg(entry));
                if (!isPid || tree.contains(pid) || !stat.open(QIODevice::ReadOnly))
                    continue;
                const QByteArray line = stat.readAll();
                const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
                if (fields.size() > 1 && tree.contains(fields.at(1).toLongLong())) {
                    tree.insert(pid);
                    grew = true;
                }
            }
        }
        QVERIFY(tree.size() > 1);

        const auto socketsOf = [](qint64 pid) {
            QSet<QString> inodes;
            const QString folder = QStringLiteral("/proc/%1/fd").arg(pid);
            const QStringList fds = QDir(folder).entryList(QDir::Files | QDir::System);
            for (const QString& fd : fds) {
                const QString target = QFile::symLinkTarget(folder + QLatin1Char('/') + fd);
                const QString name = QFileInfo(target).fileName();
                if (name.startsWith(QLatin1String("socket:[")))
                    inodes.insert(name.mid(8).chopped(1));
            }
            return inodes;
        };
        QSet<QString> listening;
        for (const char* table : {"/proc/net/tcp", "/proc/net/tcp6"}) {
            QFile file(QString::fromLatin1(table));
            if (!file.open(QIODevice::ReadOnly))
                continue;
            file.readLine(); // header
            while (!file.atEnd()) {
                const QList<QByteArray> fields = file.readLine().simplified().split(' ');
                if (fields.size() > 9 && fields.at(3) == "0A") // LISTEN
                    listening.insert(QString::fromLatin1(fields.at(9)));
            }
        }
        // The method sees this test's own server.
        QVERIFY(socketsOf(QCoreApplication::applicationPid()).intersects(listening));
        for (const qint64 pid : std::as_const(tree))
            QVERIFY2(!socketsOf(pid).intersects(listening),
                     qPrintable(QStringLiteral("process %1 listens on TCP").arg(pid)));
    }
};

QTEST_GUILESS_MAIN(tst_AutomationBrowser)
#include "tst_AutomationBrowser.moc"
