// SPDX-License-Identifier: GPL-3.0-or-later
#include "AutomationAdapter.h"
#include "EngineStandIns.h"
#include "LogCapture.h"

#include "engine/ShowEngine.h"
#include "platform/AutomationBrowser.h"
#include "settings/COptions.h"
#include "settings/cShowState.h"
#include "show/colURLs.h"
#include "tests/support/HeadlessChromium.h"
#include "tests/support/TestHttpServer.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

// A show run by the engine in a real headless Chromium, its slides served
// on 127.0.0.1 by a server that notes when each page was asked for.
class tst_ShowEngineChromium : public QObject
{
    Q_OBJECT

    TestHttpServer m_server;
    QTemporaryDir m_profile;
    AutomationBrowser m_browser;

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY2(useHeadlessChromium(), "no Chromium-family browser on PATH");
        QVERIFY(m_server.listen());
        for (const char* page : {"/s1.html", "/s2.html", "/held.html", "/after.html", "/warm.htm"})
            m_server.setHtmlPage(QLatin1String(page), QLatin1String(page));
        m_server.holdOpen(QStringLiteral("/held.html"), 3000);
        m_browser.setProfileFolder(m_profile.path());
        VbError error;
        QVERIFY2(m_browser.start(&error), qPrintable(error.description));
        // A new browser's first request to a server can lag its navigation by
        // a few hundred milliseconds; the timings below are the engine's.
        QVERIFY(m_browser.Navigate(m_server.url(QStringLiteral("/warm.htm")).toString()));
        QTRY_VERIFY_WITH_TIMEOUT(!m_browser.Busy(), 10000);
    }

    void cleanupTestCase()
    {
        // The browser closes with its last window; its profile can go then.
        const auto gone = [pid = m_browser.processId()] {
            // A finished child stays a zombie until it is reaped; count it gone.
            QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
            return !stat.open(QIODevice::ReadOnly) || stat.readAll().contains(") Z ");
        };
        m_browser.Quit();
        QTRY_VERIFY_WITH_TIMEOUT(gone(), 10000);
    }

    void sequentialRunWaitsOutEachPauseAndAPageStillLoading()
    {
        QTemporaryDir logFolder;
        LogCapture log(logFolder.path(), true, true);
        COptions options;
        options.init_options();
        options.UseDefault = false;
        options.BusyWait = true;
        options.ReloadInterval = 0;
        colURLs show;
        const QStringList paths = {"/s1.html", "/s2.html", "/held.html", "/after.html"};
        for (const QString& path : paths)
            show.Add(m_server.url(path).toString(), QString(), 1, false);
        cShowState state;
        AutomationAdapter browser(m_browser);
        RecordingView view;
        ShowEngine engine(options, show, state, browser, view);
        engine.setSoundPlayer({});
        engine.optCarMode_Click(0);
        engine.optCarOp_Click(0);
        engine.do_set_collect();
        engine.change_mode(ShowEngine::ModeNormal);
        engine.mnuModeShow();
        QTRY_COMPARE_WITH_TIMEOUT(view.status, QStringLiteral("Show complete."), 20000);

        // A slide stays up for its pause, counted from its request; the slow
        // page answered after 3 s, and the step waited for it.
        QStringList requested;
        qint64 previous = 0;
        for (const auto& request : m_server.requests()) {
            if (!request.path.endsWith(".html"))
                continue;
            const qint64 gap = requested.isEmpty() ? 3000 : request.msecs - previous;
            qInfo("%s after %lld ms", qPrintable(request.path), gap);
            QVERIFY(gap >= (request.path == paths.last() ? 3000 : 1000));
            requested.append(request.path);
            previous = request.msecs;
        }
        QCOMPARE(requested, paths);
        const qsizetype waitedRounds =
            log.messages().filter(QStringLiteral("Timer done but IE busy, wait till done ")).size();
        QVERIFY2(waitedRounds >= 1 && waitedRounds <= 3, qPrintable(QString::number(waitedRounds)));
        // The page watcher saw the pages load and finish.
        QVERIFY(view.statusHistory.contains(QStringLiteral("Ready.")));
        QCOMPARE(m_browser.LocationURL(), m_server.url(paths.last()).toString());
    }
};

QTEST_GUILESS_MAIN(tst_ShowEngineChromium)
#include "tst_ShowEngineChromium.moc"
