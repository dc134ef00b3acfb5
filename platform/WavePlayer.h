// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/VbError.h"

#include <QBuffer>
#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

class QAudioSink;

/// The errors the wave player reports.
namespace WaveErrors {
constexpr int FileNotFound = 53;    ///< "File not found" (also: not readable)
constexpr int InvalidFormat = 321;  ///< "Invalid file format": not an 8/16-bit PCM wave
constexpr int NoOutput = 30001;     ///< "No sound output device"
constexpr int OutputFailed = 30002; ///< "The sound output could not be started"

VbError make(int number);
} // namespace WaveErrors

/// The samples of a RIFF PCM wave file: unsigned 8-bit or signed 16-bit
/// little-endian, one or two channels, interleaved.
struct WaveClip
{
    int sampleRate = 0;
    int channels = 0;
    int bitsPerSample = 0;
    QByteArray samples;

    int bytesPerFrame() const { return channels * bitsPerSample / 8; }
    qint64 frames() const;
    qint64 durationMs() const;
};

/// Plays wave sounds on the default sound output, one at a time, in the
/// background. The decoded samples go to a QAudioSink, and the sink is
/// closed only after the output has had time to play the clip's end: a
/// sink stopped as soon as its data is handed over drops the last part of
/// the sound that still sits in the output's buffer.
class WavePlayer : public QObject
{
    Q_OBJECT

public:
    explicit WavePlayer(QObject* parent = nullptr);
    ~WavePlayer() override;

    /// Decodes a wave file's bytes; false with InvalidFormat for anything
    /// but PCM of 8 or 16 bits in one or two channels.
    static bool parse(const QByteArray& bytes, WaveClip* clip, VbError* error = nullptr);
    /// Reads and decodes a wave file; FileNotFound when it cannot be read.
    static bool read(const QString& path, WaveClip* clip, VbError* error = nullptr);

    /// Starts the file's sound, cutting the one playing. A file that cannot
    /// be read or decoded leaves the playing sound alone.
    bool play(const QString& path, VbError* error = nullptr);
    /// Starts the clip, cutting the one playing.
    bool play(const WaveClip& clip, VbError* error = nullptr);
    /// Cuts the playing sound.
    void stop();
    /// A sound is playing (or its end is still in the output's buffer).
    bool isPlaying() const { return !m_sink.isNull(); }

Q_SIGNALS:
    /// The sound has played to its end (not sent when it was cut).
    void finished();

private:
    void sinkStateChanged();
    void release();

    QPointer<QAudioSink> m_sink;
    QByteArray m_data;
    QBuffer m_buffer;
    QTimer m_tail;
};
