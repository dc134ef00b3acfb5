// SPDX-License-Identifier: GPL-3.0-or-later
// Text files read and written, the conversions of their fields, and the settings store.
#include "platform/InputFields.h"
#include "platform/Registry.h"
#include "platform/TextCodec.h"
#include "platform/TextFileReader.h"
#include "platform/TextFileWriter.h"
#include "platform/VbConvert.h"
#include "../support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/fsuid.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using InputFields::Kind;
using Registry::Root;
using TextCodec::Encoding;

namespace {

struct ReadResult
{
    QStringList lines;
    QList<Encoding> encodings;
    int restarts = 0;
    bool ok = false;
    VbError error;
};

ReadResult readLines(const QString& path, qsizetype blockSize = 8 << 20)
{
    ReadResult result;
    result.ok = TextFileReader::forEachLine(
        path,
        [&](QByteArrayView line, Encoding encoding) {
            result.lines.append(TextCodec::decode(line, encoding));
            result.encodings.append(encoding);
        },
        [&] {
            ++result.restarts;
            result.lines.clear();
            result.encodings.clear();
        },
        &result.error, blockSize);
    return result;
}

/// Writes lines of 200 characters under a file size limit (a full disk when
/// small), as another user when `asNobody`; whether the writer committed.
bool writeLimited(const QString& path, int lines, rlim_t limit, bool asNobody, VbError* error)
{
    constexpr uid_t Nobody = 65534;
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit small = old;
    small.rlim_cur = limit;
    setrlimit(RLIMIT_FSIZE, &small);
    if (asNobody) {
        ::setfsgid(Nobody);
        ::setfsuid(Nobody);
    }
    TextFileWriter writer(path);
    bool committed = writer.open(error);
    if (committed) {
        for (int i = 0; i < lines; ++i)
            writer.writeLine(QString(200, QLatin1Char('y')));
        committed = writer.commit(error);
    }
    if (asNobody) {
        ::setfsuid(0);
        ::setfsgid(0);
    }
    setrlimit(RLIMIT_FSIZE, &old);
    return committed;
}

} // namespace

class tst_TextConvert : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void utf8Validation_data();
    void utf8Validation();
    void windows1252();
    void lineEnds_data();
    void lineEnds();
    void longLinesAcrossBlocks();
    void encodingChosenFromFirstBlock();
    void lateInvalidUtf8RestartsAsWindows1252();
    void openErrors();
    void writerWritesCrLfUtf8();
    void failedWriteKeepsOldFile();
    void inPlaceWriteKeepsOldFile();
    void writerOpenErrors();

    void val_data();
    void val();
    void integer_data();
    void integer();
    void boolean_data();
    void boolean();

    void split_data();
    void split();
    void splitKinds();

    void initTestCase();
    void storeLivesUnderConfigHome();
    void valuesRoundTrip_data();
    void valuesRoundTrip();
    void allSettingsAndDelete();
    void handEditedValues();
    void machineKeys();

private:
    QTemporaryDir m_dir;
    QTemporaryDir m_home;
    QTemporaryDir m_bin;
};

void tst_TextConvert::utf8Validation_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("valid");
    QTest::newRow("ascii") << QByteArray("plain text, long enough for the fast path") << true;
    QTest::newRow("two and three bytes") << QByteArray("caf\xc3\xa9 \xe2\x82\xac") << true;
    QTest::newRow("four bytes") << QByteArray("\xf0\x9f\x8e\xa1") << true;
    QTest::newRow("latin-1 byte") << QByteArray("caf\xe9") << false;
    QTest::newRow("overlong slash") << QByteArray("\xc0\xaf") << false;
    QTest::newRow("surrogate") << QByteArray("\xed\xa0\x80") << false;
    QTest::newRow("cut at the end") << QByteArray("abc\xe2\x82") << false;
    QTest::newRow("above U+10FFFF") << QByteArray("\xf4\x90\x80\x80") << false;
}

void tst_TextConvert::utf8Validation()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, valid);
    QCOMPARE(TextCodec::isValidUtf8(bytes), valid);
}

