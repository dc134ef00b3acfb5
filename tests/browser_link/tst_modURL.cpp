// SPDX-License-Identifier: GPL-3.0-or-later
#include "BrowserTestKit.h"
#include "LogCapture.h"
#include "browser/modURL.h"
#include "platform/ScriptedPrompts.h"
#include "platform/Shell.h"
#include "startup/modMain.h"

#include <QTest>

using namespace modURL;

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
        ++asked;
        askedFile = file;
        askedDirectory = directory;
        result = m_answer;
        return m_code;
    }

    int asked = 0;
    QString askedFile;
    QString askedDirectory;

private:
    int m_code;
    QString m_answer;
};

} // namespace

class tst_modURL : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void configBrowser_data();
    void configBrowser();
    void trimNulls_data();
    void trimNulls();
    void findDefaultBrowser_data();
    void findDefaultBrowser();
    void findDefaultBrowserOnDesktop_data();
    void findDefaultBrowserOnDesktop();
    void locateBrowserExe_data();
    void locateBrowserExe();
    void buildBrowserCommand_data();
    void buildBrowserCommand();
    void startBrowserStartsDefaultBrowser();
    void startBrowserFailures_data();
    void startBrowserFailures();
    void startIEWindow_data();
    void startIEWindow();

private:
    QStringList log() const { return m_log->messages(); }

    QTemporaryDir* m_appDir = nullptr;
    DesktopSandbox* m_desktop = nullptr;
    ScriptedPrompts* m_prompts = nullptr;
    LogCapture* m_log = nullptr;
};

void tst_modURL::init()
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

void tst_modURL::cleanup()
{
    SetAutomationWindowOpener({});
    delete m_log;
    delete m_prompts;
    delete m_desktop;
    delete m_appDir;
}

void tst_modURL::configBrowser_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("useOLE");
    QTest::addColumn<bool>("useDDE");
    QTest::addColumn<QString>("app");
    QTest::addColumn<QString>("exe");

    // Each row starts from OLE and DDE both on and the user's own names.
    QTest::newRow("0 IE 2") << 0 << false << true << "MOSAIC"
                            << "IExplore.exe";
    QTest::newRow("1 IE 3") << 1 << false << true << "IEXPLORE"
                            << "IExplore.exe";
    QTest::newRow("2 IE 4/5") << 2 << true << false << "IEXPLORE"
                              << "IExplore.exe";
    QTest::newRow("3 NS 2") << 3 << false << true << "NETSCAPE"
                            << "Netscape.exe";
    QTest::newRow("4 NS 3") << 4 << false << true << "NETSCAPE"
                            << "Netscape.exe";
    QTest::newRow("5 NS 4") << 5 << false << true << "NETSCAPE"
                            << "Netscape.exe";
    QTest::newRow("6 other") << 6 << false << true << "USERAPP"
                             << "user.exe";
    QTest::newRow("7 out of range") << 7 << true << true << "USERAPP"
                                    << "user.exe";
    QTest::newRow("-1 out of range") << -1 << true << true << "USERAPP"
                                     << "user.exe";
}

void tst_modURL::configBrowser()
{
    QFETCH(int, mode);
    QFETCH(bool, useOLE);
    QFETCH(bool, useDDE);
    QFETCH(QString, app);
    QFETCH(QString, exe);

    bool ole = true;
    bool dde = true;
    QString application = QStringLiteral("USERAPP");
    QString executable = QStringLiteral("user.exe");
    config_Browser(qint16(mode), ole, dde, application, executable);
    QCOMPARE(ole, useOLE);
    QCOMPARE(dde, useDDE);
    QCOMPARE(application, app);
    QCOMPARE(executable, exe);
}

void tst_modURL::trimNulls_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");

    const QChar nul(0);
    QTest::newRow("trailing NULs") << QString("abc" + QString(3, nul)) << "abc";
    QTest::newRow("inner NUL kept")
        << QString("a" + QString(nul) + "b" + QString(nul)) << QString("a" + QString(nul) + "b");
    QTest::newRow("blanks kept") << QString("ab  " + QString(nul)) << "ab  ";
    QTest::newRow("nothing to trim") << "abc"
                                     << "abc";
    QTest::newRow("empty") << ""
                           << "";
    QTest::newRow("NULs only come back") << QString(4, nul) << QString(4, nul);
}

