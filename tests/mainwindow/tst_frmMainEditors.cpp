// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's ways into the show editors, and what a screen reader
// reads of its controls.
#include "MainWindowRig.h"
#include "editors/ListEditModel.h"
#include "editors/frmDirList.h"
#include "editors/frmListEdit.h"
#include "editors/frmSlideEdit.h"
#include "guidance/frmWizMain.h"
#include "mainwindow/frmMain.h"
#include "../guidance/WizardDriver.h"
#include "../editors/EditorTestKit.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTableView>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>

#include <memory>

class tst_frmMainEditors : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<MainWindowRig> m_rig;

    template <typename T> static T* control(QWidget* window, const char* name)
    {
        return window->findChild<T*>(QString::fromLatin1(name));
    }
    static void press(QWidget* window, const char* name)
    {
        QTest::mouseClick(control<QPushButton>(window, name), Qt::LeftButton);
    }

private Q_SLOTS:
    void init() { m_rig = std::make_unique<MainWindowRig>(); }
    void cleanup() { m_rig.reset(); }

    void slideEditorEditsTheCurrentSlide()
    {
        COptions options = m_rig->options();
        options.StartingSlide = 2;
        const QPointer<frmMain> window = m_rig->open(options);
        // Slide > Edit: a pause too large for 16 bits goes in unchanged.
        whenModal<frmSlideEdit>([](frmSlideEdit* editor) {
            QCOMPARE(control<QLineEdit>(editor, "txtURL")->text(),
                     QStringLiteral("http://127.0.0.1:9/two.html"));
            control<QLineEdit>(editor, "txtPause")->setText(QStringLiteral("40000"));
            press(editor, "cmdOK");
        });
        MainWindowRig::action(window, QStringLiteral("mnuSlideEdit"))->trigger();
        QCOMPARE(window->Show().Item(2)->PauseTime, 40000);
        QVERIFY(window->Show().Changed);
        QCOMPARE(control<QLabel>(window, "lblSlidePause")->text(), QStringLiteral("40000"));

        // A click on the slide's sound opens it too; the slide bar's key also.
        int opened = 0;
        const auto cancel = [&opened](frmSlideEdit* editor) {
            ++opened;
            press(editor, "cmdCancel");
        };
        whenModal<frmSlideEdit>(cancel);
        QTest::mouseClick(control<QLabel>(window, "lblSlideSound"), Qt::LeftButton);
        whenModal<frmSlideEdit>(cancel);
        MainWindowRig::action(window, QStringLiteral("tbrSlideEdit"))->trigger();
        QCOMPARE(opened, 2);

        // No current slide: no editor, a beep and a log line.
        window->ShowState().NumCurrentSlide = 0;
        MainWindowRig::action(window, QStringLiteral("mnuSlideEdit"))->trigger();
        QVERIFY(m_rig->log->messages().contains(QStringLiteral("doEditSlide: Not a record.")));
    }

    void startupChooserLeadsThroughTheWizardToTheListEditor()
    {
        COptions options = m_rig->options();
        options.DisplayWizard = true;
        const QPointer<frmMain> window = m_rig->open(options);
        QPointer<frmWizMain> chooser = window->wizardStart();
        QVERIFY(chooser);
        QTRY_VERIFY(chooser->isVisible());
        QCOMPARE(control<QTreeWidget>(chooser, "ListView1")->topLevelItem(0)->text(0),
                 m_rig->showFile());

        // New Show: by me, not all local, no bookmarks, from scratch: the
        // list editor on a new, empty show.
        WizardDriver driver(QStringLiteral("1 2 2 1 n p:cmdCancel"));
        control<QPushButton>(chooser, "cmdNewShow")->click();
        QCOMPARE(driver.left, QStringList());
        QCOMPARE(driver.labels.last(), QStringLiteral("frmListEdit"));
        QVERIFY(window->Show().TrayFilename.startsWith(QStringLiteral("Show")));
        QTRY_VERIFY(!chooser);

        // The Wizard menu opens the chooser again.
        MainWindowRig::action(window, QStringLiteral("mnuWizard"))->trigger();
        QVERIFY(window->wizardStart() && window->wizardStart()->isVisible());
    }

    void newShowAndShowFromDirectoryFromTheFileMenu()
    {
        const QPointer<frmMain> window = m_rig->open(m_rig->options());
        // New Show: the list editor on an empty show under a new name.
        whenModal<frmListEdit>([](frmListEdit* editor) {
            QCOMPARE(editor->model().rowCount(), 0);
            press(editor, "cmdCancel");
        });
        MainWindowRig::action(window, QStringLiteral("mnuFileNewNewShow"))->trigger();
        QCOMPARE(window->Show().Count(), 0);
        QVERIFY(window->Show().TrayFilename.startsWith(QStringLiteral("Show")));

        // Make Show from Directory: the folder's files become the show.
        const QString folder = m_rig->files.filePath(QStringLiteral("pages"));
        QVERIFY(QDir().mkpath(folder));
        m_rig->writeFile(QStringLiteral("pages/a.htm"));
        m_rig->writeFile(QStringLiteral("pages/b.htm"));
        whenModal<frmDirList>([folder](frmDirList* dialog) {
            control<QRadioButton>(dialog, "optAllFiles0")->click();
            control<QLineEdit>(dialog, "txtDir")->setText(folder);
            press(dialog, "cmdOK");
        });
        MainWindowRig::action(window, QStringLiteral("mnuFileNewMakeShowFromDirectory"))->trigger();
        QCOMPARE(window->Show().Count(), 2);
        QVERIFY(window->Show().Changed);
        QCOMPARE(control<QLabel>(window, "lblColMax")->text(), QStringLiteral("2"));

        // File > Edit and the show bar's key open the list on that show.
        int opened = 0;
        const auto look = [&opened](frmListEdit* editor) {
            opened += editor->model().rowCount();
            press(editor, "cmdCancel");
        };
        whenModal<frmListEdit>(look);
        MainWindowRig::action(window, QStringLiteral("mnuFileEdit"))->trigger();
        whenModal<frmListEdit>(look);
        MainWindowRig::action(window, QStringLiteral("tbrCollectEdit"))->trigger();
        QCOMPARE(opened, 4);
        QVERIFY(window->Show().Changed);
    }

    void everyControlHasAnAccessibleName()
    {
        const QPointer<frmMain> window = m_rig->open(m_rig->options());
        const QList<QWidget*> controls = window->findChildren<QWidget*>();
        int checked = 0;
        for (QWidget* widget : controls) {
            const bool isControl =
                qobject_cast<QAbstractButton*>(widget) || qobject_cast<QLineEdit*>(widget) ||
                qobject_cast<QComboBox*>(widget) || qobject_cast<QSlider*>(widget);
            if (!isControl || !widget->isVisibleTo(window))
                continue;
            ++checked;
            QAccessibleInterface* face = QAccessible::queryAccessibleInterface(widget);
            QVERIFY2(face && !face->text(QAccessible::Name).trimmed().isEmpty(),
                     qPrintable(widget->objectName() + QLatin1Char(' ') +
                                QString::fromLatin1(widget->metaObject()->className())));
        }
        QVERIFY(checked > 20);
        static const char* const Keys[6] = {"Beginning", "Back",   "Pause",
                                            "Forward",   "Ending", "Stop"};
        for (int i = 0; i < 6; ++i) {
            QWidget* key = window->findChild<QWidget*>(QStringLiteral("cmdNavKey%1").arg(i));
            QCOMPARE(QAccessible::queryAccessibleInterface(key)->text(QAccessible::Name),
                     QString::fromLatin1(Keys[i]));
        }
    }
};

QTEST_MAIN(tst_frmMainEditors)
#include "tst_frmMainEditors.moc"