void tst_TextConvert::windows1252()
{
    QCOMPARE(TextCodec::decodeWindows1252("\x80 caf\xe9 \x93q\x94"),
             QString::fromUtf8("\xe2\x82\xac caf\xc3\xa9 \xe2\x80\x9cq\xe2\x80\x9d"));
}

void tst_TextConvert::lineEnds_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<int>("blockSize");
    const int whole = 8 << 20;
    QTest::newRow("CR LF") << QByteArray("a\r\nb\r\n") << QStringList{"a", "b"} << whole;
    QTest::newRow("LF") << QByteArray("a\nb\n") << QStringList{"a", "b"} << whole;
    QTest::newRow("mixed, no end on last")
        << QByteArray("a\r\nb\nc") << QStringList{"a", "b", "c"} << whole;
    QTest::newRow("blank lines kept")
        << QByteArray("a\r\n\r\nb\r\n") << QStringList{"a", "", "b"} << whole;
    QTest::newRow("empty file") << QByteArray() << QStringList{} << whole;
    QTest::newRow("byte-order mark dropped")
        << QByteArray("\xEF\xBB\xBF\"a\"\r\n\"b\"\r\n") << QStringList{"\"a\"", "\"b\""} << whole;
    // Old Mac files end their lines with a CR alone.
    QTest::newRow("lone CR") << QByteArray("a\rb\r\rc\r") << QStringList{"a", "b", "", "c"}
                             << whole;
    QTest::newRow("CR, then CR LF") << QByteArray("a\r\r\nb") << QStringList{"a", "", "b"} << whole;
    // A CR last in a block, its LF first in the next, is one line end.
    QTest::newRow("CR LF across blocks")
        << QByteArray("ab\r\ncd\r\nef\rgh") << QStringList{"ab", "cd", "ef", "gh"} << 3;
    QTest::newRow("lone CR last in a block")
        << QByteArray("abc\rdef\r") << QStringList{"abc", "def"} << 4;
}

void tst_TextConvert::lineEnds()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, lines);
    QFETCH(int, blockSize);
    const QString path = m_dir.filePath(QStringLiteral("ends.txt"));
    writeFile(path, bytes);
    const ReadResult result = readLines(path, blockSize);
    QVERIFY(result.ok);
    QCOMPARE(result.lines, lines);
}

void tst_TextConvert::longLinesAcrossBlocks()
{
    // Lines far longer than a block grow the buffer instead of being cut.
    const QByteArray longLine(100000, 'x');
    const QString path = m_dir.filePath(QStringLiteral("long.txt"));
    writeFile(path, "short\r\n" + longLine + "\r\nend");
    const ReadResult result = readLines(path, 64);
    QVERIFY(result.ok);
    QCOMPARE(result.lines.size(), 3);
    QCOMPARE(result.lines[1].size(), longLine.size());
    QCOMPARE(result.lines[2], QStringLiteral("end"));
}

void tst_TextConvert::encodingChosenFromFirstBlock()
{
    const QString path = m_dir.filePath(QStringLiteral("old.txt"));
    writeFile(path, "first\r\ncaf\xe9\r\n");
    const ReadResult result = readLines(path);
    QCOMPARE(result.restarts, 0);
    QCOMPARE(result.lines, (QStringList{"first", QString::fromUtf8("caf\xc3\xa9")}));
    QCOMPARE(result.encodings.first(), Encoding::Windows1252);
}

void tst_TextConvert::lateInvalidUtf8RestartsAsWindows1252()
{
    const QString path = m_dir.filePath(QStringLiteral("late.txt"));
    QByteArray bytes;
    for (int i = 0; i < 50; ++i)
        bytes += "line " + QByteArray::number(i) + "\r\n";
    bytes += "\xe9t\xe9\r\n";
    writeFile(path, bytes);
    const ReadResult result = readLines(path, 32);
    QVERIFY(result.ok);
    QCOMPARE(result.restarts, 1);
    QCOMPARE(result.lines.size(), 51);
    QCOMPARE(result.lines.first(), QStringLiteral("line 0"));
    QCOMPARE(result.lines.last(), QString::fromUtf8("\xc3\xa9t\xc3\xa9"));
}

