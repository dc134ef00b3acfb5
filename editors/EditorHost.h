// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

/// What the show editors need of the main window that opens them: its
/// show file commands, its address box and the flag that makes it show
/// the edited show again.
class EditorHost
{
public:
    virtual ~EditorHost() = default;

    /// Asks for a show file and loads it into the window's own show.
    virtual void do_open_collect() = 0;
    /// Asks for a slide file; its path, or "" when cancelled.
    virtual QString do_open_slide() = 0;
    /// Puts the address into the address box and sends it to the browser.
    virtual void viewAddress(const QString& address) = 0;
    /// Writes the show to its file, asking for a name when it has none.
    virtual void saveShow() = 0;
    /// Raises the window's show-changed flag (bShowEdited).
    virtual void showEdited() = 0;
};
