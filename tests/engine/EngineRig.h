// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The engine with a recording browser, window and sound player, and the cases the
// command table runs.

#include "EngineStandIns.h"

#include "engine/IntervalBox.h"
#include "engine/ShowEngine.h"
#include "settings/COptions.h"
#include "settings/cShowState.h"
#include "show/colURLs.h"

#include <memory>

using Mode = ShowEngine;
using Command = void (ShowEngine::*)();

/// An engine with everything it reaches recorded: slide k is at address(k).
struct Rig
{
    /// alarm: the alarm to use (not owned); nullptr for the engine's own. real: a browser
    /// to drive instead of the recording one.
    explicit Rig(VexiloTimer* alarm = nullptr, EngineBrowser* real = nullptr)
    {
        options.init_options();
        options.UseDefault = options.BusyWait = options.AutoStart = false;
        options.ReloadInterval = 0;
        engine =
            std::make_unique<ShowEngine>(options, show, state, real ? *real : browser, view, alarm);
        engine->setSoundPlayer([this](const QString& file) { sounds.append(file); });
    }
    static QString address(int k) { return QStringLiteral("http://slides.test/%1.html").arg(k); }
    void addSlides(int count, qint16 pause, bool skip = false, const QString& sound = {})
    {
        for (int k = show.Count() + 1, end = k + count; k < end; ++k)
            show.Add(address(k), sound, pause, skip);
    }
    /// Order 1 sequential / 2 random, operation 1 once / 2 continuous;
    /// Normal mode with the show at its rest point.
    void prepare(qint16 order, qint16 operation, qint32 interval = 0)
    {
        options.ReloadInterval = interval;
        engine->optCarMode_Click(order - 1);
        engine->optCarOp_Click(operation - 1);
        engine->do_set_collect();
        engine->change_mode(Mode::ModeNormal);
    }
    /// "automation", "link" or "none".
    void useBrowser(const QString& kind)
    {
        browser.ole = kind == QLatin1String("automation");
        browser.dde = kind == QLatin1String("link");
    }
    /// The numbers of the slides navigated to, in order.
    QList<int> shown() const
    {
        QList<int> numbers;
        for (const QString& address : browser.navigations())
            numbers.append(address.section(u'/', -1).section(u'.', 0, 0).toInt());
        return numbers;
    }

    COptions options;
    colURLs show;
    cShowState state;
    RecordingBrowser browser;
    RecordingView view;
    QStringList sounds;
    std::unique_ptr<ShowEngine> engine;
};

struct CommandCase
{
    QString command, browser;
    qint16 mode;
    int ddeResult;
    QString calls;
    int notifierPrompts;
};

/// A combo box as the interval routines see it: a first entry becomes the
/// text, as in a real combo box.
class FakeBox : public IntervalBox
{
public:
    QString text;
    QStringList items;
    void setText(const QString& value) override { text = value; }
    void addItem(const QString& value) override
    {
        if (items.isEmpty())
            text = value;
        items.append(value);
    }
};
