// SPDX-License-Identifier: GPL-3.0-or-later
// The program as a user runs it, on an X display of its own with a window
// manager: an options file chooses the automation browser, auto start and
// a show of three slides on 127.0.0.1 run once in full screen, timed and
// photographed.
#include "platform/ProcessTree.h"
#include "platform/ProgramLocator.h"
#include "tests/support/TestHttpServer.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

const QByteArray EndBanner = "-------------------PAGEWHEEL Ends -------------------------";
constexpr int ScreenWidth = 1024;
constexpr int ScreenHeight = 768;
// The slides' page colour, to find the browser on the screen.
const QColor SlideColour(0x20, 0xa0, 0x40);

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
}

bool near(const QColor& a, const QColor& b)
{
    return qAbs(a.red() - b.red()) < 24 && qAbs(a.green() - b.green()) < 24 &&
           qAbs(a.blue() - b.blue()) < 24;
}

QProcessEnvironment onDisplay(const QString& display)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DISPLAY"), display);
    return environment;
}

} // namespace

class tst_frmMainEndToEnd : public QObject
{
    Q_OBJECT

    QProcess m_xvfb;
    QProcess m_windowManager;
    QString m_display;
    TestHttpServer m_server;
    std::unique_ptr<QTemporaryDir> m_home;
    QProcess m_program;
    QList<qint64> m_tree; // the program and every process it started
    QString m_logFile = QStringLiteral(PW_APP_FOLDER "/DebugFile.txt");
    qint64 m_logOffset = 0;

    QList<TestHttpServer::Request> slides() const
    {
        QList<TestHttpServer::Request> found;
        for (const TestHttpServer::Request& request : m_server.requests())
            if (request.path.startsWith(QLatin1String("/s")))
                found.append(request);
        return found;
    }

