// SPDX-License-Identifier: GPL-3.0-or-later
#include "WaveBuilder.h"

#include "platform/WavePlayer.h"

#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

// Decoding wave files: what plays, and what is turned away before any
// sound output is opened.
class tst_WavePlayer : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void decodes_data();
    void decodes();
    void rejects_data();
    void rejects();
    void unreadableFilesAreNotFound();
};

void tst_WavePlayer::decodes_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("rate");
    QTest::addColumn<int>("channels");
    QTest::addColumn<int>("bits");
    QTest::addColumn<QByteArray>("samples");

    const QByteArray eightBit("\x80\x90\x70\x80\xFF\x00", 6);
    const QByteArray stereo = WaveBuilder::tone16(44100, 20, 441, 9000).left(1760);
    QTest::newRow("recorder's 8-bit mono 11025")
        << WaveBuilder::riff(1, 1, 11025, 8, eightBit) << 11025 << 1 << 8 << eightBit;
    QTest::newRow("16-bit stereo 44100")
        << WaveBuilder::riff(1, 2, 44100, 16, stereo) << 44100 << 2 << 16 << stereo;
    QTest::newRow("odd rate 8000, odd chunk before the data")
        << WaveBuilder::riff(1, 1, 8000, 16, stereo, WaveBuilder::chunk("LIST", "abc")) << 8000 << 1
        << 16 << stereo;

    // The extensible header with the PCM sub-format is plain PCM.
    QByteArray extensible = WaveBuilder::riff(0xFFFE, 1, 22050, 16, stereo);
    QByteArray format = extensible.mid(20, 16);
    format += QByteArray("\x16\x00\x10\x00\x04\x00\x00\x00", 8); // cbSize 22, bits, mask
    format += QByteArray("\x01\x00\x00\x00\x00\x00\x10\x00\x80\x00\x00\xAA\x00\x38\x9B\x71", 16);
    QByteArray body("WAVE");
    body += WaveBuilder::chunk("fmt ", format);
    body += WaveBuilder::chunk("data", stereo);
    QTest::newRow("extensible PCM")
        << WaveBuilder::chunk("RIFF", body) << 22050 << 1 << 16 << stereo;

    // A recording that was never finished declares more than it holds; a
    // last half frame is dropped.
    QByteArray cut = WaveBuilder::riff(1, 1, 11025, 16, stereo);
    qToLittleEndian<quint32>(0xFFFFFFFF, cut.data() + 40);
    cut.chop(1);
    QTest::newRow("data cut short") << cut << 11025 << 1 << 16 << stereo.left(stereo.size() - 2);
}

void tst_WavePlayer::decodes()
{
    QFETCH(QByteArray, file);
    WaveClip clip;
    VbError error;
    QVERIFY2(WavePlayer::parse(file, &clip, &error), qPrintable(error.description));
    QFETCH(int, rate);
    QFETCH(int, channels);
    QFETCH(int, bits);
    QFETCH(QByteArray, samples);
    QCOMPARE(clip.sampleRate, rate);
    QCOMPARE(clip.channels, channels);
    QCOMPARE(clip.bitsPerSample, bits);
    QCOMPARE(clip.samples, samples);
}

void tst_WavePlayer::rejects_data()
{
    QTest::addColumn<QByteArray>("file");
    const QByteArray samples(400, '\0');
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("RIFF but not WAVE") << WaveBuilder::chunk("RIFF", QByteArray("AVI ") + samples);
    QTest::newRow("IEEE float") << WaveBuilder::riff(3, 1, 44100, 32, samples);
    QTest::newRow("24-bit PCM") << WaveBuilder::riff(1, 1, 44100, 24, samples);
    QTest::newRow("no channels") << WaveBuilder::riff(1, 0, 44100, 16, samples);
    QTest::newRow("no data chunk") << WaveBuilder::riff(1, 1, 44100, 16, samples).left(36);
    QByteArray dataFirst("WAVE");
    dataFirst += WaveBuilder::chunk("data", samples);
    QTest::newRow("data before format") << WaveBuilder::chunk("RIFF", dataFirst);
}

void tst_WavePlayer::rejects()
{
    QFETCH(QByteArray, file);
    WaveClip clip;
    VbError error;
    QVERIFY(!WavePlayer::parse(file, &clip, &error));
    QCOMPARE(error.number, WaveErrors::InvalidFormat);
    QCOMPARE(error.description, QStringLiteral("Invalid file format"));
}

void tst_WavePlayer::unreadableFilesAreNotFound()
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

QTEST_GUILESS_MAIN(tst_WavePlayer)
#include "tst_WavePlayer.moc"
