// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QElapsedTimer>
#include <QtGlobal>

#include <functional>

/// What one measured phase reports.
struct Result
{
    double ms = 0;       ///< time of the measured work only
    double maxRssMb = 0; ///< the child's peak resident memory
    qint64 check = 0;    ///< a count the phase found, to catch a broken run
};

/// Runs one phase in a child process: the child times its work and sends
/// the figures back through a pipe; its peak memory comes from wait4, so
/// each phase is measured in a fresh process.
Result runInChild(const std::function<Result()>& phase);

/// How many times each phase runs.
constexpr int PhaseRuns = 5;

/// The median time and peak memory of the phase over several runs.
Result median(const std::function<Result()>& phase, int runs = PhaseRuns);

double msSince(const QElapsedTimer& timer);
