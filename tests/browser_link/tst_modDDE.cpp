// SPDX-License-Identifier: GPL-3.0-or-later
#include "BrowserTestKit.h"
#include "LogCapture.h"
#include "browser/modDDE.h"
#include "platform/DdeLink.h"
#include "platform/ManualClock.h"
#include "platform/ScriptedPrompts.h"
#include "platform/Shell.h"
#include "startup/modMain.h"

#include <QDir>
#include <QProcess>
#include <QTest>

#include <memory>
#include <unistd.h>

using namespace modDDE;

namespace {

const QString NoServerText = DdeLink::error(DdeLink::NoServer).description;

QStringList withoutPauses(QStringList lines)
{
    lines.removeIf(
        [](const QString& line) { return line.startsWith(QStringLiteral("Paused for")); });
    return lines;
}

} // namespace

class tst_modDDE : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void linkErrors_data();
    void linkErrors();
    void connectStartsBrowserOnce();
    void connectFailures_data();
    void connectFailures();
    void openUrlItems_data();
    void openUrlItems();
    void newWindowFlag_data();
    void newWindowFlag();
    void openUrlWhenBrowserGone();
    void activate_data();
    void activate();
    void exitEndsBrowserItStarted();
    void exitLeavesUsersBrowser();

private:
    QStringList log() const { return m_log->messages(); }
    /// Starts the test browser the way the link's own start does.
    void startBrowser();

    std::unique_ptr<DesktopSandbox> m_desktop;
    std::unique_ptr<ScriptedPrompts> m_prompts;
    std::unique_ptr<FakeBrowser> m_browser;
    std::unique_ptr<QTemporaryDir> m_appDir;
    std::unique_ptr<LogCapture> m_log;
};

void tst_modDDE::init()
{
    modMain::ResetProgramState();
    m_appDir = std::make_unique<QTemporaryDir>();
    m_desktop = std::make_unique<DesktopSandbox>();
    m_prompts = std::make_unique<ScriptedPrompts>();
    m_browser = std::make_unique<FakeBrowser>(m_desktop->root() + QStringLiteral("/browser"));
    m_desktop->environment().set("PAGEWHEEL_BROWSER_FLAGS", m_browser->profileFlag());
    modMain::SetProgramFolder(m_appDir->path());
    m_log = std::make_unique<LogCapture>(m_appDir->path(), true, true);
}

void tst_modDDE::cleanup()
{
    m_log.reset();
    m_browser.reset();
    m_prompts.reset();
    m_desktop.reset();
    m_appDir.reset();
}

void tst_modDDE::startBrowser()
{
    QVERIFY(Shell::StartBrowserProgram(m_browser->program(), {}) > 0);
    QTRY_VERIFY_WITH_TIMEOUT(m_browser->instancePid() > 0, 5000);
}

void tst_modDDE::linkErrors_data()
{
    QTest::addColumn<bool>("running");
    QTest::addColumn<QString>("topic");
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("item");
    QTest::addColumn<int>("error");
    QTest::addColumn<int>("modeAfter");

    const auto row = [](const char* tag, bool running, const char* topic, const char* action,
                        const char* item, int error, int modeAfter) {
        QTest::newRow(tag) << running << QString(topic) << QString(action) << QString(item) << error
                           << modeAfter;
    };
    const char* url = "\"http://h/\",,-1";
    row("not running", false, "FAKE|System", "open", "", 282, 0);
    row("running", true, "fake|www_openurl", "open", "", 0, 2);
    row("unknown topic", true, "FAKE|WWW_Other", "open", "", 282, 0);
    row("no conversation", true, "FAKE|WWW_OpenURL", "closed request", url, 282, 0);
    row("request System", true, "FAKE|System", "request", "", 285, 2);
    row("poke OpenURL", true, "FAKE|WWW_OpenURL", "poke", url, 285, 2);
    row("no quotes", true, "FAKE|WWW_OpenURL", "request", "http://h/,,-1", 285, 2);
}

