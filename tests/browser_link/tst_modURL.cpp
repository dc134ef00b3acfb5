// SPDX-License-Identifier: GPL-3.0-or-later
#include "BrowserTestKit.h"
#include "LogCapture.h"
#include "browser/modURL.h"
#include "platform/ScriptedPrompts.h"
#include "platform/Shell.h"
#include "startup/modMain.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include <unistd.h>

using namespace modURL;
using Files = QMap<QString, QString>;

namespace {

const QString CRLF = QStringLiteral("\r\n");

/// Answers the association lookup from a script and counts the questions.
class ScriptedAssociations final : public Shell::Associations
{
public:
    ScriptedAssociations(int code, const QString& answer) : m_code(code), m_answer(answer)
    {
        Shell::setAssociations(this);
    }
    ~ScriptedAssociations() override { Shell::setAssociations(nullptr); }

    int findExecutable(const QString& file, const QString& directory, QString& result) override
    {
        asked = QStringList{file, directory};
        result = m_answer;
        return m_code;
    }

    QStringList asked; // the last question

private:
    int m_code;
    QString m_answer;
};

} // namespace

class tst_modURL : public QObject
{
    Q_OBJECT

    QStringList log() const { return m_log->messages(); }

    QTemporaryDir* m_appDir = nullptr;
    DesktopSandbox* m_desktop = nullptr;
    ScriptedPrompts* m_prompts = nullptr;
    LogCapture* m_log = nullptr;

private Q_SLOTS:
    void init()
    {
        modMain::ResetProgramState();
        m_appDir = new QTemporaryDir;
        m_desktop = new DesktopSandbox;
        m_prompts = new ScriptedPrompts;
        modMain::SetProgramFolder(m_appDir->path());
        QFile page(modMain::AppFolder + TestFile);
        QVERIFY(page.open(QIODevice::WriteOnly));
        page.write("<html><body>test</body></html>");
        page.close();
        m_log = new LogCapture(m_appDir->path(), false, false);
    }

    void cleanup()
    {
        SetAutomationWindowOpener({});
        delete m_log;
        delete m_prompts;
        delete m_desktop;
        delete m_appDir;
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
        FakeBrowser browser(m_desktop->root() + QStringLiteral("/browser"));
        m_desktop->setDefaultBrowser(browser.program(), QStringLiteral("%U"));
        m_desktop->environment().set("PAGEWHEEL_BROWSER_FLAGS", browser.profileFlag());

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
        columns<bool, int, QString, bool>("installed", "errorNumber", "description", "errorMode");
        QTest::newRow("opened") << true << 0 << "" << true;
        QTest::newRow("automation error") << true << 70 << "Browser went away" << true;
        QTest::newRow("no error log, no automation browser")
            << false << 429 << "The automation browser could not be created" << false;
    }
    void startIEWindow()
    {
        QFETCH(bool, installed);
        QFETCH(int, errorNumber);
        QFETCH(QString, description);
        QFETCH(bool, errorMode);
        modMain::ErrorMode = errorMode;
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
        QCOMPARE(log(), failed && errorMode ? (QStringList{line, line}) : QStringList());
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
};

QTEST_GUILESS_MAIN(tst_modURL)
#include "tst_modURL.moc"
