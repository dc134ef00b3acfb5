// SPDX-License-Identifier: GPL-3.0-or-later
#include "guidance/frmWizard.h"

#include "editors/WindowPlace.h"
#include "guidance/WizardScreen.h"
#include "guidance/cWizard.h"
#include "platform/Help.h"
#include "platform/HelpTopics.h"
#include "platform/Prompts.h"
#include "startup/modMain.h"

#include <QApplication>
#include <QButtonGroup>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpacerItem>
#include <QVBoxLayout>

namespace {

constexpr int ShortQuestion = 100;
constexpr int ShortQuestionTop = 800;
constexpr int InformationTop = 1200;

} // namespace

frmWizard::frmWizard(cWizard& wizard, QWidget* parent) : QDialog(parent), m_wizard(wizard)
{
    setObjectName(QStringLiteral("frmWizard"));
    setWindowTitle(QStringLiteral("Wizard"));
    setWindowIcon(QApplication::windowIcon());

    m_lbl = WizardScreen::questionLabel(this);
    m_labelTop = new QSpacerItem(0, 0, QSizePolicy::Minimum, QSizePolicy::Fixed);
    auto* questions = new QVBoxLayout;
    questions->addSpacerItem(m_labelTop);
    questions->addWidget(m_lbl);
    // Options are exclusive, yet none is checked when a screen opens.
    auto* group = new QButtonGroup(this);
    for (int i = 0; i < 4; ++i) {
        m_opt[i] = new QRadioButton(this);
        m_opt[i]->setObjectName(QStringLiteral("opt%1").arg(i + 1));
        group->addButton(m_opt[i], i + 1);
        questions->addWidget(m_opt[i]);
    }
    questions->addStretch(1);
    connect(group, &QButtonGroup::idClicked, this,
            [this](int id) { m_wizard.nOption = qint16(id); });

    WizardScreen::arrange(this, questions, m_cmdGo, [this](int index) { cmdGo_Click(index); });
    Help::setHelpContext(this, modMain::HelpFile(), HelpTopics::frmWizard);
}

int frmWizard::labelTopTwips(const QString& text, bool information)
{
    if (information)
        return InformationTop;
    return text.size() < ShortQuestion ? ShortQuestionTop : WizardScreen::DesignTopTwips;
}

void frmWizard::showEvent(QShowEvent* event)
{
    if (!m_loaded)
        Form_Load();
    QDialog::showEvent(event);
}

void frmWizard::Form_Load()
{
    m_loaded = true;
    bool information = true;
    for (int i = 0; i < 4; ++i) {
        const QString& caption = m_wizard.sOpt[i];
        m_opt[i]->setText(caption);
        m_opt[i]->setVisible(!caption.isEmpty());
        information = information && caption.isEmpty();
    }
    m_lbl->setText(m_wizard.sLabel);
    WizardScreen::placeLabel(m_labelTop, this, labelTopTwips(m_wizard.sLabel, information));
    m_cmdGo[0]->setEnabled(m_wizard.bBackOn);
    if (!m_wizard.sTitle.isEmpty())
        setWindowTitle(m_wizard.sTitle);
    WindowPlace::restore(this, objectName(), false);
}

void frmWizard::cmdGo_Click(int index)
{
    if (index == 2 && m_wizard.bOptRequired && m_wizard.nOption == 0) {
        Prompts::MsgBox(QStringLiteral("Please pick one of the choices."));
        return;
    }
    m_wizard.nCommand = qint16(index - 1);
    accept();
}

void frmWizard::reject()
{
    // Closed through the frame or with Escape: a Cancel, never the button
    // of an earlier screen.
    m_wizard.nCommand = cWizard::CommandCancel;
    QDialog::reject();
}

void frmWizard::done(int result)
{
    WindowPlace::save(this, objectName(), false);
    QDialog::done(result);
}
