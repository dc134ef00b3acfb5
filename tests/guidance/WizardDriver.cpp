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
    QObject::connect(&m_timer, &QTimer::timeout, [this] { tick(); });
    m_timer.start(5);
}

void WizardDriver::tick()
{
    auto* screen = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (!screen || !screen->isVisible())
        return;
    if (left.isEmpty()) {
        left.append(QStringLiteral("<stuck>"));
        return screen->reject();
    }
    const QString word = left.takeFirst();
    const auto press = [screen](const QString& name) {
        if (auto* button = screen->findChild<QPushButton*>(name))
            button->click();
    };
    auto* label = screen->findChild<QLabel*>(QStringLiteral("lbl"));
    labels.append(label ? label->text() : screen->objectName());
    tops.append(label ? label->mapTo(screen, QPoint()).y() : -1);
    if (word == u"b" || word == u"c" || word == u"cur" || word.startsWith(u"p:"))
        return press(word == u"b"     ? QStringLiteral("cmdGo0")
                     : word == u"c"   ? QStringLiteral("cmdGo1")
                     : word == u"cur" ? QStringLiteral("cmdCurrent")
                                      : word.mid(2));
    if (word == u"x")
        return void(screen->close());
    if (auto* option = screen->findChild<QRadioButton*>("opt" + word))
        option->click();
    const QStringList texts = word.startsWith(u"t:") ? word.mid(2).split('|') : QStringList();
    for (int i = 0; i < texts.size(); ++i)
        screen->findChild<QLineEdit*>(QStringLiteral("txtField%1").arg(i))->setText(texts[i]);
    if (word.startsWith(u"f:")) {
        ScriptedCommonDialog files;
        files.chooseFile(word.mid(2));
        press(QStringLiteral("cmdBrowse"));
    }
    press(QStringLiteral("cmdGo2"));
}
