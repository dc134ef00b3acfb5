// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/CommonDialog.h"

#include <QDialog>
#include <QString>

class COptions;
class QAction;
class QLabel;
class QLineEdit;
class QPushButton;
class QSlider;
class QToolBar;

/// "Play / Record Sound": plays a sound file, records a new one into a
/// temporary file, saves it under the name in the box, picks sound files,
/// and sets the left and right output volume.
///
/// The list editor and the slide editor open it modally: they set the
/// inputs (setSoundFile, setOptions, setListMode or setSlideEditorMode),
/// exec() it, and on Accepted write fileName() into their sound field
/// (slide editor) or into the sound column of row slideIndex() (list
/// editor). The slide editor also uses get_file_name to pick a sound file.
class frmPlayRec : public QDialog
{
    Q_OBJECT

public:
    explicit frmPlayRec(QWidget* parent = nullptr);
    ~frmPlayRec() override;

    /// The sound to start with: shown in the name box and played when the
    /// dialog is shown. Empty for none.
    void setSoundFile(const QString& fileName) { m_sSoundFile = fileName; }
    /// The options whose tool-tip setting the dialog follows.
    void setOptions(const COptions& options) { m_oOptions = &options; }
    /// Opened from the list editor, for its row slideIndex (1-based).
    void setListMode(qint16 slideIndex)
    {
        m_bListMode = true;
        m_nSlideIndex = slideIndex;
    }
    /// Opened from the slide editor.
    void setSlideEditorMode() { m_bListMode = false; }
    bool listMode() const { return m_bListMode; }
    qint16 slideIndex() const { return m_nSlideIndex; }

    /// The sound file chosen: the name box's text (after OK the caller
    /// stores it).
    QString fileName() const;
    /// The temporary recording's path.
    QString temporaryFile() const { return m_tempFile; }
    /// A recording is running.
    bool isRecording() const { return m_bRecording; }
    /// The temporary file holds a new recording.
    bool hasRecording() const { return m_bHaveRecording; }

    /// Asks for a sound file in the open dialog, starting from the name
    /// box's text. The chosen name, "" when the dialog was cancelled.
    QString get_file_name();

protected:
    void showEvent(QShowEvent* event) override;
    void done(int result) override;

private:
    void buildControls();
    QWidget* buildVolume(const QString& caption, const QString& sliderName, const QString& tag,
                         const QString& labelName, QSlider** slider, QLabel** label);
    void Form_Load();
    void cmdPlay_Click();
    void cmdAutoRecStart_Click();
    void cmdAutoRecStop_Click();
    void tbrOpen_ButtonClick(const QString& key);
    void cmdOK_Click();
    void cmdHelp_Click();
    void sldLeft_Change(int value);
    void sldRight_Change(int value);
    void showVolume();
    void setRecordingButtons(bool recording);
    bool saveRecording(const QString& target);
    void closeDevice();

    const COptions* m_oOptions = nullptr;
    QString m_sSoundFile;
    bool m_bListMode = false;
    qint16 m_nSlideIndex = 0;
    quint32 m_deviceId = 0;
    bool m_bRecording = false;
    bool m_bHaveRecording = false;
    QString m_tempFile;
    qint32 m_leftVolume = 0;
    qint32 m_rightVolume = 0;
    bool m_loaded = false;
    CommonDialog m_commonDialog;

    QLineEdit* m_txtFileName = nullptr;
    QPushButton* m_cmdPlay = nullptr;
    QSlider* m_sldLeft = nullptr;
    QSlider* m_sldRight = nullptr;
    QLabel* m_lblLeftVolume = nullptr;
    QLabel* m_lblRightVolume = nullptr;
    QPushButton* m_cmdAutoRecStart = nullptr;
    QPushButton* m_cmdAutoRecStop = nullptr;
    QLabel* m_imgInService = nullptr;
    QPushButton* m_cmdOK = nullptr;
    QPushButton* m_cmdCancel = nullptr;
    QPushButton* m_cmdHelp = nullptr;
    QToolBar* m_tbrOpen = nullptr;
};
