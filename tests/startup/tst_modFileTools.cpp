// SPDX-License-Identifier: GPL-3.0-or-later
#include "LogCapture.h"
#include "startup/modFileTools.h"
#include "startup/modMain.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

using namespace modFileTools;

class tst_modFileTools : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup();
    void joinPath_data();
    void joinPath();
    void fileNameNoExt_data();
    void fileNameNoExt();
    void fileFromPath_data();
    void fileFromPath();
    void firstToken();
    void fileExists();
    void checkDirectory();
    void shortPathName();
    void fileDate();
    void countLines();
    void commandLine_data();
    void commandLine();

private:
    QTemporaryDir m_dir;
};

void tst_modFileTools::cleanup()
{
    modMain::ResetProgramState();
}

void tst_modFileTools::joinPath_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("joined");
    QTest::newRow("both separators") << "C:\\a\\"
                                     << "\\b.htm"
                                     << "C:\\a\\b.htm";
    QTest::newRow("neither, backslash path") << "C:\\a"
                                             << "b.htm"
                                             << "C:\\a\\b.htm";
    QTest::newRow("empty folder") << ""
                                  << "b.htm"
                                  << "b.htm";
    QTest::newRow("empty name") << "/shows"
                                << ""
                                << "/shows";
    QTest::newRow("neither, slash path") << "/home/me"
                                         << "b.htm"
                                         << "/home/me/b.htm";
    QTest::newRow("folder ends") << "/home/me/"
                                 << "b.htm"
                                 << "/home/me/b.htm";
    QTest::newRow("name starts") << "/home/me"
                                 << "/b.htm"
                                 << "/home/me/b.htm";
    QTest::newRow("mixed ends") << "/home/me/"
                                << "\\b.htm"
                                << "/home/me\\b.htm";
    QTest::newRow("bare folder") << "data"
                                 << "x.txt"
                                 << "data/x.txt";
}

void tst_modFileTools::joinPath()
{
    QFETCH(QString, folder);
    QFETCH(QString, name);
    QFETCH(QString, joined);
    QCOMPARE(JoinPath(folder, name), joined);
}

void tst_modFileTools::fileNameNoExt_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("name");
    QTest::newRow("any case") << "C:\\shows\\Demo.TXT"
                              << "Demo";
    QTest::newRow("other extension") << "Demo.html"
                                     << "Demo.html";
    QTest::newRow("slash path") << "/home/me/Lobby.txt"
                                << "Lobby";
    QTest::newRow("empty") << ""
                           << "";
    QTest::newRow("only the extension") << "txt"
                                        << "txt";
}

void tst_modFileTools::fileNameNoExt()
{
    QFETCH(QString, path);
    QFETCH(QString, name);
    QCOMPARE(FileNameNoExt(path, QStringLiteral("txt")), name);
}

void tst_modFileTools::fileFromPath_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("file");
    QTest::newRow("backslashes") << "C:\\a\\b.htm"
                                 << "b.htm";
    QTest::newRow("slashes") << "/a/b.htm"
                             << "b.htm";
    QTest::newRow("ends in separator") << "C:\\a\\"
                                       << "";
    QTest::newRow("bare name") << "b.htm"
                               << "b.htm";
}

void tst_modFileTools::fileFromPath()
{
    QFETCH(QString, path);
    QFETCH(QString, file);
    QCOMPARE(FileFromPath(path), file);
}

void tst_modFileTools::firstToken()
{
    QCOMPARE(FirstToken(QStringLiteral("home\\me\\x"), QStringLiteral("\\")),
             QStringLiteral("home"));
    QCOMPARE(FirstToken(QStringLiteral("plain"), QStringLiteral("\\")), QStringLiteral("plain"));
}

void tst_modFileTools::fileExists()
{
    const QString file = m_dir.filePath(QStringLiteral("here.txt"));
    QFile created(file);
    QVERIFY(created.open(QIODevice::WriteOnly));
    created.close();
    QVERIFY(FileExists(file));
    QVERIFY(!FileExists(m_dir.filePath(QStringLiteral("gone.txt"))));
    QVERIFY(!FileExists(m_dir.path()));
    QVERIFY(!FileExists(QString()));
}

