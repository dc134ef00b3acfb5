// SPDX-License-Identifier: GPL-3.0-or-later
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QRegularExpression>
#include <QTest>

class TestResources : public QObject
{
    Q_OBJECT

private:
    static QString appFile(const QString& relative)
    {
        return QDir(QStringLiteral(PW_APP_FOLDER)).filePath(relative);
    }

    static QByteArray readAll(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    /// Splits a text file the program reads into its lines, failing on any
    /// line that does not end in CR LF.
    static bool crlfLines(const QByteArray& text, QList<QByteArray>* lines)
    {
        if (!text.endsWith("\r\n"))
            return false;
        *lines = text.chopped(1).split('\n');
        for (QByteArray& line : *lines) {
            if (!line.endsWith('\r'))
                return false;
            line.chop(1);
        }
        return true;
    }

    static bool isWebAddress(const QString& address)
    {
        return address.startsWith(QLatin1String("http://")) ||
               address.startsWith(QLatin1String("https://"));
    }

    struct Slide
    {
        QString address;
        QString sound;
        int pause = 0;
        bool skip = false;
    };

    /// The demo show's records, read by hand: "address","sound","pause",#FLAG#.
    static QList<Slide> demoSlides()
    {
        QList<Slide> slides;
        QList<QByteArray> lines;
        const QByteArray text = readAll(appFile(QStringLiteral("data/DemoShow.txt")));
        if (!crlfLines(text, &lines))
            return slides;
        static const QRegularExpression record(
            QStringLiteral("^\"([^\"]*)\",\"([^\"]*)\",\"(\\d+)\",(#TRUE#|#FALSE#)$"));
        for (const QByteArray& line : lines) {
            const QRegularExpressionMatch m = record.match(QString::fromUtf8(line));
            if (!m.hasMatch()) {
                qWarning("not a show record: %s", line.constData());
                return {};
            }
            // Local slides and sounds are named relative to the program folder.
            const QString address = m.captured(1);
            const QString sound = m.captured(2);
            slides.append({isWebAddress(address) ? address : appFile(address),
                           sound.isEmpty() ? sound : appFile(sound), m.captured(3).toInt(),
                           m.captured(4) == QLatin1String("#TRUE#")});
            if (!isWebAddress(address) && QFileInfo(address).isAbsolute()) {
                qWarning("a build path in the demo show: %s", qPrintable(address));
                return {};
            }
        }
        return slides;
    }

private Q_SLOTS:
    void demoShowIsAWellFormedShow()
    {
        const QList<Slide> slides = demoSlides();
        QVERIFY2(slides.size() >= 6 && slides.size() <= 8,
                 qPrintable(QString::number(slides.size())));

        int webSlides = 0;
        int shownSlides = 0;
        for (const Slide& slide : slides) {
            QVERIFY2(slide.pause >= 5 && slide.pause <= 15, qPrintable(slide.address));
            if (!slide.skip)
                ++shownSlides;
            if (isWebAddress(slide.address)) {
                ++webSlides;
                continue;
            }
            const QFileInfo file(slide.address);
            QVERIFY2(slide.address.startsWith(appFile(QStringLiteral("data/demo/"))),
                     qPrintable(slide.address));
            QVERIFY2(file.isFile(), qPrintable(slide.address));
        }
        QVERIFY(webSlides >= 2);
        QVERIFY(shownSlides >= 6);
    }

    void demoSoundsAreWaveFiles()
    {
        int sounds = 0;
        for (const Slide& slide : demoSlides()) {
            if (slide.sound.isEmpty())
                continue;
            ++sounds;
            const QByteArray wave = readAll(slide.sound);
            QVERIFY2(wave.startsWith("RIFF") && wave.mid(8, 8) == "WAVEfmt ",
                     qPrintable(slide.sound));
            // 8-bit mono PCM at 11025 Hz, the recorder's own format, and some sound in it.
            QCOMPARE(wave.mid(20, 4), QByteArray::fromHex("01000100"));
            QCOMPARE(wave.mid(24, 4), QByteArray::fromHex("112b0000"));
            QVERIFY(wave.size() > 44 + 5000);
        }
        QVERIFY(sounds >= 1);
    }

    void demoPagesUseOnlyShippedFiles()
    {
        static const QRegularExpression reference(QStringLiteral("(?:src|href)=\"([^\"]*)\""));
        int pages = 0;
        int pictures = 0;
        for (const Slide& slide : demoSlides()) {
            if (!slide.address.endsWith(QLatin1String(".htm")))
                continue;
            ++pages;
            const QString html = QString::fromUtf8(readAll(slide.address));
            QVERIFY2(html.startsWith(QLatin1String("<!DOCTYPE html>")), qPrintable(slide.address));
            QVERIFY(html.contains(QLatin1String("<title>")));
            QVERIFY(html.trimmed().endsWith(QLatin1String("</html>")));

            const QDir folder = QFileInfo(slide.address).dir();
            for (const QRegularExpressionMatch& m : reference.globalMatch(html)) {
                const QString target = m.captured(1);
                QVERIFY2(!target.contains(QLatin1String("//")), qPrintable(target));
                QVERIFY2(QFileInfo::exists(folder.filePath(target)), qPrintable(target));
                if (target.endsWith(QLatin1String(".png")) ||
                    target.endsWith(QLatin1String(".jpg"))) {
                    QVERIFY2(!QImage(folder.filePath(target)).isNull(), qPrintable(target));
                    ++pictures;
                }
            }
        }
        QVERIFY(pages >= 3);
        QVERIFY(pictures >= pages);
    }

    void demoPicturesLoad()
    {
        int pictures = 0;
        for (const Slide& slide : demoSlides()) {
            if (slide.address.endsWith(QLatin1String(".png")) ||
                slide.address.endsWith(QLatin1String(".jpg"))) {
                const QImage picture(slide.address);
                QVERIFY2(!picture.isNull(), qPrintable(slide.address));
                QVERIFY(picture.width() >= 800 && picture.height() >= 450);
                ++pictures;
            }
        }
        QVERIFY(pictures >= 2);
    }

    void startPictureLoads()
    {
        const QImage picture(appFile(QStringLiteral("data/vexilo.jpg")));
        QVERIFY(!picture.isNull());
        QCOMPARE(picture.size(), QSize(1280, 720));
    }

    void testPageIsAnHtmlPage()
    {
        const QString html = QString::fromUtf8(readAll(appFile(QStringLiteral("test.htm"))));
        QVERIFY(html.startsWith(QLatin1String("<!DOCTYPE html>")));
        QVERIFY(html.contains(QLatin1String("<title>")));
        QVERIFY(html.trimmed().endsWith(QLatin1String("</html>")));
    }

    void tipFileHoldsADozenOneLineTips()
    {
        QList<QByteArray> lines;
        QVERIFY(crlfLines(readAll(appFile(QStringLiteral("TipofDay.txt"))), &lines));
        int tips = 0;
        for (const QByteArray& line : lines) {
            if (line.trimmed().isEmpty())
                continue;
            ++tips;
            // Plain text for a label: no markup, no stray control characters.
            QVERIFY2(!line.contains('<') && !line.contains('\t'), line.constData());
            QVERIFY2(line.size() <= 220, line.constData());
        }
        QVERIFY2(tips >= 12, qPrintable(QString::number(tips)));
    }
};

QTEST_MAIN(TestResources)
#include "tst_resources.moc"
