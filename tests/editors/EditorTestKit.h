// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "editors/EditorHost.h"

#include <QApplication>
#include <QStringList>
#include <QTimer>
#include <QWidget>

#include <functional>

/// A main window stand-in that records what the editors ask of it.
class RecordingHost : public EditorHost
{
public:
    QStringList calls;
    QString slideFile;                   ///< what do_open_slide answers
    std::function<void()> onOpenCollect; ///< loads a show like the window

    void do_open_collect() override
    {
        calls.append(QStringLiteral("open"));
        if (onOpenCollect)
            onOpenCollect();
    }
    QString do_open_slide() override
    {
        calls.append(QStringLiteral("openSlide"));
        return slideFile;
    }
    void viewAddress(const QString& address) override
    {
        calls.append(QStringLiteral("view ") + address);
    }
    void saveShow() override { calls.append(QStringLiteral("save")); }
    void showEdited() override { calls.append(QStringLiteral("edited")); }
};

/// Runs the step on the next modal window of type T once it is up (the
/// caller then opens it with exec()); gives up after a few seconds.
template <typename T> void whenModal(std::function<void(T*)> step, int triesLeft = 300)
{
    QTimer::singleShot(10, qApp, [step, triesLeft] {
        if (auto* window = qobject_cast<T*>(QApplication::activeModalWidget())) {
            step(window);
            return;
        }
        if (triesLeft > 0)
            whenModal<T>(step, triesLeft - 1);
    });
}
