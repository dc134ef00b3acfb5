// SPDX-License-Identifier: GPL-3.0-or-later
#include "OptionsDump.h"
#include "UnwritableFile.h"
#include "LogCapture.h"

#include "platform/Registry.h"
#include "settings/COptions.h"
#include "settings/modRegistry.h"
#include "startup/modMain.h"

#include <QFile>
#include <QMap>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

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
    void getLogsEachValue();
    void setOptionValue_data();
    void setOptionValue();
    void textSurvivesStore_data();
    void textSurvivesStore();
    void saveStopsWhenStoreIsReadOnly();
    void browserChoice_data();
    void browserChoice();

private:
    static void storeOption(const QString& key, const QString& value);
    static QMap<QString, QString> storedOptions();

    std::unique_ptr<QTemporaryDir> m_config;
    std::unique_ptr<QTemporaryDir> m_logs;
};

void tst_modRegistry::init()
{
    // Each test gets a profile of its own: the store lives under
    // XDG_CONFIG_HOME, which is read every time the store is opened.
    m_config = std::make_unique<QTemporaryDir>();
    m_logs = std::make_unique<QTemporaryDir>();
    QVERIFY(m_config->isValid() && m_logs->isValid());
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_config->path()));
    QVERIFY(Registry::settingsFile(QStringLiteral("Pagewheel")).startsWith(m_config->path()));
    modMain::ResetProgramState();
    modMain::AppFolder = QStringLiteral("/opt/pagewheel/");
}

void tst_modRegistry::cleanup()
{
    modMain::ResetProgramState();
    m_logs.reset();
    m_config.reset();
}

void tst_modRegistry::storeOption(const QString& key, const QString& value)
{
    QVERIFY(
        Registry::SaveSetting(QStringLiteral("Pagewheel"), QStringLiteral("Options"), key, value));
}

QMap<QString, QString> tst_modRegistry::storedOptions()
{
    QMap<QString, QString> stored;
    const auto settings =
        Registry::GetAllSettings(QStringLiteral("Pagewheel"), QStringLiteral("Options"));
    for (const Registry::Setting& setting : settings)
        stored.insert(setting.first, setting.second);
    return stored;
}

void tst_modRegistry::freshProfileThenFirstRun()
{
    LogCapture log(m_logs->path(), true, false);
    COptions options = OptionsDump::unusual();
    QVERIFY(!modRegistry::RegistryGet(options));
    QCOMPARE(OptionsDump::dump(options), OptionsDump::dump(OptionsDump::unusual()));
    QCOMPARE(log.messages(),
             (QStringList{QStringLiteral("RegistryGet  - GetAllSettings for _Pagewheel_"),
                          QStringLiteral("RegistryGet  - all settings are empty")}));
    QVERIFY(!QFile::exists(Registry::settingsFile(QStringLiteral("Pagewheel"))));

    // What start-up does on the first run: defaults, saved, read back.
    options.init_options();
    QVERIFY(modRegistry::RegistrySave(options));
    COptions reloaded = OptionsDump::unusual();
    QVERIFY(modRegistry::RegistryGet(reloaded));
    QCOMPARE(OptionsDump::dump(reloaded), OptionsDump::dump(OptionsDump::defaults()));
}

void tst_modRegistry::savedTexts()
{
    COptions options = OptionsDump::unusual();
    options.Changed = true;
    QVERIFY(modRegistry::RegistrySave(options));
    const QMap<QString, QString> expected = {
        {QStringLiteral("ReloadInterval"), QStringLiteral("86400")},
        {QStringLiteral("ReloadMode"), QStringLiteral("3")},
        {QStringLiteral("CarouselMode"), QStringLiteral("2")},
        {QStringLiteral("CarouselOperation"), QStringLiteral("-2")},
        {QStringLiteral("CarouselFileName"), options.CarouselFileName},
        {QStringLiteral("StartingAddress"), options.StartingAddress},
        {QStringLiteral("StartingSlide"), QStringLiteral("32767")},
        {QStringLiteral("DisplayTips"), QStringLiteral("False")},
        {QStringLiteral("DisplayWizard"), QStringLiteral("False")},
        {QStringLiteral("BusyWait"), QStringLiteral("True")},
        {QStringLiteral("AutoStart"), QStringLiteral("True")},
        {QStringLiteral("UseDefault"), QStringLiteral("False")},
        {QStringLiteral("ToolTips"), QStringLiteral("False")},
        {QStringLiteral("AutoMode"), QStringLiteral("2")},
        {QStringLiteral("AutoDDEexe"), options.AutoDDEexe},
        {QStringLiteral("AutoDDEapp"), options.AutoDDEapp},
    };
    QCOMPARE(storedOptions(), expected);
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
    storeOption(QStringLiteral("ToolTips"), QStringLiteral("False"));
    // Another section's keys are not options.
    QVERIFY(Registry::SaveSetting(QStringLiteral("Pagewheel"), QStringLiteral("Settings"),
                                  QStringLiteral("AutoStart"), QStringLiteral("True")));
    COptions options = OptionsDump::defaults();
    QVERIFY(modRegistry::RegistryGet(options));
    QCOMPARE(OptionsDump::dump(options),
             OptionsDump::with(OptionsDump::dump(OptionsDump::defaults()),
                               QStringLiteral("ToolTips=false")));
}

