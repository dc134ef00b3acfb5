// SPDX-License-Identifier: GPL-3.0-or-later
#include "LogCapture.h"
#include "UnwritableFile.h"
#include "platform/ScriptedPrompts.h"
#include "show/colURLs.h"
#include "show/modInpExp.h"
#include "startup/modFileTools.h"
#include "startup/modMain.h"

#include <QDateTime>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include "TestFiles.h"

namespace {

QStringList addresses(const colURLs& show)
{
    QStringList result;
    for (const colURLs::Slide& slide : show)
        result.append(slide->HREF);
    return result;
}

QByteArray link(const QByteArray& href)
{
    return "<DT><A HREF=\"" + href + "\" ADD_DATE=\"1\">t</A>\r\n";
}

/// A bookmark line whose ADD_DATE begins at the given character (1-based).
QByteArray lineWithDateAt(int column)
{
    const QByteArray head = "<DT><A HREF=\"http://example.org/";
    return head + QByteArray(column - 1 - head.size() - 2, 'p') + "\" ADD_DATE=\"1\">t</A>";
}

/// The main window's side of the import command, recording what it was asked.
struct ImportWindow
{
    colURLs show;
    QString chosen;
    bool saveAnswer = true;
    bool bShowEdited = false;
    QStringList calls;
    modInpExp::FileChoice asked;

    modInpExp::ImportSteps steps()
    {
        modInpExp::ImportSteps s;
        s.chooseOpenFile = [this](const modInpExp::FileChoice& choice, VbError*) {
            calls.append(QStringLiteral("choose"));
            asked = choice;
            return chosen;
        };
        s.AskSaveShowEdits = [this] {
            calls.append(QStringLiteral("ask"));
            return saveAnswer;
        };
        s.StartNewShow = [this]() -> colURLs& {
            calls.append(QStringLiteral("new"));
            show.EraseAll();
            show.Changed = false;
            show.NewFile = true;
            return show;
        };
        s.Refresh = [this] { calls.append(QStringLiteral("refresh")); };
        s.bShowEdited = &bShowEdited;
        return s;
    }
};

} // namespace

class tst_bookmarks : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void dateToUnix_data();
    void dateToUnix();
    void exportedFile();
    void exportFailsKeepsOldFile();
    void roundTrip();
    void importLines_data();
    void importLines();
    void windows1252FoundLate();
    void browserExports_data();
    void browserExports();
    void unreadableFile();
    void importCommand_data();
    void importCommand();
    void exportCommand_data();
    void exportCommand();

private:
    QString path(const QString& name) const { return m_folder->filePath(name); }

    std::unique_ptr<QTemporaryDir> m_folder;
    std::unique_ptr<ScriptedPrompts> m_prompts;
};

void tst_bookmarks::init()
{
    m_folder = std::make_unique<QTemporaryDir>();
    QVERIFY(m_folder->isValid());
    m_prompts = std::make_unique<ScriptedPrompts>();
    modMain::SetProgramFolder(m_folder->path());
}

void tst_bookmarks::cleanup()
{
    m_prompts.reset();
    modMain::ResetProgramState();
    m_folder.reset();
}

void tst_bookmarks::dateToUnix_data()
{
    QTest::addColumn<double>("date");
    QTest::addColumn<qint64>("seconds");
    QTest::newRow("before 1970") << 20000.0 << qint64(0);
    QTest::newRow("noon 1 January 1970") << 25569.5 << qint64(43200);
    QTest::newRow("quarter second rounds down") << 45658.0 + 0.25 / 86400 << qint64(1735689600);
    QTest::newRow("past 2038") << 50425.0 << qint64(2147558400);
}

void tst_bookmarks::dateToUnix()
{
    QFETCH(double, date);
    QFETCH(qint64, seconds);
    QCOMPARE(modInpExp::DateToUnix(date), seconds);
}

