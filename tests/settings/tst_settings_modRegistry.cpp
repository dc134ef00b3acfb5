// SPDX-License-Identifier: GPL-3.0-or-later
#include "LogCapture.h"
#include "OptionsDump.h"
#include "UnwritableFile.h"

#include "platform/Registry.h"
#include "settings/COptions.h"
#include "settings/modRegistry.h"
#include "startup/modMain.h"

#include <QFile>
#include <QMap>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

const QString App = QStringLiteral("Pagewheel");

void storeOption(const QString& section, const QString& key, const QString& value)
{
    QVERIFY(Registry::SaveSetting(App, section, key, value));
}

} // namespace

class tst_modRegistry : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void freshProfileThenFirstRun();
    void savedTexts();
    void saveThenGetRestoresAll();
    void loadsOnlyWhatIsStored();
    void setOptionValue_data();
    void setOptionValue();
    void textSurvivesStore_data();
    void textSurvivesStore();
    void saveStopsWhenStoreIsReadOnly();
    void browserChoice_data();
    void browserChoice();

private:
    std::unique_ptr<QTemporaryDir> m_config;
};

void tst_modRegistry::init()
{
    // A profile of its own: the store lives under XDG_CONFIG_HOME.
    m_config = std::make_unique<QTemporaryDir>();
    QVERIFY(m_config->isValid());
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_config->path()));
    QVERIFY(Registry::settingsFile(App).startsWith(m_config->path()));
    modMain::ResetProgramState();
    modMain::AppFolder = QStringLiteral("/opt/pagewheel/");
}

void tst_modRegistry::cleanup()
{
    modMain::ResetProgramState();
    m_config.reset();
}

void tst_modRegistry::freshProfileThenFirstRun()
{
    COptions options = OptionsDump::unusual();
    QVERIFY(!modRegistry::RegistryGet(options));
    QCOMPARE(OptionsDump::dump(options), OptionsDump::dump(OptionsDump::unusual()));
    QVERIFY(!QFile::exists(Registry::settingsFile(App)));

    // What start-up does on the first run: defaults, saved, read back.
    options.init_options();
    QVERIFY(modRegistry::RegistrySave(options));
    COptions reloaded = OptionsDump::unusual();
    QVERIFY(modRegistry::RegistryGet(reloaded));
    QCOMPARE(OptionsDump::dump(reloaded), OptionsDump::dump(OptionsDump::defaults()));
}

void tst_modRegistry::savedTexts()
{
    const COptions options = OptionsDump::unusual();
    QVERIFY(modRegistry::RegistrySave(options));
    QMap<QString, QString> stored;
    for (const Registry::Setting& setting :
         Registry::GetAllSettings(App, QStringLiteral("Options")))
        stored.insert(setting.first, setting.second);
    const QMap<QString, QString> expected = {
        {"ReloadInterval", "86400"},
        {"ReloadMode", "3"},
        {"CarouselMode", "2"},
        {"CarouselOperation", "2"},
        {"CarouselFileName", options.CarouselFileName},
        {"StartingAddress", options.StartingAddress},
        {"StartingSlide", "32767"},
        {"DisplayTips", "False"},
        {"DisplayWizard", "False"},
        {"BusyWait", "True"},
        {"AutoStart", "True"},
        {"UseDefault", "False"},
        {"ToolTips", "False"},
        {"AutoMode", "2"},
        {"AutoDDEexe", options.AutoDDEexe},
        {"AutoDDEapp", options.AutoDDEapp},
    };
    QCOMPARE(stored, expected);
}

void tst_modRegistry::saveThenGetRestoresAll()
{
    QVERIFY(modRegistry::RegistrySave(OptionsDump::unusual()));
    COptions options = OptionsDump::defaults();
    QVERIFY(modRegistry::RegistryGet(options));
    QCOMPARE(OptionsDump::dump(options), OptionsDump::dump(OptionsDump::unusual()));
    QVERIFY(!options.Changed);

    // A second save overwrites every value.
    QVERIFY(modRegistry::RegistrySave(OptionsDump::defaults()));
    QVERIFY(modRegistry::RegistryGet(options));
    QCOMPARE(OptionsDump::dump(options), OptionsDump::dump(OptionsDump::defaults()));
}

void tst_modRegistry::loadsOnlyWhatIsStored()
{
    storeOption(QStringLiteral("Options"), QStringLiteral("ToolTips"), QStringLiteral("False"));
    // Another section's keys are not options.
    storeOption(QStringLiteral("Settings"), QStringLiteral("AutoStart"), QStringLiteral("True"));
    COptions options = OptionsDump::defaults();
    QVERIFY(modRegistry::RegistryGet(options));
    QCOMPARE(OptionsDump::dump(options),
             OptionsDump::with(OptionsDump::dump(OptionsDump::defaults()),
                               QStringLiteral("ToolTips=false")));
}

