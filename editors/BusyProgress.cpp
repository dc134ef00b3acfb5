// SPDX-License-Identifier: GPL-3.0-or-later
#include "editors/BusyProgress.h"

#include <QApplication>
#include <QProgressDialog>

namespace {

constexpr qint64 DialogAfterMs = 500;
// Events are pumped this often, so the window repaints and Cancel works
// without slowing the work itself.
constexpr qint64 PumpEveryMs = 50;

} // namespace

BusyProgress::BusyProgress(QWidget* window, const QString& label, qint64 total)
    : m_window(window), m_label(label), m_total(total)
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    m_clock.start();
}

BusyProgress::~BusyProgress()
{
    m_dialog.reset();
    QApplication::restoreOverrideCursor();
}

bool BusyProgress::step(qint64 done)
{
    if (m_cancelled)
        return false;
    const qint64 elapsed = m_clock.elapsed();
    if (elapsed - m_lastPump < PumpEveryMs)
        return true;
    m_lastPump = elapsed;
    if (!m_dialog && elapsed >= DialogAfterMs) {
        m_dialog = std::make_unique<QProgressDialog>(m_label, QStringLiteral("Cancel"), 0,
                                                     int(qMin<qint64>(m_total, INT_MAX)), m_window);
        m_dialog->setObjectName(QStringLiteral("dlgProgress"));
        m_dialog->setWindowTitle(m_window ? m_window->windowTitle() : QString());
        m_dialog->setWindowModality(Qt::WindowModal);
        m_dialog->setMinimumDuration(0);
        m_dialog->show();
    }
    if (m_dialog) {
        if (m_total > 0)
            m_dialog->setValue(int(qMin(done, m_total)));
        else
            m_dialog->setLabelText(m_label + QStringLiteral(" (") + QString::number(done) +
                                   QStringLiteral(")"));
        if (m_dialog->wasCanceled())
            m_cancelled = true;
    }
    // Before the dialog is up, clicks wait: the window must not start a
    // second piece of work inside this one.
    QApplication::processEvents(m_dialog ? QEventLoop::AllEvents
                                         : QEventLoop::ExcludeUserInputEvents);
    if (m_dialog && m_dialog->wasCanceled())
        m_cancelled = true;
    return !m_cancelled;
}
