// SPDX-License-Identifier: GPL-3.0-or-later
#include "LogCapture.h"
#include "SoundServer.h"
#include "TestFiles.h"
#include "UnwritableFile.h"
#include "WaveBuilder.h"

#include "platform/ScriptedCommonDialog.h"
#include "platform/ScriptedPrompts.h"
#include "platform/WavePlayer.h"
#include "sound/frmPlayRec.h"
#include "sound/modPlayWave.h"
#include "sound/modVolume.h"
#include "startup/modMain.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QAction>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QScopeGuard>
#include <QPushButton>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <algorithm>
#include <cstdlib>
#include <memory>

namespace {

constexpr int Rate = 11025;
constexpr double Tone = 440.0;
// Slide sounds: a tone of whole periods, so the clip starts and ends at a zero crossing.
constexpr int SlideRate = 44100;
constexpr double SlideTone = 441.0;
// Samples above this are sound; the null sink gives exact zeros otherwise.
constexpr int Heard = 1000;
// The monitor misses the first few ms of a new stream (measured 3 to 10 ms);
// the end comes through sample for sample.
constexpr double MonitorMissesAtStartMs = 12.0;

template <typename T> T* control(QWidget* window, const char* name)
{
    return window->findChild<T*>(QLatin1String(name));
}

QList<qint16> samples16(const QByteArray& bytes)
{
    QList<qint16> samples(bytes.size() / 2);
    for (qsizetype i = 0; i < samples.size(); ++i)
        samples[i] = qFromLittleEndian<qint16>(bytes.constData() + 2 * i);
    return samples;
}

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
    return double(frames) * 1000.0 / SlideRate;
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

// Slide sounds and the sound dialog on the real sound server: a PulseAudio daemon whose
// null sink's monitor is the default input ("mic").
class tst_sound : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();

    void recordPlayAndSave();
    void failedStopReturnsToIdle();
    void slidersSetTheOutputVolume_data();
    void slidersSetTheOutputVolume();
    void monoOutputFollowsTheLeftSlider();
    void runPlaysTheWaveName_data();
    void runPlaysTheWaveName();
    void cancelledFileChoiceKeepsTheName();
    void everyControlHasAName();

    void slideSoundCutShortByTheNext();
    void missingOrBrokenSlideSoundSaysNothing();

private:
    std::unique_ptr<frmPlayRec> openDialog();
    QString writeTone(const QString& name, int ms, int amplitude, QByteArray* samples = nullptr);
    void click(const char* name) { control<QPushButton>(m_dialog.get(), name)->click(); }

    int m_savedLeft = 65536;
    int m_savedRight = 65536;
    std::unique_ptr<QTemporaryDir> m_folder;
    std::unique_ptr<ScriptedPrompts> m_prompts;
    std::unique_ptr<ScriptedCommonDialog> m_files;
    std::unique_ptr<frmPlayRec> m_dialog;
};

void tst_sound::initTestCase()
{
    QVERIFY2(!SoundServer::pactl({QStringLiteral("info")}).isNull(),
             "no PulseAudio server: run through scripts/run-tests.sh "
             "(or source scripts/test-env.sh)");
    const QList<int> volume = SoundServer::sinkVolume();
    QCOMPARE(volume.size(), 2);
    m_savedLeft = volume.at(0);
    m_savedRight = volume.at(1);
}

void tst_sound::cleanupTestCase()
{
    // The sink is shared with the other sound tests.
    SoundServer::pactl({QStringLiteral("set-sink-volume"), QStringLiteral("null"),
                        QString::number(m_savedLeft), QString::number(m_savedRight)});
}

void tst_sound::init()
{
    m_folder = std::make_unique<QTemporaryDir>();
    modMain::ResetProgramState();
    modMain::SetProgramFolder(m_folder->path());
    m_prompts = std::make_unique<ScriptedPrompts>();
    m_files = std::make_unique<ScriptedCommonDialog>();
    // Full volume, so what is fed in is recorded as loud as it was.
    QVERIFY(!SoundServer::pactl({QStringLiteral("set-sink-volume"), QStringLiteral("null"),
                                 QStringLiteral("100%")})
                 .isNull());
}

