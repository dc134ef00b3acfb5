// SPDX-License-Identifier: GPL-3.0-or-later
#include "LogCapture.h"
#include "UnwritableFile.h"
#include "platform/ScriptedPrompts.h"
#include "show/colURLs.h"
#include "startup/modMain.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <random>

#include <sys/stat.h>

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

    void writtenRecords_data();
    void writtenRecords();
    void roundTrip();
    void pause_data();
    void pause();
    void skipField_data();
    void skipField();
    void records_data();
    void records();
    void debugLog();
    void windows1252();
    void windows1252FoundLate();
    void unreadableFile_data();
    void unreadableFile();
    void emptyFileName();
    void emptyFile();
    void notText_data();
    void notText();
    void veryLongLine();
    void saveReplacesTheFile();
    void saveFails_data();
    void saveFails();

private:
    QString path(const QString& name) const { return m_folder->filePath(name); }

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

void tst_showfile::writtenRecords_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("sound");
    QTest::addColumn<int>("pause");
    QTest::addColumn<bool>("skip");
    QTest::addColumn<QByteArray>("line");

    QTest::newRow("local page") << "C:\\pages\\a.htm"
                                << "" << 10 << false
                                << QByteArray("\"C:\\pages\\a.htm\",\"\",\"10\",#FALSE#\r\n");
    QTest::newRow("comma, sound, skipped")
        << "http://x/?a=1,2"
        << "/snd/s.wav" << -3 << true
        << QByteArray("\"http://x/?a=1,2\",\"/snd/s.wav\",\"-3\",#TRUE#\r\n");
    QTest::newRow("non-ASCII as UTF-8") << "http://x/Caf\u00e9 \u20ac"
                                        << "" << 32767 << false
                                        << QByteArray("\"http://x/Caf\xc3\xa9 \xe2\x82\xac\","
                                                      "\"\",\"32767\",#FALSE#\r\n");
    QTest::newRow("no address") << ""
                                << "s.wav" << -32768 << false
                                << QByteArray("\"\",\"s.wav\",\"-32768\",#FALSE#\r\n");
}

void tst_showfile::writtenRecords()
{
    QFETCH(QString, address);
    QFETCH(QString, sound);
    QFETCH(int, pause);
    QFETCH(bool, skip);
    QFETCH(QByteArray, line);

    colURLs show;
    show.Add(address, sound, qint16(pause), skip);
    show.Add(QStringLiteral("http://end/"), QString(), 1, false);
    show.TrayFilename = path(QStringLiteral("show.txt"));
    show.SavetoDisk();
    QCOMPARE(fileBytes(show.TrayFilename), line + "\"http://end/\",\"\",\"1\",#FALSE#\r\n");
    QVERIFY(m_prompts->shown().isEmpty());
}

void tst_showfile::roundTrip()
{
    colURLs show;
    show.Add(QStringLiteral("http://x/?a=1,2&b=3"), QStringLiteral("C:\\snd\\a,b.wav"), 30, false);
    show.Add(QStringLiteral("/home/me/\u00e9t\u00e9 \u65e5\u672c.htm"), QString(), 0, true);
    show.Add(QString(), QStringLiteral("only-sound.wav"), -32768, true);
    show.Add(QStringLiteral("  leading and trailing  "), QString(), 32767, false);
    for (const colURLs::Slide& slide : show) {
        slide->DateLastVisited = 45000.5;
        slide->TimesShown = 3;
        slide->ShownIndex = 2;
    }
    show.TrayFilename = path(QStringLiteral("round.txt"));
    show.Changed = true;
    show.SavetoDisk();
    QCOMPARE(show.Changed, false);

    colURLs back;
    back.Add(QStringLiteral("http://old/"), QString(), 1, false);
    back.Changed = true;
    back.NewFile = true;
    QVERIFY(back.Read_in_file(show.TrayFilename));
    QCOMPARE(describe(back), describe(show));
    for (const colURLs::Slide& slide : back) {
        QCOMPARE(slide->DateLastVisited, 0.0);
        QCOMPARE(slide->TimesShown, qint16(0));
        QCOMPARE(slide->ShownIndex, qint16(0));
    }
    QCOMPARE(back.TrayFilename, show.TrayFilename);
    // The callers set these after reading.
    QCOMPARE(back.Changed, true);
    QCOMPARE(back.NewFile, true);
    QVERIFY(m_prompts->shown().isEmpty());
}