void tst_modRegistry::setOptionValue_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("change"); // empty: the record stays as it was
    QTest::addColumn<bool>("refused");   // the value is logged as an error

    auto row = [](const char* key, const char* value, const char* change, bool refused = true) {
        QTest::addRow("%s=%s", key, value) << QString::fromUtf8(key) << QString::fromUtf8(value)
                                           << QString::fromUtf8(change) << (refused && !*change);
    };
    row("ReloadInterval", " 42 ", "ReloadInterval=42");
    row("ReloadInterval", "2147483648", "");
    row("ReloadInterval", "2.5", "ReloadInterval=2");
    row("ReloadInterval", "3.5", "ReloadInterval=4");
    row("ReloadInterval", "abc", "");
    row("StartingSlide", "32767", "StartingSlide=32767");
    row("StartingSlide", "32768", "");
    row("AutoMode", "1e6", "");
    // Each number within its option's range, or the earlier value is kept.
    row("ReloadInterval", "0", "ReloadInterval=0");
    row("ReloadInterval", "-5", "");
    row("ReloadMode", "0", "");
    row("ReloadMode", "3", "ReloadMode=3");
    row("ReloadMode", "4", "");
    row("CarouselMode", "2", "CarouselMode=2");
    row("CarouselMode", "3", "");
    row("CarouselOperation", "0", "");
    row("StartingSlide", "-1", "");
    row("AutoMode", "0", "AutoMode=0");
    row("AutoMode", "6", "AutoMode=6");
    row("AutoMode", "99", "");
    row("AutoMode", "-1", "");
    row("AutoStart", "tRuE", "AutoStart=true");
    row("DisplayTips", "0", "DisplayTips=false");
    row("BusyWait", "-1", "BusyWait=true");
    row("UseDefault", "yes", "");
    row("DisplayWizard", "", "");
    row("CarouselFileName", " /a b/c,d.txt ", "CarouselFileName= /a b/c,d.txt ");
    row("AutoDDEapp", "#TRUE#", "AutoDDEapp=#TRUE#");
    // Not options: exact names only
    row("Changed", "True", "", false);
    row("autostart", "True", "", false);
}

void tst_modRegistry::setOptionValue()
{
    QFETCH(QString, key);
    QFETCH(QString, value);
    QFETCH(QString, change);
    QFETCH(bool, refused);

    LogCapture log(m_config->path(), true, false);
    COptions options = OptionsDump::defaults();
    modRegistry::set_option_value(key, value, options);
    QStringList expected = OptionsDump::dump(OptionsDump::defaults());
    if (!change.isEmpty())
        expected = OptionsDump::with(expected, change);
    QCOMPARE(OptionsDump::dump(options), expected);
    QVERIFY(!options.Changed);
    QCOMPARE(log.messages(), refused ? QStringList{"set_option_value: ERROR getting: " + key +
                                                   "_  Value:_" + value + "_"}
                                     : QStringList{});
}

void tst_modRegistry::textSurvivesStore_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("commas and quotes") << QStringLiteral("a,b, \"hi\", c,");
    QTest::newRow("fully quoted") << QStringLiteral("\"quoted\"");
    QTest::newRow("non-ASCII") << QStringLiteral("Grüße ✓ 日本 😀");
    QTest::newRow("empty") << QString();
    QTest::newRow("variant look-alike") << QStringLiteral("@Variant(\\0\\0\\0\\x2\\0\\0\\0\\x5)");
    QTest::newRow("backslashes") << QStringLiteral("C:\\dir\\new\\x.txt");
    QTest::newRow("INI syntax, line breaks")
        << QStringLiteral("[Options]\nkey=value ;comment #x\r\ntwo\tthree");
}

void tst_modRegistry::textSurvivesStore()
{
    QFETCH(QString, text);
    COptions saved = OptionsDump::defaults();
    saved.CarouselFileName = text;
    saved.StartingAddress = text + QStringLiteral(" ");
    saved.AutoDDEexe = QStringLiteral(" ") + text;
    saved.AutoDDEapp = text + text;
    QVERIFY(modRegistry::RegistrySave(saved));
    COptions loaded = OptionsDump::unusual();
    QVERIFY(modRegistry::RegistryGet(loaded));
    QCOMPARE(OptionsDump::dump(loaded), OptionsDump::dump(saved));
}

void tst_modRegistry::saveStopsWhenStoreIsReadOnly()
{
    QVERIFY(modRegistry::RegistrySave(OptionsDump::defaults()));
    {
        UnwritableFile guard(Registry::settingsFile(App));
        if (!guard.holds())
            QSKIP("this system cannot make a file read-only for this user");
        QVERIFY(!modRegistry::RegistrySave(OptionsDump::unusual()));
    }
    // The value that failed is neither read back nor written by a later save.
    storeOption(QStringLiteral("Other"), QStringLiteral("Key"), QStringLiteral("v"));
    COptions loaded;
    QVERIFY(modRegistry::RegistryGet(loaded));
    QCOMPARE(OptionsDump::dump(loaded), OptionsDump::dump(OptionsDump::defaults()));
}

void tst_modRegistry::browserChoice_data()
{
    QTest::addColumn<bool>("present");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<int>("mode");

    QTest::newRow("A") << true << QStringLiteral("A") << 0;
    QTest::newRow("C") << true << QStringLiteral("C") << 2;
    QTest::newRow("G") << true << QStringLiteral("G") << 6;
    QTest::newRow("missing") << false << QString() << 0;
    QTest::newRow("lower case") << true << QStringLiteral("c") << 0;
    QTest::newRow("two letters") << true << QStringLiteral("AB") << 0;
    QTest::newRow("past G") << true << QStringLiteral("H") << 0;
    QTest::newRow("blank before") << true << QStringLiteral(" C") << 0;
}

void tst_modRegistry::browserChoice()
{
    QFETCH(bool, present);
    QFETCH(QString, stored);
    QFETCH(int, mode);
    if (present)
        storeOption(QStringLiteral("Registration"), QStringLiteral("IBROWSER"), stored);
    // The choice lives in its own section: the same key elsewhere is not it.
    storeOption(QStringLiteral("Options"), QStringLiteral("IBROWSER"), QStringLiteral("D"));
    QCOMPARE(modRegistry::GetBrowserChoice(), qint16(mode));
}

QTEST_GUILESS_MAIN(tst_modRegistry)
#include "tst_settings_modRegistry.moc"
