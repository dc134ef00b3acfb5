// SPDX-License-Identifier: GPL-3.0-or-later
#include "OptionsDump.h"
#include "UnwritableFile.h"

#include "platform/ScriptedPrompts.h"
#include "settings/COptions.h"
#include "startup/modMain.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

class tst_COptions : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void initOptionsSetsDefaults();
    void copyLeavesChangedAlone();
    void savetoFileFormat_data();
    void savetoFileFormat();
    void savetoFileEmptyName();
    void savetoFileFailure_data();
    void savetoFileFailure();

private:
    QString path(const QString& name) const { return m_dir->filePath(name); }
    static QByteArray readAll(const QString& fileName);
    static void writeFile(const QString& fileName, const QByteArray& bytes);

    std::unique_ptr<QTemporaryDir> m_dir;
};

void tst_COptions::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    modMain::ResetProgramState();
    modMain::AppFolder = QStringLiteral("/opt/pagewheel/");
}

void tst_COptions::cleanup()
{
    modMain::ResetProgramState();
    m_dir.reset();
}

QByteArray tst_COptions::readAll(const QString& fileName)
{
    QFile file(fileName);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

void tst_COptions::writeFile(const QString& fileName, const QByteArray& bytes)
{
    QFile file(fileName);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

void tst_COptions::initOptionsSetsDefaults()
{
    // The default values themselves are fixed by savetoFileFormat(defaults).
    COptions options = OptionsDump::unusual();
    options.Changed = true;
    options.init_options();
    QCOMPARE(OptionsDump::dump(options), OptionsDump::dump(OptionsDump::defaults()));
    QVERIFY(options.Changed);
}

void tst_COptions::copyLeavesChangedAlone()
{
    for (const bool targetChanged : {false, true}) {
        COptions source = OptionsDump::unusual();
        source.Changed = !targetChanged;
        COptions target = OptionsDump::defaults();
        target.Changed = targetChanged;
        source.Copy_Object_to(target);
        QCOMPARE(OptionsDump::dump(target), OptionsDump::dump(source));
        QCOMPARE(target.Changed, targetChanged);
    }
}

void tst_COptions::savetoFileFormat_data()
{
    QTest::addColumn<bool>("unusual");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("defaults") << false
                              << QByteArray(
                                     "\"ReloadInterval\",15\r\n\"ReloadMode\",1\r\n"
                                     "\"CarouselMode\",1\r\n\"CarouselOperation\",1\r\n"
                                     "\"CarouselFileName\",\"/opt/pagewheel/data/DemoShow.txt\"\r\n"
                                     "\"StartingAddress\",\"/opt/pagewheel/data/vexilo.jpg\"\r\n"
                                     "\"StartingSlide\",0\r\n\"DisplayTips\",#TRUE#\r\n"
                                     "\"DisplayWizard\",#TRUE#\r\n\"BusyWait\",#FALSE#\r\n"
                                     "\"AutoStart\",#FALSE#\r\n\"UseDefault\",#TRUE#\r\n"
                                     "\"ToolTips\",#TRUE#\r\n\"AutoMode\",5\r\n"
                                     "\"AutoDDEexe\",\"Netscape.exe\"\r\n"
                                     "\"AutoDDEapp\",\"NETSCAPE\"\r\n");
    // Text as it stands (UTF-8, blanks and commas kept); negatives keep their sign.
    QTest::newRow("unusual") << true
                             << QByteArray(
                                    "\"ReloadInterval\",86400\r\n\"ReloadMode\",3\r\n"
                                    "\"CarouselMode\",2\r\n\"CarouselOperation\",2\r\n"
                                    "\"CarouselFileName\",\" /home/zo\xc3\xab/shows/Trip, 2024 "
                                    "(\xce\x95\xce\xbb\xce\xbb\xce\xac\xce\xb4\xce\xb1).txt \"\r\n"
                                    "\"StartingAddress\",\"http://example.org/a?b=1,c=2;d=@e\"\r\n"
                                    "\"StartingSlide\",32767\r\n\"DisplayTips\",#FALSE#\r\n"
                                    "\"DisplayWizard\",#FALSE#\r\n\"BusyWait\",#TRUE#\r\n"
                                    "\"AutoStart\",#TRUE#\r\n\"UseDefault\",#FALSE#\r\n"
                                    "\"ToolTips\",#FALSE#\r\n\"AutoMode\",2\r\n"
                                    "\"AutoDDEexe\",\"C:\\Program Files\\Opera\\opera.exe\"\r\n"
                                    "\"AutoDDEapp\",\"@OPERA, 'classic'\"\r\n");
}

void tst_COptions::savetoFileFormat()
{
    QFETCH(bool, unusual);
    QFETCH(QByteArray, expected);
    const COptions options = unusual ? OptionsDump::unusual() : OptionsDump::defaults();
    // A longer old file is replaced whole.
    const QString fileName = path(QStringLiteral("options.txt"));
    writeFile(fileName, QByteArray(4096, 'x') + "\r\n\"AutoStart\",#TRUE#\r\n");
    QVERIFY(options.SavetoFile(fileName));
    QCOMPARE(readAll(fileName), expected);
}

void tst_COptions::savetoFileEmptyName()
{
    ScriptedPrompts prompts;
    QVERIFY(!OptionsDump::defaults().SavetoFile(QString()));
    QVERIFY(prompts.shown().isEmpty());
}

void tst_COptions::savetoFileFailure_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<bool>("readOnly");
    QTest::addColumn<QString>("error");

    QTest::newRow("folder missing") << QStringLiteral("no such folder/options.txt") << false
                                    << QStringLiteral("76\r\nPath not found");
    QTest::newRow("name of a folder")
        << QStringLiteral("folder") << false << QStringLiteral("75\r\nPath/File access error");
    QTest::newRow("read-only file")
        << QStringLiteral("options.txt") << true << QStringLiteral("75\r\nPath/File access error");
}

void tst_COptions::savetoFileFailure()
{
    QFETCH(QString, target);
    QFETCH(bool, readOnly);
    QFETCH(QString, error);

    QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("folder")));
    const QString fileName = path(target);
    const QByteArray oldOptions = "\"AutoStart\",#TRUE#\r\n";
    std::unique_ptr<UnwritableFile> guard;
    if (readOnly) {
        writeFile(fileName, oldOptions);
        guard = std::make_unique<UnwritableFile>(fileName);
        if (!guard->holds())
            QSKIP("this system cannot make a file read-only for this user");
    }

    ScriptedPrompts prompts;
    QVERIFY(!OptionsDump::unusual().SavetoFile(fileName));
    QCOMPARE(prompts.texts(), QStringList{"You selected an invalid file, Error: " + error});
    if (readOnly)
        QCOMPARE(readAll(fileName), oldOptions);
    // No temporary file is left behind beside the target.
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files),
             readOnly ? QStringList{QStringLiteral("options.txt")} : QStringList());
}

QTEST_GUILESS_MAIN(tst_COptions)
#include "tst_settings_COptions.moc"