void tst_bookmarks::exportedFile()
{
    colURLs show;
    show.Add(QStringLiteral("http://www.example.org/"), QStringLiteral("C:\\s.wav"), 30, false);
    show.Add(QStringLiteral("C:\\Shows\\Caf\u00e9.htm"), QString(), 0, true);
    show.Changed = true;
    const qint64 before = modInpExp::DateToUnix(
        modFileTools::ToAutomationDate(QDateTime::currentDateTime().addSecs(-1)));
    show.Export_Bookmarks(path(QStringLiteral("b.htm")));
    const qint64 after = modInpExp::DateToUnix(
        modFileTools::ToAutomationDate(QDateTime::currentDateTime().addSecs(1)));

    const QByteArray bytes = fileBytes(path(QStringLiteral("b.htm")));
    const QRegularExpressionMatch stamp =
        QRegularExpression(QStringLiteral("ADD_DATE=\"(\\d+)\"")).match(QString::fromUtf8(bytes));
    QVERIFY(stamp.hasMatch());
    const QByteArray t = stamp.captured(1).toLatin1();
    QVERIFY(t.toLongLong() >= before && t.toLongLong() <= after);
    const QByteArray dates =
        "\" ADD_DATE=\"" + t + "\" LAST_VISIT=\"" + t + "\" LAST_MODIFIED=\"" + t + "\"> ";
    QCOMPARE(bytes, "<!DOCTYPE NETSCAPE-Bookmark-file-1>\r\n"
                    "<!-- This is an automatically generated file.It will be read and overwritten."
                    "Do Not Edit! --><TITLE>Bookmarks</TITLE><H1>Bookmarks</H1><DL><p>\r\n"
                    "\t<DT><A HREF=\"http://www.example.org/" +
                        dates +
                        "http://www.example.org/</A>\r\n"
                        "\t<DT><A HREF=\"C:\\Shows\\Caf\xC3\xA9.htm" +
                        dates + "C:\\Shows\\Caf\xC3\xA9.htm</A>\r\n</DL><p>\r\n");
    QCOMPARE(show.Changed, false);
}

void tst_bookmarks::exportFailsKeepsOldFile()
{
    const QString file = path(QStringLiteral("locked.htm"));
    writeFile(file, "old bookmarks\r\n");
    UnwritableFile locked(file);
    if (!locked.holds())
        QSKIP("the file cannot be made unwritable here");
    colURLs show;
    show.Add(QStringLiteral("http://a/"), QString(), 0, false);
    show.Changed = true;

    show.Export_Bookmarks(file);
    QCOMPARE(fileBytes(file), QByteArray("old bookmarks\r\n"));
    QCOMPARE(show.Changed, true);
    QCOMPARE(m_prompts->texts(),
             QStringList(QStringLiteral("You selected an invalid file, "
                                        "Error: 75\r\nPath/File access error")));
}

void tst_bookmarks::roundTrip()
{
    const QStringList hrefs = {
        QStringLiteral("https://shop.example.com/search?q=red+shoes&size=42#results"),
        QStringLiteral("C:\\Shows\\Holiday pictures\\Caf\u00e9 terrace.jpg"),
        QStringLiteral("file:///home/presenter/\u65e5\u672c.html"),
        QStringLiteral("www.example.edu"),
        QStringLiteral("https://example.net/") + QString(200, u'x'),
        // Markup and entities in an address are text, and stay so.
        QStringLiteral("http://e.example/\"><script>alert('x')</script>&<"),
        QStringLiteral("http://e.example/?q=&amp;&#39;&lt"),
    };
    colURLs show;
    for (const QString& href : hrefs)
        show.Add(href, QStringLiteral("C:\\sound.wav"), 12, true);
    const QString file = path(QStringLiteral("round.htm"));
    show.Export_Bookmarks(file);
    QVERIFY(!fileBytes(file).contains("<script"));
    QVERIFY(fileBytes(file).contains("&quot;&gt;&lt;script&gt;alert(&#39;x&#39;)"));

    // Imported bookmarks are added after the slides already there.
    colURLs imported;
    imported.Add(QStringLiteral("http://old/"), QStringLiteral("s.wav"), 9, true);
    bool edited = false;
    QVERIFY(modInpExp::ReadInBookmarks(file, imported, &edited));
    QCOMPARE(addresses(imported), QStringList(QStringLiteral("http://old/")) + hrefs);
    QVERIFY(edited && imported.Changed);
    QCOMPARE(imported.Item(1)->PauseTime, 9);
    QCOMPARE(imported.Item(2)->PauseTime, 0);
    QCOMPARE(imported.Item(2)->SkipField, false);
}

