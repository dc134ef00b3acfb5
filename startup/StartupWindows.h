// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class COptions;

/// The windows start-up shows: the splash and the first main window.
/// The program gives the real ones; tests record what start-up asked for.
class StartupWindows
{
public:
    virtual ~StartupWindows() = default;

    virtual void showSplash() = 0;
    /// Makes the splash's shape visible.
    virtual void showSplashShape() = 0;
    virtual void closeSplash() = 0;
    /// Hands the working options to the first main window and shows it.
    virtual void showMainWindow(const COptions& options) = 0;
};
