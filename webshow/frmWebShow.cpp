// SPDX-License-Identifier: GPL-3.0-or-later
#include "webshow/frmWebShow.h"

#include "browser/modURL.h"
#include "editors/frmDirList.h"
#include "engine/ComboIntervalBox.h"
#include "engine/modInterval.h"
#include "platform/Help.h"
#include "platform/HelpTopics.h"
#include "platform/Prompts.h"
#include "settings/COptions.h"
#include "show/colURLs.h"
#include "startup/modFileTools.h"
#include "startup/modMain.h"
#include "startup/modToolTips.h"
#include "webshow/WebShowAudit.h"
#include "webshow/frmAudit.h"
#include "webshow/modTemplate.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTemporaryFile>
#include <QVBoxLayout>

namespace {

const QString NewLine = QStringLiteral("\r\n");
const QString DefaultShowFile = QStringLiteral("WebShow.htm");
const QString DefaultStartFile = QStringLiteral("StrtShow.htm");
const QString StartTemplate = QStringLiteral("STRTTOUR.txt");

void setTag(QWidget* widget, const QString& tag)
{
    widget->setProperty("Tag", tag);
}

/// Tried for real: permission bits say little to root or on a read-only
/// mount. A folder not there yet counts when it can be made.
bool canWriteInto(const QString& folder)
{
    const QFileInfo info(folder);
    if (!info.exists()) {
        const QString parent = info.absolutePath();
        return parent != info.absoluteFilePath() && canWriteInto(parent);
    }
    if (!info.isDir())
        return false;
    QTemporaryFile probe(folder + QStringLiteral("/.pagewheel-XXXXXX"));
    return probe.open();
}

/// Restores the pointer however Make Show ends.
class BusyPointer
{
public:
    BusyPointer() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyPointer() { restore(); }
    BusyPointer(const BusyPointer&) = delete;
    BusyPointer& operator=(const BusyPointer&) = delete;
    void restore()
    {
        if (m_on)
            QApplication::restoreOverrideCursor();
        m_on = false;
    }

private:
    bool m_on = true;
};

} // namespace

frmWebShow::frmWebShow(const colURLs& show, const COptions& options, bool useOLE, QWidget* parent)
    : QDialog(parent), m_show(show), m_options(options), m_useOLE(useOLE)
{
    setObjectName(QStringLiteral("frmWebShow"));
    setWindowTitle(QStringLiteral("Make Web Show"));
    setModal(false);
    buildControls();
    Help::setHelpContext(this, modMain::HelpFile(), HelpTopics::frmWebShow);
    Form_Load();
}

