// SPDX-License-Identifier: GPL-3.0-or-later
#include "SoundServer.h"

#include <QElapsedTimer>
#include <QRegularExpression>
#include <QTest>

#include <cmath>
#include <numbers>

namespace SoundServer {

QByteArray pactl(const QStringList& arguments)
{
    QProcess process;
    process.start(QStringLiteral("pactl"), arguments);
    if (!process.waitForFinished(5000) || process.exitCode() != 0)
        return QByteArray();
    const QByteArray output = process.readAllStandardOutput();
    return output.isNull() ? QByteArray("") : output;
}

QList<int> sinkVolume(const QString& sink)
{
    // "Volume: front-left: 4095 /   6% / -72.25 dB,   front-right: ..."
    const QString text = QString::fromLatin1(pactl({QStringLiteral("get-sink-volume"), sink}));
    static const QRegularExpression channel(QStringLiteral("[\\w-]+: (\\d+) /"));
    QList<int> volumes;
    for (const QRegularExpressionMatch& match : channel.globalMatch(text))
        volumes.append(match.captured(1).toInt());
    return volumes;
}

double toneShare(const QByteArray& samples, int sampleRate, double frequency)
{
    // One bin of a discrete Fourier transform against the whole energy.
    const double step = 2 * std::numbers::pi * frequency / sampleRate;
    double re = 0, im = 0, energy = 0;
    for (qsizetype i = 0; i < samples.size(); ++i) {
        const double x = double(quint8(samples.at(i))) - 128.0;
        re += x * std::cos(step * double(i));
        im += x * std::sin(step * double(i));
        energy += x * x;
    }
    if (energy <= 0)
        return 0;
    return 2 * (re * re + im * im) / (double(samples.size()) * energy);
}

QByteArray loudPart(const QByteArray& samples, int level)
{
    const auto loud = [level](char s) { return std::abs(int(quint8(s)) - 128) > level; };
    qsizetype first = 0;
    while (first < samples.size() && !loud(samples.at(first)))
        ++first;
    qsizetype last = samples.size() - 1;
    while (last > first && !loud(samples.at(last)))
        --last;
    return first < samples.size() ? samples.mid(first, last - first + 1) : QByteArray();
}

MonitorCapture::~MonitorCapture()
{
    if (m_parec.state() != QProcess::NotRunning) {
        m_parec.kill();
        m_parec.waitForFinished(2000);
    }
}

bool MonitorCapture::start()
{
    m_parec.start(QStringLiteral("parec"),
                  {QStringLiteral("-d"), QStringLiteral("null.monitor"), QStringLiteral("--raw"),
                   QStringLiteral("--format=") + m_format, QStringLiteral("--rate=%1").arg(m_rate),
                   QStringLiteral("--channels=1"), QStringLiteral("--latency-msec=10")});
    if (!m_parec.waitForStarted(5000))
        return false;
    QElapsedTimer clock;
    clock.start();
    while (m_parec.bytesAvailable() < m_rate / 10 && clock.elapsed() < 5000)
        QTest::qWait(10);
    m_parec.readAll();
    return clock.elapsed() < 5000;
}

QByteArray MonitorCapture::record(int milliseconds)
{
    QTest::qWait(milliseconds);
    QByteArray bytes = m_parec.readAll();
    m_parec.terminate();
    m_parec.waitForFinished(2000);
    return bytes + m_parec.readAll();
}

} // namespace SoundServer
