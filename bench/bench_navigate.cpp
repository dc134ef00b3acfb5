// SPDX-License-Identifier: GPL-3.0-or-later
// Navigation latency of the automation browser against Playwright driving
// the same Chromium, and of the remote-open path, on the same local page
// in the same run. Prints medians, p95 and the ratios of the goals.
//
// Needs a display for the remote-open part (run through scripts/run-bench.sh,
// which starts Xvfb); the automation part runs headless.
#include "platform/AutomationBrowser.h"
#include "platform/ProgramLocator.h"
#include "tests/support/TestHttpServer.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <unistd.h>
#include <vector>

namespace {

constexpr int Navigations = 100;
constexpr int RemoteOpens = 15;

struct Figures
{
    double median = 0;
    double p95 = 0;
};

Figures figures(std::vector<double> values)
{
    if (values.empty())
        return {};
    std::sort(values.begin(), values.end());
    const auto at = [&](double q) {
        return values[std::min(values.size() - 1,
                               std::size_t(q * double(values.size() - 1) + 0.5))];
    };
    return {at(0.5), at(0.95)};
}

void print(const char* what, const Figures& f)
{
    std::printf("  %-44s median %8.2f ms   p95 %8.2f ms\n", what, f.median, f.p95);
}

/// Waits, pumping events, until done() or the timeout; false on timeout.
template <typename Done> bool waitFor(Done done, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    }
    return true;
}

struct OurRun
{
    double coldStart = 0;
    std::vector<double> toStart;
    std::vector<double> toLoad;
};

OurRun measureOurs(const QString& program, const QString& url)
{
    OurRun run;
    QTemporaryDir profile;
    AutomationBrowser browser;
    browser.setProgram(program);
    browser.setProfileFolder(profile.path());
    QElapsedTimer clock;
    clock.start();
    VbError error;
    if (!browser.start(&error)) {
        std::printf("  automation browser did not start: %d %s\n", error.number,
                    qPrintable(error.description));
        return run;
    }
    bool blankDone = false;
    QObject::connect(&browser, &AutomationBrowser::DocumentComplete, &browser,
                     [&blankDone] { blankDone = true; });
    browser.Navigate(QStringLiteral("about:blank"));
    waitFor([&] { return blankDone && !browser.Busy(); }, 10000);
    run.coldStart = double(clock.nsecsElapsed()) / 1e6;

    qint64 started = -1;
    qint64 loaded = -1;
    QObject::connect(&browser, &AutomationBrowser::DownloadBegin, &browser, [&] {
        if (started < 0)
            started = clock.nsecsElapsed();
    });
    QObject::connect(&browser, &AutomationBrowser::ProgressChange, &browser,
                     [&](int progress, int) {
                         if (progress == 100 && loaded < 0)
                             loaded = clock.nsecsElapsed();
                     });
    for (int i = 0; i < Navigations; ++i) {
        started = loaded = -1;
        clock.restart();
        browser.Navigate(url + QStringLiteral("?ours%1").arg(i));
        if (!waitFor([&] { return started >= 0 && loaded >= 0 && !browser.Busy(); }, 10000))
            continue;
        run.toStart.push_back(double(started) / 1e6);
        run.toLoad.push_back(double(loaded) / 1e6);
    }
    browser.Quit();
    return run;
}

struct PlaywrightRun
{
    bool ok = false;
    double launch = 0;
    std::vector<double> commit;
    std::vector<double> load;
};

std::vector<double> numbers(const QJsonArray& array)
{
    std::vector<double> values;
    for (const auto& value : array)
        values.push_back(value.toDouble());
    return values;
}

PlaywrightRun measurePlaywright(const QString& program, const QString& url)
{
    PlaywrightRun run;
    const QString script = QStringLiteral(PW_SOURCE_DIR "/bench/js/navigate_playwright.mjs");
    QProcess node;
    node.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    node.start(QStringLiteral("node"), {script, url, QString::number(Navigations), program});
    // The page server lives in this process: keep its events running.
    const bool finished = waitFor([&node] { return node.state() == QProcess::NotRunning; }, 180000);
    if (!finished || node.exitStatus() != QProcess::NormalExit || node.exitCode() != 0) {
        std::printf("  Playwright baseline failed (is playwright-core installed? npm ci)\n");
        return run;
    }
    const QJsonObject result = QJsonDocument::fromJson(node.readAllStandardOutput()).object();
    run.ok = true;
    run.launch = result.value(QStringLiteral("launch")).toDouble();
    run.commit = numbers(result.value(QStringLiteral("commit")).toArray());
    run.load = numbers(result.value(QStringLiteral("load")).toArray());
    return run;
}