void tst_sound::cleanup()
{
    m_dialog.reset();
    m_files.reset();
    m_prompts.reset();
    modMain::ResetProgramState();
    m_folder.reset();
}

std::unique_ptr<frmPlayRec> tst_sound::openDialog()
{
    auto dialog = std::make_unique<frmPlayRec>();
    dialog->setSlideEditorMode();
    dialog->show();
    return dialog;
}

void tst_sound::recordPlayAndSave()
{
    // A tone played into the null sink reaches the default input.
    const QString tonePath = m_folder->filePath(QStringLiteral("feed.wav"));
    writeFile(tonePath,
              WaveBuilder::riff(1, 1, 44100, 16, WaveBuilder::tone16(44100, 3000, Tone, 16000)));
    QProcess feed;
    feed.start(QStringLiteral("paplay"), {QStringLiteral("-d"), QStringLiteral("null"), tonePath});
    QVERIFY(feed.waitForStarted(5000));
    QTest::qWait(300);

    m_dialog = openDialog();
    click("cmdAutoRecStart");
    QVERIFY(m_dialog->isRecording());
    QVERIFY(control<QLabel>(m_dialog.get(), "imgInService")->isVisible());
    QVERIFY(!control<QPushButton>(m_dialog.get(), "cmdAutoRecStart")->isEnabled());
    QTest::qWait(1000);
    click("cmdAutoRecStop");
    feed.kill();
    feed.waitForFinished(2000);
    QVERIFY(m_dialog->hasRecording());
    QVERIFY(control<QPushButton>(m_dialog.get(), "cmdAutoRecStart")->isEnabled());
    QVERIFY(!control<QPushButton>(m_dialog.get(), "cmdAutoRecStop")->isEnabled());
    QVERIFY2(m_prompts->shown().isEmpty(), qPrintable(m_prompts->texts().join(" | ")));

    // The recording: 8-bit mono 11025 Hz PCM, about a second of the tone.
    const QByteArray recorded = fileBytes(m_dialog->temporaryFile());
    QVERIFY(recorded.size() > 44);
    QCOMPARE(qFromLittleEndian<quint16>(recorded.constData() + 20), quint16(1));
    QCOMPARE(qFromLittleEndian<quint32>(recorded.constData() + 28), quint32(Rate));
    QCOMPARE(qFromLittleEndian<quint16>(recorded.constData() + 32), quint16(1));
    WaveClip clip;
    QVERIFY(WavePlayer::parse(recorded, &clip));
    QCOMPARE(clip.channels, 1);
    QCOMPARE(clip.bitsPerSample, 8);
    QCOMPARE(clip.sampleRate, Rate);
    const QByteArray sound = SoundServer::loudPart(clip.samples, 16);
    qInfo("recorded %lld ms, %lld ms of it sound", clip.durationMs(),
          qint64(sound.size()) * 1000 / Rate);
    QVERIFY2(sound.size() > Rate * 6 / 10 && clip.frames() < Rate * 15 / 10,
             qPrintable(QString::number(sound.size())));
    QVERIFY(SoundServer::toneShare(sound, Rate, Tone) > 0.8);

    // Play sends the recording to the output.
    SoundServer::MonitorCapture monitor(Rate);
    QVERIFY(monitor.start());
    click("cmdPlay");
    const QByteArray heard = SoundServer::loudPart(monitor.record(1500), 16);
    QVERIFY2(heard.size() > Rate * 6 / 10, qPrintable(QString::number(heard.size())));
    QVERIFY(SoundServer::toneShare(heard, Rate, Tone) > 0.8);

    // OK with no name asks for one; cancelled, the dialog stays and keeps
    // the recording.
    const QStringList before = QDir(m_folder->path()).entryList(QDir::Files);
    m_files->cancel();
    click("cmdOK");
    QCOMPARE(m_files->requests().size(), 1);
    QVERIFY(m_dialog->isVisible());
    QCOMPARE(QDir(m_folder->path()).entryList(QDir::Files), before);

    // A copy that fails halfway leaves the old target whole: here the
    // recording has gone from under it.
    const QString kept = m_folder->filePath(QStringLiteral("kept.wav"));
    writeFile(kept, "old sound");
    const QString aside = m_folder->filePath(QStringLiteral("aside"));
    QVERIFY(QFile::rename(m_dialog->temporaryFile(), aside));
    control<QLineEdit>(m_dialog.get(), "txtFileName")->setText(QStringLiteral("kept.wav"));
    click("cmdOK");
    QVERIFY(m_dialog->isVisible());
    QCOMPARE(m_prompts->texts().last(),
             QStringLiteral("ERROR Saving Sound file, error 53\r\nDescription: File not found"));
    QCOMPARE(fileBytes(kept), QByteArray("old sound"));
    QVERIFY(QFile::rename(aside, m_dialog->temporaryFile()));

    const QString target = m_folder->filePath(QStringLiteral("greeting.wav"));
    control<QLineEdit>(m_dialog.get(), "txtFileName")->setText(target);
    click("cmdOK");
    QCOMPARE(m_dialog->result(), int(QDialog::Accepted));
    QCOMPARE(m_dialog->fileName(), target);
    QCOMPARE(fileBytes(target), recorded);
}