void frmWebShow::buildControls()
{
    // The show type and the relocation pair.
    m_optWeb = new QRadioButton(QStringLiteral("W&eb based show"), this);
    m_optWeb->setObjectName(QStringLiteral("optShowType1"));
    setTag(m_optWeb, QStringLiteral("Shows that are available on the web."));
    m_optLocal = new QRadioButton(QStringLiteral("L&ocally based show"), this);
    m_optLocal->setObjectName(QStringLiteral("optShowType0"));
    setTag(m_optLocal, QStringLiteral("Local shows are played on this computer."));

    m_frameReplace = new QGroupBox(QStringLiteral("Relocate files with the following path"), this);
    m_frameReplace->setObjectName(QStringLiteral("frameReplace"));
    m_txtPathLcl = new QLineEdit(m_frameReplace);
    m_txtPathLcl->setObjectName(QStringLiteral("txtPathLcl"));
    setTag(m_txtPathLcl, QStringLiteral("Directory where web pages are currently located."));
    m_lblPathLcl = new QLabel(QStringLiteral("&Replace"), m_frameReplace);
    m_lblPathLcl->setBuddy(m_txtPathLcl);
    m_txtPathWeb = new QLineEdit(m_frameReplace);
    m_txtPathWeb->setObjectName(QStringLiteral("txtPathWeb"));
    setTag(m_txtPathWeb, QStringLiteral("Relative path where files will be located (blank if in "
                                        "same directory)."));
    m_lblPathWeb = new QLabel(QStringLiteral("w&ith"), m_frameReplace);
    m_lblPathWeb->setBuddy(m_txtPathWeb);
    m_cmdBrowseLcl = new QPushButton(QStringLiteral("Browse"), m_frameReplace);
    m_cmdBrowseLcl->setObjectName(QStringLiteral("cmdBrowse1"));
    setTag(m_cmdBrowseLcl, QStringLiteral("Find a directory or path to replace."));
    auto* replaceGrid = new QGridLayout(m_frameReplace);
    replaceGrid->addWidget(m_lblPathLcl, 0, 0);
    replaceGrid->addWidget(m_txtPathLcl, 0, 1);
    replaceGrid->addWidget(m_cmdBrowseLcl, 0, 2);
    replaceGrid->addWidget(m_lblPathWeb, 1, 0);
    replaceGrid->addWidget(m_txtPathWeb, 1, 1);

    // The web show settings.
    auto* settings = new QGroupBox(QStringLiteral("Web Show Settings"), this);
    settings->setObjectName(QStringLiteral("frameSettings"));
    m_cboReloadInterval = new QComboBox(settings);
    m_cboReloadInterval->setObjectName(QStringLiteral("cboReloadInterval"));
    m_cboReloadInterval->setEditable(true);
    m_cboReloadInterval->setInsertPolicy(QComboBox::NoInsert);
    setTag(m_cboReloadInterval,
           QStringLiteral("Specify the interval between pages during the show."));
    auto* lblPause = new QLabel(QStringLiteral("Pa&use Between Slides:"), settings);
    lblPause->setBuddy(m_cboReloadInterval);
    setTag(lblPause, QStringLiteral("Set default time to pause for all slides."));
    m_chkUseSnd = new QCheckBox(QStringLiteral("use sou&nd"), settings);
    m_chkUseSnd->setObjectName(QStringLiteral("chkUseSnd"));
    setTag(m_chkUseSnd, QStringLiteral("Play sound file with page, if available."));
    auto* lblSound = new QLabel(QStringLiteral("Sound:"), settings);
    setTag(lblSound, QStringLiteral("Behavior when loading slides."));
    m_txtTitle = new QLineEdit(settings);
    m_txtTitle->setObjectName(QStringLiteral("txtTitle"));
    setTag(m_txtTitle, QStringLiteral("Enter the page title."));
    auto* lblTitle = new QLabel(QStringLiteral("Show Tit&le:"), settings);
    lblTitle->setBuddy(m_txtTitle);
    setTag(lblTitle, QStringLiteral("Behavior when loading slides."));
    m_txtShowFile = new QLineEdit(settings);
    m_txtShowFile->setObjectName(QStringLiteral("txtShowFile"));
    setTag(m_txtShowFile, QStringLiteral("Filename for the web show page."));
    auto* lblShowFile = new QLabel(QStringLiteral("&Web Show Page:"), settings);
    lblShowFile->setBuddy(m_txtShowFile);
    auto* settingsGrid = new QGridLayout(settings);
    settingsGrid->addWidget(lblPause, 0, 0);
    settingsGrid->addWidget(m_cboReloadInterval, 0, 1);
    settingsGrid->addWidget(lblSound, 1, 0);
    settingsGrid->addWidget(m_chkUseSnd, 1, 1);
    settingsGrid->addWidget(lblTitle, 2, 0);
    settingsGrid->addWidget(m_txtTitle, 2, 1);
    settingsGrid->addWidget(lblShowFile, 3, 0);
    settingsGrid->addWidget(m_txtShowFile, 3, 1);

    // Where the pages go, and the start page.
    auto* pathFrame =
        new QGroupBox(QStringLiteral("Local &Directory to place Web Show Pages"), this);
    pathFrame->setObjectName(QStringLiteral("framePath"));
    m_txtPath = new QLineEdit(pathFrame);
    m_txtPath->setObjectName(QStringLiteral("txtPath"));
    m_txtPath->setAccessibleName(QStringLiteral("Local Directory to place Web Show Pages"));
    setTag(m_txtPath, QStringLiteral("Directory where web pages will be created."));
    m_cmdBrowsePath = new QPushButton(QStringLiteral("&Browse"), pathFrame);
    m_cmdBrowsePath->setObjectName(QStringLiteral("cmdBrowse0"));
    setTag(m_cmdBrowsePath, QStringLiteral("Find a directory for web pages."));
    auto* pathRow = new QHBoxLayout(pathFrame);
    pathRow->addWidget(m_txtPath, 1);
    pathRow->addWidget(m_cmdBrowsePath);

    auto* startFrame = new QGroupBox(QStringLiteral("&Starting Web Page"), this);
    startFrame->setObjectName(QStringLiteral("frameStart"));
    m_txtStartFile = new QLineEdit(startFrame);
    m_txtStartFile->setObjectName(QStringLiteral("txtStartFile"));
    m_txtStartFile->setAccessibleName(QStringLiteral("Starting Web Page"));
    setTag(m_txtStartFile, QStringLiteral("File name of the home page of the web show."));
    m_chkAutoStart = new QCheckBox(QStringLiteral("Start Automaticall&y"), startFrame);
    m_chkAutoStart->setObjectName(QStringLiteral("chkAutoStart"));
    setTag(m_chkAutoStart,
           QStringLiteral("Check if show should enter Auto mode after pressing Start."));
    auto* startRow = new QHBoxLayout(startFrame);
    startRow->addWidget(m_txtStartFile, 1);
    startRow->addWidget(m_chkAutoStart);

    // The buttons.
    const auto button = [this](const QString& caption, const char* name, const QString& tag) {
        auto* result = new QPushButton(caption, this);
        result->setObjectName(QString::fromLatin1(name));
        result->setAutoDefault(false);
        setTag(result, tag);
        return result;
    };
    m_cmdOK = button(QStringLiteral("&Make Show"), "cmdOK",
                     QStringLiteral("OK to generate the web show."));
    m_cmdOK->setDefault(true);
    m_cmdCancel = button(QStringLiteral("Cancel"), "cmdCancel",
                         QStringLiteral("Do not make show and close form."));
    m_cmdHelp = button(QStringLiteral("&Help"), "cmdHelp", QStringLiteral("For on-line help."));
    m_cmdTest =
        button(QStringLiteral("&Test"), "cmdTest", QStringLiteral("To start new show in browser."));
    m_cmdAudit = button(QStringLiteral("&Audit"), "cmdAudit",
                        QStringLiteral("Run audit on web show with settings indicated."));

    m_pnlStatus = new QStatusBar(this);
    m_pnlStatus->setObjectName(QStringLiteral("pnlStatus"));
    m_pnlStatus->setSizeGripEnabled(false);
    setTag(m_pnlStatus, QStringLiteral("Shows system status and field instructions."));

    auto* typeRow = new QHBoxLayout;
    typeRow->addWidget(m_optLocal);
    typeRow->addWidget(m_optWeb);
    typeRow->addStretch(1);
    auto* left = new QVBoxLayout;
    left->addLayout(typeRow);
    left->addWidget(m_frameReplace);
    left->addWidget(settings);
    left->addWidget(pathFrame);
    left->addWidget(startFrame);
    auto* buttons = new QVBoxLayout;
    for (QPushButton* each : {m_cmdOK, m_cmdCancel, m_cmdHelp, m_cmdTest, m_cmdAudit})
        buttons->addWidget(each);
    buttons->addStretch(1);
    auto* body = new QHBoxLayout;
    body->addLayout(left, 1);
    body->addLayout(buttons);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(body, 1);
    layout->addWidget(m_pnlStatus);
    resize(560, sizeHint().height());

    connect(m_optWeb, &QRadioButton::toggled, this, &frmWebShow::optShowType_Click);
    connect(m_cmdBrowsePath, &QPushButton::clicked, this, [this] { cmdBrowse_Click(m_txtPath); });
    connect(m_cmdBrowseLcl, &QPushButton::clicked, this, [this] { cmdBrowse_Click(m_txtPathLcl); });
    connect(m_cmdOK, &QPushButton::clicked, this, &frmWebShow::cmdOK_Click);
    connect(m_cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_cmdHelp, &QPushButton::clicked, this, &frmWebShow::cmdHelp_Click);
    connect(m_cmdTest, &QPushButton::clicked, this, &frmWebShow::cmdTest_Click);
    connect(m_cmdAudit, &QPushButton::clicked, this, &frmWebShow::cmdAudit_Click);
    connect(qApp, &QApplication::focusChanged, this,
            [this](QWidget*, QWidget* now) { showTagOf(now); });
}

