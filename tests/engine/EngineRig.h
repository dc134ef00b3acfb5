// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "EngineStandIns.h"

#include "engine/ShowEngine.h"
#include "settings/COptions.h"
#include "settings/cShowState.h"
#include "show/colURLs.h"

#include <QList>
#include <QStringList>

#include <memory>

/// An engine with everything it reaches recorded: its options, show and
/// run state, a recording browser and window, and the sounds it played.
class EngineRig
{
public:
    /// alarm: the alarm to use (not owned); nullptr for the engine's own.
    explicit EngineRig(VexiloTimer* alarm = nullptr);
    ~EngineRig();

    /// The address of slide k.
    static QString address(int k);

    /// Appends slides numbered on from the last, each with the pause.
    void addSlides(int count, qint16 pause, bool skip = false, const QString& sound = QString());
    /// Chooses order (1 sequential, 2 random), operation (1 once, 2
    /// continuous) and the default pause, and starts in Normal mode with
    /// the show at its rest point.
    void prepare(qint16 order, qint16 operation, qint32 interval);

    /// "automation", "link" or "none".
    void useBrowser(const QString& kind);
    /// The numbers of the slides navigated to, in order.
    QList<int> shown() const;
    /// The browser calls made, comma-separated.
    QString callNames() const;
    /// Saves a show of count slides (slide k pauses k seconds) to file.
    static void saveShow(const QString& file, int count);

    COptions options;
    colURLs show;
    cShowState state;
    RecordingBrowser browser;
    RecordingView view;
    QStringList sounds;
    std::unique_ptr<ShowEngine> engine;
};
