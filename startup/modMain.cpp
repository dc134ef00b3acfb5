// SPDX-License-Identifier: GPL-3.0-or-later
#include "startup/modMain.h"

#include "platform/Clock.h"
#include "platform/Prompts.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace modMain {

bool DebugMode = false;
bool ErrorMode = false;
bool TraceMode = false;
bool LogToFile = false;
bool UseOptionsFile = false;
bool FullScreenMode = false;
QString OptionsFileName;
QString DebugFileName;
QString ErrorFileName;
QString AppFolder;

namespace {

QFile& logFile()
{
    static QFile file;
    return file;
}

// Tried for real: permission bits say little to root or on a read-only mount.
bool folderIsWritable(const QString& folder)
{
    if (!QFileInfo(folder).isDir())
        return false;
    QTemporaryFile probe(folder + QStringLiteral("/.pagewheel-XXXXXX"));
    return probe.open();
}

} // namespace

void SetProgramFolder(const QString& folder)
{
    AppFolder = QDir::cleanPath(folder);
    if (!AppFolder.endsWith(QLatin1Char('/')))
        AppFolder += QLatin1Char('/');
    const QString logFolder = WritableFolder();
    DebugFileName = logFolder + QStringLiteral("DebugFile.txt");
    ErrorFileName = logFolder + QStringLiteral("ErrrorFile.txt");
}

QString WritableFolder()
{
    if (folderIsWritable(AppFolder))
        return AppFolder;
    QString data = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
    if (data.isEmpty())
        data = QDir::homePath() + QStringLiteral("/.local/share/Pagewheel");
    QDir().mkpath(data);
    return data + QLatin1Char('/');
}

bool OpenLogFile(const QString& path)
{
    QFile& file = logFile();
    if (file.isOpen())
        file.close();
    file.setFileName(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Append);
}

QString LogFilePath()
{
    return logFile().isOpen() ? logFile().fileName() : QString();
}

void CloseLogFile()
{
    logFile().close();
}

void ResetProgramState()
{
    CloseLogFile();
    DebugMode = ErrorMode = TraceMode = LogToFile = UseOptionsFile = FullScreenMode = false;
    OptionsFileName.clear();
    DebugFileName.clear();
    ErrorFileName.clear();
    AppFolder.clear();
    Prompts::setSelfClosingSeconds(0);
}

void WriteLog(const QString& message)
{
    if (!LogToFile)
        return;
    QFile& file = logFile();
    if (!file.isOpen())
        return;
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("MM-dd hh:mm:ss  "));
    // Each line goes out at once, so a log is complete even if the process dies.
    file.write((stamp + message + QStringLiteral("\r\n")).toUtf8());
    file.flush();
}

void debugLog(const QString& message)
{
    if (DebugMode)
        WriteLog(message);
}

void errorLog(const QString& message)
{
    if (ErrorMode)
        WriteLog(message);
}

void LogBegin()
{
    if (!DebugMode)
        return;
    WriteLog(QString());
    WriteLog(QStringLiteral("-------------------PAGEWHEEL Begins -------------------------"));
}

void LogEnd()
{
    if (DebugMode)
        WriteLog(QStringLiteral("-------------------PAGEWHEEL Ends -------------------------"));
}

QString AppTitle()
{
    return Prompts::applicationTitle();
}

QString HelpFile()
{
    return AppFolder + AppTitle() + QStringLiteral(".hlp");
}

void ShowErrorBox(const QString& message, int helpContext)
{
    Prompts::MsgBox(message, Prompts::vbOKOnly + Prompts::vbExclamation, QStringLiteral("Error"),
                    HelpFile(), helpContext);
}

void PauseSeconds(qint32 seconds)
{
    Clock& clock = Clock::instance();
    // 64-bit time: a long wait cannot overflow the end mark.
    const qint64 start = clock.tickCount();
    const qint64 end = start + qint64(seconds) * 1000;
    for (;;) {
        if (clock.tickCount() >= end)
            break;
        if (clock.tickCount() < start) {
            WriteLog(QStringLiteral("------->WINDOWS RESET!!!!!  Exiting loop!"));
            clock.sleep(1000);
            break;
        }
        clock.sleep(35);
        clock.doEvents();
    }
    const double waited = double(clock.tickCount() - start) / 1000.0;
    WriteLog(QStringLiteral("Paused for ") + QString::number(waited, 'f', 3) +
             QStringLiteral(" seconds"));
}

void PauseMilliseconds(qint32 milliseconds)
{
    Clock& clock = Clock::instance();
    qint32 waited = 0;
    while (waited < milliseconds) {
        clock.sleep(50);
        waited += 50;
        clock.doEvents();
    }
    WriteLog(QStringLiteral("Paused for ") + QString::number(waited) +
             QStringLiteral(" milliseconds"));
}

} // namespace modMain
