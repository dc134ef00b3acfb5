// SPDX-License-Identifier: GPL-3.0-or-later
#include "guidance/frmTip.h"

#include "platform/Help.h"
#include "platform/HelpTopics.h"
#include "platform/TextFileReader.h"
#include "settings/COptions.h"
#include "startup/modFileTools.h"
#include "startup/modMain.h"

#include <QCheckBox>
#include <QEvent>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QRandomGenerator>
#include <QVBoxLayout>

namespace {

const QString TipFile = QStringLiteral("TipofDay.txt");
constexpr QPoint StartPosition(250, 100);

} // namespace

frmTip::frmTip(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmTip"));
    setWindowTitle(QStringLiteral("Tip of the Day"));
    // Topmost from the start: a shown window whose flags change is hidden
    // and shown again, which would end a modal run of this window.
    setWindowFlag(Qt::WindowStaysOnTopHint);
    buildControls();
    Help::setHelpContext(this, modMain::HelpFile(), HelpTopics::frmTip);
}

void frmTip::buildControls()
{
    auto* panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("fraTip"));
    panel->setFrameShape(QFrame::StyledPanel);
    panel->setBackgroundRole(QPalette::Base);
    panel->setAutoFillBackground(true);

    m_heading = new QLabel(QStringLiteral("Did you know..."), panel);
    m_heading->setObjectName(QStringLiteral("lblDidYouKnow"));
    QFont headingFont = m_heading->font();
    headingFont.setBold(true);
    headingFont.setPointSizeF(headingFont.pointSizeF() * 1.4);
    m_heading->setFont(headingFont);

    m_tipText = new QLabel(panel);
    m_tipText->setObjectName(QStringLiteral("lblTipText"));
    m_tipText->setTextFormat(Qt::PlainText);
    m_tipText->setWordWrap(true);
    m_tipText->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_tipText->setMinimumSize(320, 110);

    auto* panelLayout = new QVBoxLayout(panel);
    panelLayout->addWidget(m_heading);
    panelLayout->addWidget(m_tipText, 1);

    m_showAtStartup = new QCheckBox(QStringLiteral("&Show Tips at Startup"), this);
    m_showAtStartup->setObjectName(QStringLiteral("chkLoadTipsAtStartup"));
    m_nextTip = new QPushButton(QStringLiteral("&Next Tip"), this);
    m_nextTip->setObjectName(QStringLiteral("cmdNextTip"));
    m_ok = new QPushButton(QStringLiteral("OK"), this);
    m_ok->setObjectName(QStringLiteral("cmdOK"));
    m_ok->setDefault(true);

    auto* layout = new QGridLayout(this);
    layout->addWidget(panel, 0, 0, 3, 1);
    layout->addWidget(m_ok, 0, 1);
    layout->addWidget(m_nextTip, 1, 1);
    layout->setRowStretch(2, 1);
    layout->addWidget(m_showAtStartup, 3, 0);
    layout->setColumnStretch(0, 1);

    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_nextTip, &QPushButton::clicked, this, &frmTip::cmdNextTip_Click);
    // Only the user's click marks the options changed, not the load
    // setting the box from them.
    connect(m_showAtStartup, &QCheckBox::clicked, this, &frmTip::chkLoadTipsAtStartup_Click);
}

QString frmTip::tipFileName()
{
    return modFileTools::JoinPath(modMain::AppFolder, TipFile);
}

QString frmTip::missingFileText()
{
    return QStringLiteral("That the ") + TipFile + QStringLiteral(" file was not found? \r\n\r\n") +
           QStringLiteral("Create a text file named ") + TipFile +
           QStringLiteral(" using NotePad with 1 tip per line. ") +
           QStringLiteral("Then place it in the same directory as the application. ");
}

void frmTip::showEvent(QShowEvent* event)
{
    if (!m_loaded)
        Form_Load();
    // Placed as it is shown: a tip shown beside the active main window at
    // start-up may never be activated itself.
    if (!m_activated)
        move(StartPosition);
    QDialog::showEvent(event);
}

void frmTip::Form_Load()
{
    m_loaded = true;
    if (m_options)
        m_showAtStartup->setChecked(m_options->DisplayTips);
    if (!LoadTips(tipFileName()))
        m_tipText->setText(missingFileText());
}

bool frmTip::LoadTips(const QString& fileName)
{
    if (fileName.isEmpty() || !modFileTools::FileExists(fileName))
        return false;
    QStringList tips;
    const bool read = TextFileReader::forEachLine(
        fileName,
        [&tips](QByteArrayView line, TextCodec::Encoding encoding) {
            tips.append(TextCodec::decode(line, encoding));
        },
        [&tips] { tips.clear(); }, nullptr);
    if (!read)
        return false;
    m_tips = tips;
    // A tip from 1 to the number of tips (1 when there are none).
    m_currentTip = qint32(QRandomGenerator::global()->generateDouble() * m_tips.size()) + 1;
    DisplayCurrentTip();
    return true;
}

void frmTip::DisplayCurrentTip()
{
    if (m_tips.isEmpty() || m_currentTip < 1 || m_currentTip > m_tips.size())
        return;
    m_tipText->setText(m_tips.at(m_currentTip - 1));
}

void frmTip::cmdNextTip_Click()
{
    ++m_currentTip;
    if (m_currentTip > m_tips.size())
        m_currentTip = 1;
    DisplayCurrentTip();
}

void frmTip::chkLoadTipsAtStartup_Click(bool checked)
{
    if (!m_options)
        return;
    m_options->DisplayTips = checked;
    m_options->Changed = true;
}

bool frmTip::event(QEvent* event)
{
    if (event->type() == QEvent::WindowActivate && !m_activated) {
        m_activated = true;
        move(StartPosition);
        raise();
    }
    return QDialog::event(event);
}

void frmTip::done(int result)
{
    // Unloading: the next showing loads the tips anew.
    m_tips.clear();
    m_currentTip = 0;
    m_loaded = false;
    m_activated = false;
    QDialog::done(result);
}
