// SPDX-License-Identifier: GPL-3.0-or-later
#include "OptionsDump.h"
#include "LogCapture.h"

#include "settings/COptions.h"
#include "settings/ReadInOptions.h"
#include "startup/modMain.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <sys/stat.h>

class tst_ReadInOptions : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void roundTrip_data();
    void roundTrip();
    void appliesLines_data();
    void appliesLines();
    void logsEachLine();
    void openFailure_data();
    void openFailure();
    void survivesBinaryJunk();
    void survivesHugeLine();
    void restartsCountOnLateEncodingSwitch();

private:
    QString path(const QString& name) const { return m_dir->filePath(name); }
    QString writeOptionsFile(const QByteArray& bytes) const;

    std::unique_ptr<QTemporaryDir> m_dir;
};

void tst_ReadInOptions::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    modMain::ResetProgramState();
    modMain::AppFolder = QStringLiteral("/opt/pagewheel/");
}

void tst_ReadInOptions::cleanup()
{
    modMain::ResetProgramState();
    m_dir.reset();
}

QString tst_ReadInOptions::writeOptionsFile(const QByteArray& bytes) const
{
    const QString fileName = path(QStringLiteral("options.txt"));
    QFile file(fileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        qFatal("cannot write the test's options file");
    return fileName;
}

void tst_ReadInOptions::roundTrip_data()
{
    QTest::addColumn<bool>("unusualFirst");
    QTest::newRow("defaults over unusual values") << false;
    QTest::newRow("unusual values over defaults") << true;
}

void tst_ReadInOptions::roundTrip()
{
    QFETCH(bool, unusualFirst);
    const COptions source = unusualFirst ? OptionsDump::unusual() : OptionsDump::defaults();
    COptions target = unusualFirst ? OptionsDump::defaults() : OptionsDump::unusual();
    target.Changed = unusualFirst;
    const QString fileName = path(QStringLiteral("saved.txt"));
    QVERIFY(source.SavetoFile(fileName));
    QVERIFY(modMain::ReadInOptions(fileName, target));
    QCOMPARE(OptionsDump::dump(target), OptionsDump::dump(source));
    QCOMPARE(target.Changed, unusualFirst);
}

void tst_ReadInOptions::appliesLines_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("result");
    QTest::addColumn<QStringList>("changes");

    const QStringList none;
    QTest::newRow("keys misspelt or in another case, Changed")
        << QByteArray("\"AutoStrat\",#TRUE#\r\n\"tooltips\",#FALSE#\r\n\"ReloadInterval \",5\r\n"
                      "\"Changed\",#TRUE#\r\n")
        << true << none;
    QTest::newRow("blank lines only") << QByteArray("\r\n\n   \r\n") << false << none;
    QTest::newRow("a key given twice takes its last value, LF, no last end")
        << QByteArray("\"ReloadInterval\",30\n\"AutoMode\",1\r\n\"ReloadInterval\",45") << true
        << QStringList{QStringLiteral("ReloadInterval=45"), QStringLiteral("AutoMode=1")};
    QTest::newRow("quoted text holds commas and blanks")
        << QByteArray("\"StartingAddress\",\" http://x/?a=1,b=2 \"\r\n") << true
        << QStringList{QStringLiteral("StartingAddress= http://x/?a=1,b=2 ")};
    QTest::newRow("unquoted fields lose outer blanks")
        << QByteArray("  AutoDDEapp ,  MOZILLA  \r\n") << true
        << QStringList{QStringLiteral("AutoDDEapp=MOZILLA")};
    QTest::newRow("Windows-1252 text")
        << QByteArray("\"AutoDDEexe\",\"Caf\xe9 \x80.exe\"\r\n") << true
        << QStringList{QStringLiteral("AutoDDEexe=Café €.exe")};
    QTest::newRow("70000 too large for StartingSlide, fits ReloadInterval")
        << QByteArray("\"StartingSlide\",70000\r\n\"ReloadInterval\",70000\r\n") << true
        << QStringList{QStringLiteral("ReloadInterval=70000")};
    QTest::newRow("values outside their ranges keep the earlier ones")
        << QByteArray("\"ReloadInterval\",-5\r\n\"AutoMode\",99\r\n\"ReloadMode\",7\r\n"
                      "\"CarouselMode\",0\r\n\"CarouselOperation\",3\r\n\"StartingSlide\",-2\r\n")
        << true << none;
    QTest::newRow("quoted numbers are read as numbers")
        << QByteArray("\"AutoMode\",\" 6 \"\r\n") << true
        << QStringList{QStringLiteral("AutoMode=6")};
    QTest::newRow("truth values in their file and text forms")
        << QByteArray("\"BusyWait\",-1\r\n\"DisplayTips\",#false#\r\n\"UseDefault\",\"FALSE\"\r\n"
                      "\"AutoStart\",\"true\"\r\n\"ToolTips\",0\r\n\"DisplayWizard\",\"yes\"\r\n")
        << true
        << QStringList{QStringLiteral("BusyWait=true"), QStringLiteral("DisplayTips=false"),
                       QStringLiteral("UseDefault=false"), QStringLiteral("AutoStart=true"),
                       QStringLiteral("ToolTips=false")};
    QTest::newRow("an unbalanced quote ends with its line")
        << QByteArray("\"AutoDDEapp\",\"MOZILLA\r\n\"AutoStart\",#TRUE#\r\n") << true
        << QStringList{QStringLiteral("AutoDDEapp=MOZILLA"), QStringLiteral("AutoStart=true")};
    QTest::newRow("NUL bytes match no key and no number")
        << QByteArray("\"Auto\0Start\",#TRUE#\r\n\"AutoMode\",\0"
                      "3\r\n",
                      36)
        << true << none;
}

