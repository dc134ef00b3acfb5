// SPDX-License-Identifier: GPL-3.0-or-later
#include "LogCapture.h"
#include "FileSizeLimit.h"
#include "TestFiles.h"
#include "UnwritableFile.h"
#include "platform/Registry.h"
#include "platform/ScriptedPrompts.h"
#include "settings/COptions.h"
#include "settings/ReadInOptions.h"
#include "settings/modRegistry.h"
#include "startup/modMain.h"

#include <QDir>

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

namespace {

const QString App = "Pagewheel";

/// The sixteen options as "Key=value" lines (Changed left out).
QStringList dump(const COptions& o)
{
    const auto n = [](qint32 v) { return QString::number(v); };
    const auto b = [](bool v) { return QString(v ? "true" : "false"); };
    QStringList values;
    values << n(o.ReloadInterval) << n(o.ReloadMode) << n(o.CarouselMode) << n(o.CarouselOperation)
           << o.CarouselFileName << o.StartingAddress << n(o.StartingSlide) << b(o.DisplayTips)
           << b(o.DisplayWizard) << b(o.BusyWait) << b(o.AutoStart) << b(o.UseDefault)
           << b(o.ToolTips) << n(o.AutoMode) << o.AutoDDEexe << o.AutoDDEapp;
    QStringList result = QString("ReloadInterval ReloadMode CarouselMode CarouselOperation "
                                 "CarouselFileName StartingAddress StartingSlide DisplayTips "
                                 "DisplayWizard BusyWait AutoStart UseDefault ToolTips AutoMode "
                                 "AutoDDEexe AutoDDEapp")
                             .split(u' ');
    for (qsizetype i = 0; i < result.size(); ++i)
        result[i] += u'=' + values[i];
    return result;
}

COptions defaults()
{
    COptions options;
    options.init_options();
    return options;
}

/// The options unlike the defaults, as "Key=value" lines.
QStringList changes(const COptions& options)
{
    QStringList result = dump(options);
    for (const QString& line : dump(defaults()))
        result.removeOne(line);
    return result;
}

/// Every option unlike the default; text with commas, non-ASCII and outer blanks.
COptions unusual()
{
    COptions o;
    o.ReloadInterval = 86400;
    o.ReloadMode = 3;
    o.CarouselMode = o.CarouselOperation = 2;
    o.CarouselFileName = " /home/zoë/shows/Trip, 2024 (Ελλάδα).txt ";
    o.StartingAddress = "http://example.org/a?b=1,c=2;d=@e";
    o.StartingSlide = 32767;
    o.DisplayTips = o.DisplayWizard = o.UseDefault = o.ToolTips = false;
    o.BusyWait = o.AutoStart = true;
    o.AutoMode = 2;
    o.AutoDDEexe = "C:\\Program Files\\Opera\\opera.exe";
    o.AutoDDEapp = "@OPERA, 'classic'";
    return o;
}

} // namespace

class tst_settings : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir; ///< files, and the settings store's profile

    QString path(const QString& name) const { return m_dir->filePath(name); }
    QString optionsFile(const QByteArray& bytes) const
    {
        writeFile(path("options.txt"), bytes);
        return path("options.txt");
    }