void tst_modDDE::linkErrors()
{
    QFETCH(bool, running);
    QFETCH(QString, topic);
    QFETCH(QString, action);
    QFETCH(QString, item);
    QFETCH(int, error);
    QFETCH(int, modeAfter);

    if (running)
        startBrowser();
    DdeLink link;
    link.setExecutable(m_browser->program());
    link.setTopic(topic);
    link.setItem(item);

    VbError result;
    if (!action.startsWith(QStringLiteral("closed")))
        result = link.setMode(DdeLink::ModeManual);
    if (!result.isError() && action.endsWith(QStringLiteral("request")))
        result = link.request();
    if (!result.isError() && action.endsWith(QStringLiteral("poke")))
        result = link.poke();

    QCOMPARE(result.number, error);
    QCOMPARE(result.description, error ? DdeLink::error(error).description : QString());
    QCOMPARE(link.mode(), modeAfter);
}

void tst_modDDE::connectStartsBrowserOnce()
{
    ManualClock clock;
    DdeLink link;
    const QString program = m_browser->program();
    QVERIFY(DDEConnect(link, program, QStringLiteral("FAKE")));
    QCOMPARE(withoutPauses(log()), (QStringList{"Loading DDE App:_FAKE_ Exe:_" + program + "_",
                                                "Starting new DDE instance of: " + program}));
    QVERIFY(clock.sleptMilliseconds() >= 1000);
    QCOMPARE(link.mode(), DdeLink::ModeManual);
    QTRY_COMPARE_WITH_TIMEOUT(m_browser->invocations(),
                              QList<QStringList>{QStringList{m_browser->profileFlag()}}, 5000);

    // Running now: nothing is started.
    QVERIFY(DDEConnect(link, program, QStringLiteral("FAKE")));
    QCOMPARE(log().last(), "Loading DDE App:_FAKE_ Exe:_" + program + "_");
    QCOMPARE(m_browser->invocations().size(), 1);
}

void tst_modDDE::connectFailures_data()
{
    QTest::addColumn<QString>("executable");
    QTest::addColumn<QStringList>("logLines");

    QTest::newRow("browser ends at once")
        << "{quitter}"
        << QStringList{"Loading DDE App:_FAKE_ Exe:_{quitter}_",
                       "Starting new DDE instance of: {quitter}",
                       "load_DDE Error: 282 Desc: " + NoServerText};
    QTest::newRow("not registered")
        << "nosuchbrowser"
        << QStringList{"Loading DDE App:_FAKE_ Exe:_nosuchbrowser_", "Browser not found",
                       "DDE Application  nosuchbrowser is not registered."};
    QTest::newRow("program missing")
        << "/nonexistent/folder/browser"
        << QStringList{"Loading DDE App:_FAKE_ Exe:_/nonexistent/folder/browser_",
                       "Starting new DDE instance of: /nonexistent/folder/browser",
                       "load_DDE Error with shell: 53 Desc: " +
                           VbErrors::make(VbErrors::FileNotFound).description};
}

void tst_modDDE::connectFailures()
{
    QFETCH(QString, executable);
    QFETCH(QStringList, logLines);

    // A program that ends at once is never found running.
    const QString quitter = m_desktop->binDir() + QStringLiteral("/quitter-") +
                            QFileInfo(m_browser->program()).fileName();
    QVERIFY(QFile::copy(QStringLiteral("/bin/true"), quitter));
    QFile::setPermissions(quitter, QFile::ReadOwner | QFile::ExeOwner);
    executable.replace(QStringLiteral("{quitter}"), quitter);
    logLines.replaceInStrings(QStringLiteral("{quitter}"), quitter);

    DdeLink link;
    QVERIFY(!DDEConnect(link, executable, QStringLiteral("FAKE")));
    QCOMPARE(withoutPauses(log()), logLines);
    QCOMPARE(link.mode(), DdeLink::ModeNone);
    QVERIFY(m_prompts->shown().isEmpty());
}

