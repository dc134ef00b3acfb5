// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/TextCodec.h"
#include "platform/TextFileReader.h"
#include "platform/TextFileWriter.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/fsuid.h>
#include <sys/stat.h>
#include <unistd.h>
#include <sys/resource.h>

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

void writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class tst_TextFile : public QObject
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
    void byteOrderMarkDropped();
    void writerWritesCrLfUtf8();
    void failedWriteKeepsOldFile();
    void inPlaceWriteKeepsOldFile();
    void writerOpenErrors();

private:
    QTemporaryDir m_dir;
};

void tst_TextFile::utf8Validation_data()
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

void tst_TextFile::utf8Validation()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, valid);
    QCOMPARE(TextCodec::isValidUtf8(bytes), valid);
}

void tst_TextFile::windows1252()
{
    QCOMPARE(TextCodec::decodeWindows1252("\x80 caf\xe9 \x93q\x94"),
             QString::fromUtf8("\xe2\x82\xac caf\xc3\xa9 \xe2\x80\x9cq\xe2\x80\x9d"));
}

void tst_TextFile::lineEnds_data()
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

void tst_TextFile::lineEnds()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, lines);
    QFETCH(int, blockSize);
    const QString path = m_dir.filePath(QStringLiteral("ends.txt"));
    writeBytes(path, bytes);
    const ReadResult result = readLines(path, blockSize);
    QVERIFY(result.ok);
    QCOMPARE(result.lines, lines);
}

void tst_TextFile::longLinesAcrossBlocks()
{
    // Lines far longer than a block grow the buffer instead of being cut.
    const QByteArray longLine(100000, 'x');
    const QString path = m_dir.filePath(QStringLiteral("long.txt"));
    writeBytes(path, "short\r\n" + longLine + "\r\nend");
    const ReadResult result = readLines(path, 64);
    QVERIFY(result.ok);
    QCOMPARE(result.lines.size(), 3);
    QCOMPARE(result.lines[1].size(), longLine.size());
    QCOMPARE(result.lines[2], QStringLiteral("end"));
}

void tst_TextFile::encodingChosenFromFirstBlock()
{
    const QString path = m_dir.filePath(QStringLiteral("old.txt"));
    writeBytes(path, "first\r\ncaf\xe9\r\n");
    const ReadResult result = readLines(path);
    QCOMPARE(result.restarts, 0);
    QCOMPARE(result.lines, (QStringList{"first", QString::fromUtf8("caf\xc3\xa9")}));
    QCOMPARE(result.encodings.first(), Encoding::Windows1252);
}

void tst_TextFile::lateInvalidUtf8RestartsAsWindows1252()
{
    const QString path = m_dir.filePath(QStringLiteral("late.txt"));
    QByteArray bytes;
    for (int i = 0; i < 50; ++i)
        bytes += "line " + QByteArray::number(i) + "\r\n";
    bytes += "\xe9t\xe9\r\n";
    writeBytes(path, bytes);
    const ReadResult result = readLines(path, 32);
    QVERIFY(result.ok);
    QCOMPARE(result.restarts, 1);
    QCOMPARE(result.lines.size(), 51);
    QCOMPARE(result.lines.first(), QStringLiteral("line 0"));
    QCOMPARE(result.lines.last(), QString::fromUtf8("\xc3\xa9t\xc3\xa9"));
}

void tst_TextFile::openErrors()
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

void tst_TextFile::byteOrderMarkDropped()
{
    const QString path = m_dir.filePath(QStringLiteral("bom.txt"));
    writeBytes(path, "\xEF\xBB\xBF\"a\"\r\n\"b\"\r\n");
    QCOMPARE(readLines(path).lines, (QStringList{"\"a\"", "\"b\""}));
}

void tst_TextFile::writerWritesCrLfUtf8()
{
    const QString path = m_dir.filePath(QStringLiteral("out.txt"));
    TextFileWriter writer(path);
    VbError error;
    QVERIFY(writer.open(&error));
    writer.writeLine(u"caf\u00e9");
    writer.writeLine(u"");
    QVERIFY(writer.commit(&error));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("caf\xc3\xa9\r\n\r\n"));
}

void tst_TextFile::failedWriteKeepsOldFile()
{
    // A file size limit makes the write fail part way, as a full disk does.
    const QString path = m_dir.filePath(QStringLiteral("keep.txt"));
    writeBytes(path, "the old show\r\n");
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit small = old;
    small.rlim_cur = 4096;
    setrlimit(RLIMIT_FSIZE, &small);

    TextFileWriter writer(path);
    VbError error;
    bool committed = true;
    if (writer.open(&error)) {
        const QString line(200, QLatin1Char('y'));
        for (int i = 0; i < 100; ++i)
            writer.writeLine(line);
        committed = writer.commit(&error);
    }
    setrlimit(RLIMIT_FSIZE, &old);

    QVERIFY(!committed);
    QCOMPARE(error.number, 61);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("the old show\r\n"));
    QCOMPARE(QDir(m_dir.path()).entryList(QDir::Files).filter(QStringLiteral("keep")).size(), 1);
}

void tst_TextFile::inPlaceWriteKeepsOldFile()
{
    // The folder refuses new files, the file itself may be written. Root
    // writes anywhere, so it writes as another user for the while.
    const QString folder = m_dir.filePath(QStringLiteral("shared"));
    QVERIFY(QDir().mkpath(folder));
    const QString path = folder + QStringLiteral("/show.txt");
    writeBytes(path, "the old show\r\n");
    const bool root = ::geteuid() == 0;
    constexpr uid_t Nobody = 65534;
    if (root) {
        QVERIFY(::chown(QFile::encodeName(path).constData(), Nobody, Nobody) == 0);
        QFile::setPermissions(m_dir.path(), QFile::permissions(m_dir.path()) | QFile::ExeOther);
    }
    QFile::setPermissions(folder,
                          QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther);
    const auto writeAs = [&](int lines, rlim_t limit, VbError* error) {
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit old{};
        getrlimit(RLIMIT_FSIZE, &old);
        rlimit small = old;
        small.rlim_cur = limit;
        setrlimit(RLIMIT_FSIZE, &small);
        if (root) {
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
        if (root) {
            ::setfsuid(0);
            ::setfsgid(0);
        }
        setrlimit(RLIMIT_FSIZE, &old);
        return committed;
    };

    // A full disk: nothing of the old show is lost.
    VbError error;
    QVERIFY(!writeAs(100, 4096, &error));
    QCOMPARE(error.number, 61);
    QCOMPARE(fileBytes(path), QByteArray("the old show\r\n"));

    // With room the new text replaces the old, no longer than it is.
    QVERIFY(writeAs(1, RLIM_INFINITY, &error));
    QCOMPARE(fileBytes(path), QByteArray(200, 'y') + "\r\n");
    QVERIFY(writeAs(0, RLIM_INFINITY, &error));
    QCOMPARE(fileBytes(path), QByteArray());
    QCOMPARE(QDir(folder).entryList(QDir::Files), QStringList{"show.txt"});
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

void tst_TextFile::writerOpenErrors()
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
    writeBytes(readOnly, "kept\r\n");
    QFile::setPermissions(readOnly, QFile::ReadOwner | QFile::ReadGroup);
    TextFileWriter locked(readOnly);
    QVERIFY(!locked.open(&error));
    QCOMPARE(error.number, 75);
    QCOMPARE(QFile::permissions(readOnly) & (QFile::ReadOwner | QFile::WriteOwner),
             QFile::ReadOwner);
}

QTEST_GUILESS_MAIN(tst_TextFile)
#include "tst_TextFile.moc"
