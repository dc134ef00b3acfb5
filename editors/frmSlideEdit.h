// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

class COptions;
class EditorHost;
class ListEditModel;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QStatusBar;
class QToolBar;
class colURLs;

/// "Add / Edit Slide": one slide's address, sound file, pause and skip
/// flag. In collection mode it edits the show's record at nSlideIndex; in
/// list mode the list editor's row at nSlideIndex, which the list editor
/// writes into the show later. The inputs stay set between openings, so
/// each caller sets all it relies on before every opening.
class frmSlideEdit : public QDialog
{
    Q_OBJECT

public:
    explicit frmSlideEdit(QWidget* parent = nullptr);

    /// 1-based; 0 means none. 32 bits: a list may hold more rows than 16
    /// bits can count.
    qint32 nSlideIndex = 0;
    bool bNewSlide = false; ///< Cancel removes the row made for this edit
    bool bListMode = false;
    colURLs* colShow = nullptr;
    COptions* oOptions = nullptr;
    ListEditModel* list = nullptr; ///< the list editor's rows (list mode)
    EditorHost* host = nullptr;    ///< the main window's open and view

    /// The pause check of OK; shows "Field Error" and returns false when
    /// the text is no pause.
    bool ValidatePause();

    /// The longest pause the field takes.
    static constexpr qint32 MaxPause = 999999;

protected:
    void showEvent(QShowEvent* event) override;
    void done(int result) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void Form_Load();
    void cmdOK_Click();
    void slideOpen();
    void slideRun();
    void soundOpen();
    void soundRun();
    void showTagOf(QWidget* focused);
    bool dropFile(QLineEdit* field, const QString& name, QEvent* event);

    QLineEdit* m_txtURL = nullptr;
    QLineEdit* m_txtSound = nullptr;
    QLineEdit* m_txtPause = nullptr;
    QCheckBox* m_chkSkip = nullptr;
    QToolBar* m_tbrOpen[2] = {};
    QPushButton* m_cmdOK = nullptr;
    QPushButton* m_cmdCancel = nullptr;
    QPushButton* m_cmdHelp = nullptr;
    QStatusBar* m_pnlStatus = nullptr;
    QLabel* m_date = nullptr;
    QLabel* m_time = nullptr;
    bool m_placed = false;
};
