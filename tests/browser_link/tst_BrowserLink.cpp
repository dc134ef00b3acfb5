// SPDX-License-Identifier: GPL-3.0-or-later
// Finding and starting browser programs, the remote-open link and the dialog
// that chooses the browser, on a desktop whose PATH holds only the programs a
// test puts there; boxes and file dialogs scripted, the dialog offscreen.
#include "BrowserTestKit.h"
#include "LogCapture.h"
#include "browser/BrowserConnection.h"
#include "browser/frmBrowserType.h"
#include "browser/modDDE.h"
#include "browser/modURL.h"
#include "platform/DdeLink.h"
#include "platform/ManualClock.h"
#include "platform/Prompts.h"
#include "platform/ScriptedCommonDialog.h"
#include "platform/ScriptedPrompts.h"
#include "platform/Shell.h"
#include "settings/COptions.h"
#include "startup/modMain.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <memory>
#include <unistd.h>

using namespace modDDE;
using namespace modURL;
using Files = QMap<QString, QString>;

namespace {

const QString CRLF = QStringLiteral("\r\n");

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

struct Validation
{
    int choice;
    QString executable, application, box, title, focus;
};

} // namespace

class tst_BrowserLink : public QObject
{
    Q_OBJECT

    QStringList log() const { return m_log->messages(); }
    /// Starts the test browser the way the link's own start does.
    void startBrowser()
    {
        QVERIFY(Shell::StartBrowserProgram(m_browser->program(), {}) > 0);
        QTRY_VERIFY_WITH_TIMEOUT(m_browser->instancePid() > 0, 5000);
    }
    /// Made when a test needs it: it installs the automation window opener.
    BrowserConnection& connection()
    {
        if (!m_connection)
            m_connection = std::make_unique<BrowserConnection>(*m_options);
        return *m_connection;
    }
    template <typename T> T* control(const QString& name) const
    {
        return m_dialog->findChild<T*>(name);
    }
    /// The dialog on the connection, shown so that focus can be checked.
    void openDialog()
    {
        m_dialog = std::make_unique<frmBrowserType>(*m_options, connection());
        m_dialog->show();
        QApplication::setActiveWindow(m_dialog.get());
    }

    std::unique_ptr<QTemporaryDir> m_appDir;
    std::unique_ptr<DesktopSandbox> m_desktop;
    std::unique_ptr<ScriptedPrompts> m_prompts;
    std::unique_ptr<ScriptedCommonDialog> m_files;
    std::unique_ptr<FakeBrowser> m_browser;
    std::unique_ptr<LogCapture> m_log;
    std::unique_ptr<COptions> m_options;
    std::unique_ptr<BrowserConnection> m_connection;
    std::unique_ptr<frmBrowserType> m_dialog;

private Q_SLOTS:
    void init()
    {
        modMain::ResetProgramState();
        m_appDir = std::make_unique<QTemporaryDir>();
        modMain::SetProgramFolder(m_appDir->path());
        QFile page(modMain::AppFolder + TestFile);
        QVERIFY(page.open(QIODevice::WriteOnly));
        page.write("<html><body>test</body></html>");
        page.close();
        m_desktop = std::make_unique<DesktopSandbox>();
        m_prompts = std::make_unique<ScriptedPrompts>();
        m_files = std::make_unique<ScriptedCommonDialog>();
        m_browser = std::make_unique<FakeBrowser>(m_desktop->root() + QStringLiteral("/browser"));
        m_desktop->environment().set("PAGEWHEEL_BROWSER_FLAGS", m_browser->profileFlag());
        m_log = std::make_unique<LogCapture>(m_appDir->path(), true, true);
        m_options = std::make_unique<COptions>();
        m_options->init_options();
        m_options->AutoMode = 0;
    }