void tst_showfile::pause_data()
{
    QTest::addColumn<QByteArray>("field");
    QTest::addColumn<int>("pause");
    QTest::addColumn<QStringList>("log");

    const QStringList none;
    const QStringList overflow{"read_in_file ERROR: 6\r\nDescription: Overflow"};
    QTest::newRow("whole") << QByteArray("\"30\"") << 30 << none;
    QTest::newRow("2.5 to even") << QByteArray("\"2.5\"") << 2 << none;
    QTest::newRow("3.5 to even") << QByteArray("\"3.5\"") << 4 << none;
    QTest::newRow("-2.5 to even") << QByteArray("\"-2.5\"") << -2 << none;
    QTest::newRow("letters") << QByteArray("\"abc\"") << 0 << none;
    QTest::newRow("blanks around") << QByteArray("\" 12 \"") << 12 << none;
    QTest::newRow("unquoted") << QByteArray(" 12 ") << 12 << none;
    QTest::newRow("number then text") << QByteArray("\"12abc\"") << 12 << none;
    QTest::newRow("empty") << QByteArray("\"\"") << 0 << none;
    QTest::newRow("leading zeros") << QByteArray("\"0007\"") << 7 << none;
    QTest::newRow("largest") << QByteArray("\"32767\"") << 32767 << none;
    QTest::newRow("smallest") << QByteArray("\"-32768\"") << -32768 << none;
    QTest::newRow("one past") << QByteArray("\"32768\"") << 0 << overflow;
    QTest::newRow("rounds past") << QByteArray("\"32767.5\"") << 0 << overflow;
    QTest::newRow("70000") << QByteArray("\"70000\"") << 0 << overflow;
}

void tst_showfile::pause()
{
    QFETCH(QByteArray, field);
    QFETCH(int, pause);
    QFETCH(QStringList, log);

    writeFile(path(QStringLiteral("p.txt")), oneRecord(field, "#TRUE#"));
    const LogCapture capture(m_folder->path(), false, true);
    colURLs show;
    QVERIFY(show.Read_in_file(path(QStringLiteral("p.txt"))));
    // An overflowing pause still gives a slide.
    QCOMPARE(describe(show), QStringList{"http://a/||" + QString::number(pause) + "|skip"});
    QCOMPARE(capture.messages(), log);
}

void tst_showfile::skipField_data()
{
    QTest::addColumn<QByteArray>("field");
    QTest::addColumn<bool>("skip");
    QTest::addColumn<bool>("mismatch");

    QTest::newRow("#TRUE#") << QByteArray("#TRUE#") << true << false;
    QTest::newRow("#FALSE#") << QByteArray("#FALSE#") << false << false;
    QTest::newRow("lower case") << QByteArray("#true#") << true << false;
    QTest::newRow("empty") << QByteArray("") << false << false;
    QTest::newRow("quoted empty") << QByteArray("\"\"") << false << false;
    QTest::newRow("word True") << QByteArray("True") << true << false;
    QTest::newRow("quoted word") << QByteArray("\"True\"") << true << false;
    QTest::newRow("-1") << QByteArray("-1") << true << false;
    QTest::newRow("word") << QByteArray("maybe") << false << true;
    QTest::newRow("quoted #TRUE#") << QByteArray("\"#TRUE#\"") << false << true;
    QTest::newRow("unknown hash word") << QByteArray("#MAYBE#") << false << true;
}

void tst_showfile::skipField()
{
    QFETCH(QByteArray, field);
    QFETCH(bool, skip);
    QFETCH(bool, mismatch);

    writeFile(path(QStringLiteral("s.txt")),
              oneRecord("\"5\"", field) + "\"http://b/\",\"\",\"6\",#TRUE#\r\n");
    const LogCapture capture(m_folder->path(), false, true);
    colURLs show;
    QVERIFY(show.Read_in_file(path(QStringLiteral("s.txt"))));
    // A mismatch is logged and the slide kept; the next record reads normally.
    QCOMPARE(describe(show),
             (QStringList{QStringLiteral("http://a/||5|") + (skip ? "skip" : "show"),
                          "http://b/||6|skip"}));
    QCOMPARE(capture.messages(),
             mismatch ? QStringList{"read_in_file ERROR: 13\r\nDescription: Type mismatch"}
                      : QStringList());
}

