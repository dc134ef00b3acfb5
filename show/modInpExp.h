// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/VbError.h"

#include <QString>

#include <functional>

class colURLs;

/// Bookmark files: the import parser and the import and export commands
/// of the File menu, without their windows. The main window hands in its
/// file dialog and its show steps; everything else happens here.
namespace modInpExp {

/// Seconds since 1 January 1970 of an automation date (day 25569); 0 for
/// that day and any earlier one. Rounded half to even.
qint64 DateToUnix(double date);

/// The text with the characters that mean markup in HTML (& < > " ') and
/// line ends written as entities, fit for an attribute value and for
/// element text.
QString EncodeHtml(const QString& text);
/// The text with the entities browsers write in bookmark files (&amp;
/// &lt; &gt; &quot; &#39; &apos; and numeric ones) turned back into their
/// characters, in one pass; anything else stays as it stands.
QString DecodeHtml(QStringView text);

/// Reads the bookmarks of a bookmark file into the show, appending each
/// as a slide. Only the first 256 characters of a line count. Sets the
/// show's Changed and raises *bShowEdited when it added one; true when it
/// added at least one.
bool ReadInBookmarks(const QString& fileName, colURLs& show, bool* bShowEdited = nullptr);

/// What a file dialog is asked to show.
struct FileChoice
{
    QString DialogTitle; ///< empty: the dialog's own title
    QString FileName;    ///< the proposed name
    QString Filter;      ///< "description|pattern|description|pattern"
    QString InitDir;     ///< the folder to start in when the dialog has none yet
};

/// Shows a file dialog and returns the chosen name; an empty name when the
/// user cancelled. A dialog that fails (or reports a cancel as an error)
/// sets *error.
using ChooseFile = std::function<QString(const FileChoice& choice, VbError* error)>;

/// The save dialog of the export command.
FileChoice ExportDialog();
/// The open dialog of the import command.
FileChoice ImportDialog();

/// The export command: asks for a file name (again after a "No" to
/// overwriting), then writes the show there as a bookmark file.
void ExportBookmarksCommand(colURLs& show, const ChooseFile& chooseSaveFile, int helpContext);

/// The main window's part of the import command.
struct ImportSteps
{
    ChooseFile chooseOpenFile;
    /// Offers to save the edited show; false when the user cancelled.
    std::function<bool()> AskSaveShowEdits;
    /// Starts a new, empty show and returns it.
    std::function<colURLs&()> StartNewShow;
    /// Shows the window's show again.
    std::function<void()> Refresh;
    bool* bShowEdited = nullptr;
};

/// The import command: asks for a bookmark file, offers to save the edited
/// show, and makes a new show of the file's bookmarks.
void ImportBookmarksCommand(colURLs& currentShow, const ImportSteps& steps);

} // namespace modInpExp
