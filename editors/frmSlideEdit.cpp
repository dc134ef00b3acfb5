// SPDX-License-Identifier: GPL-3.0-or-later
#include "editors/frmSlideEdit.h"

#include "editors/EditorHost.h"
#include "editors/ListEditModel.h"
#include "editors/SlideSound.h"
#include "editors/SlideText.h"
#include "editors/WindowPlace.h"
#include "platform/Help.h"
#include "platform/HelpTopics.h"
#include "platform/Prompts.h"
#include "settings/COptions.h"
#include "show/colURLs.h"
#include "startup/modMain.h"
#include "startup/modToolTips.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDateTime>
#include <QDropEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QVBoxLayout>

namespace {

const QString WindowName = QStringLiteral("frmSlideEdit");

void setTag(QWidget* widget, const QString& tag)
{
    widget->setProperty("Tag", tag);
}

/// The first local file of a drop, or "".
QString firstFile(const QMimeData* data)
{
    if (!data)
        return QString();
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile())
            return url.toLocalFile();
    }
    return QString();
}

} // namespace

frmSlideEdit::frmSlideEdit(QWidget* parent) : QDialog(parent)
{
    setObjectName(WindowName);
    setWindowTitle(QStringLiteral("Add / Edit Slide"));
    setTag(this, QStringLiteral("Edit /add record in list."));
    buildControls();
    Help::setHelpContext(this, modMain::HelpFile(), HelpTopics::frmSlideEdit);
}

void frmSlideEdit::buildControls()
{
    const auto field = [this](const QString& name, const QString& caption, const QString& tag,
                              QLabel** label) {
        auto* edit = new QLineEdit(this);
        edit->setObjectName(name);
        setTag(edit, tag);
        *label = new QLabel(caption, this);
        (*label)->setBuddy(edit);
        return edit;
    };
    QLabel* urlLabel = nullptr;
    QLabel* soundLabel = nullptr;
    QLabel* pauseLabel = nullptr;
    m_txtURL = field(QStringLiteral("txtURL"), QStringLiteral("&Slide"),
                     QStringLiteral("Enter the URL or complete file name of the slide to view."),
                     &urlLabel);
    m_txtSound =
        field(QStringLiteral("txtSound"), QStringLiteral("So&und file"),
              QStringLiteral("Enter the file name of the sound file to play."), &soundLabel);
    m_txtPause =
        field(QStringLiteral("txtPause"), QStringLiteral("Pause &Time"),
              QStringLiteral("Enter the time  in seconds to display the slide. "), &pauseLabel);
    for (QLineEdit* dropTarget : {m_txtURL, m_txtSound})
        dropTarget->installEventFilter(this);
    m_chkSkip = new QCheckBox(QStringLiteral("S&kip Field"), this);
    m_chkSkip->setObjectName(QStringLiteral("chkSkip"));
    setTag(m_chkSkip, QStringLiteral("Check to skip this slide during a show."));

    static const char* const ToolbarTags[2] = {"Slide toolbar: Open and View.",
                                               "Sound file toolbar: Open and Play."};
    static const char* const Tips[2][2] = {
        {"Open and select a new slide.", "View the current slide in the browser."},
        {"Open and select a new sound file.", "Play the current sound file."}};
    for (int i = 0; i < 2; ++i) {
        m_tbrOpen[i] = new QToolBar(this);
        m_tbrOpen[i]->setObjectName(QStringLiteral("tbrOpen%1").arg(i));
        m_tbrOpen[i]->setAccessibleName(i == 0 ? QStringLiteral("Slide toolbar")
                                               : QStringLiteral("Sound file toolbar"));
        setTag(m_tbrOpen[i], QString::fromLatin1(ToolbarTags[i]));
        m_tbrOpen[i]->setIconSize(QSize(16, 16));
        QAction* open = m_tbrOpen[i]->addAction(style()->standardIcon(QStyle::SP_DialogOpenButton),
                                                QStringLiteral("Open"));
        QAction* run = m_tbrOpen[i]->addAction(
            style()->standardIcon(i == 0 ? QStyle::SP_ComputerIcon : QStyle::SP_MediaPlay),
            QStringLiteral("Run"));
        open->setObjectName(m_tbrOpen[i]->objectName() + QStringLiteral("Open"));
        run->setObjectName(m_tbrOpen[i]->objectName() + QStringLiteral("Run"));
        open->setToolTip(QString::fromLatin1(Tips[i][0]));
        run->setToolTip(QString::fromLatin1(Tips[i][1]));
        connect(open, &QAction::triggered, this,
                i == 0 ? &frmSlideEdit::slideOpen : &frmSlideEdit::soundOpen);
        connect(run, &QAction::triggered, this,
                i == 0 ? &frmSlideEdit::slideRun : &frmSlideEdit::soundRun);
    }

    m_cmdOK = new QPushButton(QStringLiteral("OK"), this);
    m_cmdOK->setObjectName(QStringLiteral("cmdOK"));
    m_cmdOK->setDefault(true);
    setTag(m_cmdOK, QStringLiteral("Press to save the changes on this slide and return."));
    m_cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    m_cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    setTag(m_cmdCancel, QStringLiteral("Press to cancel any changes and return."));
    m_cmdHelp = new QPushButton(QStringLiteral("&Help"), this);
    m_cmdHelp->setObjectName(QStringLiteral("cmdHelp"));
    setTag(m_cmdHelp, QStringLiteral("Press for on-line help."));

    m_pnlStatus = new QStatusBar(this);
    m_pnlStatus->setObjectName(QStringLiteral("pnlStatus"));
    m_pnlStatus->setSizeGripEnabled(false);
    setTag(m_pnlStatus, QStringLiteral("Shows current status and instructions."));
    m_date = new QLabel(m_pnlStatus);
    m_time = new QLabel(m_pnlStatus);
    m_pnlStatus->addPermanentWidget(m_date);
    m_pnlStatus->addPermanentWidget(m_time);

    auto* grid = new QGridLayout;
    grid->addWidget(urlLabel, 0, 0);
    grid->addWidget(m_txtURL, 0, 1);
    grid->addWidget(m_tbrOpen[0], 0, 2);
    grid->addWidget(soundLabel, 1, 0);
    grid->addWidget(m_txtSound, 1, 1);
    grid->addWidget(m_tbrOpen[1], 1, 2);
    grid->addWidget(pauseLabel, 2, 0);
    auto* pauseRow = new QHBoxLayout;
    pauseRow->addWidget(m_txtPause);
    pauseRow->addSpacing(16);
    pauseRow->addWidget(m_chkSkip);
    pauseRow->addStretch(1);
    grid->addLayout(pauseRow, 2, 1);
    grid->setColumnStretch(1, 1);
    m_txtPause->setMaximumWidth(90);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_cmdOK);
    buttons->addWidget(m_cmdCancel);
    buttons->addWidget(m_cmdHelp);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);
    layout->addWidget(m_pnlStatus);
    resize(520, sizeHint().height());

    connect(m_cmdOK, &QPushButton::clicked, this, &frmSlideEdit::cmdOK_Click);
    connect(m_cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_cmdHelp, &QPushButton::clicked, this,
            [] { Help::ShowTopic(modMain::HelpFile(), HelpTopics::frmSlideEdit); });
    connect(qApp, &QApplication::focusChanged, this,
            [this](QWidget*, QWidget* now) { showTagOf(now); });
}