void tst_modURL::trimNulls()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(TrimNulls(text), expected);
}

void tst_modURL::findDefaultBrowser_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("buffer");
    QTest::addColumn<bool>("found");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("logLine");

    QTest::newRow("case 1, quoted %1") << 42 << "C:\\X\\B.EXE \"%1\"" << true << "C:\\X\\B.EXE"
                                       << "FullPath(CASE 1):_C:\\X\\B.EXE_ Position:_12_|";
    QTest::newRow("case 1, blanks before the quote")
        << 42 << "/usr/bin/b   \"%1\"" << true << "/usr/bin/b"
        << "FullPath(CASE 1):_/usr/bin/b  _ Position:_14_|";
    QTest::newRow("case 2, drive letters")
        << 42 << "C:\\X\\B.EXE C:\\D\\test.htm" << true << "C:\\X\\B.EXE"
        << "FullPath (CASE 2):_C:\\X\\B.EXE_ Position:_13_|";
    QTest::newRow("case 2, name in capitals")
        << 42 << "C:\\X\\B.EXE C:\\D\\TEST.HTM" << true << "C:\\X\\B.EXE"
        << "FullPath (CASE 2):_C:\\X\\B.EXE_ Position:_13_|";
    QTest::newRow("case 2, root path")
        << 42 << "/opt/b/browser /srv/app/test.htm" << true << "/opt/b/browser"
        << "FullPath (CASE 2):_/opt/b/browser_ Position:_16_|";
    QTest::newRow("case 2, no path start")
        << 42 << "browser test.htm" << false << ""
        << "Find Browser(CASE 2 ERROR): path not found in _browser test.htm_|";
    QTest::newRow("case 3") << 42 << "C:\\X\\B.EXE" << true << "C:\\X\\B.EXE"
                            << "FullPath(CASE 3):_C:\\X\\B.EXE_|";
    QTest::newRow("case 3, quote at the start")
        << 42 << "\"C:\\X\\B.EXE\"" << true << "\"C:\\X\\B.EXE\""
        << "FullPath(CASE 3):_\"C:\\X\\B.EXE\"_|";
    QTest::newRow("return 32 is found") << 32 << "/usr/bin/b" << true << "/usr/bin/b"
                                        << "FullPath(CASE 3):_/usr/bin/b_|";
    QTest::newRow("return 31") << 31 << "C:\\X\\B.EXE" << false << ""
                               << "Browser not found";
    QTest::newRow("return 2") << 2 << "" << false << ""
                              << "Browser not found";
}

void tst_modURL::findDefaultBrowser()
{
    QFETCH(int, code);
    QFETCH(QString, buffer);
    QFETCH(bool, found);
    QFETCH(QString, path);
    QFETCH(QString, logLine);

    ScriptedAssociations associations(code, buffer);
    QString result;
    QCOMPARE(FindDefaultBrowser(result), found);
    QCOMPARE(result, path);
    QCOMPARE(log(), QStringList{logLine});
    QCOMPARE(associations.askedFile, QStringLiteral("test.htm"));
    QCOMPARE(associations.askedDirectory, modMain::AppFolder);
    QVERIFY(m_prompts->shown().isEmpty());
}

void tst_modURL::findDefaultBrowserOnDesktop_data()
{
    QTest::addColumn<QString>("arguments");
    QTest::addColumn<QString>("logLine");

    QTest::newRow("document passed") << "%U"
                                     << "FullPath (CASE 2):_{program}_ Position:_{pos}_|";
    QTest::newRow("document quoted") << "\"%u\""
                                     << "FullPath(CASE 1):_{program}_ Position:_{pos}_|";
    QTest::newRow("program alone") << "--new-window"
                                   << "FullPath(CASE 3):_{program}_|";
}

