// SPDX-License-Identifier: GPL-3.0-or-later
// The main window and its control bar with a real Chromium, the slides
// served on 127.0.0.1: a long run recovering from a killed, stopped or
// bloated browser, a switch of browser while the window runs and a show
// made from a folder and run, and full screen from the control bar. With
// a stand-in remote-open browser: the slides go into the program's own
// browser window, a browser gone is asked about once; the program asked
// to end from outside (logout, Ctrl+C, a service manager) ends as Exit
// does, its browser with it.
#include "BrowserTestKit.h"
#include "MainWindowRig.h"
#include "RecordingOwner.h"

#include "mainwindow/BrowserRecovery.h"
#include "mainwindow/UnattendedRun.h"
#include "platform/AutomationBrowser.h"
#include "platform/ProcessTree.h"
#include "platform/Shell.h"
#include "show/colURLs.h"
#include "tests/support/HeadlessChromium.h"
#include "tests/support/TestHttpServer.h"

#include <QEventLoop>
#include <QHeaderView>
#include <QImage>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTableView>
#include <QTimer>

#include <algorithm>
#include <csignal>

namespace {

constexpr int Pause = 2;
constexpr int ScreenWidth = 1024;
constexpr int ScreenHeight = 768;
// The slides' page colour, to find the browser on the screen.
const QColor SlideColour(0x20, 0xa0, 0x40);

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

/// The browser processes (not their helpers) started with this settings
/// folder; automation ones when asked, else the remote-open ones, which
/// live on detached from the program.
QList<qint64> browsersOf(const QByteArray& configHome, bool automation)
{
    QList<qint64> found;
    for (const qint64 pid : ProcessTree::members(1)) {
        const QByteArray commandLine =
            MainWindowRig::readFile(QStringLiteral("/proc/%1/cmdline").arg(pid));
        if (commandLine.contains("chrom") && !commandLine.contains("--type=") &&
            !commandLine.contains("crashpad") &&
            commandLine.contains("--remote-debugging-pipe") == automation &&
            MainWindowRig::readFile(QStringLiteral("/proc/%1/environ").arg(pid))
                .contains(QByteArray("XDG_CONFIG_HOME=" + configHome + '\0')))
            found.append(pid);
    }
    return found;
}

/// A file of the user's own, which may be run.
QString writeProgram(const QString& path, const QByteArray& bytes)
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

class tst_frmMainChromium : public QObject
{
    Q_OBJECT

    TestHttpServer m_server;
    std::unique_ptr<MainWindowRig> m_rig;
    QPointer<frmMain> m_window;
    qsizetype m_seen = 0;
    qint64 m_firstStartMs = 0; // the window's load with its first browser
    QProcess m_program;        // the program itself
    QList<qint64> m_tree;      // and every process it started
    qint64 m_logOffset = 0;

    AutomationBrowser* browser() const { return m_window->browserConnection().instance(); }
    QUrl slide(int k) const { return m_server.url(QStringLiteral("/s%1.html").arg(k)); }

    /// The show of the three slides, seconds a slide.
    QString writeSlideShow(int seconds) const
    {
        QByteArray show;
        for (int k = 1; k <= 3; ++k)
            show += "\"" + slide(k).toEncoded() + "\",\"\"," + QByteArray::number(seconds) +
                    ",#FALSE#\r\n";
        return m_rig->writeFile(QStringLiteral("Lobby.txt"), show);
    }

    /// A window on the real browser running the show by auto start.
    void openShow()
    {
        QVERIFY2(useHeadlessChromium(), "no Chromium-family browser on PATH");
        COptions options = m_rig->options();
        options.CarouselFileName = writeSlideShow(Pause);
        options.AutoMode = 2; // the automation browser
        options.AutoStart = true;
        options.ReloadMode = ShowEngine::ModeShow;
        options.CarouselMode = 1;      // sequential
        options.CarouselOperation = 2; // continuous
        options.UseDefault = false;    // each slide its own pause
        m_window = new frmMain(options);
        m_window->browserConnection().setProfileFolder(
            m_rig->files.filePath(QStringLiteral("profile")));
        QElapsedTimer loading;
        loading.start();
        m_window->Form_Load();
        m_firstStartMs = loading.elapsed();
        // Only this window's requests count, not a late one of the test before.
        m_seen = m_server.requests().size();
        QVERIFY(m_window->unattendedRun().isUnattended() && browser());
    }

