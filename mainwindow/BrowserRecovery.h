// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QTimer>

class AutomationBrowser;
class BrowserConnection;
class COptions;
class ShowEngine;
class UnattendedRun;

/// Keeps a main window's automation browser fit for a long run.
///
/// - The browser's end (its pipe closes, its process exits, or it stopped
///   answering and was ended) is noticed as it happens: the run is held at
///   its slide. An unattended run starts a new browser at once and resumes
///   at that slide, trying again every few seconds until one starts; an
///   attended run is asked the restart question, held while it is open.
/// - The memory of the browser's process tree is sampled; past the limit,
///   or once the browser is a day old, it is replaced at the next slide
///   boundary, so the viewer sees at most that slide load again.
class BrowserRecovery : public QObject
{
    Q_OBJECT

public:
    /// The default memory limit of the browser's process tree.
    static constexpr qint64 DefaultMemoryLimitMB = 1024;

    BrowserRecovery(BrowserConnection& connection, ShowEngine& engine, COptions& options,
                    const UnattendedRun& run, QObject* parent = nullptr);

    /// The limit from the settings store ("Settings", "BrowserMemoryLimitMB";
    /// the default when missing or not a positive number).
    static qint64 storedMemoryLimitMB();
    void setMemoryLimitMB(qint64 megabytes) { m_memoryLimitMB = megabytes; }
    qint64 memoryLimitMB() const { return m_memoryLimitMB; }
    /// The oldest a browser may get before it is replaced.
    void setMaximumAgeMs(qint64 msecs) { m_maximumAgeMs = msecs; }
    /// How often the browser's memory is measured.
    void setSampleIntervalMs(int msecs) { m_sample.setInterval(msecs); }

    /// Starts watching the browser the connection now holds (again after
    /// each load).
    void watch(AutomationBrowser* browser);
    /// Stops all recovery: the window unloads its browser.
    void stop();

Q_SIGNALS:
    /// A new browser took over and the run went on.
    void recovered();

private:
    void browserGone(AutomationBrowser* browser);
    void recover();
    void restartUnattended();
    void sampleMemory();
    void slideStarting();
    bool startBrowser();

    BrowserConnection& m_connection;
    ShowEngine& m_engine;
    COptions& m_options;
    const UnattendedRun& m_run;
    QPointer<AutomationBrowser> m_watched;
    QTimer m_sample;
    QTimer m_retry;
    QElapsedTimer m_age;
    qint64 m_memoryLimitMB = DefaultMemoryLimitMB;
    qint64 m_maximumAgeMs = qint64(24) * 60 * 60 * 1000;
    bool m_replaceDue = false;
    bool m_recovering = false;
    bool m_stopped = false;
};