void tst_TextConvert::openErrors()
{
    QCOMPARE(readLines(m_dir.filePath(QStringLiteral("missing.txt"))).error.number, 53);
    QCOMPARE(readLines(m_dir.filePath(QStringLiteral("no/such/folder.txt"))).error.number, 76);
    const ReadResult folder = readLines(m_dir.path());
    QVERIFY(!folder.ok);
    QCOMPARE(folder.error.number, 75);
    // A pipe is refused instead of blocking the program.
    const QString fifo = m_dir.filePath(QStringLiteral("pipe"));
    QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    QCOMPARE(readLines(fifo).error.number, 75);
}

void tst_TextConvert::writerWritesCrLfUtf8()
{
    const QString path = m_dir.filePath(QStringLiteral("out.txt"));
    TextFileWriter writer(path);
    VbError error;
    QVERIFY(writer.open(&error));
    writer.writeLine(u"caf\u00e9");
    writer.writeLine(u"");
    QVERIFY(writer.commit(&error));
    QCOMPARE(fileBytes(path), QByteArray("caf\xc3\xa9\r\n\r\n"));
}

void tst_TextConvert::failedWriteKeepsOldFile()
{
    const QString path = m_dir.filePath(QStringLiteral("keep.txt"));
    writeFile(path, "the old show\r\n");
    VbError error;
    QVERIFY(!writeLimited(path, 100, 4096, false, &error));
    QCOMPARE(error.number, 61);
    QCOMPARE(fileBytes(path), QByteArray("the old show\r\n"));
    QCOMPARE(QDir(m_dir.path()).entryList(QDir::Files).filter(QStringLiteral("keep")).size(), 1);
}

void tst_TextConvert::inPlaceWriteKeepsOldFile()
{
    // The folder refuses new files, the file itself may be written. Root
    // writes anywhere, so it writes as another user for the while.
    const QString folder = m_dir.filePath(QStringLiteral("shared"));
    QVERIFY(QDir().mkpath(folder));
    const QString path = folder + QStringLiteral("/show.txt");
    writeFile(path, "the old show\r\n");
    const bool root = ::geteuid() == 0;
    if (root) {
        QVERIFY(::chown(QFile::encodeName(path).constData(), 65534, 65534) == 0);
        QFile::setPermissions(m_dir.path(), QFile::permissions(m_dir.path()) | QFile::ExeOther);
    }
    QFile::setPermissions(folder,
                          QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther);

    // A full disk: nothing of the old show is lost.
    VbError error;
    QVERIFY(!writeLimited(path, 100, 4096, root, &error));
    QCOMPARE(error.number, 61);
    QCOMPARE(fileBytes(path), QByteArray("the old show\r\n"));

    // With room the new text replaces the old, no longer than it is.
    QVERIFY(writeLimited(path, 1, RLIM_INFINITY, root, &error));
    QCOMPARE(fileBytes(path), QByteArray(200, 'y') + "\r\n");
    QVERIFY(writeLimited(path, 0, RLIM_INFINITY, root, &error));
    QCOMPARE(fileBytes(path), QByteArray());
    QCOMPARE(QDir(folder).entryList(QDir::Files), QStringList{"show.txt"});
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

void tst_TextConvert::writerOpenErrors()
{
    VbError error;
    TextFileWriter noFolder(m_dir.filePath(QStringLiteral("none/x.txt")));
    QVERIFY(!noFolder.open(&error));
    QCOMPARE(error.number, 76);
    TextFileWriter folder(m_dir.path());
    QVERIFY(!folder.open(&error));
    QCOMPARE(error.number, 75);
    TextFileWriter unwritable(QStringLiteral("/proc/pagewheel-show.txt"));
    QVERIFY(!unwritable.open(&error));

    // A file the user made read-only stays as it is, even for root.
    const QString readOnly = m_dir.filePath(QStringLiteral("locked.txt"));
    writeFile(readOnly, "kept\r\n");
    QFile::setPermissions(readOnly, QFile::ReadOwner | QFile::ReadGroup);
    TextFileWriter locked(readOnly);
    QVERIFY(!locked.open(&error));
    QCOMPARE(error.number, 75);
    QCOMPARE(QFile::permissions(readOnly) & (QFile::ReadOwner | QFile::WriteOwner),
             QFile::ReadOwner);
}

void tst_TextConvert::val_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("value");
    QTest::newRow("plain") << "30" << 30.0;
    QTest::newRow("blanks around") << "  12  " << 12.0;
    QTest::newRow("fraction") << "2.5" << 2.5;
    QTest::newRow("sign") << "-7" << -7.0;
    QTest::newRow("letters after") << "15sec" << 15.0;
    QTest::newRow("letters only") << "abc" << 0.0;
    QTest::newRow("empty") << "" << 0.0;
    QTest::newRow("second point ends the number") << "1.2.3" << 1.2;
}

