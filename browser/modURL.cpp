// SPDX-License-Identifier: GPL-3.0-or-later
#include "browser/modURL.h"

#include "platform/Prompts.h"
#include "platform/Registry.h"
#include "platform/Shell.h"
#include "startup/modFileTools.h"
#include "startup/modMain.h"

namespace modURL {

const QString TestFile = QStringLiteral("test.htm");
QString URLHome = QStringLiteral("https://pagewheel.example.org/");

namespace {

const QString CRLF = QStringLiteral("\r\n");
const QString AppPathsKey =
    QStringLiteral("Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\");
const QString NavigatorKey = QStringLiteral("Software\\Netscape\\Netscape Navigator");
const QString NoHome = QStringLiteral("-nohome");
// The old association call answered in a buffer of this many characters.
constexpr qsizetype BufferLength = 128;

AutomationWindowOpener& automationWindowOpener()
{
    static AutomationWindowOpener opener;
    return opener;
}

QString withoutTrailingBlanks(QString text)
{
    while (text.endsWith(QLatin1Char(' ')))
        text.chop(1);
    return text;
}

// 1-based position of text in source from a 1-based start, 0 when absent.
qsizetype inStr(qsizetype start, const QString& source, const QString& text,
                Qt::CaseSensitivity cs = Qt::CaseSensitive)
{
    return source.indexOf(text, start - 1, cs) + 1;
}

// Here the old browsers' names stand for today's: Netscape is Firefox and
// Internet Explorer is a Chromium-family browser.
bool isNetscape(const QString& path)
{
    return path.contains(QStringLiteral("NETSCAPE.EXE"), Qt::CaseInsensitive) ||
           Shell::browserFamily(path) == Shell::BrowserFamily::Firefox;
}

bool isInternetExplorer(const QString& path)
{
    return path.contains(QStringLiteral("IEXPLORE.EXE"), Qt::CaseInsensitive) ||
           Shell::browserFamily(path) == Shell::BrowserFamily::Chromium;
}

// A name that is already a path: a separator after its first character,
// or an absolute path.
bool isPath(const QString& name)
{
    return inStr(2, name, QStringLiteral("\\")) > 0 || inStr(2, name, QStringLiteral("/")) > 0 ||
           name.startsWith(QLatin1Char('/')) || name.startsWith(QStringLiteral("~/"));
}

QString navigatorPath(const QString& name)
{
    using Registry::Root;
    const QString version =
        Registry::RegGetString(Root::LocalMachine, NavigatorKey, QStringLiteral("CurrentVersion"));
    const QString folder = Registry::RegGetString(
        Root::LocalMachine, NavigatorKey + QLatin1Char('\\') + version + QStringLiteral("\\Main"),
        QStringLiteral("Install Directory"));
    if (folder.isEmpty())
        return QString();
    return modFileTools::JoinPath(modFileTools::JoinPath(folder, QStringLiteral("Program")), name);
}

} // namespace

void config_Browser(qint16 mode, bool& UseOLE, bool& UseDDE, QString& AutoDDEapp,
                    QString& AutoDDEexe)
{
    const QString explorer = QStringLiteral("IExplore.exe");
    const QString netscape = QStringLiteral("Netscape.exe");
    switch (mode) {
    case 0:
        UseOLE = false;
        UseDDE = true;
        AutoDDEapp = QStringLiteral("MOSAIC");
        AutoDDEexe = explorer;
        break;
    case 1:
        UseOLE = false;
        UseDDE = true;
        AutoDDEapp = QStringLiteral("IEXPLORE");
        AutoDDEexe = explorer;
        break;
    case 2:
        UseOLE = true;
        UseDDE = false;
        AutoDDEapp = QStringLiteral("IEXPLORE");
        AutoDDEexe = explorer;
        break;
    case 3:
    case 4:
    case 5:
        UseOLE = false;
        UseDDE = true;
        AutoDDEapp = QStringLiteral("NETSCAPE");
        AutoDDEexe = netscape;
        break;
    case 6:
        // The user's own link service and program stay as they are.
        UseOLE = false;
        UseDDE = true;
        break;
    default:
        break;
    }
}

void SetAutomationWindowOpener(AutomationWindowOpener opener)
{
    automationWindowOpener() = std::move(opener);
}

bool StartBrowser(const QString& address, bool useOLE)
{
    using namespace Prompts;
    if (useOLE)
        return StartIEWindow(address, QString());

    QString path;
    if (!FindDefaultBrowser(path)) {
        MsgBox(QStringLiteral("Cannot find Web Browser.") + CRLF +
                   QStringLiteral("Start browser and go to ") + URLHome,
               vbExclamation);
        return false;
    }
    // The address stays one word, whatever blanks or quotes it holds.
    const QStringList arguments = BuildBrowserArguments(path, address);
    const QString command =
        QLatin1Char('"') + path + QStringLiteral("\" ") + arguments.join(QLatin1Char(' '));
    modMain::WriteLog(QStringLiteral("Starting Browser with  _") + command + QStringLiteral("_"));
    VbError error;
    const qint64 task = Shell::StartBrowserProgram(path, arguments, &error);
    if (error.isError()) {
        const QString number = QString::number(error.number);
        modMain::WriteLog(QStringLiteral("Error running shell.") + CRLF + QStringLiteral("Error ") +
                          number + CRLF + QStringLiteral("Description: ") + error.description);
        MsgBox(QStringLiteral("Can't start Web browser. Error: ") + number +
               QStringLiteral("  Description: ") + error.description);
        return false;
    }
    modMain::WriteLog(QStringLiteral("AppID: ") + QString::number(task));
    if (task == 0) {
        MsgBox(QStringLiteral("Cannot start Web Browser.") + CRLF +
                   QStringLiteral("Start browser and go to ") + URLHome,
               vbExclamation);
        return false;
    }
    return true;
}

bool StartIEWindow(const QString& address, const QString& extra)
{
    const AutomationWindowOpener& opener = automationWindowOpener();
    const VbError error =
        opener ? opener(address + extra)
               : VbError{429, QStringLiteral("The automation browser could not be created")};
    if (!error.isError())
        return true;
    const QString number = QString::number(error.number);
    if (modMain::ErrorMode)
        modMain::WriteLog(QStringLiteral("IE OLE error: ") + number +
                          QStringLiteral("  Description: ") + error.description);
    Prompts::MsgBox(QStringLiteral("Can't start Web browser.") + CRLF + QStringLiteral("Error ") +
                    number + CRLF + QStringLiteral("Description: ") + error.description);
    return false;
}

bool FindDefaultBrowser(QString& path)
{
    QString answer;
    const int code = Shell::FindExecutable(TestFile, modMain::AppFolder, answer);
    // The answer as the fixed buffer held it, NULs after the text; paths
    // here may be longer than that buffer was, so a longer one is kept whole.
    const QString buffer =
        answer + QString(qMax<qsizetype>(0, BufferLength - answer.size()), QChar(0));
    if (code < 32) {
        modMain::WriteLog(QStringLiteral("Browser not found"));
        return false;
    }

    // CASE 1: the program, a blank, then the document's place in quotes.
    const qsizetype quote = inStr(1, buffer, QStringLiteral("\""));
    if (quote >= 3) {
        const QString found = buffer.left(quote - 2);
        modMain::WriteLog(QStringLiteral("FullPath(CASE 1):_") + found +
                          QStringLiteral("_ Position:_") + QString::number(quote) +
                          QStringLiteral("_|"));
        path = withoutTrailingBlanks(found);
        return true;
    }

    // CASE 3: the program alone.
    if (!buffer.contains(TestFile, Qt::CaseInsensitive)) {
        path = TrimNulls(buffer);
        modMain::WriteLog(QStringLiteral("FullPath(CASE 3):_") + path + QStringLiteral("_|"));
        return true;
    }

    // CASE 2: the program, a blank, then the document's path, which begins
    // with a drive letter and colon, or here with the root "/".
    qsizetype position = inStr(3, buffer, QStringLiteral(":"));
    QString found;
    if (position > 2) {
        found = buffer.left(position - 3);
    } else {
        position = inStr(2, buffer, QStringLiteral(" /"));
        if (position > 1) {
            found = buffer.left(position - 1);
            ++position;
        }
    }
    if (position > 2) {
        modMain::WriteLog(QStringLiteral("FullPath (CASE 2):_") + found +
                          QStringLiteral("_ Position:_") + QString::number(position) +
                          QStringLiteral("_|"));
        path = found;
        return true;
    }
    modMain::WriteLog(QStringLiteral("Find Browser(CASE 2 ERROR): path not found in _") +
                      TrimNulls(buffer) + QStringLiteral("_|"));
    path.clear();
    return false;
}

QString LocateBrowserExe(const QString& name)
{
    using Registry::Root;
    if (isPath(name))
        return name;

    QString path;
    const QString upper = name.toUpper();
    if (upper == QStringLiteral("IEXPLORE.EXE"))
        path = Registry::RegGetString(Root::LocalMachine, AppPathsKey + name, QString());
    else if (upper == QStringLiteral("NETSCAPE.EXE"))
        path = navigatorPath(name);
    // The machine keys here answer a browser's App Paths for any name:
    // Netscape's own keys name no program on this system.
    if (path.isEmpty() && upper != QStringLiteral("IEXPLORE.EXE"))
        path = Registry::RegGetString(Root::LocalMachine, AppPathsKey + name, QString());

    if (path.isEmpty() && FindDefaultBrowser(path)) {
        modMain::WriteLog(QStringLiteral("Browser is at  _") + path + QStringLiteral("_"));
        if (isNetscape(path)) {
            modMain::WriteLog(QStringLiteral("Netscape Browser is registered as default browser."));
        } else if (isInternetExplorer(path)) {
            modMain::WriteLog(QStringLiteral("InternetExplorer is registered as default browser."));
            const qsizetype noHome = inStr(2, path, NoHome);
            if (noHome > 0)
                path = withoutTrailingBlanks(path.left(noHome - 1));
        } else {
            modMain::WriteLog(QStringLiteral("Other Browser found"));
            Prompts::MsgBox(
                QStringLiteral("Neither Internet Explorer or Netscape Navigator are installed.") +
                CRLF +
                QStringLiteral(
                    "Go to the Options->Browser menu to specify another type of browser."));
            return QString();
        }
    }
    return path;
}

QStringList BuildBrowserArguments(QString& browserPath, const QString& address,
                                  const QString& extra)
{
    QString argument;
    if (isNetscape(browserPath)) {
        modMain::WriteLog(QStringLiteral("Netscape Browser!"));
        argument = address + extra;
    } else if (isInternetExplorer(browserPath)) {
        modMain::WriteLog(QStringLiteral("InternetExplorer!"));
        const qsizetype noHome = inStr(1, browserPath, NoHome);
        if (noHome > 1)
            browserPath = TrimNulls(browserPath.left(noHome - 1));
        argument = address + extra;
    } else {
        modMain::WriteLog(QStringLiteral("Other Browser"));
        argument = address;
    }
    browserPath = withoutTrailingBlanks(browserPath);
    return Shell::addressArguments(browserPath, argument);
}

QString BuildBrowserCommand(QString& browserPath, const QString& address, const QString& extra)
{
    const QStringList arguments = BuildBrowserArguments(browserPath, address, extra);
    return QLatin1Char('"') + browserPath + QStringLiteral("\" ") +
           arguments.join(QLatin1Char(' '));
}

QString TrimNulls(const QString& text)
{
    qsizetype end = text.size();
    while (end > 0 && text.at(end - 1) == QChar(0))
        --end;
    return end == 0 ? text : text.left(end);
}

} // namespace modURL
