// SPDX-License-Identifier: GPL-3.0-or-later
#include "UnwritableFile.h"
#include "platform/ScriptedPrompts.h"
#include "show/colURLs.h"
#include "startup/modMain.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "TestFiles.h"

#include <random>

#include <sys/stat.h>

namespace {

/// Every slide as "address|sound|pause|skip".
QStringList describe(const colURLs& show)
{
    QStringList result;
    for (const colURLs::Slide& slide : show)
        result.append(slide->HREF + u'|' + slide->SoundFile + u'|' +
                      QString::number(slide->PauseTime) + u'|' +
                      (slide->SkipField ? QStringLiteral("skip") : QStringLiteral("show")));
    return result;
}

/// A show file of one record whose pause and skip fields are given.
QByteArray oneRecord(const QByteArray& pause, const QByteArray& skip)
{
    return "\"http://a/\",\"\"," + pause + ',' + skip + "\r\n";
}

} // namespace

class tst_showfile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void roundTrip();
    void pause_data();
    void pause();
    void skipField_data();
    void skipField();
    void records_data();
    void records();
    void windows1252FoundLate();
    void relativeReferences_data();
    void relativeReferences();
    void unreadableFile_data();
    void unreadableFile();
    void emptyFileName();
    void notText_data();
    void notText();
    void veryLongLine();
    void saveFails_data();
    void saveFails();

private:
    QString path(const QString& name) const { return m_folder->filePath(name); }
    QStringList read(const QByteArray& file);

    std::unique_ptr<QTemporaryDir> m_folder;
    std::unique_ptr<ScriptedPrompts> m_prompts;
};

void tst_showfile::init()
{
    m_folder = std::make_unique<QTemporaryDir>();
    QVERIFY(m_folder->isValid());
    m_prompts = std::make_unique<ScriptedPrompts>();
}

void tst_showfile::cleanup()
{
    m_prompts.reset();
    modMain::ResetProgramState();
    m_folder.reset();
}

QStringList tst_showfile::read(const QByteArray& file)
{
    writeFile(path(QStringLiteral("r.txt")), file);
    colURLs show;
    show.Add(QStringLiteral("http://old/"), QString(), 1, false);
    if (!show.Read_in_file(path(QStringLiteral("r.txt"))))
        return {QStringLiteral("read failed")};
    return describe(show);
}

void tst_showfile::roundTrip()
{
    colURLs show;
    show.Add(QStringLiteral("http://x/?a=1,2&b=3"), QStringLiteral("C:\\snd\\a,b.wav"), 30, false);
    show.Add(QStringLiteral("/home/me/\u00e9t\u00e9 \u65e5\u672c.htm"), QString(), -3, true);
    show.Add(QString(), QStringLiteral("only-sound.wav"), -32768, true);
    show.Add(QStringLiteral("  leading and trailing  "), QString(), 32767, false);
    show.TrayFilename = path(QStringLiteral("round.txt"));
    // A longer old file is replaced whole.
    writeFile(show.TrayFilename, QByteArray(10000, 'x'));
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
    back.Add(QStringLiteral("http://old/"), QString(), 1, false);
    QVERIFY(back.Read_in_file(show.TrayFilename));
    QCOMPARE(describe(back), describe(show));
    QCOMPARE(back.TrayFilename, show.TrayFilename);
    QVERIFY(m_prompts->shown().isEmpty());

    // An empty show leaves an empty file, read back as an empty show.
    show.EraseAll();
    show.SavetoDisk();
    QCOMPARE(fileBytes(show.TrayFilename), QByteArray());
    QVERIFY(back.Read_in_file(show.TrayFilename));
    QCOMPARE(back.Count(), 0);
}

void tst_showfile::pause_data()
{
    QTest::addColumn<QByteArray>("field");
    QTest::addColumn<int>("pause");

    QTest::newRow("2.5 to even") << QByteArray("\"2.5\"") << 2;
    QTest::newRow("3.5 to even") << QByteArray("\"3.5\"") << 4;
    QTest::newRow("-2.5 to even") << QByteArray("\"-2.5\"") << -2;
    QTest::newRow("letters") << QByteArray("\"abc\"") << 0;
    QTest::newRow("unquoted, blanks around") << QByteArray(" 12 ") << 12;
    QTest::newRow("number then text") << QByteArray("\"12abc\"") << 12;
    QTest::newRow("empty") << QByteArray("\"\"") << 0;
    QTest::newRow("smallest") << QByteArray("\"-32768\"") << -32768;
    QTest::newRow("above 16 bits") << QByteArray("\"32768\"") << 32768;
    QTest::newRow("the editor's largest") << QByteArray("\"999999\"") << 999999;
    QTest::newRow("one past 32 bits") << QByteArray("\"2147483648\"") << 0;
    QTest::newRow("rounds past 32 bits") << QByteArray("\"2147483647.5\"") << 0;
}

