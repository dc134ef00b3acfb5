// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>

class COptions;
class WizardHost;
class colURLs;

/// The new show and web show wizards. Their codes: -1 back to the
/// caller's previous question, 2 cancelled or done, 1 the new show wizard
/// cannot handle the requirements, 12 the web show wizard hands over to
/// the new show wizard.
namespace ShowWizards {

constexpr qint16 CodeBack = -1;
constexpr qint16 CodeDone = 2;
constexpr qint16 CodeNotHandled = 1;
constexpr qint16 CodeNewShow = 12;

/// Asks where the show runs and leads on to the matching wizard; the
/// options and the show are kept for the web show dialog.
qint16 RunWizards(COptions& options, colURLs& show, WizardHost& host);
/// "Where will this show be run from?"; nCommand, the choice in nOption.
qint16 AskWhereRun();
/// Whether the show's files are in one folder; nCommand.
qint16 AskSingleFolder();
qint16 NewShowWizard();
qint16 WebShowWizard();

} // namespace ShowWizards