void tst_modRegistry::getLogsEachValue()
{
    storeOption(QStringLiteral("ToolTips"), QStringLiteral("False"));
    storeOption(QStringLiteral("AutoMode"), QStringLiteral(" x "));
    storeOption(QStringLiteral("AutoDDEapp"), QStringLiteral(" A, B "));
    LogCapture log(m_logs->path(), true, false);
    COptions options = OptionsDump::defaults();
    QVERIFY(modRegistry::RegistryGet(options));
    // The store hands its keys back in key order.
    const QStringList expected = {
        QStringLiteral("RegistryGet  - GetAllSettings for _Pagewheel_"),
        QStringLiteral("RegistryGet  - start"),
        QStringLiteral("Name: _AutoDDEapp_  Value:_ A, B _"),
        QStringLiteral("Name: _AutoMode_  Value:_ x _"),
        QStringLiteral("set_option_value: ERROR getting: AutoMode_  Value:_ x _"),
        QStringLiteral("Name: _ToolTips_  Value:_False_"),
    };
    QCOMPARE(log.messages(), expected);
}

void tst_modRegistry::setOptionValue_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("change"); // empty: the record stays as it was
    QTest::addColumn<bool>("error");

    auto row = [](const char* key, const char* value, const char* change, bool error) {
        QTest::addRow("%s=%s", key, value) << QString::fromUtf8(key) << QString::fromUtf8(value)
                                           << QString::fromUtf8(change) << error;
    };
    // 32 bits
    row("ReloadInterval", "70000", "ReloadInterval=70000", false);
    row("ReloadInterval", " 42 ", "ReloadInterval=42", false);
    row("ReloadInterval", "2147483648", "", true);
    row("ReloadInterval", "2.5", "ReloadInterval=2", false);
    row("ReloadInterval", "3.5", "ReloadInterval=4", false);
    row("ReloadInterval", "abc", "", true);
    row("ReloadInterval", "", "", true);
    // 16 bits
    row("StartingSlide", "70000", "", true);
    row("StartingSlide", "32767", "StartingSlide=32767", false);
    row("StartingSlide", "32768", "", true);
    row("StartingSlide", "-32768", "StartingSlide=-32768", false);
    row("ReloadMode", "3", "ReloadMode=3", false);
    row("CarouselMode", "2", "CarouselMode=2", false);
    row("AutoMode", "6", "AutoMode=6", false);
    row("AutoMode", "1e6", "", true);
    // Truth values
    row("BusyWait", "True", "BusyWait=true", false);
    row("ToolTips", "FALSE", "ToolTips=false", false);
    row("AutoStart", "tRuE", "AutoStart=true", false);
    row("DisplayTips", "0", "DisplayTips=false", false);
    row("BusyWait", "-1", "BusyWait=true", false);
    row("UseDefault", "yes", "", true);
    row("DisplayWizard", "", "", true);
    // Text, as it stands
    row("CarouselFileName", " /a b/c,d.txt ", "CarouselFileName= /a b/c,d.txt ", false);
    row("StartingAddress", "", "StartingAddress=", false);
    row("AutoDDEapp", "#TRUE#", "AutoDDEapp=#TRUE#", false);
    // Not options: exact names only
    row("Changed", "True", "", false);
    row("autostart", "True", "", false);
    row("", "True", "", false);
}