    void cleanup()
    {
        m_dialog.reset();
        m_connection.reset();
        SetAutomationWindowOpener({});
        m_options.reset();
        m_log.reset();
        m_browser.reset();
        m_files.reset();
        m_prompts.reset();
        m_desktop.reset();
        m_appDir.reset();
    }

    void configBrowser_data()
    {
        // Each row starts from OLE and DDE both on and the user's own names.
        columns<int, QString>("mode", "expected");
        tableRow("0", 0, "0 1 MOSAIC IExplore.exe");
        tableRow("2", 2, "1 0 IEXPLORE IExplore.exe");
        tableRow("5", 5, "0 1 NETSCAPE Netscape.exe");
        tableRow("6", 6, "0 1 USERAPP user.exe");
        tableRow("7", 7, "1 1 USERAPP user.exe");
    }
    void configBrowser()
    {
        QFETCH(int, mode);
        bool ole = true;
        bool dde = true;
        QString application = QStringLiteral("USERAPP");
        QString executable = QStringLiteral("user.exe");
        config_Browser(qint16(mode), ole, dde, application, executable);
        QTEST(QStringLiteral("%1 %2 %3 %4").arg(ole).arg(dde).arg(application, executable),
              "expected");
    }

    void findDefaultBrowser_data()
    {
        columns<int, QString, QString, QString>("code", "buffer", "path", "logLine");
        tableRow("case 1", 42, "/usr/bin/b   \"%1\"", "/usr/bin/b",
                 "FullPath(CASE 1):_/usr/bin/b  _ Position:_14_|");
        tableRow("case 2", 42, "C:\\X\\B.EXE C:\\D\\TEST.HTM", "C:\\X\\B.EXE",
                 "FullPath (CASE 2):_C:\\X\\B.EXE_ Position:_13_|");
        tableRow("case 2, root", 42, "/opt/b/browser /srv/app/test.htm", "/opt/b/browser",
                 "FullPath (CASE 2):_/opt/b/browser_ Position:_16_|");
        tableRow("case 2, no path", 42, "browser test.htm", "",
                 "Find Browser(CASE 2 ERROR): path not found in _browser test.htm_|");
        tableRow("case 3", 32, "\"C:\\X\\B.EXE\"", "\"C:\\X\\B.EXE\"",
                 "FullPath(CASE 3):_\"C:\\X\\B.EXE\"_|");
        tableRow("return 31", 31, "C:\\X\\B.EXE", "", "Browser not found");
    }
    void findDefaultBrowser()
    {
        QFETCH(int, code);
        QFETCH(QString, buffer);
        QFETCH(QString, path);
        QFETCH(QString, logLine);
        ScriptedAssociations associations(code, buffer);
        QString result;
        QCOMPARE(FindDefaultBrowser(result), !path.isEmpty());
        QCOMPARE(result, path);
        QCOMPARE(log(), QStringList{logLine});
        QCOMPARE(associations.asked, (QStringList{"test.htm", modMain::AppFolder}));
        QVERIFY(m_prompts->shown().isEmpty());
    }