void tst_modURL::findDefaultBrowserOnDesktop()
{
    QFETCH(QString, arguments);
    QFETCH(QString, logLine);

    const QString program = m_desktop->addProgram(QStringLiteral("webbrowser"));
    m_desktop->setDefaultBrowser(program, arguments);
    QString result;
    QVERIFY(FindDefaultBrowser(result));
    QCOMPARE(result, program);
    // Either the quote or the document's "/" follows the program and a blank.
    const QString position = QString::number(program.size() + 2);
    QCOMPARE(log(), QStringList{QString(logLine)
                                    .replace(QStringLiteral("{program}"), program)
                                    .replace(QStringLiteral("{pos}"), position)});
}

void tst_modURL::locateBrowserExe_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("installed");
    QTest::addColumn<QString>("defaultBrowser");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QStringList>("logLines");
    QTest::addColumn<bool>("box");

    const QStringList none;
    QTest::newRow("drive path unchanged") << "C:\\B\\x.exe" << none << "C:\\IE\\IEXPLORE.EXE"
                                          << "C:\\B\\x.exe" << none << false;
    QTest::newRow("absolute path unchanged") << "/opt/b/x" << none << "C:\\IE\\IEXPLORE.EXE"
                                             << "/opt/b/x" << none << false;
    QTest::newRow("IE is the Chromium-family browser")
        << "IExplore.exe" << QStringList{"chromium"} << ""
        << "{bin}/chromium" << none << false;
    QTest::newRow("Netscape is Firefox") << "Netscape.exe" << QStringList{"firefox-esr"} << ""
                                         << "{bin}/firefox-esr" << none << false;
    QTest::newRow("other name on PATH") << "Opera.exe" << QStringList{"opera"} << ""
                                        << "{bin}/opera" << none << false;
    QTest::newRow("Netscape registered as default")
        << "Netscape.exe" << none << "C:\\NS\\NETSCAPE.EXE"
        << "C:\\NS\\NETSCAPE.EXE"
        << QStringList{"FullPath(CASE 3):_C:\\NS\\NETSCAPE.EXE_|",
                       "Browser is at  _C:\\NS\\NETSCAPE.EXE_",
                       "Netscape Browser is registered as default browser."}
        << false;
    QTest::newRow("IE registered, -nohome dropped")
        << "IExplore.exe" << none << "C:\\IE\\IEXPLORE.EXE -nohome"
        << "C:\\IE\\IEXPLORE.EXE"
        << QStringList{"FullPath(CASE 3):_C:\\IE\\IEXPLORE.EXE -nohome_|",
                       "Browser is at  _C:\\IE\\IEXPLORE.EXE -nohome_",
                       "InternetExplorer is registered as default browser."}
        << false;
    QTest::newRow("Chromium default stands for IE")
        << "IExplore.exe" << none << "/usr/lib/chromium/chromium"
        << "/usr/lib/chromium/chromium"
        << QStringList{"FullPath(CASE 3):_/usr/lib/chromium/chromium_|",
                       "Browser is at  _/usr/lib/chromium/chromium_",
                       "InternetExplorer is registered as default browser."}
        << false;
    QTest::newRow("Firefox default stands for Netscape")
        << "Netscape.exe" << none << "/usr/bin/firefox"
        << "/usr/bin/firefox"
        << QStringList{"FullPath(CASE 3):_/usr/bin/firefox_|", "Browser is at  _/usr/bin/firefox_",
                       "Netscape Browser is registered as default browser."}
        << false;
    QTest::newRow("other default browser")
        << "Netscape.exe" << none << "/opt/other/browser"
        << ""
        << QStringList{"FullPath(CASE 3):_/opt/other/browser_|",
                       "Browser is at  _/opt/other/browser_", "Other Browser found"}
        << true;
    QTest::newRow("no browser at all") << "IExplore.exe" << none << ""
                                       << "" << QStringList{"Browser not found"} << false;
}