void tst_modRegistry::setOptionValue()
{
    QFETCH(QString, key);
    QFETCH(QString, value);
    QFETCH(QString, change);
    QFETCH(bool, error);

    LogCapture log(m_logs->path(), true, false);
    COptions options = OptionsDump::defaults();
    modRegistry::set_option_value(key, value, options);
    QStringList expected = OptionsDump::dump(OptionsDump::defaults());
    if (!change.isEmpty())
        expected = OptionsDump::with(expected, change);
    QCOMPARE(OptionsDump::dump(options), expected);
    QVERIFY(!options.Changed);
    const QStringList errorLine = {QStringLiteral("set_option_value: ERROR getting: ") + key +
                                   QStringLiteral("_  Value:_") + value + QStringLiteral("_")};
    QCOMPARE(log.messages(), error ? errorLine : QStringList());
}

void tst_modRegistry::textSurvivesStore_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("commas") << QStringLiteral("a,b, c,");
    QTest::newRow("quotes") << QStringLiteral("say \"hi\", \"ok\"");
    QTest::newRow("fully quoted") << QStringLiteral("\"quoted\"");
    QTest::newRow("non-ASCII") << QStringLiteral("Grüße ✓ 日本 😀");
    QTest::newRow("outer blanks") << QStringLiteral("  both ends  ");
    QTest::newRow("empty") << QString();
    QTest::newRow("leading @") << QStringLiteral("@home");
    QTest::newRow("variant look-alike") << QStringLiteral("@Variant(\\0\\0\\0\\x2\\0\\0\\0\\x5)");
    QTest::newRow("byte array look-alike") << QStringLiteral("@ByteArray(abc)");
    QTest::newRow("backslashes") << QStringLiteral("C:\\dir\\new\\x.txt");
    QTest::newRow("INI syntax") << QStringLiteral("[Options]\nkey=value ;comment #x");
    QTest::newRow("line breaks and tab") << QStringLiteral("one\r\ntwo\tthree");
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
    const QString file = Registry::settingsFile(QStringLiteral("Pagewheel"));
    QByteArray before;
    {
        QFile ini(file);
        QVERIFY(ini.open(QIODevice::ReadOnly));
        before = ini.readAll();
    }
    {
        UnwritableFile guard(file);
        if (!guard.holds())
            QSKIP("this system cannot make a file read-only for this user");
        QVERIFY(!modRegistry::RegistrySave(OptionsDump::unusual()));
    }
    // The value that failed is neither read back nor written by a later save.
    COptions loaded;
    QVERIFY(modRegistry::RegistryGet(loaded));
    QCOMPARE(OptionsDump::dump(loaded), OptionsDump::dump(OptionsDump::defaults()));
    QVERIFY(Registry::SaveSetting(QStringLiteral("Pagewheel"), QStringLiteral("Other"),
                                  QStringLiteral("Key"), QStringLiteral("v")));
    COptions reloaded;
    QVERIFY(modRegistry::RegistryGet(reloaded));
    QCOMPARE(OptionsDump::dump(reloaded), OptionsDump::dump(OptionsDump::defaults()));
}

void tst_modRegistry::browserChoice_data()
{
    QTest::addColumn<bool>("present");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<int>("mode");

    const char* letters = "ABCDEFG";
    for (int i = 0; i < 7; ++i)
        QTest::addRow("%c", letters[i]) << true << QString(QLatin1Char(letters[i])) << i;
    QTest::newRow("missing (default 5)") << false << QString() << 0;
    QTest::newRow("lower case") << true << QStringLiteral("c") << 0;
    QTest::newRow("two letters") << true << QStringLiteral("AB") << 0;
    QTest::newRow("past G") << true << QStringLiteral("H") << 0;
    QTest::newRow("blank before") << true << QStringLiteral(" C") << 0;
    QTest::newRow("digit") << true << QStringLiteral("2") << 0;
    QTest::newRow("empty") << true << QString() << 0;
}

void tst_modRegistry::browserChoice()
{
    QFETCH(bool, present);
    QFETCH(QString, stored);
    QFETCH(int, mode);
    if (present)
        QVERIFY(Registry::SaveSetting(QStringLiteral("Pagewheel"), QStringLiteral("Registration"),
                                      QStringLiteral("IBROWSER"), stored));
    // The choice lives in its own section: the same key elsewhere is not it.
    QVERIFY(Registry::SaveSetting(QStringLiteral("Pagewheel"), QStringLiteral("Options"),
                                  QStringLiteral("IBROWSER"), QStringLiteral("D")));

    LogCapture log(m_logs->path(), true, false);
    QCOMPARE(modRegistry::GetBrowserChoice(), qint16(mode));
    QCOMPARE(log.messages(), QStringList{QStringLiteral("AutoMode from Registration registry: ") +
                                         QString::number(mode)});
}

QTEST_GUILESS_MAIN(tst_modRegistry)
#include "tst_settings_modRegistry.moc"
