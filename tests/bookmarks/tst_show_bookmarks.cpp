// SPDX-License-Identifier: GPL-3.0-or-later
#include "TestFiles.h"
#include "UnwritableFile.h"
#include "platform/ScriptedPrompts.h"
#include "show/colURLs.h"
#include "show/modInpExp.h"
#include "startup/modFileTools.h"
#include "startup/modMain.h"

#include <QDateTime>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

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

} // namespace

class tst_bookmarks : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_folder;
    std::unique_ptr<ScriptedPrompts> m_prompts;

    QString path(const QString& name) const { return m_folder->filePath(name); }

private Q_SLOTS:
    void init()
    {
        m_folder = std::make_unique<QTemporaryDir>();
        QVERIFY(m_folder->isValid());
        m_prompts = std::make_unique<ScriptedPrompts>();
        modMain::SetProgramFolder(m_folder->path());
    }
    void cleanup()
    {
        m_prompts.reset();
        modMain::ResetProgramState();
        m_folder.reset();
    }
    void dateToUnix()
    {
        // None before 1970, part seconds round down, past 2038 still counts.
        QList<qint64> seconds;
        for (const double date : {20000.0, 25569.5, 45658.0 + 0.25 / 86400, 50425.0})
            seconds.append(modInpExp::DateToUnix(date));
        QCOMPARE(seconds, (QList<qint64>{0, 43200, 1735689600, 2147558400}));
    }
    void exportAndImport()
    {
        // Markup and entities in an address are text, and stay so.
        const QStringList hrefs = {"http://www.example.org/",
                                   "C:\\Shows\\Caf\u00e9.htm",
                                   "https://shop.example.com/search?q=red+shoes&size=42#results",
                                   "file:///home/presenter/\u65e5\u672c.html",
                                   "www.example.edu",
                                   "https://example.net/" + QString(200, u'x'),
                                   "http://e.example/\"><script>alert('x')</script>&<",
                                   "http://e.example/?q=&amp;&#39;&lt"};
        colURLs show;
        for (const QString& href : hrefs)
            show.Add(href, "C:\\s.wav", 30, true);
        show.Changed = true;
        const auto now = [](int offset) {
            return modInpExp::DateToUnix(
                modFileTools::ToAutomationDate(QDateTime::currentDateTime().addSecs(offset)));
        };
        const qint64 before = now(-1);
        show.Export_Bookmarks(path("b.htm"));
        const qint64 after = now(1);
        QCOMPARE(show.Changed, false);
        const QByteArray bytes = fileBytes(path("b.htm"));
        const QRegularExpressionMatch stamp =
            QRegularExpression("ADD_DATE=\"(\\d+)\"").match(QString::fromUtf8(bytes));
        QVERIFY(stamp.hasMatch());
        const QByteArray t = stamp.captured(1).toLatin1();
        QVERIFY(t.toLongLong() >= before && t.toLongLong() <= after);
        const QByteArray dates =
            "\" ADD_DATE=\"" + t + "\" LAST_VISIT=\"" + t + "\" LAST_MODIFIED=\"" + t + "\"> ";
        QVERIFY(bytes.startsWith(QByteArray(
            "<!DOCTYPE NETSCAPE-Bookmark-file-1>\r\n"
            "<!-- This is an automatically generated file.It will be read and overwritten."
            "Do Not Edit! --><TITLE>Bookmarks</TITLE><H1>Bookmarks</H1><DL><p>\r\n"
            "\t<DT><A HREF=\"http://www.example.org/" +
            dates + "http://www.example.org/</A>\r\n\t<DT><A HREF=\"C:\\Shows\\Caf\xC3\xA9.htm" +
            dates + "C:\\Shows\\Caf\xC3\xA9.htm</A>\r\n\t<DT><A HREF=\"https://shop.")));
        QVERIFY(bytes.endsWith("&amp;lt</A>\r\n</DL><p>\r\n"));
        QVERIFY(!bytes.contains("<script"));
        QVERIFY(bytes.contains("&quot;&gt;&lt;script&gt;alert(&#39;x&#39;)"));

        // Imported bookmarks are added after the slides already there.
        colURLs imported;
        imported.Add("http://old/", "s.wav", 9, true);
        bool edited = false;
        QVERIFY(modInpExp::ReadInBookmarks(path("b.htm"), imported, &edited));
        QCOMPARE(addresses(imported), QStringList("http://old/") + hrefs);
        QCOMPARE(std::tuple(edited, imported.Changed, imported.Item(1)->PauseTime,
                            imported.Item(2)->PauseTime, imported.Item(2)->SkipField),
                 std::tuple(true, true, 9, 0, false));

        // A file that cannot be written is kept, and so is the show's mark.
        UnwritableFile locked(path("b.htm"));
        if (!locked.holds())
            QSKIP("the file cannot be made unwritable here");
        show.Changed = true;
        show.Add("http://a/", QString(), 0, false);
        show.Export_Bookmarks(path("b.htm"));
        QCOMPARE(fileBytes(path("b.htm")), bytes);
        QCOMPARE(show.Changed, true);
        QCOMPARE(m_prompts->texts(),
                 QStringList("You selected an invalid file, Error: 75\r\nPath/File access error"));
    }
    void importLines_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QStringList>("expected");

        // Folders, separators and descriptions are no bookmarks, nor is a link without
        // ADD_DATE, nor an empty address, nor ADD_DATE before the tag. The address runs
        // to the blank before ADD_DATE and has the entities browsers write decoded.
        // ADD_DATE must lie whole within the first 256 characters (not bytes) of its line.
        const QByteArray longHref = "http://example.org/" + QByteArray(214, 'p');
        const auto wide = [](int n) {
            return link(("http://x/" + QString(n, u'\u00e9')).toUtf8());
        };
        QTest::newRow("bookmark lines")
            << "<DL><p>\r\n<DT><H3 ADD_DATE=\"1\">Folder</H3>\r\n<DL><p>\r\n" +
                   link("http://in.folder/") +
                   "<DD>A description ADD_DATE\r\n<HR>\r\n</DL><p>\r\n"
                   "<DT><A HREF=\"http://nodate/\">no date</A>\r\n" +
                   link("") + "ADD_DATE=\"1\" <DT><A HREF=\"http://odd/\">odd</A>\r\n" +
                   link("http://a/\" ICON=\"data:,") +
                   link("http://a/?x=1&amp;y=&#39;2&#39;&#x41;&#X42;&lt;&gt;&quot;&bogus;&#0;"
                        "&#xD800;&amp;amp;&") +
                   link(longHref) + link(longHref + 'p') + wide(150) + wide(250) +
                   "<dt><a href=\"http://lf/\" add_date=\"1\">a</a>\n"
                   "        <Dt><A hReF=\"http://b/\" Add_Date=\"1\" ICON=\"data:x\">b</A>"
            << QStringList{"http://in.folder/",
                           "http://a/\" ICON=\"data:,",
                           "http://a/?x=1&y='2'AB<>\"&bogus;&#0;&#xD800;&amp;&",
                           longHref,
                           "http://x/" + QString(150, u'\u00e9'),
                           "http://lf/",
                           "http://b/"};
        QTest::newRow("no bookmarks")
            << QByteArray("<!DOCTYPE NETSCAPE-Bookmark-file-1>\r\n") << QStringList();
        QTest::newRow("Windows-1252")
            << link("http://x/caf\xE9\x80") << QStringList{"http://x/caf\u00e9\u20ac"};
        // Past the first block read: the file is read again, no bookmark twice.
        QByteArray late;
        QStringList lateHrefs;
        while (late.size() < 9 * 1024 * 1024) {
            lateHrefs.append("http://example.org/" + QString::number(lateHrefs.size()));
            late += link(lateHrefs.last().toLatin1());
        }
        QTest::newRow("Windows-1252 found late")
            << late + link("http://x/caf\xE9") << lateHrefs + QStringList{"http://x/caf\u00e9"};
        QTest::newRow("byte-order mark")
            << "\xEF\xBB\xBF" + link("http://a/") << QStringList{"http://a/"};
    }
    void importLines()
    {
        QFETCH(QByteArray, file);
        QFETCH(QStringList, expected);
        writeFile(path("lines.htm"), file);
        colURLs show;
        show.Add("http://old/", QString(), 0, false);
        show.Changed = false;
        bool edited = false;
        const bool read = modInpExp::ReadInBookmarks(path("lines.htm"), show, &edited);
        QCOMPARE(addresses(show), QStringList("http://old/") + expected);
        const bool found = !expected.isEmpty();
        QCOMPARE(std::tuple(read, show.Changed, edited), std::tuple(found, found, found));
    }
    void browserExports()
    {
        // The saved booking search has its ADD_DATE past the line buffer: left out.
        colURLs show;
        QVERIFY(modInpExp::ReadInBookmarks(PW_TEST_DATA "/chromium-export.html", show));
        QVERIFY(modInpExp::ReadInBookmarks(PW_TEST_DATA "/firefox-export.html", show));
        QCOMPARE(addresses(show),
                 (QStringList{"https://www.lakeside-club.example/news/",
                              "https://museum.example.org/exhibitions/2024/summer?lang=en",
                              "https://trains.example.net/timetable#north",
                              "https://maps.example.com/place/Caf\u00e9 du Lac/@46.2,6.1,17z",
                              "https://hotel-alpenblick.example.ch/zimmer",
                              "https://hotel-seeblick.example.at/",
                              "http://intranet.example/wiki/Quarterly_Review",
                              "file:///home/presenter/shows/welcome.html",
                              "https://\u00fcbersetzung.example.de/w\u00f6rterbuch/\u65e5\u672c",
                              "https://www.city-library.example/catalogue",
                              "https://weather.example.com/forecast/lausanne",
                              "https://recipes.example.net/soup/leek-and-potato",
                              "https://recipes.example.net/bread/rye",
                              "https://www.example.edu/courses"}));
        // Files that cannot be read add nothing and say nothing.
        show.EraseAll();
        show.Changed = false;
        for (const QString& name : {path("missing.htm"), QString(), m_folder->path()})
            QVERIFY(!modInpExp::ReadInBookmarks(name, show));
        QCOMPARE(show.Count(), 0);
        QCOMPARE(show.Changed, false);
        QVERIFY(m_prompts->shown().isEmpty());
    }
    void importCommand_data()
    {
        QTest::addColumn<bool>("changed");
        QTest::addColumn<bool>("saveAnswer");
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QStringList>("calls");
        QTest::addColumn<QStringList>("result");

        const QStringList newShow{"choose", "new", "refresh"}, ab{"http://a/", "http://b/"};
        QTest::newRow("unedited show") << false << false << "b.htm" << newShow << ab;
        QTest::newRow("edited show, saved")
            << true << true << "b.htm" << QStringList{"choose", "ask", "new", "refresh"} << ab;
        QTest::newRow("edited show, cancelled")
            << true << false << "b.htm" << QStringList{"choose", "ask"}
            << QStringList{"http://old/"};
        QTest::newRow("dialog cancelled")
            << true << true << QString() << QStringList{"choose"} << QStringList{"http://old/"};
        // No bookmarks: a new, empty show marked changed, and a message.
        QTest::newRow("no bookmarks in file")
            << false << false << "none.htm" << newShow << QStringList();
        QTest::newRow("file missing") << false << false << "gone.htm" << newShow << QStringList();
    }
    void importCommand()
    {
        QFETCH(bool, changed);
        QFETCH(bool, saveAnswer);
        QFETCH(QString, chosen);
        QFETCH(QStringList, calls);
        QFETCH(QStringList, result);
        writeFile(path("b.htm"), link("http://a/") + link("http://b/"));
        writeFile(path("none.htm"), "<!DOCTYPE NETSCAPE-Bookmark-file-1>\r\n<DL><p>\r\n");
        colURLs show;
        show.Add("http://old/", QString(), 0, false);
        show.Changed = changed;
        // The main window's side of the command, recording what it was asked.
        QStringList asked;
        QString initDir;
        bool edited = false;
        modInpExp::ImportSteps steps;
        steps.chooseOpenFile = [&](const modInpExp::FileChoice& choice, VbError*) {
            asked.append("choose");
            initDir = choice.InitDir;
            return chosen.isEmpty() ? chosen : path(chosen);
        };
        steps.AskSaveShowEdits = [&] {
            asked.append("ask");
            return saveAnswer;
        };
        steps.StartNewShow = [&]() -> colURLs& {
            asked.append("new");
            show.EraseAll();
            show.Changed = false;
            return show;
        };
        steps.Refresh = [&] { asked.append("refresh"); };
        steps.bShowEdited = &edited;
        modInpExp::ImportBookmarksCommand(show, steps);

        QCOMPARE(asked, calls);
        QCOMPARE(initDir, modMain::AppFolder + "data");
        QCOMPARE(addresses(show), result);
        if (calls.contains("new")) {
            QVERIFY(show.Changed);
            // A file that could not be opened never tells the window of the edit.
            QCOMPARE(edited, chosen != "gone.htm");
        }
        QCOMPARE(m_prompts->texts(),
                 result.isEmpty()
                     ? QStringList{"No bookmarks were readable in file or file not found."}
                     : QStringList());
    }
    void exportCommand_data()
    {
        QTest::addColumn<QList<int>>("answers"); // none: no file there yet
        QTest::addColumn<int>("dialogs");
        QTest::addColumn<bool>("written");

        QTest::newRow("new file") << QList<int>() << 1 << true;
        QTest::newRow("overwrite") << QList<int>{Prompts::vbYes} << 1 << true;
        QTest::newRow("no, then yes: the dialog again")
            << QList<int>{Prompts::vbNo, Prompts::vbYes} << 2 << true;
        QTest::newRow("cancel") << QList<int>{Prompts::vbCancel} << 1 << false;
    }
    void exportCommand()
    {
        QFETCH(QList<int>, answers);
        QFETCH(int, dialogs);
        QFETCH(bool, written);
        const QString file = path("Bookmarks.htm");
        if (!answers.isEmpty())
            writeFile(file, "old");
        for (const int answer : answers)
            m_prompts->answer(answer);
        colURLs show;
        show.Add("http://a/", QString(), 0, false);
        show.NewFile = true;
        show.Changed = true;
        int asked = 0;
        const auto choose = [&](const modInpExp::FileChoice&, VbError*) {
            ++asked;
            return file;
        };
        modInpExp::ExportBookmarksCommand(show, choose, 4711);

        QCOMPARE(asked, dialogs);
        QCOMPARE(m_prompts->shown().size(), answers.size());
        for (const Prompts::Request& box : m_prompts->shown())
            QCOMPARE(box.text, "Do you want to overwrite this file?");
        QCOMPARE(fileBytes(file).contains("http://a/"), written);
        QCOMPARE(show.Changed, !written);
    }
};

QTEST_GUILESS_MAIN(tst_bookmarks)
#include "tst_show_bookmarks.moc"
