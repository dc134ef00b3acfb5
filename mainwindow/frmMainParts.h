// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the main window's source files share: the window's parts are built,
// laid out and answered in files of their own.

#include "platform/VbError.h"

#include <QList>
#include <QString>

class frmMain;

namespace frmMainParts {

/// Writes an error to the log when errors are logged.
void errorLog(const QString& prefix, const VbError& error);

/// Every main window open, the first first.
QList<frmMain*>& mainWindows();

} // namespace frmMainParts
