// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "EngineStandIns.h"
#include "LogCapture.h"
#include "platform/ScriptedCommonDialog.h"
#include "platform/ScriptedPrompts.h"
#include "settings/COptions.h"

#include <QPointer>
#include <QStringList>
#include <QTemporaryDir>
#include <QWidget>

#include <functional>

#include <memory>

class QAction;
class frmMain;

/// A sandbox for main window tests: a settings store and a program folder
/// of their own, scripted message boxes and file dialogs, a browser that
/// records what it is asked, a debug log, and a program end that is only
/// counted. Made in init(), dropped in cleanup().
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
    /// The three-slide show every test starts with.
    QString showFile() const { return m_showFile; }
    /// Writes a show of the addresses (pause 1 each) into the files folder.
    QString writeShow(const QString& name, const QStringList& addresses) const;
    /// A file in the files folder (empty).
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

    /// A menu item or toolbar key of a window by name.
    static QAction* action(QWidget* window, const QString& name);
    /// The message box texts shown so far, in order.
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

/// A named control of a window (a warning when there is none).
template <typename Widget = QWidget> Widget* control(QWidget* window, const QString& name)
{
    auto* found = window->findChild<Widget*>(name);
    if (!found)
        qWarning("no control %s", qPrintable(name));
    return found;
}
inline QAction* act(QWidget* window, const QString& name)
{
    return MainWindowRig::action(window, name);
}
void trigger(QWidget* window, const QString& action);
bool ticked(QWidget* window, const QString& action);
/// A left click on a control.
void press(QWidget* window, const QString& name);
/// The status panel's text.
QString statusOf(QWidget* window);
int px(int twips);
