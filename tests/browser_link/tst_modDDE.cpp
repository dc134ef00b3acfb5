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
        [](const QString& line) { return line.startsWith(QLatin1String("Paused for")); });
    return lines;
}

struct LinkCase
{
    bool running;
    QString topic, action, item;
    int error, modeAfter;
};

} // namespace

// The remote-open link against the test browser.
class tst_modDDE : public QObject
{
    Q_OBJECT

    QStringList log() const { return m_log->messages(); }
    /// Starts the test browser the way the link's own start does.
    void startBrowser()
    {
        QVERIFY(Shell::StartBrowserProgram(m_browser->program(), {}) > 0);
        QTRY_VERIFY_WITH_TIMEOUT(m_browser->instancePid() > 0, 5000);
    }

    std::unique_ptr<DesktopSandbox> m_desktop;
    std::unique_ptr<ScriptedPrompts> m_prompts;
    std::unique_ptr<FakeBrowser> m_browser;
    std::unique_ptr<QTemporaryDir> m_appDir;
    std::unique_ptr<LogCapture> m_log;

private Q_SLOTS:
    void init()
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

    void cleanup()
    {
        m_log.reset();
        m_browser.reset();
        m_prompts.reset();
        m_desktop.reset();
        m_appDir.reset();
    }

    void linkErrors_data()
    {
        QTest::addColumn<LinkCase>("c");
        const QString url = QStringLiteral("\"http://h/\",,-1");
        QTest::newRow("not running") << LinkCase{false, "FAKE|System", "open", "", 282, 0};
        QTest::newRow("running") << LinkCase{true, "fake|www_openurl", "open", "", 0, 2};
        QTest::newRow("unknown topic") << LinkCase{true, "FAKE|WWW_Other", "open", "", 282, 0};
        QTest::newRow("no conversation")
            << LinkCase{true, "FAKE|WWW_OpenURL", "closed request", url, 282, 0};
        QTest::newRow("request System") << LinkCase{true, "FAKE|System", "request", "", 285, 2};
        QTest::newRow("poke OpenURL") << LinkCase{true, "FAKE|WWW_OpenURL", "poke", url, 285, 2};
        QTest::newRow("no quotes")
            << LinkCase{true, "FAKE|WWW_OpenURL", "request", "http://h/,,-1", 285, 2};
    }
    void linkErrors()
    {
        QFETCH(LinkCase, c);
        if (c.running)
            startBrowser();
        DdeLink link;
        link.setExecutable(m_browser->program());
        link.setTopic(c.topic);
        link.setItem(c.item);
        VbError result;
        if (!c.action.startsWith(QLatin1String("closed")))
            result = link.setMode(DdeLink::ModeManual);
        if (!result.isError() && c.action.endsWith(QLatin1String("request")))
            result = link.request();
        if (!result.isError() && c.action.endsWith(QLatin1String("poke")))
            result = link.poke();
        QCOMPARE(result.number, c.error);
        QCOMPARE(result.description, c.error ? DdeLink::error(c.error).description : QString());
        QCOMPARE(link.mode(), c.modeAfter);
    }