    /// Starts the program on a user's home with the show of pause seconds
    /// a slide; headless unless in full screen.
    void start(int pause, bool fullScreen)
    {
        m_home = std::make_unique<QTemporaryDir>();
        const QDir home(m_home->path());
        home.mkpath(QStringLiteral("config/Pagewheel"));
        home.mkpath(QStringLiteral("data"));
        QByteArray show;
        for (int k = 1; k <= 3; ++k)
            show += "\"" + m_server.url(QStringLiteral("/s%1.html").arg(k)).toEncoded() +
                    "\",\"\"," + QByteArray::number(pause) + ",#FALSE#\r\n";
        const QString showFile = home.filePath(QStringLiteral("Lobby.txt"));
        writeFile(showFile, show);
        // What the registry holds already: no first-run box waits for OK.
        writeFile(home.filePath(QStringLiteral("config/Pagewheel/Pagewheel.ini")),
                  "[Options]\nAutoMode=2\nDisplayTips=False\nDisplayWizard=False\nAutoStart=False\n"
                  "ToolTips=True\nStartingAddress=\n");
        const QString optionsFile = home.filePath(QStringLiteral("lobby-options.txt"));
        writeFile(optionsFile, "\"AutoMode\",2\r\n\"AutoDDEapp\",\"IEXPLORE\"\r\n"
                               "\"AutoDDEexe\",\"IExplore.exe\"\r\n\"AutoStart\",#TRUE#\r\n"
                               "\"ReloadMode\",3\r\n\"CarouselOperation\",1\r\n"
                               "\"CarouselMode\",1\r\n\"DisplayTips\",#FALSE#\r\n"
                               "\"DisplayWizard\",#FALSE#\r\n\"StartingAddress\",\"\"\r\n"
                               "\"StartingSlide\",0\r\n\"UseDefault\",#FALSE#\r\n"
                               "\"CarouselFileName\",\"" +
                                   showFile.toUtf8() + "\"\r\n");
        QProcessEnvironment environment = onDisplay(m_display);
        environment.insert(QStringLiteral("HOME"), m_home->path());
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"),
                           home.filePath(QStringLiteral("config")));
        environment.insert(QStringLiteral("XDG_DATA_HOME"), home.filePath(QStringLiteral("data")));
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        // A real browser window on the display only in full screen.
        environment.insert(QStringLiteral("PAGEWHEEL_BROWSER_FLAGS"),
                           fullScreen ? QString() : QStringLiteral("--headless=new"));
        environment.remove(QStringLiteral("XDG_SESSION_TYPE"));
        m_program.setProcessEnvironment(environment);
        m_program.setProcessChannelMode(QProcess::ForwardedChannels);
        m_logOffset = QFileInfo(m_logFile).size();
        const QStringList words{QStringLiteral("debug"), QStringLiteral("options"), optionsFile};
        m_program.start(QStringLiteral(PW_EXECUTABLE),
                        fullScreen ? QStringList{QStringLiteral("fullscreen")} + words : words);
        QVERIFY2(m_program.waitForStarted(10000), qPrintable(m_program.errorString()));
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY2(!ProgramLocator::resolveBrowser(QStringLiteral("IExplore.exe")).isEmpty(),
                 "no Chromium-family browser on PATH");
        QVERIFY2(!QStandardPaths::findExecutable(QStringLiteral("Xvfb")).isEmpty(), "no Xvfb");
        // A display of its own: the photograph must show only this program.
        int display = 70;
        while (QFile::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(display)) ||
               QFile::exists(QStringLiteral("/tmp/.X%1-lock").arg(display)))
            ++display;
        m_display = QStringLiteral(":%1").arg(display);
        m_xvfb.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_xvfb.start(QStringLiteral("Xvfb"),
                     {m_display, QStringLiteral("-screen"), QStringLiteral("0"),
                      QStringLiteral("%1x%2x24").arg(ScreenWidth).arg(ScreenHeight),
                      QStringLiteral("-nolisten"), QStringLiteral("tcp")});
        QVERIFY2(m_xvfb.waitForStarted(5000), "Xvfb did not start");
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(display)),
                                 10000);
        if (!QStandardPaths::findExecutable(QStringLiteral("openbox")).isEmpty()) {
            m_windowManager.setProcessEnvironment(onDisplay(m_display));
            m_windowManager.start(QStringLiteral("openbox"), {});
            QVERIFY(m_windowManager.waitForStarted(5000));
        }
        QVERIFY(m_server.listen());
        const QByteArray page =
            "<!DOCTYPE html><html><head><title>Slide %1</title><style>html,"
            "body{margin:0;height:100%;overflow:hidden;background:" +
            SlideColour.name().toLatin1() +
            ";}h1{margin:0}</style></head><body><h1>Slide %1</h1></body></html>";
        for (int k = 1; k <= 3; ++k)
            m_server.setPage(QStringLiteral("/s%1.html").arg(k),
                             QString::fromLatin1(page).arg(k).toUtf8());
        // The browser is in the program's tree while it shows the slides.
        connect(&m_server, &TestHttpServer::requestReceived, this, [this] {
            for (const qint64 pid : ProcessTree::members(m_program.processId()))
                if (!m_tree.contains(pid))
                    m_tree.append(pid);
        });
    }

    void cleanupTestCase()
    {
        // A browser left behind by a failed run goes with its program.
        ProcessTree::kill(m_program.processId());
        m_program.kill();
        m_program.waitForFinished(5000);
        for (const qint64 pid : std::as_const(m_tree))
            ProcessTree::kill(pid);
        for (QProcess* process : {&m_windowManager, &m_xvfb}) {
            process->kill();
            process->waitForFinished(5000);
        }
    }

    void showRunsOnceInFullScreenAndTheProgramEnds()
    {
        // Photographed where a window manager and a screenshot tool are at hand.
        const bool photograph = m_windowManager.state() == QProcess::Running &&
                                !QStandardPaths::findExecutable(QStringLiteral("import")).isEmpty();
        if (!photograph)
            qWarning("no window manager or no screenshot tool: a headless run, not photographed");
        constexpr int Pause = 3;
        start(Pause, photograph);
        if (photograph) {
            // The second slide is up, and the browser has had time to settle.
            QTRY_VERIFY_WITH_TIMEOUT(slides().size() >= 2, 40000);
            QTest::qWait(1500);
            // The control bar across the top, the slide edge to edge below it
            // (no window frame, no browser bars).
            const QString shot = m_home->filePath(QStringLiteral("screen.png"));
            QProcess import;
            import.setProcessEnvironment(onDisplay(m_display));
            import.start(QStringLiteral("import"),
                         {QStringLiteral("-window"), QStringLiteral("root"), shot});
            // The server answers the next slide meanwhile: wait in the event loop.
            QTRY_VERIFY_WITH_TIMEOUT(import.state() == QProcess::NotRunning, 20000);
            QCOMPARE(import.exitCode(), 0);
            const QImage screen(shot);
            QCOMPARE(screen.size(), QSize(ScreenWidth, ScreenHeight));
            const QColor bar = screen.pixelColor(ScreenWidth / 2, 5);
            QVERIFY2(!near(bar, SlideColour), qPrintable(bar.name()));
            for (int x = 4; x < ScreenWidth - 4; x += 50)
                QVERIFY2(near(screen.pixelColor(x, 5), bar), qPrintable(QString::number(x)));
            // The heading takes a few samples; the corners are the slide's.
            int slide = 0;
            int samples = 0;
            for (int y = 40; y < ScreenHeight; y += 40) {
                for (int x = 4; x < ScreenWidth; x += 40, ++samples)
                    slide += near(screen.pixelColor(x, y), SlideColour) ? 1 : 0;
            }
            QVERIFY2(slide >= samples * 9 / 10,
                     qPrintable(QStringLiteral("%1 of %2 samples").arg(slide).arg(samples)));
            QVERIFY(near(screen.pixelColor(2, ScreenHeight - 2), SlideColour) &&
                    near(screen.pixelColor(ScreenWidth - 2, ScreenHeight - 2), SlideColour));
        }
        // The server answers from this event loop: wait in it.
        QTRY_VERIFY_WITH_TIMEOUT(m_program.state() == QProcess::NotRunning, 90000);
        const qint64 ended = m_server.elapsed();
        QCOMPARE(m_program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(m_program.exitCode(), 0);
        // In order, a pause each counted from the request; then the last
        // slide's pause, seven seconds more, and the program ends.
        const QList<TestHttpServer::Request> shown = slides();
        QStringList order;
        for (const TestHttpServer::Request& request : shown)
            order.append(request.path);
        QCOMPARE(order, (QStringList{"/s1.html", "/s2.html", "/s3.html"}));
        for (int i = 1; i < 3; ++i) {
            const qint64 gap = shown[i].msecs - shown[i - 1].msecs;
            QVERIFY2(gap >= Pause * 1000 - 300 && gap <= Pause * 1000 + 1500,
                     qPrintable(QStringLiteral("gap %1 ms").arg(gap)));
        }
        const qint64 afterLast = ended - shown.last().msecs;
        QVERIFY2(afterLast >= Pause * 1000 + 6000 && afterLast <= Pause * 1000 + 12000,
                 qPrintable(QStringLiteral("ended %1 ms after the last slide").arg(afterLast)));
        // The program's folder, or the user's data folder when that is not writable:
        // one begin, the show's mode, the seven seconds' wait, then the one end.
        const QByteArray log =
            fileBytes(m_logFile).mid(m_logOffset) +
            fileBytes(m_home->filePath(QStringLiteral("data/Pagewheel/DebugFile.txt")));
        QCOMPARE(log.count("-------------------PAGEWHEEL Begins -------------------------"), 1);
        QCOMPARE(log.count(EndBanner), 1);
        const qsizetype complete = log.indexOf("Paused for 7");
        QVERIFY(log.contains("Mode: CAROUSEL ----------"));
        QVERIFY2(complete > 0 && log.indexOf(EndBanner) > complete,
                 "no seven-second wait before the end");
        // The program took its browser with it.
        QVERIFY(m_tree.size() > 1);
        QTRY_VERIFY_WITH_TIMEOUT(
            std::all_of(m_tree.cbegin(), m_tree.cend(),
                        [](qint64 pid) { return ProcessTree::members(pid).isEmpty(); }),
            10000);
    }
};

QTEST_MAIN(tst_frmMainEndToEnd)
#include "tst_frmMainEndToEnd.moc"
