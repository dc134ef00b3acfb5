// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/CommonDialog.h"
#include "platform/FileDialogBackend.h"
#include "platform/ScriptedCommonDialog.h"

#include <QAbstractButton>
#include <QApplication>
#include <QColorDialog>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>

namespace {

const QString ShowFilter = QStringLiteral("Text  files|*.txt|All Files (*.*)|*.*");

/// Runs the handler on the next modal window; delete the timer to stop.
QPointer<QTimer> whenModal(QObject* context, const std::function<void(QWidget*)>& handler)
{
    auto* timer = new QTimer(context);
    QObject::connect(timer, &QTimer::timeout, context, [timer, handler] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            timer->deleteLater();
            timer->stop();
            handler(modal);
        }
    });
    timer->start(20);
    return timer;
}

void typeAndAccept(QWidget* modal, const QString& name)
{
    auto* edit = modal->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    QVERIFY(edit);
    edit->setText(name);
    QTest::keyClick(edit, Qt::Key_Return);
}

bool touch(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly);
}

} // namespace

class tst_CommonDialog : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void filterConversion_data()
    {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QString>("qt");
        QTest::newRow("show files")
            << ShowFilter << QStringLiteral("Text  files (*.txt);;All Files (*.*) (*)");
        QTest::newRow("slide files")
            << QStringLiteral("Slide files (.htm,.jpg,.gif)|*.htm;*.jpg;*.gif")
            << QStringLiteral("Slide files (.htm,.jpg,.gif) (*.htm *.jpg *.gif)");
        QTest::newRow("incomplete pairs dropped")
            << QStringLiteral("None||Wave|*.wav|Orphan") << QStringLiteral("Wave (*.wav)");
    }

    void filterConversion()
    {
        QFETCH(QString, filter);
        QTEST(FileDialogBackend::qtNameFilters(filter).join(QStringLiteral(";;")), "qt");
    }

    void scriptedAnswersRecordsAndCancels()
    {
        ScriptedCommonDialog script;
        script.chooseFile(QStringLiteral("/shows/a.txt"), 2);
        script.cancel();
        QWidget owner;
        CommonDialog dialog(&owner);
        dialog.DialogTitle = QStringLiteral("Open Show");
        dialog.Filter = ShowFilter;
        QCOMPARE(dialog.ShowOpen(), QStringLiteral("/shows/a.txt"));
        QCOMPARE(dialog.FilterIndex, 2);

        // Without the cancel error, the empty name is the cancel.
        VbError error;
        QCOMPARE(dialog.ShowSave(&error), QString());
        QVERIFY(!error.isError());
        QCOMPARE(dialog.FileName, QString());

        // With it, error 32755, and the name stays; an unscripted dialog cancels.
        dialog.CancelError = true;
        dialog.FileName = QStringLiteral("/shows/b.txt");
        QVERIFY(!dialog.ShowColor(&error).isValid());
        QCOMPARE(error.number, 32755);
        QCOMPARE(dialog.ShowOpen(&error), QString());
        QCOMPARE(dialog.FileName, QStringLiteral("/shows/b.txt"));

        QCOMPARE(script.requests().size(), 4);
        QCOMPARE(script.requests().at(1).FileName, QStringLiteral("/shows/a.txt"));
        QCOMPARE(script.requests().at(1).parent, &owner);
    }

    void realOpenTakesTypedNameAndReopensThere()
    {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("shows")));
        const QString show = dir.filePath(QStringLiteral("shows/tour.txt"));
        QVERIFY(touch(show));
        CommonDialog dialog;
        dialog.DialogTitle = QStringLiteral("Open Show");
        dialog.Filter = ShowFilter;
        dialog.FilterIndex = 2;
        dialog.InitDir = dir.filePath(QStringLiteral("shows"));
        QStringList filters;
        QString offered;
        whenModal(this, [&](QWidget* modal) {
            auto* files = qobject_cast<QFileDialog*>(modal);
            QVERIFY(files);
            filters = files->nameFilters();
            offered = files->selectedNameFilter();
            files->selectNameFilter(filters.value(0));
            typeAndAccept(modal, QStringLiteral("tour.txt"));
        });
        QCOMPARE(dialog.ShowOpen(), show);
        QCOMPARE(dialog.FilterIndex, 1);
        QCOMPARE(filters, (QStringList{"Text files (*.txt)", "All Files (*.*) (*)"}));
        QCOMPARE(offered, QStringLiteral("All Files (*.*)"));

        // The next use keeps title, folder and name though InitDir moved.
        dialog.InitDir = dir.path();
        QStringList seen;
        whenModal(this, [&](QWidget* modal) {
            seen << modal->windowTitle()
                 << qobject_cast<QFileDialog*>(modal)->directory().absolutePath()
                 << modal->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->text();
            qobject_cast<QDialog*>(modal)->reject();
        });
        dialog.ShowOpen();
        QCOMPARE(seen, (QStringList{"Open Show", QFileInfo(show).absolutePath(), "tour.txt"}));
    }

    void realAllFilesMatchesNamesWithoutExtension()
    {
        QTemporaryDir dir;
        QVERIFY(touch(dir.filePath(QStringLiteral("README"))));
        CommonDialog dialog;
        dialog.Filter = ShowFilter;
        dialog.FilterIndex = 2;
        dialog.InitDir = dir.path();
        QStringList matching;
        whenModal(this, [&](QWidget* modal) {
            matching = modal->findChild<QFileSystemModel*>()->nameFilters();
            typeAndAccept(modal, QStringLiteral("README"));
        });
        QCOMPARE(dialog.ShowOpen(), dir.filePath(QStringLiteral("README")));
        QCOMPARE(matching, QStringList{QStringLiteral("*")});
    }

    void realSaveAddsExtensionAndAsksNoOverwrite()
    {
        QTemporaryDir dir;
        QVERIFY(touch(dir.filePath(QStringLiteral("old.txt"))));
        CommonDialog dialog;
        dialog.InitDir = dir.path();
        dialog.DefaultExt = QStringLiteral("txt");
        whenModal(this, [&](QWidget* modal) { typeAndAccept(modal, QStringLiteral("new")); });
        QCOMPARE(dialog.ShowSave(), dir.filePath(QStringLiteral("new.txt")));

        // The program asks about overwriting itself; the dialog must not.
        QStringList boxes;
        QPointer<QTimer> watch;
        whenModal(this, [&](QWidget* modal) {
            watch = whenModal(this, [&](QWidget* box) {
                boxes << box->metaObject()->className();
                qobject_cast<QMessageBox*>(box)->button(QMessageBox::Yes)->click();
            });
            typeAndAccept(modal, QStringLiteral("old.txt"));
        });
        QCOMPARE(dialog.ShowSave(), dir.filePath(QStringLiteral("old.txt")));
        delete watch;
        QCOMPARE(boxes, QStringList());
    }

    void realCancel_data()
    {
        QTest::addColumn<bool>("cancelError");
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("nameAfter");
        QTest::newRow("cancel error") << true << 32755 << QStringLiteral("/shows/current.txt");
        QTest::newRow("empty name") << false << 0 << QString();
    }

    void realCancel()
    {
        QFETCH(bool, cancelError);
        QFETCH(int, number);
        QFETCH(QString, nameAfter);
        CommonDialog dialog;
        dialog.CancelError = cancelError;
        dialog.FileName = QStringLiteral("/shows/current.txt");
        whenModal(this, [](QWidget* modal) { qobject_cast<QDialog*>(modal)->reject(); });
        VbError error;
        QCOMPARE(dialog.ShowOpen(&error), QString());
        QCOMPARE(error.number, number);
        QCOMPARE(dialog.FileName, nameAfter);
    }

    void realColorStartsFromColorWhenAsked()
    {
        CommonDialog dialog;
        dialog.CancelError = true;
        dialog.Flags = CommonDialog::cdlCCRGBInit;
        dialog.Color = QColor(Qt::red);
        const QColor chosen(0x12, 0x34, 0x56);
        QList<QColor> offered;
        whenModal(this, [&](QWidget* modal) {
            auto* colors = qobject_cast<QColorDialog*>(modal);
            offered << colors->currentColor();
            colors->setCurrentColor(chosen);
            colors->accept();
        });
        QCOMPARE(dialog.ShowColor(), chosen);

        dialog.Flags = 0;
        whenModal(this, [&](QWidget* modal) {
            offered << qobject_cast<QColorDialog*>(modal)->currentColor();
            qobject_cast<QDialog*>(modal)->reject();
        });
        QVERIFY(!dialog.ShowColor().isValid());
        QCOMPARE(dialog.Color, chosen);
        QCOMPARE(offered, (QList<QColor>{Qt::red, Qt::black}));
    }
};

QTEST_MAIN(tst_CommonDialog)
#include "tst_CommonDialog.moc"
