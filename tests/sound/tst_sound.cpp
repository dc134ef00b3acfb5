// SPDX-License-Identifier: GPL-3.0-or-later
#include "LogCapture.h"
#include "TestFiles.h"
#include "UnwritableFile.h"
#include "WidgetKit.h"

#include "platform/ScriptedCommonDialog.h"
#include "platform/ScriptedPrompts.h"
#include "platform/WavePlayer.h"
#include "sound/frmPlayRec.h"
#include "sound/modPlayWave.h"
#include "sound/modVolume.h"
#include "startup/modMain.h"

#include <QAbstractButton>
#include <QAction>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <cmath>
#include <functional>
#include <memory>
#include <numbers>

namespace {

// Wave files built byte by byte, and the test sound server's own tools: pactl for the
// sink's volume, parec to hear what the null sink plays.

void append(QByteArray& bytes, quint32 value, int size)
{
    char buffer[4];
    qToLittleEndian(value, buffer);
    bytes.append(buffer, size);
}

/// A sine tone as signed 16-bit mono samples.
QByteArray tone16(int sampleRate, int milliseconds, double frequency, int amplitude)
{
    QByteArray samples;
    for (qint64 i = 0; i < qint64(sampleRate) * milliseconds / 1000; ++i) {
        const double phase = 2 * std::numbers::pi * frequency * double(i) / sampleRate;
        append(samples, quint16(qint16(std::lround(amplitude * std::sin(phase)))), 2);
    }
    return samples;
}

/// A chunk: its id, its length and the body, padded to even length.
QByteArray chunk(const char id[4], const QByteArray& body)
{
    QByteArray bytes(id, 4);
    append(bytes, quint32(body.size()), 4);
    return bytes + body + (body.size() & 1 ? QByteArray(1, '\0') : QByteArray());
}

/// A RIFF file: "fmt " with these fields, any extra chunks, then "data".
QByteArray riff(quint16 formatTag, int channels, int rate, int bits, const QByteArray& samples,
                const QByteArray& extraChunks = QByteArray())
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
QByteArray pactl(const QStringList& arguments)
{
    QProcess process;
    process.start("pactl", arguments);
    if (!process.waitForFinished(5000) || process.exitCode() != 0)
        return QByteArray();
    const QByteArray output = process.readAllStandardOutput();
    return output.isNull() ? QByteArray("") : output;
}

/// A sink's raw channel volumes (normal = 65536); empty when unreadable.
QList<int> sinkVolume(const QString& sink = QStringLiteral("null"))
{
    static const QRegularExpression channel(QStringLiteral("[\\w-]+: (\\d+) /"));
    QList<int> volumes;
    for (const auto& match : channel.globalMatch(pactl({"get-sink-volume", sink})))
        volumes.append(match.captured(1).toInt());
    return volumes;
}

/// What the null sink played while `play` ran and `milliseconds` after, as mono samples
/// ("u8" or "s16le"); empty when the monitor gave nothing within 5 s.
QByteArray hear(int rate, const char* format, int milliseconds, const std::function<void()>& play)
{
    QProcess parec;
    parec.start("parec",
                {"-d", "null.monitor", "--raw", QStringLiteral("--format=") + format,
                 QStringLiteral("--rate=%1").arg(rate), "--channels=1", "--latency-msec=10"});
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

constexpr int Rate = 11025;
constexpr double Tone = 440.0;
// Slide sounds: a tone of whole periods, so the clip starts and ends at a zero crossing.
constexpr int SlideRate = 44100;
constexpr double SlideTone = 441.0;
// The monitor misses the first few ms of a new stream (measured 3 to 10 ms); the end comes
// through sample for sample.
constexpr double MonitorMissesAtStartMs = 12.0;

/// Sample i of mono samples (8 bits: unsigned, 16 bits: signed little-endian), centred on 0.
int sampleAt(const QByteArray& samples, qsizetype i, int bits)
{
    return bits == 8 ? int(quint8(samples.at(i))) - 128
                     : qFromLittleEndian<qint16>(samples.constData() + 2 * i);
}

/// The first and last sample louder than the level, or -1, -1.
std::pair<qsizetype, qsizetype> span(const QByteArray& samples, int level, int bits = 16)
{
    qsizetype first = -1, last = -1;
    for (qsizetype i = 0; i < samples.size() * 8 / bits; ++i) {
        if (std::abs(sampleAt(samples, i, bits)) > level) {
            first = first < 0 ? i : first;
            last = i;
        }
    }
    return {first, last};
}

/// How many 8-bit samples lie between the first and last louder than 16, and the share of
/// the tone's frequency in them, 0..1 (one DFT bin).
std::pair<qsizetype, double> toneIn(const QByteArray& samples, int rate, double frequency)
{
    const auto [first, last] = span(samples, 16, 8);
    const double step = 2 * std::numbers::pi * frequency / rate;
    double re = 0, im = 0, energy = 0;
    for (qsizetype i = first; first >= 0 && i <= last; ++i) {
        const double x = sampleAt(samples, i, 8);
        re += x * std::cos(step * double(i));
        im += x * std::sin(step * double(i));
        energy += x * x;
    }
    const qsizetype count = first < 0 ? 0 : last - first + 1;
    return {count, energy <= 0 ? 0 : 2 * (re * re + im * im) / (double(count) * energy)};
}

/// Whether the count samples up to lastHeard are the clip's last ones.
bool endsWithClip(const QByteArray& samples, qsizetype lastHeard, const QByteArray& clip,
                  qsizetype count)
{
    const qsizetype frames = clip.size() / 2;
    if (count > frames || count > lastHeard + 1)
        return false;
    for (qsizetype j = 0; j < count; ++j) {
        if (std::abs(sampleAt(samples, lastHeard - j, 16) - sampleAt(clip, frames - 1 - j, 16)) > 1)
            return false;
    }
    return true;
}

} // namespace

// Wave files decoded, slide sounds and the sound dialog on the real sound server: a PulseAudio
// daemon whose null sink's monitor is the default input ("mic").
class tst_sound : public QObject
{
    Q_OBJECT

