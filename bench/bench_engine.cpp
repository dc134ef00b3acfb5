// SPDX-License-Identifier: GPL-3.0-or-later
// How closely a real run keeps its slides' pauses, and what a long pause
// costs the processor. Runs a show in a headless Chromium, its slides
// served on 127.0.0.1, and prints figures.
//
//   bench_engine [slides] [long pause seconds]    (defaults 40 and 30)

#include "AutomationAdapter.h"
#include "EngineStandIns.h"

#include "engine/ShowEngine.h"
#include "platform/AutomationBrowser.h"
#include "settings/COptions.h"
#include "settings/cShowState.h"
#include "show/colURLs.h"
#include "tests/support/TestHttpServer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr qint16 SlidePause = 1;
// The step timer between an alarm and the next slide.
constexpr double StepMs = 100.0;

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

double percentile(std::vector<double> values, double p)
{
    std::sort(values.begin(), values.end());
    const double rank = p * double(values.size() - 1);
    const auto low = std::size_t(rank);
    const std::size_t high = std::min(low + 1, values.size() - 1);
    return values[low] + (values[high] - values[low]) * (rank - double(low));
}

/// Runs the show once, in order, and returns when it is complete (or after
/// the time limit). onReady is called the first time a page has loaded.
bool runOnce(AutomationBrowser& browser, colURLs& show, int limitMs,
             const std::function<void()>& onReady = {},
             const std::function<void()>& onComplete = {})
{
    COptions options;
    options.init_options();
    options.UseDefault = false;
    options.BusyWait = false;
    options.ReloadInterval = 0;
    cShowState state;
    AutomationAdapter adapter(browser);
    RecordingView view;
    ShowEngine engine(options, show, state, adapter, view);
    engine.setSoundPlayer({});
    engine.optCarMode_Click(0);
    engine.optCarOp_Click(0);
    engine.do_set_collect();
    engine.change_mode(ShowEngine::ModeNormal);

    QEventLoop loop;
    bool complete = false;
    bool ready = false;
    view.onStatus = [&](const QString& text) {
        if (text == QLatin1String("Ready.") && !ready) {
            ready = true;
            if (onReady)
                onReady();
        } else if (text == QLatin1String("Show complete.")) {
            complete = true;
            if (onComplete)
                onComplete();
            loop.quit();
        }
    };
    QTimer::singleShot(limitMs, &loop, &QEventLoop::quit);
    engine.mnuModeShow();
    if (!complete)
        loop.exec();
    return complete;
}

void timingAccuracy(AutomationBrowser& browser, TestHttpServer& server, int slides)
{
    colURLs show;
    for (int k = 1; k <= slides; ++k) {
        const QString path = QStringLiteral("/b%1.html").arg(k);
        server.setHtmlPage(path, QStringLiteral("Slide %1").arg(k));
        show.Add(server.url(path).toString(), QString(), SlidePause, false);
    }
    const qsizetype before = server.requests().size();
    if (!runOnce(browser, show, slides * 2000 + 10000)) {
        std::printf("timing run did not complete\n");
        return;
    }
    std::vector<double> starts;
    const QList<TestHttpServer::Request> requests = server.requests().mid(before);
    for (const TestHttpServer::Request& request : requests) {
        if (request.path.startsWith(QLatin1String("/b")))
            starts.push_back(double(request.msecs));
    }
    if (starts.size() != std::size_t(slides)) {
        std::printf("expected %d slide requests, got %zu\n", slides, starts.size());
        return;
    }
    const double floor = SlidePause * 1000.0 + StepMs;
    std::vector<double> excess;
    for (std::size_t i = 1; i < starts.size(); ++i)
        excess.push_back(starts[i] - starts[i - 1] - floor);
    std::printf("Slide-to-slide period, %d slides of %d s (floor %.0f ms = pause + step):\n",
                slides, SlidePause, floor);
    std::printf("  excess over the floor: median %.1f ms, p95 %.1f ms, max %.1f ms, min %.1f ms\n",
                percentile(excess, 0.5), percentile(excess, 0.95),
                *std::max_element(excess.begin(), excess.end()),
                *std::min_element(excess.begin(), excess.end()));
    std::printf("  goal: median under 5 ms, p95 under 20 ms\n");
}

void longPauseCost(AutomationBrowser& browser, TestHttpServer& server, int seconds)
{
    server.setHtmlPage(QStringLiteral("/long.html"), QStringLiteral("A long pause"));
    colURLs show;
    show.Add(server.url(QStringLiteral("/long.html")).toString(), QString(), qint16(seconds),
             false);
    double cpuStart = 0;
    double cpuEnd = 0;
    QElapsedTimer wall;
    const bool complete = runOnce(
        browser, show, seconds * 1000 + 10000,
        [&] {
            cpuStart = cpuSeconds();
            wall.start();
        },
        [&] { cpuEnd = cpuSeconds(); });
    if (!complete || !wall.isValid()) {
        std::printf("long pause run did not complete\n");
        return;
    }
    const double wallSeconds = double(wall.elapsed()) / 1000.0;
    const double cpu = cpuEnd - cpuStart;
    std::printf("One slide waiting out a %d s pause (from page loaded to the alarm):\n", seconds);
    std::printf("  wall %.2f s, CPU %.4f s = %.3f %% of a core (goal under 1 %%)\n", wallSeconds,
                cpu, 100.0 * cpu / wallSeconds);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int slides = argc > 1 ? std::max(2, atoi(argv[1])) : 40;
    const int longPause = argc > 2 ? std::max(1, atoi(argv[2])) : 30;
    if (qEnvironmentVariableIsEmpty("PAGEWHEEL_BROWSER_FLAGS"))
        qputenv("PAGEWHEEL_BROWSER_FLAGS", "--headless=new");

    TestHttpServer server;
    if (!server.listen()) {
        std::printf("cannot listen on 127.0.0.1\n");
        return 1;
    }
    QTemporaryDir profile;
    AutomationBrowser browser;
    browser.setProfileFolder(profile.path());
    VbError error;
    if (!browser.start(&error)) {
        std::printf("cannot start the browser: %d %s\n", error.number,
                    qPrintable(error.description));
        return 1;
    }
    timingAccuracy(browser, server, slides);
    longPauseCost(browser, server, longPause);
    return 0;
}
