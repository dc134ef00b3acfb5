// SPDX-License-Identifier: GPL-3.0-or-later
#include "WizardDriver.h"

#include "platform/ScriptedCommonDialog.h"

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

WizardDriver::WizardDriver(const QString& script)
    : left(script.split(QLatin1Char(' '), Qt::SkipEmptyParts))
{
    m_timer.setInterval(5);
    connect(&m_timer, &QTimer::timeout, this, &WizardDriver::tick);
    m_timer.start();
}

void WizardDriver::tick()
{
    auto* screen = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (!screen || !screen->isVisible())
        return;
    if (left.isEmpty()) {
        left.append(QStringLiteral("<stuck>"));
        screen->reject();
        return;
    }
    const QString word = left.takeFirst();
    auto press = [screen](const char* name) {
        if (auto* button = screen->findChild<QPushButton*>(QString::fromLatin1(name)))
            button->click();
    };
    if (auto* label = screen->findChild<QLabel*>(QStringLiteral("lbl"))) {
        labels.append(label->text());
        tops.append(label->mapTo(screen, QPoint()).y());
    } else
        labels.append(screen->objectName());

    if (word.size() == 1 && word.at(0).isDigit()) {
        if (auto* option = screen->findChild<QRadioButton*>(QStringLiteral("opt") + word))
            option->click();
        press("cmdGo2");
    } else if (word == u"n") {
        press("cmdGo2");
    } else if (word == u"b") {
        press("cmdGo0");
    } else if (word == u"c") {
        press("cmdGo1");
    } else if (word == u"x") {
        screen->close();
    } else if (word == u"cur") {
        press("cmdCurrent");
    } else if (word.startsWith(u"p:")) {
        press(word.mid(2).toLatin1().constData());
    } else if (word.startsWith(u"t:")) {
        const QStringList texts = word.mid(2).split(QLatin1Char('|'));
        for (int i = 0; i < texts.size(); ++i)
            screen->findChild<QLineEdit*>(QStringLiteral("txtField%1").arg(i))
                ->setText(texts.at(i));
        press("cmdGo2");
    } else if (word.startsWith(u"f:")) {
        ScriptedCommonDialog files;
        files.chooseFile(word.mid(2));
        press("cmdBrowse");
        press("cmdGo2");
    }
}
