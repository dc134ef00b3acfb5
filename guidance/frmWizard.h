// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

class QLabel;
class QPushButton;
class QRadioButton;
class QSpacerItem;
class cWizard;

/// A choice or information screen of a wizard: the question, up to four
/// options and "< &Back", "Cancel" and "&Next >".
class frmWizard : public QDialog
{
    Q_OBJECT

public:
    frmWizard(cWizard& wizard, QWidget* parent = nullptr);

    /// The label's distance from the top in twips: 800 for a short
    /// question, 1200 for information, else where the design puts it.
    static int labelTopTwips(const QString& text, bool information);

protected:
    void showEvent(QShowEvent* event) override;
    void done(int result) override;
    void reject() override;

private:
    void Form_Load();
    void cmdGo_Click(int index);

    cWizard& m_wizard;
    bool m_loaded = false;
    QLabel* m_lbl = nullptr;
    QSpacerItem* m_labelTop = nullptr;
    QRadioButton* m_opt[4] = {};
    QPushButton* m_cmdGo[3] = {};
};
