// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/VbError.h"

#include <QList>
#include <QString>
#include <QStringList>

/// The desktop shell's services: the program associated with a document,
/// starting programs, the processes of a program and raising their windows.
namespace Shell {

// FindExecutable's answers: above 32 a program was found.
constexpr int FileNotFound = 2;   ///< the document does not exist
constexpr int NoAssociation = 31; ///< no program opens documents of its type
constexpr int Found = 42;

/// The association lookup behind FindExecutable; tests install their own.
class Associations
{
public:
    virtual ~Associations() = default;
    virtual int findExecutable(const QString& file, const QString& directory, QString& result) = 0;
};

/// Installs the lookup FindExecutable uses (nullptr: the desktop's).
void setAssociations(Associations* associations);

/// The program that opens a document, in the form the old call gave: the
/// program's path, then, when the desktop entry passes the document, a
/// blank and the document's path (or a blank and "%1" in quotes when the
/// entry quotes it). Returns a value above 32 when a program was found.
int FindExecutable(const QString& file, const QString& directory, QString& result);

/// FindExecutable from the desktop's own associations: mimeapps.list
/// (default, then added applications) and the desktop entries' Exec lines.
int DesktopFindExecutable(const QString& file, const QString& directory, QString& result);

/// Which browser a program is, by its file name (links followed).
enum class BrowserFamily
{
    Chromium,
    Firefox,
    Other
};
BrowserFamily browserFamily(const QString& program);

/// The words of a command line: the program (bare or in double quotes),
/// then its arguments, double quotes grouping words.
QStringList SplitCommandLine(const QString& commandLine);

/// Starts a program detached and returns its process id, the task id.
/// A program that cannot be found gives 0 and error 53; a program that
/// exists but does not start gives 0 and no error.
qint64 StartProgram(const QString& commandLine, VbError* error = nullptr);
qint64 StartProgram(const QString& program, const QStringList& arguments, VbError* error = nullptr);

/// The flags every browser start adds: those of PAGEWHEEL_BROWSER_FLAGS,
/// and --no-sandbox for a Chromium-family browser run as root.
QStringList browserFlags(const QString& program);

/// The arguments that hand an address to a browser as an address and never
/// as one of its options: an address that would read as an option becomes
/// an absolute file path, and a Chromium-family browser is also told where
/// its options end.
QStringList addressArguments(const QString& program, const QString& address);

/// StartProgram for a browser: its flags go before the arguments.
qint64 StartBrowserProgram(const QString& program, const QStringList& arguments,
                           VbError* error = nullptr);

/// The user's running processes of a program, matched by file name (so a
/// launcher script and the binary it runs count as one program).
QList<qint64> ProcessesOf(const QString& program);
bool IsRunning(const QString& program);

/// Ends (SIGTERM) the processes of a program that this program started
/// and that still run; returns how many were asked to end.
int EndStartedProcesses(const QString& program);

/// The result of raising a program's windows.
enum class Activation
{
    Raised,
    NoWindow,
    TimedOut
};

/// Raises and focuses the windows of the given processes where the
/// desktop allows it (an X11 display); waits at most timeoutMs for the
/// display's answers.
Activation ActivateWindowsOf(const QList<qint64>& processIds, int timeoutMs);

} // namespace Shell