    /// The slide paths asked for since the mark.
    QStringList slidesSince(qsizetype mark) const
    {
        QStringList paths;
        const QList<TestHttpServer::Request> all = m_server.requests();
        for (qsizetype i = mark; i < all.size(); ++i) {
            if (all[i].path.startsWith(QLatin1String("/s")))
                paths << all[i].path;
        }
        return paths;
    }

    /// Waits for the next slide request and gives its path.
    QString nextSlide(int timeoutMs = 15000)
    {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < timeoutMs) {
            const QList<TestHttpServer::Request> all = m_server.requests();
            while (m_seen < all.size()) {
                if (const QString path = all[m_seen++].path; path.startsWith(QLatin1String("/s")))
                    return path;
            }
            QTest::qWait(20);
        }
        return {};
    }

    /// Starts the program itself on a home of the user's own in files, with
    /// these options stored already (so no first-run box waits).
    void startProgram(const QByteArray& stored, const QStringList& words,
                      QProcessEnvironment environment)
    {
        const QDir home(m_rig->files.path());
        home.mkpath(QStringLiteral("config/Pagewheel"));
        home.mkpath(QStringLiteral("data"));
        writeProgram(home.filePath(QStringLiteral("config/Pagewheel/Pagewheel.ini")),
                     "[Options]\n" + stored +
                         "DisplayTips=False\nDisplayWizard=False\nAutoStart=False\n"
                         "StartingAddress=\n");
        environment.insert(QStringLiteral("HOME"), home.path());
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"),
                           home.filePath(QStringLiteral("config")));
        environment.insert(QStringLiteral("XDG_DATA_HOME"), home.filePath(QStringLiteral("data")));
        environment.remove(QStringLiteral("XDG_SESSION_TYPE"));
        m_program.setProcessEnvironment(environment);
        m_program.setProcessChannelMode(QProcess::ForwardedChannels);
        m_logOffset = QFileInfo(QStringLiteral(PW_APP_FOLDER "/DebugFile.txt")).size();
        m_program.start(QStringLiteral(PW_EXECUTABLE), words);
        QVERIFY2(m_program.waitForStarted(10000), qPrintable(m_program.errorString()));
    }

    /// What the program logged: in its folder, or the user's data folder when
    /// that is not writable.
    QByteArray programLog() const
    {
        return MainWindowRig::readFile(QStringLiteral(PW_APP_FOLDER "/DebugFile.txt"))
                   .mid(m_logOffset) +
               MainWindowRig::readFile(
                   m_rig->files.filePath(QStringLiteral("data/Pagewheel/DebugFile.txt")));
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_server.listen());
        const QByteArray page =
            "<!DOCTYPE html><html><head><title>Slide %1</title><style>html,"
            "body{margin:0;height:100%;overflow:hidden;background:" +
            SlideColour.name().toLatin1() +
            ";}h1{margin:0}</style></head><body><h1>Slide %1</h1></body></html>";
        for (int k = 1; k <= 3; ++k)
            m_server.setPage(QStringLiteral("/s%1.html").arg(k),
                             QString::fromLatin1(page).arg(k).toUtf8());
    }

    void init()
    {
        m_rig = std::make_unique<MainWindowRig>();
        m_seen = m_server.requests().size();
    }

    void cleanup()
    {
        // What the window logged explains a failure.
        if (QTest::currentTestFailed())
            qWarning("%s", qPrintable(m_rig->log->messages().join(QLatin1Char('\n'))));
        if (m_window) {
            const qint64 pid = browser() ? browser()->processId() : 0;
            // Hidden first: the focus leaves its controls while they still work.
            m_window->hide();
            delete m_window.data();
            if (pid)
                ProcessTree::kill(pid);
        }
        // A browser left behind by a failed run goes with its program.
        ProcessTree::kill(m_program.processId());
        m_program.kill();
        m_program.waitForFinished(5000);
        for (const qint64 pid : std::as_const(m_tree))
            ProcessTree::kill(pid);
        m_tree.clear();
        m_rig.reset();
    }

    void longRunRecoversFromKilledStoppedAndBloatedBrowsers()
    {
        MainWindowRig::saveSetting(QStringLiteral("Settings"),
                                   QStringLiteral("BrowserMemoryLimitMB"), QStringLiteral("1"));
        openShow();
        QCOMPARE(m_window->browserRecovery().memoryLimitMB(), 1);
        m_window->browserRecovery().setMemoryLimitMB(BrowserRecovery::DefaultMemoryLimitMB);
        QCOMPARE(nextSlide(), QStringLiteral("/s1.html"));
        QCOMPARE(nextSlide(), QStringLiteral("/s2.html"));
        // Killed in an unattended run: a new browser shows the run's slide at
        // once (within 3 s, or twice the first start on a loaded machine).
        qint64 pid = browser()->processId();
        QElapsedTimer since;
        since.start();
        ProcessTree::kill(pid);
        QCOMPARE(nextSlide(10000), QStringLiteral("/s2.html"));
        QVERIFY2(since.elapsed() < std::max<qint64>(3000, 2 * m_firstStartMs),
                 qPrintable(QStringLiteral("%1 ms, first start %2 ms")
                                .arg(since.elapsed())
                                .arg(m_firstStartMs)));
        QVERIFY(browser()->processId() != pid);
        QCOMPARE(nextSlide(), QStringLiteral("/s3.html"));
        QVERIFY(m_rig->log->messages().contains(QStringLiteral("Browser has gone at slide 2")));
        // Stopped: ten seconds of silence, then a new browser at the held slide.
        pid = browser()->processId();
        ::kill(pid_t(pid), SIGSTOP);
        since.start();
        const QString next = nextSlide(30000);
        const QStringList ended =
            m_rig->log->messages().filter(QStringLiteral("stopped answering"));
        QCOMPARE(ended.size(), 1);
        QCOMPARE(next,
                 QStringLiteral("/s%1.html").arg(ended.first().section(QLatin1Char(' '), -1)));
        QVERIFY(since.elapsed() >= 9000 && ProcessTree::members(pid).isEmpty());
        QVERIFY(browser()->processId() != pid);
        // A person uses the window: killed now, the run is asked about at once
        // and held however long the question is open; after Yes it goes on.
        QTest::mouseClick(m_window->statusBar(), Qt::LeftButton);
        QVERIFY(!m_window->unattendedRun().isUnattended());
        QCOMPARE(Prompts::selfClosingSeconds(), 0);
        {
            qint64 askedAfter = -1;
            QStringList whileOpen;
            bool heldWhileOpen = false;
            CallbackPrompts prompts([&](const Prompts::Request& request) {
                askedAfter = since.elapsed();
                const qsizetype mark = m_server.requests().size();
                heldWhileOpen = m_window->engine().showHeld();
                QTest::qWait((Pause + 1) * 1000);
                whileOpen = slidesSince(mark);
                return request.title == QLatin1String("Restart Browser?") ? Prompts::vbYes
                                                                          : Prompts::vbOK;
            });
            since.start();
            const qint16 at = m_window->engine().currentSlide();
            ProcessTree::kill(browser()->processId());
            const QString held = QStringLiteral("/s%1.html").arg(at);
            QString resumed = nextSlide();
            if (resumed != held) // asked for just before the kill
                resumed = nextSlide();
            QCOMPARE(resumed, held);
            QVERIFY2(askedAfter >= 0 && askedAfter < 1000, qPrintable(QString::number(askedAfter)));
            QVERIFY(heldWhileOpen && whileOpen.isEmpty());
            QCOMPARE(nextSlide(), QStringLiteral("/s%1.html").arg(at % 3 + 1));
        }
        // Over the memory limit: the next slide comes from a new browser, in its turn.
        m_window->browserRecovery().setMemoryLimitMB(1);
        m_window->browserRecovery().setSampleIntervalMs(200);
        pid = browser()->processId();
        const int from = nextSlide().mid(2, 1).toInt();
        QCOMPARE(nextSlide(), QStringLiteral("/s%1.html").arg(from % 3 + 1));
        QVERIFY(browser()->processId() != pid);
        QTRY_VERIFY_WITH_TIMEOUT(ProcessTree::members(pid).isEmpty(), 5000);
        QVERIFY(m_rig->log->messages().contains(QStringLiteral("Browser replaced")));
    }

    void remoteOpenToAutomationThenAFolderShowEditedSavedAndRun()
    {
        // Options > Browser: the remote-open browser closes, the next slide goes
        // through the automation one.
        QVERIFY2(!qEnvironmentVariableIsEmpty("DISPLAY"), "remote-open needs a display");
        QVERIFY2(useHeadlessChromium(), "no Chromium-family browser on PATH");
        const QByteArray configHome = m_rig->config.path().toUtf8();
        EnvironmentGuard environment;
        environment.set("PAGEWHEEL_BROWSER_FLAGS", QString());
        environment.set("XDG_DATA_HOME", m_rig->files.filePath(QStringLiteral("data")));
        // A show run once in order, one second a slide.
        COptions options = m_rig->options();
        options.AutoMode = 0;
        options.CarouselFileName.clear();
        options.ReloadInterval = 1;
        options.CarouselOperation = 1;
        options.CarouselMode = 1;
        m_window = m_rig->open(options, true, true);
        BrowserConnection& connection = m_window->browserConnection();
        QVERIFY(connection.UseDDE);
        auto* box = control<QComboBox>(m_window, "cboAddress");
        sendWithEnter(box, slide(1).toString());
        QTRY_COMPARE_WITH_TIMEOUT(m_server.requestCount(QStringLiteral("/s1.html")), 1, 30000);
        QVERIFY(!browsersOf(configHome, false).isEmpty());
        m_rig->prompts.answer(1);
        QTimer::singleShot(0, [] {
            QWidget* dialog = QApplication::activeModalWidget();
            QVERIFY(dialog && dialog->objectName() == QStringLiteral("frmBrowserType"));
            control<QRadioButton>(dialog, "optBrowser2")->click();
            press(dialog, "cmdOK");
        });
        trigger(m_window, "mnuOptionsBrowser");
        QCOMPARE(m_rig->boxes(), QStringList{QStringLiteral("Reseting to new browser.")});
        QVERIFY(connection.UseOLE && !connection.UseDDE);
        QCOMPARE(m_window->Options().AutoMode, qint16(2));
        QVERIFY(m_window->Options().Changed && browser());
        QTRY_VERIFY_WITH_TIMEOUT(browsersOf(configHome, false).isEmpty(), 10000);
        sendWithEnter(box, slide(2).toString());
        QTRY_COMPARE_WITH_TIMEOUT(browser()->LocationURL(), slide(2).toString(), 30000);
        QCOMPARE(m_server.requestCount(QStringLiteral("/s2.html")), 1);
        QVERIFY(!browsersOf(configHome, true).isEmpty());
        // File > New > Make Show from Directory, every file of a folder.
        const QString pages = m_rig->files.filePath(QStringLiteral("pages"));
        QVERIFY(QDir().mkpath(pages));
        for (const char* name : {"alpha", "beta", "gamma"})
            m_rig->writeFile(QStringLiteral("pages/%1.htm").arg(QLatin1String(name)),
                             "<html><head><title>" + QByteArray(name) + "</title></head></html>");
        QStringList shown;
        connect(browser(), &AutomationBrowser::NavigateComplete2, this,
                [&shown](const QString& url) {
                    if (url.endsWith(QLatin1String(".htm")))
                        shown.append(QUrl(url).fileName());
                });
        whenModal<frmDirList>([pages](frmDirList* dialog) {
            control<QRadioButton>(dialog, "optAllFiles0")->click();
            control<QLineEdit>(dialog, "txtDir")->setText(pages);
            press(dialog, "cmdOK");
        });
        trigger(m_window, "mnuFileNewMakeShowFromDirectory");
        QVERIFY(m_window->Show().Changed);
        QCOMPARE(control<QLabel>(m_window, "lblColMax")->text(), QStringLiteral("3"));
        // File > Edit: sorted by "Slide" (descending), "beta" deleted, saved, OK.
        const QString saved = m_rig->files.filePath(QStringLiteral("Tour.txt"));
        m_rig->dialogs.chooseFile(saved);
        whenModal<frmListEdit>([](frmListEdit* editor) {
            Q_EMIT editor->list()->horizontalHeader()->sectionClicked(ListEditModel::Slide);
            editor->list()->setCurrentIndex(editor->model().index(1, 0));
            trigger(editor, "tbToolBarDelete");
            trigger(editor, "tbToolBarSave");
            press(editor, "cmdOK");
        });
        trigger(m_window, "mnuFileEdit");
        colURLs back;
        QVERIFY(back.Read_in_file(saved));
        QCOMPARE((QStringList{back.Item(1)->HREF, back.Item(2)->HREF}),
                 (QStringList{pages + "/gamma.htm", pages + "/alpha.htm"}));
        QCOMPARE(back.Count(), 2);
        QCOMPARE(m_window->Show().TrayFilename, saved);
        // "Show": the browser shows the saved order once, then the show ends.
        press(m_window, "cmdCollect");
        QTRY_COMPARE_WITH_TIMEOUT(statusOf(m_window), QStringLiteral("Show complete."), 30000);
        QCOMPARE(shown, (QStringList{"gamma.htm", "alpha.htm"}));
        m_window->close();
        QTRY_VERIFY_WITH_TIMEOUT(browsersOf(configHome, true).isEmpty(), 10000);
    }

    void standaloneBrowserFullScreenFromTheBarAndStoppedNavigations()
    {
        QVERIFY2(useHeadlessChromium(), "no Chromium-family browser on PATH");
        auto chromium = std::make_unique<AutomationBrowser>();
        chromium->setProfileFolder(m_rig->files.filePath(QStringLiteral("profile")));
        VbError error;
        QVERIFY2(chromium->start(&error), qPrintable(error.description));
        RecordingOwner owner;
        COptions options;
        QSignalSpy reports(chromium.get(), &AutomationBrowser::OnFullScreen);
        // Whether the browser has reported the window state, waiting for it.
        const auto reported = [&reports](bool fullScreen) {
            const auto seen = [&] { return reports.contains(QVariantList{fullScreen}); };
            return seen() || (reports.wait(5000) && seen()) || (reports.wait(5000) && seen());
        };
        QPointer<frmControlBar> bar =
            new frmControlBar(chromium.get(), &owner, &options, &owner.state);
        bar->show();
        QVERIFY(reported(true) && chromium->FullScreen());
        // Controls... brings the owner back and leaves the browser alone.
        reports.clear();
        trigger(bar, "mnuViewControls");
        QCOMPARE(owner.calls, (QStringList{"minimizeWindow", "restoreWindow"}));
        QTest::qWait(300);
        QVERIFY(reports.isEmpty() && chromium->FullScreen());
        trigger(bar, "mnuViewNormalSize");
        QVERIFY(reported(false) && !chromium->FullScreen());
        QCOMPARE(owner.calls.last(), QStringLiteral("controlBarClosed"));
        QTRY_VERIFY(bar.isNull());
        // A stopped browser gets only the latest navigation once it goes on:
        // the one between is never sent; the first may be overtaken by the latest.
        const qint64 pid = chromium->processId();
        ::kill(pid_t(pid), SIGSTOP);
        m_seen = m_server.requests().size();
        for (int k = 1; k <= 3; ++k)
            QVERIFY(chromium->Navigate(slide(k).toString()));
        QTest::qWait(1000);
        ::kill(pid_t(pid), SIGCONT);
        QTRY_COMPARE_WITH_TIMEOUT(slidesSince(m_seen).value(slidesSince(m_seen).size() - 1),
                                  QStringLiteral("/s3.html"), 10000);
        QTest::qWait(1000);
        const QStringList asked = slidesSince(m_seen);
        QVERIFY2(asked == QStringList{"/s3.html"} || asked == (QStringList{"/s1.html", "/s3.html"}),
                 qPrintable(asked.join(QLatin1Char(' '))));
        // The profile goes once the browser has.
        chromium.reset();
        QTRY_VERIFY_WITH_TIMEOUT(ProcessTree::members(pid).isEmpty(), 10000);
    }

    void laterSlidesReuseTheProgramsWindow()
    {
        // Under the name of a browser that takes --new-window, and that no other
        // program on the machine is likely to run.
        FakeBrowser browser(m_rig->files.filePath(QStringLiteral("browser")),
                            QStringLiteral("vivaldi"));
        EnvironmentGuard environment;
        environment.set("PAGEWHEEL_BROWSER_FLAGS", browser.profileFlag());
        COptions options = m_rig->options();
        options.AutoMode = 6;
        options.AutoDDEexe = browser.program();
        options.AutoDDEapp = QStringLiteral("vivaldi");
        m_window = m_rig->open(options, true, true);
        QTRY_VERIFY_WITH_TIMEOUT(browser.instancePid() > 0, 10000);
        auto* box = control<QComboBox>(m_window, "cboAddress");
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
        m_window->close();
    }

    void browserGoneAsksOnceAndHoldsTheShow()
    {
        FakeBrowser lasting(m_rig->files.filePath(QStringLiteral("lasting")));
        EnvironmentGuard environment;
        environment.set("PAGEWHEEL_BROWSER_FLAGS", lasting.profileFlag());
        const QString gone =
            writeProgram(m_rig->files.filePath(QStringLiteral("gone")), "#!/bin/sh\nexit 0\n");
        COptions options = m_rig->options();
        options.AutoMode = 6;
        options.AutoDDEapp = QStringLiteral("gone");
        options.AutoDDEexe = gone;
        options.StartingAddress = QStringLiteral("http://127.0.0.1:9/start.html");
        // Each slide for its own pause of a second.
        options.UseDefault = false;
        m_window = m_rig->open(options, false, true);
        // A browser ran and was lost before the window loads with one that
        // will not start; the user goes on without it.
        BrowserConnection& connection = m_window->browserConnection();
        connection.UseDDE = true;
        QVERIFY(connection.load_Browser(connection.UseOLE, connection.UseDDE, options.AutoDDEapp,
                                        lasting.program()));
        Shell::EndStartedProcesses(lasting.program());
        m_rig->prompts.answer(Prompts::vbYes);
        m_window->Form_Load();
        // Start-up takes no answer from the browser: only the loading problem.
        QCOMPARE(m_rig->boxes().size(), 1);
        QCOMPARE(m_rig->prompts.shown().first().title, QStringLiteral("Problem loading Browser"));
        // Each slide finds the browser gone: one question at a time, taken slowly
        // (answered No), and the show waits for its answer.
        QStringList titles;
        int open = 0, mostOpen = 0, slidesBehind = 0;
        {
            CallbackPrompts user([&](const Prompts::Request& request) {
                titles.append(request.title);
                mostOpen = std::max(mostOpen, ++open);
                const qint16 before = m_window->ShowState().NumSlidesShown;
                QEventLoop thinking;
                QTimer::singleShot(2500, &thinking, &QEventLoop::quit);
                thinking.exec();
                slidesBehind += m_window->ShowState().NumSlidesShown - before;
                --open;
                return Prompts::vbNo;
            });
            m_window->engine().mnuModeShow();
        }
        m_window->change_mode(1);
        QCOMPARE(titles.value(0), QStringLiteral("Browser Terminated"));
        QCOMPARE(mostOpen, 1);
        QCOMPARE(slidesBehind, 0);
    }

    void programRunsTheShowOnceInFullScreenAndEnds()
    {
        // The program as a user runs it, on an X display of its own (the
        // photograph must show only this program) with a window manager: an
        // options file chooses the automation browser, auto start and a show
        // run once in full screen, timed and photographed.
        QVERIFY2(useHeadlessChromium(), "no Chromium-family browser on PATH");
        QVERIFY2(!QStandardPaths::findExecutable(QStringLiteral("Xvfb")).isEmpty(), "no Xvfb");
        int number = 70;
        while (QFile::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(number)) ||
               QFile::exists(QStringLiteral("/tmp/.X%1-lock").arg(number)))
            ++number;
        const QString display = QStringLiteral(":%1").arg(number);
        QProcess xvfb; // ended with the test
        QProcess windowManager;
        xvfb.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        xvfb.start(QStringLiteral("Xvfb"),
                   {display, QStringLiteral("-screen"), QStringLiteral("0"),
                    QStringLiteral("%1x%2x24").arg(ScreenWidth).arg(ScreenHeight),
                    QStringLiteral("-nolisten"), QStringLiteral("tcp")});
        QVERIFY2(xvfb.waitForStarted(5000), "Xvfb did not start");
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(number)),
                                 10000);
        if (!QStandardPaths::findExecutable(QStringLiteral("openbox")).isEmpty()) {
            windowManager.setProcessEnvironment(onDisplay(display));
            windowManager.start(QStringLiteral("openbox"), {});
            QVERIFY(windowManager.waitForStarted(5000));
        }
        // Photographed where a window manager and a screenshot tool are at hand.
        const bool photograph = windowManager.state() == QProcess::Running &&
                                !QStandardPaths::findExecutable(QStringLiteral("import")).isEmpty();
        if (!photograph)
            qWarning("no window manager or no screenshot tool: a headless run, not photographed");
        // The browser is in the program's tree while it shows the slides.
        QObject watching;
        connect(&m_server, &TestHttpServer::requestReceived, &watching, [this] {
            for (const qint64 pid : ProcessTree::members(m_program.processId()))
                if (!m_tree.contains(pid))
                    m_tree.append(pid);
        });
        const auto slides = [this] {
            QList<TestHttpServer::Request> found = m_server.requests().mid(m_seen);
            found.removeIf([](const TestHttpServer::Request& request) {
                return !request.path.startsWith(QLatin1String("/s"));
            });
            return found;
        };
        constexpr int Seconds = 3;
        const QString showFile = writeSlideShow(Seconds);
        const QString optionsFile = m_rig->writeFile(
            QStringLiteral("lobby-options.txt"),
            "\"AutoMode\",2\r\n\"AutoDDEapp\",\"IEXPLORE\"\r\n\"AutoDDEexe\",\"IExplore.exe\"\r\n"
            "\"AutoStart\",#TRUE#\r\n\"ReloadMode\",3\r\n\"CarouselOperation\",1\r\n"
            "\"CarouselMode\",1\r\n\"DisplayTips\",#FALSE#\r\n\"DisplayWizard\",#FALSE#\r\n"
            "\"StartingAddress\",\"\"\r\n\"StartingSlide\",0\r\n\"UseDefault\",#FALSE#\r\n"
            "\"CarouselFileName\",\"" +
                showFile.toUtf8() + "\"\r\n");
        QProcessEnvironment environment = onDisplay(display);
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        // A real browser window on the display only in full screen.
        environment.insert(QStringLiteral("PAGEWHEEL_BROWSER_FLAGS"),
                           photograph ? QString() : QStringLiteral("--headless=new"));
        QStringList words{QStringLiteral("debug"), QStringLiteral("options"), optionsFile};
        if (photograph)
            words.prepend(QStringLiteral("fullscreen"));
        startProgram("AutoMode=2\nToolTips=True\n", words, environment);
        if (photograph) {
            // The second slide is up, and the browser has had time to settle.
            QTRY_VERIFY_WITH_TIMEOUT(slides().size() >= 2, 40000);
            QTest::qWait(1500);
            // The control bar across the top, the slide edge to edge below it
            // (no window frame, no browser bars).
            const QString shot = m_rig->files.filePath(QStringLiteral("screen.png"));
            QProcess import;
            import.setProcessEnvironment(onDisplay(display));
            import.start(QStringLiteral("import"),
                         {QStringLiteral("-window"), QStringLiteral("root"), shot});
            // The server answers the next slide meanwhile: wait in the event loop.
            QTRY_VERIFY_WITH_TIMEOUT(import.state() == QProcess::NotRunning, 20000);
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
        // A request is timed when this busy loop reads it, up to about half a second late; a
        // second less pause would still be seen.
        for (int i = 1; i < 3; ++i) {
            const qint64 gap = shown[i].msecs - shown[i - 1].msecs;
            QVERIFY2(gap >= Seconds * 1000 - 700 && gap <= Seconds * 1000 + 1500,
                     qPrintable(QStringLiteral("gap %1 ms").arg(gap)));
        }
        const qint64 afterLast = ended - shown.last().msecs;
        QVERIFY2(afterLast >= Seconds * 1000 + 6000 && afterLast <= Seconds * 1000 + 12000,
                 qPrintable(QStringLiteral("ended %1 ms after the last slide").arg(afterLast)));
        // One begin, the show's mode, the seven seconds' wait, then the one end.
        const QByteArray log = programLog();
        QCOMPARE(log.count("-------------------PAGEWHEEL Begins -------------------------"), 1);
        QCOMPARE(log.count(EndBanner.toUtf8()), 1);
        const qsizetype complete = log.indexOf("Paused for 7");
        QVERIFY(log.contains("Mode: CAROUSEL ----------"));
        QVERIFY2(complete > 0 && log.indexOf(EndBanner.toUtf8()) > complete,
                 "no seven-second wait before the end");
        // The program took its browser with it.
        QVERIFY(m_tree.size() > 1);
        QTRY_VERIFY_WITH_TIMEOUT(
            std::all_of(m_tree.cbegin(), m_tree.cend(),
                        [](qint64 pid) { return ProcessTree::members(pid).isEmpty(); }),
            10000);
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
        FakeBrowser browser(m_rig->files.filePath(QStringLiteral("browser")));
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        environment.insert(QStringLiteral("PAGEWHEEL_BROWSER_FLAGS"), browser.profileFlag());
        // No display: raising the browser's window is refused at once.
        environment.remove(QStringLiteral("DISPLAY"));
        // The browser through its remote-open line.
        startProgram("AutoMode=6\nAutoDDEapp=fake\nAutoDDEexe=" + browser.program().toUtf8() + "\n",
                     {QStringLiteral("debug")}, environment);
        QTRY_VERIFY_WITH_TIMEOUT(browser.instancePid() > 0, 30000);
        const qint64 browserPid = browser.instancePid();
        // The window has loaded when it has gone to Normal mode.
        QTRY_VERIFY_WITH_TIMEOUT(programLog().contains("display wizard"), 30000);
        ::kill(pid_t(m_program.processId()), number);
        QVERIFY(m_program.waitForFinished(20000));
        QCOMPARE(m_program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(m_program.exitCode(), 0);
        QTRY_VERIFY_WITH_TIMEOUT(!processAlive(browserPid), 5000);
        QVERIFY(programLog().contains(EndBanner.toUtf8()));
    }
};

QTEST_MAIN(tst_frmMainChromium)
#include "tst_frmMainChromium.moc"
