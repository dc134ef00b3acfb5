// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

/// Program-wide flags and folders, the diagnostic log, the shared error
/// box and the two busy waits.
namespace modMain {

// Program-wide flags, all false until the command line sets them.
extern bool DebugMode;      ///< debug lines are produced
extern bool ErrorMode;      ///< error-condition lines are produced
extern bool TraceMode;      ///< browser event and link traces are produced
extern bool LogToFile;      ///< a log file is open; WriteLog writes only then
extern bool UseOptionsFile; ///< an options file is to be (or was) read
extern bool FullScreenMode; ///< the main window starts in full screen

extern QString OptionsFileName;
extern QString DebugFileName; ///< AppFolder + "DebugFile.txt"
extern QString ErrorFileName; ///< AppFolder + "ErrrorFile.txt"
extern QString AppFolder;     ///< the program's folder, ending in a separator

/// Sets AppFolder, DebugFileName and ErrorFileName from the program's folder.
void SetProgramFolder(const QString& folder);

/// The folder the program writes its logs and recordings to: the program's
/// folder, or the user's data folder when that is not writable.
QString WritableFolder();

/// Opens a log file for appending; false when it could not be opened.
bool OpenLogFile(const QString& path);
/// The path of the open log file, empty when none.
QString LogFilePath();
/// Closes the log file (the end of the process does the same).
void CloseLogFile();
/// Resets every flag and folder to its start value (tests).
void ResetProgramState();

/// Appends one time-stamped line when a log file is open.
void WriteLog(const QString& message);
/// A debug line: written only in DebugMode.
void debugLog(const QString& message);
/// An error-condition line: written only in ErrorMode.
void errorLog(const QString& message);
/// In DebugMode: a time-stamp-only line and the begin banner.
void LogBegin();
/// In DebugMode: the end banner, written just before the process ends.
void LogEnd();

/// The application title and its help file (title + ".hlp" in AppFolder).
QString AppTitle();
QString HelpFile();

/// The shared error box: OK, exclamation icon, caption "Error", the help
/// file with the given context.
void ShowErrorBox(const QString& message, int helpContext);

/// Busy waits that keep the program's events running.
void PauseSeconds(qint32 seconds);
void PauseMilliseconds(qint32 milliseconds);

} // namespace modMain
