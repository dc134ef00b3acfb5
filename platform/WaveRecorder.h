// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAudioDevice>
#include <QBuffer>
#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QString>

class QAudioSource;

/// The errors the recorder reports (16-bit, as the old recording device's
/// error codes were); 0 is success.
namespace WaveRecorderErrors {
constexpr int NoInputDevice = 601;
constexpr int DeviceBusy = 602;
constexpr int ServerNotRunning = 603;
constexpr int WriteFailed = 604;
constexpr int DeviceNotOpen = 605;
constexpr int UnsupportedFormat = 606;
constexpr int InputFailed = 607;

/// The text of a code, for the user; empty for a code that is not ours.
QString text(int code);
} // namespace WaveRecorderErrors

/// A wave recording made from the default sound input: opened, given its
/// format, started, stopped, saved as a RIFF PCM wave file and closed, one
/// step at a time like the old recording device. The samples are kept in
/// memory until saved.
class WaveRecorder : public QObject
{
    Q_OBJECT

public:
    /// The recording's format; the default is PCM, 8-bit mono, 11025 Hz.
    struct Format
    {
        quint16 formatTag = 1;
        quint16 channels = 1;
        quint16 bitsPerSample = 8;
        quint16 blockAlign = 1;
        quint32 samplesPerSec = 11025;
        quint32 avgBytesPerSec = 11025;
    };

    explicit WaveRecorder(QObject* parent = nullptr);
    ~WaveRecorder() override;

    /// Takes the default input for a new, empty recording.
    int open();
    /// Sets the sample layout: PCM, 1 or 2 channels, 8 or 16 bits.
    int setFormat(quint16 formatTag, quint16 channels, quint16 blockAlign, quint16 bitsPerSample);
    /// Sets the sample rate; the byte rate must match it.
    int setRate(quint32 samplesPerSec, quint32 avgBytesPerSec);
    /// Starts recording (a new recording replaces what was recorded).
    int record();
    /// Stops recording; what came in is kept.
    int stop();
    /// Writes the recording to a wave file, whole or not at all.
    int save(const QString& path);
    /// Stops any recording and gives the input back.
    int close();

    bool isOpen() const { return m_open; }
    bool isRecording() const { return !m_source.isNull(); }
    const Format& format() const { return m_format; }
    const QByteArray& samples() const { return m_samples; }

    /// A RIFF wave file of the format holding the samples.
    static QByteArray riff(const Format& format, const QByteArray& samples);

private:
    void sourceStateChanged();
    void release();

    Format m_format;
    QAudioDevice m_device;
    QPointer<QAudioSource> m_source;
    QByteArray m_samples;
    QBuffer m_buffer;
    QElapsedTimer m_started;
    bool m_open = false;
    bool m_failed = false;
};
