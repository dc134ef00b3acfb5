// SPDX-License-Identifier: GPL-3.0-or-later
#include "guidance/WizardScreen.h"

#include "editors/WindowPlace.h"

#include <QBoxLayout>
#include <QHBoxLayout>
#include <QDialog>
#include <QLabel>
#include <QLayout>
#include <QPushButton>
#include <QSpacerItem>
#include <QStyle>
#include <QVBoxLayout>

namespace WizardScreen {

QLabel* picture(QWidget* parent)
{
    auto* result = new QLabel(parent);
    result->setObjectName(QStringLiteral("picWizard"));
    const QIcon icon = parent->style()->standardIcon(QStyle::SP_MessageBoxQuestion);
    result->setPixmap(icon.pixmap(64, 64));
    result->setAlignment(Qt::AlignTop | Qt::AlignHCenter);
    return result;
}

QLabel* questionLabel(QWidget* parent)
{
    auto* result = new QLabel(parent);
    result->setObjectName(QStringLiteral("lbl"));
    result->setTextFormat(Qt::PlainText);
    result->setWordWrap(true);
    result->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    result->setMinimumWidth(360);
    QFont font = result->font();
    font.setPointSize(10);
    result->setFont(font);
    return result;
}

void addButtons(QDialog* screen, QBoxLayout* row, QPushButton* (&buttons)[3])
{
    static const char* const Captions[3] = {"< &Back", "Cancel", "&Next >"};
    row->addStretch(1);
    for (int i = 0; i < 3; ++i) {
        buttons[i] = new QPushButton(QString::fromLatin1(Captions[i]), screen);
        buttons[i]->setObjectName(QStringLiteral("cmdGo%1").arg(i));
        buttons[i]->setAutoDefault(false);
        row->addWidget(buttons[i]);
    }
    buttons[2]->setDefault(true);
}

void arrange(QDialog* screen, QLayout* questions, QPushButton* (&buttons)[3],
             const std::function<void(int)>& clicked)
{
    auto* body = new QHBoxLayout;
    body->addWidget(picture(screen));
    body->addLayout(questions, 1);
    auto* row = new QHBoxLayout;
    addButtons(screen, row, buttons);
    for (int i = 0; i < 3; ++i)
        QObject::connect(buttons[i], &QPushButton::clicked, screen, [clicked, i] { clicked(i); });

    auto* layout = new QVBoxLayout(screen);
    layout->addLayout(body, 1);
    layout->addLayout(row);
    screen->setMinimumHeight(WindowPlace::toPixels(3600));
}

void placeLabel(QSpacerItem* top, QWidget* screen, int twips)
{
    // The layout's own margin is part of the distance from the top.
    const int margin = screen->layout() ? screen->layout()->contentsMargins().top() : 0;
    top->changeSize(0, std::max(0, WindowPlace::toPixels(twips) - margin), QSizePolicy::Minimum,
                    QSizePolicy::Fixed);
    if (screen->layout())
        screen->layout()->invalidate();
}

} // namespace WizardScreen