void tst_modDDE::openUrlItems_data()
{
    QTest::addColumn<QString>("service");
    QTest::addColumn<bool>("reuse");
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("suffix");

    const QString address = QStringLiteral("http://127.0.0.1:9/page.htm");
    QTest::newRow("netscape, new window") << "netscape" << false << address << ",,0xFFFFFFFF,0";
    QTest::newRow("netscape, same window") << "netscape" << true << address << ",,0x0,0";
    QTest::newRow("iexplore, new window") << "iexplore" << false << address << ",,-1";
    QTest::newRow("IEXPLORE, same window") << "IEXPLORE" << true << address << ",,0";
    QTest::newRow("other service") << "OPERA" << false << address << ",,0xFFFFFFFF,0";
    QTest::newRow("address with a quote") << "iexplore" << false << "http://127.0.0.1:9/a\"b.htm"
                                          << ",,-1";
}

void tst_modDDE::openUrlItems()
{
    QFETCH(QString, service);
    QFETCH(bool, reuse);
    QFETCH(QString, address);
    QFETCH(QString, suffix);

    ManualClock clock;
    DdeLink link;
    QVERIFY(DDEConnect(link, m_browser->program(), service));
    // The test clock skips the pause: wait for the browser to be up.
    QTRY_COMPARE_WITH_TIMEOUT(m_browser->invocations().size(), 1, 5000);
    QCOMPARE(DDEOpenURL(link, service, address, reuse), 0);
    QCOMPARE(link.topic(), service + QStringLiteral("|WWW_OpenURL"));
    QCOMPARE(link.item(), QLatin1Char('"') + address + QLatin1Char('"') + suffix);
    QVERIFY(link.text().toLongLong() > 0);

    QTRY_COMPARE_WITH_TIMEOUT(m_browser->addresses(), QStringList{address}, 5000);
    QCOMPARE(m_browser->invocations().last(), (QStringList{m_browser->profileFlag(), address}));
    QVERIFY(!log().join(QLatin1Char('\n')).contains(QStringLiteral("Navigate")));
}

void tst_modDDE::newWindowFlag_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("reuse");
    QTest::addColumn<QString>("address");
    QTest::addColumn<bool>("newWindowFlag");
    QTest::addColumn<bool>("chromium");
    QTest::addColumn<QString>("argument");

    const QString address = QStringLiteral("http://127.0.0.1:9/new.htm");
    QTest::newRow("chromium, new window")
        << "chromium" << false << address << true << true << address;
    QTest::newRow("chromium, same window")
        << "chromium" << true << address << false << true << address;
    QTest::newRow("other browser, new window")
        << "otherbrowser" << false << address << false << false << address;
    // An address that reads as an option reaches the browser as a file path.
    const QString option = QStringLiteral("--remote-debugging-port=9333");
    const QString asPath = QDir::currentPath() + QLatin1Char('/') + option;
    QTest::newRow("chromium, option as address")
        << "chromium" << false << option << true << true << asPath;
    QTest::newRow("other browser, option as address")
        << "otherbrowser" << true << QStringLiteral(" -new-instance") << false << false
        << QDir::currentPath() + QStringLiteral("/ -new-instance");
}

