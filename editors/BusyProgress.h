// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QElapsedTimer>
#include <QString>

#include <memory>

class QProgressDialog;
class QWidget;

/// Long work on the window's own thread: the hourglass at once, and a
/// progress dialog (with Cancel) once the work has taken half a second.
/// The window keeps painting while the work calls step().
class BusyProgress
{
public:
    /// total 0: the count is not known beforehand.
    BusyProgress(QWidget* window, const QString& label, qint64 total = 0);
    ~BusyProgress();
    BusyProgress(const BusyProgress&) = delete;
    BusyProgress& operator=(const BusyProgress&) = delete;

    /// Reports the items done so far; false once the user cancelled.
    bool step(qint64 done);
    bool cancelled() const { return m_cancelled; }

private:
    QWidget* m_window;
    QString m_label;
    qint64 m_total;
    QElapsedTimer m_clock;
    qint64 m_lastPump = 0;
    bool m_cancelled = false;
    std::unique_ptr<QProgressDialog> m_dialog;
};