void tst_showfile::records_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QStringList>("slides");

    const QByteArray a = "\"http://a/\",\"\",\"1\",#FALSE#";
    const QByteArray b = "\"http://b/\",\"b.wav\",\"2\",#TRUE#";
    const QStringList both{"http://a/||1|show", "http://b/|b.wav|2|skip"};

    QTest::newRow("CR LF") << a + "\r\n" + b + "\r\n" << both;
    QTest::newRow("LF") << a + "\n" + b + "\n" << both;
    QTest::newRow("mixed, no final end")
        << a + "\n" + b + "\r\n" + a << QStringList{both[0], both[1], both[0]};
    QTest::newRow("blank lines dropped") << "\r\n" + a + "\r\n\r\n  \r\n" + b + "\r\n\r\n" << both;
    QTest::newRow("both texts empty dropped") << a + "\r\n\"\",\"\",\"5\",#TRUE#\r\n" + b << both;
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
    QTest::newRow("byte order mark") << "\xef\xbb\xbf" + a + "\r\n" << QStringList{both[0]};
    QTest::newRow("UTF-8") << QByteArray("\"http://x/\xc3\xa9\",\"\",\"1\",#FALSE#\r\n")
                           << QStringList{"http://x/\u00e9||1|show"};
}

void tst_showfile::records()
{
    QFETCH(QByteArray, file);
    QFETCH(QStringList, slides);

    writeFile(path(QStringLiteral("r.txt")), file);
    colURLs show;
    QVERIFY(show.Read_in_file(path(QStringLiteral("r.txt"))));
    QCOMPARE(describe(show), slides);
}

void tst_showfile::debugLog()
{
    writeFile(path(QStringLiteral("d.txt")), "\"http://a/\",\"\",\" 12 \",#TRUE#\r\n"
                                             "\r\n"
                                             "\"http://b/\",\"b.wav\",\"2.5\",nope\r\n"
                                             "\"http://c/\",\"\",\"99999\",#FALSE#\r\n");
    const LogCapture capture(m_folder->path(), true, true);
    colURLs show;
    QVERIFY(show.Read_in_file(path(QStringLiteral("d.txt"))));
    QCOMPARE(show.Count(), 3);
    // The skip field is read with the record, the pause converted after the
    // record line; the count is of slides taken, not of lines.
    const QStringList expected{
        "0-> Frame:_http://a/_ Sound:__ Pause:_ 12 _ Skip:_True<-",
        "(Line  is empty)",
        "read_in_file ERROR: 13\r\nDescription: Type mismatch",
        "1-> Frame:_http://b/_ Sound:_b.wav_ Pause:_2.5_ Skip:_False<-",
        "2-> Frame:_http://c/_ Sound:__ Pause:_99999_ Skip:_False<-",
        "read_in_file ERROR: 6\r\nDescription: Overflow",
    };
    QCOMPARE(capture.messages(), expected);
}

void tst_showfile::windows1252()
{
    writeFile(path(QStringLiteral("w.txt")), "\"http://x/caf\xe9\",\"\x80.wav\",\"4\",#FALSE#\r\n"
                                             "\"http://y/\x93q\x94\",\"\",\"5\",#TRUE#\r\n");
    colURLs show;
    QVERIFY(show.Read_in_file(path(QStringLiteral("w.txt"))));
    QCOMPARE(describe(show), (QStringList{"http://x/caf\u00e9|\u20ac.wav|4|show",
                                          "http://y/\u201cq\u201d||5|skip"}));
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
    QTest::addColumn<QString>("error");

    QTest::newRow("missing file") << "missing.txt"
                                  << "53\r\nDescription: File not found";
    QTest::newRow("missing folder") << "nowhere/show.txt"
                                    << "76\r\nDescription: Path not found";
    QTest::newRow("a folder") << "folder"
                              << "75\r\nDescription: Path/File access error";
    QTest::newRow("a pipe") << "pipe"
                            << "75\r\nDescription: Path/File access error";
}