void tst_showfile::pause()
{
    QFETCH(QByteArray, field);
    QFETCH(int, pause);
    // An overflowing pause still gives a slide.
    QCOMPARE(read(oneRecord(field, "#TRUE#")),
             QStringList{"http://a/||" + QString::number(pause) + "|skip"});
}

void tst_showfile::skipField_data()
{
    QTest::addColumn<QByteArray>("field");
    QTest::addColumn<bool>("skip");

    QTest::newRow("#FALSE#") << QByteArray("#FALSE#") << false;
    QTest::newRow("lower case") << QByteArray("#true#") << true;
    QTest::newRow("quoted empty") << QByteArray("\"\"") << false;
    QTest::newRow("quoted word True") << QByteArray("\"True\"") << true;
    QTest::newRow("-1") << QByteArray("-1") << true;
    QTest::newRow("word: mismatch") << QByteArray("maybe") << false;
    QTest::newRow("quoted #TRUE#: mismatch") << QByteArray("\"#TRUE#\"") << false;
}

void tst_showfile::skipField()
{
    QFETCH(QByteArray, field);
    QFETCH(bool, skip);
    // A mismatch keeps the slide; the next record reads normally.
    QCOMPARE(read(oneRecord("\"5\"", field) + "\"http://b/\",\"\",\"6\",#TRUE#\r\n"),
             (QStringList{QStringLiteral("http://a/||5|") + (skip ? "skip" : "show"),
                          "http://b/||6|skip"}));
}

void tst_showfile::records_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QStringList>("slides");

    const QByteArray a = "\"http://a/\",\"\",\"1\",#FALSE#";
    const QByteArray b = "\"http://b/\",\"b.wav\",\"2\",#TRUE#";
    const QStringList both{"http://a/||1|show", "http://b/|b.wav|2|skip"};

    QTest::newRow("empty file") << QByteArray() << QStringList();
    QTest::newRow("mixed ends, no final end")
        << a + "\n" + b + "\r\n" + a << QStringList{both[0], both[1], both[0]};
    QTest::newRow("blank lines and empty records dropped")
        << "\r\n" + a + "\r\n\r\n  \r\n\"\",\"\",\"5\",#TRUE#\r\n" + b + "\r\n\r\n"
        << both;
    QTest::newRow("address empty, sound kept")
        << QByteArray("\"\",\"s.wav\",\"5\",#FALSE#\r\n") << QStringList{"|s.wav|5|show"};
    QTest::newRow("short line takes nothing from the next")
        << "\"http://short/\"\r\n" + b << QStringList{"http://short/||0|show", both[1]};
    QTest::newRow("fields beyond four ignored")
        << QByteArray("\"http://a/\",\"\",\"1\",#FALSE#,\"more\",#TRUE#\r\n")
        << QStringList{"http://a/||1|show"};
    QTest::newRow("unquoted fields") << QByteArray("  http://u/ , s.wav , 7 , #TRUE#\r\n")
                                     << QStringList{"http://u/|s.wav|7|skip"};
    QTest::newRow("unbalanced quote runs to the line end")
        << "\"http://q/,3,#TRUE#\r\n" + b << QStringList{"http://q/,3,#TRUE#||0|show", both[1]};
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
    QTest::newRow("Windows-1252") << QByteArray(
                                         "\"http://x/caf\xe9\",\"\x80.wav\",\"4\",#FALSE#\r\n"
                                         "\"http://y/\x93q\x94\",\"\",\"5\",#TRUE#\r\n")
                                  << QStringList{"http://x/caf\u00e9|\u20ac.wav|4|show",
                                                 "http://y/\u201cq\u201d||5|skip"};
}

void tst_showfile::records()
{
    QFETCH(QByteArray, file);
    QFETCH(QStringList, slides);
    QCOMPARE(read(file), slides);
}