void tst_TextConvert::val()
{
    QFETCH(QString, text);
    QFETCH(double, value);
    QCOMPARE(VbConvert::Val(text), value);
}

void tst_TextConvert::integer_data()
{
    QTest::addColumn<int>("bits");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<int>("value");
    QTest::newRow("plain") << 16 << "15" << true << 15;
    QTest::newRow("blanks") << 16 << " 15 " << true << 15;
    QTest::newRow("half to even down") << 16 << "2.5" << true << 2;
    QTest::newRow("half to even up") << 16 << "3.5" << true << 4;
    QTest::newRow("negative half") << 16 << "-2.5" << true << -2;
    QTest::newRow("largest") << 16 << "32767" << true << 32767;
    QTest::newRow("smallest") << 16 << "-32768" << true << -32768;
    QTest::newRow("overflow") << 16 << "70000" << false << 0;
    QTest::newRow("just over after rounding") << 16 << "32767.5" << false << 0;
    QTest::newRow("letters") << 16 << "abc" << false << 0;
    QTest::newRow("trailing letters") << 16 << "12abc" << false << 0;
    QTest::newRow("empty") << 16 << "" << false << 0;
    QTest::newRow("32 bits") << 32 << "70000" << true << 70000;
    QTest::newRow("32 bits overflow") << 32 << "3000000000" << false << 0;
}

void tst_TextConvert::integer()
{
    QFETCH(int, bits);
    QFETCH(QString, text);
    QFETCH(bool, ok);
    QFETCH(int, value);
    // A failed conversion leaves the old value.
    if (bits == 16) {
        qint16 result = 99;
        QCOMPARE(VbConvert::textToInt16(text, &result), ok);
        QCOMPARE(int(result), ok ? value : 99);
    } else {
        qint32 result = 99;
        QCOMPARE(VbConvert::textToInt32(text, &result), ok);
        QCOMPARE(result, ok ? value : 99);
    }
}

void tst_TextConvert::boolean_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<bool>("value");
    QTest::newRow("True") << "True" << true << true;
    QTest::newRow("FALSE") << "FALSE" << true << false;
    QTest::newRow("tRuE") << "tRuE" << true << true;
    QTest::newRow("-1") << "-1" << true << true;
    QTest::newRow("0") << "0" << true << false;
    QTest::newRow("5") << "5" << true << true;
    QTest::newRow("yes") << "yes" << false << false;
    QTest::newRow("empty") << "" << false << false;
}

void tst_TextConvert::boolean()
{
    QFETCH(QString, text);
    QFETCH(bool, ok);
    QFETCH(bool, value);
    bool result = false;
    QCOMPARE(VbConvert::textToBool(text, &result), ok);
    if (ok)
        QCOMPARE(result, value);
}