void tst_bookmarks::importLines_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("mixed case, indented, LF ends")
        << QByteArray("<dt><a href=\"http://a/\" add_date=\"1\">a</a>\n"
                      "        <Dt><A hReF=\"http://b/\" Add_Date=\"1\" ICON=\"data:x\">b</A>")
        << QStringList{"http://a/", "http://b/"};
    QTest::newRow("folders, separators, descriptions, no ADD_DATE")
        << QByteArray("<DL><p>\r\n<DT><H3 ADD_DATE=\"1\">Folder</H3>\r\n<DL><p>\r\n" +
                      link("http://in.folder/") +
                      "<DD>A description ADD_DATE\r\n<HR>\r\n</DL><p>\r\n"
                      "<DT><A HREF=\"http://nodate/\">no date</A>\r\n" +
                      link("http://after/") + "</DL><p>\r\n")
        << QStringList{"http://in.folder/", "http://after/"};
    QTest::newRow("empty address") << link("") << QStringList();
    QTest::newRow("address runs to the blank before ADD_DATE")
        << link("http://a/\" ICON=\"data:,") << QStringList{"http://a/\" ICON=\"data:,"};
    QTest::newRow("entities as browsers write them")
        << link("http://a/"
                "?x=1&amp;y=&#39;2&#39;&#x41;&#X42;&lt;&gt;&quot;&bogus;&#0;&#xD800;&amp;amp;&")
        << QStringList{"http://a/?x=1&y='2'AB<>\"&bogus;&#0;&#xD800;&amp;&"};
    QTest::newRow("no bookmarks") << QByteArray("<!DOCTYPE NETSCAPE-Bookmark-file-1>\r\n")
                                  << QStringList();
    QTest::newRow("Windows-1252") << link("http://x/caf\xE9\x80")
                                  << QStringList{QStringLiteral("http://x/caf\u00e9\u20ac")};
    QTest::newRow("byte-order mark")
        << "\xEF\xBB\xBF" + link("http://a/") << QStringList{"http://a/"};
    QTest::newRow("ADD_DATE before the tag")
        << "ADD_DATE=\"1\" <DT><A HREF=\"http://odd/\">odd</A>\r\n" + link("http://good/")
        << QStringList{"http://good/"};
    // ADD_DATE must lie whole within the first 256 characters of its line.
    for (const int column : {249, 250}) {
        const QByteArray line = lineWithDateAt(column);
        const QString href = QString::fromLatin1(line.mid(13, line.indexOf("\" ADD") - 13));
        QTest::addRow("ADD_DATE at character %d", column)
            << line + "\r\n" + link("http://next/")
            << (column <= 249 ? QStringList{href, "http://next/"} : QStringList{"http://next/"});
    }
    // Characters count, not bytes: ADD_DATE at character 175 (byte 325), then 275.
    const auto wide = [](int n) {
        return link(QStringLiteral("http://x/%1").arg(QString(n, QChar(0xE9))).toUtf8());
    };
    QTest::newRow("two-byte characters")
        << wide(150) + wide(250) << QStringList{"http://x/" + QString(150, QChar(0xE9))};
}

void tst_bookmarks::importLines()
{
    QFETCH(QByteArray, file);
    QFETCH(QStringList, expected);
    const QString name = path(QStringLiteral("lines.htm"));
    writeFile(name, file);
    colURLs show;
    bool edited = false;
    QCOMPARE(modInpExp::ReadInBookmarks(name, show, &edited), !expected.isEmpty());
    QCOMPARE(addresses(show), expected);
    QCOMPARE(show.Changed, !expected.isEmpty());
    QCOMPARE(edited, !expected.isEmpty());
}

