// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/ShowFiles.h"

#include "engine/EngineView.h"
#include "engine/ShowEngine.h"
#include "platform/CommonDialog.h"
#include "platform/HelpTopics.h"
#include "platform/Prompts.h"
#include "settings/COptions.h"
#include "settings/cShowState.h"
#include "settings/modRegistry.h"
#include "show/colURLs.h"
#include "startup/Main.h"
#include "startup/modFileTools.h"
#include "startup/modMain.h"

namespace {

using modMain::debugLog;

const QString CrLf = QStringLiteral("\r\n");
const QString TitleSuffix = QStringLiteral(" - Vexilo Software Pagewheel");

void errorLog(const QString& prefix, const VbError& error)
{
    if (modMain::ErrorMode)
        modMain::WriteLog(prefix + QString::number(error.number) + CrLf + error.description);
}

} // namespace

const QString ShowFiles::ShowFilter = QStringLiteral("Text  files|*.txt|All Files (*.*)|*.*");
const QString ShowFiles::SlideFilter =
    QStringLiteral("Slide files (.htm,.jpg,.gif)|*.htm;*.jpg;*.gif|All Files (*.*)|*.*");

ShowFiles::ShowFiles(const Parts& parts) : m_parts(parts)
{
}

// ------------------------------------------------------------ recent list

bool ShowFiles::inRecentList(const QString& path) const
{
    return m_recent.contains(path, Qt::CaseInsensitive);
}

void ShowFiles::UpdateMenu(const QString& path)
{
    if (inRecentList(path))
        return;
    if (!modFileTools::HasSeparator(path))
        Prompts::MsgBox(QStringLiteral("MISSING A SLASH-> ") + path, Prompts::vbOKOnly);
    if (m_recent.size() >= MaxRecent)
        m_recent.removeFirst();
    m_recent.append(path);
    if (recentListChanged)
        recentListChanged();
}

// ---------------------------------------------------------------- dialogs

void ShowFiles::startInDataFolder()
{
    CommonDialog& dialog = m_parts.dialog;
    if (dialog.InitDir.isEmpty())
        dialog.InitDir = modFileTools::JoinPath(modMain::AppFolder, QStringLiteral("data"));
}

int ShowFiles::askOverwrite() const
{
    return Prompts::MsgBox(QStringLiteral("Do you want to overwrite this file?"),
                           Prompts::vbYesNoCancel + Prompts::vbExclamation,
                           QStringLiteral("Save File"), modMain::HelpFile(), HelpTopics::frmMain);
}

bool ShowFiles::openShowFile(const QString& fileName)
{
    if (!m_parts.engine.load_show(fileName))
        return false;
    // A show just read holds no edits and has a file of its own, whatever
    // the show before it had.
    m_parts.show.Changed = false;
    m_parts.show.NewFile = false;
    return true;
}

void ShowFiles::do_open_collect()
{
    // Opening another show drops the one in memory: its edits are offered
    // for saving first, as the recent entries do.
    if (hasUnsavedEdits() && AskSaveShowEdits(Prompts::vbYesNoCancel) == Prompts::vbCancel)
        return;

    CommonDialog& dialog = m_parts.dialog;
    dialog.DialogTitle = QStringLiteral("Open Show");
    dialog.Filter = ShowFilter;
    startInDataFolder();
    VbError error;
    const QString fileName = dialog.ShowOpen(&error);
    if (error.isError()) {
        errorLog(QStringLiteral("ERROR on open file: "), error);
        return;
    }
    if (fileName.isEmpty())
        return;
    if (openShowFile(fileName))
        UpdateMenu(fileName);
    m_parts.engine.do_set_collect();
}

QString ShowFiles::do_open_slide()
{
    CommonDialog& dialog = m_parts.dialog;
    dialog.Filter = SlideFilter;
    startInDataFolder();
    VbError error;
    const QString fileName = dialog.ShowOpen(&error);
    if (error.isError()) {
        errorLog(QStringLiteral("ERROR on open slide file: "), error);
        return QString();
    }
    return fileName;
}

void ShowFiles::do_save_collect()
{
    CommonDialog& dialog = m_parts.dialog;
    colURLs& show = m_parts.show;
    // A save dialog does not keep the title "Open Show" of an open dialog.
    dialog.DialogTitle.clear();
    dialog.FileName = show.TrayFilename;
    startInDataFolder();
    dialog.Filter = ShowFilter;

    // Saving under the show's own name asks nothing.
    const QString fileName = chooseSaveName(show.TrayFilename, true);
    if (fileName.isEmpty())
        return;

    show.TrayFilename = fileName;
    show.NewFile = false;
    show.SavetoDisk();
    UpdateMenu(fileName);
    m_parts.options.CarouselFileName = fileName;
    m_parts.view.setWindowTitle(modFileTools::FileNameNoExt(fileName, QStringLiteral("txt")) +
                                TitleSuffix);
}

void ShowFiles::saveShow()
{
    colURLs& show = m_parts.show;
    if (show.TrayFilename.isEmpty() || show.NewFile) {
        do_save_collect();
        return;
    }
    show.SavetoDisk();
    UpdateMenu(show.TrayFilename);
}

