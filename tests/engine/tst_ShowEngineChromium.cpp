// SPDX-License-Identifier: GPL-3.0-or-later
#include "AutomationAdapter.h"
#include "EngineStandIns.h"
#include "LogCapture.h"

#include "engine/ShowEngine.h"
#include "platform/AutomationBrowser.h"
#include "platform/ProgramLocator.h"
#include "settings/COptions.h"
#include "settings/cShowState.h"
#include "show/colURLs.h"
#include "tests/support/TestHttpServer.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

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

} // namespace

// A show run by the engine in a real headless Chromium, its slides served
// on 127.0.0.1 by a server that notes when each page was asked for.
class tst_ShowEngineChromium : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void sequentialRunRequestsEachSlideAfterItsPause();
    void busyWaitWaitsForAPageStillLoading_data();
    void busyWaitWaitsForAPageStillLoading();

private:
    /// The request times of the paths, in the order they came.
    QList<TestHttpServer::Request> slideRequests() const;
    void runOnce(const QStringList& paths, qint16 pause, bool busyWait);

    TestHttpServer m_server;
    std::unique_ptr<QTemporaryDir> m_profile;
    std::unique_ptr<QTemporaryDir> m_logFolder;
    std::unique_ptr<LogCapture> m_log;
    std::unique_ptr<AutomationBrowser> m_browser;
    qint64 m_pid = 0;
    RecordingView m_view;
};

void tst_ShowEngineChromium::initTestCase()
{
    qputenv("PAGEWHEEL_BROWSER_FLAGS", "--headless=new");
    QVERIFY2(!ProgramLocator::resolveBrowser(QStringLiteral("IExplore.exe")).isEmpty(),
             "no Chromium-family browser on PATH");
    QVERIFY(m_server.listen());
    for (int k = 1; k <= 3; ++k)
        m_server.setHtmlPage(QStringLiteral("/s%1.html").arg(k), QStringLiteral("Slide %1").arg(k));
    m_server.setHtmlPage(QStringLiteral("/held.html"), QStringLiteral("A slow page"));
    m_server.holdOpen(QStringLiteral("/held.html"), 3000);
    m_server.setHtmlPage(QStringLiteral("/after.html"), QStringLiteral("After the slow page"));
    m_server.setHtmlPage(QStringLiteral("/warm.htm"), QStringLiteral("Warm-up"));
}

void tst_ShowEngineChromium::init()
{
    m_profile = std::make_unique<QTemporaryDir>();
    m_logFolder = std::make_unique<QTemporaryDir>();
    m_log = std::make_unique<LogCapture>(m_logFolder->path(), true, true);
    m_browser = std::make_unique<AutomationBrowser>();
    m_browser->setProfileFolder(m_profile->path());
    VbError error;
    QVERIFY2(m_browser->start(&error), qPrintable(error.description));
    m_pid = m_browser->processId();
    // A new browser's first request to a server can lag its navigation by a
    // few hundred milliseconds; the timings below are the engine's, so the
    // browser fetches one page before the show.
    QVERIFY(m_browser->Navigate(m_server.url(QStringLiteral("/warm.htm")).toString()));
    QTRY_VERIFY_WITH_TIMEOUT(!m_browser->Busy(), 10000);
    m_view = RecordingView();
}

void tst_ShowEngineChromium::cleanup()
{
    m_browser.reset();
    // The browser closes with its last window; its profile can go then.
    if (m_pid)
        QTRY_VERIFY_WITH_TIMEOUT(!processExists(m_pid), 10000);
    m_profile.reset();
    m_log.reset();
    m_logFolder.reset();
}

QList<TestHttpServer::Request> tst_ShowEngineChromium::slideRequests() const
{
    QList<TestHttpServer::Request> pages;
    const QList<TestHttpServer::Request> requests = m_server.requests();
    for (const TestHttpServer::Request& request : requests) {
        if (request.path.endsWith(QLatin1String(".html")))
            pages.append(request);
    }
    return pages;
}

void tst_ShowEngineChromium::runOnce(const QStringList& paths, qint16 pause, bool busyWait)
{
    COptions options;
    options.init_options();
    options.UseDefault = false;
    options.BusyWait = busyWait;
    options.ReloadInterval = 0;
    colURLs show;
    for (const QString& path : paths)
        show.Add(m_server.url(path).toString(), QString(), pause, false);
    cShowState state;
    AutomationAdapter browser(*m_browser);
    ShowEngine engine(options, show, state, browser, m_view);
    engine.setSoundPlayer({});
    engine.optCarMode_Click(0);
    engine.optCarOp_Click(0);
    engine.do_set_collect();
    engine.change_mode(ShowEngine::ModeNormal);

    engine.mnuModeShow();
    QTRY_COMPARE_WITH_TIMEOUT(m_view.status, QStringLiteral("Show complete."), 20000);
    QCOMPARE(engine.CurrentMode(), ShowEngine::ModeNormal);
}

void tst_ShowEngineChromium::sequentialRunRequestsEachSlideAfterItsPause()
{
    const int before = int(slideRequests().size());
    runOnce({QStringLiteral("/s1.html"), QStringLiteral("/s2.html"), QStringLiteral("/s3.html")}, 1,
            false);
    const QList<TestHttpServer::Request> requests = slideRequests().mid(before);
    QStringList paths;
    for (const auto& request : requests)
        paths.append(request.path);
    QCOMPARE(paths, QStringList({"/s1.html", "/s2.html", "/s3.html"}));
    // A slide stays up for its pause, counted from its request.
    for (int i = 1; i < 3; ++i) {
        const qint64 gap = requests.at(i).msecs - requests.at(i - 1).msecs;
        qInfo("slide %d to %d: %lld ms", i, i + 1, gap);
        QVERIFY(gap >= 1000);
    }
    // The page watcher saw each page load and finish.
    QVERIFY(m_view.statusHistory.contains(QStringLiteral("Ready.")));
    QCOMPARE(m_browser->LocationURL(), m_server.url(QStringLiteral("/s3.html")).toString());
}

void tst_ShowEngineChromium::busyWaitWaitsForAPageStillLoading_data()
{
    QTest::addColumn<bool>("busyWait");
    QTest::newRow("wait till done") << true;
    QTest::newRow("no wait") << false;
}

void tst_ShowEngineChromium::busyWaitWaitsForAPageStillLoading()
{
    QFETCH(bool, busyWait);
    const int before = int(slideRequests().size());
    runOnce({QStringLiteral("/held.html"), QStringLiteral("/after.html")}, 1, busyWait);
    const QList<TestHttpServer::Request> requests = slideRequests().mid(before);
    QCOMPARE(requests.size(), 2);
    QCOMPARE(requests.at(1).path, QStringLiteral("/after.html"));
    const qint64 gap = requests.at(1).msecs - requests.at(0).msecs;
    qInfo("slow page to the next: %lld ms", gap);
    const qsizetype waitedRounds =
        m_log->messages().filter(QStringLiteral("Timer done but IE busy, wait till done ")).size();
    if (busyWait) {
        // The server answered after 3 s; the step came after that.
        QVERIFY(gap >= 3000);
        QVERIFY(waitedRounds >= 1 && waitedRounds <= 3);
    } else {
        QVERIFY(gap < 3000);
        QCOMPARE(waitedRounds, 0);
    }
}

QTEST_GUILESS_MAIN(tst_ShowEngineChromium)
#include "tst_ShowEngineChromium.moc"