void tst_TextConvert::split_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QStringList>("fields");

    QTest::newRow("show record") << QByteArray(R"("C:\a\b.htm","","10",#FALSE#)")
                                 << QStringList{"C:\\a\\b.htm", "", "10", "False"};
    QTest::newRow("comma inside quotes")
        << QByteArray(R"("http://x/?a=1,2","s.wav")") << QStringList{"http://x/?a=1,2", "s.wav"};
    QTest::newRow("leading blanks skipped")
        << QByteArray("  \"a\" ,\t 12 , b  ") << QStringList{"a", "12", "b"};
    QTest::newRow("empty line is one empty field") << QByteArray("") << QStringList{""};
    QTest::newRow("trailing comma") << QByteArray("\"a\",") << QStringList{"a", ""};
    QTest::newRow("unbalanced quote runs to the end")
        << QByteArray(R"("abc,def)") << QStringList{"abc,def"};
    QTest::newRow("text after a closing quote is passed over")
        << QByteArray(R"("abc"xyz,"d")") << QStringList{"abc", "d"};
    QTest::newRow("unquoted truth values")
        << QByteArray("#TRUE#,#false#") << QStringList{"True", "False"};
    QTest::newRow("byte-order marks are no text")
        << QByteArray("\xEF\xBB\xBF\"\xEF\xBB\xBF\xEF\xBB\xBF\", \xEF\xBB\xBF,\"a\xEF\xBB\xBF\"")
        << QStringList{"", "", QString::fromUtf8("a\xEF\xBB\xBF")};
    QTest::newRow("NUL bytes are kept as text")
        << QByteArray("\"a\0b\",c", 7) << QStringList{QString::fromUtf8("a\0b", 3), "c"};
}

void tst_TextConvert::split()
{
    QFETCH(QByteArray, line);
    QFETCH(QStringList, fields);
    InputFields::Field found[8];
    const int count = InputFields::split(line, found, 8);
    QStringList texts;
    for (int i = 0; i < count; ++i)
        texts.append(found[i].text(TextCodec::Encoding::Utf8));
    QCOMPARE(texts, fields);
}