private Q_SLOTS:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_dir->path()));
        QVERIFY(Registry::settingsFile(App).startsWith(m_dir->path()));
        modMain::ResetProgramState();
        modMain::AppFolder = "/opt/pagewheel/";
    }
    void cleanup()
    {
        modMain::ResetProgramState();
        m_dir.reset();
    }

    void defaultsAndCopyLeaveChangedAlone()
    {
        COptions options = unusual();
        options.Changed = true;
        options.init_options();
        QCOMPARE(dump(options).join(u' '),
                 "ReloadInterval=15 ReloadMode=1 CarouselMode=1 CarouselOperation=1 "
                 "CarouselFileName=/opt/pagewheel/data/DemoShow.txt "
                 "StartingAddress=/opt/pagewheel/data/vexilo.jpg StartingSlide=0 DisplayTips=true "
                 "DisplayWizard=true BusyWait=false AutoStart=false UseDefault=true ToolTips=true "
                 "AutoMode=5 AutoDDEexe=Netscape.exe AutoDDEapp=NETSCAPE");
        QVERIFY(options.Changed);
        for (const bool targetChanged : {false, true}) {
            COptions source = unusual();
            source.Changed = !targetChanged;
            COptions target = defaults();
            target.Changed = targetChanged;
            source.Copy_Object_to(target);
            QCOMPARE(dump(target), dump(source));
            QCOMPARE(target.Changed, targetChanged);
        }
    }

    void savetoFile()
    {
        // Text as it stands (UTF-8, blanks and commas kept); a longer old file is replaced whole.
        QVERIFY(unusual().SavetoFile(
            optionsFile(QByteArray(4096, 'x') + "\r\n\"AutoStart\",#TRUE#\r\n")));
        QCOMPARE(fileBytes(path("options.txt")),
                 QByteArray("\"ReloadInterval\",86400\r\n\"ReloadMode\",3\r\n"
                            "\"CarouselMode\",2\r\n\"CarouselOperation\",2\r\n"
                            "\"CarouselFileName\",\" /home/zo\xc3\xab/shows/Trip, 2024 "
                            "(\xce\x95\xce\xbb\xce\xbb\xce\xac\xce\xb4\xce\xb1).txt \"\r\n"
                            "\"StartingAddress\",\"http://example.org/a?b=1,c=2;d=@e\"\r\n"
                            "\"StartingSlide\",32767\r\n\"DisplayTips\",#FALSE#\r\n"
                            "\"DisplayWizard\",#FALSE#\r\n\"BusyWait\",#TRUE#\r\n"
                            "\"AutoStart\",#TRUE#\r\n\"UseDefault\",#FALSE#\r\n"
                            "\"ToolTips\",#FALSE#\r\n\"AutoMode\",2\r\n"
                            "\"AutoDDEexe\",\"C:\\Program Files\\Opera\\opera.exe\"\r\n"
                            "\"AutoDDEapp\",\"@OPERA, 'classic'\"\r\n"));
        // Read back, every option comes back; Changed stays.
        COptions target = defaults();
        target.Changed = true;
        QVERIFY(modMain::ReadInOptions(path("options.txt"), target));
        QCOMPARE(dump(target), dump(unusual()));
        QVERIFY(target.Changed);

        // A failure says why, except for no name at all; the old file stays, and no
        // temporary file is left beside it.
        const QByteArray saved = fileBytes(path("options.txt"));
        ScriptedPrompts prompts;
        QVERIFY(!defaults().SavetoFile(QString()));
        QVERIFY(!defaults().SavetoFile(path("no such folder/options.txt")));
        {
            FileSizeLimit full(100);
            QVERIFY(!defaults().SavetoFile(path("options.txt")));
        }
        UnwritableFile guard(path("options.txt"));
        if (guard.holds()) // some systems let every file be written
            QVERIFY(!defaults().SavetoFile(path("options.txt")));
        const QString error = "You selected an invalid file, Error: ";
        QCOMPARE(prompts.texts(),
                 QStringList({error + "76\r\nPath not found", error + "61\r\nDisk full",
                              error + "75\r\nPath/File access error"})
                     .mid(0, guard.holds() ? 3 : 2));
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), QStringList{"options.txt"});
        QCOMPARE(fileBytes(path("options.txt")), saved);
    }

    void readLines_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("result");
        QTest::addColumn<QStringList>("changes");

        // Keys misspelt or in another case, Changed, values outside their ranges (the
        // earlier ones stay) and NUL bytes (no key, no number) change nothing.
        QTest::newRow("nothing applies")
            << QByteArray(
                   "\"AutoStrat\",#TRUE#\r\n\"tooltips\",#FALSE#\r\n\"ReloadInterval \",5\r\n"
                   "\"Changed\",#TRUE#\r\n\"ReloadInterval\",-5\r\n\"AutoMode\",99\r\n"
                   "\"ReloadMode\",7\r\n\"CarouselMode\",0\r\n\"CarouselOperation\",3\r\n"
                   "\"StartingSlide\",-2\r\n\"StartingSlide\",70000\r\n") +
                   QByteArray("\"Auto\0Start\",#TRUE#\r\n\"AutoMode\",\0"
                              "3\r\n",
                              36)
            << true << QStringList();
        // Quoted text holds commas and blanks, unquoted fields lose outer blanks, quoted
        // numbers are numbers, truth values come in file and text forms, an unbalanced
        // quote ends with its line, a key given twice takes its last value.
        QTest::newRow("values applied")
            << QByteArray(
                   "\"StartingAddress\",\" http://x/?a=1,b=2 \"\r\n  AutoDDEexe ,  MOZ  \r\n"
                   "\"ReloadInterval\",70000\r\n\"CarouselMode\",\" 2 "
                   "\"\r\n\"AutoMode\",4\r\n\"BusyWait\",-1\r\n"
                   "\"DisplayTips\",#false#\r\n\"UseDefault\",\"FALSE\"\r\n"
                   "\"AutoStart\",\"true\"\r\n\"ToolTips\",0\r\n\"DisplayWizard\",\"yes\"\r\n"
                   "\"AutoDDEapp\",\"MOZILLA\r\n\"StartingSlide\",3\n\"AutoMode\",1")
            << true
            << QString("ReloadInterval=70000|CarouselMode=2|StartingAddress= http://x/?a=1,b=2 |"
                       "StartingSlide=3|DisplayTips=false|BusyWait=true|AutoStart=true|"
                       "UseDefault=false|ToolTips=false|AutoMode=1|AutoDDEexe=MOZ|"
                       "AutoDDEapp=MOZILLA")
                   .split(u'|');
        QTest::newRow("blank lines only") << QByteArray("\r\n\n   \r\n") << false << QStringList();
    }
    void readLines()
    {
        QFETCH(QByteArray, content);
        QFETCH(bool, result);
        COptions options = defaults();
        QCOMPARE(modMain::ReadInOptions(optionsFile(content), options), result);
        QTEST(changes(options), "changes");
    }

    void readLogsEachLine()
    {
        const QString fileName = optionsFile("\"ReloadInterval\",15\r\n\r\n"
                                             ",orphan value\r\n\"StartingSlide\",70000\r\n");
        LogCapture log(m_dir->path(), true, false);
        COptions options = defaults();
        QVERIFY(modMain::ReadInOptions(fileName, options));
        QCOMPARE(log.messages(),
                 QStringList({"--Begin: ReadIn Option Settings File--",
                              "1-> _ReloadInterval_  _15_", "2(Line  is empty:) ",
                              "3(Line  is empty:) orphan value", "4-> _StartingSlide_  _70000_",
                              "set_option_value: ERROR getting: StartingSlide_  Value:_70000_",
                              "--End: ReadIn Option Settings File--"}));
    }

    void readFailsWithoutAFile()
    {
        QVERIFY(QDir(m_dir->path()).mkdir("folder"));
        QCOMPARE(::mkfifo(QFile::encodeName(path("pipe")).constData(), 0600), 0);
        // A pipe is never opened: opening it would wait for a writer.
        for (const QString& name : {QString(), path("missing.txt"), path("nowhere/options.txt"),
                                    path("folder"), path("pipe")}) {
            COptions options = unusual();
            QVERIFY(!modMain::ReadInOptions(name, options));
            QCOMPARE(dump(options), dump(unusual()));
        }
    }

    void readHardFiles()
    {
        // Random bytes; a real setting after them must still be read.
        QRandomGenerator random(20240611);
        QByteArray junk(256 * 1024, Qt::Uninitialized);
        for (char& byte : junk)
            byte = char(random.bounded(256));
        COptions options = defaults();
        QVERIFY(modMain::ReadInOptions(optionsFile(junk + "\n\"AutoStart\",#TRUE#\r\n"), options));
        QVERIFY(options.AutoStart);

        // Windows-1252 past the first block: read again, lines counted from 1 again.
        LogCapture log(m_dir->path(), true, false);
        options = defaults();
        QVERIFY(modMain::ReadInOptions(optionsFile("\"AutoStart\",#TRUE#\r\n\"Padding\",\"" +
                                                   QByteArray(9 << 20, 'p') +
                                                   "\"\r\n\"AutoDDEexe\",\"Caf\xe9.exe\"\r\n"),
                                       options));
        QCOMPARE(options.AutoDDEexe, "Café.exe");
        QVERIFY(options.AutoStart);
        const QStringList messages = log.messages();
        QCOMPARE(messages.at(messages.size() - 2), "3-> _AutoDDEexe_  _Café.exe_");
    }

    void storeRoundTrip()
    {
        // A fresh profile has nothing; start-up then saves the defaults.
        COptions options = unusual();
        QVERIFY(!modRegistry::RegistryGet(options));
        QCOMPARE(dump(options), dump(unusual()));
        QVERIFY(!QFile::exists(Registry::settingsFile(App)));
        QVERIFY(modRegistry::RegistrySave(defaults()));

        // A second save overwrites every value, in the store's own text.
        QVERIFY(modRegistry::RegistrySave(unusual()));
        QStringList stored;
        for (const Registry::Setting& setting : Registry::GetAllSettings(App, "Options"))
            stored.append(setting.first + u'=' + setting.second);
        QStringList expected = dump(unusual());
        for (QString& line : expected)
            line.replace("=true", "=True").replace("=false", "=False");
        stored.sort();
        expected.sort();
        QCOMPARE(stored, expected);

        // A save the store refuses is neither read back nor written by a later save.
        {
            UnwritableFile guard(Registry::settingsFile(App));
            if (!guard.holds())
                QSKIP("this system cannot make a file read-only for this user");
            QVERIFY(!modRegistry::RegistrySave(defaults()));
        }
        QVERIFY(Registry::SaveSetting(App, "Other", "Key", "v"));
        options = defaults();
        QVERIFY(modRegistry::RegistryGet(options));
        QCOMPARE(dump(options), dump(unusual()));
        QVERIFY(!options.Changed);

        // Only what is stored is loaded; another section's keys are not options.
        Registry::DeleteSetting(App, "Options");
        QVERIFY(Registry::SaveSetting(App, "Options", "ToolTips", "False"));
        QVERIFY(Registry::SaveSetting(App, "Settings", "AutoStart", "True"));
        options = defaults();
        QVERIFY(modRegistry::RegistryGet(options));
        QCOMPARE(changes(options), QStringList{"ToolTips=false"});
    }

    void setOptionValue()
    {
        // Each number within its option's range, or the earlier value is kept and the value
        // logged; names that are no options (exact names only) are passed over.
        LogCapture log(m_dir->path(), true, false);
        QStringList changed;
        for (const QString& setting :
             QString("ReloadInterval= 42 |ReloadInterval=3.5|StartingSlide=32767|ReloadInterval=0|"
                     "ReloadMode=0|ReloadMode=3|ReloadMode=4|CarouselMode=2|CarouselMode=3|"
                     "CarouselOperation=0|AutoMode=0|AutoMode=6|AutoMode=-1|UseDefault=yes|"
                     "Changed=True|autostart=True")
                 .split(u'|')) {
            COptions options = defaults();
            modRegistry::set_option_value(setting.section(u'=', 0, 0), setting.section(u'=', 1),
                                          options);
            QVERIFY(!options.Changed);
            changed << changes(options).join(u',');
        }
        QCOMPARE(changed, QString("ReloadInterval=42|ReloadInterval=4|StartingSlide=32767|"
                                  "ReloadInterval=0||ReloadMode=3||CarouselMode=2|||AutoMode=0|"
                                  "AutoMode=6||||")
                              .split(u'|'));
        QStringList refused;
        for (const char* setting : {"ReloadMode=0", "ReloadMode=4", "CarouselMode=3",
                                    "CarouselOperation=0", "AutoMode=-1", "UseDefault=yes"})
            refused << "set_option_value: ERROR getting: " +
                           QString(setting).replace(u'=', "_  Value:_") + '_';
        QCOMPARE(log.messages(), refused);
    }

    void browserChoice()
    {
        // The choice lives in its own section: the same key elsewhere is not it.
        QVERIFY(Registry::SaveSetting(App, "Options", "IBROWSER", "D"));
        QCOMPARE(modRegistry::GetBrowserChoice(), qint16(0));
        const QStringList stored{"A", "C", "G", "c", "AB", "H", " C"};
        const QList<int> modes{0, 2, 6, 0, 0, 0, 0};
        for (qsizetype i = 0; i < stored.size(); ++i) {
            QVERIFY(Registry::SaveSetting(App, "Registration", "IBROWSER", stored[i]));
            QCOMPARE(modRegistry::GetBrowserChoice(), qint16(modes[i]));
        }
    }
};

QTEST_GUILESS_MAIN(tst_settings)
#include "tst_settings.moc"
