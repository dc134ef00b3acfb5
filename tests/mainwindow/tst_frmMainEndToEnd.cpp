// SPDX-License-Identifier: GPL-3.0-or-later
// The program as a user runs it, on an X display of its own with a window
// manager: an options file chooses the automation browser, auto start,
// Show mode run once, and a show of three slides served on 127.0.0.1.
// The program shows them in Chromium in order with their pauses, then
// ends by itself. A second run starts in full screen from the command
// line and is photographed.
#include "platform/ProgramLocator.h"
#include "tests/support/TestHttpServer.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <memory>

namespace {

const QByteArray BeginBanner = "-------------------PAGEWHEEL Begins -------------------------";
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

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

/// The processes whose command line holds the text.
QList<qint64> processesWith(const QByteArray& text)
{
    QList<qint64> found;
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs);
    for (const QString& entry : entries) {
        bool number = false;
        const qint64 pid = entry.toLongLong(&number);
        if (!number)
            continue;
        const QByteArray commandLine = fileBytes(QStringLiteral("/proc/%1/cmdline").arg(pid));
        const QByteArray stat = fileBytes(QStringLiteral("/proc/%1/stat").arg(pid));
        const bool zombie = stat.mid(stat.lastIndexOf(')') + 2, 1) == "Z";
        if (!zombie && commandLine.contains(text))
            found.append(pid);
    }
    return found;
}

bool near(const QColor& a, const QColor& b)
{
    return qAbs(a.red() - b.red()) < 24 && qAbs(a.green() - b.green()) < 24 &&
           qAbs(a.blue() - b.blue()) < 24;
}

} // namespace

class tst_frmMainEndToEnd : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();

    void showRunsOnceAndTheProgramEnds();
    void fullScreenFromTheCommandLine();

private:
    /// A user's home: settings with options stored (no first-run box), an
    /// options file and a show of the paths, each up for pause seconds.
    QString prepareUser(const QStringList& paths, int pause);
    /// Starts the program with the words on the user's home.
    void startProgram(const QStringList& words, const QByteArray& browserFlags);
    /// The debug log written since the program started.
    QByteArray newLog() const;
    QList<TestHttpServer::Request> slideRequests() const;

    QProcess m_xvfb;
    QProcess m_windowManager;
    QString m_display;
    TestHttpServer m_server;
    std::unique_ptr<QTemporaryDir> m_home;
    QProcess m_program;
    QString m_optionsFile;
    qint64 m_logOffset = 0;
};

void tst_frmMainEndToEnd::initTestCase()
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
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("DISPLAY"), m_display);
        m_windowManager.setProcessEnvironment(environment);
        m_windowManager.start(QStringLiteral("openbox"), {});
        QVERIFY(m_windowManager.waitForStarted(5000));
    }

    QVERIFY(m_server.listen());
    const QByteArray page = "<!DOCTYPE html><html><head><title>Slide %1</title><style>html,body{"
                            "margin:0;height:100%;overflow:hidden;background:" +
                            SlideColour.name().toLatin1() +
                            ";}h1{margin:0}</style></head><body><h1>Slide %1</h1></body></html>";
    for (int k = 1; k <= 3; ++k)
        m_server.setPage(QStringLiteral("/s%1.html").arg(k),
                         QString::fromLatin1(page).arg(k).toUtf8());
}

void tst_frmMainEndToEnd::cleanupTestCase()
{
    for (QProcess* process : {&m_windowManager, &m_xvfb}) {
        if (process->state() != QProcess::NotRunning) {
            process->terminate();
            process->waitForFinished(5000);
        }
    }
}

void tst_frmMainEndToEnd::init()
{
    m_home = std::make_unique<QTemporaryDir>();
    QVERIFY(m_home->isValid());
}

void tst_frmMainEndToEnd::cleanup()
{
    if (m_program.state() != QProcess::NotRunning) {
        m_program.kill();
        m_program.waitForFinished(5000);
    }
    // A browser left behind by a failed run, found by its profile folder.
    const QList<qint64> left = processesWith(m_home->path().toUtf8());
    for (qint64 pid : left)
        ::kill(pid_t(pid), SIGKILL);
    m_home.reset();
}