void tst_modURL::locateBrowserExe()
{
    QFETCH(QString, name);
    QFETCH(QStringList, installed);
    QFETCH(QString, defaultBrowser);
    QFETCH(QString, expected);
    QFETCH(QStringList, logLines);
    QFETCH(bool, box);

    for (const QString& program : installed)
        m_desktop->addProgram(program);
    ScriptedAssociations associations(
        defaultBrowser.isEmpty() ? Shell::NoAssociation : Shell::Found, defaultBrowser);

    QCOMPARE(LocateBrowserExe(name),
             expected.replace(QStringLiteral("{bin}"), m_desktop->binDir()));
    QCOMPARE(log(), logLines);
    if (box) {
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
    QCOMPARE(associations.asked > 0, !logLines.isEmpty());
}

void tst_modURL::buildBrowserCommand_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("extra");
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("pathAfter");
    QTest::addColumn<QString>("logLine");

    const QString address = QStringLiteral("http://127.0.0.1/a.htm");
    QTest::newRow("Netscape") << "C:\\NS\\NETSCAPE.EXE"
                              << "#top"
                              << "\"C:\\NS\\NETSCAPE.EXE\" " + address + "#top"
                              << "C:\\NS\\NETSCAPE.EXE"
                              << "Netscape Browser!";
    QTest::newRow("IE, -nohome dropped") << "C:\\IE\\IEXPLORE.EXE -nohome"
                                         << "#top"
                                         << "\"C:\\IE\\IEXPLORE.EXE\" " + address + "#top"
                                         << "C:\\IE\\IEXPLORE.EXE"
                                         << "InternetExplorer!";
    QTest::newRow("IE in lower case")
        << "c:\\ie\\iexplore.exe"
        << ""
        << "\"c:\\ie\\iexplore.exe\" " + address << "c:\\ie\\iexplore.exe"
        << "InternetExplorer!";
    QTest::newRow("Chromium as IE") << "/usr/bin/chromium"
                                    << "#top"
                                    << "\"/usr/bin/chromium\" " + address + "#top"
                                    << "/usr/bin/chromium"
                                    << "InternetExplorer!";
    QTest::newRow("Firefox as Netscape") << "/usr/bin/firefox-esr"
                                         << "#top"
                                         << "\"/usr/bin/firefox-esr\" " + address + "#top"
                                         << "/usr/bin/firefox-esr"
                                         << "Netscape Browser!";
    QTest::newRow("other, extra not passed, blanks trimmed")
        << "/opt/other/browser  "
        << "#top"
        << "\"/opt/other/browser\" " + address << "/opt/other/browser"
        << "Other Browser";
}

void tst_modURL::buildBrowserCommand()
{
    QFETCH(QString, path);
    QFETCH(QString, extra);
    QFETCH(QString, command);
    QFETCH(QString, pathAfter);
    QFETCH(QString, logLine);

    const QString address = QStringLiteral("http://127.0.0.1/a.htm");
    if (extra.isEmpty())
        QCOMPARE(BuildBrowserCommand(path, address), command);
    else
        QCOMPARE(BuildBrowserCommand(path, address, extra), command);
    QCOMPARE(path, pathAfter);
    QCOMPARE(log(), QStringList{logLine});
}

void tst_modURL::startBrowserStartsDefaultBrowser()
{
    FakeBrowser browser(m_desktop->root() + QStringLiteral("/browser"));
    m_desktop->setDefaultBrowser(browser.program(), QStringLiteral("%U"));
    m_desktop->environment().set("PAGEWHEEL_BROWSER_FLAGS", browser.profileFlag());

    const QString address = QStringLiteral("http://127.0.0.1:9/start.htm");
    QVERIFY(StartBrowser(address, false));
    QTRY_COMPARE_WITH_TIMEOUT(browser.addresses(), QStringList{address}, 5000);
    QVERIFY(m_prompts->shown().isEmpty());

    const QStringList lines = log();
    QCOMPARE(lines.size(), 4);
    QVERIFY(lines[0].startsWith(QStringLiteral("FullPath (CASE 2):_") + browser.program()));
    QCOMPARE(lines[1], QStringLiteral("Other Browser"));
    QCOMPARE(lines[2], "Starting Browser with  _\"" + browser.program() + "\" " + address + "_");
    QCOMPARE(lines[3], QStringLiteral("AppID: ") + QString::number(browser.instancePid()));
}

