// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QStringList>
#include <QTimer>

/// Answers the wizards' modal screens as a user would, by pressing their real buttons. One
/// word per screen: "1".."4" that option and Next; "n" Next; "b" Back; "c" Cancel; "x" close
/// through the frame; "t:one|two" type the fields and Next; "f:path" Browse (the scripted file
/// dialog answers path) and Next; "cur" the chooser's "&Current"; "p:name" press that button.
class WizardDriver
{
public:
    explicit WizardDriver(const QString& script);

    QStringList labels; ///< the question of every screen acted on
    QList<int> tops;    ///< the question's distance from the top of each screen (pixels)
    QStringList left;   ///< words left; a screen left open when they ran out adds "<stuck>"

private:
    void tick();
    QTimer m_timer;
};