void frmSlideEdit::showEvent(QShowEvent* event)
{
    if (!m_placed)
        Form_Load();
    QDialog::showEvent(event);
}

void frmSlideEdit::Form_Load()
{
    m_placed = true;
    if (oOptions && oOptions->ToolTips)
        modMain::ToolTipsOn(this);
    const QDateTime now = QDateTime::currentDateTime();
    m_date->setText(QLocale().toString(now.date(), QLocale::ShortFormat));
    m_time->setText(QLocale().toString(now.time(), QLocale::ShortFormat));
    m_txtURL->clear();
    m_txtSound->clear();
    m_txtPause->clear();
    m_chkSkip->setChecked(false);
    if (nSlideIndex == 0)
        return;
    // A position that names nothing leaves the fields empty.
    if (bListMode) {
        if (list && nSlideIndex >= 1 && nSlideIndex <= list->rowCount()) {
            const ListEditRow& row = list->row(nSlideIndex - 1);
            m_txtURL->setText(row.slide);
            m_txtSound->setText(row.sound);
            m_txtPause->setText(row.pause);
            m_chkSkip->setChecked(row.icon == ListEditRow::Icon::Skipped);
        }
    } else if (colShow) {
        if (const auto slide = colShow->Item(nSlideIndex)) {
            m_txtURL->setText(slide->HREF);
            m_txtSound->setText(slide->SoundFile);
            m_txtPause->setText(QString::number(slide->PauseTime));
            m_chkSkip->setChecked(slide->SkipField);
        }
    }
    WindowPlace::restore(this, WindowName, false);
}

