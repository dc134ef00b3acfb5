// SPDX-License-Identifier: GPL-3.0-or-later
#include "startup/modToolTips.h"

#include <QToolBar>
#include <QWidget>

namespace {

void setToolTips(QWidget* window, bool on)
{
    if (!window)
        return;
    const QList<QWidget*> controls = window->findChildren<QWidget*>();
    for (QWidget* control : controls) {
        if (qobject_cast<QToolBar*>(control))
            continue;
        const QString tag = control->property("Tag").toString();
        if (!tag.isEmpty())
            control->setToolTip(on ? tag : QString());
    }
}

} // namespace

void modMain::ToolTipsOn(QWidget* window)
{
    setToolTips(window, true);
}

void modMain::ToolTipsOff(QWidget* window)
{
    setToolTips(window, false);
}
