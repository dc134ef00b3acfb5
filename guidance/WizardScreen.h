// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <functional>

class QBoxLayout;
class QLayout;
class QDialog;
class QLabel;
class QPushButton;
class QSpacerItem;
class QWidget;

/// What the wizard's screens share: the picture, the question label, the
/// three buttons and the label's place.
namespace WizardScreen {

/// Where a question label sits when the design places it (twips).
constexpr int DesignTopTwips = 240;

/// The picture beside a screen's questions.
QLabel* picture(QWidget* parent);
/// The question label, 10 points, word-wrapped.
QLabel* questionLabel(QWidget* parent);
/// "< &Back", "Cancel" and "&Next >" as cmdGo0 to cmdGo2, added to row.
void addButtons(QDialog* screen, QBoxLayout* row, QPushButton* (&buttons)[3]);
/// Lays a screen out: the picture beside its questions, the three buttons
/// below (clicked is told the button's index), and the screen's least height.
void arrange(QDialog* screen, QLayout* questions, QPushButton* (&buttons)[3],
             const std::function<void(int)>& clicked);
/// Moves the label down to the place in twips.
void placeLabel(QSpacerItem* top, QWidget* screen, int twips);

} // namespace WizardScreen