    void locateBrowserExe_data()
    {
        columns<QString, QString, QString, QString, QString>("name", "installed", "defaultBrowser",
                                                             "expected", "found");
        tableRow("path unchanged", "/opt/b/x", "", "C:\\IE\\IEXPLORE.EXE", "/opt/b/x", "");
        tableRow("IE is Chromium", "IExplore.exe", "chromium", "", "{bin}/chromium", "");
        tableRow("Netscape is Firefox", "Netscape.exe", "firefox-esr", "", "{bin}/firefox-esr", "");
        tableRow("other on PATH", "Opera.exe", "opera", "", "{bin}/opera", "");
        tableRow("IE default, -nohome dropped", "IExplore.exe", "", "C:\\IE\\IEXPLORE.EXE -nohome",
                 "C:\\IE\\IEXPLORE.EXE", "InternetExplorer is registered as default browser.");
        tableRow("Firefox default", "Netscape.exe", "", "/usr/bin/firefox", "/usr/bin/firefox",
                 "Netscape Browser is registered as default browser.");
        tableRow("other default", "Netscape.exe", "", "/opt/other/browser", "",
                 "Other Browser found");
        tableRow("no browser", "IExplore.exe", "", "", "", "");
    }
    void locateBrowserExe()
    {
        QFETCH(QString, name);
        QFETCH(QString, installed);
        QFETCH(QString, defaultBrowser);
        QFETCH(QString, expected);
        QFETCH(QString, found);
        if (!installed.isEmpty())
            m_desktop->addProgram(installed);
        ScriptedAssociations associations(
            defaultBrowser.isEmpty() ? Shell::NoAssociation : Shell::Found, defaultBrowser);

        QCOMPARE(LocateBrowserExe(name),
                 expected.replace(QStringLiteral("{bin}"), m_desktop->binDir()));
        QStringList logLines;
        if (!defaultBrowser.isEmpty() && installed.isEmpty() && !name.startsWith(QLatin1Char('/')))
            logLines = QStringList{"FullPath(CASE 3):_" + defaultBrowser + "_|",
                                   "Browser is at  _" + defaultBrowser + "_", found};
        else if (name == QLatin1String("IExplore.exe") && installed.isEmpty())
            logLines = QStringList{QStringLiteral("Browser not found")};
        QCOMPARE(log(), logLines);
        if (found == QLatin1String("Other Browser found")) {
            QCOMPARE(m_prompts->texts(),
                     QStringList{"Neither Internet Explorer or Netscape Navigator are installed." +
                                 CRLF +
                                 "Go to the Options->Browser menu to specify another type of "
                                 "browser."});
            QCOMPARE(m_prompts->shown().first().buttons, Prompts::vbOKOnly);
        } else {
            QVERIFY(m_prompts->shown().isEmpty());
        }
        // A path or a program found by name needs no association.
        QCOMPARE(!associations.asked.isEmpty(), !logLines.isEmpty());
    }

    void buildBrowserCommand_data()
    {
        columns<QString, QString, QString, QString, QString>("path", "extra", "arguments",
                                                             "pathAfter", "logLine");
        tableRow("Netscape", "C:\\NS\\NETSCAPE.EXE", "#top", "a#top", "C:\\NS\\NETSCAPE.EXE",
                 "Netscape Browser!");
        tableRow("IE, -nohome", "c:\\ie\\iexplore.exe -nohome", "", "a", "c:\\ie\\iexplore.exe",
                 "InternetExplorer!");
        tableRow("Chromium", "/usr/bin/chromium", "#top", "-- a#top", "/usr/bin/chromium",
                 "InternetExplorer!");
        tableRow("Firefox", "/usr/bin/firefox-esr", "#top", "a#top", "/usr/bin/firefox-esr",
                 "Netscape Browser!");
        tableRow("other, no extra", "/opt/other/browser  ", "#top", "a", "/opt/other/browser",
                 "Other Browser");
    }
    void buildBrowserCommand()
    {
        QFETCH(QString, path);
        QFETCH(QString, extra);
        QFETCH(QString, arguments);
        QFETCH(QString, pathAfter);
        const QString command = extra.isEmpty() ? BuildBrowserCommand(path, "a")
                                                : BuildBrowserCommand(path, "a", extra);
        QCOMPARE(command, "\"" + pathAfter + "\" " + arguments);
        QCOMPARE(path, pathAfter);
        QTEST(log().value(0), "logLine");
    }

