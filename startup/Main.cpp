// SPDX-License-Identifier: GPL-3.0-or-later
#include "startup/Main.h"
#include "startup/ProgramVersion.h"

#include "browser/modURL.h"
#include "platform/AutomationBrowser.h"
#include "platform/Prompts.h"
#include "startup/BrowserChoice.h"
#include "settings/COptions.h"
#include "settings/ReadInOptions.h"
#include "settings/modRegistry.h"
#include "startup/StartupWindows.h"
#include "startup/modFileTools.h"
#include "startup/modMain.h"

#include <QUrl>

namespace modMain {

COptions SavedOptions;
cVendorInfo VendorInfo;

namespace {

const QString CrLf = QStringLiteral("\r\n");

/// Opens the log a switch asks for. Only one log file is open in a run:
/// a later "debug" or "error" keeps the first file and is ignored.
bool openLogFor(const QString& word, const QString& path)
{
    if (!LogFilePath().isEmpty()) {
        WriteLog(QStringLiteral("CL: ") + word +
                 QStringLiteral(" ignored, a log file is already open: ") + LogFilePath());
        return false;
    }
    if (!OpenLogFile(path))
        return false;
    LogToFile = true;
    return true;
}

void handleWords(const QStringList& words, const QString& usage)
{
    for (qsizetype i = 0; i < words.size(); ++i) {
        const QString& word = words[i];
        if (word == QStringLiteral("screen")) {
            DebugMode = ErrorMode = TraceMode = true;
            LogToFile = false;
            LogBegin();
        } else if (word == QStringLiteral("error")) {
            if (openLogFor(word, ErrorFileName)) {
                ErrorMode = true;
                LogBegin();
            }
        } else if (word == QStringLiteral("debug")) {
            if (openLogFor(word, DebugFileName)) {
                DebugMode = ErrorMode = TraceMode = true;
                LogBegin();
            }
        } else if (word.toUpper() == QStringLiteral("OPTIONS")) {
            if (i + 1 < words.size()) {
                UseOptionsFile = true;
                OptionsFileName = words[++i];
                debugLog(QStringLiteral("CL options file: ") + OptionsFileName);
            } else {
                debugLog(QStringLiteral("CL Error: options with no options file specified."));
            }
        } else if (word.toUpper() == QStringLiteral("FULLSCREEN")) {
            FullScreenMode = true;
            debugLog(QStringLiteral("CL: full screen mode is on."));
        } else {
            Prompts::MsgBox(QStringLiteral("Command line argument: ") + word +
                                QStringLiteral(", is unknown and is being ignored.") + CrLf +
                                QStringLiteral("Usage: ") + usage,
                            Prompts::vbOKOnly, AppTitle());
        }
    }
}

void fillVendorInfo()
{
    VendorInfo.ProductName = QStringLiteral("Pagewheel");
    VendorInfo.EXEName = QStringLiteral("Pagewheel");
    // The program's own pages ship with it: they say which version this is
    // and how updates come, and open without a network.
    VendorInfo.URLHome =
        QUrl::fromLocalFile(AppFolder + QStringLiteral("site/index.htm")).toString();
    modURL::URLHome = VendorInfo.URLHome;
    VendorInfo.URLTestFile = QStringLiteral("test.htm");
}

/// Says once where the program writes: an installed program folder is
/// read-only, so logs, recordings and web shows go to the user's data folder.
void logWritableFolders()
{
    const QString writable = WritableFolder();
    if (writable != AppFolder)
        debugLog(QStringLiteral("Program folder is read-only: _") + AppFolder +
                 QStringLiteral("_, logs, recordings and web shows go to _") + writable +
                 QLatin1Char('_'));
    debugLog(QStringLiteral("Browser profile folder: _") +
             AutomationBrowser::defaultProfileFolder() + QLatin1Char('_'));
}

/// Loads the options from the store, setting them up on the very first run.
void loadOptions(COptions& options)
{
    if (modRegistry::RegistryGet(options))
        return;
    options.init_options();
    // Started without the installation step: choose as it would have.
    BrowserChoice::RecordIfMissing();
    options.AutoMode = modRegistry::GetBrowserChoice();
    Prompts::MsgBox(QStringLiteral("Initializing options for ") + AppTitle() +
                        QStringLiteral(" Version ") + ProgramVersion::text() +
                        QStringLiteral(" for the first time."),
                    Prompts::vbOKOnly);
    modRegistry::RegistrySave(options);
    modRegistry::RegistryGet(options);
}

/// Whether the run will start its show by itself: the stored options, or
/// the options file the words name, ask for auto start. Read ahead of
/// everything else, so that the boxes of the start know whether a person
/// is there to answer them.
bool optionsAskForAutoStart(const QStringList& words)
{
    COptions ahead;
    if (!modRegistry::RegistryGet(ahead))
        ahead.init_options();
    QString optionsFile;
    for (qsizetype i = 0; i < words.size(); ++i) {
        if (words[i].toUpper() == QStringLiteral("OPTIONS") && i + 1 < words.size())
            optionsFile = words[++i];
    }
    if (!optionsFile.isEmpty())
        ReadInOptions(optionsFile, ahead);
    return ahead.AutoStart;
}

} // namespace

QString UsageText(const QString& executableName)
{
    return executableName + QStringLiteral("[debug] [error] [fullscreen] [options <optionsfile>]");
}

void Main(const QString& commandLine, const QString& executableName, const QString& programFolder,
          StartupWindows& windows)
{
    SetProgramFolder(programFolder);
    const QStringList words = modFileTools::GetCommandLine(commandLine, 5);
    // A show started by itself may have nobody in front of it: its boxes
    // close themselves after a while.
    if (optionsAskForAutoStart(words))
        Prompts::setSelfClosingSeconds(Prompts::UnattendedBoxSeconds);
    handleWords(words, UsageText(executableName));
    logWritableFolders();
    fillVendorInfo();

    COptions options;
    loadOptions(options);
    options.Copy_Object_to(SavedOptions);

    if (UseOptionsFile) {
        UseOptionsFile = ReadInOptions(OptionsFileName, options);
        if (!UseOptionsFile) {
            Prompts::MsgBox(
                QStringLiteral("Options file,") + CrLf + OptionsFileName + CrLf +
                    QStringLiteral("was not found. Continuing with previously saved settings."),
                Prompts::vbOKOnly + Prompts::vbExclamation);
        }
    }

    debugLog(QStringLiteral("mod Main  - showing splash"));
    windows.showSplash();
    PauseMilliseconds(700);
    windows.showSplashShape();
    PauseMilliseconds(2000);
    windows.closeSplash();

    debugLog(QStringLiteral("mod Main  - done"));
    windows.showMainWindow(options);
}

} // namespace modMain
