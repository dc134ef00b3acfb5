// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Registry.h"
#include "settings/DialogPosition.h"
#include "settings/cScreenSettings.h"
#include "startup/modMain.h"

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

// The main window's layout and the dialogs' positions in real settings
// files, each test on a fresh profile.
class tst_cScreenSettings : public QObject
{
    Q_OBJECT

    static QString stored(const QString& key)
    {
        return Registry::GetSetting(QStringLiteral("Pagewheel"), QStringLiteral("Settings"), key,
                                    QStringLiteral("<none>"));
    }

    std::unique_ptr<QTemporaryDir> m_config;

private Q_SLOTS:
    void init()
    {
        m_config = std::make_unique<QTemporaryDir>();
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_config->path()));
        modMain::ResetProgramState();
    }

    void cleanup() { m_config.reset(); }

    void layoutRoundTrip()
    {
        cScreenSettings fresh;
        QCOMPARE(fresh.GetPrevious().left, 105);
        QCOMPARE(fresh.GetPrevious().height, 4800);
        QVERIFY(fresh.BarNavOn && fresh.BarStatusOn);
        QVERIFY(fresh.GetPrevFiles().isEmpty());
        // Reading writes nothing.
        QVERIFY(!QFile::exists(Registry::settingsFile(QStringLiteral("Pagewheel"))));

        cScreenSettings saved;
        saved.BarNavOn = saved.BarCollectOn = saved.BarOptOn = true;
        saved.BarSlideOn = saved.BarStatusOn = false;
        saved.SaveSettings({1200, 900, 57600, 6000});
        QCOMPARE(stored(QStringLiteral("frmMainMainLeft")), QStringLiteral("1200"));
        QCOMPARE(stored(QStringLiteral("frmMainBarSlideOn")), QStringLiteral("False"));
        QCOMPARE(stored(QStringLiteral("frmMainBarNavOn")), QStringLiteral("True"));
        cScreenSettings read;
        const WindowGeometry window = read.GetPrevious();
        QCOMPARE(window.left, 1200);
        QCOMPARE(window.top, 900);
        // Wider than 16 bits hold: a 4K screen is 57600 twips across.
        QCOMPARE(read.WidthLarge, 57600);
        QCOMPARE(read.HeightLarge, 6000);
        QVERIFY(read.BarNavOn && read.BarCollectOn && read.BarOptOn);
        QVERIFY(!read.BarSlideOn && !read.BarStatusOn);
    }

    void valuesEditedByHandCountAsAbsent()
    {
        QSettings store(Registry::settingsFile(QStringLiteral("Pagewheel")), QSettings::IniFormat);
        store.setValue(QStringLiteral("Settings/frmMainMainLeft"), QStringLiteral("left"));
        store.setValue(QStringLiteral("Settings/frmMainMainHeight"), QStringLiteral("3000"));
        store.setValue(QStringLiteral("Settings/frmMainBarNavOn"), QStringLiteral("maybe"));
        store.setValue(QStringLiteral("Settings/frmMainBarOptOn"), QStringLiteral("0"));
        store.sync();
        cScreenSettings read;
        const WindowGeometry window = read.GetPrevious();
        QCOMPARE(window.left, 105);
        QCOMPARE(window.height, 3000);
        QVERIFY(read.BarNavOn);
        QVERIFY(!read.BarOptOn);
    }

    void recentFiles()
    {
        cScreenSettings layout;
        layout.SaveSettingsFiles({"/a.txt", "/b.txt", "/c.txt", "/d.txt", "/e.txt", "/f.txt"}, 6);
        // At most five come back.
        QCOMPARE(layout.GetPrevFiles(),
                 QStringList({"/a.txt", "/b.txt", "/c.txt", "/d.txt", "/e.txt"}));
        // A shorter list leaves the older entries past its end in the store.
        layout.SaveSettingsFiles({"/x.txt", "", "/y.txt"}, 3);
        QCOMPARE(stored(QStringLiteral("frmMainFile1")), QStringLiteral("/x.txt"));
        QCOMPARE(layout.GetPrevFiles(),
                 QStringList({"/x.txt", "/b.txt", "/c.txt", "/d.txt", "/e.txt"}));
    }

    void dialogPosition()
    {
        const QString name = QStringLiteral("frmListEdit");
        const DialogPosition::Position design{2400, 1800};
        QCOMPARE(DialogPosition::Load(name, design).left, 2400);
        DialogPosition::Save(name, {300, 450}, false, false);
        QCOMPARE(stored(QStringLiteral("frmListEditLeft")), QStringLiteral("300"));
        // Closed while maximized or minimized: the stored position stays.
        DialogPosition::Save(name, {0, 0}, false, true);
        DialogPosition::Save(name, {-32000, -32000}, true, false);
        const DialogPosition::Position read = DialogPosition::Load(name, design);
        QCOMPARE(read.left, 300);
        QCOMPARE(read.top, 450);

        DialogPosition::SaveValue(name, QStringLiteral("ListWidth2"), 1500, false, false);
        QCOMPARE(DialogPosition::LoadValue(name, QStringLiteral("ListWidth2"), 900), 1500);
        QCOMPARE(DialogPosition::LoadValue(name, QStringLiteral("Width"), 900), 900);
    }
};

QTEST_GUILESS_MAIN(tst_cScreenSettings)
#include "tst_cScreenSettings.moc"
