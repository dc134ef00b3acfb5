// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "mainwindow/ControlBarOwner.h"
#include "platform/CommonDialog.h"
#include "settings/cShowState.h"

#include <QStringList>

/// A control bar owner that records each call by name. Its GoPause acts as
/// the engine does: it pauses and resumes only while a show runs.
class RecordingOwner final : public ControlBarOwner
{
public:
    QStringList calls;
    bool alwaysOnTop = false;
    bool showRunning = true;
    cShowState state;
    CommonDialog dialog;

    void GoBack() override { calls.append(QStringLiteral("GoBack")); }
    void GoPause() override
    {
        calls.append(QStringLiteral("GoPause"));
        if (showRunning)
            state.IsPaused = state.IsPaused ? cShowState::False : cShowState::True;
    }
    void GoForward() override { calls.append(QStringLiteral("GoForward")); }
    void GoStop() override { calls.append(QStringLiteral("GoStop")); }
    void GoReload() override { calls.append(QStringLiteral("GoReload")); }
    void cmdCollect_Click() override { calls.append(QStringLiteral("cmdCollect_Click")); }
    bool alwaysOnTopChecked() const override { return alwaysOnTop; }
    void restoreWindow() override { calls.append(QStringLiteral("restoreWindow")); }
    void minimizeWindow() override { calls.append(QStringLiteral("minimizeWindow")); }
    void makeWindowTopmost() override { calls.append(QStringLiteral("makeWindowTopmost")); }
    CommonDialog& commonDialog() override { return dialog; }
    void controlBarClosed() override { calls.append(QStringLiteral("controlBarClosed")); }
};
