// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class QSpacerItem;
class cWizard;

/// The input screen of a wizard: the question, one or two fields, Browse
/// for a file or a folder, and "< &Back", "Cancel" and "&Next >".
class frmWizardInp : public QDialog
{
    Q_OBJECT

public:
    frmWizardInp(cWizard& wizard, QWidget* parent = nullptr);

protected:
    void showEvent(QShowEvent* event) override;
    void done(int result) override;
    void reject() override;

private:
    void Form_Load();
    void cmdGo_Click(int index);
    void cmdBrowse_Click();

    cWizard& m_wizard;
    bool m_loaded = false;
    QLabel* m_lbl = nullptr;
    QSpacerItem* m_labelTop = nullptr;
    QLineEdit* m_txtField[2] = {};
    QLabel* m_lblField[2] = {};
    QPushButton* m_cmdBrowse = nullptr;
    QPushButton* m_cmdGo[3] = {};
};