void tst_showfile::relativeReferences_data()
{
    QTest::addColumn<QString>("reference");
    QTest::addColumn<QString>("resolved");

    // "%1" is the program folder, "%2" the show file's folder.
    QTest::newRow("program folder") << "data/demo/a.htm"
                                    << "%1/data/demo/a.htm";
    QTest::newRow("beside the show first") << "pics/b.jpg"
                                           << "%2/pics/b.jpg";
    QTest::newRow("backslashes") << "data\\demo\\a.htm"
                                 << "%1/data/demo/a.htm";
    QTest::newRow("missing file kept") << "data/demo/none.htm"
                                       << "data/demo/none.htm";
    QTest::newRow("host and path kept") << "www.debian.org/news"
                                        << "www.debian.org/news";
    QTest::newRow("bare name kept") << "chime.wav"
                                    << "chime.wav";
    QTest::newRow("web address kept") << "https://x/data/demo/a.htm"
                                      << "https://x/data/demo/a.htm";
}

void tst_showfile::relativeReferences()
{
    QFETCH(QString, reference);
    QFETCH(QString, resolved);
    // A moved or installed program folder, and a show in a folder of its own.
    const QString program = path(QStringLiteral("program"));
    const QString shows = path(QStringLiteral("shows"));
    const QStringList files{
        program + QStringLiteral("/data/demo/a.htm"), program + QStringLiteral("/pics/b.jpg"),
        shows + QStringLiteral("/pics/b.jpg"), shows + QStringLiteral("/chime.wav")};
    for (const QString& file : files) {
        QDir().mkpath(QFileInfo(file).path());
        writeFile(file, "x");
    }
    modMain::SetProgramFolder(program);
    const QString showFile = shows + QStringLiteral("/show.txt");
    writeFile(showFile,
              "\"" + reference.toUtf8() + "\",\"" + reference.toUtf8() + "\",\"3\",#FALSE#\r\n");
    colURLs show;
    QVERIFY(show.Read_in_file(showFile));
    QCOMPARE(show.Count(), 1);
    const QString expected = QString(resolved)
                                 .replace(QStringLiteral("%1"), program)
                                 .replace(QStringLiteral("%2"), shows);
    QCOMPARE((*show.begin())->HREF, expected);
    QCOMPARE((*show.begin())->SoundFile, expected);
}

void tst_showfile::windows1252FoundLate()
{
    // Past the first block of the reader the file is found not to be UTF-8
    // and read again: the slides read before must not come twice.
    const QByteArray record = "\"http://www.example.com/pages/a-fairly-long-address.html\","
                              "\"\",\"10\",#FALSE#\r\n";
    const int records = 12 * 1024 * 1024 / int(record.size());
    QByteArray file;
    file.reserve(qsizetype(records + 1) * record.size());
    for (int i = 0; i < records; ++i)
        file += record;
    file += "\"http://x/caf\xe9\",\"\",\"3\",#TRUE#\r\n";
    writeFile(path(QStringLiteral("late.txt")), file);

    colURLs show;
    QVERIFY(show.Read_in_file(path(QStringLiteral("late.txt"))));
    QCOMPARE(show.Count(), records + 1);
    QCOMPARE(show.Item(1)->HREF,
             QStringLiteral("http://www.example.com/pages/a-fairly-long-address.html"));
    QCOMPARE(show.Item(records + 1)->HREF, QStringLiteral("http://x/caf\u00e9"));
}

void tst_showfile::unreadableFile_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("missing file") << "missing.txt";
    QTest::newRow("missing folder") << "nowhere/show.txt";
    QTest::newRow("a folder") << "folder";
    QTest::newRow("a pipe") << "pipe";
}

void tst_showfile::unreadableFile()
{
    QFETCH(QString, name);
    QVERIFY(QDir(m_folder->path()).mkdir(QStringLiteral("folder")));
    QCOMPARE(::mkfifo(QFile::encodeName(path(QStringLiteral("pipe"))).constData(), 0600), 0);
    const QString file = path(name);
    colURLs show;
    show.Add(QStringLiteral("http://old/"), QString(), 1, false);
    show.TrayFilename = QStringLiteral("/shows/old.txt");

    QVERIFY(!show.Read_in_file(file));
    QCOMPARE(show.Count(), 0);
    QCOMPARE(show.TrayFilename, QStringLiteral("/shows/old.txt"));
    QCOMPARE(m_prompts->texts(), QStringList{"The Show file, " + file + ", is not valid."});
}

