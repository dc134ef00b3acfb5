// SPDX-License-Identifier: GPL-3.0-or-later
#include "guidance/frmWizardInp.h"

#include "editors/WindowPlace.h"
#include "editors/frmDirList.h"
#include "guidance/WizardScreen.h"
#include "guidance/cWizard.h"
#include "platform/CommonDialog.h"
#include "platform/Help.h"
#include "platform/HelpTopics.h"
#include "platform/Prompts.h"
#include "platform/VbError.h"
#include "settings/COptions.h"
#include "startup/modMain.h"
#include "webshow/frmWebShow.h"

#include <QApplication>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpacerItem>
#include <QVBoxLayout>
#include <QVariant>

namespace {

constexpr int ShortQuestion = 150;
constexpr int ShortQuestionTop = 800;

} // namespace

frmWizardInp::frmWizardInp(cWizard& wizard, QWidget* parent) : QDialog(parent), m_wizard(wizard)
{
    setObjectName(QStringLiteral("frmWizardInp"));
    setWindowTitle(QStringLiteral("Input Wizard"));
    setWindowIcon(QApplication::windowIcon());

    m_lbl = WizardScreen::questionLabel(this);
    m_labelTop = new QSpacerItem(0, 0, QSizePolicy::Minimum, QSizePolicy::Fixed);
    auto* fields = new QGridLayout;
    static const char* const Labels[2] = {"Replace", "with"};
    for (int i = 0; i < 2; ++i) {
        m_lblField[i] = new QLabel(QString::fromLatin1(Labels[i]), this);
        m_lblField[i]->setObjectName(QStringLiteral("lblField%1").arg(i));
        m_txtField[i] = new QLineEdit(this);
        m_txtField[i]->setObjectName(QStringLiteral("txtField%1").arg(i));
        m_lblField[i]->setBuddy(m_txtField[i]);
        fields->addWidget(m_lblField[i], i * 2, 0);
        fields->addWidget(m_txtField[i], i * 2 + 1, 0);
    }
    m_cmdBrowse = new QPushButton(QStringLiteral("B&rowse"), this);
    m_cmdBrowse->setObjectName(QStringLiteral("cmdBrowse"));
    m_cmdBrowse->setAutoDefault(false);
    fields->addWidget(m_cmdBrowse, 1, 1);
    connect(m_cmdBrowse, &QPushButton::clicked, this, &frmWizardInp::cmdBrowse_Click);

    auto* questions = new QVBoxLayout;
    questions->addSpacerItem(m_labelTop);
    questions->addWidget(m_lbl);
    questions->addLayout(fields);
    questions->addStretch(1);
    WizardScreen::arrange(this, questions, m_cmdGo, [this](int index) { cmdGo_Click(index); });
    Help::setHelpContext(this, modMain::HelpFile(), HelpTopics::frmWizardInp);
}

void frmWizardInp::showEvent(QShowEvent* event)
{
    if (!m_loaded)
        Form_Load();
    QDialog::showEvent(event);
}

void frmWizardInp::Form_Load()
{
    m_loaded = true;
    m_lbl->setText(m_wizard.sLabel);
    WizardScreen::placeLabel(m_labelTop, this,
                             m_wizard.sLabel.size() < ShortQuestion ? ShortQuestionTop
                                                                    : WizardScreen::DesignTopTwips);
    m_txtField[0]->setText(m_wizard.sFld1);
    m_lblField[0]->setText(m_wizard.sFld1Label);
    m_cmdBrowse->setVisible(m_wizard.bBrowseOn);
    m_txtField[1]->setVisible(m_wizard.bFld2On);
    m_lblField[1]->setText(m_wizard.bFld2On ? m_wizard.sFld2Label : QString());
    if (m_wizard.bFld2On)
        m_txtField[1]->setText(m_wizard.sFld2);
    WindowPlace::restore(this, objectName(), false);
}

void frmWizardInp::cmdGo_Click(int index)
{
    if (index == 2 && m_wizard.bOptRequired) {
        if (m_txtField[0]->text().isEmpty()) {
            m_txtField[0]->setFocus();
            Prompts::MsgBox(QStringLiteral("Please enter something in the field."));
            return;
        }
        m_wizard.sFld1 = m_txtField[0]->text();
        if (m_wizard.bFld2On)
            m_wizard.sFld2 = m_txtField[1]->text();
    }
    m_wizard.nCommand = qint16(index - 1);
    accept();
}

void frmWizardInp::cmdBrowse_Click()
{
    if (m_wizard.bBrowseDirOnly) {
        COptions options;
        frmDirList picker(nullptr, options, this);
        picker.setPicker(this);
        const QString current = m_txtField[0]->text().trimmed();
        if (!current.isEmpty())
            picker.setStartFolder(current);
        setProperty("txtFindDir", QVariant());
        if (picker.exec() != QDialog::Accepted)
            return;
        const QString chosen = property("txtFindDir").toString();
        if (!chosen.isEmpty())
            m_txtField[0]->setText(chosen);
        return;
    }
    CommonDialog dialog(this);
    dialog.CancelError = true;
    dialog.FileName.clear();
    dialog.InitDir = frmWebShow::DefaultFolder();
    dialog.Filter = QStringLiteral("HTML files|*.htm|All Files (*.*)|*.*");
    VbError error;
    const QString chosen = dialog.ShowOpen(&error);
    if (error.isError()) {
        if (error.number != VbErrors::DialogCancelled)
            modMain::errorLog(QStringLiteral("ERROR on Export bookmarks: ") +
                              QString::number(error.number) + QStringLiteral("\r\n") +
                              error.description);
        return;
    }
    if (!chosen.isEmpty())
        m_txtField[0]->setText(chosen);
}

void frmWizardInp::reject()
{
    // Closed through the frame or with Escape: a Cancel.
    m_wizard.nCommand = cWizard::CommandCancel;
    QDialog::reject();
}

void frmWizardInp::done(int result)
{
    WindowPlace::save(this, objectName(), false);
    QDialog::done(result);
}
