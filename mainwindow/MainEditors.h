// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "editors/EditorHost.h"

#include <functional>

class COptions;
class QWidget;
class ShowFiles;
class colURLs;
class cShowState;

/// The main window's side of the show editors: File > New > New Show and
/// Make Show from Directory, File > Edit, Slide > Edit, and what the
/// editors ask of the window (its file commands and its address box).
class MainEditors : public EditorHost
{
public:
    /// The parts of the main window the editors work on.
    struct Parts
    {
        QWidget* window;
        COptions& options;
        colURLs& show;
        cShowState& state;
        ShowFiles& files;
        bool& bShowEdited;
        /// Puts an address into the address box and sends it.
        std::function<void(const QString&)> view;
        /// Shows the show and the current slide again (as on activation).
        std::function<void()> refresh;
        std::function<void()> beep;
    };

    explicit MainEditors(const Parts& parts);

    /// File > New > New Show: the list editor on a new, empty show.
    void mnuFileNewBlank_Click();
    /// File > New > Make Show from Directory.
    void mnuFileNewDirList_Click();
    /// File > Edit and the show bar's Edit key: the list editor.
    void mnuFileEdit_Click();
    /// Slide > Edit, the slide bar's Edit key and a click on the slide's
    /// pause or sound: the slide editor on the current slide.
    void doEditSlide();

    void do_open_collect() override;
    QString do_open_slide() override;
    void viewAddress(const QString& address) override;
    void saveShow() override;
    void showEdited() override;

private:
    void openListEditor();

    Parts m_parts;
};