void tst_modDDE::newWindowFlag()
{
    QFETCH(QString, name);
    QFETCH(bool, reuse);
    QFETCH(QString, address);
    QFETCH(bool, newWindowFlag);
    QFETCH(bool, chromium);
    QFETCH(QString, argument);

    // The test browser under a real browser's name.
    m_browser = std::make_unique<FakeBrowser>(m_desktop->root() + QStringLiteral("/named"), name);
    m_desktop->environment().set("PAGEWHEEL_BROWSER_FLAGS", m_browser->profileFlag());
    startBrowser();
    DdeLink link;
    link.setExecutable(m_browser->program());

    QCOMPARE(DDEOpenURL(link, QStringLiteral("NETSCAPE"), address, reuse), 0);
    QTRY_COMPARE_WITH_TIMEOUT(m_browser->invocations().size(), 2, 5000);
    QStringList expected{m_browser->profileFlag()};
    if (chromium && ::geteuid() == 0)
        expected.append(QStringLiteral("--no-sandbox"));
    if (newWindowFlag)
        expected.append(QStringLiteral("--new-window"));
    if (chromium)
        expected.append(QStringLiteral("--"));
    expected.append(argument);
    QCOMPARE(m_browser->invocations().last(), expected);
    QTRY_COMPARE_WITH_TIMEOUT(m_browser->addresses(), QStringList{argument}, 5000);
}

void tst_modDDE::openUrlWhenBrowserGone()
{
    modMain::ErrorMode = true;
    DdeLink link;
    link.setExecutable(m_browser->program());
    QCOMPARE(DDEOpenURL(link, QStringLiteral("NETSCAPE"), QStringLiteral("http://h/"), false), 282);
    QCOMPARE(log(), QStringList{"DDE Navigate: No browser available."});
    QVERIFY(m_browser->invocations().isEmpty());
}

void tst_modDDE::activate_data()
{
    QTest::addColumn<bool>("running");
    QTest::addColumn<QString>("logLine");

    QTest::newRow("browser without window") << true << "DDE activate: 285 error";
    QTest::newRow("no browser") << false << "DDE_Activate ERROR: 282 Desc: " + NoServerText;
}

void tst_modDDE::activate()
{
    QFETCH(bool, running);
    QFETCH(QString, logLine);

    if (running)
        startBrowser();
    DdeLink link;
    link.setExecutable(m_browser->program());
    DDEActivate(link, QStringLiteral("FAKE"));
    QCOMPARE(link.topic(), QStringLiteral("FAKE|WWW_Activate"));
    QCOMPARE(link.item(), QStringLiteral("0xFFFFFFFF,0"));
    QCOMPARE(log(), QStringList{logLine});
}

void tst_modDDE::exitEndsBrowserItStarted()
{
    ManualClock clock;
    DdeLink link;
    const QString program = m_browser->program();
    QVERIFY(DDEConnect(link, program, QStringLiteral("FAKE")));
    QTRY_COMPARE_WITH_TIMEOUT(m_browser->invocations().size(), 1, 5000);
    QCOMPARE(DDEOpenURL(link, QStringLiteral("FAKE"), QStringLiteral("http://h/a"), false), 0);
    QTRY_COMPARE_WITH_TIMEOUT(m_browser->addresses(), QStringList{"http://h/a"}, 5000);
    const int lines = log().size();

    DDEExit(link, QStringLiteral("FAKE"));
    QCOMPARE(log().size(), lines);
    QTRY_VERIFY_WITH_TIMEOUT(!Shell::IsRunning(program), 5000);

    DDEExit(link, QStringLiteral("FAKE"));
    QCOMPARE(log().last(), "DDE Exit Error 282 Desc: " + NoServerText);
}

void tst_modDDE::exitLeavesUsersBrowser()
{
    qint64 pid = 0;
    QVERIFY(
        QProcess::startDetached(m_browser->program(), {m_browser->profileFlag()}, QString(), &pid));
    QTRY_COMPARE_WITH_TIMEOUT(m_browser->instancePid(), pid, 5000);

    DdeLink link;
    QVERIFY(DDEConnect(link, m_browser->program(), QStringLiteral("FAKE")));
    DDEExit(link, QStringLiteral("FAKE"));
    QCOMPARE(log(), QStringList{"Loading DDE App:_FAKE_ Exe:_" + m_browser->program() + "_"});
    QTest::qWait(300);
    QVERIFY(processAlive(pid));
}

QTEST_GUILESS_MAIN(tst_modDDE)
#include "tst_modDDE.moc"