QString frmWebShow::DefaultFolder(bool* moved)
{
    const QString data = modMain::AppFolder + QStringLiteral("data");
    const bool useData = canWriteInto(data);
    if (moved)
        *moved = !useData;
    if (useData)
        return data;
    // An installed program's folder belongs to the system.
    QString user = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
    if (user.isEmpty())
        user = QDir::homePath() + QStringLiteral("/.local/share/Pagewheel");
    return user;
}

void frmWebShow::Form_Load()
{
    if (m_options.ToolTips)
        modMain::ToolTipsOn(this);
    {
        ComboIntervalBox box(m_cboReloadInterval);
        modInterval::load_reload_cbo(box, m_options.ReloadInterval);
    }
    m_showName = modFileTools::FileNameNoExt(modFileTools::FileFromPath(m_show.TrayFilename),
                                             QStringLiteral("txt"));
    setWindowTitle(QStringLiteral("Make Web Show") + QStringLiteral(" from ") + m_showName);
    m_txtShowFile->setText(DefaultShowFile);
    m_txtStartFile->setText(DefaultStartFile);
    bool moved = false;
    m_defaultFolder = DefaultFolder(&moved);
    m_txtPath->setText(m_defaultFolder);
    if (moved) {
        // Kept beside the field instructions, which change with the focus.
        auto* note = new QLabel(QStringLiteral("The program's folder cannot be written to: the "
                                               "pages go to your data folder."),
                                m_pnlStatus);
        note->setObjectName(QStringLiteral("lblFolderNote"));
        m_pnlStatus->addPermanentWidget(note);
    }
    m_cmdTest->setEnabled(false);
    m_optLocal->setChecked(true);
    optShowType_Click();
}

