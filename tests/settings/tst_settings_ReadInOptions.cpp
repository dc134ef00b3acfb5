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
    void writesNoLineOutsideDebugMode();
    void emptyName();
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
    QTest::newRow("only AutoStart") << QByteArray("\"AutoStart\",#TRUE#\r\n") << true
                                    << QStringList{QStringLiteral("AutoStart=true")};
    QTest::newRow("keys misspelt or in another case")
        << QByteArray("\"AutoStrat\",#TRUE#\r\n\"tooltips\",#FALSE#\r\n\"RELOADINTERVAL\",5\r\n"
                      "\"ReloadInterval \",5\r\n")
        << true << none;
    QTest::newRow("empty file") << QByteArray() << false << none;
    QTest::newRow("blank lines only") << QByteArray("\r\n\n   \r\n") << false << none;
    QTest::newRow("Changed is no option") << QByteArray("\"Changed\",#TRUE#\r\n") << true << none;
    QTest::newRow("a key given twice takes its last value")
        << QByteArray("\"ReloadInterval\",30\r\n\"AutoMode\",1\r\n\"ReloadInterval\",45\r\n")
        << true << QStringList{QStringLiteral("ReloadInterval=45"), QStringLiteral("AutoMode=1")};
    QTest::newRow("LF line ends, no last line end")
        << QByteArray("\"AutoMode\",3\n\"ReloadMode\",2") << true
        << QStringList{QStringLiteral("AutoMode=3"), QStringLiteral("ReloadMode=2")};
    QTest::newRow("quoted text holds commas and blanks")
        << QByteArray("\"StartingAddress\",\" http://x/?a=1,b=2 \"\r\n") << true
        << QStringList{QStringLiteral("StartingAddress= http://x/?a=1,b=2 ")};
    QTest::newRow("unquoted fields lose outer blanks")
        << QByteArray("  AutoDDEapp ,  MOZILLA  \r\n") << true
        << QStringList{QStringLiteral("AutoDDEapp=MOZILLA")};
    QTest::newRow("Windows-1252 text")
        << QByteArray("\"AutoDDEexe\",\"Caf\xe9 \x80.exe\"\r\n") << true
        << QStringList{QStringLiteral("AutoDDEexe=Café €.exe")};
    QTest::newRow("70000 is too large for StartingSlide")
        << QByteArray("\"StartingSlide\",70000\r\n") << true << none;
    QTest::newRow("70000 fits ReloadInterval")
        << QByteArray("\"ReloadInterval\",70000\r\n") << true
        << QStringList{QStringLiteral("ReloadInterval=70000")};
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
    const QString fileName = writeOptionsFile("\"ReloadInterval\",15\r\n"
                                              "\r\n"
                                              "\"AutoDDEapp\",\" two  blanks \"\r\n"
                                              ",orphan value\r\n"
                                              "\"StartingSlide\",70000\r\n"
                                              "\"DisplayTips\",#FALSE#\r\n");
    LogCapture log(m_dir->path(), true, false);
    COptions options = OptionsDump::defaults();
    QVERIFY(modMain::ReadInOptions(fileName, options));
    const QStringList expected = {
        QStringLiteral("--Begin: ReadIn Option Settings File--"),
        QStringLiteral("1-> _ReloadInterval_  _15_"),
        QStringLiteral("2(Line  is empty:) "),
        QStringLiteral("3-> _AutoDDEapp_  _ two  blanks _"),
        QStringLiteral("4(Line  is empty:) orphan value"),
        QStringLiteral("5-> _StartingSlide_  _70000_"),
        QStringLiteral("set_option_value: ERROR getting: StartingSlide_  Value:_70000_"),
        QStringLiteral("6-> _DisplayTips_  _False_"),
        QStringLiteral("--End: ReadIn Option Settings File--"),
    };
    QCOMPARE(log.messages(), expected);
}

void tst_ReadInOptions::writesNoLineOutsideDebugMode()
{
    const QString fileName = writeOptionsFile("\"StartingSlide\",70000\r\n\r\n\"AutoMode\",2\r\n");
    LogCapture log(m_dir->path(), false, true);
    COptions options = OptionsDump::defaults();
    QVERIFY(modMain::ReadInOptions(fileName, options));
    QVERIFY(!modMain::ReadInOptions(path(QStringLiteral("missing.txt")), options));
    QCOMPARE(log.bytes(), QByteArray());
}

void tst_ReadInOptions::emptyName()
{
    LogCapture log(m_dir->path(), true, true);
    COptions options = OptionsDump::unusual();
    QVERIFY(!modMain::ReadInOptions(QString(), options));
    QCOMPARE(log.messages(), QStringList{QStringLiteral("--Begin: ReadIn Option Settings File--")});
    QCOMPARE(OptionsDump::dump(options), OptionsDump::dump(OptionsDump::unusual()));
}

void tst_ReadInOptions::openFailure_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("error");
    QTest::newRow("missing file") << QStringLiteral("missing.txt")
                                  << QStringLiteral("53 Desc: File not found");
    QTest::newRow("missing folder")
        << QStringLiteral("nowhere/options.txt") << QStringLiteral("76 Desc: Path not found");
    QTest::newRow("a folder") << QStringLiteral("folder")
                              << QStringLiteral("75 Desc: Path/File access error");
}

void tst_ReadInOptions::openFailure()
{
    QFETCH(QString, name);
    QFETCH(QString, error);
    QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("folder")));
    const QString fileName = path(name);

    LogCapture log(m_dir->path(), true, false);
    COptions options = OptionsDump::unusual();
    QVERIFY(!modMain::ReadInOptions(fileName, options));
    const QStringList expected = {
        QStringLiteral("--Begin: ReadIn Option Settings File--"),
        QStringLiteral("ReadInOptions, error opening file:_") + fileName +
            QStringLiteral("_ Err:") + error,
        QStringLiteral("--End: ReadIn Option Settings File--"),
    };
    QCOMPARE(log.messages(), expected);
    QCOMPARE(OptionsDump::dump(options), OptionsDump::dump(OptionsDump::unusual()));
}

void tst_ReadInOptions::survivesBinaryJunk()
{
    // Random bytes: NULs, stray quotes and commas, invalid UTF-8, long and
    // empty lines; a real setting after them must still be read.
    QRandomGenerator random(20240611);
    QByteArray junk(256 * 1024, Qt::Uninitialized);
    for (char& byte : junk)
        byte = char(random.bounded(256));
    junk += "\n\"AutoStart\",#TRUE#\r\n";

    LogCapture log(m_dir->path(), true, true);
    COptions options = OptionsDump::defaults();
    QVERIFY(modMain::ReadInOptions(writeOptionsFile(junk), options));
    QVERIFY(options.AutoStart);
    const QStringList messages = log.messages();
    QCOMPARE(messages.constLast(), QStringLiteral("--End: ReadIn Option Settings File--"));
    QVERIFY(messages.at(messages.size() - 2).endsWith(QStringLiteral("-> _AutoStart_  _True_")));
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
    // Text that is not UTF-8 turns up only after the first block of the
    // file, so the file is read again as Windows-1252: the lines are counted
    // from 1 again and the text comes out right.
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