bool frmSlideEdit::ValidatePause()
{
    const QString text = m_txtPause->text().trimmed();
    if (text.isEmpty())
        return true;
    QString message;
    if (text.size() >= 7) {
        message = QStringLiteral("Entry must be a number 1-6 digits long.");
    } else {
        // Whole seconds only: digits, no sign and no fraction.
        const bool digits =
            std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c >= u'0' && c <= u'9'; });
        if (digits)
            return true;
        message = QStringLiteral("Entry must be a number 0-999999.");
    }
    m_txtPause->setFocus();
    Prompts::MsgBox(message, Prompts::vbOKOnly + Prompts::vbExclamation,
                    QStringLiteral("Field Error"));
    return false;
}

void frmSlideEdit::cmdOK_Click()
{
    if (!ValidatePause())
        return;
    const QString address = m_txtURL->text();
    const QString sound = m_txtSound->text();
    if (!SlideText::accept(address, QStringLiteral("address"))) {
        m_txtURL->setFocus();
        return;
    }
    if (!SlideText::accept(sound, QStringLiteral("sound file name"))) {
        m_txtSound->setFocus();
        return;
    }
    if (bListMode) {
        if (list && nSlideIndex >= 1 && nSlideIndex <= list->rowCount())
            list->setRowValues(nSlideIndex - 1, address, sound, m_txtPause->text(),
                               m_chkSkip->isChecked());
    } else if (colShow) {
        if (const auto slide = colShow->Item(nSlideIndex)) {
            slide->HREF = address;
            slide->SoundFile = sound;
            slide->PauseTime = ListEditModel::pauseValue(m_txtPause->text());
            slide->SkipField = m_chkSkip->isChecked();
        }
    }
    if (colShow)
        colShow->Changed = true;
    accept();
}

void frmSlideEdit::done(int result)
{
    if (result == QDialog::Rejected && bNewSlide && bListMode && list)
        list->removeAt(nSlideIndex - 1);
    bNewSlide = false;
    if (nSlideIndex != 0)
        WindowPlace::save(this, WindowName, false);
    m_placed = false;
    QDialog::done(result);
}

void frmSlideEdit::slideOpen()
{
    if (!host)
        return;
    const QString path = host->do_open_slide();
    // A cancelled dialog keeps what the field held.
    if (!path.isEmpty() && SlideText::accept(path, QStringLiteral("address")))
        m_txtURL->setText(path);
}

void frmSlideEdit::slideRun()
{
    const QString address = m_txtURL->text();
    modMain::debugLog(QStringLiteral("view item ") + QStringLiteral("  Addr: ") + address);
    if (host)
        host->viewAddress(address);
}

void frmSlideEdit::soundOpen()
{
    COptions fallback;
    const QString path = SlideSound::chooseFile(oOptions ? *oOptions : fallback, this);
    if (!path.isEmpty() && SlideText::accept(path, QStringLiteral("sound file name")))
        m_txtSound->setText(path);
}

void frmSlideEdit::soundRun()
{
    QString sound = m_txtSound->text();
    if (sound.right(4).toUpper() != QStringLiteral(".WAV")) {
        sound += QStringLiteral(".wav");
        m_txtSound->setText(sound);
    } else {
        modMain::debugLog(QStringLiteral("File name OK"));
    }
    COptions fallback;
    const QString chosen = SlideSound::openDialog(sound, oOptions ? *oOptions : fallback, this);
    if (!chosen.isNull() && SlideText::accept(chosen, QStringLiteral("sound file name")))
        m_txtSound->setText(chosen);
}

bool frmSlideEdit::dropFile(QLineEdit* field, const QString& name, QEvent* event)
{
    auto* drop = static_cast<QDropEvent*>(event);
    const QString path = firstFile(drop->mimeData());
    if (path.isEmpty())
        return false;
    drop->acceptProposedAction();
    modMain::debugLog(name + QStringLiteral(" OleDragDrop, Data files:") + path);
    if (SlideText::accept(path, field == m_txtURL ? QStringLiteral("address")
                                                  : QStringLiteral("sound file name")))
        field->setText(path);
    return true;
}

bool frmSlideEdit::eventFilter(QObject* watched, QEvent* event)
{
    auto* field = qobject_cast<QLineEdit*>(watched);
    if (field && (field == m_txtURL || field == m_txtSound)) {
        if (event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove) {
            auto* drag = static_cast<QDropEvent*>(event);
            if (!firstFile(drag->mimeData()).isEmpty()) {
                drag->acceptProposedAction();
                return true;
            }
        } else if (event->type() == QEvent::Drop) {
            if (dropFile(field, field->objectName(), event))
                return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void frmSlideEdit::showTagOf(QWidget* focused)
{
    if (!focused || !isAncestorOf(focused))
        return;
    const QString tag = focused->property("Tag").toString();
    if (!tag.isEmpty())
        m_pnlStatus->showMessage(tag);
}
