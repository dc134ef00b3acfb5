// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

/// Finds programs on this machine by the names the program's options use.
namespace ProgramLocator {

/// The Chromium-family browsers the automation browser may be, in the
/// order they are preferred.
QStringList chromiumFamily();
/// The programs that stand for the old platform's Netscape browser.
QStringList firefoxFamily();

/// A program on PATH whose file name equals the name, with or without a
/// trailing ".exe", letters compared without case; empty when none.
QString findOnPath(const QString& name);

/// Resolves a browser name of the options to a program: a name holding a
/// path separator stands as it is, "IExplore.exe" is the first
/// Chromium-family browser on PATH, "Netscape.exe" is Firefox, anything
/// else is looked up on PATH. Empty when nothing is found.
QString resolveBrowser(const QString& name);

/// Extra browser flags the user gives in PAGEWHEEL_BROWSER_FLAGS (tests
/// use it for a headless browser).
QStringList environmentBrowserFlags();

/// A system information program, when the machine has one.
QString systemInformationProgram();

} // namespace ProgramLocator
