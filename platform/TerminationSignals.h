// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

class QSocketNotifier;

/// Turns the signals that ask a program to end (SIGTERM, SIGINT, SIGHUP)
/// into a Qt signal on the user-interface thread. The handler only writes
/// the signal's number into a pipe; a socket notifier reads it. One
/// instance at a time; the default handlers come back when it goes.
class TerminationSignals : public QObject
{
    Q_OBJECT

public:
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;

    /// False when the pipe or a handler could not be set up.
    bool isActive() const { return m_notifier != nullptr; }

Q_SIGNALS:
    /// One of the signals arrived (its number).
    void received(int signalNumber);

private:
    void readPipe();

    QSocketNotifier* m_notifier = nullptr;
};
