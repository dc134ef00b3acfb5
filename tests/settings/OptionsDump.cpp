// SPDX-License-Identifier: GPL-3.0-or-later
#include "OptionsDump.h"

namespace {

QString line(const char* key, const QString& value)
{
    return QLatin1String(key) + QLatin1Char('=') + value;
}

QString line(const char* key, qint32 value)
{
    return line(key, QString::number(value));
}

QString line(const char* key, bool value)
{
    return line(key, value ? QStringLiteral("true") : QStringLiteral("false"));
}

} // namespace

QStringList OptionsDump::dump(const COptions& o)
{
    return {
        line("ReloadInterval", o.ReloadInterval),
        line("ReloadMode", qint32(o.ReloadMode)),
        line("CarouselMode", qint32(o.CarouselMode)),
        line("CarouselOperation", qint32(o.CarouselOperation)),
        line("CarouselFileName", o.CarouselFileName),
        line("StartingAddress", o.StartingAddress),
        line("StartingSlide", qint32(o.StartingSlide)),
        line("DisplayTips", o.DisplayTips),
        line("DisplayWizard", o.DisplayWizard),
        line("BusyWait", o.BusyWait),
        line("AutoStart", o.AutoStart),
        line("UseDefault", o.UseDefault),
        line("ToolTips", o.ToolTips),
        line("AutoMode", qint32(o.AutoMode)),
        line("AutoDDEexe", o.AutoDDEexe),
        line("AutoDDEapp", o.AutoDDEapp),
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
    o.CarouselOperation = -2;
    o.CarouselFileName = QStringLiteral(" /home/zoë/shows/Trip, 2024 (Ελλάδα).txt ");
    o.StartingAddress = QStringLiteral("http://example.org/a?b=1,c=2;d=@e");
    o.StartingSlide = 32767;
    o.DisplayTips = false;
    o.DisplayWizard = false;
    o.BusyWait = true;
    o.AutoStart = true;
    o.UseDefault = false;
    o.ToolTips = false;
    o.AutoMode = 2;
    o.AutoDDEexe = QStringLiteral("C:\\Program Files\\Opera\\opera.exe");
    o.AutoDDEapp = QStringLiteral("@OPERA, 'classic'");
    return o;
}
