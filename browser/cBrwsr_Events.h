// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

class COptions;

/// Tells the user the browser has gone and offers to start it again in
/// the first main window.
class cBrwsr_Events : public QObject
{
    Q_OBJECT

public:
    explicit cBrwsr_Events(QObject* parent = nullptr);

    COptions* Options = nullptr;

    /// Asks at once whether to restart the browser; Yes reloads it in the
    /// first main window with the names of this notifier's options. While
    /// the question is open a further call asks nothing.
    void BrowserTerminate();

    /// True while the question is open.
    static bool asking();
};