void tst_sound::failedStopReturnsToIdle()
{
    m_dialog = openDialog();
    writeFile(m_dialog->temporaryFile(), "previous");
    UnwritableFile guard(m_dialog->temporaryFile());
    if (!guard.holds())
        QSKIP("the file cannot be made read-only here");
    click("cmdAutoRecStart");
    QTest::qWait(200);
    click("cmdAutoRecStop");
    QVERIFY(m_prompts->texts().last().startsWith(
        QStringLiteral("MCI Error: The sound file could not be written.")));
    QVERIFY(!m_dialog->isRecording());
    QVERIFY(control<QPushButton>(m_dialog.get(), "cmdAutoRecStart")->isEnabled());
    QVERIFY(!control<QPushButton>(m_dialog.get(), "cmdAutoRecStop")->isEnabled());

    // The user can record again; closing while recording closes the device.
    click("cmdAutoRecStart");
    QVERIFY(m_dialog->isRecording());
    click("cmdCancel");
    QVERIFY(!m_dialog->isRecording());
    QCOMPARE(m_prompts->shown().size(), 1);
}

void tst_sound::slidersSetTheOutputVolume_data()
{
    QTest::addColumn<int>("left");
    QTest::addColumn<int>("right");
    QTest::addColumn<QString>("leftLabel");
    QTest::addColumn<QString>("rightLabel");
    QTest::newRow("1 and 16") << 1 << 16 << "6%"
                              << "100%";
    QTest::newRow("0 and 8") << 0 << 8 << "0%"
                             << "50%";
}

void tst_sound::slidersSetTheOutputVolume()
{
    QFETCH(int, left);
    QFETCH(int, right);
    m_dialog = openDialog();
    control<QSlider>(m_dialog.get(), "sldRight")->setValue(right);
    control<QSlider>(m_dialog.get(), "sldLeft")->setValue(left);
    QTEST(control<QLabel>(m_dialog.get(), "lbl_left_volume")->text(), "leftLabel");
    QTEST(control<QLabel>(m_dialog.get(), "lbl_right_volume")->text(), "rightLabel");

    // The server's own scale has its normal volume at 65536.
    const auto onServer = [](int slider) {
        return int((qint64(modVolume::SliderToVolume(slider)) * 65536 + 32767) / 65535);
    };
    QCOMPARE(SoundServer::sinkVolume(), QList<int>({onServer(left), onServer(right)}));

    // A new dialog reads the volume back.
    m_dialog = openDialog();
    QCOMPARE(control<QSlider>(m_dialog.get(), "sldLeft")->value(), left);
    QCOMPARE(control<QSlider>(m_dialog.get(), "sldRight")->value(), right);
    QVERIFY(m_prompts->shown().isEmpty());
}

