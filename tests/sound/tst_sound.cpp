// SPDX-License-Identifier: GPL-3.0-or-later
#include "LogCapture.h"
#include "SoundKit.h"
#include "TestFiles.h"
#include "UnwritableFile.h"

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
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QSlider>
#include <QTemporaryDir>

#include <algorithm>
#include <memory>

using namespace SoundKit;

namespace {

constexpr int Rate = 11025;
constexpr double Tone = 440.0;
// Slide sounds: a tone of whole periods, so the clip starts and ends at a zero crossing.
constexpr int SlideRate = 44100;
constexpr double SlideTone = 441.0;
// The monitor misses the first few ms of a new stream (measured 3 to 10 ms); the end comes
// through sample for sample.
constexpr double MonitorMissesAtStartMs = 12.0;

qint16 sample16(const QByteArray& bytes, qsizetype i)
{
    return qFromLittleEndian<qint16>(bytes.constData() + 2 * i);
}

/// The first and last 16-bit sample louder than the level, or -1, -1.
std::pair<qsizetype, qsizetype> span(const QByteArray& samples, int level)
{
    qsizetype first = -1, last = -1;
    for (qsizetype i = 0; i < samples.size() / 2; ++i) {
        if (std::abs(int(sample16(samples, i))) > level) {
            first = first < 0 ? i : first;
            last = i;
        }
    }
    return {first, last};
}

double milliseconds(qsizetype frames)
{
    return double(frames) * 1000.0 / SlideRate;
}

/// Whether the count samples up to lastHeard are the clip's last ones.
bool endsWithClip(const QByteArray& samples, qsizetype lastHeard, const QByteArray& clip,
                  qsizetype count)
{
    const qsizetype frames = clip.size() / 2;
    if (count > frames || count > lastHeard + 1)
        return false;
    for (qsizetype j = 0; j < count; ++j) {
        if (std::abs(int(sample16(samples, lastHeard - j)) - int(sample16(clip, frames - 1 - j))) >
            1)
            return false;
    }
    return true;
}

} // namespace

// Slide sounds and the sound dialog on the real sound server: a PulseAudio daemon whose null
// sink's monitor is the default input ("mic").
class tst_sound : public QObject
{
    Q_OBJECT