void tst_modFileTools::checkDirectory()
{
    modMain::SetProgramFolder(m_dir.path());
    QVERIFY(modMain::OpenLogFile(modMain::DebugFileName));
    modMain::LogToFile = modMain::DebugMode = true;
    const QString existing = m_dir.path() + QStringLiteral("/");
    QVERIFY(CheckDirectory(existing + QStringLiteral("show.txt")));
    QVERIFY(!CheckDirectory(existing + QStringLiteral("nope/show.txt")));
    QVERIFY(CheckDirectory(QStringLiteral("show.txt")));
    QVERIFY(!CheckDirectory(QString()));
    // Without a trailing separator only the parent folder is tested.
    QVERIFY(CheckDirectory(existing + QStringLiteral("nope")));
    QCOMPARE(LogCapture::messagesOf(modMain::DebugFileName),
             (QStringList{"Directory:_" + existing + "_exists!",
                          "Directory:_" + existing + "nope/_does NOT exist!",
                          "Directory:_show.txt_is a filename!", "Empty!",
                          "Directory:_" + existing + "_exists!"}));
}

void tst_modFileTools::shortPathName()
{
    QDir(m_dir.path()).mkpath(QStringLiteral("Long Folder Name"));
    const QString folder = m_dir.filePath(QStringLiteral("Long Folder Name"));
    QCOMPARE(ShortPathName(folder), folder);
    QCOMPARE(ShortPathName(folder + QStringLiteral("/missing.txt")), QString());
    QCOMPARE(ShortPathName(QStringLiteral("no-separator")), QString());
    QCOMPARE(ShortFileName(folder), QStringLiteral("Long Folder Name"));
    QCOMPARE(ShortFileName(folder + QStringLiteral("/x")), QString());
}

void tst_modFileTools::fileDate()
{
    const QString file = m_dir.filePath(QStringLiteral("dated.txt"));
    QFile created(file);
    QVERIFY(created.open(QIODevice::WriteOnly));
    const QDateTime when(QDate(2024, 2, 29), QTime(13, 45, 30, 400));
    QVERIFY(created.setFileTime(when, QFileDevice::FileModificationTime));
    created.close();
    // 29 Feb 2024 is day 45351 after 30 Dec 1899; whole seconds only.
    const double expected = 45351 + (13 * 3600 + 45 * 60 + 30) / 86400.0;
    QVERIFY(qAbs(FileDate(QStringLiteral("  ") + file + QStringLiteral(" ")) - expected) < 1e-9);

    modMain::SetProgramFolder(m_dir.path());
    QVERIFY(modMain::OpenLogFile(modMain::ErrorFileName));
    modMain::LogToFile = true; // these lines need no category
    QCOMPARE(FileDate(m_dir.filePath(QStringLiteral("none.txt"))), 0.0);
    QCOMPARE(LogCapture::messagesOf(modMain::ErrorFileName),
             QStringList{"Can't find the file: " + m_dir.filePath(QStringLiteral("none.txt"))});
}

void tst_modFileTools::countLines()
{
    const QString file = m_dir.filePath(QStringLiteral("count.txt"));
    QFile created(file);
    QVERIFY(created.open(QIODevice::WriteOnly));
    created.write("one\r\n\r\ntwo\nthree\n\n");
    created.close();
    QCOMPARE(CountLines(file), qint16(3));
    QCOMPARE(CountLines(QString()), qint16(0));
    QCOMPARE(CountLines(m_dir.filePath(QStringLiteral("none.txt"))), qint16(0));
}

void tst_modFileTools::commandLine_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<int>("max");
    QTest::addColumn<QStringList>("words");
    QTest::newRow("blanks and tabs")
        << " debug\t\toptions  a.txt " << 5 << QStringList{"debug", "options", "a.txt"};
    QTest::newRow("no quoting") << "options \"my file.txt\"" << 5
                                << QStringList{"options", "\"my", "file.txt\""};
    QTest::newRow("at most five") << "a b c d e f g" << 5 << QStringList{"a", "b", "c", "d", "e"};
    QTest::newRow("empty") << "   " << 5 << QStringList{};
}

void tst_modFileTools::commandLine()
{
    QFETCH(QString, line);
    QFETCH(int, max);
    QFETCH(QStringList, words);
    QCOMPARE(GetCommandLine(line, max), words);
}

QTEST_GUILESS_MAIN(tst_modFileTools)
#include "tst_modFileTools.moc"
