// SPDX-License-Identifier: GPL-3.0-or-later
#include "LogCapture.h"
#include "WaveBuilder.h"

#include "platform/ScriptedPrompts.h"
#include "sound/modPlayWave.h"
#include "startup/modMain.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <algorithm>
#include <cstdlib>
#include <memory>

namespace {

constexpr int Rate = 44100;
// A tone of whole periods, so the clip starts and ends at a zero crossing.
constexpr double Frequency = 441.0;
// Samples above this are sound; the null sink gives exact zeros otherwise.
constexpr int Heard = 1000;
// The monitor misses the first few ms of a new stream (measured 3 to 10 ms);
// the end comes through sample for sample.
constexpr double MonitorMissesAtStartMs = 12.0;

/// What the null sink plays, recorded from its monitor at the clip's format.
class MonitorCapture
{
public:
    ~MonitorCapture()
    {
        if (m_parec.state() != QProcess::NotRunning) {
            m_parec.kill();
            m_parec.waitForFinished(2000);
        }
    }

    /// Starts recording and waits, at most 5 s, until samples flow.
    bool start()
    {
        m_parec.start(QStringLiteral("parec"),
                      {QStringLiteral("-d"), QStringLiteral("null.monitor"),
                       QStringLiteral("--raw"), QStringLiteral("--format=s16le"),
                       QStringLiteral("--rate=44100"), QStringLiteral("--channels=1"),
                       QStringLiteral("--latency-msec=10")});
        if (!m_parec.waitForStarted(5000))
            return false;
        QElapsedTimer clock;
        clock.start();
        while (m_parec.bytesAvailable() < Rate / 10 && clock.elapsed() < 5000)
            QTest::qWait(10);
        m_parec.readAll();
        return clock.elapsed() < 5000;
    }

    /// Records for the time given (events keep running) and stops.
    QList<qint16> record(int milliseconds)
    {
        QTest::qWait(milliseconds);
        QByteArray bytes = m_parec.readAll();
        m_parec.terminate();
        m_parec.waitForFinished(2000);
        bytes += m_parec.readAll();
        QList<qint16> samples(bytes.size() / 2);
        for (qsizetype i = 0; i < samples.size(); ++i)
            samples[i] = qFromLittleEndian<qint16>(bytes.constData() + 2 * i);
        return samples;
    }

private:
    QProcess m_parec;
};

/// The first and last sample louder than the level, or -1, -1.
std::pair<qsizetype, qsizetype> span(const QList<qint16>& samples, int level)
{
    const auto loud = [level](qint16 s) { return std::abs(int(s)) > level; };
    const auto first = std::find_if(samples.cbegin(), samples.cend(), loud);
    if (first == samples.cend())
        return {-1, -1};
    const auto last = std::find_if(samples.crbegin(), samples.crend(), loud);
    return {first - samples.cbegin(), samples.crend() - last - 1};
}

double milliseconds(qsizetype frames)
{
    return double(frames) * 1000.0 / Rate;
}

/// Whether the count samples up to lastHeard are the clip's last ones.
bool endsWithClip(const QList<qint16>& samples, qsizetype lastHeard, const QByteArray& clip,
                  qsizetype count)
{
    const qsizetype frames = clip.size() / 2;
    if (count > frames || count > lastHeard + 1)
        return false;
    for (qsizetype j = 0; j < count; ++j) {
        const qint16 expected = qFromLittleEndian<qint16>(clip.constData() + 2 * (frames - 1 - j));
        if (std::abs(int(samples.at(lastHeard - j)) - int(expected)) > 1)
            return false;
    }
    return true;
}

} // namespace

// Slide sounds through the real sound output: a PulseAudio daemon with a
// null sink, listened to on its monitor.
class tst_modPlayWave : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void toneIsHeardForItsWholeLength();
    void secondSoundCutsTheFirst();
    void missingOrBrokenFileSaysNothing();

private:
    QString writeTone(const QString& name, int ms, int amplitude, QByteArray* samples = nullptr);

    std::unique_ptr<QTemporaryDir> m_folder;
    std::unique_ptr<QTemporaryDir> m_logFolder;
};

void tst_modPlayWave::initTestCase()
{
    QProcess info;
    info.start(QStringLiteral("pactl"), {QStringLiteral("info")});
    QVERIFY2(info.waitForFinished(5000) && info.exitCode() == 0,
             "no PulseAudio server: run through scripts/run-tests.sh "
             "(or source scripts/test-env.sh)");
}

