// SPDX-License-Identifier: GPL-3.0-or-later
#include "EngineStandIns.h"

#include <QEventLoop>
#include <QTimer>

bool RecordingBrowser::record(const char* what, const QString& address)
{
    calls.append({QLatin1String(what), address, m_clock.elapsed()});
    return true;
}

QStringList RecordingBrowser::navigations() const
{
    QStringList addresses;
    for (const Call& call : calls) {
        if (call.what == QLatin1String("Navigate") || call.what == QLatin1String("DDEOpenURL"))
            addresses.append(call.address);
    }
    return addresses;
}

QList<qint64> RecordingBrowser::navigationTimes() const
{
    QList<qint64> times;
    for (const Call& call : calls) {
        if (call.what == QLatin1String("Navigate") || call.what == QLatin1String("DDEOpenURL"))
            times.append(call.msecs);
    }
    return times;
}

int RecordingBrowser::count(const QString& what) const
{
    return int(std::count_if(calls.cbegin(), calls.cend(),
                             [&what](const Call& call) { return call.what == what; }));
}

QString RecordingBrowser::LocationURL(VbError*)
{
    record("LocationURL");
    return location;
}

int RecordingBrowser::DDEOpenURL(const QString& address)
{
    record("DDEOpenURL", address);
    return ddeResult;
}

void RecordingBrowser::BrowserTerminate(qint16& counter)
{
    ++terminateCalls;
    if (counter < 20) {
        ++counter;
        return;
    }
    ++restartPrompts;
    if (onRestartPrompt)
        onRestartPrompt();
    counter = 0;
}

QString RecordingView::navKeyPattern() const
{
    QString pattern;
    for (const auto& key : navKeys)
        pattern += !key ? QLatin1Char('-') : *key ? QLatin1Char('1') : QLatin1Char('0');
    return pattern;
}

void RecordingView::setStatusText(const QString& text)
{
    status = text;
    statusHistory.append(text);
    if (onStatus)
        onStatus(text);
}

VbError RecordingView::restoreLayout()
{
    log.append(QStringLiteral("layout"));
    return {};
}

VbError RecordingView::configBrowser()
{
    log.append(QStringLiteral("browser"));
    return {};
}

void OneLoopTimer::setEnabled(bool enabled)
{
    if (!enabled || !owners().isEmpty()) {
        VexiloTimer::setEnabled(enabled);
        return;
    }
    ++waits;
    QEventLoop wait;
    QTimer::singleShot(AlarmSeconds() * m_scale, &wait, &QEventLoop::quit);
    wait.exec();
}
