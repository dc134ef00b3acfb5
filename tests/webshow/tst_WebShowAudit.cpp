// SPDX-License-Identifier: GPL-3.0-or-later
// The web show audit's report, word for word.
#include "show/colURLs.h"
#include "webshow/WebShowAudit.h"

#include <QLocale>
#include <QTest>

namespace {

const QString NewLine = QStringLiteral("\r\n");

/// Slides of every kind the audit tells apart.
void fillMixed(colURLs& show)
{
    show.Add(QStringLiteral("http://example.com/a.html"), QString(), 0, false); // web
    show.Add(QStringLiteral("www.example.org"), QString(), 0, false);           // web
    show.Add(QStringLiteral("example.com"), QString(), 0, false);               // web
    show.Add(QStringLiteral("host.de"), QString(), 0, false);                   // web
    show.Add(QStringLiteral("https://site.net/x.php"), QString(), 0, false);    // web
    show.Add(QStringLiteral("pages/page.htm"), QString(), 0, false);            // web
    show.Add(QStringLiteral("intro.html"), QString(), 0, false);                // web
    show.Add(QStringLiteral("C:\\pages\\pic.jpg"), QString(), 0, false);        // relocated file
    show.Add(QStringLiteral("c:\\PAGES\\page.htm"), QString(), 0, false);       // relocated file
    show.Add(QStringLiteral("docs/readme.txt"), QString(), 0, false);           // relative file
    show.Add(QStringLiteral("D:\\other\\y.html"), QString(), 0, false);         // local file
    show.Add(QStringLiteral("/home/me/clip.mpeg"), QStringLiteral("bell.wav"), 0, false);
    show.Add(QStringLiteral("a.uk"), QString(), 0, false);                          // short
    show.Add(QStringLiteral("D:\\skip\\me.jpg"), QStringLiteral("x.wav"), 0, true); // skipped
}

QString head(bool autoStart, bool webMode)
{
    return QStringLiteral("File Title: Tour\r\n\r\n"
                          "------- Web Show Files --------\r\n"
                          "Starting Web page name: StrtShow.htm\r\n"
                          "Show Control page name: WebShow.htm\r\n"
                          "Show Control page title: Spring\r\n") +
           (autoStart ? QStringLiteral("Show will start automatically from 'Start Show' button\r\n")
                      : QString()) +
           (webMode ? QStringLiteral("Directory to copy web show files from: /out\r\n")
                    : QStringLiteral("Directory containing web show files: /out\r\n")) +
           QStringLiteral("\r\n------- Slide Information --------\r\n");
}

QString totals(int web, int files, int total, const QString& pause)
{
    return NewLine +
           QStringLiteral("Number of web pages in show: %1\r\n"
                          "Number of referenced files in show: %2\r\n"
                          "Total number of slides in show: %3\r\n"
                          "Pause time between slides: ")
               .arg(web)
               .arg(files)
               .arg(total) +
           pause + NewLine;
}

} // namespace

class tst_WebShowAudit : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    void report_data()
    {
        QTest::addColumn<bool>("mixed");
        QTest::addColumn<bool>("webMode");
        QTest::addColumn<bool>("autoStart");
        QTest::addColumn<QString>("pause");
        QTest::addColumn<qint64>("seconds");
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QString>("expected");

        const QString mixedLocal = totals(7, 5, 14, QStringLiteral(" 1 min")) +
                                   QStringLiteral("Approximate length of show: 840 seconds. "
                                                  "(14. minutes)\r\n"
                                                  "Some of the slides have sound files.\r\n");
        // Only the files still named by a path of this computer are listed,
        // once each, as the pages will name them.
        QTest::newRow("mixed, web based")
            << true << true << false << QStringLiteral(" 1 min") << qint64(60) << QLocale::c()
            << head(false, true) +
                   QStringLiteral("Files with local paths (potential access problems): \r\n"
                                  "D:\\other\\y.html\r\n/home/me/clip.mpeg") +
                   mixedLocal;
        QTest::newRow("mixed, local")
            << true << false << true << QStringLiteral(" 1 min") << qint64(60) << QLocale::c()
            << head(true, false) + mixedLocal;
        const QString tenSlides = head(false, false) + totals(10, 0, 10, QStringLiteral("30 sec"));
        QTest::newRow("30 s x 10 slides")
            << false << false << false << QStringLiteral("30 sec") << qint64(30) << QLocale::c()
            << tenSlides +
                   QStringLiteral("Approximate length of show: 300 seconds. (5. minutes)\r\n"
                                  "There are no sound files in any of the slides.\r\n");
        QTest::newRow("grouping and decimal of the locale")
            << false << false << false << QStringLiteral("30 sec") << qint64(123457)
            << QLocale(QLocale::German, QLocale::Germany)
            << tenSlides +
                   QStringLiteral("Approximate length of show: 1.234.570 seconds. (20.576,2 "
                                  "minutes)\r\nThere are no sound files in any of the slides.\r\n");
        // Beyond 16 and 32 bits: two days a slide.
        QTest::newRow("long show")
            << false << false << false << QStringLiteral(" 2 days") << qint64(172800) * 20000
            << QLocale::c()
            << head(false, false) + totals(10, 0, 10, QStringLiteral(" 2 days")) +
                   QStringLiteral("Approximate length of show: 34,560,000,000 seconds. "
                                  "(576,000,000. minutes)\r\n"
                                  "There are no sound files in any of the slides.\r\n");
        QTest::newRow("no valid pause")
            << false << false << false << QStringLiteral("soon") << qint64(-1) << QLocale::c()
            << head(false, false) + totals(10, 0, 10, QStringLiteral("soon")) +
                   QStringLiteral("There are no sound files in any of the slides.\r\n");
    }
    void report()
    {
        QFETCH(bool, mixed);
        QFETCH(bool, webMode);
        QFETCH(bool, autoStart);
        QFETCH(QString, pause);
        QFETCH(qint64, seconds);
        QFETCH(QLocale, locale);
        QFETCH(QString, expected);
        QLocale::setDefault(locale);
        colURLs show;
        if (mixed) {
            fillMixed(show);
        } else {
            for (int i = 0; i < 10; ++i)
                show.Add(QStringLiteral("http://example.com/%1.html").arg(i), QString(), 0, false);
        }
        WebShowAudit::Settings settings;
        settings.showName = QStringLiteral("Tour");
        settings.startPage = QStringLiteral("StrtShow.htm");
        settings.showPage = QStringLiteral("WebShow.htm");
        settings.title = QStringLiteral("Spring");
        settings.autoStart = autoStart;
        settings.webMode = webMode;
        settings.folder = QStringLiteral("/out");
        settings.localPath = QStringLiteral("C:\\Pages\\");
        settings.webPath = QStringLiteral("site/");
        settings.pauseText = pause;
        settings.pauseSeconds = seconds;
        QCOMPARE(WebShowAudit::RunAudit(show, settings), expected);
    }

    void oneDecimal_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("expected");
        QTest::newRow("zero") << 0.0 << QStringLiteral(".");
        QTest::newRow("under one") << 0.75 << QStringLiteral(".8");
        QTest::newRow("rounds to a whole") << 2.96 << QStringLiteral("3.");
        QTest::newRow("grouped") << 1234.5 << QStringLiteral("1,234.5");
    }
    void oneDecimal()
    {
        QFETCH(double, value);
        QFETCH(QString, expected);
        QCOMPARE(WebShowAudit::FormatOneDecimal(value), expected);
    }
};

QTEST_GUILESS_MAIN(tst_WebShowAudit)
#include "tst_WebShowAudit.moc"
