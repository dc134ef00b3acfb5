// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/VbError.h"

#include <QString>
#include <QStringList>

#include <functional>

/// The browser modes, finding the browser the desktop opens web documents
/// with, finding a named browser's program, and opening an address in a
/// browser outside the show.
namespace modURL {

/// The document whose association names the default browser; it lies in
/// the program's folder.
extern const QString TestFile;
/// The product's home page, named in the boxes that ask the user to open it.
extern QString URLHome;

/// Turns a browser mode (0..6) into the flags and the link's service and
/// program names; a mode outside 0..6 changes nothing.
void config_Browser(qint16 mode, bool& UseOLE, bool& UseDDE, QString& AutoDDEapp,
                    QString& AutoDDEexe);

/// Opens a new automation browser window at the address with the calls
/// the old automation object took (visible, menu bar toggled, full name
/// read, stop, navigate), and answers the automation error, if any.
using AutomationWindowOpener = std::function<VbError(const QString& address)>;
/// Installs the opener StartIEWindow uses; without one it fails with 429.
void SetAutomationWindowOpener(AutomationWindowOpener opener);

/// Opens the address in a browser: a new automation window, or the
/// default browser started with it. True when a browser was started.
bool StartBrowser(const QString& address, bool useOLE);
/// Opens address + extra in a new automation window that nothing keeps.
bool StartIEWindow(const QString& address, const QString& extra);

/// The default browser's program, from the association of TestFile.
bool FindDefaultBrowser(QString& path);
/// The full path of a browser program named in the options; empty when
/// none was found.
QString LocateBrowserExe(const QString& name);
/// The arguments that open the address in the browser: the address (with
/// extra for the known browsers), never read as an option; the path comes
/// back as BuildBrowserCommand gives it.
QStringList BuildBrowserArguments(QString& browserPath, const QString& address,
                                  const QString& extra = QString());
/// The command that opens the address in the browser; the path comes back
/// without trailing blanks (and without an Internet Explorer "-nohome").
QString BuildBrowserCommand(QString& browserPath, const QString& address,
                            const QString& extra = QString());
/// The text without its trailing NUL characters; a text of NULs only
/// comes back unchanged.
QString TrimNulls(const QString& text);

} // namespace modURL