    QList<int> m_saved;
    /// ctest also runs some tests alone against a server that is not there.
    const bool m_noServer = qEnvironmentVariable("PULSE_SERVER").contains(u"/nonexistent/");
    std::unique_ptr<QTemporaryDir> m_folder;
    std::unique_ptr<ScriptedPrompts> m_prompts;
    std::unique_ptr<ScriptedCommonDialog> m_files;
    std::unique_ptr<frmPlayRec> m_dialog;

    void openDialog()
    {
        m_dialog = std::make_unique<frmPlayRec>();
        m_dialog->setSlideEditorMode();
        m_dialog->show();
    }
    template <typename T = QPushButton> T* control(const char* name)
    {
        return m_dialog->findChild<T*>(QLatin1String(name));
    }
    void click(const char* name) { control(name)->click(); }
    /// Whether the dialog records, and which of Start and Stop are enabled.
    QList<bool> recorder()
    {
        return {m_dialog->isRecording(), control("cmdAutoRecStart")->isEnabled(),
                control("cmdAutoRecStop")->isEnabled()};
    }
    QString writeTone(const char* name, int ms, int amplitude, QByteArray* samples = nullptr)
    {
        const QString path = m_folder->filePath(QLatin1String(name));
        const QByteArray tone = tone16(SlideRate, ms, SlideTone, amplitude);
        if (samples)
            *samples = tone;
        writeFile(path, riff(1, 1, SlideRate, 16, tone));
        return path;
    }

private Q_SLOTS:
    void initTestCase()
    {
        if (m_noServer)
            return;
        QVERIFY2(!pactl({"info"}).isNull(), "no PulseAudio server: source scripts/test-env.sh");
        m_saved = sinkVolume();
        QCOMPARE(m_saved.size(), 2);
    }
    void cleanupTestCase()
    {
        if (m_noServer)
            return;
        // The sink is shared with the other sound tests.
        pactl(
            {"set-sink-volume", "null", QString::number(m_saved[0]), QString::number(m_saved[1])});
    }
    void init()
    {
        m_folder = std::make_unique<QTemporaryDir>();
        modMain::ResetProgramState();
        modMain::SetProgramFolder(m_folder->path());
        m_prompts = std::make_unique<ScriptedPrompts>();
        m_files = std::make_unique<ScriptedCommonDialog>();
        // Full volume, so what is fed in is recorded as loud as it was.
        QVERIFY(m_noServer || !pactl({"set-sink-volume", "null", "100%"}).isNull());
    }
    void cleanup()
    {
        m_dialog.reset();
        m_files.reset();
        m_prompts.reset();
        modMain::ResetProgramState();
        m_folder.reset();
    }
    void parse_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QList<int>>("format"); // rate, channels, bits; none: rejected
        QTest::addColumn<QByteArray>("samples");
        const QByteArray eightBit("\x80\x90\x70\x80\xFF\x00", 6);
        const QByteArray pcm = tone16(44100, 20, 441, 9000).left(1760);
        const auto row = [](const char* name, const QByteArray& file, QList<int> format = {},
                            const QByteArray& samples = {}) {
            QTest::newRow(name) << file << format << samples;
        };
        row("recorder's 8-bit mono", riff(1, 1, 11025, 8, eightBit), {11025, 1, 8}, eightBit);
        row("16-bit stereo", riff(1, 2, 44100, 16, pcm), {44100, 2, 16}, pcm);
        row("odd chunk before the data", riff(1, 1, 8000, 16, pcm, chunk("LIST", "abc")),
            {8000, 1, 16}, pcm);
        // The extensible header with the PCM sub-format is plain PCM.
        const QByteArray format = riff(0xFFFE, 1, 22050, 16, pcm).mid(20, 16) +
                                  QByteArray("\x16\x00\x10\x00\x04\x00\x00\x00\x01\x00\x00\x00\x00"
                                             "\x00\x10\x00\x80\x00\x00\xAA\x00\x38\x9B\x71",
                                             24);
        row("extensible PCM", chunk("RIFF", "WAVE" + chunk("fmt ", format) + chunk("data", pcm)),
            {22050, 1, 16}, pcm);
        // A recording never finished declares more than it holds; a last half frame is dropped.
        QByteArray cut = riff(1, 1, 11025, 16, pcm);
        qToLittleEndian<quint32>(0xFFFFFFFF, cut.data() + 40);
        cut.chop(1);
        row("data cut short", cut, {11025, 1, 16}, pcm.chopped(2));

