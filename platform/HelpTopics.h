// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

/// The context numbers of the help topics. Each window with a Help button
/// or an F1 key opens its own; the help folder's map (help/topics.txt)
/// names the page of every number.
namespace HelpTopics {

// The help itself.
constexpr int Contents = 1;
constexpr int UsingHelp = 2;
constexpr int KeywordIndex = 3;

// Getting started.
constexpr int Overview = 10;
constexpr int QuickStart = 11;

// The main window and running a show.
constexpr int frmMain = 100; ///< also its boxes: interval error, overwrite questions
constexpr int Menus = 101;
constexpr int ShowModes = 102;
constexpr int Navigation = 103;
constexpr int ShowOptions = 104;
constexpr int frmControlBar = 105; ///< full screen and the floating control bar

// Shows, settings and the browser.
constexpr int ShowFiles = 106; ///< open, save, new show, recent list, exit questions
constexpr int Settings = 107;  ///< saved settings and options files
constexpr int CommandLine = 108;
constexpr int frmBrowserType = 109;
constexpr int FileFormats = 110;

// Making shows.
constexpr int frmListEdit = 200;
constexpr int frmSlideEdit = 210;
constexpr int frmDirList = 220;
constexpr int Bookmarks = 230;

// Web shows.
constexpr int frmWebShow = 300;
constexpr int frmAudit = 310;

// Sound.
constexpr int frmPlayRec = 400;

// Guides.
constexpr int frmWizMain = 500;
constexpr int frmWizard = 510; ///< the question screens of the wizards
constexpr int frmWizardInp = 510;
constexpr int frmTip = 520;
constexpr int frmAbout = 530;

// Problems.
constexpr int Troubleshooting = 600;

} // namespace HelpTopics
