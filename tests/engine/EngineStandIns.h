// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/EngineBrowser.h"
#include "engine/EngineView.h"
#include "engine/VexiloTimer.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QList>
#include <QStringList>
#include <QTimer>

#include <functional>
#include <optional>

/// A browser that records what it is asked, with the time of each call.
class RecordingBrowser : public EngineBrowser
{
public:
    struct Call
    {
        QString what; ///< "Navigate", "GoBack", "DDEOpenURL" ...
        QString address;
        qint64 msecs = 0; ///< since the browser was made
    };

    RecordingBrowser() { m_clock.start(); }

    bool ole = true;
    bool dde = false;
    /// Answers Busy; may set the error. Unset: never busy.
    std::function<bool(VbError*)> busy;
    QString location = QStringLiteral("http://example.org/at");
    int ddeResult = 0;
    /// Called when the restart prompt is asked (the 21st failure).
    std::function<void()> onRestartPrompt;
    /// The show waits while this is set, as for an open browser question.
    bool holding = false;

    QList<Call> calls;
    int terminateCalls = 0, restartPrompts = 0, notifierPrompts = 0;

    /// The addresses navigated to (Navigate and DDEOpenURL), in order.
    QStringList navigations() const
    {
        QStringList addresses;
        for (const Call& call : calls)
            if (call.what == u"Navigate" || call.what == u"DDEOpenURL")
                addresses.append(call.address);
        return addresses;
    }
    QList<qint64> navigationTimes() const
    {
        QList<qint64> times;
        for (const Call& call : calls)
            if (call.what == u"Navigate" || call.what == u"DDEOpenURL")
                times.append(call.msecs);
        return times;
    }
    int count(const QString& what) const
    {
        return int(std::count_if(calls.cbegin(), calls.cend(),
                                 [&what](const Call& call) { return call.what == what; }));
    }
    qint64 now() const { return m_clock.elapsed(); }

    bool useOLE() const override { return ole; }
    bool holdsShow() const override { return holding; }
    bool useDDE() const override { return dde; }
    bool Busy(VbError* error) override { return busy ? busy(error) : false; }
    bool Navigate(const QString& address, VbError*) override { return record("Navigate", address); }
    bool GoBack(VbError*) override { return record("GoBack"); }
    bool GoForward(VbError*) override { return record("GoForward"); }
    QString LocationURL(VbError*) override { return record("LocationURL"), location; }
    bool Stop(VbError*) override { return record("Stop"); }
    bool Refresh(VbError*) override { return record("Refresh"); }
    int DDEOpenURL(const QString& address) override
    {
        return record("DDEOpenURL", address), ddeResult;
    }
    /// Counts like the main window's: asks from the 21st failure in a row.
    void BrowserTerminate(qint16& counter) override
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
    void NotifierTerminate() override { ++notifierPrompts; }

private:
    bool record(const char* what, const QString& address = QString())
    {
        calls.append({QLatin1String(what), address, m_clock.elapsed()});
        return true;
    }

    QElapsedTimer m_clock;
};

/// A main window that only records what the engine tells it.
class RecordingView : public EngineView
{
public:
    QString address, pauseText, soundText, status, title, colMax, interval;
    QStringList addressList, statusHistory;
    bool pauseVisible = true, sliderEnabled = true;
    QList<int> icons;
    int beeps = 0, sliderMaximum = 10, sliderTicks = 1, sliderValue = 0, upDownMaximum = 10;
    std::optional<bool> navKeys[6];
    bool modeChecked[4] = {};
    /// The start-up steps, in order, by name.
    QStringList log;
    /// Called with each status text.
    std::function<void(const QString&)> onStatus;

    /// The nav keys as six characters, '1' on, '0' off, '-' never set.
    QString navKeyPattern() const
    {
        QString pattern;
        for (const auto& key : navKeys)
            pattern += !key ? u'-' : *key ? u'1' : u'0';
        return pattern;
    }

    QString addressText() const override { return address; }
    void setAddressText(const QString& text) override { address = text; }
    void addAddressToList(const QString& text) override { addressList.append(text); }
    void setSlidePauseText(const QString& text) override { pauseText = text; }
    void setSlidePauseVisible(bool visible) override { pauseVisible = visible; }
    QString slideSoundText() const override { return soundText; }
    void setSlideSoundText(const QString& text) override { soundText = text; }
    void setStatusText(const QString& text) override
    {
        status = text;
        statusHistory.append(text);
        if (onStatus)
            onStatus(text);
    }
    void setWindowTitle(const QString& text) override { title = text; }
    void setBusyCursor(bool) override {}
    void setWindowIconNumber(int resourceNumber) override { icons.append(resourceNumber); }
    void beep() override { ++beeps; }
    void setSliderEnabled(bool enabled) override { sliderEnabled = enabled; }
    void setSliderRange(int, int maximum) override { sliderMaximum = maximum; }
    void setSliderTickFrequency(int frequency) override { sliderTicks = frequency; }
    void setSliderValue(int value) override { sliderValue = value; }
    void setUpDownEnabled(bool) override {}
    void setUpDownRange(int, int maximum) override { upDownMaximum = maximum; }
    void setSlideNumberText(const QString&) override {}
    void setColMinText(const QString&) override {}
    void setColMaxText(const QString& text) override { colMax = text; }
    void setNavKeyEnabled(int index, bool enabled) override { navKeys[index] = enabled; }
    void setModeChecked(int mode, bool checked) override { modeChecked[mode] = checked; }
    void setPauseChecked(bool) override {}
    void setOrderChecked(int index) override { log.append(u"order " + QString::number(index)); }
    void setOperationChecked(int index) override { log.append(u"op " + QString::number(index)); }
    void setAutoStartTicked(bool) override { log.append(QStringLiteral("auto start")); }
    void setBusyWaitTicked(bool) override { log.append(QStringLiteral("busy wait")); }
    void setUseDefaultTicked(bool) override { log.append(QStringLiteral("use default")); }
    void setToolTipsChecked(bool) override { log.append(QStringLiteral("tool tips")); }
    QString intervalText() const override { return interval; }
    void focusIntervalBox() override {}
    int helpContext() const override { return 1000; }
    VbError restoreLayout() override { return log.append(QStringLiteral("layout")), VbError(); }
    void addRecentFile(const QString&) override { log.append(QStringLiteral("recent")); }
    VbError configBrowser() override { return log.append(QStringLiteral("browser")), VbError(); }
};

/// An alarm whose TimingKind reads 2: the show runs as one loop. Arming it
/// without AddAlarm waits out the pause at once (events keep running, a
/// second counts as scale milliseconds) and rings nothing.
class OneLoopTimer : public VexiloTimer
{
public:
    explicit OneLoopTimer(int millisecondsPerSecond = 20) : m_scale(millisecondsPerSecond) {}

    qint32 TimingKind() const override { return 2; }
    void setEnabled(bool enabled) override
    {
        if (!enabled || !owners().isEmpty())
            return VexiloTimer::setEnabled(enabled);
        ++waits;
        QEventLoop wait;
        QTimer::singleShot(AlarmSeconds() * m_scale, &wait, &QEventLoop::quit);
        wait.exec();
    }

    int waits = 0;

private:
    int m_scale;
};

/// An alarm that refuses every AddAlarm.
class RefusingTimer : public VexiloTimer
{
public:
    bool AddAlarm(const QObject*) override { return ++refused, false; }
    int refused = 0;
};
