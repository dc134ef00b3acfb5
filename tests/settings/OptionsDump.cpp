// SPDX-License-Identifier: GPL-3.0-or-later
#include "OptionsDump.h"

QStringList OptionsDump::dump(const COptions& o)
{
    const auto n = [](qint32 v) { return QString::number(v); };
    const auto b = [](bool v) { return v ? QStringLiteral("true") : QStringLiteral("false"); };
    return {
        "ReloadInterval=" + n(o.ReloadInterval),
        "ReloadMode=" + n(o.ReloadMode),
        "CarouselMode=" + n(o.CarouselMode),
        "CarouselOperation=" + n(o.CarouselOperation),
        "CarouselFileName=" + o.CarouselFileName,
        "StartingAddress=" + o.StartingAddress,
        "StartingSlide=" + n(o.StartingSlide),
        "DisplayTips=" + b(o.DisplayTips),
        "DisplayWizard=" + b(o.DisplayWizard),
        "BusyWait=" + b(o.BusyWait),
        "AutoStart=" + b(o.AutoStart),
        "UseDefault=" + b(o.UseDefault),
        "ToolTips=" + b(o.ToolTips),
        "AutoMode=" + n(o.AutoMode),
        "AutoDDEexe=" + o.AutoDDEexe,
        "AutoDDEapp=" + o.AutoDDEapp,
    };
}

QStringList OptionsDump::with(QStringList dump, const QString& changed)
{
    const QString key = changed.section(QLatin1Char('='), 0, 0) + QLatin1Char('=');
    for (QString& entry : dump) {
        if (entry.startsWith(key))
            entry = changed;
    }
    return dump;
}

COptions OptionsDump::defaults()
{
    COptions options;
    options.init_options();
    return options;
}

COptions OptionsDump::unusual()
{
    COptions o;
    o.ReloadInterval = 86400;
    o.ReloadMode = 3;
    o.CarouselMode = 2;
    o.CarouselOperation = 2;
    o.CarouselFileName = QStringLiteral(" /home/zoë/shows/Trip, 2024 (Ελλάδα).txt ");
    o.StartingAddress = QStringLiteral("http://example.org/a?b=1,c=2;d=@e");
    o.StartingSlide = 32767;
    o.DisplayTips = o.DisplayWizard = o.UseDefault = o.ToolTips = false;
    o.BusyWait = o.AutoStart = true;
    o.AutoMode = 2;
    o.AutoDDEexe = QStringLiteral("C:\\Program Files\\Opera\\opera.exe");
    o.AutoDDEapp = QStringLiteral("@OPERA, 'classic'");
    return o;
}