void tst_modURL::startBrowserFailures_data()
{
    QTest::addColumn<QString>("defaultBrowser");
    QTest::addColumn<QString>("box");
    QTest::addColumn<int>("buttons");
    QTest::addColumn<QString>("logLine");

    const QString goHome = CRLF + QStringLiteral("Start browser and go to ") + URLHome;
    const QString notFound = VbErrors::make(VbErrors::FileNotFound).description;
    QTest::newRow("no browser") << ""
                                << "Cannot find Web Browser." + goHome
                                << int(Prompts::vbExclamation) << "Browser not found";
    QTest::newRow("program missing")
        << "/nonexistent/browser"
        << "Can't start Web browser. Error: 53  Description: " + notFound << int(Prompts::vbOKOnly)
        << "Error running shell.\r\nError 53\r\nDescription: " + notFound;
    QTest::newRow("program does not start")
        << "{plain}"
        << "Cannot start Web Browser." + goHome << int(Prompts::vbExclamation) << "AppID: 0";
}

void tst_modURL::startBrowserFailures()
{
    QFETCH(QString, defaultBrowser);
    QFETCH(QString, box);
    QFETCH(int, buttons);
    QFETCH(QString, logLine);

    m_desktop->writeFile(QStringLiteral("plain"), QStringLiteral("not a program"));
    defaultBrowser.replace(QStringLiteral("{plain}"), m_desktop->root() + QStringLiteral("/plain"));
    ScriptedAssociations associations(
        defaultBrowser.isEmpty() ? Shell::NoAssociation : Shell::Found, defaultBrowser);

    QVERIFY(!StartBrowser(QStringLiteral("http://127.0.0.1:9/"), false));
    QCOMPARE(m_prompts->texts(), QStringList{box});
    QCOMPARE(m_prompts->shown().first().buttons, buttons);
    QCOMPARE(m_prompts->shown().first().title, Prompts::applicationTitle());
    QCOMPARE(log().last(), logLine);
}

void tst_modURL::startIEWindow_data()
{
    QTest::addColumn<bool>("installed");
    QTest::addColumn<int>("errorNumber");
    QTest::addColumn<QString>("description");
    QTest::addColumn<bool>("errorMode");

    QTest::newRow("opened") << true << 0 << "" << true;
    QTest::newRow("automation error") << true << 70 << "Browser went away" << true;
    QTest::newRow("automation error, no error log") << true << 70 << "Browser went away" << false;
    QTest::newRow("no automation browser")
        << false << 429 << "The automation browser could not be created" << true;
}

void tst_modURL::startIEWindow()
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
    // StartBrowser with automation opens the address alone.
    QCOMPARE(StartBrowser(QStringLiteral("http://127.0.0.1/c"), true), errorNumber == 0);
    if (installed)
        QCOMPARE(opened, (QStringList{"http://127.0.0.1/a#b", "http://127.0.0.1/c"}));

    if (errorNumber == 0) {
        QVERIFY(m_prompts->shown().isEmpty());
        QVERIFY(log().isEmpty());
        return;
    }
    const QString number = QString::number(errorNumber);
    const QString box = "Can't start Web browser." + CRLF + "Error " + number + CRLF +
                        "Description: " + description;
    QCOMPARE(m_prompts->texts(), (QStringList{box, box}));
    QCOMPARE(m_prompts->shown().first().buttons, Prompts::vbOKOnly);
    const QString line = "IE OLE error: " + number + "  Description: " + description;
    QCOMPARE(log(), errorMode ? (QStringList{line, line}) : QStringList());
}

QTEST_GUILESS_MAIN(tst_modURL)
#include "tst_modURL.moc"
