// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>

class QWidget;

/// What the wizards and the start-up show chooser need of the main
/// window: its recent shows, its show file commands and the tools a new
/// show is made with.
class WizardHost
{
public:
    virtual ~WizardHost() = default;

    /// The window the wizards' screens and the web show dialog belong to.
    virtual QWidget* hostWindow() = 0;
    /// The recent show files in menu order.
    virtual QStringList recentShows() const = 0;
    /// Opens the show file and shows it.
    virtual void openRecentShow(const QString& fileName) = 0;
    /// File > Open.
    virtual void openShow() = 0;
    /// File > New > Make Show from Directory.
    virtual void newShowFromDirectory() = 0;
    /// File > Import and Export > Import Bookmarks.
    virtual void importBookmarks() = 0;
    /// File > New > New Show.
    virtual void newBlankShow() = 0;
    /// How the window drives its browser, for the web show dialog's Test.
    virtual bool useOLE() const = 0;
};