    QList<int> m_saved;
    /// ctest also runs noServerSaysSoAndWritesNothing alone against a server that is not there.
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
    template <typename T> T* control(const char* name)
    {
        return m_dialog->findChild<T*>(QLatin1String(name));
    }
    void click(const char* name) { control<QPushButton>(name)->click(); }
    bool enabled(const char* name) { return control<QPushButton>(name)->isEnabled(); }
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
        QVERIFY2(!pactl({QStringLiteral("info")}).isNull(),
                 "no PulseAudio server: source scripts/test-env.sh");
        m_saved = sinkVolume();
        QCOMPARE(m_saved.size(), 2);
    }
    void cleanupTestCase()
    {
        if (m_noServer)
            return;
        // The sink is shared with the other sound tests.
        pactl({QStringLiteral("set-sink-volume"), QStringLiteral("null"),
               QString::number(m_saved.at(0)), QString::number(m_saved.at(1))});
    }
    void init()
    {
        m_folder = std::make_unique<QTemporaryDir>();
        modMain::ResetProgramState();
        modMain::SetProgramFolder(m_folder->path());
        m_prompts = std::make_unique<ScriptedPrompts>();
        m_files = std::make_unique<ScriptedCommonDialog>();
        // Full volume, so what is fed in is recorded as loud as it was.
        QVERIFY(m_noServer || !pactl({QStringLiteral("set-sink-volume"), QStringLiteral("null"),
                                      QStringLiteral("100%")})
                                   .isNull());
    }
    void cleanup()
    {
        m_dialog.reset();
        m_files.reset();
        m_prompts.reset();
        modMain::ResetProgramState();
        m_folder.reset();
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
        QCOMPARE(control<QSlider>("sldLeft")->value(), 0);
        QCOMPARE(control<QLabel>("lbl_right_volume")->text(), QStringLiteral("0%"));
        click("cmdAutoRecStart");
        QCOMPARE(m_prompts->texts().last(),
                 QStringLiteral("MCI Error: The sound server is not running. Start it "
                                "(PulseAudio or PipeWire) and try again."));
        QVERIFY(!m_dialog->isRecording() && enabled("cmdAutoRecStart") &&
                !enabled("cmdAutoRecStop"));
        // Moving a slider or pressing Stop and Play does no harm.
        control<QSlider>("sldLeft")->setValue(5);
        click("cmdAutoRecStop");
        click("cmdPlay");
        QCOMPARE(m_prompts->shown().size(), 2);
        QVERIFY(QDir(m_folder->path()).isEmpty());
    }

    void recordPlayAndSave()
    {
        // A tone played into the null sink reaches the default input.
        const QString tonePath = m_folder->filePath(QStringLiteral("feed.wav"));
        writeFile(tonePath, riff(1, 1, 44100, 16, tone16(44100, 3000, Tone, 16000)));
        QProcess feed;
        feed.start(QStringLiteral("paplay"),
                   {QStringLiteral("-d"), QStringLiteral("null"), tonePath});
        QVERIFY(feed.waitForStarted(5000));
        QTest::qWait(300);

        openDialog();
        click("cmdAutoRecStart");
        QVERIFY(m_dialog->isRecording() && !enabled("cmdAutoRecStart"));
        QVERIFY(control<QLabel>("imgInService")->isVisible());
        QTest::qWait(1000);
        click("cmdAutoRecStop");
        feed.kill();
        feed.waitForFinished(2000);
        QVERIFY(m_dialog->hasRecording() && enabled("cmdAutoRecStart") &&
                !enabled("cmdAutoRecStop"));
        QVERIFY2(m_prompts->shown().isEmpty(), qPrintable(m_prompts->texts().join(" | ")));

        // The recording: 8-bit mono 11025 Hz PCM, about a second of the tone.
        const QByteArray recorded = fileBytes(m_dialog->temporaryFile());
        QCOMPARE(recorded.mid(20, 16), riff(1, 1, Rate, 8, {}).mid(20, 16));
        WaveClip clip;
        QVERIFY(WavePlayer::parse(recorded, &clip));
        const QByteArray sound = loudPart(clip.samples, 16);
        QVERIFY2(sound.size() > Rate * 6 / 10 && clip.frames() < Rate * 15 / 10,
                 qPrintable(QString::number(sound.size())));
        QVERIFY(toneShare(sound, Rate, Tone) > 0.8);

        // Play sends the recording to the output.
        const QByteArray heard = loudPart(hear(Rate, "u8", 1500, [this] { click("cmdPlay"); }), 16);
        QVERIFY2(heard.size() > Rate * 6 / 10, qPrintable(QString::number(heard.size())));
        QVERIFY(toneShare(heard, Rate, Tone) > 0.8);

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

    void failedStopReturnsToIdle()
    {
        openDialog();
        writeFile(m_dialog->temporaryFile(), "previous");
        UnwritableFile guard(m_dialog->temporaryFile());
        if (!guard.holds())
            QSKIP("the file cannot be made read-only here");
        click("cmdAutoRecStart");
        QTest::qWait(200);
        click("cmdAutoRecStop");
        QVERIFY(m_prompts->texts().last().startsWith(
            QStringLiteral("MCI Error: The sound file could not be written.")));
        QVERIFY(!m_dialog->isRecording() && enabled("cmdAutoRecStart") &&
                !enabled("cmdAutoRecStop"));
        // The user can record again; closing while recording closes the device.
        click("cmdAutoRecStart");
        QVERIFY(m_dialog->isRecording());
        click("cmdCancel");
        QVERIFY(!m_dialog->isRecording());
        QCOMPARE(m_prompts->shown().size(), 1);
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
            QCOMPARE(control<QSlider>("sldLeft")->value(), left);
            QCOMPARE(control<QSlider>("sldRight")->value(), right);
        }
        QVERIFY(m_prompts->shown().isEmpty());
    }

    void monoOutputFollowsTheLeftSlider()
    {
        const QByteArray module =
            pactl({QStringLiteral("load-module"), QStringLiteral("module-null-sink"),
                   QStringLiteral("sink_name=mono"), QStringLiteral("channels=1")})
                .trimmed();
        QVERIFY(!module.isEmpty());
        const auto restore = qScopeGuard([&module] {
            pactl({QStringLiteral("set-default-sink"), QStringLiteral("null")});
            pactl({QStringLiteral("unload-module"), QString::fromLatin1(module)});
        });
        pactl({QStringLiteral("set-sink-volume"), QStringLiteral("mono"), QStringLiteral("32768")});
        QVERIFY(!pactl({QStringLiteral("set-default-sink"), QStringLiteral("mono")}).isNull());

        openDialog();
        QCOMPARE(control<QSlider>("sldLeft")->value(), 8);
        QCOMPARE(control<QSlider>("sldRight")->value(), 8);
        control<QSlider>("sldLeft")->setValue(4);
        QCOMPARE(sinkVolume(QStringLiteral("mono")), QList<int>{16383});
        control<QSlider>("sldRight")->setValue(16);
        QCOMPARE(sinkVolume(QStringLiteral("mono")), QList<int>{16383});
        QVERIFY(m_prompts->shown().isEmpty());
    }

    void runPlaysTheWaveName_data()
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
    void runPlaysTheWaveName()
    {
        QFETCH(QString, typed);
        QFETCH(QString, played);
        LogCapture log(m_folder->path(), true, false);
        openDialog();
        control<QLineEdit>("txtFileName")->setText(typed);
        control<QAction>("tbrOpenRun")->trigger();
        QCOMPARE(m_dialog->fileName(), played);
        const QStringList lines = log.messages();
        QVERIFY2(lines.contains(QStringLiteral("Playing wave file:") + played),
                 qPrintable(lines.join(" | ")));
        QCOMPARE(lines.contains(QStringLiteral("File name OK")), typed == played);
        QVERIFY(m_prompts->shown().isEmpty());
    }

    void cancelledFileChoiceKeepsTheName()
    {
        openDialog();
        control<QLineEdit>("txtFileName")->setText(QStringLiteral("mine.wav"));
        m_files->cancel();
        control<QAction>("tbrOpenOpen")->trigger();
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

        // Every visible control speaks its name.
        for (QWidget* widget : m_dialog->findChildren<QWidget*>()) {
            if (widget->isVisible() &&
                (qobject_cast<QAbstractButton*>(widget) || qobject_cast<QSlider*>(widget) ||
                 qobject_cast<QLineEdit*>(widget))) {
                QAccessibleInterface* face = QAccessible::queryAccessibleInterface(widget);
                QVERIFY2(face && !face->text(QAccessible::Name).isEmpty(),
                         qPrintable(widget->objectName()));
            }
        }
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
        const double loudHeard = milliseconds(lastLoud - firstLoud + 1);
        QVERIFY2(loudHeard <= 300.0 && loudHeard >= 300.0 - MonitorMissesAtStartMs,
                 qPrintable(QString::number(loudHeard)));
        // They may overlap by a few samples; then the second plays alone to its end.
        QVERIFY2(endsWithClip(samples, lastLoud, loudTone, (lastLoud - firstLoud) * 9 / 10),
                 "what was heard is not the clip's end, sample for sample");
        QVERIFY2(lastHeard - lastLoud < SlideRate / 1000,
                 "the first sound went on after the second");
        // The first was heard only until the second began.
        const double quietHeard = milliseconds(firstLoud - firstHeard);
        QVERIFY2(quietHeard > 150.0 && quietHeard < 700.0, qPrintable(QString::number(quietHeard)));
    }

    void missingOrBrokenSlideSoundSaysNothing()
    {
        const QString broken = m_folder->filePath(QStringLiteral("broken.wav"));
        writeFile(broken, "This is no sound.");
        QTemporaryDir logFolder;
        LogCapture log(logFolder.path(), true, true);
        for (const QString& name : {QStringLiteral("nothere.wav"), broken, QString()})
            modPlayWave::PlayWaveFile(name);
        QVERIFY(m_prompts->shown().isEmpty());
        QCOMPARE(log.messages(), QStringList());
    }
};

QTEST_MAIN(tst_sound)
#include "tst_sound.moc"
