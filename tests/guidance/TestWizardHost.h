// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "guidance/WizardHost.h"

#include <QWidget>

/// A main window for the wizards: its recent shows, and the commands run.
class TestWizardHost : public WizardHost
{
public:
    QWidget window;
    QStringList recent;
    QStringList calls;

    QWidget* hostWindow() override { return &window; }
    QStringList recentShows() const override { return recent; }
    void openRecentShow(const QString& fileName) override { calls.append("open " + fileName); }
    void openShow() override { calls.append("open"); }
    void newShowFromDirectory() override { calls.append("directory"); }
    void importBookmarks() override { calls.append("bookmarks"); }
    void newBlankShow() override { calls.append("blank"); }
    bool useOLE() const override { return false; }
};
