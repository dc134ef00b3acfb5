// SPDX-License-Identifier: GPL-3.0-or-later
// What the main window tests share: a rig per test and the texts they look for.
#pragma once

#include "EngineStandIns.h"
#include "LogCapture.h"
#include "WidgetKit.h"
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
#include "platform/ScriptedCommonDialog.h"
#include "platform/ScriptedPrompts.h"
#include "settings/COptions.h"
#include "startup/Main.h"
#include "startup/modMain.h"
#include "webshow/frmWebShow.h"
#include "../editors/EditorTestKit.h"

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
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QStyleOptionButton>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>

#include <functional>
#include <memory>

using Prompts::vbCancel;
using Prompts::vbNo;
using Prompts::vbYes;

/// A sandbox for main window tests: a settings store and a program folder
/// of their own, scripted message boxes and file dialogs, a browser that
/// records what it is asked, a debug log, and a program end that is only
/// counted.
class MainWindowRig
{
public:
    MainWindowRig();
    ~MainWindowRig();
    MainWindowRig(const MainWindowRig&) = delete;
    MainWindowRig& operator=(const MainWindowRig&) = delete;

    QTemporaryDir config;
    QTemporaryDir program;
    QTemporaryDir files;
    ScriptedPrompts prompts;
    ScriptedCommonDialog dialogs;
    RecordingBrowser browser;
    std::unique_ptr<LogCapture> log;
    int programEnds = 0;

    /// The defaults with no browser (a mode that chooses none), no tips
    /// and no chooser, the show of three slides in files.
    COptions options() const;
    QString showFile() const { return m_showFile; }
    /// Writes a show of the addresses (pause 1 each) into the files folder.
    QString writeShow(const QString& name, const QStringList& addresses) const;
    QString writeFile(const QString& name, const QByteArray& bytes = {}) const;
    static QByteArray readFile(const QString& path);

    /// A main window, loaded unless told not to, on the recording browser
    /// or, with ownBrowser, on its real connection. It deletes itself when
    /// closed, so it is held weakly.
    QPointer<frmMain> open(const COptions& options, bool load = true, bool ownBrowser = false);
    QPointer<frmMain> open() { return open(options()); }

    /// A value of the settings store's "Settings" or "Options" section.
    static QString setting(const QString& section, const QString& key);
    static void saveSetting(const QString& section, const QString& key, const QString& value);
    QStringList boxes() const { return prompts.texts(); }

private:
    QString m_showFile;
};

/// Answers each box through a function, so a test can look at the window
/// while the box is open.
class CallbackPrompts final : public Prompts::Backend
{
public:
    explicit CallbackPrompts(std::function<int(const Prompts::Request&)> answer)
        : m_answer(std::move(answer)), m_previous(Prompts::backend())
    {
        Prompts::setBackend(this);
    }
    ~CallbackPrompts() override { Prompts::setBackend(m_previous); }
    int show(const Prompts::Request& request) override { return m_answer(request); }

private:
    std::function<int(const Prompts::Request&)> m_answer;
    Prompts::Backend* m_previous;
};

/// A named menu item of a window.
inline QAction* act(QWidget* window, const QString& name)
{
    return control<QAction>(window, name);
}
inline void trigger(QWidget* window, const QString& action)
{
    act(window, action)->trigger();
}
inline bool ticked(QWidget* window, const QString& action)
{
    return act(window, action)->isChecked();
}
inline void press(QWidget* window, const QString& name)
{
    QTest::mouseClick(control(window, name), Qt::LeftButton);
}
inline QString statusOf(QWidget* window)
{
    return control<QLabel>(window, "pnlStatus")->text();
}
inline int px(int twips)
{
    return Twips::toPixels(twips);
}

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

/// A test class with a rig made in init() and dropped in cleanup().
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
