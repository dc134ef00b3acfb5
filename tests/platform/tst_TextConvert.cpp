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

/// Writes lines of 200 characters under a file size limit (a full disk when small), as
/// another user when `asNobody`; whether the writer committed.
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
    for (int i = 0; committed && i < lines; ++i)
        writer.writeLine(QString(200, QLatin1Char('y')));
    committed = committed && writer.commit(error);
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

    QTemporaryDir m_dir;
    QTemporaryDir m_home;
    QTemporaryDir m_bin;
    QString file(const char* name) const { return m_dir.filePath(QLatin1String(name)); }

private Q_SLOTS:
    void initTestCase() { qputenv("XDG_CONFIG_HOME", m_home.path().toUtf8()); }

    void utf8Validation()
    {
        for (const char* valid : {"plain text, long enough for the fast path",
                                  "caf\xc3\xa9 \xe2\x82\xac", "\xf0\x9f\x8e\xa1"})
            QVERIFY2(TextCodec::isValidUtf8(valid), valid);
        // Latin-1, overlong slash, surrogate, cut at the end, above U+10FFFF.
        for (const char* invalid :
             {"caf\xe9", "\xc0\xaf", "\xed\xa0\x80", "abc\xe2\x82", "\xf4\x90\x80\x80"})
            QVERIFY2(!TextCodec::isValidUtf8(invalid), invalid);
        QCOMPARE(TextCodec::decodeWindows1252("\x80 caf\xe9 \x93q\x94"),
                 QString::fromUtf8("\xe2\x82\xac caf\xc3\xa9 \xe2\x80\x9cq\xe2\x80\x9d"));
    }

    void lineEnds_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<int>("blockSize");
        const auto row = [](const char* name, const QByteArray& bytes, const QStringList& lines,
                            int blockSize = 8 << 20) {
            QTest::newRow(name) << bytes << lines << blockSize;
        };
        row("CR LF", "a\r\nb\r\n", {"a", "b"});
        row("LF", "a\nb\n", {"a", "b"});
        row("mixed, no end on last", "a\r\nb\nc", {"a", "b", "c"});
        row("blank lines kept", "a\r\n\r\nb\r\n", {"a", "", "b"});
        row("empty file", QByteArray(), {});
        row("byte-order mark dropped", "\xEF\xBB\xBF\"a\"\r\n\"b\"\r\n", {"\"a\"", "\"b\""});
        row("lone CR (old Mac files)", "a\rb\r\rc\r", {"a", "b", "", "c"});
        row("CR, then CR LF", "a\r\r\nb", {"a", "", "b"});
        // A CR last in a block, its LF first in the next, is one line end.
        row("CR LF across blocks", "ab\r\ncd\r\nef\rgh", {"ab", "cd", "ef", "gh"}, 3);
        row("lone CR last in a block", "abc\rdef\r", {"abc", "def"}, 4);
    }
    void lineEnds()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, blockSize);
        writeFile(file("ends.txt"), bytes);
        const ReadResult result = readLines(file("ends.txt"), blockSize);
        QVERIFY(result.ok);
        QTEST(result.lines, "lines");
    }

    void blocksAndEncodings()
    {
        // Lines far longer than a block grow the buffer instead of being cut.
        writeFile(file("long.txt"), "short\r\n" + QByteArray(100000, 'x') + "\r\nend");
        ReadResult result = readLines(file("long.txt"), 64);
        QVERIFY(result.ok);
        QCOMPARE(result.lines, (QStringList{"short", QString(100000, u'x'), "end"}));

        // The encoding is chosen from the first block, and a later invalid UTF-8 byte restarts
        // the file as Windows-1252.
        QByteArray late;
        for (int i = 0; i < 50; ++i)
            late += "line " + QByteArray::number(i) + "\r\n";
        for (const auto& [bytes, restarts, size] :
             {std::tuple{QByteArray("caf\xe9\r\n\xe9t\xe9"), 0, 2},
              {late + "caf\xe9\r\n\xe9t\xe9", 1, 52}}) {
            writeFile(file("old.txt"), bytes);
            result = readLines(file("old.txt"), 32);
            QVERIFY(result.ok);
            QCOMPARE(result.restarts, restarts);
            QCOMPARE(result.encodings, QList<Encoding>(size, Encoding::Windows1252));
            QCOMPARE(result.lines.mid(size - 2),
                     QString::fromUtf8("caf\xc3\xa9|\xc3\xa9t\xc3\xa9").split(u'|'));
        }
        QCOMPARE(result.lines.first(), QStringLiteral("line 0"));
    }

    void openErrors()
    {
        // A pipe is refused instead of blocking the program.
        QCOMPARE(::mkfifo(QFile::encodeName(file("pipe")).constData(), 0600), 0);
        for (const auto& [name, number] : {std::pair{file("missing.txt"), 53},
                                           {file("no/such/folder.txt"), 76},
                                           {m_dir.path(), 75},
                                           {file("pipe"), 75}}) {
            const ReadResult result = readLines(name);
            QVERIFY(!result.ok);
            QCOMPARE(result.error.number, number);
        }
        // A file the user made read-only stays as it is, even for root.
        writeFile(file("locked.txt"), "kept\r\n");
        QFile::setPermissions(file("locked.txt"), QFile::ReadOwner | QFile::ReadGroup);
        for (const auto& [name, number] : {std::pair{file("none/x.txt"), 76},
                                           {m_dir.path(), 75},
                                           {QStringLiteral("/proc/pagewheel-show.txt"), 0},
                                           {file("locked.txt"), 75}}) {
            VbError error;
            QVERIFY(!TextFileWriter(name).open(&error));
            QVERIFY(error.isError() && (!number || error.number == number));
        }
        QCOMPARE(QFile::permissions(file("locked.txt")) & (QFile::ReadOwner | QFile::WriteOwner),
                 QFile::ReadOwner);
    }

    void writerKeepsTheOldFileOnFailure()
    {
        TextFileWriter writer(file("out.txt"));
        VbError error;
        QVERIFY(writer.open(&error));
        writer.writeLine(u"caf\u00e9");
        writer.writeLine(u"");
        QVERIFY(writer.commit(&error));
        QCOMPARE(fileBytes(file("out.txt")), QByteArray("caf\xc3\xa9\r\n\r\n"));

        // A folder that refuses new files has the file written in place; root writes anywhere,
        // so it writes as another user for the while.
        const QString own = file("own"), shared = file("shared");
        const bool root = ::geteuid() == 0;
        for (const QString& folder : {own, shared}) {
            QVERIFY(QDir().mkpath(folder));
            writeFile(folder + "/show.txt", "the old show\r\n");
        }
        if (root) {
            QVERIFY(::chown(QFile::encodeName(shared + "/show.txt").constData(), 65534, 65534) ==
                    0);
            QFile::setPermissions(m_dir.path(), QFile::permissions(m_dir.path()) | QFile::ExeOther);
        }
        QFile::setPermissions(shared, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther |
                                          QFile::ExeOther);
        for (const auto& [folder, asNobody] : {std::pair{own, false}, {shared, root}}) {
            // A full disk: nothing of the old show is lost.
            const QString path = folder + "/show.txt";
            QVERIFY(!writeLimited(path, 100, 4096, asNobody, &error));
            QCOMPARE(error.number, 61);
            QCOMPARE(fileBytes(path), QByteArray("the old show\r\n"));
            // With room the new text replaces the old, no longer than it is.
            QVERIFY(writeLimited(path, 1, RLIM_INFINITY, asNobody, &error));
            QCOMPARE(fileBytes(path), QByteArray(200, 'y') + "\r\n");
            QVERIFY(writeLimited(path, 0, RLIM_INFINITY, asNobody, &error));
            QCOMPARE(fileBytes(path), QByteArray());
            QCOMPARE(QDir(folder).entryList(QDir::Files), QStringList{"show.txt"});
        }
        QFile::setPermissions(shared, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    void conversions()
    {
        // What each text converts to; "-" when it does not and the old value stays.
        const auto converted = [](int bits, const QString& text) {
            qint16 small = 99;
            qint32 large = 99;
            bool truth = false, otherTruth = true;
            switch (bits) {
            case 0:
                return QString::number(VbConvert::Val(text));
            case 16:
                return VbConvert::textToInt16(text, &small) ? QString::number(small)
                       : small == 99                        ? QStringLiteral("-")
                                                            : QStringLiteral("changed");
            case 32:
                return VbConvert::textToInt32(text, &large) ? QString::number(large)
                       : large == 99                        ? QStringLiteral("-")
                                                            : QStringLiteral("changed");
            }
            const bool ok = VbConvert::textToBool(text, &truth);
            if (VbConvert::textToBool(text, &otherTruth) != ok)
                return QStringLiteral("inconsistent");
            return truth != otherTruth ? QString(ok ? "changed" : "-")
                                       : QString::number(int(truth));
        };
        for (const auto& [bits, texts, results] :
             {std::tuple{0, "  12  |2.5|-7|15sec|abc||1.2.3", "12|2.5|-7|15|0|0|1.2"},
              // halves to even; just over the range after rounding
              {16, " 15 |2.5|3.5|-2.5|32767|-32768|70000|32767.5|abc|12abc",
               "15|2|4|-2|32767|-32768|-|-|-|-"},
              {32, "70000|3000000000", "70000|-"},
              {1, "FALSE|tRuE|-1|0|yes", "0|1|1|0|-"}}) {
            QStringList found;
            for (const QString& text : QString::fromLatin1(texts).split(u'|'))
                found << converted(bits, text);
            QCOMPARE(found, QString::fromLatin1(results).split(u'|'));
        }
    }

    void split_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QStringList>("fields");
        const auto row = [](const char* name, const QByteArray& line, const QStringList& fields) {
            QTest::newRow(name) << line << fields;
        };
        row("show record", R"("C:\a\b.htm","","10",#FALSE#)", {"C:\\a\\b.htm", "", "10", "False"});
        row("comma inside quotes", R"("http://x/?a=1,2","s.wav")", {"http://x/?a=1,2", "s.wav"});
        row("leading blanks skipped", "  \"a\" ,\t 12 , b  ", {"a", "12", "b"});
        row("empty line is one empty field", "", {""});
        row("trailing comma", "\"a\",", {"a", ""});
        row("unbalanced quote runs to the end", R"("abc,def)", {"abc,def"});
        row("text after a closing quote is passed over", R"("abc"xyz,"d")", {"abc", "d"});
        row("unquoted truth values", "#TRUE#,#false#", {"True", "False"});
        row("byte-order marks are no text",
            "\xEF\xBB\xBF\"\xEF\xBB\xBF\xEF\xBB\xBF\", \xEF\xBB\xBF,\"a\xEF\xBB\xBF\"",
            {"", "", QString::fromUtf8("a\xEF\xBB\xBF")});
        row("NUL bytes are kept as text", QByteArray("\"a\0b\",c", 7),
            {QString::fromUtf8("a\0b", 3), "c"});
    }
    void split()
    {
        QFETCH(QByteArray, line);
        InputFields::Field found[8];
        const int count = InputFields::split(line, found, 8);
        QStringList texts;
        for (int i = 0; i < count; ++i)
            texts.append(found[i].text(TextCodec::Encoding::Utf8));
        QTEST(texts, "fields");
    }

    void splitKinds()
    {
        // Fields past the room given are ignored; a quoted "#TRUE#" is text, not a truth value.
        InputFields::Field found[3];
        QCOMPARE(InputFields::split(R"(#TRUE#,"#TRUE#",#FALSE#,d)", found, 3), 3);
        QCOMPARE((QList<Kind>{found[0].kind, found[1].kind, found[2].kind}),
                 (QList<Kind>{Kind::True, Kind::Quoted, Kind::False}));
        QCOMPARE(found[1].text(TextCodec::Encoding::Utf8), QStringLiteral("#TRUE#"));
    }

    void settingsStore()
    {
        const QString app = QStringLiteral("Pagewheel"), options = QStringLiteral("Options");
        QVERIFY(Registry::SaveSetting(app, options, QStringLiteral("ToolTips"), "False"));
        const QString store = Registry::settingsFile(app);
        QCOMPARE(store, m_home.path() + QStringLiteral("/Pagewheel/Pagewheel.ini"));
        QVERIFY(fileBytes(store).contains("[Options]\nToolTips=False"));
        // Another program's settings are its own.
        QCOMPARE(Registry::GetSetting(QStringLiteral("Second"), options, "ToolTips"), QString());

        // Values come back as they were stored, as the only one of their section.
        for (const QString& value :
             {QStringLiteral("/home/me/shows/Demo Show.txt"), QStringLiteral("a, b,c,"),
              QStringLiteral("say \"hi\" C:\\x\\"), QStringLiteral("\"quoted\""),
              QStringLiteral("@Variant(\\0\\0\\0\\x2)"), QStringLiteral("  padded  "),
              QStringLiteral("Gr\u00fc\u00dfe \u20ac \u65e5\u672c \U0001F600"),
              QStringLiteral("[Options]\nk=v; #not a comment\r\ntwo\tthree"), QString()}) {
            QVERIFY(Registry::SaveSetting(app, QStringLiteral("Settings"), "Value", value));
            QCOMPARE(Registry::GetSetting(app, QStringLiteral("Settings"), "Value", "default"),
                     value);
            QCOMPARE(Registry::GetAllSettings(app, QStringLiteral("Settings")),
                     (QList<Registry::Setting>{{"Value", value}}));
        }

        QCOMPARE(Registry::GetSetting(QStringLiteral("Third"), options, "Missing", "5"),
                 QStringLiteral("5"));

        // A value typed into the file with commas is still one text.
        writeFile(Registry::settingsFile(QStringLiteral("Edited")),
                  "[Options]\nCarouselFileName=/home/u/a,b.txt\n");
        QCOMPARE(Registry::GetSetting(QStringLiteral("Edited"), options, "CarouselFileName"),
                 QStringLiteral("/home/u/a,b.txt"));
        QCOMPARE(Registry::GetAllSettings(QStringLiteral("Edited"), options),
                 (QList<Registry::Setting>{{"CarouselFileName", "/home/u/a,b.txt"}}));
    }

    void machineKeys()
    {
        // A fake browser and system information program on PATH.
        for (const char* name : {"chromium", "hardinfo", "MyBrowser"}) {
            writeFile(m_bin.filePath(QLatin1String(name)), "#!/bin/sh\n");
            QFile::setPermissions(m_bin.filePath(QLatin1String(name)),
                                  QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        }
        const QByteArray oldPath = qgetenv("PATH");
        qputenv("PATH", m_bin.path().toUtf8());
        const QString paths = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\";
        QStringList found;
        for (const auto& [subKey, value] : {std::pair<QString, QString>{paths + "IExplore.exe", ""},
                                            {paths + "mybrowser.EXE", ""},
                                            {paths + "Netscape.exe", ""},
                                            {"SOFTWARE\\Microsoft\\Shared Tools\\MSINFO", "PATH"},
                                            {"SOFTWARE\\Anything", "Value"}})
            found << Registry::RegGetString(Root::LocalMachine, subKey, value, "none");
        qputenv("PATH", oldPath);
        QCOMPARE(found, (QStringList{m_bin.filePath("chromium"), m_bin.filePath("MyBrowser"),
                                     "none", m_bin.filePath("hardinfo"), "none"}));
    }
};

QTEST_GUILESS_MAIN(tst_TextConvert)
#include "tst_TextConvert.moc"
