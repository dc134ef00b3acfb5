// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <QPointer>

class COptions;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QStatusBar;
class colURLs;
class frmAudit;

/// "Make Web Show": the settings of a self-running web show of a show,
/// the two pages written into a folder (Make Show), the start page opened
/// in a browser (Test) and a report on the show's pages and files (Audit).
/// It is not modal; nothing of it is kept between openings.
class frmWebShow : public QDialog
{
    Q_OBJECT

public:
    /// The show and the options stay the opener's; useOLE is how the
    /// opener drives its browser, for Test.
    frmWebShow(const colURLs& show, const COptions& options, bool useOLE,
               QWidget* parent = nullptr);

    /// Where the pages go unless the user chooses otherwise: the program's
    /// "data" folder, or the user's data folder when that cannot be
    /// written (*moved is then true).
    static QString DefaultFolder(bool* moved = nullptr);

    /// The required fields and the pause setting, in order; false (with
    /// its message shown and the field focused) at the first failure.
    bool ValidateWebShow();
    /// The pause in seconds: the chosen setting, else the options' interval.
    qint32 GetPauseSeconds() const;

    /// Answers given elsewhere (the web show wizard) for the dialog's
    /// fields.
    struct Choices
    {
        bool web = false;
        QString localPath; ///< relocation: the show's path to replace
        QString webPath;   ///< relocation: the path that replaces it
        QString startPage;
        QString folder;
        bool autoStart = false;
        bool useSound = false;
    };
    /// Fills the show type, the relocation pair, the start page, the
    /// folder and the two boxes in.
    void fillIn(const Choices& choices);

    /// The audit window, once Audit has opened it.
    frmAudit* auditWindow() const;

private:
    void buildControls();
    void Form_Load();
    void optShowType_Click();
    void cmdBrowse_Click(QLineEdit* target);
    bool RequireEntry(QWidget* field, const QString& text);
    void cmdOK_Click();
    /// Writes one page; the message that says why not when it fails.
    QString writePage(const QString& path, const QString& text);
    void cmdTest_Click();
    void cmdAudit_Click();
    void cmdHelp_Click();
    void showTagOf(QWidget* focused);

    const colURLs& m_show;
    const COptions& m_options;
    bool m_useOLE;
    QString m_showName;
    QString m_defaultFolder;
    QPointer<frmAudit> m_audit;

    QRadioButton* m_optWeb = nullptr;
    QRadioButton* m_optLocal = nullptr;
    QGroupBox* m_frameReplace = nullptr;
    QLabel* m_lblPathLcl = nullptr;
    QLabel* m_lblPathWeb = nullptr;
    QLineEdit* m_txtPathLcl = nullptr;
    QLineEdit* m_txtPathWeb = nullptr;
    QPushButton* m_cmdBrowseLcl = nullptr;
    QComboBox* m_cboReloadInterval = nullptr;
    QCheckBox* m_chkUseSnd = nullptr;
    QLineEdit* m_txtTitle = nullptr;
    QLineEdit* m_txtShowFile = nullptr;
    QLineEdit* m_txtPath = nullptr;
    QPushButton* m_cmdBrowsePath = nullptr;
    QLineEdit* m_txtStartFile = nullptr;
    QCheckBox* m_chkAutoStart = nullptr;
    QPushButton* m_cmdOK = nullptr;
    QPushButton* m_cmdCancel = nullptr;
    QPushButton* m_cmdHelp = nullptr;
    QPushButton* m_cmdTest = nullptr;
    QPushButton* m_cmdAudit = nullptr;
    QStatusBar* m_pnlStatus = nullptr;
};