void tst_TextConvert::splitKinds()
{
    // Fields past the room given are ignored; a quoted "#TRUE#" is text, not a truth value.
    InputFields::Field found[3];
    QCOMPARE(InputFields::split(R"(#TRUE#,"#TRUE#",#FALSE#,d)", found, 3), 3);
    QCOMPARE(found[0].kind, Kind::True);
    QCOMPARE(found[1].kind, Kind::Quoted);
    QCOMPARE(found[1].text(TextCodec::Encoding::Utf8), QStringLiteral("#TRUE#"));
    QCOMPARE(found[2].kind, Kind::False);
}

void tst_TextConvert::initTestCase()
{
    qputenv("XDG_CONFIG_HOME", m_home.path().toUtf8());
}

void tst_TextConvert::storeLivesUnderConfigHome()
{
    QVERIFY(Registry::SaveSetting(QStringLiteral("Pagewheel"), QStringLiteral("Options"),
                                  QStringLiteral("ToolTips"), QStringLiteral("False")));
    const QString file = Registry::settingsFile(QStringLiteral("Pagewheel"));
    QCOMPARE(file, m_home.path() + QStringLiteral("/Pagewheel/Pagewheel.ini"));
    const QByteArray text = fileBytes(file);
    QVERIFY(text.contains("[Options]"));
    QVERIFY(text.contains("ToolTips=False"));
    // Another program's settings are its own.
    QCOMPARE(Registry::GetSetting(QStringLiteral("Second"), QStringLiteral("Options"),
                                  QStringLiteral("ToolTips")),
             QString());
}

void tst_TextConvert::valuesRoundTrip_data()
{
    QTest::addColumn<QString>("value");
    QTest::newRow("path") << QStringLiteral("/home/me/shows/Demo Show.txt");
    QTest::newRow("commas") << QStringLiteral("a, b,c");
    QTest::newRow("quotes and backslashes") << QStringLiteral("say \"hi\" C:\\x\\");
    QTest::newRow("leading at sign") << QStringLiteral("@Variant(x)");
    QTest::newRow("blanks around") << QStringLiteral("  padded  ");
    QTest::newRow("non-ASCII") << QStringLiteral("Gr\u00fc\u00dfe \u20ac \u65e5\u672c");
    QTest::newRow("semicolon and equals") << QStringLiteral("k=v; #not a comment");
    QTest::newRow("empty") << QString();
}

void tst_TextConvert::valuesRoundTrip()
{
    QFETCH(QString, value);
    const QString app = QStringLiteral("Pagewheel");
    QVERIFY(Registry::SaveSetting(app, QStringLiteral("Settings"), QStringLiteral("Value"), value));
    QCOMPARE(Registry::GetSetting(app, QStringLiteral("Settings"), QStringLiteral("Value"),
                                  QStringLiteral("default")),
             value);
    const auto all = Registry::GetAllSettings(app, QStringLiteral("Settings"));
    QVERIFY(all.contains(Registry::Setting(QStringLiteral("Value"), value)));
}

void tst_TextConvert::allSettingsAndDelete()
{
    const QString app = QStringLiteral("ListApp");
    QVERIFY(Registry::GetAllSettings(app, QStringLiteral("Options")).isEmpty());
    QCOMPARE(Registry::GetSetting(app, QStringLiteral("Options"), QStringLiteral("Missing"),
                                  QStringLiteral("5")),
             QStringLiteral("5"));
    Registry::SaveSetting(app, QStringLiteral("Options"), QStringLiteral("B"), QStringLiteral("2"));
    Registry::SaveSetting(app, QStringLiteral("Options"), QStringLiteral("A"), QStringLiteral("1"));
    Registry::SaveSetting(app, QStringLiteral("Other"), QStringLiteral("C"), QStringLiteral("3"));
    QCOMPARE(Registry::GetAllSettings(app, QStringLiteral("Options")),
             (QList<Registry::Setting>{{"A", "1"}, {"B", "2"}}));
    Registry::DeleteSetting(app, QStringLiteral("Options"), QStringLiteral("A"));
    QCOMPARE(Registry::GetAllSettings(app, QStringLiteral("Options")).size(), 1);
    Registry::DeleteSetting(app, QStringLiteral("Options"));
    QVERIFY(Registry::GetAllSettings(app, QStringLiteral("Options")).isEmpty());
    QCOMPARE(Registry::GetAllSettings(app, QStringLiteral("Other")).size(), 1);
}

void tst_TextConvert::handEditedValues()
{
    // A value typed into the file with commas is still one text.
    QDir().mkpath(m_home.path() + QStringLiteral("/Pagewheel"));
    writeFile(Registry::settingsFile(QStringLiteral("Edited")),
              "[Options]\nCarouselFileName=/home/u/a,b.txt\n");
    QCOMPARE(Registry::GetSetting(QStringLiteral("Edited"), QStringLiteral("Options"),
                                  QStringLiteral("CarouselFileName")),
             QStringLiteral("/home/u/a,b.txt"));
    QCOMPARE(Registry::GetAllSettings(QStringLiteral("Edited"), QStringLiteral("Options"))
                 .first()
                 .second,
             QStringLiteral("/home/u/a,b.txt"));
}

void tst_TextConvert::machineKeys()
{
    // A fake browser and system information program on PATH.
    for (const char* name : {"chromium", "hardinfo", "MyBrowser"}) {
        QFile program(m_bin.filePath(QString::fromLatin1(name)));
        QVERIFY(program.open(QIODevice::WriteOnly));
        program.write("#!/bin/sh\n");
        program.close();
        program.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    const QByteArray oldPath = qgetenv("PATH");
    qputenv("PATH", m_bin.path().toUtf8());
    const QString appPaths =
        QStringLiteral("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\");

    QCOMPARE(Registry::RegGetString(Root::LocalMachine, appPaths + "IExplore.exe", QString()),
             m_bin.filePath(QStringLiteral("chromium")));
    QCOMPARE(Registry::RegGetString(Root::LocalMachine, appPaths + "mybrowser.EXE", QString()),
             m_bin.filePath(QStringLiteral("MyBrowser")));
    QCOMPARE(Registry::RegGetString(Root::LocalMachine, appPaths + "Netscape.exe", QString(),
                                    QStringLiteral("none")),
             QStringLiteral("none"));
    QCOMPARE(Registry::RegGetString(Root::LocalMachine,
                                    QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO"),
                                    QStringLiteral("PATH")),
             m_bin.filePath(QStringLiteral("hardinfo")));
    QCOMPARE(Registry::RegGetString(Root::LocalMachine, QStringLiteral("SOFTWARE\\Anything"),
                                    QStringLiteral("Value"), QStringLiteral("dflt")),
             QStringLiteral("dflt"));
    qputenv("PATH", oldPath);
}

QTEST_GUILESS_MAIN(tst_TextConvert)
#include "tst_TextConvert.moc"
