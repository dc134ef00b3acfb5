// SPDX-License-Identifier: GPL-3.0-or-later
#include "LogCapture.h"
#include "FileSizeLimit.h"
#include "TestFiles.h"
#include "UnwritableFile.h"
#include "platform/ScriptedPrompts.h"
#include "show/colURLs.h"
#include "startup/modMain.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <optional>

#include <sys/stat.h>

namespace {

/// Every slide as "address|sound|pause|skip".
QStringList describe(const colURLs& show)
{
    QStringList result;
    for (const colURLs::Slide& slide : show)
        result.append(slide->HREF + u'|' + slide->SoundFile + u'|' +
                      QString::number(slide->PauseTime) + u'|' +
                      (slide->SkipField ? "skip" : "show"));
    return result;
}

} // namespace

class tst_show : public QObject
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
    }
    void cleanup()
    {
        m_prompts.reset();
        modMain::ResetProgramState();
        m_folder.reset();
    }
    void roundTrip()
    {
        colURLs show;
        show.Add("http://x/?a=1,2&b=3", "C:\\snd\\a,b.wav", 30, false);
        const colURLs::Slide keyed =
            show.Add("/home/me/\u00e9t\u00e9 \u65e5\u672c.htm", QString(), -3, true, "home");
        show.Add(QString(), "only-sound.wav", -32768, true);
        show.Add("  leading and trailing  ", QString(), 32767, false);
        QVERIFY(!show.Item(0) && show.Item(4) && !show.Item(5));
        // A key in use refuses a second slide.
        QCOMPARE(show.Item("home"), keyed);
        QVERIFY(!show.Item("away"));
        QVERIFY(!show.Add("http://d/", QString(), 5, false, "home"));
        show.TrayFilename = path("round.txt");
        writeFile(show.TrayFilename, QByteArray(10000, 'x')); // a longer old file is replaced whole
        show.Changed = true;
        show.SavetoDisk();
        QCOMPARE(show.Changed, false);
        QCOMPARE(
            fileBytes(show.TrayFilename),
            QByteArray(
                "\"http://x/?a=1,2&b=3\",\"C:\\snd\\a,b.wav\",\"30\",#FALSE#\r\n"
                "\"/home/me/\xc3\xa9t\xc3\xa9 \xe6\x97\xa5\xe6\x9c\xac.htm\",\"\",\"-3\",#TRUE#\r\n"
                "\"\",\"only-sound.wav\",\"-32768\",#TRUE#\r\n"
                "\"  leading and trailing  \",\"\",\"32767\",#FALSE#\r\n"));
        colURLs back;
        back.Add("http://old/", QString(), 1, false);
        QVERIFY(back.Read_in_file(show.TrayFilename));
        QCOMPARE(describe(back), describe(show));
        QCOMPARE(back.TrayFilename, show.TrayFilename);
        QVERIFY(m_prompts->shown().isEmpty());
        {
            const LogCapture capture(m_folder->path(), true, true);
            back.Print_URLs();
            QCOMPARE(capture.messages().size(), 4);
            QCOMPARE(capture.messages().at(2),
                     "ID:  sound File: only-sound.wav Pause Timer: -32768");
        }
        // Erasing drops slides and keys; a held slide lives on.
        show.EraseAll();
        QCOMPARE(keyed->PauseTime, -3);
        QVERIFY(!show.Item("home"));
        show.SavetoDisk();
        QVERIFY(back.Read_in_file(show.TrayFilename));
        QCOMPARE(back.Count(), 0);
        QVERIFY(show.Add("http://k/", QString(), 5, false, "home"));
    }
    void records_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QStringList>("slides");

        // Pauses round half to even; what is no whole number of 32 bits reads as 0.
        const QList<QByteArray> pauses{"\"2.5\"",    "\"3.5\"",        "\"-2.5\"",
                                       "\"abc\"",    " 12 ",           "\"12abc\"",
                                       "\"\"",       "\"-32768\"",     "\"32768\"",
                                       "\"999999\"", "\"2147483648\"", "\"2147483647.5\""};
        const QList<int> pauseRead{2, 4, -2, 0, 12, 12, 0, -32768, 32768, 999999, 0, 0};
        // A skip field that is no truth value reads as false and keeps its slide.
        const QList<QByteArray> skips{"#FALSE#", "#true#", "\"\"",       "\"True\"",
                                      "-1",      "maybe",  "\"#TRUE#\"", "0"};
        const QList<bool> skipRead{false, true, false, true, true, false, false, false};
        QByteArray pauseFile, skipFile;
        QStringList pauseSlides, skipSlides;
        for (qsizetype i = 0; i < pauses.size(); ++i) {
            pauseFile += "\"http://a/\",\"\"," + pauses[i] + ",#TRUE#\r\n";
            pauseSlides += "http://a/||" + QString::number(pauseRead[i]) + "|skip";
        }
        for (qsizetype i = 0; i < skips.size(); ++i) {
            skipFile += "\"http://a/\",\"\",\"5\"," + skips[i] + "\r\n";
            skipSlides += QString("http://a/||5|") + (skipRead[i] ? "skip" : "show");
        }
        QTest::newRow("pauses") << pauseFile << pauseSlides;
        QTest::newRow("skip fields") << skipFile << skipSlides;

        const QByteArray a = "\"http://a/\",\"\",\"1\",#FALSE#";
        const QByteArray b = "\"http://b/\",\"b.wav\",\"2\",#TRUE#";
        const QStringList both{"http://a/||1|show", "http://b/|b.wav|2|skip"};
        QTest::newRow("empty file") << QByteArray() << QStringList();
        // Blank lines and empty records are dropped; a short line takes nothing from the
        // next, fields past four are ignored, an unbalanced quote runs to the line end.
        QTest::newRow("record forms")
            << "\r\n" + a +
                   "\r\n\r\n  \r\n\"\",\"\",\"5\",#TRUE#\r\n\"\",\"s.wav\",\"5\",#FALSE#\r\n"
                   "\"http://short/\"\r\n\"http://a/\",\"\",\"1\",#FALSE#,\"more\",#TRUE#\r\n"
                   "  http://u/ , s.wav , 7 , #TRUE#\r\n\"http://q/,3,#TRUE#\r\n" +
                   a + "\n" + b + "\r\n" + a
            << QString("http://a/||1|show;|s.wav|5|show;http://short/||0|show;http://a/||1|show;"
                       "http://u/|s.wav|7|skip;http://q/,3,#TRUE#||0|show;http://a/||1|show;"
                       "http://b/|b.wav|2|skip;http://a/||1|show")
                   .split(u';');
        QTest::newRow("byte order mark, UTF-8")
            << QByteArray("\xef\xbb\xbf\"http://x/\xc3\xa9\",\"\",\"1\",#FALSE#\r\n")
            << QStringList{"http://x/\u00e9||1|show"};
        // A mark before a later record, or as a field's only content, is no text.
        QTest::newRow("byte order marks in fields")
            << "\xef\xbb\xbf\"\xef\xbb\xbf\",\"\",\"9\",#TRUE#\r\n\xef\xbb\xbf" + a +
                   "\r\n\"\xef\xbb\xbfhttp://b/\",\"b.wav\",\"2\",#TRUE#\r\n"
            << both;
        QTest::newRow("old Mac line ends")
            << a + "\r" + b + "\r\r" + a << QStringList{both[0], both[1], both[0]};
        QTest::newRow("Windows-1252")
            << QByteArray("\"http://x/caf\xe9\",\"\x80.wav\",\"4\",#FALSE#\r\n"
                          "\"http://y/\x93q\x94\",\"\",\"5\",#TRUE#\r\n")
            << QStringList{"http://x/caf\u00e9|\u20ac.wav|4|show",
                           "http://y/\u201cq\u201d||5|skip"};

        // Files that are no text still read, without a message.
        QTest::newRow("NUL bytes only")
            << QByteArray(4096, '\0') << QStringList{QString(4096, QChar()) + "||0|show"};
        QTest::newRow("lone CR bytes, each a line end") << QByteArray(1000, '\r') << QStringList();
    }
    void records()
    {
        QFETCH(QByteArray, file);
        QFETCH(QStringList, slides);
        // Read into a show that held a slide before.
        writeFile(path("r.txt"), file);
        colURLs show;
        show.Add("http://old/", QString(), 1, false);
        QVERIFY(show.Read_in_file(path("r.txt")));
        QVERIFY(m_prompts->shown().isEmpty());
        QCOMPARE(describe(show), slides);
    }
    void relativeReferences()
    {
        // A moved or installed program folder, and a show in a folder of its own.
        const QString program = path("program");
        const QString shows = path("shows");
        for (const QString& file :
             QStringList{program + "/data/demo/a.htm", program + "/pics/b.jpg",
                         shows + "/pics/b.jpg", shows + "/chime.wav"}) {
            QDir().mkpath(QFileInfo(file).path());
            writeFile(file, "x");
        }
        modMain::SetProgramFolder(program);
        // Beside the show first, then in the program folder; what is found nowhere, a bare
        // name, a host and a web address stay as they are.
        const QStringList references{
            "data/demo/a.htm",     "pics/b.jpg", "data\\demo\\a.htm",        "data/demo/none.htm",
            "www.debian.org/news", "chime.wav",  "https://x/data/demo/a.htm"};
        const QStringList resolved{program + "/data/demo/a.htm", shows + "/pics/b.jpg",
                                   program + "/data/demo/a.htm"};
        QByteArray file;
        QStringList expected;
        for (qsizetype i = 0; i < references.size(); ++i) {
            file += "\"" + references[i].toUtf8() + "\",\"" + references[i].toUtf8() + "\",3,0\r\n";
            const QString slide = resolved.value(i, references[i]);
            expected += slide + u'|' + slide + "|3|show";
        }
        writeFile(shows + "/show.txt", file);
        colURLs show;
        QVERIFY(show.Read_in_file(shows + "/show.txt"));
        QCOMPARE(describe(show), expected);
    }
    void filesBeyondTheFirstBlock()
    {
        // Windows-1252 found past the first block: the file is read again, no slide twice.
        const QByteArray record = "\"http://www.example.com/pages/a-fairly-long-address.html\","
                                  "\"\",\"10\",#FALSE#\r\n";
        const int records = 12 * 1024 * 1024 / int(record.size());
        QByteArray file = record.repeated(records) + "\"http://x/caf\xe9\",\"\",\"3\",#TRUE#\r\n";
        writeFile(path("late.txt"), file);
        colURLs show;
        QVERIFY(show.Read_in_file(path("late.txt")));
        QCOMPARE(show.Count(), records + 1);
        QCOMPARE(show.Item(records + 1)->HREF, "http://x/caf\u00e9");

        // 50 MB on one line with no line end, then the same with a second record after it.
        const qsizetype length = 50 * 1024 * 1024;
        QByteArray line(length, 'a');
        writeFile(path("long.txt"), line);
        QVERIFY(show.Read_in_file(path("long.txt")));
        QCOMPARE(std::pair(show.Count(), show.Item(1)->HREF.size()), std::pair(1, length));
        line[0] = '"';
        line += "\r\n\"http://b/\",\"\",\"2\",#TRUE#\r\n";
        writeFile(path("long.txt"), line);
        QVERIFY(show.Read_in_file(path("long.txt")));
        QCOMPARE(std::pair(show.Count(), show.Item(1)->HREF.size()), std::pair(2, length - 1));
        QCOMPARE(show.Item(2)->HREF, "http://b/");
    }
    void badFiles_data()
    {
        QTest::addColumn<QString>("name");      // show.txt is read-only, new.txt is on a full disk
        QTest::addColumn<QString>("saveError"); // empty: not saved there
        const QString notFound = "76\r\nPath not found", denied = "75\r\nPath/File access error";
        QTest::newRow("missing file") << "missing.txt" << QString();
        QTest::newRow("missing folder") << "nowhere/show.txt" << notFound;
        QTest::newRow("a folder") << "folder" << denied;
        QTest::newRow("a pipe") << "pipe" << QString();
        QTest::newRow("read-only file") << "show.txt" << denied;
        QTest::newRow("no file name") << QString() << "52\r\nBad file name or number";
        QTest::newRow("full disk") << "new.txt"
                                   << "61\r\nDisk full";
    }
    void badFiles()
    {
        QFETCH(QString, name);
        QFETCH(QString, saveError);
        QVERIFY(QDir(m_folder->path()).mkdir("folder"));
        QCOMPARE(::mkfifo(QFile::encodeName(path("pipe")).constData(), 0600), 0);
        const QByteArray old = "\"http://old/\",\"\",\"1\",#FALSE#\r\n";
        writeFile(path("show.txt"), old);
        const QString file = name.isNull() ? name : path(name);
        colURLs show;
        show.Add("http://old/", QString(), 1, false);
        show.TrayFilename = "/shows/old.txt";
        if (name != "show.txt") {
            // Without a name the show stays as it was and nothing is said.
            QVERIFY(!show.Read_in_file(file));
            QCOMPARE(show.Count(), file.isEmpty() ? 1 : 0);
            QCOMPARE(show.TrayFilename, "/shows/old.txt");
            QCOMPARE(m_prompts->texts(),
                     file.isEmpty() ? QStringList()
                                    : QStringList{"The Show file, " + file + ", is not valid."});
        }
        if (saveError.isEmpty())
            return;
        UnwritableFile guard(path(name == "show.txt" ? "show.txt" : "no such file"));
        if (!guard.holds())
            QSKIP("this file system cannot make a file read-only for this user");
        m_prompts.reset();
        m_prompts = std::make_unique<ScriptedPrompts>();
        for (int i = 0; i < 1000; ++i)
            show.Add("http://new/" + QString::number(i), QString(), 5, false);
        show.TrayFilename = file;
        show.Changed = true;
        {
            std::optional<FileSizeLimit> full;
            if (name == "new.txt")
                full.emplace(4096);
            show.SavetoDisk();
        }
        QCOMPARE(show.Changed, true);
        QCOMPARE(fileBytes(path("show.txt")), old);
        QCOMPARE(m_prompts->texts(),
                 QStringList{"You selected an invalid file, Error: " + saveError});
        // Nothing is left behind in the folder.
        QCOMPARE(QDir(m_folder->path()).entryList(QDir::Files), QStringList{"show.txt"});
    }
};

QTEST_GUILESS_MAIN(tst_show)
#include "tst_show.moc"
