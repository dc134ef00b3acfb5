// SPDX-License-Identifier: GPL-3.0-or-later
#include "startup/ProgramWindows.h"

#include "guidance/frmSplash.h"
#include "mainwindow/frmMain.h"

void ProgramWindows::showSplash()
{
    m_splash = new frmSplash;
    m_splash->setAttribute(Qt::WA_DeleteOnClose);
    m_splash->show();
}

void ProgramWindows::showSplashShape()
{
    if (m_splash)
        m_splash->showShape();
}

void ProgramWindows::closeSplash()
{
    if (m_splash)
        m_splash->close();
}

void ProgramWindows::showMainWindow(const COptions& options)
{
    // The window shows itself while it loads, and goes into full screen
    // itself when the command line asks for it.
    auto* window = new frmMain(options);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->Form_Load();
}
