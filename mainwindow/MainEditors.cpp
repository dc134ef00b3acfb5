// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/MainEditors.h"

#include "editors/frmDirList.h"
#include "editors/frmListEdit.h"
#include "editors/frmSlideEdit.h"
#include "mainwindow/ShowFiles.h"
#include "platform/Prompts.h"
#include "settings/cShowState.h"
#include "show/colURLs.h"
#include "startup/modMain.h"

MainEditors::MainEditors(const Parts& parts) : m_parts(parts)
{
}

void MainEditors::mnuFileNewBlank_Click()
{
    if (m_parts.files.hasUnsavedEdits())
        m_parts.files.AskSaveShowEdits(Prompts::vbYesNo);
    m_parts.files.StartNewShow();
    m_parts.show.Changed = true;
    openListEditor();
}

void MainEditors::mnuFileNewDirList_Click()
{
    if (m_parts.files.hasUnsavedEdits() &&
        m_parts.files.AskSaveShowEdits(Prompts::vbYesNoCancel) == Prompts::vbCancel)
        return;
    m_parts.files.StartNewShow();
    m_parts.show.Changed = true;
    frmDirList dialog(&m_parts.show, m_parts.options, m_parts.window);
    if (dialog.exec() == QDialog::Accepted)
        m_parts.bShowEdited = true;
    m_parts.refresh();
}

void MainEditors::mnuFileEdit_Click()
{
    openListEditor();
}

void MainEditors::openListEditor()
{
    frmListEdit editor(m_parts.show, m_parts.options, this, m_parts.window);
    editor.nCurrentSlide = m_parts.state.NumCurrentSlide;
    editor.exec();
    m_parts.refresh();
}

void MainEditors::doEditSlide()
{
    const qint16 current = m_parts.state.NumCurrentSlide;
    if (current < 1 || current > m_parts.show.Count()) {
        modMain::debugLog(QStringLiteral("doEditSlide: Not a record."));
        m_parts.beep();
        return;
    }
    frmSlideEdit editor(m_parts.window);
    editor.nSlideIndex = current;
    editor.bNewSlide = false;
    editor.bListMode = false;
    editor.colShow = &m_parts.show;
    editor.oOptions = &m_parts.options;
    editor.host = this;
    editor.exec();
    m_parts.refresh();
}

void MainEditors::do_open_collect()
{
    m_parts.files.do_open_collect();
}

QString MainEditors::do_open_slide()
{
    return m_parts.files.do_open_slide();
}

void MainEditors::viewAddress(const QString& address)
{
    m_parts.view(address);
}

void MainEditors::saveShow()
{
    m_parts.files.saveShow();
}

void MainEditors::showEdited()
{
    m_parts.bShowEdited = true;
}
