// SPDX-License-Identifier: GPL-3.0-or-later
#include "EditorTestKit.h"
#include "TestFiles.h"
#include "editors/ListEditModel.h"
#include "editors/frmListEdit.h"
#include "editors/frmSlideEdit.h"
#include "platform/ScriptedPrompts.h"
#include "settings/COptions.h"
#include "show/colURLs.h"
#include "sound/frmPlayRec.h"

#include <QAccessible>
#include <QHeaderView>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <QUrl>

class tst_frmListEdit : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_config;
    COptions m_options;

    /// A show of n slides "http://s1/" ... each shown once.
    static void fill(colURLs& show, int n)
    {
        show.EraseAll();
        for (int i = 1; i <= n; ++i) {
            auto slide = show.Add(QStringLiteral("http://s%1/").arg(i), QString(), i, false);
            slide->TimesShown = 1;
            slide->DateLastVisited = 45000.5;
        }
        show.Changed = false;
    }
    static QStringList numbers(frmListEdit& editor)
    {
        QStringList result;
        for (int i = 0; i < editor.model().rowCount(); ++i)
            result.append(editor.model().text(i, ListEditModel::Number));
        return result;
    }
    static QStringList addresses(const colURLs& show)
    {
        QStringList result;
        for (const auto& slide : show)
            result.append(slide->HREF);
        return result;
    }
    static void key(frmListEdit& editor, const char* name)
    {
        editor.findChild<QAction*>(QStringLiteral("tbToolBar") + QLatin1String(name))->trigger();
    }
    static void press(QWidget& window, const char* name)
    {
        QTest::mouseClick(window.findChild<QPushButton*>(QString::fromLatin1(name)),
                          Qt::LeftButton);
    }
    /// Answers the slide editor the next key opens: the address and pause,
    /// then OK (an empty address: Cancel).
    static void answerSlideEditor(const QString& address, const QString& pause)
    {
        whenModal<frmSlideEdit>([address, pause](frmSlideEdit* editor) {
            if (address.isEmpty()) {
                press(*editor, "cmdCancel");
                return;
            }
            editor->findChild<QLineEdit*>(QStringLiteral("txtURL"))->setText(address);
            editor->findChild<QLineEdit*>(QStringLiteral("txtPause"))->setText(pause);
            press(*editor, "cmdOK");
        });
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_config.isValid());
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_config.path()));
    }

    void insertAndCopyNumberTheRows()
    {
        colURLs show;
        fill(show, 5);
        frmListEdit editor(show, m_options, nullptr);
        editor.nCurrentSlide = 3;
        editor.show();
        answerSlideEditor(QStringLiteral("http://new/"), QStringLiteral("9"));
        key(editor, "Insert");
        QCOMPARE(numbers(editor), QStringList({"0001", "0002", "0003", "0004", "0005", "0006"}));
        QCOMPARE(editor.model().row(2).slide, QStringLiteral("http://new/"));
        QCOMPARE(editor.model().row(3).slide, QStringLiteral("http://s3/"));
        // Renumbered rows lose their showing figures.
        QCOMPARE(editor.model().text(3, ListEditModel::Shown), QString());
        QCOMPARE(editor.model().text(1, ListEditModel::Shown), QStringLiteral("1"));
        QVERIFY(show.Changed);

        // Add with Cancel in the slide editor leaves no row behind.
        answerSlideEditor(QString(), QString());
        key(editor, "Add");
        QCOMPARE(editor.model().rowCount(), 6);

        editor.list()->setCurrentIndex(editor.model().index(0, 0));
        key(editor, "Copy");
        QCOMPARE(editor.model().rowCount(), 7);
        QCOMPARE(editor.model().row(1).slide, QStringLiteral("http://s1/"));
        press(editor, "cmdOK");
        QCOMPARE(addresses(show).mid(0, 4),
                 QStringList({"http://s1/", "http://s1/", "http://s2/", "http://new/"}));
    }

    void playRecordsIntoTheHighlightedRow()
    {
        ScriptedPrompts prompts;
        colURLs show;
        fill(show, 3);
        show.Item(2)->SoundFile = QStringLiteral("old.wav");
        frmListEdit editor(show, m_options, nullptr);
        editor.show();
        editor.list()->setCurrentIndex(editor.model().index(1, 0));
        // The sound dialog opens on the row's sound; its OK name goes into
        // that row only, and the show changes only with the editor's OK.
        QString offered;
        whenModal<frmPlayRec>([&offered](frmPlayRec* dialog) {
            offered = dialog->fileName();
            dialog->findChild<QLineEdit*>(QStringLiteral("txtFileName"))
                ->setText(QStringLiteral("new.wav"));
            dialog->accept();
        });
        key(editor, "Play");
        QCOMPARE(offered, QStringLiteral("old.wav"));
        QCOMPARE(editor.model().row(1).sound, QStringLiteral("new.wav"));
        QCOMPARE(show.Item(2)->SoundFile, QStringLiteral("old.wav"));
        press(editor, "cmdOK");
        QCOMPARE(show.Item(2)->SoundFile, QStringLiteral("new.wav"));
        QVERIFY(show.Item(1)->SoundFile.isEmpty());
    }

    void okRebuildsOrUpdatesInPlace_data()
    {
        QTest::addColumn<bool>("deleteOne");
        QTest::newRow("same count: in place") << false;
        QTest::newRow("a row deleted: rebuilt") << true;
    }
    void okRebuildsOrUpdatesInPlace()
    {
        QFETCH(bool, deleteOne);
        colURLs show;
        fill(show, 3);
        frmListEdit editor(show, m_options, nullptr);
        editor.show();
        editor.list()->setCurrentIndex(editor.model().index(0, 0));
        if (deleteOne)
            key(editor, "Delete");
        editor.model().setRowValues(0, QStringLiteral("http://x/"), QString(),
                                    QStringLiteral("070000"), true);
        press(editor, "cmdOK");
        QCOMPARE(show.Count(), deleteOne ? 2 : 3);
        QCOMPARE(show.Item(1)->HREF, QStringLiteral("http://x/"));
        QCOMPARE(show.Item(1)->PauseTime, 70000);
        QVERIFY(show.Item(1)->SkipField);
        QCOMPARE(show.Item(2)->TimesShown, deleteOne ? 0 : 1);
        QCOMPARE(show.Item(2)->DateLastVisited, deleteOne ? 0.0 : 45000.5);
        QVERIFY(show.Changed);
    }

    void cancelLeavesTheShowAsItWas()
    {
        colURLs show;
        fill(show, 3);
        show.Changed = true; // edits made before the editor opened
        frmListEdit editor(show, m_options, nullptr);
        editor.show();
        editor.list()->setCurrentIndex(editor.model().index(1, 0));
        key(editor, "Delete");
        key(editor, "Skip");
        press(editor, "cmdCancel");
        QCOMPARE(addresses(show), QStringList({"http://s1/", "http://s2/", "http://s3/"}));
        QVERIFY(!show.Item(1)->SkipField);
        QVERIFY(show.Changed);
    }

    void sortingAndDraggingReorderTheSavedShow()
    {
        ScriptedPrompts prompts;
        RecordingHost host;
        colURLs show;
        fill(show, 3);
        frmListEdit editor(show, m_options, &host);
        editor.show();
        // The first click on "Slide" sorts descending.
        QHeaderView* header = editor.list()->horizontalHeader();
        Q_EMIT header->sectionClicked(ListEditModel::Slide);
        QCOMPARE(editor.model().row(0).slide, QStringLiteral("http://s3/"));
        // s3 dragged onto the last row.
        ListEditModel& model = editor.model();
        std::unique_ptr<QMimeData> row(model.mimeData({model.index(0, 0)}));
        QVERIFY(model.dropMimeData(row.get(), Qt::CopyAction, -1, -1, model.index(2, 0)));
        // Files dropped from outside are appended; one with a quote is refused.
        QMimeData files;
        files.setUrls({QUrl::fromLocalFile(QStringLiteral("/tmp/p1.htm")),
                       QUrl::fromLocalFile(QStringLiteral("/tmp/say \"hi\".htm"))});
        QVERIFY(model.dropMimeData(&files, Qt::CopyAction, -1, -1, QModelIndex()));
        QCOMPARE(prompts.texts().size(), 1);
        QCOMPARE(model.text(3, ListEditModel::Number), QStringLiteral("0004"));
        press(editor, "cmdOK");
        QCOMPARE(addresses(show),
                 QStringList({"http://s2/", "http://s1/", "http://s3/", "/tmp/p1.htm"}));
        QVERIFY(show.Changed);
        QCOMPARE(host.calls, QStringList{QStringLiteral("edited")});
    }

    void largePausesSurviveTheRebuildAndTheFile()
    {
        QTemporaryDir folder;
        colURLs show;
        fill(show, 1);
        show.TrayFilename = folder.filePath(QStringLiteral("big.txt"));
        frmListEdit editor(show, m_options, nullptr);
        editor.show();
        answerSlideEditor(QStringLiteral("http://long/"), QStringLiteral("999999"));
        key(editor, "Add");
        key(editor, "Save");
        colURLs back;
        QVERIFY(back.Read_in_file(show.TrayFilename));
        QCOMPARE(back.Count(), 2);
        QCOMPARE(back.Item(2)->PauseTime, 999999);
    }

    void openAsksBeforeDroppingRowEdits()
    {
        ScriptedPrompts prompts;
        RecordingHost host;
        colURLs show;
        fill(show, 2);
        host.onOpenCollect = [&show] { fill(show, 4); };
        frmListEdit editor(show, m_options, &host);
        editor.show();
        editor.list()->setCurrentIndex(editor.model().index(0, 0));
        key(editor, "Delete");
        prompts.answer(Prompts::vbCancel);
        key(editor, "Open");
        QCOMPARE(prompts.shown().first().title, QStringLiteral("Save Show Edits?"));
        QCOMPARE(editor.model().rowCount(), 1);
        QVERIFY(host.calls.isEmpty());
        prompts.answer(Prompts::vbNo);
        key(editor, "Open");
        QCOMPARE(host.calls, QStringList{QStringLiteral("open")});
        QCOMPARE(editor.model().rowCount(), 4);
        // Rows as loaded ask nothing.
        key(editor, "Open");
        QCOMPARE(prompts.shown().size(), 2);
    }

    void widthsAndPlaceAreRemembered()
    {
        colURLs show;
        fill(show, 1);
        {
            frmListEdit editor(show, m_options, nullptr);
            editor.show();
            editor.move(140, 90);
            editor.resize(700, editor.height());
            editor.list()->setColumnWidth(ListEditModel::Slide, 230);
            editor.list()->setColumnWidth(ListEditModel::Sound, 170);
            press(editor, "cmdCancel");
        }
        {
            // Closing while maximized keeps the earlier values.
            frmListEdit editor(show, m_options, nullptr);
            editor.show();
            editor.list()->setColumnWidth(ListEditModel::Slide, 50);
            editor.showMaximized();
            press(editor, "cmdCancel");
        }
        frmListEdit editor(show, m_options, nullptr);
        editor.show();
        QCOMPARE(editor.pos(), QPoint(140, 90));
        QCOMPARE(editor.width(), 700);
        QCOMPARE(editor.list()->columnWidth(ListEditModel::Slide), 230);
        QCOMPARE(editor.list()->columnWidth(ListEditModel::Sound), 170);
    }

    void keysAndTableAreNamedForScreenReaders()
    {
        colURLs show;
        fill(show, 2);
        frmListEdit editor(show, m_options, nullptr);
        editor.show();
        QToolBar* toolbar = editor.findChild<QToolBar*>(QStringLiteral("tbToolBar"));
        for (const char* name :
             {"Open", "Save", "Edit", "Add", "Copy", "Insert", "Skip", "Delete", "View", "Play"}) {
            QAction* action =
                editor.findChild<QAction*>(QStringLiteral("tbToolBar") + QLatin1String(name));
            QAccessibleInterface* button =
                QAccessible::queryAccessibleInterface(toolbar->widgetForAction(action));
            QCOMPARE(button->text(QAccessible::Name), QString::fromLatin1(name));
        }
        QAccessibleInterface* table = QAccessible::queryAccessibleInterface(editor.list());
        QVERIFY(table->tableInterface());
        QCOMPARE(table->tableInterface()->columnCount(), 6);
        QCOMPARE(table->tableInterface()->rowCount(), 2);
        QCOMPARE(table->tableInterface()->cellAt(1, 1)->text(QAccessible::Name),
                 QStringLiteral("http://s2/"));
    }
};

QTEST_MAIN(tst_frmListEdit)
#include "tst_frmListEdit.moc"
