// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Registry.h"
#include "settings/DialogPosition.h"
#include "settings/cScreenSettings.h"
#include "startup/modMain.h"

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

namespace {

/// The layout read back: left, top, width, height, then the five bars.
QList<int> readLayout()
{
    cScreenSettings read;
    const WindowGeometry window = read.GetPrevious();
    return {window.left,   window.top,        window.width,  window.height,   read.BarSlideOn,
            read.BarNavOn, read.BarCollectOn, read.BarOptOn, read.BarStatusOn};
}

} // namespace

// The main window's layout, its recent files and the dialogs' positions in a real settings
// file on a fresh profile.
class tst_cScreenSettings : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void layoutRecentFilesAndDialogPositions()
    {
        QTemporaryDir config;
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
        modMain::ResetProgramState();
        QCOMPARE(readLayout(), QList<int>({105, 105, 5745, 4800, 1, 1, 1, 1, 1}));
        QVERIFY(cScreenSettings().GetPrevFiles().isEmpty());
        // Reading writes nothing.
        const QString file = Registry::settingsFile(QStringLiteral("Pagewheel"));
        QVERIFY(!QFile::exists(file));

        cScreenSettings saved;
        saved.BarNavOn = saved.BarCollectOn = saved.BarOptOn = true;
        saved.BarSlideOn = saved.BarStatusOn = false;
        // Wider than 16 bits hold: a 4K screen is 57600 twips across.
        saved.SaveSettings({1200, 900, 57600, 6000});
        QCOMPARE(Registry::GetSetting("Pagewheel", "Settings", "frmMainBarSlideOn"), "False");
        QCOMPARE(readLayout(), QList<int>({1200, 900, 57600, 6000, 0, 1, 1, 1, 0}));

        // Values edited by hand into something else count as absent.
        QSettings store(file, QSettings::IniFormat);
        store.setValue(QStringLiteral("Settings/frmMainMainLeft"), QStringLiteral("left"));
        store.setValue(QStringLiteral("Settings/frmMainBarNavOn"), QStringLiteral("maybe"));
        store.setValue(QStringLiteral("Settings/frmMainBarOptOn"), QStringLiteral("0"));
        store.sync();
        QCOMPARE(readLayout(), QList<int>({105, 900, 57600, 6000, 0, 1, 1, 0, 0}));

        cScreenSettings layout;
        layout.SaveSettingsFiles({"/a.txt", "/b.txt", "/c.txt", "/d.txt", "/e.txt", "/f.txt"}, 6);
        // At most five come back.
        QCOMPARE(layout.GetPrevFiles(),
                 QStringList({"/a.txt", "/b.txt", "/c.txt", "/d.txt", "/e.txt"}));
        // A shorter list leaves the older entries past its end in the store.
        layout.SaveSettingsFiles({"/x.txt", "", "/y.txt"}, 3);
        QCOMPARE(layout.GetPrevFiles(),
                 QStringList({"/x.txt", "/b.txt", "/c.txt", "/d.txt", "/e.txt"}));

        const QString name = QStringLiteral("frmListEdit");
        const DialogPosition::Position design{2400, 1800};
        QCOMPARE(DialogPosition::Load(name, design).left, 2400);
        DialogPosition::Save(name, {300, 450}, false, false);
        // Closed while maximized or minimized: the stored position stays.
        DialogPosition::Save(name, {0, 0}, false, true);
        DialogPosition::Save(name, {-32000, -32000}, true, false);
        const DialogPosition::Position read = DialogPosition::Load(name, design);
        QCOMPARE((QList<int>{read.left, read.top}), QList<int>({300, 450}));

        DialogPosition::SaveValue(name, QStringLiteral("ListWidth2"), 1500, false, false);
        QCOMPARE(DialogPosition::LoadValue(name, QStringLiteral("ListWidth2"), 900), 1500);
        QCOMPARE(DialogPosition::LoadValue(name, QStringLiteral("Width"), 900), 900);
    }
};

QTEST_GUILESS_MAIN(tst_cScreenSettings)
#include "tst_cScreenSettings.moc"