void tst_showfile::unreadableFile()
{
    QFETCH(QString, name);
    QFETCH(QString, error);

    QVERIFY(QDir(m_folder->path()).mkdir(QStringLiteral("folder")));
    QCOMPARE(::mkfifo(QFile::encodeName(path(QStringLiteral("pipe"))).constData(), 0600), 0);
    const QString file = path(name);
    colURLs show;
    show.Add(QStringLiteral("http://old/"), QString(), 1, false);
    show.TrayFilename = QStringLiteral("/shows/old.txt");
    const LogCapture capture(m_folder->path(), false, true);

    QVERIFY(!show.Read_in_file(file));
    QCOMPARE(show.Count(), 0);
    QCOMPARE(show.TrayFilename, QStringLiteral("/shows/old.txt"));
    QCOMPARE(m_prompts->shown().size(), 1);
    const Prompts::Request& box = m_prompts->shown().first();
    QCOMPARE(box.text, "The Show file, " + file + ", is not valid.");
    QCOMPARE(box.title, QStringLiteral("File Error"));
    QCOMPARE(box.buttons, Prompts::vbOKOnly + Prompts::vbExclamation);
    QCOMPARE(capture.messages(), QStringList{"Opening read_in_file ERROR: " + error});
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

void tst_showfile::emptyFile()
{
    writeFile(path(QStringLiteral("empty.txt")), QByteArray());
    colURLs show;
    show.Add(QStringLiteral("http://old/"), QString(), 1, false);
    QVERIFY(show.Read_in_file(path(QStringLiteral("empty.txt"))));
    QCOMPARE(show.Count(), 0);
    QCOMPARE(show.TrayFilename, path(QStringLiteral("empty.txt")));
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
    QTest::newRow("NUL inside a field") << QByteArray("\"a\0b\",\"\",\"1\",#TRUE#\r\n", 21) << 1;
    QTest::newRow("quotes and commas") << quotesAndCommas << -1;
    QTest::newRow("lone CR bytes") << QByteArray(1000, '\r') << 1;
    QTest::newRow("only line ends") << QByteArray("\r\n\n\r\n\n") << 0;
}

void tst_showfile::notText()
{
    QFETCH(QByteArray, file);
    QFETCH(int, slides);

    writeFile(path(QStringLiteral("junk.bin")), file);
    const LogCapture capture(m_folder->path(), true, true);
    colURLs show;
    QVERIFY(show.Read_in_file(path(QStringLiteral("junk.bin"))));
    if (slides >= 0)
        QCOMPARE(show.Count(), slides);
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

void tst_showfile::saveReplacesTheFile()
{
    const QString file = path(QStringLiteral("show.txt"));
    writeFile(file, QByteArray(10000, 'x'));
    colURLs show;
    show.Add(QStringLiteral("http://a/"), QStringLiteral("a.wav"), 10, true);
    show.Add(QStringLiteral("http://b/"), QString(), 20, false);
    show.TrayFilename = file;
    show.Changed = true;
    const LogCapture capture(m_folder->path(), true, true);
    show.SavetoDisk();

    QCOMPARE(fileBytes(file), QByteArray("\"http://a/\",\"a.wav\",\"10\",#TRUE#\r\n"
                                         "\"http://b/\",\"\",\"20\",#FALSE#\r\n"));
    QCOMPARE(show.Changed, false);
    QCOMPARE(capture.messages(), (QStringList{"Saving contents to file: " + file,
                                              "ID: http://a/ sound File: a.wav Pause Timer: 10",
                                              "ID: http://b/ sound File:  Pause Timer: 20"}));

    // An empty show leaves an empty file.
    show.EraseAll();
    show.Changed = true;
    show.SavetoDisk();
    QCOMPARE(fileBytes(file), QByteArray());
    QCOMPARE(show.Changed, false);
    QVERIFY(m_prompts->shown().isEmpty());
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
    const LogCapture capture(m_folder->path(), false, true);
    show.SavetoDisk();

    QCOMPARE(show.Changed, true);
    QCOMPARE(fileBytes(path(QStringLiteral("show.txt"))), old);
    QCOMPARE(m_prompts->shown().size(), 1);
    const Prompts::Request& box = m_prompts->shown().first();
    QCOMPARE(box.text, "You selected an invalid file, Error: " + error);
    QCOMPARE(box.title, QStringLiteral("Pagewheel"));
    QCOMPARE(box.buttons, Prompts::vbOKOnly);
    QCOMPARE(capture.messages(),
             QStringList{"Save to disk: user selected an invalid file, Error: " + error});
    // Nothing is left behind in the folder.
    QCOMPARE(QDir(m_folder->path()).entryList(QDir::Files),
             (QStringList{"DebugFile.txt", "show.txt"}));
}

QTEST_GUILESS_MAIN(tst_showfile)
#include "tst_show_showfile.moc"
