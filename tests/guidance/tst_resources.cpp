// SPDX-License-Identifier: GPL-3.0-or-later
// What the build lays out in the program folder: the demo show and its files,
// the start picture, the test page and the tips.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QRegularExpression>
#include <QTest>

namespace {

QString appFile(const QString& relative)
{
    return QDir(QStringLiteral(PW_APP_FOLDER)).filePath(relative);
}

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

/// The lines of a text file the program reads; empty unless every line ends in CR LF.
QList<QByteArray> crlfLines(const QByteArray& text)
{
    QList<QByteArray> lines =
        text.endsWith("\r\n") ? text.chopped(1).split('\n') : QList<QByteArray>();
    for (QByteArray& line : lines) {
        if (!line.endsWith('\r'))
            return {};
        line.chop(1);
    }
    return lines;
}

bool isWebAddress(const QString& address)
{
    return address.startsWith(QLatin1String("http://")) ||
           address.startsWith(QLatin1String("https://"));
}

/// Fails unless the file is a whole HTML page.
void checkHtmlPage(const QString& path)
{
    const QString html = QString::fromUtf8(readAll(path));
    QVERIFY2(html.startsWith(QLatin1String("<!DOCTYPE html>")), qPrintable(path));
    QVERIFY2(html.contains(QLatin1String("<title>")), qPrintable(path));
    QVERIFY2(html.trimmed().endsWith(QLatin1String("</html>")), qPrintable(path));
}

} // namespace

class TestResources : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void demoShowAndItsFiles()
    {
        // The records, read by hand: "address","sound","pause",#FLAG#; local
        // slides and sounds are named relative to the program folder.
        static const QRegularExpression record(
            QStringLiteral("^\"([^\"]*)\",\"([^\"]*)\",\"(\\d+)\",(#TRUE#|#FALSE#)$"));
        static const QRegularExpression reference(QStringLiteral("(?:src|href)=\"([^\"]*)\""));
        const QList<QByteArray> lines =
            crlfLines(readAll(appFile(QStringLiteral("data/DemoShow.txt"))));
        QVERIFY2(lines.size() >= 6 && lines.size() <= 8, qPrintable(QString::number(lines.size())));
        int web = 0, shown = 0, sounds = 0, pages = 0, pagePictures = 0, pictures = 0;
        for (const QByteArray& line : lines) {
            const QRegularExpressionMatch m = record.match(QString::fromUtf8(line));
            QVERIFY2(m.hasMatch(), line.constData());
            const int pause = m.captured(3).toInt();
            QVERIFY2(pause >= 5 && pause <= 15, line.constData());
            shown += m.captured(4) == QLatin1String("#FALSE#");
            if (!m.captured(2).isEmpty()) {
                ++sounds;
                // 8-bit mono PCM at 11025 Hz, the recorder's own format, and some sound in it.
                const QByteArray wave = readAll(appFile(m.captured(2)));
                QVERIFY2(wave.startsWith("RIFF") && wave.mid(8, 8) == "WAVEfmt ", line.constData());
                QCOMPARE(wave.mid(20, 8), QByteArray::fromHex("01000100112b0000"));
                QVERIFY(wave.size() > 44 + 5000);
            }
            if (isWebAddress(m.captured(1))) {
                ++web;
                continue;
            }
            const QString address = appFile(m.captured(1));
            QVERIFY2(!QFileInfo(m.captured(1)).isAbsolute(), line.constData());
            QVERIFY2(m.captured(1).startsWith(QLatin1String("data/demo/")), line.constData());
            QVERIFY2(QFileInfo(address).isFile(), line.constData());
            if (address.endsWith(QLatin1String(".png")) ||
                address.endsWith(QLatin1String(".jpg"))) {
                const QImage picture(address);
                QVERIFY2(picture.width() >= 800 && picture.height() >= 450, line.constData());
                ++pictures;
            }
            if (!address.endsWith(QLatin1String(".htm")))
                continue;
            // Pages use only files shipped beside them.
            ++pages;
            checkHtmlPage(address);
            const QDir folder = QFileInfo(address).dir();
            for (const QRegularExpressionMatch& r :
                 reference.globalMatch(QString::fromUtf8(readAll(address)))) {
                const QString target = r.captured(1);
                QVERIFY2(!target.contains(QLatin1String("//")), qPrintable(target));
                QVERIFY2(QFileInfo::exists(folder.filePath(target)), qPrintable(target));
                if (target.endsWith(QLatin1String(".png")) ||
                    target.endsWith(QLatin1String(".jpg"))) {
                    QVERIFY2(!QImage(folder.filePath(target)).isNull(), qPrintable(target));
                    ++pagePictures;
                }
            }
        }
        QVERIFY(web >= 2 && shown >= 6 && sounds >= 1 && pages >= 3 && pictures >= 2);
        QVERIFY(pagePictures >= pages);
    }

    void otherShippedFiles()
    {
        QCOMPARE(QImage(appFile(QStringLiteral("data/vexilo.jpg"))).size(), QSize(1280, 720));
        checkHtmlPage(appFile(QStringLiteral("test.htm")));

        // A dozen tips, plain text for a label: no markup, no stray control characters.
        int tips = 0;
        const QList<QByteArray> lines = crlfLines(readAll(appFile(QStringLiteral("TipofDay.txt"))));
        for (const QByteArray& line : lines) {
            tips += !line.trimmed().isEmpty();
            QVERIFY2(!line.contains('<') && !line.contains('\t'), line.constData());
            QVERIFY2(line.size() <= 220, line.constData());
        }
        QVERIFY2(tips >= 12, qPrintable(QString::number(tips)));
    }
};

QTEST_MAIN(TestResources)
#include "tst_resources.moc"