/// Remote-open: a headed browser runs on a profile; each further start of
/// the same command hands its address over. Timed from the spawn to the
/// server's request.
std::vector<double> measureRemoteOpen(const QString& program, TestHttpServer& server)
{
    std::vector<double> times;
    if (qEnvironmentVariableIsEmpty("DISPLAY")) {
        std::printf("  remote-open skipped: it needs a display (run through make bench)\n");
        return times;
    }
    QTemporaryDir profile;
    QStringList base{QStringLiteral("--user-data-dir=") + profile.path(),
                     QStringLiteral("--no-first-run"),
                     QStringLiteral("--no-default-browser-check"),
                     QStringLiteral("--disable-background-networking"),
                     QStringLiteral("--disable-component-update"),
                     QStringLiteral("--disable-sync"),
                     QStringLiteral("--test-type")};
    if (::geteuid() == 0)
        base << QStringLiteral("--no-sandbox");
    const auto open = [&](const QString& path) {
        QProcess spawn;
        spawn.setProgram(program);
        spawn.setArguments(
            base + QStringList{QStringLiteral("--new-window"), server.url(path).toString()});
        spawn.setStandardOutputFile(QProcess::nullDevice());
        spawn.setStandardErrorFile(QProcess::nullDevice());
        spawn.startDetached();
    };
    open(QStringLiteral("/page.html?first"));
    if (!waitFor([&] { return server.requestCount(QStringLiteral("/page.html")) >= 1; }, 20000)) {
        std::printf("  remote-open: the first browser did not come up\n");
        return times;
    }
    for (int i = 0; i < RemoteOpens; ++i) {
        const int before = server.requestCount(QStringLiteral("/page.html"));
        QElapsedTimer clock;
        clock.start();
        open(QStringLiteral("/page.html?remote%1").arg(i));
        if (waitFor([&] { return server.requestCount(QStringLiteral("/page.html")) > before; },
                    10000))
            times.push_back(double(clock.nsecsElapsed()) / 1e6);
    }
    QProcess::execute(QStringLiteral("pkill"), {QStringLiteral("-f"), profile.path()});
    return times;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QString program = ProgramLocator::resolveBrowser(QStringLiteral("IExplore.exe"));
    if (program.isEmpty()) {
        std::printf("No Chromium-family browser found\n");
        return 1;
    }
    // The automation browser and Playwright run headless on the same flags.
    qputenv("PAGEWHEEL_BROWSER_FLAGS", "--headless=new --disable-gpu");

    TestHttpServer server;
    server.listen();
    server.setHtmlPage(QStringLiteral("/page.html"), QStringLiteral("Benchmark page"));
    const QString url = server.url(QStringLiteral("/page.html")).toString();

    std::printf("Navigation latency, %d navigations to %s with %s\n", Navigations, qPrintable(url),
                qPrintable(program));
    const OurRun ours = measureOurs(program, url);
    const PlaywrightRun playwright = measurePlaywright(program, url);
    const std::vector<double> remote = measureRemoteOpen(program, server);

    const Figures ourStart = figures(ours.toStart);
    const Figures ourLoad = figures(ours.toLoad);
    print("ours: Navigate to the navigation's start", ourStart);
    print("ours: Navigate to the load event", ourLoad);
    if (playwright.ok) {
        const Figures commit = figures(playwright.commit);
        const Figures load = figures(playwright.load);
        print("Playwright: goto, waitUntil 'commit'", commit);
        print("Playwright: goto, waitUntil 'load'", load);
        std::printf("  ratio start / Playwright commit (goal <= 0.25):   %.3f\n",
                    ourStart.median / commit.median);
        std::printf("  ratio load / Playwright load (goal <= 1.0):       %.3f\n",
                    ourLoad.median / load.median);
        std::printf("  cold start to a usable page: ours %.0f ms, Playwright launch %.0f ms, "
                    "ratio %.3f (goal <= 1.10)\n",
                    ours.coldStart, playwright.launch, ours.coldStart / playwright.launch);
    }
    if (!remote.empty())
        print("remote-open: spawn to the server's request", figures(remote));
    return 0;
}
