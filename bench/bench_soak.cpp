// SPDX-License-Identifier: GPL-3.0-or-later
// A soak run of the program as a lobby screen runs it: auto start, a
// continuous show of local pages at 1-second pauses in the automation
// browser, with faults on a schedule: the browser killed, the browser
// stopped (SIGSTOP) for a while, and the page server gone for a while.
// Prints slides shown against slides due, the longest gap between two
// slide requests, the time from each fault to the next good slide, and the
// memory slope of the program and of the browser tree.
//
// bench_soak [minutes=20] [kill-at-min] [freeze-at-min] [outage-at-min]
//            [freeze-s=30] [outage-s=30]
// The faults default to 25%, 50% and 75% of the run.
#include "platform/ProcessTree.h"
#include "platform/ProgramLocator.h"
#include "tests/support/TestHttpServer.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <vector>

namespace {

constexpr int Slides = 5;
constexpr int PauseSeconds = 1;
constexpr int SampleMs = 10000;

struct Sample
{
    double minutes;
    double programMb;
    double browserMb;
};

/// Least-squares slope, in MB an hour.
double slopePerHour(const std::vector<Sample>& samples, double Sample::*field)
{
    if (samples.size() < 2)
        return 0;
    double sx = 0, sy = 0, sxx = 0, sxy = 0;
    for (const Sample& s : samples) {
        sx += s.minutes;
        sy += s.*field;
        sxx += s.minutes * s.minutes;
        sxy += s.minutes * (s.*field);
    }
    const double n = double(samples.size());
    const double denominator = n * sxx - sx * sx;
    return denominator == 0 ? 0 : (n * sxy - sx * sy) / denominator * 60.0;
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

/// The browser the program runs: its child started with the pipe.
qint64 browserOf(qint64 program)
{
    const QList<qint64> tree = ProcessTree::members(program);
    for (qint64 pid : tree) {
        QFile cmdline(QStringLiteral("/proc/%1/cmdline").arg(pid));
        // The first one found is the top of the browser's own tree.
        if (pid != program && cmdline.open(QIODevice::ReadOnly) &&
            cmdline.readAll().contains("--remote-debugging-pipe"))
            return pid;
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const double minutes = args.value(1, QStringLiteral("20")).toDouble();
    const double killAt = args.size() > 2 ? args[2].toDouble() : minutes * 0.25;
    const double freezeAt = args.size() > 3 ? args[3].toDouble() : minutes * 0.5;
    const double outageAt = args.size() > 4 ? args[4].toDouble() : minutes * 0.75;
    const int freezeSeconds = args.value(5, QStringLiteral("30")).toInt();
    const int outageSeconds = args.value(6, QStringLiteral("30")).toInt();
    if (ProgramLocator::resolveBrowser(QStringLiteral("IExplore.exe")).isEmpty()) {
        std::fprintf(stderr, "no Chromium-family browser on PATH\n");
        return 1;
    }

    TestHttpServer server;
    if (!server.listen())
        return 1;
    QTemporaryDir home;
    const QDir dir(home.path());
    dir.mkpath(QStringLiteral("config/Pagewheel"));
    dir.mkpath(QStringLiteral("data"));
    QByteArray show;
    for (int k = 1; k <= Slides; ++k) {
        const QString path = QStringLiteral("/p%1.html").arg(k);
        server.setHtmlPage(path, QStringLiteral("Lobby page %1").arg(k));
        show += "\"" + server.url(path).toString().toUtf8() + "\",\"\"," +
                QByteArray::number(PauseSeconds) + ",#FALSE#\r\n";
    }
    const QString showFile = dir.filePath(QStringLiteral("Lobby.txt"));
    writeFile(showFile, show);
    writeFile(dir.filePath(QStringLiteral("config/Pagewheel/Pagewheel.ini")),
              "[Options]\nAutoMode=2\nDisplayTips=False\nDisplayWizard=False\nAutoStart=False\n"
              "StartingAddress=\n");
    const QString options = dir.filePath(QStringLiteral("lobby-options.txt"));
    writeFile(options, "\"AutoMode\",2\r\n\"AutoDDEapp\",\"IEXPLORE\"\r\n"
                       "\"AutoDDEexe\",\"IExplore.exe\"\r\n\"AutoStart\",#TRUE#\r\n"
                       "\"ReloadMode\",3\r\n\"CarouselOperation\",2\r\n\"CarouselMode\",1\r\n"
                       "\"DisplayTips\",#FALSE#\r\n\"DisplayWizard\",#FALSE#\r\n"
                       "\"StartingAddress\",\"\"\r\n\"UseDefault\",#FALSE#\r\n"
                       "\"BusyWait\",#FALSE#\r\n\"CarouselFileName\",\"" +
                           showFile.toUtf8() + "\"\r\n");

    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("HOME"), home.path());
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), dir.filePath(QStringLiteral("config")));
    environment.insert(QStringLiteral("XDG_DATA_HOME"), dir.filePath(QStringLiteral("data")));
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("PAGEWHEEL_BROWSER_FLAGS"), QStringLiteral("--headless=new"));
    program.setProcessEnvironment(environment);
    program.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    program.setStandardOutputFile(QProcess::nullDevice());
    program.start(QStringLiteral(PW_EXECUTABLE), {QStringLiteral("options"), options});
    if (!program.waitForStarted(10000))
        return 1;

    struct Fault
    {
        const char* name;
        double atMinutes;
        qint64 startedMs = -1;
        qint64 recoveredMs = -1;
    };
    Fault faults[] = {
        {"browser killed", killAt}, {"browser stopped", freezeAt}, {"server gone", outageAt}};
    std::vector<Sample> samples;
    QElapsedTimer clock;
    clock.start();
    // The server's clock started a moment before the bench's.
    const qint64 startOffset = server.elapsed();
    qint64 frozen = 0;
    qint64 lastSample = -SampleMs;
    const qint64 endMs = qint64(minutes * 60000);
    while (clock.elapsed() < endMs && program.state() == QProcess::Running) {
        QTest::qWait(100);
        const qint64 now = clock.elapsed();
        for (Fault& fault : faults) {
            if (fault.startedMs >= 0 || now < fault.atMinutes * 60000)
                continue;
            fault.startedMs = now;
            const qint64 browser = browserOf(program.processId());
            if (fault.name == faults[0].name) {
                ProcessTree::kill(browser);
            } else if (fault.name == faults[1].name) {
                frozen = browser;
                ::kill(pid_t(browser), SIGSTOP);
                QTimer::singleShot(freezeSeconds * 1000, [&frozen] {
                    if (frozen)
                        ::kill(pid_t(frozen), SIGCONT);
                });
            } else {
                server.close();
                QTimer::singleShot(outageSeconds * 1000, [&server] { server.reopen(); });
            }
            std::printf("%6.2f min  %s\n", double(now) / 60000, fault.name);
            std::fflush(stdout);
        }
        if (now - lastSample >= SampleMs) {
            lastSample = now;
            // The browser is the program's child: the program's own share
            // is its tree without the browser's.
            const double all = double(ProcessTree::pssKiB(program.processId())) / 1024;
            const double browser =
                double(ProcessTree::pssKiB(browserOf(program.processId()))) / 1024;
            samples.push_back({double(now) / 60000, all - browser, browser});
        }
    }
    const bool survived = program.state() == QProcess::Running;
    const qint64 benchEnd = clock.elapsed();
    ProcessTree::kill(program.processId());
    program.waitForFinished(5000);

    // Slide requests in the server's time; the bench clock started with it
    // give or take the program's start.
    std::vector<qint64> slides;
    for (const TestHttpServer::Request& request : server.requests()) {
        if (request.path.startsWith(QLatin1String("/p")))
            slides.push_back(request.msecs - startOffset);
    }
    qint64 longestGap = 0;
    qint64 longestGapAt = 0;
    for (std::size_t i = 1; i < slides.size(); ++i) {
        if (slides[i] - slides[i - 1] > longestGap) {
            longestGap = slides[i] - slides[i - 1];
            longestGapAt = slides[i - 1];
        }
    }
    for (Fault& fault : faults) {
        if (fault.startedMs < 0)
            continue;
        // The outage ends before a slide can be good again.
        const qint64 from = fault.name == faults[2].name
                                ? fault.startedMs + qint64(outageSeconds) * 1000
                                : fault.startedMs;
        const auto next = std::lower_bound(slides.begin(), slides.end(), from);
        if (next != slides.end())
            fault.recoveredMs = *next - fault.startedMs;
    }
    const double firstSlide = slides.empty() ? 0 : double(slides.front());
    const double due =
        (double(benchEnd) - firstSlide) / 1000.0 / PauseSeconds; // one slide each pause

    std::printf("\nSoak run of %.1f minutes (%d pages, %d s pauses)%s\n", minutes, Slides,
                PauseSeconds, survived ? "" : "  -- THE PROGRAM ENDED");
    std::printf("  slides shown / due           %zu / %.0f (%.1f %%)\n", slides.size(), due,
                due > 0 ? 100.0 * double(slides.size()) / due : 0.0);
    std::printf("  longest gap between slides   %.2f s (at %.2f min)\n", double(longestGap) / 1000,
                double(longestGapAt) / 60000);
    for (const Fault& fault : faults) {
        if (fault.name == faults[2].name)
            std::printf("  %-28s %.2f s after the server came back\n", fault.name,
                        fault.recoveredMs < 0 ? -1.0
                                              : double(fault.recoveredMs) / 1000 - outageSeconds);
        else
            std::printf("  %-28s next slide %.2f s after the fault\n", fault.name,
                        double(fault.recoveredMs) / 1000);
    }
    // The first minute is the program and browser settling in.
    std::vector<Sample> settled;
    std::copy_if(samples.begin(), samples.end(), std::back_inserter(settled),
                 [](const Sample& s) { return s.minutes >= 1.0; });
    double browserPeak = 0;
    for (const Sample& s : samples)
        browserPeak = std::max(browserPeak, s.browserMb);
    std::printf("  program memory (PSS)         %.1f MB at the end, slope %+.2f MB/h\n",
                samples.empty() ? 0.0 : samples.back().programMb,
                slopePerHour(settled, &Sample::programMb));
    std::printf(
        "  browser tree memory (PSS)    %.1f MB at the end, peak %.1f MB, slope %+.2f MB/h\n",
        samples.empty() ? 0.0 : samples.back().browserMb, browserPeak,
        slopePerHour(settled, &Sample::browserMb));
    return survived ? 0 : 2;
}
