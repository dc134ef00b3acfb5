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

namespace {

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList addresses(const colURLs& show)
{
    QStringList result;
    for (const colURLs::Slide& slide : show)
        result.append(slide->HREF);
    return result;
}

/// A bookmark line whose ADD_DATE begins at the given character (1-based),
/// the address filled up to reach it.
QByteArray lineWithDateAt(int column)
{
    const QByteArray head = "<DT><A HREF=\"http://example.org/";
    const QByteArray address = QByteArray(column - 1 - head.size() - 2, 'p');
    const QByteArray line = head + address + "\" ADD_DATE=\"1\">t</A>";
    Q_ASSERT(line.indexOf("ADD_DATE") == column - 1);
    return line;
}

QString lineAddress(const QByteArray& line)
{
    const qsizetype start = line.indexOf('"') + 1;
    return QString::fromLatin1(line.mid(start, line.indexOf('"', start) - start));
}

/// The main window's side of the import command, recording what it was asked.
struct ImportWindow
{
    colURLs show;
    QString chosen;
    VbError dialogError;
    bool saveAnswer = true;
    bool bShowEdited = false;
    QStringList calls;
    modInpExp::FileChoice asked;

    modInpExp::ImportSteps steps()
    {
        modInpExp::ImportSteps s;
        s.chooseOpenFile = [this](const modInpExp::FileChoice& choice, VbError* error) {
            calls.append(QStringLiteral("choose"));
            asked = choice;
            *error = dialogError;
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

const QString NoBookmarks = QStringLiteral("No bookmarks were readable in file or file not found.");

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
    void exportEmptyShow();
    void exportDebugLog();
    void exportFails();
    void roundTrip();

    void importLines_data();
    void importLines();
    void theLineBufferCountsCharacters();
    void addressBeforeTag();
    void appendsToTheShow();
    void windows1252FoundLate_data();
    void windows1252FoundLate();
    void browserExports_data();
    void browserExports();
    void unreadableFile();

    void importCommand();
    void importCommandSavesEditsFirst_data();
    void importCommandSavesEditsFirst();
    void importCommandWithoutBookmarks();
    void importCommandDialogFails();
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
    QTest::newRow("1 January 1970") << 25569.0 << qint64(0);
    QTest::newRow("noon of that day") << 25569.5 << qint64(43200);
    QTest::newRow("2 January 1970") << 25570.0 << qint64(86400);
    QTest::newRow("1 January 2025") << 45658.0 << qint64(1735689600);
    QTest::newRow("a quarter second rounds down") << 45658.0 + 0.25 / 86400 << qint64(1735689600);
    QTest::newRow("past 2038 needs more than 32 bits") << 50425.0 << qint64(2147558400);
    QTest::newRow("zero date") << 0.0 << qint64(0);
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
    show.NewFile = true;

    const qint64 before = modInpExp::DateToUnix(
        modFileTools::ToAutomationDate(QDateTime::currentDateTime().addSecs(-1)));
    show.Export_Bookmarks(path(QStringLiteral("b.htm")));
    const qint64 after = modInpExp::DateToUnix(
        modFileTools::ToAutomationDate(QDateTime::currentDateTime().addSecs(1)));

    const QByteArray bytes = fileBytes(path(QStringLiteral("b.htm")));
    const QRegularExpression stampPattern(QStringLiteral("ADD_DATE=\"(\\d+)\""));
    const QRegularExpressionMatch stamp = stampPattern.match(QString::fromUtf8(bytes));
    QVERIFY(stamp.hasMatch());
    const QByteArray t = stamp.captured(1).toLatin1();
    QVERIFY(t.toLongLong() >= before && t.toLongLong() <= after);

    // Sound, pause and skip flag are not part of a bookmark.
    const QByteArray expected =
        "<!DOCTYPE NETSCAPE-Bookmark-file-1>\r\n"
        "<!-- This is an automatically generated file.It will be read and overwritten."
        "Do Not Edit! --><TITLE>Bookmarks</TITLE><H1>Bookmarks</H1><DL><p>\r\n"
        "\t<DT><A HREF=\"http://www.example.org/\" ADD_DATE=\"" +
        t + "\" LAST_VISIT=\"" + t + "\" LAST_MODIFIED=\"" + t +
        "\"> http://www.example.org/</A>\r\n"
        "\t<DT><A HREF=\"C:\\Shows\\Caf\xC3\xA9.htm\" ADD_DATE=\"" +
        t + "\" LAST_VISIT=\"" + t + "\" LAST_MODIFIED=\"" + t +
        "\"> C:\\Shows\\Caf\xC3\xA9.htm</A>\r\n"
        "</DL><p>\r\n";
    QCOMPARE(bytes, expected);
    QCOMPARE(show.Changed, false);
    QCOMPARE(show.NewFile, true);
    QVERIFY(m_prompts->shown().isEmpty());
}

void tst_bookmarks::exportEmptyShow()
{
    colURLs show;
    show.Export_Bookmarks(path(QStringLiteral("empty.htm")));
    QCOMPARE(fileBytes(path(QStringLiteral("empty.htm"))),
             QByteArray("<!DOCTYPE NETSCAPE-Bookmark-file-1>\r\n"
                        "<!-- This is an automatically generated file.It will be read and "
                        "overwritten.Do Not Edit! --><TITLE>Bookmarks</TITLE><H1>Bookmarks</H1>"
                        "<DL><p>\r\n"
                        "</DL><p>\r\n"));
}

void tst_bookmarks::exportDebugLog()
{
    LogCapture log(m_folder->path(), true, false);
    colURLs show;
    show.Add(QStringLiteral("http://a/"), QString(), 0, false);
    show.Add(QStringLiteral("http://b/"), QString(), 0, false);
    const QString file = path(QStringLiteral("log.htm"));
    show.Export_Bookmarks(file);
    QCOMPARE(log.messages(),
             QStringList({QStringLiteral("Saving contents to file: ") + file,
                          QStringLiteral("URL: http://a/"), QStringLiteral("URL: http://b/")}));
}

void tst_bookmarks::exportFails()
{
    const QString file = path(QStringLiteral("locked.htm"));
    writeFile(file, "old bookmarks\r\n");
    UnwritableFile locked(file);
    if (!locked.holds())
        QSKIP("the file cannot be made unwritable here");
    LogCapture log(m_folder->path(), false, true);
    colURLs show;
    show.Add(QStringLiteral("http://a/"), QString(), 0, false);
    show.Changed = true;

    show.Export_Bookmarks(file);

    QCOMPARE(fileBytes(file), QByteArray("old bookmarks\r\n"));
    QCOMPARE(show.Changed, true);
    QCOMPARE(m_prompts->texts(),
             QStringList(QStringLiteral("You selected an invalid file, Error: 75\r\n"
                                        "Path/File access error")));
    QCOMPARE(m_prompts->shown().constFirst().buttons, Prompts::vbOKOnly);
    QCOMPARE(log.messages(),
             QStringList(QStringLiteral("Export Bookmarks: user selected an invalid file, "
                                        "Error: 75\r\nPath/File access error")));

    // A folder that does not exist.
    m_prompts->clear();
    show.Export_Bookmarks(path(QStringLiteral("missing/b.htm")));
    QCOMPARE(m_prompts->texts(), QStringList(QStringLiteral(
                                     "You selected an invalid file, Error: 76\r\nPath not found")));
}

void tst_bookmarks::roundTrip()
{
    const QStringList hrefs = {
        QStringLiteral("http://www.example.org/"),
        QStringLiteral("https://shop.example.com/search?q=red+shoes&size=42#results"),
        QStringLiteral("C:\\Shows\\Holiday pictures\\Caf\u00e9 terrace.jpg"),
        QStringLiteral("/home/presenter/shows/review/slide 3.htm"),
        QStringLiteral("file:///home/presenter/\u65e5\u672c.html"),
        QStringLiteral("www.example.edu"),
        QStringLiteral("https://example.net/") + QString(200, u'x'),
    };
    colURLs show;
    for (const QString& href : hrefs)
        show.Add(href, QStringLiteral("C:\\sound.wav"), 12, true);
    const QString file = path(QStringLiteral("round.htm"));
    show.Export_Bookmarks(file);

    colURLs imported;
    bool edited = false;
    QVERIFY(modInpExp::ReadInBookmarks(file, imported, &edited));
    QCOMPARE(addresses(imported), hrefs);
    QVERIFY(edited);
    QVERIFY(imported.Changed);
    for (const colURLs::Slide& slide : imported) {
        QVERIFY(slide->SoundFile.isEmpty());
        QCOMPARE(slide->PauseTime, 0);
        QCOMPARE(slide->SkipField, false);
    }
}

void tst_bookmarks::importLines_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("upper case") << QByteArray("<DT><A HREF=\"http://a/\" ADD_DATE=\"1\">a</A>\r\n")
                                << QStringList{"http://a/"};
    QTest::newRow("lower case tags")
        << QByteArray("<dt><a href=\"http://a/\" add_date=\"1\">a</a>\n")
        << QStringList{"http://a/"};
    QTest::newRow("mixed case, indented, LF ends")
        << QByteArray("        <Dt><A hReF=\"http://a/\" Add_Date=\"1\">a</A>\n"
                      "\t<DT><A HREF=\"http://b/\" ADD_DATE=\"2\" ICON=\"data:x\">b</A>")
        << QStringList{"http://a/", "http://b/"};
    QTest::newRow("folders, separators and descriptions are passed over")
        << QByteArray("<DL><p>\r\n"
                      "<DT><H3 ADD_DATE=\"1\" LAST_MODIFIED=\"2\">Folder</H3>\r\n"
                      "<DL><p>\r\n"
                      "<DT><A HREF=\"http://in.folder/\" ADD_DATE=\"1\">x</A>\r\n"
                      "<DD>A description ADD_DATE\r\n"
                      "<HR>\r\n"
                      "</DL><p>\r\n"
                      "<DT><A HREF=\"http://after.folder/\" ADD_DATE=\"1\">y</A>\r\n"
                      "</DL><p>\r\n")
        << QStringList{"http://in.folder/", "http://after.folder/"};
    QTest::newRow("a bookmark after one without ADD_DATE still counts")
        << QByteArray("<DT><A HREF=\"http://nodate/\">no date</A>\r\n"
                      "<DT><A HREF=\"http://next/\" ADD_DATE=\"1\">next</A>\r\n"
                      "<DT><A HREF=\"http://nodate2/\" LAST_VISIT=\"3\">no date</A>\r\n"
                      "<DT><A HREF=\"http://last/\" ADD_DATE=\"1\">last</A>")
        << QStringList{"http://next/", "http://last/"};
    QTest::newRow("an empty address adds nothing")
        << QByteArray("<DT><A HREF=\"\" ADD_DATE=\"1\">empty</A>\r\n") << QStringList();
    QTest::newRow("the address runs to the blank before ADD_DATE")
        << QByteArray("<DT><A HREF=\"http://a/\" ICON=\"data:,\" ADD_DATE=\"1\">a</A>\r\n")
        << QStringList{"http://a/\" ICON=\"data:,"};
    QTest::newRow("no bookmarks at all")
        << QByteArray("<!DOCTYPE NETSCAPE-Bookmark-file-1>\r\n<TITLE>Bookmarks</TITLE>\r\n")
        << QStringList();
    QTest::newRow("Windows-1252 file")
        << QByteArray("<DT><A HREF=\"http://x/caf\xE9\x80\" ADD_DATE=\"1\">x</A>\r\n")
        << QStringList{QStringLiteral("http://x/caf\u00e9\u20ac")};
    QTest::newRow("byte-order mark") << QByteArray("\xEF\xBB\xBF<DT><A HREF=\"http://a/\" "
                                                   "ADD_DATE=\"1\">a</A>\r\n")
                                     << QStringList{"http://a/"};

    // ADD_DATE must lie whole within the first 256 characters of its line.
    for (const int column : {248, 249, 250, 257, 400}) {
        const QByteArray line = lineWithDateAt(column);
        QTest::addRow("ADD_DATE at character %d", column)
            << line + "\r\n<DT><A HREF=\"http://next/\" ADD_DATE=\"1\">n</A>\r\n"
            << (column <= 249 ? QStringList{lineAddress(line), "http://next/"}
                              : QStringList{"http://next/"});
    }
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

void tst_bookmarks::theLineBufferCountsCharacters()
{
    // Two-byte characters: the first ADD_DATE begins at character 175 but
    // at byte 325; the second at character 275. Characters count, not bytes.
    const auto line = [](int characters) -> QString {
        return QStringLiteral("<DT><A HREF=\"http://x/") + QString(characters, QChar(0x00E9)) +
               QStringLiteral("\" ADD_DATE=\"1\">t</A>\r\n");
    };
    const QString name = path(QStringLiteral("wide.htm"));
    writeFile(name, (line(150) + line(250)).toUtf8());

    colURLs show;
    QVERIFY(modInpExp::ReadInBookmarks(name, show));
    QCOMPARE(addresses(show),
             QStringList{QStringLiteral("http://x/") + QString(150, QChar(0x00E9))});
}

void tst_bookmarks::addressBeforeTag()
{
    // ADD_DATE before the tag gives no address: logged, and the next line
    // is read as usual.
    LogCapture log(m_folder->path(), true, false);
    const QString name = path(QStringLiteral("odd.htm"));
    writeFile(name, "ADD_DATE=\"1\" <DT><A HREF=\"http://odd/\">odd</A>\r\n"
                    "<DT><A HREF=\"http://good/\" ADD_DATE=\"1\">good</A>\r\n");
    colURLs show;
    QVERIFY(modInpExp::ReadInBookmarks(name, show));
    QCOMPARE(addresses(show), QStringList{"http://good/"});
    QCOMPARE(log.messages(),
             QStringList({QStringLiteral("read_in_file ERROR: 5\r\nDescription: Invalid procedure "
                                         "call or argument"),
                          QStringLiteral("ID: http://good/ sound File:  Pause Timer: 0")}));
}

void tst_bookmarks::appendsToTheShow()
{
    const QString name = path(QStringLiteral("two.htm"));
    writeFile(name, "<DT><A HREF=\"http://a/\" ADD_DATE=\"1\">a</A>\r\n"
                    "<DT><A HREF=\"http://b/\" ADD_DATE=\"1\">b</A>\r\n");
    colURLs show;
    show.Add(QStringLiteral("http://old/"), QStringLiteral("s.wav"), 9, true);
    QVERIFY(modInpExp::ReadInBookmarks(name, show));
    QCOMPARE(addresses(show), QStringList({"http://old/", "http://a/", "http://b/"}));
    QCOMPARE(show.Item(1)->PauseTime, 9);
}

void tst_bookmarks::windows1252FoundLate_data()
{
    QTest::addColumn<int>("slidesBefore");
    QTest::newRow("new show") << 0;
    QTest::newRow("show with slides") << 1;
}

void tst_bookmarks::windows1252FoundLate()
{
    // The byte that is no UTF-8 lies past the first block the reader
    // judges the file by: the file is read again as Windows-1252, and no
    // bookmark of the first reading stays twice.
    QFETCH(int, slidesBefore);
    QByteArray file;
    int lines = 0;
    while (file.size() < 9 * 1024 * 1024) {
        file += "<DT><A HREF=\"http://example.org/" + QByteArray::number(lines++) +
                "\" ADD_DATE=\"1\">t</A>\r\n";
    }
    file += "<DT><A HREF=\"http://x/caf\xE9\" ADD_DATE=\"1\">x</A>\r\n";
    const QString name = path(QStringLiteral("late.htm"));
    writeFile(name, file);
    colURLs show;
    for (int i = 0; i < slidesBefore; ++i)
        show.Add(QStringLiteral("http://old/"), QString(), 0, false);

    QVERIFY(modInpExp::ReadInBookmarks(name, show));
    QCOMPARE(show.Count(), slidesBefore + lines + 1);
    QCOMPARE(show.Item(slidesBefore + 1)->HREF, QStringLiteral("http://example.org/0"));
    QCOMPARE(show.Item(show.Count())->HREF, QStringLiteral("http://x/caf\u00e9"));
}

void tst_bookmarks::browserExports_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QStringList>("expected");

    // Nested folders, long ICON data after ADD_DATE, four-space indents.
    // The saved booking search is so long that its ADD_DATE lies past the
    // line buffer: it is the one link left out.
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
    // CR LF, LAST_MODIFIED, ICON_URI, tags, descriptions, separators and a
    // feed without a date.
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
    LogCapture log(m_folder->path(), true, false);
    colURLs show;
    const QString missing = path(QStringLiteral("missing.htm"));
    QVERIFY(!modInpExp::ReadInBookmarks(missing, show));
    QVERIFY(!modInpExp::ReadInBookmarks(QString(), show));
    QVERIFY(!modInpExp::ReadInBookmarks(m_folder->path(), show));
    QCOMPARE(show.Count(), 0);
    QCOMPARE(show.Changed, false);
    const QStringList messages = log.messages();
    QCOMPARE(messages.size(), 4);
    QCOMPARE(messages.at(0), QStringLiteral("ReadInOptions, error opening file:_") + missing +
                                 QStringLiteral("_ Err:53 Desc: File not found"));
    QCOMPARE(messages.at(1), QStringLiteral("--End: ReadIn Bookmark File--"));
    QVERIFY(messages.at(2).endsWith(QStringLiteral("_ Err:75 Desc: Path/File access error")));
    QVERIFY(m_prompts->shown().isEmpty());
}

void tst_bookmarks::importCommand()
{
    const QString file = path(QStringLiteral("b.htm"));
    writeFile(file, "<DT><A HREF=\"http://a/\" ADD_DATE=\"1\">a</A>\r\n"
                    "<DT><A HREF=\"http://b/\" ADD_DATE=\"1\">b</A>\r\n");
    ImportWindow window;
    window.show.Add(QStringLiteral("http://old/"), QString(), 5, false);
    window.chosen = file;

    modInpExp::ImportBookmarksCommand(window.show, window.steps());

    QCOMPARE(window.calls, QStringList({"choose", "new", "refresh"}));
    QCOMPARE(window.asked.DialogTitle, QStringLiteral("Choose a Bookmark file to Import"));
    QCOMPARE(window.asked.Filter, QStringLiteral("HTML (.htm) files|*.htm|All Files (*.*)|*.*"));
    QCOMPARE(window.asked.InitDir, modMain::AppFolder + QStringLiteral("data"));
    QCOMPARE(addresses(window.show), QStringList({"http://a/", "http://b/"}));
    QVERIFY(window.show.Changed);
    QVERIFY(window.bShowEdited);
    QVERIFY(m_prompts->shown().isEmpty());

    // Cancelling the dialog does nothing at all.
    window.calls.clear();
    window.chosen.clear();
    modInpExp::ImportBookmarksCommand(window.show, window.steps());
    QCOMPARE(window.calls, QStringList{"choose"});
    QCOMPARE(window.show.Count(), 2);
}

void tst_bookmarks::importCommandSavesEditsFirst_data()
{
    QTest::addColumn<bool>("changed");
    QTest::addColumn<int>("slides");
    QTest::addColumn<bool>("saveAnswer");
    QTest::addColumn<QStringList>("calls");

    QTest::newRow("edited show, saved")
        << true << 1 << true << QStringList{"choose", "ask", "new", "refresh"};
    QTest::newRow("edited show, cancelled") << true << 1 << false << QStringList{"choose", "ask"};
    QTest::newRow("edited but empty show")
        << true << 0 << false << QStringList{"choose", "new", "refresh"};
    QTest::newRow("unedited show")
        << false << 3 << false << QStringList{"choose", "new", "refresh"};
}

void tst_bookmarks::importCommandSavesEditsFirst()
{
    QFETCH(bool, changed);
    QFETCH(int, slides);
    QFETCH(bool, saveAnswer);
    QFETCH(QStringList, calls);
    const QString file = path(QStringLiteral("b.htm"));
    writeFile(file, "<DT><A HREF=\"http://a/\" ADD_DATE=\"1\">a</A>\r\n");
    ImportWindow window;
    for (int i = 0; i < slides; ++i)
        window.show.Add(QStringLiteral("http://old/"), QString(), 0, false);
    window.show.Changed = changed;
    window.chosen = file;
    window.saveAnswer = saveAnswer;

    modInpExp::ImportBookmarksCommand(window.show, window.steps());

    QCOMPARE(window.calls, calls);
    if (calls.contains(QStringLiteral("new")))
        QCOMPARE(addresses(window.show), QStringList{"http://a/"});
    else
        QCOMPARE(window.show.Count(), slides);
}

void tst_bookmarks::importCommandWithoutBookmarks()
{
    for (const bool exists : {true, false}) {
        const QString file = path(exists ? QStringLiteral("none.htm") : QStringLiteral("gone.htm"));
        if (exists)
            writeFile(file, "<!DOCTYPE NETSCAPE-Bookmark-file-1>\r\n<DL><p>\r\n</DL><p>\r\n");
        ImportWindow window;
        window.chosen = file;
        m_prompts->clear();

        modInpExp::ImportBookmarksCommand(window.show, window.steps());

        // A new, empty show marked changed; the message comes before the
        // window shows the new show. A file that could not be opened never
        // reaches the point where the window learns of the edit.
        QCOMPARE(window.calls, QStringList({"choose", "new", "refresh"}));
        QCOMPARE(window.show.Count(), 0);
        QVERIFY(window.show.Changed);
        QCOMPARE(window.bShowEdited, exists);
        QCOMPARE(m_prompts->texts(), QStringList{NoBookmarks});
        QCOMPARE(m_prompts->shown().constFirst().buttons,
                 Prompts::vbOKOnly + Prompts::vbExclamation);
    }
}

void tst_bookmarks::importCommandDialogFails()
{
    LogCapture log(m_folder->path(), false, true);
    ImportWindow window;
    window.chosen = path(QStringLiteral("b.htm"));
    window.dialogError = VbErrors::make(VbErrors::DialogCancelled);

    modInpExp::ImportBookmarksCommand(window.show, window.steps());

    QCOMPARE(window.calls, QStringList{"choose"});
    QCOMPARE(log.messages(),
             QStringList(QStringLiteral("ERROR on open file: 32755\r\nCancel was selected.")));
    QVERIFY(m_prompts->shown().isEmpty());
}

void tst_bookmarks::exportCommand_data()
{
    QTest::addColumn<bool>("exists");
    QTest::addColumn<QList<int>>("answers");
    QTest::addColumn<int>("dialogs");
    QTest::addColumn<bool>("written");
    QTest::addColumn<QStringList>("log");

    QTest::newRow("new file") << false << QList<int>() << 1 << true << QStringList();
    QTest::newRow("overwrite") << true << QList<int>{Prompts::vbYes} << 1 << true
                               << QStringList{"Overwriting file"};
    QTest::newRow("no, then yes: the dialog again")
        << true << QList<int>{Prompts::vbNo, Prompts::vbYes} << 2 << true
        << QStringList{"Overwriting file"};
    QTest::newRow("cancel") << true << QList<int>{Prompts::vbCancel} << 1 << false
                            << QStringList{"Aborting save.."};
}

void tst_bookmarks::exportCommand()
{
    QFETCH(bool, exists);
    QFETCH(QList<int>, answers);
    QFETCH(int, dialogs);
    QFETCH(bool, written);
    QFETCH(QStringList, log);

    const QString file = path(QStringLiteral("Bookmarks.htm"));
    if (exists)
        writeFile(file, "old");
    for (const int answer : answers)
        m_prompts->answer(answer);
    LogCapture capture(m_folder->path(), true, false);
    colURLs show;
    show.Add(QStringLiteral("http://a/"), QString(), 0, false);
    show.NewFile = true;
    show.Changed = true;

    int asked = 0;
    modInpExp::FileChoice choice;
    modInpExp::ExportBookmarksCommand(
        show,
        [&](const modInpExp::FileChoice& c, VbError*) {
            ++asked;
            choice = c;
            return file;
        },
        4711);

    QCOMPARE(asked, dialogs);
    QCOMPARE(choice.FileName, QStringLiteral("Bookmarks.htm"));
    QCOMPARE(choice.Filter, QStringLiteral("HTML files|*.htm|All Files (*.*)|*.*"));
    QCOMPARE(choice.InitDir, modMain::AppFolder + QStringLiteral("data"));
    QCOMPARE(m_prompts->shown().size(), answers.size());
    for (const Prompts::Request& box : m_prompts->shown()) {
        QCOMPARE(box.text, QStringLiteral("Do you want to overwrite this file?"));
        QCOMPARE(box.title, QStringLiteral("Save File"));
        QCOMPARE(box.buttons, Prompts::vbYesNoCancel + Prompts::vbExclamation);
        QCOMPARE(box.helpFile, modMain::HelpFile());
        QCOMPARE(box.helpContext, 4711);
    }
    QCOMPARE(fileBytes(file).contains("http://a/"), written);
    QCOMPARE(show.NewFile, !written);
    QCOMPARE(show.Changed, !written);
    QStringList messages = capture.messages();
    messages.removeIf([](const QString& m) {
        return m.startsWith(QStringLiteral("Saving contents")) ||
               m.startsWith(QStringLiteral("URL"));
    });
    QCOMPARE(messages, log);

    // Cancelling the dialog writes nothing.
    QFile::remove(file);
    modInpExp::ExportBookmarksCommand(
        show, [](const modInpExp::FileChoice&, VbError*) { return QString(); }, 0);
    QVERIFY(!QFile::exists(file));
}

QTEST_GUILESS_MAIN(tst_bookmarks)
#include "tst_show_bookmarks.moc"
