// SPDX-License-Identifier: GPL-3.0-or-later
#include "sound/frmPlayRec.h"

#include "platform/Help.h"
#include "platform/HelpTopics.h"
#include "platform/Prompts.h"
#include "settings/COptions.h"
#include "settings/DialogPosition.h"
#include "sound/modPlayWave.h"
#include "sound/modRecAPI.h"
#include "sound/modVolume.h"
#include "startup/modFileTools.h"
#include "startup/modMain.h"
#include "startup/modToolTips.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QSaveFile>
#include <QSignalBlocker>
#include <QSlider>
#include <QStyle>
#include <QToolBar>
#include <QVBoxLayout>

#include <cmath>

namespace {

const QString WindowName = QStringLiteral("frmPlayRec");
const QString TempFileName = QStringLiteral("tempRec.wav");
const QString CrLf = QStringLiteral("\r\n");
constexpr int SliderMaximum = 16;

void setTag(QObject* control, const QString& tag)
{
    control->setProperty("Tag", tag);
}

/// The picture shown while recording: a red recording light.
QPixmap recordingLight()
{
    QPixmap pixmap(20, 20);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::darkRed, 1.5));
    painter.setBrush(QColor(220, 30, 30));
    painter.drawEllipse(QRectF(2, 2, 16, 16));
    return pixmap;
}

/// The error of a failed copy, as a file operation reports it.
VbError copyError(const QString& source, const QString& target)
{
    if (!QFileInfo::exists(source))
        return VbErrors::make(VbErrors::FileNotFound);
    if (!QFileInfo(target).absoluteDir().exists())
        return VbErrors::make(VbErrors::PathNotFound);
    return VbErrors::make(VbErrors::PathFileAccess);
}

} // namespace

frmPlayRec::frmPlayRec(QWidget* parent) : QDialog(parent), m_commonDialog(this)
{
    setObjectName(WindowName);
    setWindowTitle(QStringLiteral("Play / Record Sound"));
    buildControls();
    Help::setHelpContext(this, modMain::HelpFile(), HelpTopics::frmPlayRec);
}

frmPlayRec::~frmPlayRec()
{
    // A window destroyed without closing must not leave the input open.
    closeDevice();
}

