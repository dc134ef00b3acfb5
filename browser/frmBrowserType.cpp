// SPDX-License-Identifier: GPL-3.0-or-later
#include "browser/frmBrowserType.h"

#include "browser/BrowserConnection.h"
#include "browser/modURL.h"
#include "platform/CommonDialog.h"
#include "platform/DdeLink.h"
#include "platform/Help.h"
#include "platform/HelpTopics.h"
#include "platform/Prompts.h"
#include "settings/COptions.h"
#include "settings/DialogPosition.h"
#include "startup/modMain.h"
#include "startup/modToolTips.h"

#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

using modMain::debugLog;

const QString CrLf = QStringLiteral("\r\n");
const QString WindowName = QStringLiteral("frmBrowserType");

struct Column
{
    QString name;
    QString caption;
    QString drives; ///< what the column drives on this system
    int first;
    int last;
};

// The old captions stay; the second line says what each column means here.
const Column Columns[] = {
    {QStringLiteral("lblIE"), QStringLiteral("Internet Explorer"),
     QStringLiteral("Chromium family"), 0, 2},
    {QStringLiteral("lblNetscape"), QStringLiteral("Netscape Navigator"), QStringLiteral("Firefox"),
     3, 5},
    {QStringLiteral("lblOther"), QStringLiteral("Other"),
     QStringLiteral("remote-open command line"), 6, 6},
};

const char* const Captions[frmBrowserType::ChoiceCount] = {
    "Version 2", "Version 3", "Version 4/5",    "Version 2",
    "Version 3", "Version 4", "&DDE Compliant",
};

QPushButton* button(const QString& caption, const QString& name, QWidget* parent)
{
    auto* pushButton = new QPushButton(caption, parent);
    pushButton->setObjectName(name);
    return pushButton;
}

} // namespace

frmBrowserType::frmBrowserType(COptions& options, BrowserConnection& connection, QWidget* parent)
    : QDialog(parent), m_options(options), m_connection(connection)
{
    setObjectName(WindowName);
    setWindowTitle(QStringLiteral("Browser Type"));
    setModal(true);
    buildControls();
    Help::setHelpContext(this, modMain::HelpFile(), HelpTopics::frmBrowserType);

    const DialogPosition::Position where = DialogPosition::Load(WindowName, {-1, -1});
    if (where.left >= 0 && where.top >= 0)
        move(where.left / 15, where.top / 15);
    Form_Load();
}

frmBrowserType::~frmBrowserType()
{
    DialogPosition::Save(WindowName, {pos().x() * 15, pos().y() * 15}, isMinimized(),
                         isMaximized());
}

void frmBrowserType::buildControls()
{
    auto* columns = new QHBoxLayout;
    for (const Column& column : Columns) {
        auto* box = new QVBoxLayout;
        auto* caption = new QLabel(column.caption, this);
        caption->setObjectName(column.name);
        QFont bold = caption->font();
        bold.setBold(true);
        caption->setFont(bold);
        auto* drives = new QLabel(QLatin1Char('(') + column.drives + QLatin1Char(')'), this);
        drives->setObjectName(column.name + QStringLiteral("Drives"));
        box->addWidget(caption);
        box->addWidget(drives);
        for (int i = column.first; i <= column.last; ++i) {
            optBrowser[i] = new QRadioButton(QString::fromLatin1(Captions[i]), this);
            optBrowser[i]->setObjectName(QStringLiteral("optBrowser%1").arg(i));
            optBrowser[i]->setAccessibleDescription(column.caption + QStringLiteral(", ") +
                                                    column.drives);
            connect(optBrowser[i], &QRadioButton::clicked, this,
                    [this, i] { optBrowser_Click(i); });
            box->addWidget(optBrowser[i]);
        }
        box->addStretch();
        columns->addLayout(box);
    }

    txtDDEApp = new QLineEdit(this);
    txtDDEApp->setObjectName(QStringLiteral("txtDDEApp"));
    txtDDEexe = new QLineEdit(this);
    txtDDEexe->setObjectName(QStringLiteral("txtDDEexe"));
    auto* appLabel = new QLabel(QStringLiteral("Application &Name"), this);
    appLabel->setBuddy(txtDDEApp);
    auto* exeLabel = new QLabel(QStringLiteral("Application &Executable"), this);
    exeLabel->setBuddy(txtDDEexe);
    cmdBrowse = button(QStringLiteral("&Browse"), QStringLiteral("cmdBrowse"), this);
    connect(cmdBrowse, &QPushButton::clicked, this, &frmBrowserType::cmdBrowse_Click);
    // Any edit of the names counts as a change.
    connect(txtDDEApp, &QLineEdit::textEdited, this, [this] { m_changed = true; });
    connect(txtDDEexe, &QLineEdit::textEdited, this, [this] { m_changed = true; });

    auto* autoLabel = new QLabel(QStringLiteral("Automation"), this);
    autoLabel->setObjectName(QStringLiteral("lblAutoLbl"));
    lblAutomation = new QLabel(this);
    lblAutomation->setObjectName(QStringLiteral("lblAutomation"));
    lblAutomation->setFrameShape(QFrame::StyledPanel);

    auto* fields = new QGridLayout;
    fields->addWidget(appLabel, 0, 0);
    fields->addWidget(txtDDEApp, 0, 1);
    fields->addWidget(exeLabel, 1, 0);
    fields->addWidget(txtDDEexe, 1, 1);
    fields->addWidget(cmdBrowse, 1, 2);
    fields->addWidget(autoLabel, 2, 0);
    fields->addWidget(lblAutomation, 2, 1);

    cmdOK = button(QStringLiteral("OK"), QStringLiteral("cmdOK"), this);
    cmdOK->setDefault(true);
    cmdCancel = button(QStringLiteral("Cancel"), QStringLiteral("cmdCancel"), this);
    cmdTest = button(QStringLiteral("&Test"), QStringLiteral("cmdTest"), this);
    cmdHelp = button(QStringLiteral("&Help"), QStringLiteral("cmdHelp"), this);
    connect(cmdOK, &QPushButton::clicked, this, &frmBrowserType::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(cmdTest, &QPushButton::clicked, this, &frmBrowserType::cmdTest_Click);
    connect(cmdHelp, &QPushButton::clicked, this,
            [] { Help::WinHelp(modMain::HelpFile(), 1, HelpTopics::frmBrowserType); });
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdTest);
    buttons->addStretch();
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    buttons->addWidget(cmdHelp);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(columns);
    layout->addLayout(fields);
    layout->addLayout(buttons);
}