void tst_bookmarks::windows1252FoundLate()
{
    // The byte that is no UTF-8 lies past the first block read: the file is
    // read again as Windows-1252, and no bookmark stays twice.
    QByteArray file;
    int lines = 0;
    while (file.size() < 9 * 1024 * 1024)
        file += link("http://example.org/" + QByteArray::number(lines++));
    file += link("http://x/caf\xE9");
    const QString name = path(QStringLiteral("late.htm"));
    writeFile(name, file);
    colURLs show;
    show.Add(QStringLiteral("http://old/"), QString(), 0, false);

    QVERIFY(modInpExp::ReadInBookmarks(name, show));
    QCOMPARE(show.Count(), 1 + lines + 1);
    QCOMPARE(show.Item(2)->HREF, QStringLiteral("http://example.org/0"));
    QCOMPARE(show.Item(show.Count())->HREF, QStringLiteral("http://x/caf\u00e9"));
}

void tst_bookmarks::browserExports_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QStringList>("expected");
    // The saved booking search has its ADD_DATE past the line buffer: left out.
    QTest::newRow("Chromium-family export")
        << QStringLiteral("chromium-export.html")
        << QStringList{
               QStringLiteral("https://www.lakeside-club.example/news/"),
               QStringLiteral("https://museum.example.org/exhibitions/2024/summer?lang=en"),
               QStringLiteral("https://trains.example.net/timetable#north"),
               QStringLiteral("https://maps.example.com/place/Caf\u00e9 du Lac/@46.2,6.1,17z"),
               QStringLiteral("https://hotel-alpenblick.example.ch/zimmer"),
               QStringLiteral("https://hotel-seeblick.example.at/"),
               QStringLiteral("http://intranet.example/wiki/Quarterly_Review"),
               QStringLiteral("file:///home/presenter/shows/welcome.html"),
               QStringLiteral("https://\u00fcbersetzung.example.de/w\u00f6rterbuch/\u65e5\u672c"),
           };
    QTest::newRow("Firefox-style export")
        << QStringLiteral("firefox-export.html")
        << QStringList{
               QStringLiteral("https://www.city-library.example/catalogue"),
               QStringLiteral("https://weather.example.com/forecast/lausanne"),
               QStringLiteral("https://recipes.example.net/soup/leek-and-potato"),
               QStringLiteral("https://recipes.example.net/bread/rye"),
               QStringLiteral("https://www.example.edu/courses"),
           };
}

void tst_bookmarks::browserExports()
{
    QFETCH(QString, file);
    QFETCH(QStringList, expected);
    colURLs show;
    QVERIFY(modInpExp::ReadInBookmarks(QStringLiteral(PW_TEST_DATA "/") + file, show));
    QCOMPARE(addresses(show), expected);
}

void tst_bookmarks::unreadableFile()
{
    colURLs show;
    QVERIFY(!modInpExp::ReadInBookmarks(path(QStringLiteral("missing.htm")), show));
    QVERIFY(!modInpExp::ReadInBookmarks(QString(), show));
    QVERIFY(!modInpExp::ReadInBookmarks(m_folder->path(), show));
    QCOMPARE(show.Count(), 0);
    QCOMPARE(show.Changed, false);
    QVERIFY(m_prompts->shown().isEmpty());
}

