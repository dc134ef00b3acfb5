// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "show/modInpExp.h"

#include <QDate>
#include <QStringList>

#include <functional>

class COptions;
class CommonDialog;
class EngineView;
class ShowEngine;
class colURLs;
class cShowState;

/// The file side of a main window: opening and saving shows, opening a
/// slide, saving the options to a file, the recent-show list at the foot
/// of the File menu, starting a new show, and the two questions that
/// protect unsaved work.
///
/// It works on the window's own records, engine and common dialog; the
/// window shows the recent list (recentListChanged tells it to redraw).
class ShowFiles
{
public:
    /// The parts of the main window the file side works on.
    struct Parts
    {
        COptions& options;
        colURLs& show;
        cShowState& state;
        ShowEngine& engine;
        EngineView& view;
        CommonDialog& dialog;
        bool& bShowEdited;
    };

    /// The most shows the recent list holds.
    static constexpr int MaxRecent = 5;
    static const QString ShowFilter;
    static const QString SlideFilter;

    explicit ShowFiles(const Parts& parts);

    /// Called whenever the recent list changed.
    std::function<void()> recentListChanged;

    /// The recent shows, oldest first.
    const QStringList& recentFiles() const { return m_recent; }
    qint16 RecentCount() const { return qint16(m_recent.size()); }
    /// Whether the path is in the recent list (letters compared without case).
    bool inRecentList(const QString& path) const;

    /// Adds a show to the recent list (the oldest drops out of a full list).
    void UpdateMenu(const QString& path);
    /// File > Open: asks for a show and loads it.
    void do_open_collect();
    /// Asks for a slide file; the chosen path, or "" when cancelled.
    QString do_open_slide();
    /// File > Save As > File: asks for a name and writes the show there.
    void do_save_collect();
    /// File > Save: writes the show to its file, or asks for one.
    void saveShow();
    /// A recent entry (1-based) of the File menu: loads that show.
    void openRecent(int index);
    /// Starts a new, empty show under a name of today's date.
    void StartNewShow();
    /// The name of a new show: "Show" + the date as mm-dd-yy + ".txt", with
    /// a letter after "Show" (A, B ...) while that name is in the list.
    static QString newShowName(const QDate& date, const QStringList& recent);
    /// Whether the show holds edits worth asking about.
    bool hasUnsavedEdits() const;
    /// "Save Show Edits?" with the buttons given (vbYesNo or vbYesNoCancel);
    /// Yes saves the show. Returns the answer.
    int AskSaveShowEdits(int buttons);
    /// "Save Pagewheel Settings?": Yes stores the options, No restores the
    /// options saved at start-up; either way they are then unchanged.
    int AskSaveSettings();
    /// Options > Save to file...
    void saveOptionsToFile();

    /// The window's file dialog as the bookmark commands ask for it.
    QString chooseFile(const modInpExp::FileChoice& choice, bool save, VbError* error);

private:
    /// The data folder, where the dialogs start when no folder is set yet.
    void startInDataFolder();
    /// Asks whether to replace the file: vbYes, vbNo or vbCancel.
    int askOverwrite() const;
    /// The save dialog until the user picks a name (asking before replacing
    /// another file) or gives up; empty when given up.
    QString chooseSaveName(const QString& currentName, bool logOverwrite);
    /// Loads a show file chosen by the user; true when it loaded.
    bool openShowFile(const QString& fileName);

    Parts m_parts;
    QStringList m_recent;
};
