// SPDX-License-Identifier: GPL-3.0-or-later
#include "editors/frmDirList.h"
#include "platform/ScriptedPrompts.h"
#include "settings/COptions.h"
#include "show/colURLs.h"
#include "startup/modMain.h"
#include "TestFiles.h"

#include <QAccessible>
#include <QDir>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

/// A caller of the picker: the folder arrives in its "txtFindDir".
class PickerCaller : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString txtFindDir MEMBER m_txtFindDir)

public:
    QString m_txtFindDir;
};

class tst_frmDirList : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_root;
    QString m_pages; ///< a.htm, b.jpg, c.txt, a hidden file and a subfolder

    template <typename T> static T* control(frmDirList& window, const char* name)
    {
        T* widget = window.findChild<T*>(QString::fromLatin1(name));
        if (!widget)
            qFatal("no control %s", name);
        return widget;
    }

    static void pressOK(frmDirList& window)
    {
        QTest::mouseClick(control<QPushButton>(window, "cmdOK"), Qt::LeftButton);
    }

    static QStringList addresses(const colURLs& show)
    {
        QStringList result;
        for (const auto& slide : show)
            result.append(slide->HREF);
        result.sort();
        return result;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_root.isValid());
        m_pages = m_root.filePath(QStringLiteral("pages"));
        QVERIFY(QDir().mkpath(m_pages + QStringLiteral("/sub")));
        QVERIFY(QDir().mkpath(m_root.filePath(QStringLiteral("onlyfolders/inner"))));
        for (const char* name : {"a.htm", "b.jpg", "c.txt", ".hidden", "sub/deeper.htm"})
            writeFile(m_pages + QLatin1Char('/') + QLatin1String(name), "x");
    }
    void cleanup() { modMain::ResetProgramState(); }

    void allFilesTakesEveryOrdinaryFileWithOneSeparator_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::newRow("no final separator") << m_pages;
        QTest::newRow("final slash") << m_pages + QLatin1Char('/');
        QTest::newRow("backslashes") << QString(m_pages + QLatin1Char('/')).replace('/', '\\');
    }
    void allFilesTakesEveryOrdinaryFileWithOneSeparator()
    {
        QFETCH(QString, typed);
        ScriptedPrompts prompts;
        COptions options;
        colURLs show;
        frmDirList window(&show, options);
        window.show();
        control<QRadioButton>(window, "optAllFiles0")->click();
        // The filter box limits the file list only, never "All Files".
        control<QLineEdit>(window, "txtPattern")->setText(QStringLiteral("*.jpg"));
        control<QLineEdit>(window, "txtDir")->setText(typed);
        pressOK(window);
        QVERIFY(prompts.texts().isEmpty());
        QCOMPARE(window.result(), int(QDialog::Accepted));
        QVERIFY(show.Changed);
        const QString folder = m_pages + QLatin1Char('/');
        QCOMPARE(addresses(show),
                 QStringList({folder + QStringLiteral("a.htm"), folder + QStringLiteral("b.jpg"),
                              folder + QStringLiteral("c.txt")}));
        const auto first = show.Item(1);
        QVERIFY(first->SoundFile.isEmpty());
        QCOMPARE(first->PauseTime, 0);
        QVERIFY(!first->SkipField);
    }

    void okMessagesKeepTheWindowOpen_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("allFiles");
        QTest::addColumn<QString>("message");
        const QString missingParent = m_root.filePath(QStringLiteral("nowhere/at/all"));
        const QString missingLast = m_root.filePath(QStringLiteral("missing"));
        const QString onlyFolders = m_root.filePath(QStringLiteral("onlyfolders"));
        QTest::newRow("empty") << QString() << true << QStringLiteral("No directory selected.");
        QTest::newRow("parent missing")
            << missingParent << true
            << QStringLiteral("Directory ") + missingParent + QStringLiteral("\r\ndoes not exist.");
        QTest::newRow("last folder missing")
            << missingLast << true
            << QStringLiteral("Directory ") + missingLast +
                   QStringLiteral("\r\nhas no files selected or does not exist.");
        QTest::newRow("only subfolders")
            << onlyFolders << false
            << QStringLiteral("Directory ") + onlyFolders +
                   QStringLiteral("\r\nhas no files selected or does not exist.");
    }
    void okMessagesKeepTheWindowOpen()
    {
        QFETCH(QString, typed);
        QFETCH(bool, allFiles);
        QFETCH(QString, message);
        ScriptedPrompts prompts;
        COptions options;
        colURLs show;
        frmDirList window(&show, options);
        window.show();
        control<QRadioButton>(window, allFiles ? "optAllFiles0" : "optAllFiles1")->click();
        control<QLineEdit>(window, "txtDir")->setText(typed);
        pressOK(window);
        QCOMPARE(prompts.texts(), QStringList{message});
        QCOMPARE(prompts.shown().first().buttons, Prompts::vbOKOnly + Prompts::vbExclamation);
        if (typed.isEmpty())
            QCOMPARE(prompts.shown().first().title, QStringLiteral("Field Error"));
        QVERIFY(window.isVisible());
        QCOMPARE(show.Count(), 0);
    }

    void selectedFilesFollowTheListAndItsSelection()
    {
        ScriptedPrompts prompts;
        COptions options;
        colURLs show;
        show.Changed = true;
        frmDirList window(&show, options);
        window.setStartFolder(m_root.path());
        window.show();
        QVERIFY(control<QListView>(window, "fileList")->isVisible());
        // Into "pages": every file of the new list comes selected.
        auto* folders = control<QListWidget>(window, "dirList");
        const auto found = folders->findItems(QStringLiteral("pages"), Qt::MatchExactly);
        QCOMPARE(found.size(), 1);
        Q_EMIT folders->itemActivated(found.first());
        QCOMPARE(control<QLineEdit>(window, "txtDir")->text(), m_pages);
        auto* files = control<QListView>(window, "fileList");
        QCOMPARE(files->model()->rowCount(), 3);
        QCOMPARE(files->selectionModel()->selectedRows().size(), 3);
        // The pattern narrows the list; then nothing selected is a message.
        control<QLineEdit>(window, "txtPattern")->clear();
        QTest::keyClicks(control<QLineEdit>(window, "txtPattern"), QStringLiteral("*.htm;*.jpg"));
        QCOMPARE(files->model()->rowCount(), 2);
        files->clearSelection();
        pressOK(window);
        QCOMPARE(prompts.texts().size(), 1);
        QCOMPARE(show.Count(), 0);
        files->selectionModel()->select(files->model()->index(1, 0), QItemSelectionModel::Select);
        pressOK(window);
        QCOMPARE(addresses(show), QStringList{m_pages + QStringLiteral("/b.jpg")});
        // Up one level returns to the start.
        window.setFolder(m_pages);
        control<QToolButton>(window, "cmdUp")->click();
        QCOMPARE(window.folder(), m_root.path());
    }

    void cancelLeavesTheNewShowUnchanged()
    {
        COptions options;
        colURLs show;
        show.Changed = true;
        frmDirList window(&show, options);
        window.show();
        QTest::mouseClick(control<QPushButton>(window, "cmdCancel"), Qt::LeftButton);
        QVERIFY(!show.Changed);
        QCOMPARE(show.Count(), 0);
    }

    void pickerHandsBackTheFolderWithOneFinalSeparator_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("expected");
        QTest::newRow("plain") << m_pages << m_pages + QLatin1Char('/');
        QTest::newRow("final slash") << m_pages + QLatin1Char('/') << m_pages + QLatin1Char('/');
    }
    void pickerHandsBackTheFolderWithOneFinalSeparator()
    {
        QFETCH(QString, typed);
        QFETCH(QString, expected);
        ScriptedPrompts prompts;
        COptions options;
        PickerCaller caller;
        frmDirList window(nullptr, options);
        window.setPicker(&caller);
        window.show();
        QCOMPARE(window.windowTitle(), QStringLiteral("Choose Directory"));
        QVERIFY(control<QRadioButton>(window, "optAllFiles0")->isChecked());
        QVERIFY(!control<QListView>(window, "fileList")->isVisible());
        control<QLineEdit>(window, "txtDir")->setText(typed);
        pressOK(window);
        QVERIFY(prompts.texts().isEmpty());
        QCOMPARE(caller.property("txtFindDir").toString(), expected);
        QCOMPARE(window.result(), int(QDialog::Accepted));
    }

    void pickerRefusesAFolderThatIsNotThere()
    {
        ScriptedPrompts prompts;
        COptions options;
        PickerCaller caller;
        frmDirList window(nullptr, options);
        window.setPicker(&caller);
        window.show();
        control<QLineEdit>(window, "txtDir")->setText(m_root.filePath(QStringLiteral("gone")));
        pressOK(window);
        QCOMPARE(prompts.texts().size(), 1);
        QVERIFY(caller.m_txtFindDir.isEmpty());
        QVERIFY(window.isVisible());
    }

    void everyControlHasAnAccessibleName()
    {
        COptions options;
        colURLs show;
        frmDirList window(&show, options);
        window.show();
        for (const char* name : {"drvList", "dirList", "txtDir", "cmdUp", "fileList", "txtPattern",
                                 "optAllFiles0", "optAllFiles1", "cmdOK", "cmdCancel", "cmdHelp"}) {
            QAccessibleInterface* face =
                QAccessible::queryAccessibleInterface(control<QWidget>(window, name));
            QVERIFY2(face && !face->text(QAccessible::Name).isEmpty(), name);
        }
    }
};

QTEST_MAIN(tst_frmDirList)
#include "tst_frmDirList.moc"
