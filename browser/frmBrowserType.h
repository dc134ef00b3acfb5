// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <QString>

#include <array>

class BrowserConnection;
class COptions;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

/// "Browser Type": chooses the browser the program drives and how, tests
/// the choice, and switches the program's first main window over to it.
///
/// The choices are the browser modes 0..6. The dialog works on the
/// connection of the first main window whichever window opened it; the
/// options record is the opener's and is written only after the user
/// confirms the switch.
class frmBrowserType : public QDialog
{
    Q_OBJECT

public:
    /// The connection is the first main window's (BrowserConnection::first()).
    frmBrowserType(COptions& options, BrowserConnection& connection, QWidget* parent = nullptr);
    ~frmBrowserType() override;

    static constexpr int ChoiceCount = 7;
    static constexpr int DdeCompliant = 6;

    /// The option clicked (0..6), as when the user clicks it.
    void optBrowser_Click(int index);
    void cmdBrowse_Click();
    /// True when the choice may be used; otherwise a box told why.
    bool Validate();
    void cmdOK_Click();
    void cmdTest_Click();

    /// True when a choice or a name was changed since loading.
    bool changed() const { return m_changed; }
    /// True when OK switched the browser.
    bool switched() const { return m_switched; }

private:
    void buildControls();
    void Form_Load();
    int selectedIndex() const;

    COptions& m_options;
    BrowserConnection& m_connection;

    // The choice's flags and names as config_Browser leaves them.
    QString m_executable;
    QString m_application;
    bool m_useOLE = false;
    bool m_useDDE = false;
    bool m_changed = false;
    bool m_switched = false;

    std::array<QRadioButton*, ChoiceCount> optBrowser{};
    QLineEdit* txtDDEApp = nullptr;
    QLineEdit* txtDDEexe = nullptr;
    QPushButton* cmdBrowse = nullptr;
    QLabel* lblAutomation = nullptr;
    QPushButton* cmdTest = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;
    QPushButton* cmdHelp = nullptr;
};