void frmPlayRec::buildControls()
{
    m_tbrOpen = new QToolBar(this);
    m_tbrOpen->setObjectName(QStringLiteral("tbrOpen"));
    setTag(m_tbrOpen, QStringLiteral("Open and play toolbar."));
    m_tbrOpen->setAccessibleName(QStringLiteral("Open and play toolbar"));
    const struct
    {
        QString key;
        QStyle::StandardPixmap icon;
    } buttons[] = {{QStringLiteral("Open"), QStyle::SP_DialogOpenButton},
                   {QStringLiteral("Run"), QStyle::SP_MediaPlay}};
    for (const auto& button : buttons) {
        QAction* action = m_tbrOpen->addAction(style()->standardIcon(button.icon), button.key);
        action->setObjectName(QStringLiteral("tbrOpen") + button.key);
        action->setData(button.key);
        if (QWidget* widget = m_tbrOpen->widgetForAction(action)) {
            widget->setObjectName(action->objectName());
            widget->setAccessibleName(button.key);
        }
        connect(action, &QAction::triggered, this,
                [this, key = button.key] { tbrOpen_ButtonClick(key); });
    }

    m_txtFileName = new QLineEdit(this);
    m_txtFileName->setObjectName(QStringLiteral("txtFileName"));
    m_txtFileName->setAccessibleName(QStringLiteral("File name"));
    setTag(m_txtFileName,
           QStringLiteral("Enter the complete path and file of the phrase to play or record."));

    m_cmdPlay = new QPushButton(QStringLiteral("Play"), this);
    m_cmdPlay->setObjectName(QStringLiteral("cmdPlay"));
    setTag(m_cmdPlay, QStringLiteral("Press to play the phrase shown."));

    m_cmdAutoRecStart = new QPushButton(QStringLiteral("Record"), this);
    m_cmdAutoRecStart->setObjectName(QStringLiteral("cmdAutoRecStart"));
    setTag(m_cmdAutoRecStart, QStringLiteral("Press to record a new or existing sound file."));

    m_cmdAutoRecStop = new QPushButton(QStringLiteral("Stop"), this);
    m_cmdAutoRecStop->setObjectName(QStringLiteral("cmdAutoRecStop"));
    setTag(m_cmdAutoRecStop, QStringLiteral("Press to stop recording."));
    m_cmdAutoRecStop->setEnabled(false);

    m_imgInService = new QLabel(this);
    m_imgInService->setObjectName(QStringLiteral("imgInService"));
    m_imgInService->setPixmap(recordingLight());
    m_imgInService->setAccessibleName(QStringLiteral("Recording"));
    m_imgInService->setVisible(false);

    m_cmdOK = new QPushButton(QStringLiteral("OK"), this);
    m_cmdOK->setObjectName(QStringLiteral("cmdOK"));
    setTag(m_cmdOK, QStringLiteral("Save the changes made to the sound file and return."));
    m_cmdOK->setDefault(true);
    m_cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    m_cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    setTag(m_cmdCancel, QStringLiteral("Exit screen, not saving changes."));
    m_cmdHelp = new QPushButton(QStringLiteral("&Help"), this);
    m_cmdHelp->setObjectName(QStringLiteral("cmdHelp"));
    setTag(m_cmdHelp, QStringLiteral("Start on-line help."));

    QWidget* left = buildVolume(QStringLiteral("Left"), QStringLiteral("sldLeft"),
                                QStringLiteral("Adjust the left channel volume."),
                                QStringLiteral("lbl_left_volume"), &m_sldLeft, &m_lblLeftVolume);
    QWidget* right =
        buildVolume(QStringLiteral("Right"), QStringLiteral("sldRight"),
                    QStringLiteral("Adjust the right channel volume."),
                    QStringLiteral("lbl_right_volume"), &m_sldRight, &m_lblRightVolume);

    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(m_txtFileName, 1);
    fileRow->addWidget(m_cmdPlay);

    auto* recordRow = new QHBoxLayout;
    recordRow->addWidget(m_cmdAutoRecStart);
    recordRow->addWidget(m_cmdAutoRecStop);
    recordRow->addWidget(m_imgInService);
    recordRow->addStretch(1);

    auto* buttonColumn = new QVBoxLayout;
    buttonColumn->addWidget(m_cmdOK);
    buttonColumn->addWidget(m_cmdCancel);
    buttonColumn->addWidget(m_cmdHelp);
    buttonColumn->addStretch(1);

    auto* main = new QVBoxLayout;
    main->addLayout(fileRow);
    main->addLayout(recordRow);
    main->addWidget(left);
    main->addWidget(right);

    auto* layout = new QGridLayout(this);
    layout->setMenuBar(m_tbrOpen);
    layout->addLayout(main, 0, 0);
    layout->addLayout(buttonColumn, 0, 1);

    connect(m_cmdPlay, &QPushButton::clicked, this, &frmPlayRec::cmdPlay_Click);
    connect(m_cmdAutoRecStart, &QPushButton::clicked, this, &frmPlayRec::cmdAutoRecStart_Click);
    connect(m_cmdAutoRecStop, &QPushButton::clicked, this, &frmPlayRec::cmdAutoRecStop_Click);
    connect(m_cmdOK, &QPushButton::clicked, this, &frmPlayRec::cmdOK_Click);
    connect(m_cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_cmdHelp, &QPushButton::clicked, this, &frmPlayRec::cmdHelp_Click);
    connect(m_sldLeft, &QSlider::valueChanged, this, &frmPlayRec::sldLeft_Change);
    connect(m_sldRight, &QSlider::valueChanged, this, &frmPlayRec::sldRight_Change);
}

QWidget* frmPlayRec::buildVolume(const QString& caption, const QString& sliderName,
                                 const QString& tag, const QString& labelName, QSlider** slider,
                                 QLabel** label)
{
    auto* row = new QWidget(this);
    auto* name = new QLabel(caption, row);
    *slider = new QSlider(Qt::Horizontal, row);
    (*slider)->setObjectName(sliderName);
    (*slider)->setRange(0, SliderMaximum);
    (*slider)->setPageStep(2);
    (*slider)->setTickPosition(QSlider::TicksBelow);
    (*slider)->setTickInterval(4);
    (*slider)->setAccessibleName(caption);
    setTag(*slider, tag);
    name->setBuddy(*slider);
    *label = new QLabel(modVolume::VolumePercent(0), row);
    (*label)->setObjectName(labelName);
    (*label)->setMinimumWidth((*label)->fontMetrics().horizontalAdvance(QStringLiteral("100%")));
    (*label)->setAccessibleName(caption + QStringLiteral(" volume"));
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(name);
    layout->addWidget(*slider, 1);
    layout->addWidget(*label);
    return row;
}

QString frmPlayRec::fileName() const
{
    return m_txtFileName->text();
}

void frmPlayRec::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (m_loaded)
        return;
    Form_Load();
    // Once for each showing: a message box closing must not restart the
    // sound or undo what the user typed.
    if (!m_sSoundFile.isEmpty()) {
        m_txtFileName->setText(m_sSoundFile);
        cmdPlay_Click();
    }
}