void frmWebShow::fillIn(const Choices& choices)
{
    (choices.web ? m_optWeb : m_optLocal)->setChecked(true);
    optShowType_Click();
    m_txtPathLcl->setText(choices.localPath);
    m_txtPathWeb->setText(choices.webPath);
    m_txtStartFile->setText(choices.startPage);
    m_txtPath->setText(choices.folder);
    m_chkAutoStart->setChecked(choices.autoStart);
    m_chkUseSnd->setChecked(choices.useSound);
}

void frmWebShow::optShowType_Click()
{
    const bool web = m_optWeb->isChecked();
    m_frameReplace->setEnabled(web);
    m_lblPathLcl->setEnabled(web);
    m_lblPathWeb->setEnabled(web);
    m_cmdBrowseLcl->setEnabled(web);
}

void frmWebShow::cmdBrowse_Click(QLineEdit* target)
{
    COptions options = m_options;
    frmDirList picker(nullptr, options, this);
    picker.setPicker(this);
    const QString current = target->text().trimmed();
    if (!current.isEmpty() && QFileInfo(current).isDir())
        picker.setStartFolder(current);
    setProperty("txtFindDir", QVariant());
    if (picker.exec() != QDialog::Accepted)
        return;
    const QString chosen = property("txtFindDir").toString();
    if (!chosen.isEmpty())
        target->setText(chosen);
}

bool frmWebShow::RequireEntry(QWidget* field, const QString& text)
{
    if (!text.trimmed().isEmpty())
        return true;
    Prompts::MsgBox(QStringLiteral("There must be an entry in this field."),
                    Prompts::vbOKOnly + Prompts::vbExclamation, QStringLiteral("Entry Required"));
    field->setFocus();
    return false;
}

bool frmWebShow::ValidateWebShow()
{
    if (!RequireEntry(m_txtStartFile, m_txtStartFile->text()) ||
        !RequireEntry(m_txtShowFile, m_txtShowFile->text()) ||
        !RequireEntry(m_cboReloadInterval, m_cboReloadInterval->currentText()))
        return false;
    if (modInterval::TmeStrgtoSec(m_cboReloadInterval->currentText()) < 0) {
        modMain::debugLog(QStringLiteral("cboReloadInterval failed validation"));
        m_cboReloadInterval->setFocus();
        modMain::ShowErrorBox(QStringLiteral("Choose a setting from the pull down"),
                              HelpTopics::frmWebShow);
        return false;
    }
    return true;
}

qint32 frmWebShow::GetPauseSeconds() const
{
    const qint32 seconds = modInterval::TmeStrgtoSec(m_cboReloadInterval->currentText());
    modMain::debugLog(QStringLiteral("New reload interval: ") + QString::number(seconds));
    if (seconds < 0)
        return m_options.ReloadInterval;
    modMain::debugLog(QStringLiteral("new interval ") + QString::number(seconds) +
                      QStringLiteral(" seconds."));
    return seconds;
}

QString frmWebShow::writePage(const QString& path, const QString& text)
{
    VbError error;
    if (modTemplate::WritePage(path, text, &error))
        return QString();
    const QString message = QStringLiteral("Error writing the file ") + path + NewLine +
                            QStringLiteral("Error: ") + QString::number(error.number) + NewLine +
                            QStringLiteral("Description: ") + error.description;
    modMain::debugLog(message);
    return message;
}