void ShowFiles::openRecent(int index)
{
    if (index < 1 || index > m_recent.size())
        return;
    if (hasUnsavedEdits() && AskSaveShowEdits(Prompts::vbYesNoCancel) == Prompts::vbCancel)
        return;
    openShowFile(m_recent.at(index - 1));
}

void ShowFiles::saveOptionsToFile()
{
    CommonDialog& dialog = m_parts.dialog;
    dialog.DialogTitle.clear();
    dialog.FileName = QStringLiteral("options");
    startInDataFolder();
    dialog.Filter = ShowFilter;

    const QString fileName = chooseSaveName(QString(), false);
    if (fileName.isEmpty())
        return;
    const bool saved = m_parts.options.SavetoFile(fileName);
    m_parts.view.setStatusText(saved ? QStringLiteral("Options saved to file.")
                                     : QStringLiteral("Options not saved to file."));
}

QString ShowFiles::chooseSaveName(const QString& currentName, bool logOverwrite)
{
    for (;;) {
        VbError error;
        const QString fileName = m_parts.dialog.ShowSave(&error);
        if (error.isError()) {
            errorLog(QStringLiteral("ERROR on save file: "), error);
            return QString();
        }
        if (fileName.isEmpty())
            return QString();
        if (fileName == currentName || !modFileTools::FileExists(fileName))
            return fileName;
        // An existing file: Yes replaces it, No shows the dialog again.
        const int answer = askOverwrite();
        if (answer == Prompts::vbYes) {
            if (logOverwrite)
                debugLog(QStringLiteral("Overwriting file"));
            return fileName;
        }
        if (answer == Prompts::vbCancel) {
            debugLog(QStringLiteral("Aborting save.."));
            return QString();
        }
    }
}

QString ShowFiles::chooseFile(const modInpExp::FileChoice& choice, bool save, VbError* error)
{
    CommonDialog& dialog = m_parts.dialog;
    dialog.DialogTitle = choice.DialogTitle;
    dialog.FileName = choice.FileName;
    dialog.Filter = choice.Filter;
    if (dialog.InitDir.isEmpty())
        dialog.InitDir = choice.InitDir;
    return save ? dialog.ShowSave(error) : dialog.ShowOpen(error);
}

// ------------------------------------------------------------- new shows

QString ShowFiles::newShowName(const QDate& date, const QStringList& recent)
{
    const QString day = date.toString(QStringLiteral("MM-dd-yy")) + QStringLiteral(".txt");
    // The recent list holds full paths: a name is taken when a recent
    // show's file has it.
    const auto taken = [&recent](const QString& name) {
        for (const QString& path : recent) {
            if (path.compare(name, Qt::CaseInsensitive) == 0 ||
                modFileTools::FileFromPath(path).compare(name, Qt::CaseInsensitive) == 0)
                return true;
        }
        return false;
    };
    QString name = QStringLiteral("Show") + day;
    for (char letter = 'A'; taken(name) && letter <= 'Z'; ++letter)
        name = QStringLiteral("Show") + QLatin1Char(letter) + day;
    return name;
}

void ShowFiles::StartNewShow()
{
    colURLs& show = m_parts.show;
    show.EraseAll();
    show.NewFile = true;
    show.TrayFilename = newShowName(QDate::currentDate(), m_recent);
    m_parts.view.setWindowTitle(QString());
    m_parts.state.NumCurrentSlide = 0;
    m_parts.state.NumSlidesShown = 0;
    m_parts.engine.set_slider();
    m_parts.bShowEdited = true;
}

// -------------------------------------------------------------- questions

bool ShowFiles::hasUnsavedEdits() const
{
    return m_parts.show.Changed && m_parts.show.Count() >= 1;
}

int ShowFiles::AskSaveShowEdits(int buttons)
{
    const int answer = Prompts::MsgBox(
        QStringLiteral("Do you want to save changes made to") + CrLf + m_parts.show.TrayFilename +
            CrLf + QStringLiteral("during this session?"),
        buttons + Prompts::vbExclamation, QStringLiteral("Save Show Edits?"));
    if (answer == Prompts::vbYes)
        saveShow();
    else if (answer == Prompts::vbNo)
        debugLog(QStringLiteral("Changes not saved"));
    else if (answer == Prompts::vbCancel)
        debugLog(QStringLiteral("Cancelling exit"));
    return answer;
}

int ShowFiles::AskSaveSettings()
{
    const int answer = Prompts::MsgBox(
        QStringLiteral("Do you want to save any changes made to settings?"),
        Prompts::vbYesNo + Prompts::vbExclamation, QStringLiteral("Save Pagewheel Settings?"));
    if (answer == Prompts::vbYes) {
        debugLog(modRegistry::RegistrySave(m_parts.options)
                     ? QStringLiteral("New Settings saved")
                     : QStringLiteral("ERROR saving new settings."));
    } else {
        debugLog(modRegistry::RegistrySave(modMain::SavedOptions)
                     ? QStringLiteral("Original Settings restored")
                     : QStringLiteral("ERROR restoring original settings."));
    }
    m_parts.options.Changed = false;
    return answer;
}