void tst_sound::monoOutputFollowsTheLeftSlider()
{
    const QByteArray module =
        SoundServer::pactl({QStringLiteral("load-module"), QStringLiteral("module-null-sink"),
                            QStringLiteral("sink_name=mono"), QStringLiteral("channels=1")})
            .trimmed();
    QVERIFY(!module.isEmpty());
    const auto restore = qScopeGuard([&module] {
        SoundServer::pactl({QStringLiteral("set-default-sink"), QStringLiteral("null")});
        SoundServer::pactl({QStringLiteral("unload-module"), QString::fromLatin1(module)});
    });
    SoundServer::pactl(
        {QStringLiteral("set-sink-volume"), QStringLiteral("mono"), QStringLiteral("32768")});
    QVERIFY(
        !SoundServer::pactl({QStringLiteral("set-default-sink"), QStringLiteral("mono")}).isNull());

    m_dialog = openDialog();
    QCOMPARE(control<QSlider>(m_dialog.get(), "sldLeft")->value(), 8);
    QCOMPARE(control<QSlider>(m_dialog.get(), "sldRight")->value(), 8);
    control<QSlider>(m_dialog.get(), "sldLeft")->setValue(4);
    QCOMPARE(SoundServer::sinkVolume(QStringLiteral("mono")), QList<int>{16383});
    control<QSlider>(m_dialog.get(), "sldRight")->setValue(16);
    QCOMPARE(SoundServer::sinkVolume(QStringLiteral("mono")), QList<int>{16383});
    QVERIFY(m_prompts->shown().isEmpty());
}

void tst_sound::runPlaysTheWaveName_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("played");
    // Only a missing extension is added; any letter case of .wav is one.
    for (const auto& [typed, played] : {std::pair{"hello", "hello.wav"},
                                        {"hello.WAV", "hello.WAV"},
                                        {"hello.wAv", "hello.wAv"},
                                        {"hello.wav.bak", "hello.wav.bak.wav"}})
        QTest::newRow(typed) << QString::fromLatin1(typed) << QString::fromLatin1(played);
}

void tst_sound::runPlaysTheWaveName()
{
    QFETCH(QString, typed);
    QFETCH(QString, played);
    LogCapture log(m_folder->path(), true, false);
    m_dialog = openDialog();
    control<QLineEdit>(m_dialog.get(), "txtFileName")->setText(typed);
    m_dialog->findChild<QAction*>(QStringLiteral("tbrOpenRun"))->trigger();
    QCOMPARE(m_dialog->fileName(), played);
    const QStringList lines = log.messages();
    QVERIFY2(lines.contains(QStringLiteral("Playing wave file:") + played),
             qPrintable(lines.join(" | ")));
    QCOMPARE(lines.contains(QStringLiteral("File name OK")), typed == played);
    QVERIFY(m_prompts->shown().isEmpty());
}

void tst_sound::cancelledFileChoiceKeepsTheName()
{
    m_dialog = openDialog();
    control<QLineEdit>(m_dialog.get(), "txtFileName")->setText(QStringLiteral("mine.wav"));
    m_files->cancel();
    m_dialog->findChild<QAction*>(QStringLiteral("tbrOpenOpen"))->trigger();
    QCOMPARE(m_dialog->fileName(), QStringLiteral("mine.wav"));
    QVERIFY(m_prompts->shown().isEmpty());
    QCOMPARE(m_files->requests().size(), 1);
    const CommonDialog::Request asked = m_files->requests().first();
    QCOMPARE(asked.DialogTitle, QStringLiteral("Open file..."));
    QCOMPARE(asked.FileName, QStringLiteral("mine.wav"));
    QCOMPARE(QDir::cleanPath(asked.InitDir), QDir::cleanPath(m_folder->filePath("data")));

    // A chosen file that does not exist is only remarked on.
    const QString missing = m_folder->filePath(QStringLiteral("missing.wav"));
    m_files->chooseFile(missing);
    QCOMPARE(m_dialog->get_file_name(), missing);
    QCOMPARE(m_prompts->texts(), QStringList{QStringLiteral("File does not exist")});
}