QString tst_frmMainEndToEnd::prepareUser(const QStringList& paths, int pause)
{
    const QDir home(m_home->path());
    home.mkpath(QStringLiteral("config/Pagewheel"));
    home.mkpath(QStringLiteral("data"));

    QByteArray show;
    for (const QString& path : paths)
        show += "\"" + m_server.url(path).toString().toUtf8() + "\",\"\"," +
                QByteArray::number(pause) + ",#FALSE#\r\n";
    const QString showFile = home.filePath(QStringLiteral("Lobby.txt"));
    writeFile(showFile, show);

    // What the registry holds already: no first-run box waits for OK.
    writeFile(home.filePath(QStringLiteral("config/Pagewheel/Pagewheel.ini")),
              "[Options]\nAutoMode=2\nDisplayTips=False\nDisplayWizard=False\nAutoStart=False\n"
              "ToolTips=True\nStartingAddress=\n");

    m_optionsFile = home.filePath(QStringLiteral("lobby-options.txt"));
    writeFile(m_optionsFile, "\"AutoMode\",2\r\n"
                             "\"AutoDDEapp\",\"IEXPLORE\"\r\n"
                             "\"AutoDDEexe\",\"IExplore.exe\"\r\n"
                             "\"AutoStart\",#TRUE#\r\n"
                             "\"ReloadMode\",3\r\n"
                             "\"CarouselOperation\",1\r\n"
                             "\"CarouselMode\",1\r\n"
                             "\"DisplayTips\",#FALSE#\r\n"
                             "\"DisplayWizard\",#FALSE#\r\n"
                             "\"StartingAddress\",\"\"\r\n"
                             "\"StartingSlide\",0\r\n"
                             "\"UseDefault\",#FALSE#\r\n"
                             "\"CarouselFileName\",\"" +
                                 showFile.toUtf8() + "\"\r\n");
    return showFile;
}

void tst_frmMainEndToEnd::startProgram(const QStringList& words, const QByteArray& browserFlags)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("HOME"), m_home->path());
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"),
                       m_home->filePath(QStringLiteral("config")));
    environment.insert(QStringLiteral("XDG_DATA_HOME"), m_home->filePath(QStringLiteral("data")));
    environment.insert(QStringLiteral("DISPLAY"), m_display);
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    environment.insert(QStringLiteral("PAGEWHEEL_BROWSER_FLAGS"), QString::fromUtf8(browserFlags));
    environment.remove(QStringLiteral("XDG_SESSION_TYPE"));
    m_program.setProcessEnvironment(environment);
    m_program.setProcessChannelMode(QProcess::ForwardedChannels);

    m_logOffset = QFileInfo(QStringLiteral(PW_APP_FOLDER "/DebugFile.txt")).size();
    m_program.start(QStringLiteral(PW_EXECUTABLE), words);
    QVERIFY2(m_program.waitForStarted(10000), qPrintable(m_program.errorString()));
}

QByteArray tst_frmMainEndToEnd::newLog() const
{
    // The program's folder, or the user's data folder when that is not
    // writable.
    const QByteArray inProgramFolder =
        fileBytes(QStringLiteral(PW_APP_FOLDER "/DebugFile.txt")).mid(m_logOffset);
    return inProgramFolder +
           fileBytes(m_home->filePath(QStringLiteral("data/Pagewheel/DebugFile.txt")));
}

QList<TestHttpServer::Request> tst_frmMainEndToEnd::slideRequests() const
{
    QList<TestHttpServer::Request> slides;
    const QList<TestHttpServer::Request> all = m_server.requests();
    for (const TestHttpServer::Request& request : all) {
        if (request.path.startsWith(QLatin1String("/s")))
            slides.append(request);
    }
    return slides;
}