        const QByteArray silence(400, '\0');
        row("empty", QByteArray());
        row("RIFF but not WAVE", chunk("RIFF", "AVI " + silence));
        row("IEEE float", riff(3, 1, 44100, 32, silence));
        row("24-bit PCM", riff(1, 1, 44100, 24, silence));
        row("no channels", riff(1, 0, 44100, 16, silence));
        row("no data chunk", riff(1, 1, 44100, 16, silence).left(36));
        row("data before format", chunk("RIFF", "WAVE" + chunk("data", silence)));
    }
    void parse()
    {
        QFETCH(QByteArray, file);
        QFETCH(QList<int>, format);
        WaveClip clip;
        VbError error;
        QCOMPARE(WavePlayer::parse(file, &clip, &error), !format.isEmpty());
        if (format.isEmpty()) {
            QCOMPARE(std::pair(error.number, error.description),
                     std::pair(qint32(WaveErrors::InvalidFormat), QString("Invalid file format")));
            return;
        }
        QCOMPARE((QList<int>{clip.sampleRate, clip.channels, clip.bitsPerSample}), format);
        QTEST(clip.samples, "samples");
    }
    void unplayableSoundsSayNothing()
    {
        QTemporaryDir logFolder;
        LogCapture log(logFolder.path(), true, true);
        VbError error;
        QVERIFY(!WavePlayer::read(m_folder->path(), nullptr, &error));
        QCOMPARE(error.number, WaveErrors::FileNotFound);
        // Nothing readable: playing it fails the same way, before any output.
        WavePlayer player;
        error = {};
        QVERIFY(!player.play(m_folder->filePath(QStringLiteral("missing.wav")), &error));
        QCOMPARE(error.number, WaveErrors::FileNotFound);
        QVERIFY(!player.isPlaying());
        // A slide's sound that is missing or no sound is passed over without a word.
        const QString broken = m_folder->filePath(QStringLiteral("broken.wav"));
        writeFile(broken, "This is no sound.");
        for (const QString& name : {QStringLiteral("nothere.wav"), broken, QString()})
            modPlayWave::PlayWaveFile(name);
        QVERIFY(m_prompts->shown().isEmpty());
        QCOMPARE(log.messages(), QStringList());
    }
    void noServerSaysSoAndWritesNothing()
    {
        if (!m_noServer)
            QSKIP("ctest runs this alone, with no sound server");
        openDialog();
        QCOMPARE(m_prompts->shown().size(), 1);
        QCOMPARE(m_prompts->shown().first().title, QStringLiteral("Sound Access Error"));
        QVERIFY(m_prompts->texts().first().startsWith(
            QStringLiteral("Error setting volume in system\r\n Error code returned was ")));
        QCOMPARE(control<QLabel>("lbl_right_volume")->text(), QStringLiteral("0%"));
        click("cmdAutoRecStart");
        QCOMPARE(m_prompts->texts().last(),
                 QStringLiteral("MCI Error: The sound server is not running. Start it "
                                "(PulseAudio or PipeWire) and try again."));
        QCOMPARE(recorder(), QList<bool>({false, true, false}));
        // Moving a slider or pressing Stop and Play does no harm.
        control<QSlider>("sldLeft")->setValue(5);
        click("cmdAutoRecStop");
        click("cmdPlay");
        QCOMPARE(m_prompts->shown().size(), 2);
        QVERIFY(QDir(m_folder->path()).isEmpty());
    }
    void recordPlayAndSave()
    {
        // A recording that cannot be written says so and leaves the recorder idle; the user can
        // record again, and closing while recording closes the device.
        openDialog();
        writeFile(m_dialog->temporaryFile(), "previous");
        if (UnwritableFile guard(m_dialog->temporaryFile()); guard.holds()) {
            click("cmdAutoRecStart");
            QTest::qWait(200);
            click("cmdAutoRecStop");
            QVERIFY(m_prompts->texts().last().startsWith(
                QStringLiteral("MCI Error: The sound file could not be written.")));
            QCOMPARE(recorder(), QList<bool>({false, true, false}));
            click("cmdAutoRecStart");
            QVERIFY(m_dialog->isRecording());
            click("cmdCancel");
            QVERIFY(!m_dialog->isRecording());
            QCOMPARE(m_prompts->shown().size(), 1);
            m_prompts.reset();
            m_prompts = std::make_unique<ScriptedPrompts>();
        } else {
            qWarning("the file cannot be made read-only here: a failed recording is not tried");
        }

        // A tone played into the null sink reaches the default input.
        const QString tonePath = m_folder->filePath(QStringLiteral("feed.wav"));
        writeFile(tonePath, riff(1, 1, 44100, 16, tone16(44100, 3000, Tone, 16000)));
        QProcess feed;
        feed.start("paplay", {"-d", "null", tonePath});
        QVERIFY(feed.waitForStarted(5000));
        QTest::qWait(300);

        openDialog();
        click("cmdAutoRecStart");
        QCOMPARE(recorder(), QList<bool>({true, false, true}));
        QVERIFY(control<QLabel>("imgInService")->isVisible());
        QTest::qWait(1000);
        click("cmdAutoRecStop");
        feed.kill();
        feed.waitForFinished(2000);
        QVERIFY(m_dialog->hasRecording());
        QCOMPARE(recorder(), QList<bool>({false, true, false}));
        QVERIFY2(m_prompts->shown().isEmpty(), qPrintable(m_prompts->texts().join(" | ")));

        // The recording: 8-bit mono 11025 Hz PCM, about a second of the tone.
        const QByteArray recorded = fileBytes(m_dialog->temporaryFile());
        QCOMPARE(recorded.mid(20, 16), riff(1, 1, Rate, 8, {}).mid(20, 16));
        WaveClip clip;
        QVERIFY(WavePlayer::parse(recorded, &clip));
        const auto [loud, share] = toneIn(clip.samples, Rate, Tone);
        QVERIFY2(loud > Rate * 6 / 10 && clip.frames() < Rate * 15 / 10 && share > 0.8,
                 qPrintable(QStringLiteral("%1 samples, %2").arg(loud).arg(share)));

        // Play sends the recording to the output.
        const auto [heard, heardShare] =
            toneIn(hear(Rate, "u8", 1500, [this] { click("cmdPlay"); }), Rate, Tone);
        QVERIFY2(heard > Rate * 6 / 10 && heardShare > 0.8,
                 qPrintable(QStringLiteral("%1 samples, %2").arg(heard).arg(heardShare)));

        // OK with no name asks for one; cancelled, the dialog stays and keeps the recording.
        const QStringList before = QDir(m_folder->path()).entryList(QDir::Files);
        m_files->cancel();
        click("cmdOK");
        QCOMPARE(m_files->requests().size(), 1);
        QVERIFY(m_dialog->isVisible());
        QCOMPARE(QDir(m_folder->path()).entryList(QDir::Files), before);

        // A copy that fails (the recording has gone from under it) leaves the old target whole.
        const QString kept = m_folder->filePath(QStringLiteral("kept.wav"));
        writeFile(kept, "old sound");
        const QString aside = m_folder->filePath(QStringLiteral("aside"));
        QVERIFY(QFile::rename(m_dialog->temporaryFile(), aside));
        control<QLineEdit>("txtFileName")->setText(QStringLiteral("kept.wav"));
        click("cmdOK");
        QVERIFY(m_dialog->isVisible());
        QCOMPARE(
            m_prompts->texts().last(),
            QStringLiteral("ERROR Saving Sound file, error 53\r\nDescription: File not found"));
        QCOMPARE(fileBytes(kept), QByteArray("old sound"));
        QVERIFY(QFile::rename(aside, m_dialog->temporaryFile()));

        const QString target = m_folder->filePath(QStringLiteral("greeting.wav"));
        control<QLineEdit>("txtFileName")->setText(target);
        click("cmdOK");
        QCOMPARE(m_dialog->result(), int(QDialog::Accepted));
        QCOMPARE(m_dialog->fileName(), target);
        QCOMPARE(fileBytes(target), recorded);
    }
    void slidersSetTheOutputVolume()
    {
        // The server's own scale has its normal volume at 65536.
        const auto onServer = [](int slider) {
            return int((qint64(modVolume::SliderToVolume(slider)) * 65536 + 32767) / 65535);
        };
        for (const auto& [left, right, labels] :
             {std::tuple{1, 16, QStringList{"6%", "100%"}}, {0, 8, QStringList{"0%", "50%"}}}) {
            openDialog();
            control<QSlider>("sldRight")->setValue(right);
            control<QSlider>("sldLeft")->setValue(left);
            QCOMPARE((QStringList{control<QLabel>("lbl_left_volume")->text(),
                                  control<QLabel>("lbl_right_volume")->text()}),
                     labels);
            QCOMPARE(sinkVolume(), QList<int>({onServer(left), onServer(right)}));
            // A new dialog reads the volume back.
            openDialog();
            QCOMPARE((QList<int>{control<QSlider>("sldLeft")->value(),
                                 control<QSlider>("sldRight")->value()}),
                     QList<int>({left, right}));
        }

        // A mono output follows the left slider.
        const QByteArray module =
            pactl({"load-module", "module-null-sink", "sink_name=mono", "channels=1"}).trimmed();
        QVERIFY(!module.isEmpty());
        const auto restore = qScopeGuard([&module] {
            pactl({"set-default-sink", "null"});
            pactl({"unload-module", QString::fromLatin1(module)});
        });
        pactl({"set-sink-volume", "mono", "32768"});
        QVERIFY(!pactl({"set-default-sink", "mono"}).isNull());
        openDialog();
        QCOMPARE(control<QSlider>("sldRight")->value(), 8);
        control<QSlider>("sldLeft")->setValue(4);
        control<QSlider>("sldRight")->setValue(16);
        QCOMPARE(sinkVolume(QStringLiteral("mono")), QList<int>{16383});
        QVERIFY(m_prompts->shown().isEmpty());
    }
    void fileNames()
    {
        LogCapture log(m_folder->path(), true, false);
        openDialog();
        // Run adds only a missing extension; any letter case of .wav is one.
        for (const auto& [typed, played] : {std::pair{"hello", "hello.wav"},
                                            {"hello.WAV", "hello.WAV"},
                                            {"hello.wAv", "hello.wAv"},
                                            {"hello.wav.bak", "hello.wav.bak.wav"}}) {
            control<QLineEdit>("txtFileName")->setText(QLatin1String(typed));
            control<QAction>("tbrOpenRun")->trigger();
            QCOMPARE(m_dialog->fileName(), QLatin1String(played));
            QVERIFY(log.messages().contains(QStringLiteral("Playing wave file:") + played));
        }
        QCOMPARE(log.messages().count(QStringLiteral("File name OK")), 2);

        // A cancelled choice keeps the name.
        control<QLineEdit>("txtFileName")->setText(QStringLiteral("mine.wav"));
        m_files->cancel();
        control<QAction>("tbrOpenOpen")->trigger();
        QCOMPARE(m_dialog->fileName(), QStringLiteral("mine.wav"));
        QCOMPARE(m_files->requests().size(), 1);
        const CommonDialog::Request asked = m_files->requests().first();
        QCOMPARE((QStringList{asked.DialogTitle, asked.FileName, QDir::cleanPath(asked.InitDir)}),
                 (QStringList{"Open file...", "mine.wav", m_folder->filePath("data")}));
        QVERIFY(m_prompts->shown().isEmpty());

        // A chosen file that does not exist is only remarked on.
        const QString missing = m_folder->filePath(QStringLiteral("missing.wav"));
        m_files->chooseFile(missing);
        QCOMPARE(m_dialog->get_file_name(), missing);
        QCOMPARE(m_prompts->texts(), QStringList{QStringLiteral("File does not exist")});

        // Every visible control speaks its name.
        QCOMPARE(unnamedControls(*m_dialog), QStringList());
    }
    void slideSoundCutShortByTheNext()
    {
        // A long quiet tone, cut after a while by a short loud one heard whole: its last part
        // is what a sink closed too early drops.
        const QString quiet = writeTone("quiet.wav", 1000, 6000);
        QByteArray loudTone;
        const QString loud = writeTone("loud.wav", 300, 24000, &loudTone);
        const QByteArray samples = hear(SlideRate, "s16le", 1500, [&] {
            QElapsedTimer call;
            call.start();
            modPlayWave::PlayWaveFile(quiet);
            QVERIFY2(call.elapsed() < 200, "must return while the sound plays");
            QTest::qWait(300);
            // A bare name comes from the program folder.
            modPlayWave::PlayWaveFile(QFileInfo(loud).fileName());
        });
        // The null sink gives exact zeros where nothing plays.
        const auto [firstHeard, lastHeard] = span(samples, 1000);
        const auto [firstLoud, lastLoud] = span(samples, 12000);
        QVERIFY2(firstHeard >= 0 && firstLoud >= 0, "the sounds were not heard");
        const double loudHeard = (lastLoud - firstLoud + 1) * 1000.0 / SlideRate;
        QVERIFY2(loudHeard <= 300.0 && loudHeard >= 300.0 - MonitorMissesAtStartMs,
                 qPrintable(QString::number(loudHeard)));
        // They may overlap by a few samples; then the second plays alone to its end.
        QVERIFY2(endsWithClip(samples, lastLoud, loudTone, (lastLoud - firstLoud) * 9 / 10),
                 "what was heard is not the clip's end, sample for sample");
        QVERIFY2(lastHeard - lastLoud < SlideRate / 1000,
                 "the first sound went on after the second");
        // The first was heard only until the second began.
        const double quietHeard = (firstLoud - firstHeard) * 1000.0 / SlideRate;
        QVERIFY2(quietHeard > 150.0 && quietHeard < 700.0, qPrintable(QString::number(quietHeard)));
    }
};

QTEST_MAIN(tst_sound)
#include "tst_sound.moc"
