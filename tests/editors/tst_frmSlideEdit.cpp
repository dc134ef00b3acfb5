// SPDX-License-Identifier: GPL-3.0-or-later
#include "EditorTestKit.h"
#include "editors/ListEditModel.h"
#include "editors/frmSlideEdit.h"
#include "platform/ScriptedPrompts.h"
#include "settings/COptions.h"
#include "show/colURLs.h"
#include "sound/frmPlayRec.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

class tst_frmSlideEdit : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_config;
    COptions m_options;

    static QLineEdit* field(frmSlideEdit& editor, const char* name)
    {
        return editor.findChild<QLineEdit*>(QString::fromLatin1(name));
    }
    static void press(frmSlideEdit& editor, const char* name)
    {
        QTest::mouseClick(editor.findChild<QPushButton*>(QString::fromLatin1(name)),
                          Qt::LeftButton);
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_config.isValid());
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_config.path()));
    }

    void pauseValidation_data()
    {
        QTest::addColumn<QString>("pause");
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("stored");
        QTest::newRow("empty is 0") << QString() << QString() << 0;
        QTest::newRow("largest") << QStringLiteral("999999") << QString() << 999999;
        QTest::newRow("above 16 bits") << QStringLiteral("40000") << QString() << 40000;
        QTest::newRow("seven digits")
            << QStringLiteral("1000000")
            << QStringLiteral("Entry must be a number 1-6 digits long.") << -1;
        QTest::newRow("digits and a letter")
            << QStringLiteral("12a") << QStringLiteral("Entry must be a number 0-999999.") << -1;
        QTest::newRow("negative") << QStringLiteral("-5")
                                  << QStringLiteral("Entry must be a number 0-999999.") << -1;
    }
    void pauseValidation()
    {
        QFETCH(QString, pause);
        QFETCH(QString, message);
        QFETCH(int, stored);
        ScriptedPrompts prompts;
        colURLs show;
        show.Add(QStringLiteral("http://a/"), QString(), 7, false);
        frmSlideEdit editor;
        editor.nSlideIndex = 1;
        editor.colShow = &show;
        editor.oOptions = &m_options;
        editor.show();
        QCOMPARE(field(editor, "txtPause")->text(), QStringLiteral("7"));
        field(editor, "txtPause")->setText(pause);
        press(editor, "cmdOK");
        if (message.isEmpty()) {
            QVERIFY(prompts.texts().isEmpty());
            QCOMPARE(show.Item(1)->PauseTime, stored);
            QVERIFY(show.Changed);
        } else {
            QCOMPARE(prompts.texts(), QStringList{message});
            QCOMPARE(prompts.shown().first().title, QStringLiteral("Field Error"));
            QVERIFY(editor.isVisible());
            QCOMPARE(field(editor, "txtPause")->text(), pause);
            QCOMPARE(show.Item(1)->PauseTime, 7);
        }
    }

    void listModeWritesTheRowAsTypedAndCancelRemovesANewRow()
    {
        colURLs show;
        show.Add(QStringLiteral("http://a/"), QStringLiteral("a.wav"), 5, false);
        ListEditModel list;
        list.LoadList(show);
        frmSlideEdit editor;
        editor.nSlideIndex = 1;
        editor.bListMode = true;
        editor.colShow = &show;
        editor.oOptions = &m_options;
        editor.list = &list;
        editor.show();
        QCOMPARE(field(editor, "txtSound")->text(), QStringLiteral("a.wav"));
        field(editor, "txtURL")->setText(QStringLiteral("http://b/"));
        field(editor, "txtPause")->setText(QStringLiteral("007"));
        editor.findChild<QCheckBox*>(QStringLiteral("chkSkip"))->setChecked(true);
        press(editor, "cmdOK");
        // The row takes the text as typed; the show waits for the list's OK.
        QCOMPARE(list.text(0, ListEditModel::Pause), QStringLiteral("007"));
        QCOMPARE(list.row(0).slide, QStringLiteral("http://b/"));
        QCOMPARE(list.row(0).icon, ListEditRow::Icon::Skipped);
        QCOMPARE(show.Item(1)->HREF, QStringLiteral("http://a/"));
        QVERIFY(show.Changed);

        // Cancel on an existing row changes nothing; on a new one removes it.
        editor.show();
        press(editor, "cmdCancel");
        QCOMPARE(list.rowCount(), 1);
        list.insertBlank(1);
        editor.nSlideIndex = 2;
        editor.bNewSlide = true;
        editor.show();
        press(editor, "cmdCancel");
        QCOMPARE(list.rowCount(), 1);
        QVERIFY(!editor.bNewSlide);
    }

    void soundRunAddsTheWaveExtension_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("played");
        QTest::newRow("no extension") << QStringLiteral("chime") << QStringLiteral("chime.wav");
        QTest::newRow("upper case") << QStringLiteral("BELL.WAV") << QStringLiteral("BELL.WAV");
        QTest::newRow("empty") << QString() << QStringLiteral(".wav");
    }
    void soundRunAddsTheWaveExtension()
    {
        QFETCH(QString, typed);
        QFETCH(QString, played);
        ScriptedPrompts prompts;
        frmSlideEdit editor;
        editor.oOptions = &m_options;
        editor.show();
        field(editor, "txtSound")->setText(typed);
        // Run opens the sound dialog on the completed name; its Cancel
        // leaves the field as Run made it, its OK writes its own name back.
        QString offered;
        whenModal<frmPlayRec>([&offered](frmPlayRec* dialog) {
            offered = dialog->fileName();
            dialog->reject();
        });
        editor.findChild<QAction*>(QStringLiteral("tbrOpen1Run"))->trigger();
        QCOMPARE(offered, played);
        QCOMPARE(field(editor, "txtSound")->text(), played);

        whenModal<frmPlayRec>([](frmPlayRec* dialog) {
            dialog->findChild<QLineEdit*>(QStringLiteral("txtFileName"))
                ->setText(QStringLiteral("other.wav"));
            dialog->accept();
        });
        editor.findChild<QAction*>(QStringLiteral("tbrOpen1Run"))->trigger();
        QCOMPARE(field(editor, "txtSound")->text(), QStringLiteral("other.wav"));
    }

    void quotesAreRefusedWhereTheyEnter()
    {
        ScriptedPrompts prompts;
        RecordingHost host;
        colURLs show;
        show.Add(QStringLiteral("http://a/"), QString(), 0, false);
        frmSlideEdit editor;
        editor.nSlideIndex = 1;
        editor.colShow = &show;
        editor.oOptions = &m_options;
        editor.host = &host;
        editor.show();
        field(editor, "txtURL")->setText(QStringLiteral("http://a/?q=\"x\""));
        press(editor, "cmdOK");
        QCOMPARE(prompts.texts().size(), 1);
        QVERIFY(prompts.texts().first().contains(QStringLiteral("double quote")));
        QVERIFY(editor.isVisible());
        QCOMPARE(show.Item(1)->HREF, QStringLiteral("http://a/"));

        // A dropped file replaces the field; one with a quote is refused.
        QLineEdit* sound = field(editor, "txtSound");
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
        drop(QStringLiteral("/tmp/bell.wav"));
        QCOMPARE(sound->text(), QStringLiteral("/tmp/bell.wav"));
        drop(QStringLiteral("/tmp/say \"hi\".wav"));
        QCOMPARE(sound->text(), QStringLiteral("/tmp/bell.wav"));
        QCOMPARE(prompts.texts().size(), 2);

        // Slide "Run" sends the address to the window's browser.
        field(editor, "txtURL")->setText(QStringLiteral("http://c/"));
        editor.findChild<QAction*>(QStringLiteral("tbrOpen0Run"))->trigger();
        QCOMPARE(host.calls, QStringList{QStringLiteral("view http://c/")});
    }
};

QTEST_MAIN(tst_frmSlideEdit)
#include "tst_frmSlideEdit.moc"