    void connectOpenAndExit()
    {
        ManualClock clock;
        DdeLink link;
        const QString program = m_browser->program();
        QVERIFY(DDEConnect(link, program, QStringLiteral("FAKE")));
        const QString loading = "Loading DDE App:_FAKE_ Exe:_" + program + "_";
        QCOMPARE(withoutPauses(log()),
                 (QStringList{loading, "Starting new DDE instance of: " + program}));
        QVERIFY(clock.sleptMilliseconds() >= 1000);
        QCOMPARE(link.mode(), DdeLink::ModeManual);
        // The test clock skips the pause: wait for the browser to be up.
        QTRY_COMPARE_WITH_TIMEOUT(m_browser->invocations(),
                                  QList<QStringList>{QStringList{m_browser->profileFlag()}}, 5000);
        // Running now: nothing is started.
        QVERIFY(DDEConnect(link, program, QStringLiteral("FAKE")));
        QCOMPARE(log().last(), loading);
        QCOMPARE(m_browser->invocations().size(), 1);

        // The item names the window to use as the service expects it.
        const QString page = QStringLiteral("http://127.0.0.1:9/page.htm");
        const struct
        {
            const char* service;
            bool reuse;
            QString address;
            const char* suffix;
        } items[] = {
            {"netscape", false, page, ",,0xFFFFFFFF,0"},
            {"netscape", true, page, ",,0x0,0"},
            {"iexplore", false, page, ",,-1"},
            {"IEXPLORE", true, page, ",,0"},
            {"OPERA", false, page, ",,0xFFFFFFFF,0"},
            {"iexplore", false, QStringLiteral("http://127.0.0.1:9/a\"b.htm"), ",,-1"},
        };
        int opened = 0;
        for (const auto& [service, reuse, address, suffix] : items) {
            QCOMPARE(DDEOpenURL(link, QLatin1String(service), address, reuse), 0);
            QCOMPARE(link.topic(), QLatin1String(service) + QLatin1String("|WWW_OpenURL"));
            QCOMPARE(link.item(), u'"' + address + u'"' + QLatin1String(suffix));
            QVERIFY(link.text().toLongLong() > 0);
            ++opened;
            QTRY_COMPARE_WITH_TIMEOUT(m_browser->addresses().size(), opened, 5000);
            QCOMPARE(m_browser->addresses().last(), address);
            QCOMPARE(m_browser->invocations().last(),
                     (QStringList{m_browser->profileFlag(), address}));
        }
        QVERIFY(!log().join(u'\n').contains(QLatin1String("Navigate")));
        // A browser without a window refuses to raise it, which is no reason to stop.
        DDEActivate(link, QStringLiteral("FAKE"));
        QCOMPARE(link.item(), QStringLiteral("0xFFFFFFFF,0"));
        QCOMPARE(log().last(), QStringLiteral("DDE activate: 285 error"));

        // The link ends the browser it started, quietly.
        const qsizetype lines = log().size();
        DDEExit(link, QStringLiteral("FAKE"));
        QCOMPARE(log().size(), lines);
        QTRY_VERIFY_WITH_TIMEOUT(!Shell::IsRunning(program), 5000);
        DDEExit(link, QStringLiteral("FAKE"));
        DDEActivate(link, QStringLiteral("FAKE"));
        QCOMPARE(DDEOpenURL(link, QStringLiteral("NETSCAPE"), "http://h/", false), 282);
        const QString noServer = " 282 Desc: " + NoServerText;
        QCOMPARE(log().mid(lines),
                 (QStringList{"DDE Exit Error" + noServer, "DDE_Activate ERROR:" + noServer,
                              "DDE Navigate: No browser available."}));
        QCOMPARE(m_browser->invocations().size(), opened + 1);

        // A browser the user started is left running.
        qint64 pid = 0;
        QVERIFY(QProcess::startDetached(program, {m_browser->profileFlag()}, QString(), &pid));
        QTRY_COMPARE_WITH_TIMEOUT(m_browser->instancePid(), pid, 5000);
        QVERIFY(DDEConnect(link, program, QStringLiteral("FAKE")));
        DDEExit(link, QStringLiteral("FAKE"));
        QCOMPARE(log().last(), loading);
        QTest::qWait(300);
        QVERIFY(processAlive(pid));
    }

    void connectFailures_data()
    {
        columns<QString, QStringList>("executable", "logLines");
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
    void connectFailures()
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

    void chromiumArguments()
    {
        // The test browser under a real browser's name.
        m_browser =
            std::make_unique<FakeBrowser>(m_desktop->root() + QStringLiteral("/named"), "chromium");
        m_desktop->environment().set("PAGEWHEEL_BROWSER_FLAGS", m_browser->profileFlag());
        startBrowser();
        DdeLink link;
        link.setExecutable(m_browser->program());
        QStringList flags{m_browser->profileFlag()};
        if (::geteuid() == 0)
            flags.append(QStringLiteral("--no-sandbox"));
        const QString page = QStringLiteral("http://127.0.0.1:9/new.htm");
        // An address that reads as an option reaches the browser as a file path.
        const QString option = QStringLiteral(" --remote-debugging-port=9333");
        const QString path = QDir::currentPath() + u'/' + option;
        const struct
        {
            bool reuse;
            QString address;
            QStringList arguments;
        } cases[] = {{false, page, {"--new-window", "--", page}},
                     {true, page, {"--", page}},
                     {true, option, {"--", path}}};
        qsizetype invocations = 1;
        for (const auto& [reuse, address, arguments] : cases) {
            QCOMPARE(DDEOpenURL(link, QStringLiteral("NETSCAPE"), address, reuse), 0);
            ++invocations;
            QTRY_COMPARE_WITH_TIMEOUT(m_browser->invocations().size(), invocations, 5000);
            QCOMPARE(m_browser->invocations().last(), flags + arguments);
        }
        QTRY_COMPARE_WITH_TIMEOUT(m_browser->addresses(), (QStringList{page, page, path}), 5000);
    }
};

QTEST_GUILESS_MAIN(tst_modDDE)
#include "tst_modDDE.moc"
