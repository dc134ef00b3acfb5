// SPDX-License-Identifier: GPL-3.0-or-later
// What the main window tests share: a rig per test and the texts they look for.
#pragma once

#include "MainWindowRig.h"

#include "browser/BrowserConnection.h"
#include "editors/ListEditModel.h"
#include "editors/frmDirList.h"
#include "editors/frmListEdit.h"
#include "editors/frmSlideEdit.h"
#include "engine/ShowEngine.h"
#include "guidance/frmWizMain.h"
#include "mainwindow/CollapsibleBar.h"
#include "mainwindow/MainBrowser.h"
#include "mainwindow/ShowFiles.h"
#include "mainwindow/Twips.h"
#include "mainwindow/UpDown.h"
#include "mainwindow/frmControlBar.h"
#include "mainwindow/frmMain.h"
#include "platform/DdeLink.h"
#include "startup/Main.h"
#include "startup/modMain.h"
#include "webshow/frmWebShow.h"
#include "../editors/EditorTestKit.h"
#include "../guidance/WizardDriver.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDate>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QStyleOptionButton>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>

#include <memory>

using Prompts::vbCancel;
using Prompts::vbNo;
using Prompts::vbYes;

namespace {

const QString TitleSuffix = QStringLiteral(" - Vexilo Software Pagewheel");
const QString EndBanner =
    QStringLiteral("-------------------PAGEWHEEL Ends -------------------------");
const QString SettingsQuestion =
    QStringLiteral("Do you want to save any changes made to settings?");
const QString Overwrite = QStringLiteral("Do you want to overwrite this file?");
const QString AddressTip = QStringLiteral("Select  the slide  to show.");

/// Makes another window active, then the main window again.
inline void visit(QWidget* other, QWidget* window)
{
    other->show();
    other->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(other));
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window));
}

inline QStringList recentCaptions(QWidget* window)
{
    QStringList captions;
    for (int i = 1; i <= 5; ++i) {
        QAction* entry = act(window, QStringLiteral("mnuFileArray%1").arg(i));
        if (entry->isVisible())
            captions.append(entry->text());
    }
    return captions;
}

inline QString settingsKey(const char* key)
{
    return MainWindowRig::setting(QStringLiteral("Settings"), QLatin1String(key));
}

inline QString optionsKey(const char* key)
{
    return MainWindowRig::setting(QStringLiteral("Options"), QLatin1String(key));
}

} // namespace

class MainWindowTest : public QObject
{
protected:
    std::unique_ptr<MainWindowRig> m_rig;

    QStringList navigations() const { return m_rig->browser.navigations(); }
    QByteArray read(const QString& path) const { return MainWindowRig::readFile(path); }
    QList<CommonDialog::Request> requests() const { return m_rig->dialogs.requests(); }
    qsizetype endBanners() const { return m_rig->log->messages().count(EndBanner); }
    /// A command whose file dialogs the user answers with these files, or cancels.
    void withFiles(QWidget* window, const char* command, const QStringList& files)
    {
        if (files.isEmpty())
            m_rig->dialogs.cancel();
        for (const QString& file : files)
            m_rig->dialogs.chooseFile(file);
        trigger(window, command);
    }
};