    void startBrowserStartsDefaultBrowser()
    {
        const FakeBrowser& browser = *m_browser;
        m_desktop->writeFile(QStringLiteral("config-home/mimeapps.list"),
                             QStringLiteral("[Default Applications]\ntext/html=b.desktop\n"));
        m_desktop->writeFile(QStringLiteral("data-home/applications/b.desktop"),
                             "[Desktop Entry]\nType=Application\nExec=" + browser.program() +
                                 " %U\n");

        const QString address = QStringLiteral("http://127.0.0.1:9/start.htm");
        QVERIFY(StartBrowser(address, false));
        QTRY_COMPARE_WITH_TIMEOUT(browser.addresses(), QStringList{address}, 5000);
        QVERIFY(m_prompts->shown().isEmpty());

        QVERIFY(log().value(0).startsWith("FullPath (CASE 2):_" + browser.program()));
        QCOMPARE(log().mid(1), (QStringList{"Other Browser",
                                            "Starting Browser with  _\"" + browser.program() +
                                                "\" " + address + "_",
                                            "AppID: " + QString::number(browser.instancePid())}));

        // An address with blanks stays one word, and one that reads as an
        // option reaches the browser as a file path.
        const QString hostile =
            QStringLiteral("--user-data-dir=/tmp/elsewhere http://127.0.0.1:9/");
        QVERIFY(StartBrowser(hostile, false));
        QTRY_COMPARE_WITH_TIMEOUT(browser.invocations().size(), 2, 5000);
        QCOMPARE(browser.invocations().last(),
                 (QStringList{browser.profileFlag(), QDir::currentPath() + '/' + hostile}));

        // A command line of quoted words, the program's path with a blank.
        FakeBrowser other(m_desktop->root() + QStringLiteral("/with blank"));
        const qint64 pid = Shell::StartProgram(u'"' + other.program() + "\" \"" +
                                               other.profileFlag() + "\" http://h/ \"two words\"");
        QTRY_COMPARE_WITH_TIMEOUT(other.addresses(), (QStringList{"http://h/", "two words"}), 5000);
        QCOMPARE(Shell::ProcessesOf(other.program()), QList<qint64>{pid});
        QCOMPARE(Shell::EndStartedProcesses(other.program()), 1);
        QTRY_VERIFY_WITH_TIMEOUT(!Shell::IsRunning(other.program()), 5000);
        QCOMPARE(Shell::EndStartedProcesses(other.program()), 0);
    }

    void startBrowserFailures_data()
    {
        columns<QString, QString, int, QString>("defaultBrowser", "box", "buttons", "logLine");
        const QString goHome = CRLF + QStringLiteral("Start browser and go to ") + URLHome;
        const QString notFound = VbErrors::make(VbErrors::FileNotFound).description;
        QTest::newRow("no browser") << ""
                                    << "Cannot find Web Browser." + goHome
                                    << int(Prompts::vbExclamation) << "Browser not found";
        QTest::newRow("program missing")
            << "/nonexistent/browser"
            << "Can't start Web browser. Error: 53  Description: " + notFound
            << int(Prompts::vbOKOnly)
            << "Error running shell.\r\nError 53\r\nDescription: " + notFound;
        QTest::newRow("program does not start")
            << "{plain}"
            << "Cannot start Web Browser." + goHome << int(Prompts::vbExclamation) << "AppID: 0";
    }
    void startBrowserFailures()
    {
        QFETCH(QString, defaultBrowser);
        QFETCH(QString, box);
        m_desktop->writeFile(QStringLiteral("plain"), QStringLiteral("not a program"));
        defaultBrowser.replace(QStringLiteral("{plain}"),
                               m_desktop->root() + QStringLiteral("/plain"));
        ScriptedAssociations associations(
            defaultBrowser.isEmpty() ? Shell::NoAssociation : Shell::Found, defaultBrowser);

        QVERIFY(!StartBrowser(QStringLiteral("http://127.0.0.1:9/"), false));
        QCOMPARE(m_prompts->texts(), QStringList{box});
        QTEST(m_prompts->shown().first().buttons, "buttons");
        QTEST(log().last(), "logLine");
    }