void tst_frmMainEndToEnd::showRunsOnceAndTheProgramEnds()
{
    prepareUser(
        {QStringLiteral("/s1.html"), QStringLiteral("/s2.html"), QStringLiteral("/s3.html")}, 1);
    const qsizetype before = m_server.requests().size();
    // The server's requests and the program's end on one clock.
    QElapsedTimer clock;
    clock.start();
    QList<qint64> slideTimes;
    const QMetaObject::Connection seen =
        connect(&m_server, &TestHttpServer::requestReceived, this, [&](const QString& path) {
            if (path.startsWith(QLatin1String("/s")))
                slideTimes.append(clock.elapsed());
        });
    startProgram({QStringLiteral("debug"), QStringLiteral("options"), m_optionsFile},
                 "--headless=new");
    // The server answers from this event loop: wait in it.
    QTRY_VERIFY_WITH_TIMEOUT(m_program.state() == QProcess::NotRunning, 90000);
    const qint64 ended = clock.elapsed();
    disconnect(seen);
    QCOMPARE(m_program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(m_program.exitCode(), 0);

    const QList<TestHttpServer::Request> slides = slideRequests().mid(before);
    QStringList order;
    for (const TestHttpServer::Request& request : slides)
        order.append(request.path);
    QCOMPARE(order, (QStringList{"/s1.html", "/s2.html", "/s3.html"}));
    // One second each, counted from the request.
    for (int i = 1; i < 3; ++i) {
        const qint64 gap = slides[i].msecs - slides[i - 1].msecs;
        QVERIFY2(gap >= 700 && gap <= 2500, qPrintable(QStringLiteral("gap %1 ms").arg(gap)));
    }

    const QByteArray log = newLog();
    QCOMPARE(log.count(BeginBanner), 1);
    QCOMPARE(log.count(EndBanner), 1);
    QVERIFY(log.contains("Mode: CAROUSEL ----------"));
    // The last slide's second, then seven seconds, then the end.
    const qsizetype complete = log.indexOf("Paused for 7");
    QVERIFY2(complete > 0, "no seven-second wait before the end");
    QVERIFY(log.indexOf(EndBanner) > complete);
    // The last slide's pause of one second, seven seconds more, then the
    // program closes its browser and ends.
    QCOMPARE(slideTimes.size(), 3);
    const qint64 afterLast = ended - slideTimes.last();
    QVERIFY2(afterLast >= 7000 && afterLast <= 13000,
             qPrintable(QStringLiteral("ended %1 ms after the last slide").arg(afterLast)));

    // The program took its browser with it.
    QTRY_VERIFY_WITH_TIMEOUT(processesWith(m_home->path().toUtf8()).isEmpty(), 10000);
}

void tst_frmMainEndToEnd::fullScreenFromTheCommandLine()
{
    if (m_windowManager.state() != QProcess::Running)
        QSKIP("full screen needs a window manager (openbox)");
    if (QStandardPaths::findExecutable(QStringLiteral("import")).isEmpty())
        QSKIP("no screenshot tool (imagemagick's import)");
    prepareUser(
        {QStringLiteral("/s1.html"), QStringLiteral("/s2.html"), QStringLiteral("/s3.html")}, 3);
    const qsizetype before = m_server.requests().size();
    // A real browser window on the display, no headless one.
    startProgram({QStringLiteral("fullscreen"), QStringLiteral("options"), m_optionsFile}, "");

    // The second slide is up, and the browser has had time to settle.
    QTRY_VERIFY_WITH_TIMEOUT(slideRequests().size() >= before + 2, 40000);
    QTest::qWait(1500);
    const QString shot = m_home->filePath(QStringLiteral("screen.png"));
    QProcess import;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DISPLAY"), m_display);
    import.setProcessEnvironment(environment);
    import.start(QStringLiteral("import"),
                 {QStringLiteral("-window"), QStringLiteral("root"), shot});
    QVERIFY(import.waitForFinished(20000));
    QCOMPARE(import.exitCode(), 0);

    const QImage screen(shot);
    QVERIFY(!screen.isNull());
    QCOMPARE(screen.size(), QSize(ScreenWidth, ScreenHeight));
    // The control bar: the top rows, one colour across the screen, not the
    // slide's.
    const QColor bar = screen.pixelColor(ScreenWidth / 2, 5);
    QVERIFY2(!near(bar, SlideColour), qPrintable(bar.name()));
    for (int x = 4; x < ScreenWidth - 4; x += 50)
        QVERIFY2(
            near(screen.pixelColor(x, 5), bar),
            qPrintable(QStringLiteral("bar at %1: %2").arg(x).arg(screen.pixelColor(x, 5).name())));
    // The browser covers the rest of the screen with the slide, edge to
    // edge: no window frame, no browser bars.
    int slide = 0;
    int samples = 0;
    for (int y = 40; y < ScreenHeight; y += 40) {
        for (int x = 4; x < ScreenWidth; x += 40) {
            ++samples;
            if (near(screen.pixelColor(x, y), SlideColour))
                ++slide;
        }
    }
    // The slide's heading takes a few samples.
    QVERIFY2(slide >= samples * 9 / 10,
             qPrintable(QStringLiteral("%1 of %2 samples show the slide").arg(slide).arg(samples)));
    QVERIFY(near(screen.pixelColor(2, ScreenHeight - 2), SlideColour));
    QVERIFY(near(screen.pixelColor(ScreenWidth - 2, ScreenHeight - 2), SlideColour));

    // The run ends by itself as before.
    QTRY_VERIFY_WITH_TIMEOUT(m_program.state() == QProcess::NotRunning, 60000);
    QCOMPARE(m_program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(m_program.exitCode(), 0);
}

QTEST_MAIN(tst_frmMainEndToEnd)
#include "tst_frmMainEndToEnd.moc"
