// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/MessageBoxPrompts.h"

#include "platform/Help.h"

#include <QPushButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>

namespace {

struct ButtonAnswer
{
    QMessageBox::StandardButton button;
    int answer;
};

QList<ButtonAnswer> buttonsFor(int kind)
{
    using Prompts::vbAbort, Prompts::vbCancel, Prompts::vbIgnore, Prompts::vbNo, Prompts::vbOK,
        Prompts::vbRetry, Prompts::vbYes;
    switch (kind) {
    case Prompts::vbOKCancel:
        return {{QMessageBox::Ok, vbOK}, {QMessageBox::Cancel, vbCancel}};
    case Prompts::vbAbortRetryIgnore:
        return {{QMessageBox::Abort, vbAbort},
                {QMessageBox::Retry, vbRetry},
                {QMessageBox::Ignore, vbIgnore}};
    case Prompts::vbYesNoCancel:
        return {
            {QMessageBox::Yes, vbYes}, {QMessageBox::No, vbNo}, {QMessageBox::Cancel, vbCancel}};
    case Prompts::vbYesNo:
        return {{QMessageBox::Yes, vbYes}, {QMessageBox::No, vbNo}};
    case Prompts::vbRetryCancel:
        return {{QMessageBox::Retry, vbRetry}, {QMessageBox::Cancel, vbCancel}};
    default:
        return {{QMessageBox::Ok, vbOK}};
    }
}

QMessageBox::Icon iconFor(int buttons)
{
    switch (buttons & 0x70) {
    case Prompts::vbCritical:
        return QMessageBox::Critical;
    case Prompts::vbQuestion:
        return QMessageBox::Question;
    case Prompts::vbExclamation:
        return QMessageBox::Warning;
    case Prompts::vbInformation:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

} // namespace

int MessageBoxPrompts::show(const Prompts::Request& request)
{
    QMessageBox box(iconFor(request.buttons), request.title, request.text, QMessageBox::NoButton,
                    QApplication::activeWindow());
    box.setObjectName(QStringLiteral("MsgBox"));
    const QList<ButtonAnswer> buttons = buttonsFor(request.buttons & 7);
    for (const auto& entry : buttons)
        box.addButton(entry.button);
    const int defaultIndex = (request.buttons & Prompts::vbDefaultButton3)   ? 2
                             : (request.buttons & Prompts::vbDefaultButton2) ? 1
                                                                             : 0;
    box.setDefaultButton(buttons.value(defaultIndex, buttons.first()).button);
    // Closing the box with Escape or its close button gives its cancelling
    // answer, or the only button's.
    box.setEscapeButton(buttons.last().button);
    if (request.helpContext != 0) {
        box.setProperty("helpContext", request.helpContext);
        // F1 opens the topic the box names.
        Help::setHelpContext(&box, request.helpFile, request.helpContext);
    }
    QTimer countdown;
    if (request.closeAfterSeconds > 0) {
        // Nobody may be there: the box says when it goes, then takes its
        // default button.
        int left = request.closeAfterSeconds;
        const auto showLeft = [&box, &left] {
            box.setInformativeText(
                QStringLiteral("This message closes by itself in %1 s.").arg(left));
        };
        showLeft();
        countdown.setInterval(1000);
        QObject::connect(&countdown, &QTimer::timeout, &box, [&box, &left, showLeft] {
            if (--left > 0) {
                showLeft();
                return;
            }
            box.defaultButton()->click();
        });
        countdown.start();
    }
    box.exec();
    const auto clicked = box.standardButton(box.clickedButton());
    for (const auto& entry : buttons) {
        if (entry.button == clicked)
            return entry.answer;
    }
    return Prompts::defaultAnswer(request.buttons);
}
