// SPDX-License-Identifier: GPL-3.0-or-later
#include "bench/PhaseRunner.h"

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

Result runInChild(const std::function<Result()>& phase)
{
    int channel[2];
    if (pipe(channel) != 0) {
        std::perror("pipe");
        std::exit(1);
    }
    std::fflush(stdout);
    const pid_t child = fork();
    if (child == 0) {
        close(channel[0]);
        const Result result = phase();
        const ssize_t written = write(channel[1], &result, sizeof result);
        _exit(written == ssize_t(sizeof result) ? 0 : 1);
    }
    close(channel[1]);
    Result result;
    const ssize_t got = read(channel[0], &result, sizeof result);
    close(channel[0]);
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    if (got != ssize_t(sizeof result) || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "a measured phase failed\n");
        std::exit(1);
    }
    result.maxRssMb = double(usage.ru_maxrss) / 1024.0;
    return result;
}

Result median(const std::function<Result()>& phase, int runs)
{
    std::vector<Result> results;
    for (int run = 0; run < runs; ++run)
        results.push_back(runInChild(phase));
    std::vector<double> times;
    std::vector<double> memory;
    for (const Result& r : results) {
        times.push_back(r.ms);
        memory.push_back(r.maxRssMb);
    }
    std::sort(times.begin(), times.end());
    std::sort(memory.begin(), memory.end());
    return {times[times.size() / 2], memory[memory.size() / 2], results.front().check};
}

double msSince(const QElapsedTimer& timer)
{
    return double(timer.nsecsElapsed()) / 1e6;
}