void tst_showfile::emptyFileName()
{
    colURLs show;
    show.Add(QStringLiteral("http://old/"), QString(), 1, false);
    show.TrayFilename = QStringLiteral("/shows/old.txt");
    QVERIFY(!show.Read_in_file(QString()));
    QCOMPARE(show.Count(), 1);
    QCOMPARE(show.TrayFilename, QStringLiteral("/shows/old.txt"));
    QVERIFY(m_prompts->shown().isEmpty());
}

void tst_showfile::notText_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("slides"); // -1: any number

    std::mt19937 random(7);
    QByteArray junk(1 << 20, Qt::Uninitialized);
    for (char& c : junk)
        c = char(random());
    QByteArray quotesAndCommas(64 * 1024, '"');
    for (qsizetype i = 0; i < quotesAndCommas.size(); i += 3)
        quotesAndCommas[i] = ',';

    QTest::newRow("random bytes") << junk << -1;
    QTest::newRow("NUL bytes only") << QByteArray(4096, '\0') << 1;
    QTest::newRow("quotes and commas") << quotesAndCommas << -1;
    QTest::newRow("lone CR bytes, each a line end") << QByteArray(1000, '\r') << 0;
}

void tst_showfile::notText()
{
    QFETCH(QByteArray, file);
    QFETCH(int, slides);
    const QStringList read = tst_showfile::read(file);
    QVERIFY(read.value(0) != QStringLiteral("read failed"));
    if (slides >= 0)
        QCOMPARE(read.size(), slides);
    QVERIFY(m_prompts->shown().isEmpty());
}

void tst_showfile::veryLongLine()
{
    // 50 MB on one line, no line end at all, then the same again with a
    // second record after it.
    const qsizetype length = 50 * 1024 * 1024;
    QByteArray line(length, 'a');
    writeFile(path(QStringLiteral("long.txt")), line);
    colURLs show;
    QVERIFY(show.Read_in_file(path(QStringLiteral("long.txt"))));
    QCOMPARE(show.Count(), 1);
    QCOMPARE(show.Item(1)->HREF.size(), length);

    line[0] = '"';
    line += "\r\n\"http://b/\",\"\",\"2\",#TRUE#\r\n";
    writeFile(path(QStringLiteral("long.txt")), line);
    QVERIFY(show.Read_in_file(path(QStringLiteral("long.txt"))));
    QCOMPARE(show.Count(), 2);
    QCOMPARE(show.Item(1)->HREF.size(), length - 1);
    QCOMPARE(show.Item(2)->HREF, QStringLiteral("http://b/"));
}

void tst_showfile::saveFails_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("readOnly");
    QTest::addColumn<QString>("error");

    QTest::newRow("missing folder") << "nowhere/show.txt" << false << "76\r\nPath not found";
    QTest::newRow("read-only file") << "show.txt" << true << "75\r\nPath/File access error";
    QTest::newRow("a folder") << "folder" << false << "75\r\nPath/File access error";
    QTest::newRow("no file name") << "" << false << "52\r\nBad file name or number";
}

void tst_showfile::saveFails()
{
    QFETCH(QString, name);
    QFETCH(bool, readOnly);
    QFETCH(QString, error);

    QVERIFY(QDir(m_folder->path()).mkdir(QStringLiteral("folder")));
    const QByteArray old = "\"http://old/\",\"\",\"1\",#FALSE#\r\n";
    writeFile(path(QStringLiteral("show.txt")), old);
    std::unique_ptr<UnwritableFile> guard;
    if (readOnly) {
        guard = std::make_unique<UnwritableFile>(path(QStringLiteral("show.txt")));
        if (!guard->holds())
            QSKIP("this file system cannot make a file read-only for this user");
    }

    colURLs show;
    for (int i = 0; i < 1000; ++i)
        show.Add(QStringLiteral("http://new/") + QString::number(i), QString(), 5, false);
    show.TrayFilename = name.isEmpty() ? QString() : path(name);
    show.Changed = true;
    show.SavetoDisk();

    QCOMPARE(show.Changed, true);
    QCOMPARE(fileBytes(path(QStringLiteral("show.txt"))), old);
    QCOMPARE(m_prompts->texts(), QStringList{"You selected an invalid file, Error: " + error});
    // Nothing is left behind in the folder.
    QCOMPARE(QDir(m_folder->path()).entryList(QDir::Files), QStringList{"show.txt"});
}

QTEST_GUILESS_MAIN(tst_showfile)
#include "tst_show_showfile.moc"
