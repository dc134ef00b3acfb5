// SPDX-License-Identifier: GPL-3.0-or-later
#include "guidance/frmWizMain.h"
#include "settings/COptions.h"
#include "show/colURLs.h"
#include "startup/modMain.h"
#include "TestWizardHost.h"

#include <QCheckBox>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

class tst_frmWizMain : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_config;
    QTemporaryDir m_folder;

    QString writeShow(const char* name, const QByteArray& bytes)
    {
        const QString path = m_folder.filePath(QString::fromLatin1(name));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            qFatal("cannot write %s", name);
        file.write(bytes);
        return path;
    }

private Q_SLOTS:
    void initTestCase()
    {
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_config.path()));
        modMain::SetProgramFolder(m_folder.path());
    }

    void recentListLeavesOutDeletedAndEmptyShowsAndOpensAClickedOne()
    {
        QByteArray twelve;
        for (int i = 1; i <= 12; ++i) {
            twelve += "http://example.com/" + QByteArray::number(i) + "\r\n";
            if (i % 4 == 0)
                twelve += "\r\n";
        }
        TestWizardHost host;
        const QString deleted = writeShow("Deleted.txt", "http://example.com/\r\n");
        QFile::remove(deleted);
        const QString shown = writeShow("Twelve.txt", twelve);
        const QString small = writeShow("Small.txt", "a\r\nb\r\n");
        host.recent = {deleted, shown, writeShow("Empty.txt", "\r\n\r\n"), QString(), small};
        COptions options;
        colURLs show;
        show.TrayFilename = shown;
        frmWizMain window;
        window.setOptions(options);
        window.setShow(show);
        window.setHost(&host);
        window.show();

        QCOMPARE(window.findChild<QLabel*>("lblCurrent")->text(), "Twelve.txt");
        QCOMPARE(window.findChild<QTabWidget*>()->currentIndex(), 0);
        auto* list = window.findChild<QTreeWidget*>("ListView1");
        QCOMPARE(list->topLevelItemCount(), 2);
        QCOMPARE(list->topLevelItem(0)->text(0), shown);
        QCOMPARE(list->topLevelItem(0)->text(1), "12");
        // Slides sort by number: ascending, then descending on the next click.
        QTest::mouseClick(list->header()->viewport(), Qt::LeftButton, {},
                          QPoint(list->header()->sectionViewportPosition(1) + 5, 5));
        QCOMPARE(list->topLevelItem(0)->text(0), small);
        QTest::mouseClick(list->header()->viewport(), Qt::LeftButton, {},
                          QPoint(list->header()->sectionViewportPosition(1) + 5, 5));
        QCOMPARE(list->topLevelItem(0)->text(0), shown);

        const QRect row = list->visualItemRect(list->topLevelItem(0));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, row.center());
        QCOMPARE(host.calls, QStringList{"open " + shown});
        QVERIFY(!window.isVisible());
        QVERIFY(!options.Changed);
    }

    void startupBoxMarksTheOptionsChangedEvenOnCancel()
    {
        TestWizardHost host;
        COptions options;
        options.DisplayWizard = true;
        options.Changed = false;
        colURLs show;
        frmWizMain window;
        window.setOptions(options);
        window.setShow(show);
        window.setHost(&host);
        window.show();
        auto* box = window.findChild<QCheckBox*>("chkStartup");
        QVERIFY(box->isChecked());
        box->click();
        QVERIFY(!options.Changed);
        window.findChild<QPushButton*>("cmdCancel")->click();
        QVERIFY(!options.DisplayWizard);
        QVERIFY(options.Changed);
        QVERIFY(host.calls.isEmpty());
    }
};

QTEST_MAIN(tst_frmWizMain)
#include "tst_frmWizMain.moc"
