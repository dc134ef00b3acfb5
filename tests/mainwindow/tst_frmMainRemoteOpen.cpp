// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's address box and its remote-open browser: what is sent,
// into which window, and what is asked when the browser has gone.
#include "BrowserTestKit.h"
#include "MainWindowRig.h"
#include "browser/BrowserConnection.h"
#include "engine/ShowEngine.h"
#include "mainwindow/frmMain.h"
#include "platform/Prompts.h"
#include "platform/Shell.h"
#include "settings/cShowState.h"

#include <QApplication>
#include <QComboBox>
#include <QEventLoop>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <algorithm>

namespace {

/// A user who takes a while over each box and then answers No; counts how
/// many boxes were open at once and how many slides were shown behind them.
class SlowPrompts final : public Prompts::Backend
{
public:
    explicit SlowPrompts(frmMain& window) : m_window(window) {}

    int show(const Prompts::Request& request) override
    {
        titles.append(request.title);
        mostOpen = std::max(mostOpen, ++open);
        const qint16 before = m_window.ShowState().NumSlidesShown;
        QEventLoop thinking;
        QTimer::singleShot(2500, &thinking, &QEventLoop::quit);
        thinking.exec();
        slidesBehind += m_window.ShowState().NumSlidesShown - before;
        --open;
        return Prompts::vbNo;
    }

    QStringList titles;
    int open = 0;
    int mostOpen = 0;
    int slidesBehind = 0;

private:
    frmMain& m_window;
};

QString writeProgram(const QString& path, const QByteArray& script)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write("#!/bin/sh\n" + script);
    file.close();
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
    void leavingTheAddressBoxSendsNothing();
    void laterSlidesReuseTheProgramsWindow();
    void browserGoneAsksOnceAndHoldsTheShow();
};

void tst_frmMainRemoteOpen::leavingTheAddressBoxSendsNothing()
{
    MainWindowRig rig;
    const QPointer<frmMain> window = rig.open(rig.options());
    QApplication::setActiveWindow(window);
    auto* box = window->findChild<QComboBox*>(QStringLiteral("cboAddress"));
    sendWithEnter(box, QStringLiteral("http://127.0.0.1:9/a.html"));
    sendWithEnter(box, QStringLiteral("http://127.0.0.1:9/b.html"));
    QCOMPARE(rig.browser.navigations().size(), 2);

    // The text of a list entry is typed, then the user clicks elsewhere.
    box->lineEdit()->setFocus();
    QTRY_VERIFY(box->lineEdit()->hasFocus());
    box->setEditText(QStringLiteral("http://127.0.0.1:9/b.html"));
    window->findChild<QPushButton*>(QStringLiteral("cmdSlide"))->setFocus();
    QTRY_VERIFY(!box->lineEdit()->hasFocus());
    QCOMPARE(rig.browser.navigations().size(), 2);

    // A pick from the list still sends.
    Q_EMIT box->activated(0);
    QCOMPARE(rig.browser.navigations().last(), QStringLiteral("http://127.0.0.1:9/a.html"));
}

void tst_frmMainRemoteOpen::laterSlidesReuseTheProgramsWindow()
{
    MainWindowRig rig;
    // Under the name of a browser that takes --new-window, and that no other
    // program on the machine is likely to run.
    FakeBrowser browser(rig.files.filePath(QStringLiteral("browser")), QStringLiteral("vivaldi"));
    EnvironmentGuard environment;
    environment.set("PAGEWHEEL_BROWSER_FLAGS", browser.profileFlag());
    COptions options = rig.options();
    options.AutoMode = 6;
    options.AutoDDEexe = browser.program();
    options.AutoDDEapp = QStringLiteral("vivaldi");
    const QPointer<frmMain> window = rig.openOnOwnBrowser(options);
    QTRY_VERIFY_WITH_TIMEOUT(browser.instancePid() > 0, 10000);

    auto* box = window->findChild<QComboBox*>(QStringLiteral("cboAddress"));
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

void tst_frmMainRemoteOpen::browserGoneAsksOnceAndHoldsTheShow()
{
    MainWindowRig rig;
    FakeBrowser lasting(rig.files.filePath(QStringLiteral("lasting")));
    EnvironmentGuard environment;
    environment.set("PAGEWHEEL_BROWSER_FLAGS", lasting.profileFlag());
    const QString gone = writeProgram(rig.files.filePath(QStringLiteral("gone")), "exit 0\n");
    COptions options = rig.options();
    options.AutoMode = 6;
    options.AutoDDEapp = QStringLiteral("gone");
    options.AutoDDEexe = gone;
    options.StartingAddress = QStringLiteral("http://127.0.0.1:9/start.html");
    // Each slide for its own pause of a second.
    options.UseDefault = false;
    const QPointer<frmMain> window = rig.openOnOwnBrowser(options, false);

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

    // Each slide finds the browser gone; one question at a time, and the
    // show waits for its answer.
    SlowPrompts user(*window);
    Prompts::setBackend(&user);
    window->engine().mnuModeShow();
    Prompts::setBackend(&rig.prompts);
    window->change_mode(1);
    QCOMPARE(user.titles.value(0), QStringLiteral("Browser Terminated"));
    QCOMPARE(user.mostOpen, 1);
    QCOMPARE(user.slidesBehind, 0);
}

QTEST_MAIN(tst_frmMainRemoteOpen)
#include "tst_frmMainRemoteOpen.moc"