    void startIEWindow_data()
    {
        // Without an automation browser, errors are not logged either.
        columns<bool, int, QString>("installed", "errorNumber", "description");
        tableRow("opened", true, 0, "");
        tableRow("automation error", true, 70, "Browser went away");
        tableRow("no automation browser", false, 429,
                 "The automation browser could not be created");
    }
    void startIEWindow()
    {
        QFETCH(bool, installed);
        QFETCH(int, errorNumber);
        QFETCH(QString, description);
        modMain::ErrorMode = installed;
        QStringList opened;
        if (installed) {
            SetAutomationWindowOpener([&](const QString& address) {
                opened.append(address);
                return VbError{errorNumber, description};
            });
        }

        QCOMPARE(StartIEWindow(QStringLiteral("http://127.0.0.1/a"), QStringLiteral("#b")),
                 errorNumber == 0);
        QCOMPARE(StartBrowser(QStringLiteral("http://127.0.0.1/c"), true), errorNumber == 0);
        if (installed)
            QCOMPARE(opened, (QStringList{"http://127.0.0.1/a#b", "http://127.0.0.1/c"}));

        const QString number = QString::number(errorNumber);
        const QString box = "Can't start Web browser." + CRLF + "Error " + number + CRLF +
                            "Description: " + description;
        const QString line = "IE OLE error: " + number + "  Description: " + description;
        const bool failed = errorNumber != 0;
        QCOMPARE(m_prompts->texts(), failed ? (QStringList{box, box}) : QStringList());
        QCOMPARE(log(), failed && installed ? (QStringList{line, line}) : QStringList());
    }

    // Entries a.desktop (browser-a %U, in data-home) and b.desktop (browser-b
    // %u, in data-dir) are there unless a row gives them.
    void desktopAssociation_data()
    {
        columns<QString, Files, int, QString>("desktop", "files", "code", "expected");
        const QString a = QStringLiteral("data-home/applications/a.desktop");
        const QString entry = QStringLiteral("[Desktop Entry]\nType=Application\nExec=");
        const QString defaultA = QStringLiteral("[Default Applications]\ntext/html=a.desktop\n");
        const QString defaultB = QStringLiteral("[Default Applications]\ntext/html=b.desktop\n");
        const QString configList = QStringLiteral("config-home/mimeapps.list");
        const QString dataList = QStringLiteral("data-dir/applications/mimeapps.list");
        const QString docA = QStringLiteral("{bin}/browser-a {doc}");
        const QString docB = QStringLiteral("{bin}/browser-b {doc}");
        const auto row = [](const char* tag, const Files& files, const QString& expected,
                            int code = Shell::Found, const char* desktop = "") {
            QTest::newRow(tag) << QString(desktop) << files << code << expected;
        };
        row("document passed", {{configList, defaultA}}, docA);
        row("document quoted",
            {{configList, defaultA}, {a, entry + "{bin}/browser-a --x \"%u\"\n"}},
            "{bin}/browser-a \"%1\"");
        row("program alone", {{configList, defaultA}, {a, entry + "browser-a --flag\n"}},
            "{bin}/browser-a");
        row("quoted, escaped", {{configList, defaultA}, {a, entry + "\"{bin}/my\\sbrowser\" %U\n"}},
            "{bin}/my browser {doc}");
        row("config home before data dirs", {{configList, defaultA}, {dataList, defaultB}}, docA);
        row("config dirs before data home",
            {{"config-dir/mimeapps.list", defaultB},
             {"data-home/applications/mimeapps.list", defaultA}},
            docB);
        row("desktop's own list first",
            {{configList, defaultA}, {"config-home/test-mimeapps.list", defaultB}}, docB,
            Shell::Found, "Test:Other");
        row("missing and hidden skipped",
            {{configList, "[Default Applications]\ntext/html=gone.desktop;a.desktop;b.desktop;\n"},
             {a, entry + "{bin}/browser-a %U\nHidden=true\n"}},
            docB);
        row("lower default before higher added",
            {{configList, "[Added Associations]\ntext/html=a.desktop\n"}, {dataList, defaultB}},
            docB);
        row("removed association skipped",
            {{configList, "[Removed Associations]\ntext/html=a.desktop\n"},
             {dataList, "[Added Associations]\ntext/html=a.desktop;b.desktop\n"}},
            docB);
        row("applications cache last",
            {{"data-dir/applications/mimeinfo.cache", "[MIME Cache]\ntext/html=b.desktop;\n"}},
            docB);
        row("no association", {}, "", Shell::NoAssociation);
        row("missing document", {{configList, defaultA}}, "", Shell::FileNotFound);
        row("program not installed",
            {{configList, defaultA}, {a, entry + "/nonexistent/browser %U\n"}}, "",
            Shell::NoAssociation);
    }
    void desktopAssociation()
    {
        QFETCH(QString, desktop);
        QFETCH(Files, files);
        QFETCH(int, code);
        QFETCH(QString, expected);
        DesktopSandbox sandbox;
        if (!desktop.isEmpty())
            sandbox.environment().set("XDG_CURRENT_DESKTOP", desktop);
        const QString entry = QStringLiteral("[Desktop Entry]\nType=Application\nExec={bin}/");
        Files all{{QStringLiteral("data-home/applications/a.desktop"), entry + "browser-a %U\n"},
                  {QStringLiteral("data-dir/applications/b.desktop"), entry + "browser-b %u\n"}};
        all.insert(files);
        for (const char* program : {"browser-a", "browser-b", "my browser"})
            sandbox.addProgram(QLatin1String(program));
        for (auto it = all.cbegin(); it != all.cend(); ++it)
            sandbox.writeFile(it.key(), it.value());
        if (code != Shell::FileNotFound)
            sandbox.writeFile(QStringLiteral("app/test.htm"), QStringLiteral("<html></html>"));

        QString result = QStringLiteral("stale");
        QCOMPARE(Shell::FindExecutable(QStringLiteral("test.htm"), sandbox.root() + "/app", result),
                 code);
        QCOMPARE(result, expected.replace(QStringLiteral("{bin}"), sandbox.binDir())
                             .replace(QStringLiteral("{doc}"), sandbox.root() + "/app/test.htm"));
    }