void tst_ReadInOptions::appliesLines()
{
    QFETCH(QByteArray, content);
    QFETCH(bool, result);
    QFETCH(QStringList, changes);

    COptions options = OptionsDump::defaults();
    QCOMPARE(modMain::ReadInOptions(writeOptionsFile(content), options), result);
    QStringList expected = OptionsDump::dump(OptionsDump::defaults());
    for (const QString& change : changes)
        expected = OptionsDump::with(expected, change);
    QCOMPARE(OptionsDump::dump(options), expected);
}

void tst_ReadInOptions::logsEachLine()
{
    const QString fileName = writeOptionsFile("\"ReloadInterval\",15\r\n\r\n"
                                              ",orphan value\r\n\"StartingSlide\",70000\r\n");
    LogCapture log(m_dir->path(), true, false);
    COptions options = OptionsDump::defaults();
    QVERIFY(modMain::ReadInOptions(fileName, options));
    QCOMPARE(log.messages(),
             QStringList({"--Begin: ReadIn Option Settings File--", "1-> _ReloadInterval_  _15_",
                          "2(Line  is empty:) ", "3(Line  is empty:) orphan value",
                          "4-> _StartingSlide_  _70000_",
                          "set_option_value: ERROR getting: StartingSlide_  Value:_70000_",
                          "--End: ReadIn Option Settings File--"}));
}

void tst_ReadInOptions::openFailure_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("no name") << QString();
    QTest::newRow("missing file") << QStringLiteral("missing.txt");
    QTest::newRow("missing folder") << QStringLiteral("nowhere/options.txt");
    QTest::newRow("a folder") << QStringLiteral("folder");
    // A pipe is never opened: opening it would wait for a writer.
    QTest::newRow("a pipe") << QStringLiteral("pipe");
}

void tst_ReadInOptions::openFailure()
{
    QFETCH(QString, name);
    QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("folder")));
    QCOMPARE(::mkfifo(QFile::encodeName(path(QStringLiteral("pipe"))).constData(), 0600), 0);
    COptions options = OptionsDump::unusual();
    QVERIFY(!modMain::ReadInOptions(name.isEmpty() ? name : path(name), options));
    QCOMPARE(OptionsDump::dump(options), OptionsDump::dump(OptionsDump::unusual()));
}

void tst_ReadInOptions::survivesBinaryJunk()
{
    // Random bytes; a real setting after them must still be read.
    QRandomGenerator random(20240611);
    QByteArray junk(256 * 1024, Qt::Uninitialized);
    for (char& byte : junk)
        byte = char(random.bounded(256));
    junk += "\n\"AutoStart\",#TRUE#\r\n";
    COptions options = OptionsDump::defaults();
    QVERIFY(modMain::ReadInOptions(writeOptionsFile(junk), options));
    QVERIFY(options.AutoStart);
}

void tst_ReadInOptions::survivesHugeLine()
{
    // One line far larger than the reader's block, holding an unbalanced
    // quote, followed by an ordinary line.
    const qsizetype size = 20 * 1024 * 1024;
    QByteArray content = "\"AutoDDEapp\",\"" + QByteArray(size, 'y') + "\r\n\"AutoMode\",4\r\n";
    COptions options = OptionsDump::defaults();
    QVERIFY(modMain::ReadInOptions(writeOptionsFile(content), options));
    QCOMPARE(options.AutoDDEapp.size(), size);
    QCOMPARE(options.AutoMode, qint16(4));
}

void tst_ReadInOptions::restartsCountOnLateEncodingSwitch()
{
    // Text that is not UTF-8 turns up past the first block: the file is read
    // again as Windows-1252, its lines counted from 1 again.
    const QByteArray content = "\"AutoStart\",#TRUE#\r\n\"Padding\",\"" + QByteArray(9 << 20, 'p') +
                               "\"\r\n\"AutoDDEexe\",\"Caf\xe9.exe\"\r\n";
    LogCapture log(m_dir->path(), true, false);
    COptions options = OptionsDump::defaults();
    QVERIFY(modMain::ReadInOptions(writeOptionsFile(content), options));
    QCOMPARE(options.AutoDDEexe, QStringLiteral("Café.exe"));
    QVERIFY(options.AutoStart);
    const QStringList messages = log.messages();
    QCOMPARE(messages.at(messages.size() - 2), QStringLiteral("3-> _AutoDDEexe_  _Café.exe_"));
}

QTEST_GUILESS_MAIN(tst_ReadInOptions)
#include "tst_settings_ReadInOptions.moc"
