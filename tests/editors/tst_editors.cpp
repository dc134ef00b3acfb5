// SPDX-License-Identifier: GPL-3.0-or-later
#include "EditorTestKit.h"
#include "TestFiles.h"
#include "WidgetKit.h"
#include "editors/ListEditModel.h"
#include "editors/frmDirList.h"
#include "editors/frmListEdit.h"
#include "editors/frmSlideEdit.h"
#include "platform/ScriptedPrompts.h"
#include "settings/COptions.h"
#include "show/colURLs.h"
#include "sound/frmPlayRec.h"
#include "startup/modMain.h"

#include <QTemporaryDir>
#include <QTest>
#include <QtWidgets>

/// A caller of the folder picker: the folder arrives in its "txtFindDir".
class PickerCaller : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString txtFindDir MEMBER m_txtFindDir)

public:
    QString m_txtFindDir;
};

namespace {

/// Triggers a tool bar key of the list editor ("tbToolBar" + name).
void key(frmListEdit& editor, const char* name)
{
    control<QAction>(editor, QByteArray("tbToolBar").append(name).constData())->trigger();
}

QStringList addresses(const colURLs& show)
{
    QStringList result;
    for (const auto& slide : show)
        result.append(slide->HREF);
    return result;
}

/// A show of n slides "http://s1/" ... each shown once.
void fill(colURLs& show, int n)
{
    show.EraseAll();
    for (int i = 1; i <= n; ++i) {
        auto slide = show.Add(QStringLiteral("http://s%1/").arg(i), QString(), i, false);
        slide->TimesShown = 1;
        slide->DateLastVisited = 45000.5;
    }
    show.Changed = false;
}

/// Types the folder into the folder window, with "All Files" or not, and presses OK.
void typeFolder(frmDirList& window, const QString& typed, bool allFiles = true)
{
    control<QRadioButton>(window, allFiles ? "optAllFiles0" : "optAllFiles1")->click();
    control<QLineEdit>(window, "txtDir")->setText(typed);
    click(window, "cmdOK");
}

/// Answers the slide editor the next key opens: address and pause, then OK
/// (an empty address: Cancel).
void answerSlideEditor(const QString& address, const QString& pause)
{
    whenModal<frmSlideEdit>([address, pause](frmSlideEdit* editor) {
        if (!address.isEmpty()) {
            control<QLineEdit>(*editor, "txtURL")->setText(address);
            control<QLineEdit>(*editor, "txtPause")->setText(pause);
        }
        click(*editor, address.isEmpty() ? "cmdCancel" : "cmdOK");
    });
}

/// Answers the sound dialog the next key opens: the name it offered goes into
/// offered; then the name typed and OK (no name: Cancel).
void answerSoundDialog(QString& offered, const QString& name = QString())
{
    whenModal<frmPlayRec>([&offered, name](frmPlayRec* dialog) {
        offered = dialog->fileName();
        if (name.isEmpty())
            return dialog->reject();
        control<QLineEdit>(*dialog, "txtFileName")->setText(name);
        dialog->accept();
    });
}

} // namespace

class tst_editors : public QObject
{
    Q_OBJECT

    QTemporaryDir m_root;
    QString m_pages; ///< a.htm, b.jpg, c.txt, a hidden file and a subfolder
    COptions m_options;

