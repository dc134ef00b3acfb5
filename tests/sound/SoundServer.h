// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QList>
#include <QProcess>
#include <QString>
#include <QStringList>

/// The test sound server's own tools: pactl for the sink's volume, paplay
/// to feed a sound into the null sink, parec to hear what it plays.
namespace SoundServer {

/// Runs pactl; its output, or a null array when it failed.
QByteArray pactl(const QStringList& arguments);
/// A sink's raw channel volumes in its channel order (PA_VOLUME_NORM =
/// 65536); empty when it could not be read.
QList<int> sinkVolume(const QString& sink = QStringLiteral("null"));

/// The share of a tone's frequency in unsigned 8-bit samples, 0..1
/// (1 for a pure tone of whole periods).
double toneShare(const QByteArray& samples, int sampleRate, double frequency);
/// The samples between the first and last louder than the level.
QByteArray loudPart(const QByteArray& samples, int level);

/// Records the null sink's monitor as mono samples: unsigned 8-bit, or
/// signed 16-bit little-endian ("s16le").
class MonitorCapture
{
public:
    explicit MonitorCapture(int sampleRate, const char* format = "u8")
        : m_rate(sampleRate), m_format(QString::fromLatin1(format))
    {
    }
    ~MonitorCapture();
    /// Starts and waits, at most 5 s, until samples flow.
    bool start();
    /// Records for the time given (events keep running) and stops.
    QByteArray record(int milliseconds);

private:
    int m_rate;
    QString m_format;
    QProcess m_parec;
};

} // namespace SoundServer