void frmBrowserType::Form_Load()
{
    if (m_options.ToolTips)
        modMain::ToolTipsOn(this);
    // The options' own names first: a DDE Compliant choice keeps them.
    m_application = m_options.AutoDDEapp;
    m_executable = m_options.AutoDDEexe;
    const int mode = m_options.AutoMode;
    if (mode >= 0 && mode < ChoiceCount) {
        optBrowser[mode]->setChecked(true);
        optBrowser_Click(mode);
    }
    if (mode == DdeCompliant) {
        txtDDEApp->setText(m_options.AutoDDEapp);
        txtDDEexe->setText(m_options.AutoDDEexe);
    }
    m_changed = false;
}

int frmBrowserType::selectedIndex() const
{
    for (int i = 0; i < ChoiceCount; ++i) {
        if (optBrowser[i]->isChecked())
            return i;
    }
    return -1;
}

void frmBrowserType::optBrowser_Click(int index)
{
    if (!optBrowser[index]->isChecked())
        optBrowser[index]->setChecked(true);
    modURL::config_Browser(qint16(index), m_useOLE, m_useDDE, m_application, m_executable);
    const bool own = index == DdeCompliant;
    txtDDEexe->setEnabled(own);
    txtDDEApp->setEnabled(own);
    cmdBrowse->setEnabled(own);
    if (m_useOLE)
        lblAutomation->setText(QStringLiteral("OLE"));
    else if (m_useDDE)
        lblAutomation->setText(QStringLiteral("DDE"));
    m_changed = true;
}

void frmBrowserType::cmdBrowse_Click()
{
    CommonDialog dialog(this);
    dialog.CancelError = true;
    if (!txtDDEexe->text().isEmpty())
        dialog.FileName = txtDDEexe->text();
    dialog.InitDir = QStringLiteral("../../");
    dialog.DefaultExt = QStringLiteral("exe");
    dialog.DialogTitle = QStringLiteral("Open file...");
    dialog.Filter = QStringLiteral("Program Files(*.exe)| *.exe|All Files (*.*)|*.*|");
    // Programs here seldom end in ".exe": the dialog opens on all files.
    dialog.FilterIndex = 2;
    VbError error;
    const QString chosen = dialog.ShowOpen(&error);
    if (error.isError())
        return;
    txtDDEexe->setText(chosen);
    m_changed = true;
    if (chosen.isEmpty())
        return;
    const QFileInfo file(chosen);
    if (!file.exists()) {
        Prompts::MsgBox(QStringLiteral("File does not exist"),
                        Prompts::vbOKCancel + Prompts::vbExclamation, QStringLiteral("Open File"));
    }
    // A program's file name, without ".exe" where it has one, is the
    // name its remote-open service goes by.
    QString name = file.fileName();
    if (name.toUpper().endsWith(QStringLiteral(".EXE")))
        name.chop(4);
    txtDDEApp->setText(name);
}