void frmPlayRec::Form_Load()
{
    m_loaded = true;
    if (m_oOptions && m_oOptions->ToolTips)
        modMain::ToolTipsOn(this);

    const double twipsPerPixel = 1440.0 / std::max(logicalDpiX(), 1);
    const DialogPosition::Position design{qint32(std::lround(pos().x() * twipsPerPixel)),
                                          qint32(std::lround(pos().y() * twipsPerPixel))};
    const DialogPosition::Position stored = DialogPosition::Load(WindowName, design);
    move(int(std::lround(stored.left / twipsPerPixel)),
         int(std::lround(stored.top / twipsPerPixel)));

    m_tempFile = modMain::WritableFolder() + TempFileName;

    modVolume::GetWaveVolume(m_leftVolume, m_rightVolume);
    showVolume();
}

void frmPlayRec::showVolume()
{
    const QSignalBlocker blockLeft(m_sldLeft);
    const QSignalBlocker blockRight(m_sldRight);
    m_sldLeft->setValue(modVolume::VolumeToSlider(m_leftVolume));
    m_sldRight->setValue(modVolume::VolumeToSlider(m_rightVolume));
    m_lblLeftVolume->setText(modVolume::VolumePercent(m_leftVolume));
    m_lblRightVolume->setText(modVolume::VolumePercent(m_rightVolume));
}

void frmPlayRec::sldLeft_Change(int value)
{
    m_leftVolume = modVolume::SliderToVolume(value);
    m_lblLeftVolume->setText(modVolume::VolumePercent(m_leftVolume));
    modVolume::SetWaveVolume(m_leftVolume, m_rightVolume);
}

void frmPlayRec::sldRight_Change(int value)
{
    m_rightVolume = modVolume::SliderToVolume(value);
    m_lblRightVolume->setText(modVolume::VolumePercent(m_rightVolume));
    modVolume::SetWaveVolume(m_leftVolume, m_rightVolume);
}

void frmPlayRec::cmdPlay_Click()
{
    const QString file = m_bHaveRecording ? m_tempFile : m_txtFileName->text();
    modMain::debugLog(QStringLiteral("Playing wave file:") + file);
    modPlayWave::PlayWaveFile(file);
}

void frmPlayRec::setRecordingButtons(bool recording)
{
    m_imgInService->setVisible(recording);
    m_cmdAutoRecStart->setEnabled(!recording);
    m_cmdAutoRecStop->setEnabled(recording);
}

void frmPlayRec::cmdAutoRecStart_Click()
{
    if (m_bRecording)
        return;
    if (modRecAPI::MciOpenWave(m_deviceId) != 0) {
        modMain::debugLog(QStringLiteral("Error in opening MCI"));
        return;
    }
    m_bRecording = true;
    quint16 code = modRecAPI::MciSetFormat(m_deviceId);
    if (code == 0)
        code = modRecAPI::MciRecord(m_deviceId);
    if (code != 0) {
        modMain::WriteLog(QStringLiteral("RecStart: closing MCI device on error"));
        closeDevice();
        return;
    }
    setRecordingButtons(true);
    m_cmdAutoRecStop->setFocus();
    modMain::debugLog(QStringLiteral("Recording started..."));
}

void frmPlayRec::cmdAutoRecStop_Click()
{
    if (!m_bRecording)
        return;
    m_imgInService->setVisible(false);
    // Stop waits for the input still on its way from the sound server.
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    quint16 code = modRecAPI::MciStop(m_deviceId);
    QGuiApplication::restoreOverrideCursor();
    // The dialog may have been closed while Stop waited.
    if (!m_bRecording)
        return;
    if (code == 0)
        code = modRecAPI::MciSave(m_deviceId, m_tempFile);
    if (code != 0) {
        modMain::debugLog(QStringLiteral("Rec Stop: closing MCI device on error"));
        // The device is gone either way: the buttons return to idle, so
        // the user can record again instead of stopping a closed device.
        closeDevice();
        setRecordingButtons(false);
        return;
    }
    if (modRecAPI::MciClose(m_deviceId) == 0) {
        m_bHaveRecording = true;
        m_bRecording = false;
    } else {
        modMain::debugLog(QStringLiteral("Error in closing!"));
        m_bRecording = false;
    }
    setRecordingButtons(false);
    modMain::debugLog(QStringLiteral("Recording complete.."));
}

void frmPlayRec::closeDevice()
{
    if (!m_bRecording)
        return;
    m_bRecording = false;
    if (modRecAPI::MciClose(m_deviceId) != 0)
        modMain::debugLog(QStringLiteral("error closing device."));
}

