// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class HelpWindow;
class QWidget;

/// The program's help: HTML pages in the folder "help" beside the help
/// file (the program's folder), shown in one help window with contents,
/// a keyword index and a word search. A topic is found by its context
/// number through the folder's map, "topics.txt": one topic a line,
/// "number|page|title|keyword;keyword...", and "== Book" lines that open
/// a book of the contents.
namespace Help {

// The old platform's help commands, for callers that keep its numbers.
constexpr int HELP_CONTEXT = 1;
constexpr int HELP_QUIT = 2;
constexpr int HELP_HELPONHELP = 4;
constexpr int HELP_FINDER = 11;
constexpr int HELP_KEY = 257;

/// The name of the map in a help folder.
inline constexpr char MapFileName[] = "topics.txt";

/// One topic of the map.
struct Topic
{
    int context = 0;
    QString page; ///< file name inside the help folder
    QString title;
    QStringList keywords;
    QString book; ///< the contents book it stands in

    bool operator==(const Topic&) const = default;
};

/// The topics of one help folder, in the order of the map.
struct Catalog
{
    QString folder; ///< ends in "/"
    QList<Topic> topics;

    /// The topic of a context number, or nullptr.
    const Topic* find(int context) const;
    /// The topic shown by a page (file name, any anchor ignored), or nullptr.
    const Topic* findPage(const QString& page) const;
};

/// The folder that holds the pages of a help file: "help/" beside it.
/// An empty name stands for the program's own folder.
QString pagesFolder(const QString& helpFile);

/// Reads the map of a help folder; false with the reason when the folder
/// or its map is missing or the map names no topic.
bool readCatalog(const QString& folder, Catalog* catalog, QString* error);

// The help window's entry points. Each brings the window up (above a
// modal box or dialog, so that it can be used) and returns false, after
// telling the user, when the help pages cannot be found.

/// The contents: the contents page and the Contents tab.
bool ShowContents(const QString& helpFile);
/// The topic of a context number; an unknown number shows the contents.
bool ShowTopic(const QString& helpFile, int context);
/// The keyword index with the keyword typed in; a keyword that names
/// exactly one topic opens it at once.
bool SearchKeyword(const QString& helpFile, const QString& keyword = QString());
/// How to use the help window.
bool ShowHelpOnHelp(const QString& helpFile);
/// Closes the help window.
void Quit();

/// The old platform's single entry point: HELP_CONTEXT with a context
/// number, HELP_FINDER, HELP_KEY, HELP_HELPONHELP or HELP_QUIT. False
/// for an unknown command.
bool WinHelp(const QString& helpFile, int command, int data = 0);

/// Gives a window, dialog or message box a help context: F1 inside it
/// opens that topic (the widget's "HelpContextID" property keeps it).
void setHelpContext(QWidget* widget, const QString& helpFile, int context);

/// The help window when one exists, else nullptr.
HelpWindow* window();

} // namespace Help
