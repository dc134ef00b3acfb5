// SPDX-License-Identifier: GPL-3.0-or-later
#include "guidance/frmAbout.h"

#include "guidance/frmSplash.h"
#include "platform/Help.h"
#include "platform/HelpTopics.h"
#include "platform/Prompts.h"
#include "platform/Shell.h"
#include "resources/WheelEmblem.h"
#include "startup/modFileTools.h"
#include "startup/modMain.h"

#include <QApplication>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const QString MsInfoKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO");
const QString MsInfoLocationKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location");

} // namespace

frmAbout::frmAbout(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmAbout"));
    buildControls();
    Form_Load();
    Help::setHelpContext(this, modMain::HelpFile(), HelpTopics::frmAbout);
}

void frmAbout::buildControls()
{
    m_icon = new QLabel(this);
    m_icon->setObjectName(QStringLiteral("picIcon"));
    m_icon->setPixmap(WheelEmblem::programIcon().pixmap(64, 64));

    m_title = new QLabel(this);
    m_title->setObjectName(QStringLiteral("lblTitle"));
    QFont titleFont = m_title->font();
    titleFont.setBold(true);
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.8);
    m_title->setFont(titleFont);
    m_version = new QLabel(this);
    m_version->setObjectName(QStringLiteral("lblVersion"));
    m_platform = new QLabel(this);
    m_platform->setObjectName(QStringLiteral("lblPlatform"));
    m_description = new QLabel(this);
    m_description->setObjectName(QStringLiteral("lblDescription"));
    m_description->setWordWrap(true);

    auto* line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);

    m_ok = new QPushButton(QStringLiteral("OK"), this);
    m_ok->setObjectName(QStringLiteral("cmdOK"));
    m_ok->setDefault(true);
    m_sysInfo = new QPushButton(QStringLiteral("&System Info..."), this);
    m_sysInfo->setObjectName(QStringLiteral("cmdSysInfo"));

    auto* text = new QVBoxLayout;
    text->addWidget(m_title);
    text->addWidget(m_version);
    text->addWidget(m_platform);
    text->addWidget(m_description);
    text->addStretch();

    auto* buttons = new QVBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_ok);
    buttons->addWidget(m_sysInfo);

    auto* layout = new QGridLayout(this);
    layout->addWidget(m_icon, 0, 0, Qt::AlignTop);
    layout->addLayout(text, 0, 1);
    layout->addWidget(line, 1, 0, 1, 3);
    layout->addLayout(buttons, 2, 2);
    layout->setColumnStretch(1, 1);
    layout->setColumnMinimumWidth(1, 300);

    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_sysInfo, &QPushButton::clicked, this, &frmAbout::StartSysInfo);
}

void frmAbout::Form_Load()
{
    const QString title = modMain::AppTitle();
    setWindowTitle(QStringLiteral("About ") + title);
    m_title->setText(title);
    // The port names the system it runs on where the old program named its own.
    m_platform->setText(QStringLiteral("for ") + frmSplash::platformText());
    m_version->setText(frmSplash::versionText());
    m_description->clear();
    m_sysInfo->setEnabled(GetSysInfoPath(m_sysInfoPath));
}

bool frmAbout::GetSysInfoPath(QString& path)
{
    if (GetKeyValue(Registry::Root::LocalMachine, MsInfoKey, QStringLiteral("PATH"), path))
        return true;
    if (GetKeyValue(Registry::Root::LocalMachine, MsInfoLocationKey, QStringLiteral("MSINFO"),
                    path)) {
        const QString program = modFileTools::JoinPath(path, QStringLiteral("MSINFO32.EXE"));
        if (modFileTools::FileExists(program)) {
            path = program;
            return true;
        }
    }
    path.clear();
    modMain::WriteLog(QStringLiteral("System Information path not found"));
    return false;
}

bool frmAbout::GetKeyValue(Registry::Root root, const QString& keyName, const QString& valueName,
                           QString& keyValue)
{
    keyValue = Registry::RegGetString(root, keyName, valueName);
    return !keyValue.isEmpty();
}

void frmAbout::StartSysInfo()
{
    const qint64 task = m_sysInfoPath.isEmpty() ? 0 : Shell::StartProgram(m_sysInfoPath, {});
    if (task != 0)
        return;
    Prompts::MsgBox(QStringLiteral("System Information Is Unavailable At This Time\r\n"
                                   "It can be installed as a Windows 95 Accessory"),
                    Prompts::vbOKOnly);
    modMain::WriteLog(QStringLiteral("System Information Is Unavailable At This Time"));
}