void tst_bookmarks::importCommand_data()
{
    QTest::addColumn<bool>("changed");
    QTest::addColumn<bool>("saveAnswer");
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QStringList>("calls");
    QTest::addColumn<QStringList>("result");

    const QStringList newShow{"choose", "new", "refresh"};
    const QStringList ab{"http://a/", "http://b/"};
    QTest::newRow("unedited show") << false << false << "b.htm" << newShow << ab;
    QTest::newRow("edited show, saved")
        << true << true << "b.htm" << QStringList{"choose", "ask", "new", "refresh"} << ab;
    QTest::newRow("edited show, cancelled")
        << true << false << "b.htm" << QStringList{"choose", "ask"} << QStringList{"http://old/"};
    QTest::newRow("dialog cancelled")
        << true << true << QString() << QStringList{"choose"} << QStringList{"http://old/"};
    // No bookmarks: a new, empty show marked changed, and a message.
    QTest::newRow("no bookmarks in file")
        << false << false << "none.htm" << newShow << QStringList();
    QTest::newRow("file missing") << false << false << "gone.htm" << newShow << QStringList();
}

void tst_bookmarks::importCommand()
{
    QFETCH(bool, changed);
    QFETCH(bool, saveAnswer);
    QFETCH(QString, chosen);
    QFETCH(QStringList, calls);
    QFETCH(QStringList, result);
    writeFile(path(QStringLiteral("b.htm")), link("http://a/") + link("http://b/"));
    writeFile(path(QStringLiteral("none.htm")),
              "<!DOCTYPE NETSCAPE-Bookmark-file-1>\r\n<DL><p>\r\n");
    ImportWindow window;
    window.show.Add(QStringLiteral("http://old/"), QString(), 0, false);
    window.show.Changed = changed;
    window.chosen = chosen.isEmpty() ? chosen : path(chosen);
    window.saveAnswer = saveAnswer;

    modInpExp::ImportBookmarksCommand(window.show, window.steps());

    QCOMPARE(window.calls, calls);
    QCOMPARE(window.asked.InitDir, modMain::AppFolder + QStringLiteral("data"));
    QCOMPARE(addresses(window.show), result);
    if (calls.contains(QStringLiteral("new"))) {
        QVERIFY(window.show.Changed);
        // A file that could not be opened never tells the window of the edit.
        QCOMPARE(window.bShowEdited, chosen != QStringLiteral("gone.htm"));
    }
    QCOMPARE(m_prompts->texts(),
             result.isEmpty() ? QStringList{"No bookmarks were readable in file or file not found."}
                              : QStringList());
}

void tst_bookmarks::exportCommand_data()
{
    QTest::addColumn<bool>("exists");
    QTest::addColumn<QList<int>>("answers");
    QTest::addColumn<int>("dialogs");
    QTest::addColumn<bool>("written");

    QTest::newRow("new file") << false << QList<int>() << 1 << true;
    QTest::newRow("overwrite") << true << QList<int>{Prompts::vbYes} << 1 << true;
    QTest::newRow("no, then yes: the dialog again")
        << true << QList<int>{Prompts::vbNo, Prompts::vbYes} << 2 << true;
    QTest::newRow("cancel") << true << QList<int>{Prompts::vbCancel} << 1 << false;
}

void tst_bookmarks::exportCommand()
{
    QFETCH(bool, exists);
    QFETCH(QList<int>, answers);
    QFETCH(int, dialogs);
    QFETCH(bool, written);

    const QString file = path(QStringLiteral("Bookmarks.htm"));
    if (exists)
        writeFile(file, "old");
    for (const int answer : answers)
        m_prompts->answer(answer);
    colURLs show;
    show.Add(QStringLiteral("http://a/"), QString(), 0, false);
    show.NewFile = true;
    show.Changed = true;

    int asked = 0;
    modInpExp::ExportBookmarksCommand(
        show,
        [&](const modInpExp::FileChoice&, VbError*) {
            ++asked;
            return file;
        },
        4711);

    QCOMPARE(asked, dialogs);
    QCOMPARE(m_prompts->shown().size(), answers.size());
    for (const Prompts::Request& box : m_prompts->shown())
        QCOMPARE(box.text, QStringLiteral("Do you want to overwrite this file?"));
    QCOMPARE(fileBytes(file).contains("http://a/"), written);
    QCOMPARE(show.Changed, !written);
}

QTEST_GUILESS_MAIN(tst_bookmarks)
#include "tst_show_bookmarks.moc"
