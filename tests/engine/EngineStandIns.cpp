// SPDX-License-Identifier: GPL-3.0-or-later
#include "EngineStandIns.h"

#include <QEventLoop>
#include <QTimer>

RecordingBrowser::RecordingBrowser()
{
    m_clock.start();
}

void RecordingBrowser::record(const QString& what, const QString& address)
{
    calls.append({what, address, m_clock.elapsed()});
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

bool RecordingBrowser::Busy(VbError* error)
{
    ++busyReads;
    return busy ? busy(error) : false;
}

bool RecordingBrowser::Navigate(const QString& address, VbError*)
{
    record(QStringLiteral("Navigate"), address);
    return true;
}

bool RecordingBrowser::GoBack(VbError*)
{
    record(QStringLiteral("GoBack"));
    return true;
}

bool RecordingBrowser::GoForward(VbError*)
{
    record(QStringLiteral("GoForward"));
    return true;
}

QString RecordingBrowser::LocationURL(VbError*)
{
    record(QStringLiteral("LocationURL"));
    return location;
}

bool RecordingBrowser::Stop(VbError*)
{
    record(QStringLiteral("Stop"));
    return true;
}

bool RecordingBrowser::Refresh(VbError*)
{
    record(QStringLiteral("Refresh"));
    return true;
}

int RecordingBrowser::DDEOpenURL(const QString& address)
{
    record(QStringLiteral("DDEOpenURL"), address);
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

void RecordingBrowser::NotifierTerminate()
{
    ++notifierPrompts;
}

RecordingView::RecordingView() = default;

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

void RecordingView::setSliderRange(int minimum, int maximum)
{
    sliderMinimum = minimum;
    sliderMaximum = maximum;
}

void RecordingView::setUpDownRange(int minimum, int maximum)
{
    upDownMinimum = minimum;
    upDownMaximum = maximum;
}

void RecordingView::setOrderChecked(int index)
{
    orderChecked = index;
    log.append(QStringLiteral("order %1").arg(index));
}

void RecordingView::setOperationChecked(int index)
{
    operationChecked = index;
    log.append(QStringLiteral("operation %1").arg(index));
}

void RecordingView::setAutoStartTicked(bool ticked)
{
    autoStartTicked = ticked;
    log.append(QStringLiteral("auto start"));
}

void RecordingView::setBusyWaitTicked(bool ticked)
{
    busyWaitTicked = ticked;
    log.append(QStringLiteral("busy wait"));
}

void RecordingView::setUseDefaultTicked(bool ticked)
{
    useDefaultTicked = ticked;
    log.append(QStringLiteral("use default"));
}

void RecordingView::setToolTipsChecked(bool on)
{
    toolTipsOn = on;
    log.append(QStringLiteral("tool tips"));
}

VbError RecordingView::restoreLayout()
{
    ++layoutRestores;
    log.append(QStringLiteral("layout"));
    return layoutError;
}

void RecordingView::addRecentFile(const QString& fileName)
{
    recentFiles.append(fileName);
    log.append(QStringLiteral("recent"));
}

VbError RecordingView::configBrowser()
{
    ++browserConfigs;
    log.append(QStringLiteral("browser"));
    return configError;
}

OneLoopTimer::OneLoopTimer(int millisecondsPerSecond) : m_scale(millisecondsPerSecond)
{
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

bool RefusingTimer::AddAlarm(const QObject*)
{
    ++refused;
    return false;
}
