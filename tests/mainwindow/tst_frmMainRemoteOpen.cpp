// SPDX-License-Identifier: GPL-3.0-or-later
// The remote-open browser, a stand-in: the main window's slides go into
// the program's own browser window, a browser gone is asked about once;
// the program asked to end from outside (logout, Ctrl+C, a service
// manager) ends as Exit does, its browser with it.
#include "BrowserTestKit.h"
#include "MainWindowRig.h"
#include "platform/Shell.h"

#include <QEventLoop>
#include <QProcess>
#include <QTimer>

#include <algorithm>
#include <csignal>

namespace {

/// A file of the user's own, which may be run.
QString writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
    file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return path;
}

void sendWithEnter(QComboBox* box, const QString& address)
{
    box->setEditText(address);
    QTest::keyClick(box->lineEdit(), Qt::Key_Return);
}

} // namespace

class tst_frmMainRemoteOpen : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void laterSlidesReuseTheProgramsWindow()
    {
        MainWindowRig rig;
        // Under the name of a browser that takes --new-window, and that no other
        // program on the machine is likely to run.
        FakeBrowser browser(rig.files.filePath(QStringLiteral("browser")),
                            QStringLiteral("vivaldi"));
        EnvironmentGuard environment;
        environment.set("PAGEWHEEL_BROWSER_FLAGS", browser.profileFlag());
        COptions options = rig.options();
        options.AutoMode = 6;
        options.AutoDDEexe = browser.program();
        options.AutoDDEapp = QStringLiteral("vivaldi");
        const QPointer<frmMain> window = rig.open(options, true, true);
        QTRY_VERIFY_WITH_TIMEOUT(browser.instancePid() > 0, 10000);
        auto* box = control<QComboBox>(window, "cboAddress");
        for (int k = 1; k <= 3; ++k)
            sendWithEnter(box, QStringLiteral("http://127.0.0.1:9/%1.html").arg(k));
        QTRY_COMPARE_WITH_TIMEOUT(browser.addresses().size(), 3, 5000);
        const QList<QStringList> invocations = browser.invocations();
        const auto newWindows =
            std::count_if(invocations.cbegin(), invocations.cend(), [](const QStringList& words) {
                return words.contains(QStringLiteral("--new-window"));
            });
        QCOMPARE(newWindows, 1);
        QVERIFY(invocations.at(1).contains(QStringLiteral("--new-window")));
        window->close();
    }

    void browserGoneAsksOnceAndHoldsTheShow()
    {
        MainWindowRig rig;
        FakeBrowser lasting(rig.files.filePath(QStringLiteral("lasting")));
        EnvironmentGuard environment;
        environment.set("PAGEWHEEL_BROWSER_FLAGS", lasting.profileFlag());
        const QString gone =
            writeFile(rig.files.filePath(QStringLiteral("gone")), "#!/bin/sh\nexit 0\n");
        COptions options = rig.options();
        options.AutoMode = 6;
        options.AutoDDEapp = QStringLiteral("gone");
        options.AutoDDEexe = gone;
        options.StartingAddress = QStringLiteral("http://127.0.0.1:9/start.html");
        // Each slide for its own pause of a second.
        options.UseDefault = false;
        const QPointer<frmMain> window = rig.open(options, false, true);
        // A browser ran and was lost before the window loads with one that
        // will not start; the user goes on without it.
        BrowserConnection& connection = window->browserConnection();
        connection.UseDDE = true;
        QVERIFY(connection.load_Browser(connection.UseOLE, connection.UseDDE, options.AutoDDEapp,
                                        lasting.program()));
        Shell::EndStartedProcesses(lasting.program());
        rig.prompts.answer(Prompts::vbYes);
        window->Form_Load();
        // Start-up takes no answer from the browser: only the loading problem.
        QCOMPARE(rig.boxes().size(), 1);
        QCOMPARE(rig.prompts.shown().first().title, QStringLiteral("Problem loading Browser"));
        // Each slide finds the browser gone: one question at a time, taken slowly
        // (answered No), and the show waits for its answer.
        QStringList titles;
        int open = 0, mostOpen = 0, slidesBehind = 0;
        {
            CallbackPrompts user([&](const Prompts::Request& request) {
                titles.append(request.title);
                mostOpen = std::max(mostOpen, ++open);
                const qint16 before = window->ShowState().NumSlidesShown;
                QEventLoop thinking;
                QTimer::singleShot(2500, &thinking, &QEventLoop::quit);
                thinking.exec();
                slidesBehind += window->ShowState().NumSlidesShown - before;
                --open;
                return Prompts::vbNo;
            });
            window->engine().mnuModeShow();
        }
        window->change_mode(1);
        QCOMPARE(titles.value(0), QStringLiteral("Browser Terminated"));
        QCOMPARE(mostOpen, 1);
        QCOMPARE(slidesBehind, 0);
    }

    void signalEndsTheProgramAndItsBrowser_data()
    {
        QTest::addColumn<int>("number");
        QTest::newRow("SIGTERM") << int(SIGTERM);
        QTest::newRow("SIGHUP") << int(SIGHUP);
    }

    void signalEndsTheProgramAndItsBrowser()
    {
        QFETCH(int, number);
        QTemporaryDir home;
        FakeBrowser browser(home.filePath(QStringLiteral("browser")));
        QVERIFY(QDir(home.path()).mkpath(QStringLiteral("config/Pagewheel")));
        // The browser through its remote-open line; options stored, so no
        // first-run box waits.
        writeFile(
            home.filePath(QStringLiteral("config/Pagewheel/Pagewheel.ini")),
            "[Options]\nAutoMode=6\nAutoDDEapp=fake\nAutoDDEexe=" + browser.program().toUtf8() +
                "\nDisplayTips=False\nDisplayWizard=False\nAutoStart=False\n"
                "StartingAddress=\n");
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("HOME"), home.path());
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"),
                           home.filePath(QStringLiteral("config")));
        environment.insert(QStringLiteral("XDG_DATA_HOME"), home.filePath(QStringLiteral("data")));
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        environment.insert(QStringLiteral("PAGEWHEEL_BROWSER_FLAGS"), browser.profileFlag());
        // No display: raising the browser's window is refused at once.
        environment.remove(QStringLiteral("DISPLAY"));
        QProcess program;
        program.setProcessEnvironment(environment);
        program.setProcessChannelMode(QProcess::ForwardedChannels);
        const QString logFile = QStringLiteral(PW_APP_FOLDER "/DebugFile.txt");
        const qint64 logOffset = QFileInfo(logFile).size();
        program.start(QStringLiteral(PW_EXECUTABLE), {QStringLiteral("debug")});
        QVERIFY(program.waitForStarted(10000));
        QTRY_VERIFY_WITH_TIMEOUT(browser.instancePid() > 0, 30000);
        const qint64 browserPid = browser.instancePid();
        // The window has loaded when it has gone to Normal mode.
        QTRY_VERIFY_WITH_TIMEOUT(
            [&] {
                QFile log(logFile);
                return log.open(QIODevice::ReadOnly) && log.seek(logOffset) &&
                       log.readAll().contains("display wizard");
            }(),
            30000);
        ::kill(pid_t(program.processId()), number);
        QVERIFY(program.waitForFinished(20000));
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), 0);
        QTRY_VERIFY_WITH_TIMEOUT(!processAlive(browserPid), 5000);
        QFile log(logFile);
        QVERIFY(log.open(QIODevice::ReadOnly) && log.seek(logOffset));
        QVERIFY(
            log.readAll().contains("-------------------PAGEWHEEL Ends -------------------------"));
    }
};

QTEST_MAIN(tst_frmMainRemoteOpen)
#include "tst_frmMainRemoteOpen.moc"
