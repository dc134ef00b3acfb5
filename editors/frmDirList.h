// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

class COptions;
class QComboBox;
class QLineEdit;
class QListView;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class QRadioButton;
class QStatusBar;
class QStringListModel;
class QToolButton;
class colURLs;

/// "Make Show from Directory": fills a new show with the files of one
/// folder, all of them or those selected in the file list. As a folder
/// picker ("Choose Directory") it hands the chosen folder to the calling
/// window's "txtFindDir" property instead and fills no show.
class frmDirList : public QDialog
{
    Q_OBJECT

public:
    /// show may be nullptr in picker mode.
    frmDirList(colURLs* show, COptions& options, QWidget* parent = nullptr);

    /// Picker mode: on OK the folder, with a final separator, goes into
    /// caller->setProperty("txtFindDir", ...).
    void setPicker(QObject* caller);
    /// The folder the lists start in (the home folder when none is given).
    void setStartFolder(const QString& folder);

    /// The folder the folder and file lists show.
    QString folder() const { return m_folder; }
    /// Moves the folder and file lists to a folder and puts it into the
    /// path box.
    void setFolder(const QString& folder);

    /// The places the drive list offers: home, the root and the mounted
    /// volumes.
    static QStringList places();

protected:
    void showEvent(QShowEvent* event) override;
    void reject() override;

private:
    void buildControls();
    void Form_Load();
    void fillFolderList();
    void fillFileList();
    void applySelectionMode();
    void drvList_Change(int index);
    void dirList_Activated(QListWidgetItem* item);
    void cmdUp_Click();
    void txtPattern_Change();
    void txtDir_EditingFinished();
    void fileList_Click();
    void cmdOK_Click();
    void cmdHelp_Click();
    /// Appends one slide per file; the number added, or -1 when cancelled.
    qint32 addAllFiles(const QString& folder);
    qint32 addSelectedFiles(const QString& folder);
    void showTagOf(QWidget* focused);

    colURLs* m_show;
    COptions& m_options;
    QObject* m_caller = nullptr;
    QString m_folder;
    bool m_loaded = false;

    QComboBox* m_drvList = nullptr;
    QListWidget* m_dirList = nullptr;
    QLineEdit* m_txtDir = nullptr;
    QToolButton* m_cmdUp = nullptr;
    QListView* m_fileList = nullptr;
    QStringListModel* m_files = nullptr;
    QLineEdit* m_txtPattern = nullptr;
    QRadioButton* m_optAll = nullptr;
    QRadioButton* m_optSelected = nullptr;
    QPushButton* m_cmdOK = nullptr;
    QPushButton* m_cmdCancel = nullptr;
    QPushButton* m_cmdHelp = nullptr;
    QStatusBar* m_pnlStatus = nullptr;
};
