// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QList>
#include <QStringList>
#include <QTimer>

class QDialog;

/// Answers the wizards' modal screens as a user would, by pressing their
/// real buttons. The script is a list of words, one screen action each:
/// "1".."4" click that option and press Next; "n" Next; "b" Back; "c"
/// Cancel; "x" close through the frame; "t:text" or "t:one|two" type the
/// field(s) and press Next; "f:path" Browse (the scripted file dialog
/// answers path) and press Next; "cur" the chooser's "&Current";
/// "p:name" press the button of that name (another window's Cancel).
class WizardDriver : public QObject
{
    Q_OBJECT

public:
    explicit WizardDriver(const QString& script);

    /// The question of every screen acted on, in order.
    QStringList labels;
    /// The question's distance from the top of each screen (pixels).
    QList<int> tops;
    /// Words left when the flow ended; screens left open when the script
    /// ran out (closed by the driver) count as "<stuck>".
    QStringList left;

private:
    void tick();
    QTimer m_timer;
};
