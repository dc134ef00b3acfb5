// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/ScriptedPrompts.h"
#include "sound/frmPlayRec.h"
#include "startup/modMain.h"

#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>

// The sound dialog when the sound server cannot be reached (ctest points
// the program at a server that does not exist).
class tst_frmPlayRecNoServer : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void saysSoAndWritesNothing();
};

void tst_frmPlayRecNoServer::saysSoAndWritesNothing()
{
    QVERIFY2(!qEnvironmentVariableIsEmpty("PULSE_SERVER"), "run through ctest");
    QTemporaryDir folder;
    modMain::SetProgramFolder(folder.path());
    ScriptedPrompts prompts;
    frmPlayRec dialog;
    dialog.show();

    QCOMPARE(prompts.shown().size(), 1);
    QCOMPARE(prompts.shown().first().title, QStringLiteral("Sound Access Error"));
    QVERIFY(prompts.shown().first().text.startsWith(
        QStringLiteral("Error setting volume in system\r\n Error code returned was ")));
    QCOMPARE(dialog.findChild<QSlider*>(QStringLiteral("sldLeft"))->value(), 0);
    QCOMPARE(dialog.findChild<QLabel*>(QStringLiteral("lbl_right_volume"))->text(),
             QStringLiteral("0%"));

    dialog.findChild<QPushButton*>(QStringLiteral("cmdAutoRecStart"))->click();
    QCOMPARE(prompts.shown().size(), 2);
    QCOMPARE(prompts.shown().last().text,
             QStringLiteral("MCI Error: The sound server is not running. Start it (PulseAudio or "
                            "PipeWire) and try again."));
    QVERIFY(!dialog.isRecording());
    QVERIFY(dialog.findChild<QPushButton*>(QStringLiteral("cmdAutoRecStart"))->isEnabled());
    QVERIFY(!dialog.findChild<QPushButton*>(QStringLiteral("cmdAutoRecStop"))->isEnabled());

    // Moving a slider or pressing Stop and Play does no harm.
    dialog.findChild<QSlider*>(QStringLiteral("sldLeft"))->setValue(5);
    dialog.findChild<QPushButton*>(QStringLiteral("cmdAutoRecStop"))->click();
    dialog.findChild<QPushButton*>(QStringLiteral("cmdPlay"))->click();
    QCOMPARE(prompts.shown().size(), 2);
    QVERIFY(QDir(folder.path()).isEmpty());
    modMain::ResetProgramState();
}

QTEST_MAIN(tst_frmPlayRecNoServer)
#include "tst_frmPlayRecNoServer.moc"