    void browserFlags_data()
    {
        columns<QString, QString, QStringList>("program", "environment", "flags");
        const bool root = ::geteuid() == 0;
        tableRow("chrome", "/opt/google/chrome/google-chrome", "",
                 root ? QStringList{"--no-sandbox"} : QStringList());
        tableRow("firefox", "/usr/bin/firefox", "--a \"--b=c d\"", QStringList{"--a", "--b=c d"});
        tableRow("chromium", "/usr/bin/chromium", "--no-sandbox --headless=new",
                 QStringList{"--no-sandbox", "--headless=new"});
    }
    void browserFlags()
    {
        QFETCH(QString, program);
        QFETCH(QString, environment);
        EnvironmentGuard guard;
        guard.set("PAGEWHEEL_BROWSER_FLAGS", environment);
        QTEST(Shell::browserFlags(program), "flags");
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
        // After "Loading DDE App:_FAKE_ Exe:_{program}_"; {quitter} ends at once.
        columns<QString, QStringList>("executable", "logLines");
        const QString started = QStringLiteral("Starting new DDE instance of: ");
        tableRow("browser ends at once", "{quitter}",
                 QStringList{started + "{quitter}", "load_DDE Error: 282 Desc: " + NoServerText});
        tableRow(
            "not registered", "nosuchbrowser",
            QStringList{"Browser not found", "DDE Application  nosuchbrowser is not registered."});
        tableRow("program missing", "/nonexistent/browser",
                 QStringList{started + "/nonexistent/browser",
                             "load_DDE Error with shell: 53 Desc: " +
                                 VbErrors::make(VbErrors::FileNotFound).description});
    }
    void connectFailures()
    {
        QFETCH(QString, executable);
        QFETCH(QStringList, logLines);
        const QString quitter = m_desktop->binDir() + QStringLiteral("/quitter-") +
                                QFileInfo(m_browser->program()).fileName();
        QVERIFY(QFile::copy(QStringLiteral("/bin/true"), quitter));
        executable.replace(QStringLiteral("{quitter}"), quitter);
        logLines.prepend("Loading DDE App:_FAKE_ Exe:_" + executable + "_");
        DdeLink link;
        QVERIFY(!DDEConnect(link, executable, QStringLiteral("FAKE")));
        QCOMPARE(withoutPauses(log()),
                 logLines.replaceInStrings(QStringLiteral("{quitter}"), quitter));
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
    void browseAndValidate()
    {
        m_options->AutoMode = 6;
        m_options->AutoDDEexe = QStringLiteral("old");
        m_options->AutoDDEapp = QStringLiteral("oldapp");
        // OK without a change touches nothing.
        openDialog();
        QVERIFY(control<QRadioButton>(QStringLiteral("optBrowser6"))->isChecked());
        QCOMPARE(control<QLabel>(QStringLiteral("lblAutomation"))->text(), QStringLiteral("DDE"));
        control<QPushButton>(QStringLiteral("cmdOK"))->click();
        QCOMPARE(m_dialog->result(), int(QDialog::Accepted));
        QVERIFY(m_prompts->shown().isEmpty() && !m_dialog->switched() && !m_options->Changed);

        openDialog();
        QLineEdit* executable = control<QLineEdit>(QStringLiteral("txtDDEexe"));
        QLineEdit* application = control<QLineEdit>(QStringLiteral("txtDDEApp"));
        // Browsing starts from the program named; cancelled, it changes nothing.
        m_files->cancel();
        control<QPushButton>(QStringLiteral("cmdBrowse"))->click();
        QCOMPARE(m_files->requests().first().FileName, QStringLiteral("old"));
        QCOMPARE((QStringList{executable->text(), application->text()}),
                 (QStringList{"old", "oldapp"}));
        QVERIFY(!m_dialog->changed());

        // The application follows the file's name.
        const QString folder = m_desktop->binDir() + u'/';
        const struct
        {
            QString file;
            QStringList fields;
            QString box;
        } browsing[] = {{"Fake.EXE", {folder + "Fake.EXE", "Fake"}, ""},
                        {"mybrowser", {folder + "mybrowser", "mybrowser"}, ""},
                        {"gone", {folder + "gone", "gone"}, "File does not exist"}};
        for (const auto& [file, fields, box] : browsing) {
            const QString before = executable->text();
            m_prompts->clear();
            m_files->clear();
            m_files->chooseFile(file == "gone" ? folder + file : m_desktop->addProgram(file));
            control<QPushButton>(QStringLiteral("cmdBrowse"))->click();
            QCOMPARE(m_files->requests().size(), 1);
            QCOMPARE(m_files->requests().first().FileName, before);
            QCOMPARE((QStringList{executable->text(), application->text()}), fields);
            QCOMPARE(m_prompts->texts(), box.isEmpty() ? QStringList() : QStringList{box});
            QVERIFY(m_dialog->changed());
        }

        // executable: "{browser}" is the test browser; focus: where the focus goes.
        const QString notInstalled =
            QStringLiteral("Browser selected,Netscape.exe, is not installed or registered on this "
                           "computer.\r\nSelect another browser or Cancel and check browser "
                           "installation.");
        const Validation checks[] = {
            {5, "", "", notInstalled, "Browser Not Found", ""},
            {6, "", "fake", "No DDE Program selected.", "Field Error", "txtDDEexe"},
            {6, "nosuchbrowser", "fake",
             "Program nosuchbrowser\r\ndoes not exist or is not registered.", "", ""},
            {6, "{browser}", "", "No DDE Application selected.", "Field Error", "txtDDEApp"},
            {6, "{browser}", "fake", "", "", ""}};
        for (Validation c : checks) {
            m_prompts->clear();
            control<QPushButton>(QStringLiteral("cmdOK"))->setFocus();
            control<QRadioButton>(QStringLiteral("optBrowser%1").arg(c.choice))->click();
            QCOMPARE(executable->isEnabled(), c.choice == 6);
            executable->setText(
                c.executable.replace(QStringLiteral("{browser}"), m_browser->program()));
            application->setText(c.application);
            QCOMPARE(m_dialog->Validate(), c.box.isEmpty());
            QCOMPARE(m_prompts->texts(), c.box.isEmpty() ? QStringList() : QStringList{c.box});
            if (!c.box.isEmpty()) {
                const Prompts::Request& shown = m_prompts->shown().first();
                QCOMPARE(shown.buttons & Prompts::vbExclamation, Prompts::vbExclamation);
                if (!c.title.isEmpty())
                    QCOMPARE(shown.title, c.title);
            }
            if (!c.focus.isEmpty())
                QTRY_COMPARE(QApplication::focusWidget()->objectName(), c.focus);
        }
    }

    void switchToOwnProgram()
    {
        // The window drives the test browser through its remote-open line.
        m_options->AutoMode = 6;
        m_options->AutoDDEexe = m_browser->program();
        m_options->AutoDDEapp = QStringLiteral("fake");
        connection().UseDDE = true;
        QVERIFY(connection().load_Browser(connection().UseOLE, connection().UseDDE,
                                          m_options->AutoDDEapp, m_options->AutoDDEexe));
        QTRY_VERIFY_WITH_TIMEOUT(m_browser->instancePid() > 0, 5000);
        const qint64 old = m_browser->instancePid();

        // A copy of the test browser under another name becomes the choice.
        FakeBrowser other(m_desktop->root() + QStringLiteral("/other"), QStringLiteral("otherweb"));
        openDialog();
        control<QLineEdit>(QStringLiteral("txtDDEexe"))->setText(other.program());
        QTest::keyClicks(control<QLineEdit>(QStringLiteral("txtDDEApp")), QStringLiteral("x"));
        control<QLineEdit>(QStringLiteral("txtDDEApp"))->setText(QStringLiteral("otherweb"));

        // Test reports on the names in the boxes and leaves the window's browser be.
        m_desktop->environment().set("PAGEWHEEL_BROWSER_FLAGS", other.profileFlag());
        m_prompts->answer(Prompts::vbOK);
        control<QPushButton>(QStringLiteral("cmdTest"))->click();
        QCOMPARE(m_prompts->shown().last().title, QStringLiteral("Test Complete"));
        QVERIFY(processAlive(old));

        // Cancel on the confirmation keeps everything as it was.
        m_prompts->clear();
        m_prompts->answer(Prompts::vbCancel);
        control<QPushButton>(QStringLiteral("cmdOK"))->click();
        QCOMPARE(m_prompts->texts(), QStringList{QStringLiteral("Reseting to new browser.")});
        QVERIFY(m_dialog->isVisible());
        QCOMPARE(m_options->AutoDDEexe, m_browser->program());
        QVERIFY(processAlive(old));

        m_prompts->answer(Prompts::vbOK);
        control<QPushButton>(QStringLiteral("cmdOK"))->click();
        QVERIFY(m_dialog->switched());
        QCOMPARE(m_options->AutoMode, qint16(6));
        QCOMPARE(m_options->AutoDDEexe, other.program());
        QCOMPARE(m_options->AutoDDEapp, QStringLiteral("otherweb"));
        QVERIFY(m_options->Changed);
        QTRY_VERIFY_WITH_TIMEOUT(!processAlive(old), 5000);
        QTRY_VERIFY_WITH_TIMEOUT(other.instancePid() > 0, 5000);
    }
};

QTEST_MAIN(tst_BrowserLink)
#include "tst_BrowserLink.moc"
