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

// The sound dialog when the sound server cannot be reached (ctest points the program at a
// server that does not exist): it says so and writes nothing.
class tst_frmPlayRecNoServer : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void saysSoAndWritesNothing()
    {
        QVERIFY2(!qEnvironmentVariableIsEmpty("PULSE_SERVER"), "run through ctest");
        QTemporaryDir folder;
        modMain::SetProgramFolder(folder.path());
        ScriptedPrompts prompts;
        frmPlayRec dialog;
        dialog.show();
        const auto button = [&dialog](const char* name) {
            return dialog.findChild<QPushButton*>(QLatin1String(name));
        };
        QCOMPARE(prompts.shown().size(), 1);
        QCOMPARE(prompts.shown().first().title, QStringLiteral("Sound Access Error"));
        QVERIFY(prompts.shown().first().text.startsWith(
            QStringLiteral("Error setting volume in system\r\n Error code returned was ")));
        QCOMPARE(dialog.findChild<QSlider*>(QStringLiteral("sldLeft"))->value(), 0);
        QCOMPARE(dialog.findChild<QLabel*>(QStringLiteral("lbl_right_volume"))->text(), "0%");

        button("cmdAutoRecStart")->click();
        QCOMPARE(prompts.texts().last(),
                 QStringLiteral("MCI Error: The sound server is not running. Start it "
                                "(PulseAudio or PipeWire) and try again."));
        QVERIFY(!dialog.isRecording() && button("cmdAutoRecStart")->isEnabled());
        QVERIFY(!button("cmdAutoRecStop")->isEnabled());

        // Moving a slider or pressing Stop and Play does no harm.
        dialog.findChild<QSlider*>(QStringLiteral("sldLeft"))->setValue(5);
        button("cmdAutoRecStop")->click();
        button("cmdPlay")->click();
        QCOMPARE(prompts.shown().size(), 2);
        QVERIFY(QDir(folder.path()).isEmpty());
        modMain::ResetProgramState();
    }
};

QTEST_MAIN(tst_frmPlayRecNoServer)
#include "tst_frmPlayRecNoServer.moc"
