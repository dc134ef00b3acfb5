// SPDX-License-Identifier: GPL-3.0-or-later
#include "EngineRig.h"

EngineRig::EngineRig(VexiloTimer* alarm)
{
    options.init_options();
    options.UseDefault = false;
    options.BusyWait = false;
    options.AutoStart = false;
    options.ReloadInterval = 0;
    engine = std::make_unique<ShowEngine>(options, show, state, browser, view, alarm);
    engine->setSoundPlayer([this](const QString& file) { sounds.append(file); });
}

EngineRig::~EngineRig() = default;

QString EngineRig::address(int k)
{
    return QStringLiteral("http://slides.test/%1.html").arg(k);
}

void EngineRig::addSlides(int count, qint16 pause, bool skip, const QString& sound)
{
    const int first = show.Count() + 1;
    for (int k = first; k < first + count; ++k)
        show.Add(address(k), sound, pause, skip);
}

void EngineRig::prepare(qint16 order, qint16 operation, qint32 interval)
{
    options.ReloadInterval = interval;
    engine->optCarMode_Click(order - 1);
    engine->optCarOp_Click(operation - 1);
    engine->do_set_collect();
    engine->change_mode(ShowEngine::ModeNormal);
}

QList<int> EngineRig::shown() const
{
    QList<int> numbers;
    const QStringList addresses = browser.navigations();
    for (const QString& address : addresses) {
        const QString name = address.section(QLatin1Char('/'), -1);
        numbers.append(name.section(QLatin1Char('.'), 0, 0).toInt());
    }
    return numbers;
}

void EngineRig::useBrowser(const QString& kind)
{
    browser.ole = kind == QLatin1String("automation");
    browser.dde = kind == QLatin1String("link");
}

QString EngineRig::callNames() const
{
    QStringList names;
    for (const auto& call : browser.calls)
        names.append(call.what);
    return names.join(QLatin1Char(','));
}

void EngineRig::saveShow(const QString& file, int count)
{
    colURLs source;
    source.TrayFilename = file;
    for (int k = 1; k <= count; ++k)
        source.Add(address(k), QString(), qint16(k), false);
    source.SavetoDisk();
}
