// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class QWidget;

/// One screen of a question wizard at a time: the question, the answers
/// and the button that closed the screen. The flows fill it in, a screen
/// shows it modally, and the answers stay until the next screen.
class cWizard
{
public:
    /// The buttons that close a screen, as nCommand holds them.
    static constexpr qint16 CommandBack = -1;
    static constexpr qint16 CommandCancel = 0;
    static constexpr qint16 CommandNext = 1;

    /// Next is refused until a choice is made or the first field is filled.
    bool bOptRequired = false;
    /// The input screen shows its second field.
    bool bFld2On = false;
    /// The input screen shows its Browse button.
    bool bBrowseOn = false;
    /// Browse picks a folder instead of a file.
    bool bBrowseDirOnly = false;
    /// The choice screen's Back button can be pressed.
    bool bBackOn = true;
    QString sLabel;
    QString sFld1;
    QString sFld2;
    QString sTitle;
    /// Labels of the input screen's fields.
    QString sFld1Label;
    QString sFld2Label;
    /// Captions of the choice screen's options 1 to 4 ("" hides one).
    QString sOpt[4];
    qint16 nCommand = CommandNext;
    /// The option last clicked (1 to 4), 0 when none.
    qint16 nOption = 0;
    /// The window the screens are modal to.
    QWidget* owner = nullptr;

    /// A question with two choices: the choice on Next, -1 on Back, 2 on
    /// Cancel.
    qint16 do_1or2(const QString& question, const QString& choice1, const QString& choice2);
    /// A yes/no question: 6 (yes) or 7 (no) on Next, -1 on Back, 2 on Cancel.
    qint16 do_YesNo(const QString& question);
    /// An information screen; nCommand.
    qint16 do_Inform(const QString& text);
    /// An input screen with one or (bFld2On) two fields; nCommand, the
    /// typed texts in sFld1 and sFld2 after Next.
    qint16 do_Input(const QString& question, const QString& label1, const QString& label2);

    /// The choice screens' answer from nCommand and nOption.
    qint16 choiceResult() const;

private:
    void showChoices();
};

/// The wizard the flows and the screens share.
extern cWizard gWizard;
