// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAccessible>
#include <QTest>
#include <QtWidgets>

/// The window's control of that name; the test program stops when there is none.
template <typename T = QWidget> T* control(const QObject& window, const QString& name)
{
    T* found = window.findChild<T*>(name);
    if (!found)
        qFatal("no control %s", qPrintable(name));
    return found;
}

template <typename T = QWidget> T* control(const QObject* window, const QString& name)
{
    return control<T>(*window, name);
}

/// A left click on the named button.
inline void click(const QObject& window, const QString& name)
{
    QTest::mouseClick(control<QAbstractButton>(window, name), Qt::LeftButton);
}
inline void click(const QObject* window, const QString& name)
{
    click(*window, name);
}

/// The controls a user reaches with the keyboard that have no accessible name; the
/// test compares it with an empty list, so a failure names them.
inline QStringList unnamedControls(const QWidget& window)
{
    QStringList unnamed;
    for (QWidget* widget : window.findChildren<QWidget*>()) {
        // The edit inside a combo or spin box and a list's viewport are parts of the control.
        const QWidget* parent = widget->parentWidget();
        if (!widget->isVisibleTo(&window) || !(widget->focusPolicy() & Qt::TabFocus) ||
            qobject_cast<const QAbstractScrollArea*>(parent) ||
            qobject_cast<const QComboBox*>(parent) || qobject_cast<const QAbstractSpinBox*>(parent))
            continue;
        QAccessibleInterface* face = QAccessible::queryAccessibleInterface(widget);
        if (!face || face->text(QAccessible::Name).trimmed().isEmpty())
            unnamed.append(widget->objectName() + u' ' + widget->metaObject()->className());
    }
    return unnamed;
}