void frmPlayRec::tbrOpen_ButtonClick(const QString& key)
{
    if (key == QLatin1String("Open")) {
        if (m_bHaveRecording) {
            const int answer =
                Prompts::MsgBox(QStringLiteral("Save the sound file") + CrLf +
                                    m_txtFileName->text() + QStringLiteral("?"),
                                Prompts::vbOKCancel, QStringLiteral("Save Recording"));
            if (answer == Prompts::vbOK) {
                const QString target = m_txtFileName->text();
                if (!target.isEmpty())
                    saveRecording(modFileTools::HasSeparator(target)
                                      ? target
                                      : modFileTools::JoinPath(modMain::AppFolder, target));
            } else {
                modMain::debugLog(QStringLiteral("Not saving file"));
            }
        }
        // A cancelled choice keeps the name the user had.
        const QString chosen = get_file_name();
        if (!chosen.isEmpty())
            m_txtFileName->setText(chosen);
    } else if (key == QLatin1String("Run")) {
        if (!m_txtFileName->text().toUpper().endsWith(QLatin1String(".WAV")))
            m_txtFileName->setText(m_txtFileName->text() + QStringLiteral(".wav"));
        else
            modMain::debugLog(QStringLiteral("File name OK"));
        cmdPlay_Click();
    } else {
        modMain::debugLog(QStringLiteral("Key ") + key + QStringLiteral(" not known."));
    }
}

bool frmPlayRec::saveRecording(const QString& target)
{
    // Written beside the target and renamed over it, so a failure leaves
    // the old file whole.
    QFile source(m_tempFile);
    QSaveFile file(target);
    bool saved = source.open(QIODevice::ReadOnly) && file.open(QIODevice::WriteOnly);
    if (saved) {
        const QByteArray bytes = source.readAll();
        saved = source.error() == QFileDevice::NoError && file.write(bytes) == bytes.size() &&
                file.commit();
    }
    if (saved)
        return true;
    file.cancelWriting();
    const VbError error = copyError(m_tempFile, target);
    Prompts::MsgBox(QStringLiteral("ERROR Saving Sound file, error ") +
                        QString::number(error.number) + CrLf + QStringLiteral("Description: ") +
                        error.description,
                    Prompts::vbExclamation);
    modMain::errorLog(QStringLiteral("ERROR Saving Sound file, error ") +
                      QString::number(error.number));
    return false;
}

void frmPlayRec::cmdOK_Click()
{
    if (m_bHaveRecording) {
        if (m_txtFileName->text().isEmpty())
            m_txtFileName->setText(get_file_name());
        const QString name = m_txtFileName->text();
        // Without a name the recording has nowhere to go: stay, keep it.
        if (name.isEmpty())
            return;
        const QString target = modFileTools::HasSeparator(name)
                                   ? name
                                   : modFileTools::JoinPath(modMain::AppFolder, name);
        if (!saveRecording(target))
            return;
    }
    accept();
}

void frmPlayRec::cmdHelp_Click()
{
    Help::WinHelp(modMain::HelpFile(), Help::HELP_CONTEXT, HelpTopics::frmPlayRec);
}

QString frmPlayRec::get_file_name()
{
    if (!m_txtFileName->text().isEmpty())
        m_commonDialog.FileName = m_txtFileName->text();
    m_commonDialog.CancelError = true;
    if (m_commonDialog.InitDir.isEmpty())
        m_commonDialog.InitDir = modFileTools::JoinPath(modMain::AppFolder, QStringLiteral("data"));
    m_commonDialog.DefaultExt = QStringLiteral("dat");
    m_commonDialog.DialogTitle = QStringLiteral("Open file...");
    m_commonDialog.Filter = QStringLiteral("Wave Files(*.wav)| *.wav|All Files (*.*)|*.*|");
    VbError error;
    const QString chosen = m_commonDialog.ShowOpen(&error);
    if (error.isError()) {
        modMain::errorLog(QStringLiteral("You selected an invalid file, Error: ") +
                          QString::number(error.number) + error.description);
        if (error.number != VbErrors::DialogCancelled)
            Prompts::MsgBox(QStringLiteral("You selected an invalid file, Error: ") +
                                QString::number(error.number) + CrLf + error.description,
                            Prompts::vbExclamation);
        return QString();
    }
    if (!chosen.isEmpty() && !modFileTools::FileExists(chosen))
        Prompts::MsgBox(QStringLiteral("File does not exist"),
                        Prompts::vbOKCancel + Prompts::vbExclamation, QStringLiteral("Save File"),
                        modMain::HelpFile(), HelpTopics::frmPlayRec);
    return chosen;
}

void frmPlayRec::done(int result)
{
    const Qt::WindowStates state = windowState();
    const double twipsPerPixel = 1440.0 / std::max(logicalDpiX(), 1);
    DialogPosition::Save(WindowName,
                         {qint32(std::lround(pos().x() * twipsPerPixel)),
                          qint32(std::lround(pos().y() * twipsPerPixel))},
                         state.testFlag(Qt::WindowMinimized), state.testFlag(Qt::WindowMaximized));
    closeDevice();
    setRecordingButtons(false);
    m_loaded = false;
    QDialog::done(result);
}
