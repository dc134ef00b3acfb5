// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/UnattendedRun.h"

#include "platform/Prompts.h"
#include "startup/modMain.h"

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>

UnattendedRun::UnattendedRun(QWidget* window, QObject* parent) : QObject(parent), m_window(window)
{
    QCoreApplication::instance()->installEventFilter(this);
}

UnattendedRun::~UnattendedRun()
{
    if (m_unattended)
        Prompts::setSelfClosingSeconds(0);
}

void UnattendedRun::startUnattended()
{
    Prompts::setSelfClosingSeconds(Prompts::UnattendedBoxSeconds);
    if (m_unattended)
        return;
    m_unattended = true;
    modMain::WriteLog(QStringLiteral("Unattended run: started by auto start"));
    Q_EMIT changed(true);
}

void UnattendedRun::becomeAttended()
{
    if (!m_unattended) {
        // Boxes of the start may have been told to close themselves.
        Prompts::setSelfClosingSeconds(0);
        return;
    }
    m_unattended = false;
    Prompts::setSelfClosingSeconds(0);
    modMain::WriteLog(QStringLiteral("Attended run: a control was used"));
    Q_EMIT changed(false);
}

bool UnattendedRun::ownsWidget(const QObject* object) const
{
    if (!m_window || !object->isWidgetType())
        return false;
    // Menus, the control bar and boxes are windows of their own, made with
    // this window as (grand)parent.
    for (auto* widget = static_cast<const QWidget*>(object); widget;
         widget = widget->parentWidget()) {
        if (widget == m_window)
            return true;
    }
    return false;
}

bool UnattendedRun::eventFilter(QObject* watched, QEvent* event)
{
    if (m_unattended) {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::KeyPress:
        case QEvent::Wheel:
        case QEvent::TouchBegin:
            // Only what a person does: the program's own clicks and key
            // presses arrive without a spontaneous origin.
            if (event->spontaneous() && ownsWidget(watched))
                becomeAttended();
            break;
        default:
            break;
        }
    }
    return QObject::eventFilter(watched, event);
}