void tst_modPlayWave::init()
{
    m_folder = std::make_unique<QTemporaryDir>();
    m_logFolder = std::make_unique<QTemporaryDir>();
    modMain::ResetProgramState();
    modMain::SetProgramFolder(m_folder->path());
}

void tst_modPlayWave::cleanup()
{
    // Let the last sound end before the next test listens.
    QTest::qWait(300);
    modMain::ResetProgramState();
    m_folder.reset();
    m_logFolder.reset();
}

QString tst_modPlayWave::writeTone(const QString& name, int ms, int amplitude, QByteArray* samples)
{
    const QString path = m_folder->filePath(name);
    const QByteArray tone = WaveBuilder::tone16(Rate, ms, Frequency, amplitude);
    if (samples)
        *samples = tone;
    if (!WaveBuilder::write(path, WaveBuilder::riff(1, 1, Rate, 16, tone)))
        qWarning("cannot write %s", qPrintable(path));
    return path;
}

void tst_modPlayWave::toneIsHeardForItsWholeLength()
{
    // The last part of a clip is what a sink closed too early drops.
    QByteArray tone;
    const QString path = writeTone(QStringLiteral("tone.wav"), 500, 16000, &tone);
    MonitorCapture capture;
    QVERIFY(capture.start());
    QElapsedTimer call;
    call.start();
    modPlayWave::PlayWaveFile(path);
    QVERIFY2(call.elapsed() < 200, "must return while the sound plays");
    const QList<qint16> samples = capture.record(1200);

    const auto [first, last] = span(samples, Heard);
    QVERIFY2(first >= 0, "nothing was heard");
    const double heard = milliseconds(last - first + 1);
    qInfo("heard %.1f ms of a 500 ms tone", heard);
    QVERIFY2(heard <= 500.0 && heard >= 500.0 - MonitorMissesAtStartMs,
             qPrintable(QString::number(heard)));
    QVERIFY2(endsWithClip(samples, last, tone, last - first + 1),
             "what was heard is not the clip's end, sample for sample");
}

void tst_modPlayWave::secondSoundCutsTheFirst()
{
    // A long quiet tone, cut after a while by a short loud one.
    const QString quiet = writeTone(QStringLiteral("quiet.wav"), 1000, 6000);
    QByteArray loudTone;
    const QString loud = writeTone(QStringLiteral("loud.wav"), 300, 24000, &loudTone);
    MonitorCapture capture;
    QVERIFY(capture.start());
    modPlayWave::PlayWaveFile(quiet);
    QTest::qWait(300);
    // A bare name comes from the program folder.
    modPlayWave::PlayWaveFile(QFileInfo(loud).fileName());
    const QList<qint16> samples = capture.record(1500);

    const auto [firstHeard, lastHeard] = span(samples, Heard);
    const auto [firstLoud, lastLoud] = span(samples, 12000);
    QVERIFY2(firstHeard >= 0 && firstLoud >= 0, "the sounds were not heard");
    const double loudHeard = milliseconds(lastLoud - firstLoud + 1);
    QVERIFY2(loudHeard <= 300.0 && loudHeard >= 300.0 - MonitorMissesAtStartMs,
             qPrintable(QString::number(loudHeard)));
    // They may overlap by a few samples; then the second plays alone to its end.
    QVERIFY(endsWithClip(samples, lastLoud, loudTone, (lastLoud - firstLoud) * 9 / 10));
    QVERIFY2(lastHeard - lastLoud < Rate / 1000, "the first sound went on after the second");
    // The first was heard only until the second began.
    const double quietHeard = milliseconds(firstLoud - firstHeard);
    QVERIFY2(quietHeard > 150.0 && quietHeard < 700.0, qPrintable(QString::number(quietHeard)));
}

void tst_modPlayWave::missingOrBrokenFileSaysNothing()
{
    const QString broken = m_folder->filePath(QStringLiteral("broken.wav"));
    QVERIFY(WaveBuilder::write(broken, "This is no sound."));
    ScriptedPrompts prompts;
    LogCapture log(m_logFolder->path(), true, true);
    modPlayWave::PlayWaveFile(QStringLiteral("nothere.wav"));
    modPlayWave::PlayWaveFile(broken);
    modPlayWave::PlayWaveFile(QString());
    QVERIFY(prompts.shown().isEmpty());
    QCOMPARE(log.messages(), QStringList());
}

QTEST_GUILESS_MAIN(tst_modPlayWave)
#include "tst_modPlayWave.moc"
