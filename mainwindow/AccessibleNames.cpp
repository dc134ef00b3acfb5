// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/AccessibleNames.h"

#include <QAccessible>
#include <QAction>
#include <QComboBox>
#include <QHash>
#include <QLineEdit>
#include <QToolButton>
#include <QWidget>

namespace {

const QHash<QString, QString>& namesByControl()
{
    static const QHash<QString, QString> names{
        // The main window's bars.
        {QStringLiteral("picSlideBar"), QStringLiteral("Slide bar")},
        {QStringLiteral("picCollectBar"), QStringLiteral("Show bar")},
        {QStringLiteral("picNavBar"), QStringLiteral("Control bar")},
        {QStringLiteral("picStatusBar"), QStringLiteral("Status bar")},
        {QStringLiteral("picOptBar"), QStringLiteral("Options bar")},
        {QStringLiteral("tbrSlide"), QStringLiteral("Slide tools")},
        {QStringLiteral("tbrCollect"), QStringLiteral("Show tools")},
        {QStringLiteral("cboAddress"), QStringLiteral("Address")},
        {QStringLiteral("lblSlidePause"), QStringLiteral("Slide pause")},
        {QStringLiteral("lblSlideSound"), QStringLiteral("Slide sound")},
        {QStringLiteral("txtCollectSlide"), QStringLiteral("Slide number")},
        {QStringLiteral("updwnCollect"), QStringLiteral("Slide number up or down")},
        {QStringLiteral("sldCollect"), QStringLiteral("Slide position")},
        {QStringLiteral("lblColMin"), QStringLiteral("First position")},
        {QStringLiteral("lblColMax"), QStringLiteral("Last slide")},
        {QStringLiteral("cmdNavKey0"), QStringLiteral("Beginning")},
        {QStringLiteral("cmdNavKey1"), QStringLiteral("Back")},
        {QStringLiteral("cmdNavKey2"), QStringLiteral("Pause")},
        {QStringLiteral("cmdNavKey3"), QStringLiteral("Forward")},
        {QStringLiteral("cmdNavKey4"), QStringLiteral("Ending")},
        {QStringLiteral("cmdNavKey5"), QStringLiteral("Stop")},
        {QStringLiteral("pnlStatus"), QStringLiteral("Status")},
        // The floating control bar.
        {QStringLiteral("picControl"), QStringLiteral("Show controls")},
    };
    return names;
}

QString withoutAccessKey(QString caption)
{
    caption.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
    caption.remove(QLatin1Char('&'));
    caption.replace(QStringLiteral("\x01"), QStringLiteral("&"));
    return caption;
}

} // namespace

void AccessibleNames::apply(QWidget* window)
{
    const QList<QWidget*> controls = window->findChildren<QWidget*>();
    for (QWidget* control : controls) {
        if (!control->accessibleName().isEmpty())
            continue;
        const QString known = namesByControl().value(control->objectName());
        if (!known.isEmpty()) {
            control->setAccessibleName(known);
            continue;
        }
        // The text field of an editable box is read as the box.
        auto* field = qobject_cast<QLineEdit*>(control);
        if (auto* box = field ? qobject_cast<QComboBox*>(field->parentWidget()) : nullptr) {
            QAccessibleInterface* boxFace = QAccessible::queryAccessibleInterface(box);
            field->setAccessibleName(boxFace ? boxFace->text(QAccessible::Name) : QString());
            continue;
        }
        auto* button = qobject_cast<QToolButton*>(control);
        if (!button)
            continue;
        if (QAction* key = button->defaultAction()) {
            const QString name = key->property("Key").toString();
            button->setAccessibleName(name.isEmpty() ? withoutAccessKey(key->text()) : name);
        } else if (button->arrowType() == Qt::UpArrow) {
            button->setAccessibleName(QStringLiteral("Up"));
        } else if (button->arrowType() == Qt::DownArrow) {
            button->setAccessibleName(QStringLiteral("Down"));
        }
    }
}
