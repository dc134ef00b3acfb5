// SPDX-License-Identifier: GPL-3.0-or-later
#include "guidance/cWizard.h"

#include "guidance/frmWizard.h"
#include "guidance/frmWizardInp.h"
#include "platform/Prompts.h"

cWizard gWizard;

qint16 cWizard::choiceResult() const
{
    switch (nCommand) {
    case CommandNext:
        return nOption;
    case CommandBack:
        return -1;
    default:
        return Prompts::vbCancel;
    }
}

void cWizard::showChoices()
{
    frmWizard screen(*this, owner);
    screen.exec();
    bBackOn = true;
}

qint16 cWizard::do_1or2(const QString& question, const QString& choice1, const QString& choice2)
{
    sLabel = question;
    bOptRequired = true;
    sOpt[0] = choice1;
    sOpt[1] = choice2;
    sOpt[2].clear();
    sOpt[3].clear();
    showChoices();
    return choiceResult();
}

qint16 cWizard::do_YesNo(const QString& question)
{
    const qint16 result = do_1or2(question, QStringLiteral("&Yes"), QStringLiteral("N&o"));
    if (result == 1)
        return Prompts::vbYes;
    if (result == 2 && nCommand == CommandNext)
        return Prompts::vbNo;
    return result;
}

qint16 cWizard::do_Inform(const QString& text)
{
    sLabel = text;
    bOptRequired = false;
    for (QString& caption : sOpt)
        caption.clear();
    showChoices();
    return nCommand;
}

qint16 cWizard::do_Input(const QString& question, const QString& label1, const QString& label2)
{
    sLabel = question;
    sFld1Label = label1;
    sFld2Label = bFld2On ? label2 : QString();
    bOptRequired = true;
    frmWizardInp screen(*this, owner);
    screen.exec();
    return nCommand;
}