void frmWebShow::cmdOK_Click()
{
    if (!ValidateWebShow())
        return;
    m_pnlStatus->showMessage(QStringLiteral("Creating show files...."));
    BusyPointer busy;
    const QString folder = m_txtPath->text();
    const QString showFile = m_txtShowFile->text();
    const QString startFile = m_txtStartFile->text();
    const auto refused = [&busy](const QString& message) {
        busy.restore();
        Prompts::MsgBox(message, Prompts::vbOKOnly);
    };
    const auto failed = [&busy] {
        modMain::debugLog(QStringLiteral("frmWebShow: The creation of the web show failed."));
        busy.restore();
        Prompts::MsgBox(QStringLiteral("The creation of the web show failed."),
                        Prompts::vbOKOnly + Prompts::vbInformation,
                        QStringLiteral("Show Generation Error"));
    };

    qint16 longest = 0;
    const QString page = modTemplate::BuildShowPage(
        m_txtTitle->text(), GetPauseSeconds(), m_chkUseSnd->isChecked(), m_show,
        m_txtPathLcl->text(), m_txtPathWeb->text(), m_chkAutoStart->isChecked(), longest);
    if (page.isEmpty()) {
        failed();
        return;
    }

    // The default folder was not chosen by the user: it is made when missing.
    if (folder == m_defaultFolder && !QFileInfo(folder).exists())
        QDir().mkpath(folder);
    if (!folder.isEmpty() && !QFileInfo(folder).isDir()) {
        const QString message =
            QStringLiteral("The path or directory specified is invalid: ") + NewLine + NewLine +
            folder + NewLine + NewLine +
            QStringLiteral("Check the path with the browse button and try again.");
        modMain::debugLog(message);
        refused(message);
        return;
    }
    if (const QString message = writePage(modFileTools::JoinPath(folder, showFile), page);
        !message.isEmpty()) {
        refused(message);
        return;
    }

    const QString start =
        modTemplate::BuildStartPage(showFile, modTemplate::StartPageWidth(longest), StartTemplate);
    if (start.isEmpty()) {
        failed();
        return;
    }
    if (const QString message = writePage(modFileTools::JoinPath(folder, startFile), start);
        !message.isEmpty()) {
        refused(message);
        return;
    }
    m_pnlStatus->showMessage(QStringLiteral("Show was created successfully."));
    m_cmdTest->setEnabled(true);
    busy.restore();
    Prompts::MsgBox(QStringLiteral("The web show was created successfully.") + NewLine + NewLine +
                        QStringLiteral("The show files, ") + startFile + QStringLiteral(" and ") +
                        showFile + QStringLiteral(",") + NewLine +
                        QStringLiteral("have been generated and can be found in the") + NewLine +
                        (folder.isEmpty() ? QStringLiteral("<root>") : folder) + NewLine +
                        QStringLiteral("directory."),
                    Prompts::vbOKOnly + Prompts::vbInformation, QStringLiteral("Show Created"));
}

void frmWebShow::cmdTest_Click()
{
    // A browser started elsewhere knows nothing of our current folder.
    const QString path =
        QFileInfo(modFileTools::JoinPath(m_txtPath->text(), m_txtStartFile->text()))
            .absoluteFilePath();
    if (!modURL::StartBrowser(path, m_useOLE))
        Prompts::MsgBox(QStringLiteral("Please check the file at:") + NewLine + path);
}

void frmWebShow::cmdAudit_Click()
{
    WebShowAudit::Settings settings;
    settings.showName = m_showName;
    settings.startPage = m_txtStartFile->text();
    settings.showPage = m_txtShowFile->text();
    settings.title = m_txtTitle->text();
    settings.autoStart = m_chkAutoStart->isChecked();
    settings.webMode = m_optWeb->isChecked();
    settings.folder = m_txtPath->text();
    settings.localPath = m_txtPathLcl->text();
    settings.webPath = m_txtPathWeb->text();
    settings.pauseText = m_cboReloadInterval->currentText();
    settings.pauseSeconds = modInterval::TmeStrgtoSec(settings.pauseText);

    if (!m_audit) {
        m_audit = new frmAudit(this);
        m_audit->setAttribute(Qt::WA_DeleteOnClose);
    }
    m_audit->setWindowTitle(m_audit->windowTitle() + QStringLiteral(" - ") + m_showName);
    m_audit->setReport(WebShowAudit::RunAudit(m_show, settings));
    m_audit->show();
    m_audit->raise();
}

frmAudit* frmWebShow::auditWindow() const
{
    return m_audit;
}

void frmWebShow::cmdHelp_Click()
{
    Help::ShowTopic(modMain::HelpFile(), HelpTopics::frmWebShow);
}

void frmWebShow::showTagOf(QWidget* focused)
{
    if (!focused || !isAncestorOf(focused))
        return;
    const QString tag = focused->property("Tag").toString();
    if (!tag.isEmpty())
        m_pnlStatus->showMessage(tag);
}