    /// The slide editor on the show's first slide.
    void editFirstSlide(frmSlideEdit& editor, colURLs& show)
    {
        editor.nSlideIndex = 1;
        editor.colShow = &show;
        editor.oOptions = &m_options;
        editor.show();
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_root.isValid());
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_root.filePath("config")));
        m_pages = m_root.filePath("pages");
        QVERIFY(QDir().mkpath(m_pages + "/sub"));
        QVERIFY(QDir().mkpath(m_root.filePath("onlyfolders/inner")));
        for (const char* name : {"a.htm", "b.jpg", "c.txt", ".hidden", "sub/deeper.htm"})
            writeFile(m_pages + '/' + name, "x");
    }
    void cleanup() { modMain::ResetProgramState(); }

    void dirListTakesTheChosenFilesOrSaysWhyNot()
    {
        ScriptedPrompts prompts;
        colURLs show;
        frmDirList window(&show, m_options);
        window.setStartFolder(m_root.path());
        window.show();
        QCOMPARE(unnamedControls(window), QStringList());
        // Into "pages": every file of the new list comes selected.
        auto* folders = control<QListWidget>(window, "dirList");
        const auto found = folders->findItems("pages", Qt::MatchExactly);
        QCOMPARE(found.size(), 1);
        Q_EMIT folders->itemActivated(found.first());
        QCOMPARE(control<QLineEdit>(window, "txtDir")->text(), m_pages);
        auto* files = control<QListView>(window, "fileList");
        QVERIFY(files->isVisible());
        QCOMPARE(files->model()->rowCount(), 3);
        QCOMPARE(files->selectionModel()->selectedRows().size(), 3);
        // The pattern narrows the list; then nothing selected is a message.
        control<QLineEdit>(window, "txtPattern")->clear();
        QTest::keyClicks(control<QLineEdit>(window, "txtPattern"), "*.htm;*.jpg");
        QCOMPARE(files->model()->rowCount(), 2);
        files->clearSelection();
        click(window, "cmdOK");
        QCOMPARE(prompts.texts().size(), 1);
        // So is a folder that will not do; each keeps the window open and adds nothing.
        const QString parent = m_root.filePath("nowhere/at/all"), last = m_root.filePath("missing"),
                      onlyFolders = m_root.filePath("onlyfolders"),
                      none = "\r\nhas no files selected or does not exist.";
        const QList<std::tuple<QString, bool, QString>> cases = {
            {QString(), true, "No directory selected."},
            {parent, true, "Directory " + parent + "\r\ndoes not exist."},
            {last, true, "Directory " + last + none},
            {onlyFolders, false, "Directory " + onlyFolders + none}};
        for (const auto& [typed, allFiles, message] : cases) {
            prompts.clear();
            typeFolder(window, typed, allFiles);
            QCOMPARE(prompts.texts(), QStringList{message});
            const Prompts::Request box = prompts.shown().first();
            QCOMPARE(box.buttons, Prompts::vbOKOnly + Prompts::vbExclamation);
            QVERIFY(!typed.isEmpty() || box.title == "Field Error");
            QVERIFY(window.isVisible());
        }
        QCOMPARE(show.Count(), 0);
        window.setFolder(m_pages);
        files->clearSelection();
        files->selectionModel()->select(files->model()->index(1, 0), QItemSelectionModel::Select);
        click(window, "cmdOK");
        QCOMPARE(addresses(show), QStringList{m_pages + "/b.jpg"});
        control<QToolButton>(window, "cmdUp")->click();
        QCOMPARE(window.folder(), m_root.path());

        colURLs fresh;
        fresh.Changed = true;
        frmDirList cancelled(&fresh, m_options);
        cancelled.show();
        click(cancelled, "cmdCancel");
        QVERIFY(!fresh.Changed);
        QCOMPARE(fresh.Count(), 0);
    }

    void dirListTakesAFolderWithOneSeparatorAndHandsItToAPicker()
    {
        ScriptedPrompts prompts;
        const QString folder = m_pages + '/';
        for (const QString& typed : {m_pages, folder, QString(folder).replace('/', '\\')}) {
            colURLs added;
            frmDirList window(&added, m_options);
            window.show();
            // The filter box limits the file list only, never "All Files".
            control<QLineEdit>(window, "txtPattern")->setText("*.jpg");
            typeFolder(window, typed);
            QCOMPARE(window.result(), int(QDialog::Accepted));
            QVERIFY(added.Changed);
            QStringList found = addresses(added);
            found.sort();
            QCOMPARE(found, QStringList({folder + "a.htm", folder + "b.jpg", folder + "c.txt"}));
            QCOMPARE(std::tuple(added.Item(1)->SoundFile, added.Item(1)->PauseTime,
                                added.Item(1)->SkipField),
                     std::tuple(QString(), 0, false));
        }
        QVERIFY(prompts.texts().isEmpty());
        // As a picker it hands the folder back to its caller; one not there is refused.
        for (const QString& typed : {m_pages, folder, m_root.filePath("gone")}) {
            PickerCaller caller;
            frmDirList window(nullptr, m_options);
            window.setPicker(&caller);
            window.show();
            QCOMPARE(window.windowTitle(), "Choose Directory");
            QVERIFY(control<QRadioButton>(window, "optAllFiles0")->isChecked());
            QVERIFY(!control<QListView>(window, "fileList")->isVisible());
            control<QLineEdit>(window, "txtDir")->setText(typed);
            click(window, "cmdOK");
            const bool there = !typed.endsWith("gone");
            QCOMPARE(prompts.texts().size(), there ? 0 : 1);
            QCOMPARE(caller.m_txtFindDir, there ? folder : QString());
            QCOMPARE(window.isVisible(), !there);
        }
    }

    void listInsertCopyAndPlayNumberTheRowsAndKeepThem()
    {
        colURLs show;
        fill(show, 5);
        show.Item(2)->SoundFile = "old.wav";
        show.TrayFilename = m_root.filePath("big.txt");
        frmListEdit editor(show, m_options, nullptr);
        editor.nCurrentSlide = 3;
        editor.show();
        answerSlideEditor("http://new/", "999999");
        key(editor, "Insert");
        QStringList numbers;
        for (int i = 0; i < editor.model().rowCount(); ++i)
            numbers.append(editor.model().text(i, ListEditModel::Number));
        QCOMPARE(numbers, QStringList({"0001", "0002", "0003", "0004", "0005", "0006"}));
        // Renumbered rows lose their showing figures.
        QCOMPARE(editor.model().text(3, ListEditModel::Shown), QString());
        QCOMPARE(editor.model().text(1, ListEditModel::Shown), "1");
        QVERIFY(show.Changed);
        answerSlideEditor(QString(), QString());
        key(editor, "Add");
        QCOMPARE(editor.model().rowCount(), 6);
        // A pause past 16 bits survives the rebuild and the file.
        key(editor, "Save");
        colURLs back;
        QVERIFY(back.Read_in_file(show.TrayFilename));
        QCOMPARE(back.Count(), 6);
        QCOMPARE(back.Item(3)->PauseTime, 999999);
        // The sound dialog opens on the highlighted row's sound; its OK name goes into that row
        // only, and the show changes only with the editor's OK.
        editor.list()->setCurrentIndex(editor.model().index(1, 0));
        QString offered;
        answerSoundDialog(offered, "new.wav");
        key(editor, "Play");
        QCOMPARE(offered, "old.wav");
        QCOMPARE(show.Item(2)->SoundFile, "old.wav");
        editor.list()->setCurrentIndex(editor.model().index(0, 0));
        key(editor, "Copy");
        // Its place and widths are remembered.
        editor.move(140, 90);
        editor.resize(700, editor.height());
        editor.list()->setColumnWidth(ListEditModel::Slide, 230);
        editor.list()->setColumnWidth(ListEditModel::Sound, 170);
        click(editor, "cmdOK");
        QCOMPARE(addresses(show),
                 QStringList({"http://s1/", "http://s1/", "http://s2/", "http://new/", "http://s3/",
                              "http://s4/", "http://s5/"}));
        QCOMPARE(show.Item(3)->SoundFile, "new.wav");
        QVERIFY(show.Item(1)->SoundFile.isEmpty() && show.Item(2)->SoundFile.isEmpty());
        {
            // Closing while maximized keeps the earlier values.
            frmListEdit maximized(show, m_options, nullptr);
            maximized.show();
            maximized.list()->setColumnWidth(ListEditModel::Slide, 50);
            maximized.showMaximized();
            click(maximized, "cmdCancel");
        }
        frmListEdit again(show, m_options, nullptr);
        again.show();
        QCOMPARE((QList<int>{again.x(), again.y(), again.width(),
                             again.list()->columnWidth(ListEditModel::Slide),
                             again.list()->columnWidth(ListEditModel::Sound)}),
                 (QList<int>{140, 90, 700, 230, 170}));
    }

    void listOkRebuildsOrUpdatesInPlace_data()
    {
        QTest::addColumn<bool>("deleteOne");
        QTest::addColumn<bool>("cancel");
        QTest::newRow("same count: in place") << false << false;
        QTest::newRow("a row deleted: rebuilt") << true << false;
        QTest::newRow("cancelled: the show as it was") << true << true;
    }
    void listOkRebuildsOrUpdatesInPlace()
    {
        QFETCH(bool, deleteOne);
        QFETCH(bool, cancel);
        colURLs show;
        fill(show, 3);
        show.Changed = cancel; // edits made before the editor opened stay marked
        frmListEdit editor(show, m_options, nullptr);
        editor.show();
        editor.list()->setCurrentIndex(editor.model().index(0, 0));
        if (deleteOne)
            key(editor, "Delete");
        key(editor, "Skip");
        editor.model().setRowValues(0, "http://x/", QString(), "070000", true);
        click(editor, cancel ? "cmdCancel" : "cmdOK");
        QVERIFY(show.Changed);
        if (cancel) {
            QCOMPARE(addresses(show), QStringList({"http://s1/", "http://s2/", "http://s3/"}));
            QVERIFY(!show.Item(1)->SkipField);
            return;
        }
        const auto first = show.Item(1), second = show.Item(2);
        QCOMPARE(std::tuple(show.Count(), first->HREF, first->PauseTime, first->SkipField,
                            int(second->TimesShown), second->DateLastVisited),
                 std::tuple(deleteOne ? 2 : 3, QString("http://x/"), 70000, true, deleteOne ? 0 : 1,
                            deleteOne ? 0.0 : 45000.5));
    }

    void listOpenAsksFirstThenSortingAndDraggingReorderTheShow()
    {
        ScriptedPrompts prompts;
        RecordingHost host;
        colURLs show;
        fill(show, 2);
        host.onOpenCollect = [&show] { fill(show, 3); };
        frmListEdit editor(show, m_options, &host);
        editor.show();
        // Icon-only keys are named by their keys; the table reads as one.
        QStringList keys;
        auto* toolbar = control<QToolBar>(editor, "tbToolBar");
        for (QAction* action : toolbar->actions())
            if (QWidget* button = toolbar->widgetForAction(action))
                keys += QAccessible::queryAccessibleInterface(button)->text(QAccessible::Name);
        QCOMPARE(keys.join(u' '), "Open Save Edit Add Copy Insert Skip Delete View Play");
        QAccessibleTableInterface* table =
            QAccessible::queryAccessibleInterface(editor.list())->tableInterface();
        QVERIFY(table);
        QCOMPARE(table->columnCount(), 6);
        QCOMPARE(table->rowCount(), 2);
        QCOMPARE(table->cellAt(1, 1)->text(QAccessible::Name), "http://s2/");
        // Open asks before dropping row edits.
        editor.list()->setCurrentIndex(editor.model().index(0, 0));
        key(editor, "Delete");
        prompts.answer(Prompts::vbCancel);
        key(editor, "Open");
        QCOMPARE(prompts.shown().first().title, "Save Show Edits?");
        QCOMPARE(editor.model().rowCount(), 1);
        QVERIFY(host.calls.isEmpty());
        prompts.answer(Prompts::vbNo);
        key(editor, "Open");
        QCOMPARE(host.calls, QStringList{"open"});
        QCOMPARE(editor.model().rowCount(), 3);
        // Rows as loaded ask nothing.
        key(editor, "Open");
        QCOMPARE(prompts.shown().size(), 2);
        // The first click on "Slide" sorts descending.
        Q_EMIT editor.list()->horizontalHeader()->sectionClicked(ListEditModel::Slide);
        QCOMPARE(editor.model().row(0).slide, "http://s3/");
        ListEditModel& model = editor.model();
        std::unique_ptr<QMimeData> row(model.mimeData({model.index(0, 0)}));
        QVERIFY(model.dropMimeData(row.get(), Qt::CopyAction, -1, -1, model.index(2, 0)));
        // Files dropped from outside are appended; one with a quote is refused.
        QMimeData files;
        files.setUrls(
            {QUrl::fromLocalFile("/tmp/p1.htm"), QUrl::fromLocalFile("/tmp/say \"hi\".htm")});
        QVERIFY(model.dropMimeData(&files, Qt::CopyAction, -1, -1, QModelIndex()));
        QCOMPARE(prompts.texts().size(), 3);
        QCOMPARE(model.text(3, ListEditModel::Number), "0004");
        click(editor, "cmdOK");
        QCOMPARE(addresses(show),
                 QStringList({"http://s2/", "http://s1/", "http://s3/", "/tmp/p1.htm"}));
        QVERIFY(show.Changed);
        QCOMPARE(host.calls, QStringList({"open", "open", "edited"}));
    }

    void slideListModeWritesTheRowAsTyped()
    {
        colURLs show;
        show.Add("http://a/", "a.wav", 5, false);
        ListEditModel list;
        list.LoadList(show);
        frmSlideEdit editor;
        editor.bListMode = true;
        editor.list = &list;
        editFirstSlide(editor, show);
        QCOMPARE(control<QLineEdit>(editor, "txtSound")->text(), "a.wav");
        control<QLineEdit>(editor, "txtURL")->setText("http://b/");
        control<QLineEdit>(editor, "txtPause")->setText("007");
        control<QCheckBox>(editor, "chkSkip")->setChecked(true);
        click(editor, "cmdOK");
        // The row takes the text as typed; the show waits for the list's OK.
        QCOMPARE(list.text(0, ListEditModel::Pause), "007");
        QCOMPARE(list.row(0).slide, "http://b/");
        QCOMPARE(list.row(0).icon, ListEditRow::Icon::Skipped);
        QCOMPARE(show.Item(1)->HREF, "http://a/");
        QVERIFY(show.Changed);
        // Cancel on an existing row changes nothing; on a new one removes it.
        editor.show();
        click(editor, "cmdCancel");
        QCOMPARE(list.rowCount(), 1);
        list.insertBlank(1);
        editor.nSlideIndex = 2;
        editor.bNewSlide = true;
        editor.show();
        click(editor, "cmdCancel");
        QCOMPARE(list.rowCount(), 1);
        QVERIFY(!editor.bNewSlide);
    }

    void slideEditorRefusesBadPausesAndQuotesAndRunCompletesTheSound()
    {
        ScriptedPrompts prompts;
        RecordingHost host;
        colURLs show;
        show.Add("http://a/", QString(), 7, false);
        frmSlideEdit editor;
        editor.host = &host;
        editFirstSlide(editor, show);
        QCOMPARE(control<QLineEdit>(editor, "txtPause")->text(), "7");
        // A refused pause keeps the editor open on the text typed, and the slide as it was.
        const QString range = "Entry must be a number 0-999999.";
        const QList<std::tuple<QString, QString, int>> pauses = {
            {"1000000", "Entry must be a number 1-6 digits long.", 7},
            {"12a", range, 7},
            {"-5", range, 7},
            {"999999", "", 999999},
            {"40000", "", 40000},
            {"", "", 0}};
        for (const auto& [pause, message, stored] : pauses) {
            prompts.clear();
            show.Changed = false;
            editor.show();
            control<QLineEdit>(editor, "txtPause")->setText(pause);
            click(editor, "cmdOK");
            QCOMPARE(std::tuple(prompts.texts(), show.Item(1)->PauseTime, show.Changed,
                                editor.isVisible()),
                     std::tuple(message.isEmpty() ? QStringList() : QStringList{message}, stored,
                                message.isEmpty(), !message.isEmpty()));
            QCOMPARE(control<QLineEdit>(editor, "txtPause")->text(), pause);
            QVERIFY(message.isEmpty() || prompts.shown().first().title == "Field Error");
        }
        prompts.clear();
        editor.show();
        control<QLineEdit>(editor, "txtURL")->setText("http://a/?q=\"x\"");
        click(editor, "cmdOK");
        QCOMPARE(prompts.texts().size(), 1);
        QVERIFY(prompts.texts().first().contains("double quote"));
        QVERIFY(editor.isVisible());
        QCOMPARE(show.Item(1)->HREF, "http://a/");
        // A dropped file replaces the field; one with a quote is refused.
        QLineEdit* sound = control<QLineEdit>(editor, "txtSound");
        const auto drop = [sound](const QString& path) {
            QMimeData data;
            data.setUrls({QUrl::fromLocalFile(path)});
            // The drag enters first: the drop goes to the widget that took it.
            QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton,
                                  Qt::NoModifier);
            QApplication::sendEvent(sound, &enter);
            QDropEvent dropped(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton,
                               Qt::NoModifier);
            QApplication::sendEvent(sound, &dropped);
        };
        drop("/tmp/bell.wav");
        QCOMPARE(sound->text(), "/tmp/bell.wav");
        drop("/tmp/say \"hi\".wav");
        QCOMPARE(sound->text(), "/tmp/bell.wav");
        QCOMPARE(prompts.texts().size(), 2);
        control<QLineEdit>(editor, "txtURL")->setText("http://c/");
        control<QAction>(editor, "tbrOpen0Run")->trigger();
        QCOMPARE(host.calls, QStringList{"view http://c/"});
        // Sound "Run" opens the sound dialog on the completed name; its Cancel leaves the field as
        // Run made it, its OK writes its own name back.
        // Typed, the dialog's answer (none: Cancel), the name it was offered, the field after.
        const QList<std::tuple<QString, QString, QString, QString>> runs = {
            {"chime", "", "chime.wav", "chime.wav"},
            {"BELL.WAV", "", "BELL.WAV", "BELL.WAV"},
            {"", "", ".wav", ".wav"},
            {"x", "other.wav", "x.wav", "other.wav"}};
        for (const auto& [typed, answer, offer, field] : runs) {
            sound->setText(typed);
            QString offered;
            answerSoundDialog(offered, answer);
            control<QAction>(editor, "tbrOpen1Run")->trigger();
            QCOMPARE(std::pair(offered, sound->text()), std::pair(offer, field));
        }
    }
};

QTEST_MAIN(tst_editors)
#include "tst_editors.moc"