bool frmBrowserType::Validate()
{
    if (selectedIndex() != DdeCompliant) {
        const QString path = modURL::LocateBrowserExe(m_executable);
        if (path.isEmpty()) {
            Prompts::MsgBox(
                QStringLiteral("Browser selected,") + m_executable +
                    QStringLiteral(", is not installed or registered on this computer.") + CrLf +
                    QStringLiteral("Select another browser or Cancel and check browser "
                                   "installation."),
                Prompts::vbExclamation, QStringLiteral("Browser Not Found"));
            debugLog(QStringLiteral("Browser Type: Selected browser,") + m_executable +
                     QStringLiteral(", not installed."));
            return false;
        }
        debugLog(QStringLiteral("Browser change OK."));
        return true;
    }

    m_executable = txtDDEexe->text();
    if (m_executable.isEmpty()) {
        Prompts::MsgBox(QStringLiteral("No DDE Program selected."), Prompts::vbExclamation,
                        QStringLiteral("Field Error"));
        debugLog(QStringLiteral("Browser Type: No DDE executable selected."));
        txtDDEexe->setFocus();
        return false;
    }
    if (modURL::LocateBrowserExe(m_executable).isEmpty()) {
        Prompts::MsgBox(QStringLiteral("Program ") + m_executable + CrLf +
                            QStringLiteral("does not exist or is not registered."),
                        Prompts::vbExclamation);
        debugLog(QStringLiteral("Program does not exist."));
        return false;
    }
    if (txtDDEApp->text().isEmpty()) {
        Prompts::MsgBox(QStringLiteral("No DDE Application selected."), Prompts::vbExclamation,
                        QStringLiteral("Field Error"));
        debugLog(QStringLiteral("Browser Type: No DDE application selected."));
        txtDDEApp->setFocus();
        return false;
    }
    m_application = txtDDEApp->text();
    return true;
}

void frmBrowserType::cmdOK_Click()
{
    if (!m_changed) {
        accept();
        return;
    }
    if (!Validate())
        return;
    if (Prompts::MsgBox(QStringLiteral("Reseting to new browser."), Prompts::vbOKCancel,
                        QStringLiteral("New Browser")) != Prompts::vbOK)
        return;

    COptions& windowOptions = m_connection.options();
    m_connection.unload_browser(m_connection.UseOLE, m_connection.UseDDE, windowOptions.AutoDDEapp,
                                windowOptions.AutoDDEexe);

    const qint16 mode = qint16(selectedIndex());
    // The opener's record and the first window's (the same one unless a
    // further window opened the dialog) both take the new browser.
    for (COptions* record : {&m_options, &windowOptions}) {
        record->AutoMode = mode;
        record->AutoDDEexe = m_executable;
        record->AutoDDEapp = m_application;
        record->Changed = true;
    }

    m_connection.UseOLE = m_useOLE;
    m_connection.UseDDE = m_useDDE;
    modURL::config_Browser(mode, m_connection.UseOLE, m_connection.UseDDE, windowOptions.AutoDDEapp,
                           windowOptions.AutoDDEexe);
    m_connection.load_Browser(m_connection.UseOLE, m_connection.UseDDE, windowOptions.AutoDDEapp,
                              windowOptions.AutoDDEexe);
    m_switched = true;
    accept();
}

void frmBrowserType::cmdTest_Click()
{
    // The names as they stand in the boxes, which the message below asks
    // the user to check.
    if (selectedIndex() == DdeCompliant) {
        m_application = txtDDEApp->text();
        m_executable = txtDDEexe->text();
    }
    bool useOLE = m_useOLE;
    bool useDDE = m_useDDE;
    // The browser under test runs beside the window's own, which the test
    // must neither replace nor close.
    COptions testOptions;
    m_connection.options().Copy_Object_to(testOptions);
    testOptions.AutoDDEapp = m_application;
    testOptions.AutoDDEexe = m_executable;
    BrowserConnection test(testOptions);
    test.setBrowserProgram(m_connection.browserProgram());
    test.setProfileFolder(m_connection.profileFolder());
    if (!test.load_Browser(useOLE, useDDE, m_application, m_executable))
        return;
    Prompts::MsgBox(QStringLiteral("If the new browser did not start on the screen") + CrLf +
                        QStringLiteral("or on the taskbar,") + CrLf +
                        QStringLiteral("then the browser failed the DDE automation test.") + CrLf +
                        QStringLiteral("Re-verify the application path and the DDE application "
                                       "name.") +
                        CrLf + QStringLiteral("Unload the  browser under test..."),
                    Prompts::vbOKOnly, QStringLiteral("Test Complete"));
    // A remote-open test that found the window's own browser running
    // started nothing of its own to end.
    const bool windowsBrowser = m_connection.UseDDE && useDDE &&
                                test.link().executable() == m_connection.link().executable();
    if (!windowsBrowser)
        test.unload_browser(useOLE, useDDE, m_application, m_executable);
}
