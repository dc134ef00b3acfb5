// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Wave files built byte by byte, and the test sound server's own tools: pactl
// for the sink's volume, parec to hear what the null sink plays.

#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>
#include <QtEndian>

#include <cmath>
#include <functional>
#include <numbers>

namespace SoundKit {

inline void append(QByteArray& bytes, quint32 value, int size)
{
    char buffer[4];
    qToLittleEndian(value, buffer);
    bytes.append(buffer, size);
}

/// A sine tone as signed 16-bit mono samples.
inline QByteArray tone16(int sampleRate, int milliseconds, double frequency, int amplitude)
{
    QByteArray samples;
    for (qint64 i = 0; i < qint64(sampleRate) * milliseconds / 1000; ++i) {
        const double phase = 2 * std::numbers::pi * frequency * double(i) / sampleRate;
        append(samples, quint16(qint16(std::lround(amplitude * std::sin(phase)))), 2);
    }
    return samples;
}

/// A chunk: its id, its length and the body, padded to even length.
inline QByteArray chunk(const char id[4], const QByteArray& body)
{
    QByteArray bytes(id, 4);
    append(bytes, quint32(body.size()), 4);
    return bytes + body + (body.size() & 1 ? QByteArray(1, '\0') : QByteArray());
}

/// A RIFF file: "fmt " with these fields, any extra chunks, then "data".
inline QByteArray riff(quint16 formatTag, int channels, int rate, int bits,
                       const QByteArray& samples, const QByteArray& extraChunks = QByteArray())
{
    QByteArray format;
    for (const auto& [value, size] : {std::pair{quint32(formatTag), 2},
                                      {quint32(channels), 2},
                                      {quint32(rate), 4},
                                      {quint32(rate * channels * bits / 8), 4},
                                      {quint32(channels * bits / 8), 2},
                                      {quint32(bits), 2}})
        append(format, value, size);
    return chunk("RIFF", "WAVE" + chunk("fmt ", format) + extraChunks + chunk("data", samples));
}

/// Runs pactl; its output, or a null array when it failed.
inline QByteArray pactl(const QStringList& arguments)
{
    QProcess process;
    process.start(QStringLiteral("pactl"), arguments);
    if (!process.waitForFinished(5000) || process.exitCode() != 0)
        return QByteArray();
    const QByteArray output = process.readAllStandardOutput();
    return output.isNull() ? QByteArray("") : output;
}

/// A sink's raw channel volumes (normal = 65536); empty when unreadable.
inline QList<int> sinkVolume(const QString& sink = QStringLiteral("null"))
{
    static const QRegularExpression channel(QStringLiteral("[\\w-]+: (\\d+) /"));
    QList<int> volumes;
    for (const auto& match : channel.globalMatch(pactl({QStringLiteral("get-sink-volume"), sink})))
        volumes.append(match.captured(1).toInt());
    return volumes;
}

/// The share of a tone's frequency in unsigned 8-bit samples, 0..1 (one DFT bin).
inline double toneShare(const QByteArray& samples, int sampleRate, double frequency)
{
    const double step = 2 * std::numbers::pi * frequency / sampleRate;
    double re = 0, im = 0, energy = 0;
    for (qsizetype i = 0; i < samples.size(); ++i) {
        const double x = double(quint8(samples.at(i))) - 128.0;
        re += x * std::cos(step * double(i));
        im += x * std::sin(step * double(i));
        energy += x * x;
    }
    return energy <= 0 ? 0 : 2 * (re * re + im * im) / (double(samples.size()) * energy);
}

/// The unsigned 8-bit samples between the first and last louder than the level.
inline QByteArray loudPart(const QByteArray& samples, int level)
{
    const auto loud = [level](char s) { return std::abs(int(quint8(s)) - 128) > level; };
    qsizetype first = 0, last = samples.size() - 1;
    while (first < samples.size() && !loud(samples.at(first)))
        ++first;
    while (last > first && !loud(samples.at(last)))
        --last;
    return first < samples.size() ? samples.mid(first, last - first + 1) : QByteArray();
}

/// What the null sink played while `play` ran and `milliseconds` after, as mono samples
/// ("u8" or "s16le"); empty when the monitor gave nothing within 5 s.
inline QByteArray hear(int rate, const char* format, int milliseconds,
                       const std::function<void()>& play)
{
    QProcess parec;
    parec.start(QStringLiteral("parec"),
                {QStringLiteral("-d"), QStringLiteral("null.monitor"), QStringLiteral("--raw"),
                 QStringLiteral("--format=") + QLatin1String(format),
                 QStringLiteral("--rate=%1").arg(rate), QStringLiteral("--channels=1"),
                 QStringLiteral("--latency-msec=10")});
    QElapsedTimer clock;
    clock.start();
    while (parec.waitForStarted(5000) && parec.bytesAvailable() < rate / 10 &&
           clock.elapsed() < 5000)
        QTest::qWait(10);
    if (parec.readAll().isEmpty())
        return QByteArray();
    play();
    QTest::qWait(milliseconds);
    QByteArray bytes = parec.readAll();
    parec.terminate();
    parec.waitForFinished(2000);
    return bytes + parec.readAll();
}

} // namespace SoundKit