void tst_sound::everyControlHasAName()
{
    m_dialog = openDialog();
    QStringList unnamed;
    for (QWidget* widget : m_dialog->findChildren<QWidget*>()) {
        const bool control = qobject_cast<QAbstractButton*>(widget) ||
                             qobject_cast<QSlider*>(widget) || qobject_cast<QLineEdit*>(widget);
        if (!control || !widget->isVisible())
            continue;
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
        if (!accessible || accessible->text(QAccessible::Name).isEmpty())
            unnamed.append(widget->objectName());
    }
    QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(QStringLiteral(", "))));
}

QString tst_sound::writeTone(const QString& name, int ms, int amplitude, QByteArray* samples)
{
    const QString path = m_folder->filePath(name);
    const QByteArray tone = WaveBuilder::tone16(SlideRate, ms, SlideTone, amplitude);
    if (samples)
        *samples = tone;
    writeFile(path, WaveBuilder::riff(1, 1, SlideRate, 16, tone));
    return path;
}

void tst_sound::slideSoundCutShortByTheNext()
{
    // A long quiet tone, cut after a while by a short loud one, heard whole:
    // its last part is what a sink closed too early drops.
    const QString quiet = writeTone(QStringLiteral("quiet.wav"), 1000, 6000);
    QByteArray loudTone;
    const QString loud = writeTone(QStringLiteral("loud.wav"), 300, 24000, &loudTone);
    SoundServer::MonitorCapture capture(SlideRate, "s16le");
    QVERIFY(capture.start());
    QElapsedTimer call;
    call.start();
    modPlayWave::PlayWaveFile(quiet);
    QVERIFY2(call.elapsed() < 200, "must return while the sound plays");
    QTest::qWait(300);
    // A bare name comes from the program folder.
    modPlayWave::PlayWaveFile(QFileInfo(loud).fileName());
    const QList<qint16> samples = samples16(capture.record(1500));

    const auto [firstHeard, lastHeard] = span(samples, Heard);
    const auto [firstLoud, lastLoud] = span(samples, 12000);
    QVERIFY2(firstHeard >= 0 && firstLoud >= 0, "the sounds were not heard");
    const double loudHeard = milliseconds(lastLoud - firstLoud + 1);
    QVERIFY2(loudHeard <= 300.0 && loudHeard >= 300.0 - MonitorMissesAtStartMs,
             qPrintable(QString::number(loudHeard)));
    // They may overlap by a few samples; then the second plays alone to its end.
    QVERIFY2(endsWithClip(samples, lastLoud, loudTone, (lastLoud - firstLoud) * 9 / 10),
             "what was heard is not the clip's end, sample for sample");
    QVERIFY2(lastHeard - lastLoud < SlideRate / 1000, "the first sound went on after the second");
    // The first was heard only until the second began.
    const double quietHeard = milliseconds(firstLoud - firstHeard);
    QVERIFY2(quietHeard > 150.0 && quietHeard < 700.0, qPrintable(QString::number(quietHeard)));
}

void tst_sound::missingOrBrokenSlideSoundSaysNothing()
{
    const QString broken = m_folder->filePath(QStringLiteral("broken.wav"));
    writeFile(broken, "This is no sound.");
    QTemporaryDir logFolder;
    LogCapture log(logFolder.path(), true, true);
    modPlayWave::PlayWaveFile(QStringLiteral("nothere.wav"));
    modPlayWave::PlayWaveFile(broken);
    modPlayWave::PlayWaveFile(QString());
    QVERIFY(m_prompts->shown().isEmpty());
    QCOMPARE(log.messages(), QStringList());
}

QTEST_MAIN(tst_sound)
#include "tst_sound.moc"
