// SPDX-License-Identifier: GPL-3.0-or-later
#include "SoundKit.h"

#include "platform/WavePlayer.h"

#include <QTemporaryDir>

using namespace SoundKit;

// Decoding wave files: what plays, and what is turned away before any sound output is opened.
class tst_WavePlayer : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void decodes_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QList<int>>("format"); // rate, channels, bits
        QTest::addColumn<QByteArray>("samples");
        const QByteArray eightBit("\x80\x90\x70\x80\xFF\x00", 6);
        const QByteArray pcm = tone16(44100, 20, 441, 9000).left(1760);
        const auto row = [](const char* name, const QByteArray& file, QList<int> format,
                            const QByteArray& samples) {
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
    }
    void decodes()
    {
        QFETCH(QByteArray, file);
        WaveClip clip;
        VbError error;
        QVERIFY2(WavePlayer::parse(file, &clip, &error), qPrintable(error.description));
        QTEST((QList<int>{clip.sampleRate, clip.channels, clip.bitsPerSample}), "format");
        QTEST(clip.samples, "samples");
    }

    void rejects_data()
    {
        QTest::addColumn<QByteArray>("file");
        const QByteArray samples(400, '\0');
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("RIFF but not WAVE") << chunk("RIFF", "AVI " + samples);
        QTest::newRow("IEEE float") << riff(3, 1, 44100, 32, samples);
        QTest::newRow("24-bit PCM") << riff(1, 1, 44100, 24, samples);
        QTest::newRow("no channels") << riff(1, 0, 44100, 16, samples);
        QTest::newRow("no data chunk") << riff(1, 1, 44100, 16, samples).left(36);
        QTest::newRow("data before format") << chunk("RIFF", "WAVE" + chunk("data", samples));
    }
    void rejects()
    {
        QFETCH(QByteArray, file);
        WaveClip clip;
        VbError error;
        QVERIFY(!WavePlayer::parse(file, &clip, &error));
        QCOMPARE(error.number, WaveErrors::InvalidFormat);
        QCOMPARE(error.description, QStringLiteral("Invalid file format"));
    }

    void unreadableFilesAreNotFound()
    {
        QTemporaryDir folder;
        VbError error;
        QVERIFY(!WavePlayer::read(folder.path(), nullptr, &error));
        QCOMPARE(error.number, WaveErrors::FileNotFound);
        // Nothing readable: playing it fails the same way, before any output.
        WavePlayer player;
        error = {};
        QVERIFY(!player.play(folder.filePath(QStringLiteral("missing.wav")), &error));
        QCOMPARE(error.number, WaveErrors::FileNotFound);
        QVERIFY(!player.isPlaying());
    }
};

QTEST_GUILESS_MAIN(tst_WavePlayer)
#include "tst_WavePlayer.moc"
