// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "startup/StartupWindows.h"

#include <QPointer>

class frmSplash;

/// The real windows of start-up: the splash and the first main window.
class ProgramWindows final : public StartupWindows
{
public:
    void showSplash() override;
    void showSplashShape() override;
    void closeSplash() override;
    void showMainWindow(const COptions& options) override;

private:
    // The splash closes itself on a key or a click, so it is watched.
    QPointer<frmSplash> m_splash;
};
