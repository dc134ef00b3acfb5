// SPDX-License-Identifier: GPL-3.0-or-later
#include "guidance/frmSplash.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QRadialGradient>
#include <QScreen>
#include <QSysInfo>
#include <QVBoxLayout>

#include <cmath>
#include <numbers>

#include "resources/WheelEmblem.h"
#include "startup/ProgramVersion.h"
#include "startup/modMain.h"

namespace {

constexpr QSize kSplashSize(640, 300);
constexpr int kShapeSize = 220;

// The colours of the program's artwork (the start picture and the demo show).

const char* const kStyle = R"(
#fraMainFrame { border: 1px solid rgba(253, 246, 227, 70); border-radius: 10px; margin: 8px; }
#Shape1 { border: 3px solid #ffb347; border-radius: 110px; }
#lblProductName { color: #fdf6e3; font-family: "DejaVu Sans"; font-size: 40px; font-weight: bold; }
#lblVersion { color: #ffb347; font-family: "DejaVu Sans"; font-size: 17px; }
#lblPlatform { color: rgba(253, 246, 227, 190); font-family: "DejaVu Sans"; font-size: 14px; }
)";

} // namespace

frmSplash::frmSplash(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("frmSplash"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(modMain::AppTitle());
    setFocusPolicy(Qt::StrongFocus);
    setFixedSize(kSplashSize);
    setStyleSheet(QLatin1String(kStyle));
    buildControls();
    centreOnScreen();
}

void frmSplash::buildControls()
{
    m_frame = new QFrame(this);
    m_frame->setObjectName(QStringLiteral("fraMainFrame"));
    m_frame->installEventFilter(this);

    m_shape = new QFrame(m_frame);
    m_shape->setObjectName(QStringLiteral("Shape1"));
    m_shape->setFixedSize(kShapeSize, kShapeSize);
    // The emblem is painted in the shape's place, so the place is kept while
    // the shape itself is hidden.
    QSizePolicy policy = m_shape->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    m_shape->setSizePolicy(policy);
    m_shape->hide();

    m_productName = new QLabel(modMain::AppTitle(), m_frame);
    m_productName->setObjectName(QStringLiteral("lblProductName"));
    m_version = new QLabel(versionText(), m_frame);
    m_version->setObjectName(QStringLiteral("lblVersion"));
    m_platform = new QLabel(platformText(), m_frame);
    m_platform->setObjectName(QStringLiteral("lblPlatform"));

    auto* text = new QVBoxLayout;
    text->setSpacing(6);
    text->addStretch();
    text->addWidget(m_productName);
    text->addWidget(m_version);
    text->addWidget(m_platform);
    text->addStretch();

    auto* row = new QHBoxLayout(m_frame);
    row->setContentsMargins(36, 30, 36, 30);
    row->setSpacing(40);
    row->addWidget(m_shape, 0, Qt::AlignVCenter);
    row->addLayout(text, 1);

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(m_frame);
}

void frmSplash::centreOnScreen()
{
    const QScreen* where = screen();
    if (!where)
        return;
    QRect area = frameGeometry();
    area.moveCenter(where->availableGeometry().center());
    move(area.topLeft());
}

void frmSplash::showShape()
{
    m_shape->show();
}

QString frmSplash::versionText()
{
    return QStringLiteral("Version ") + ProgramVersion::text();
}

QString frmSplash::platformText()
{
    QString name = QSysInfo::prettyProductName();
    // The release code name in brackets ("Debian GNU/Linux 12 (bookworm)") only
    // makes the line longer.
    const qsizetype bracket = name.indexOf(QLatin1String(" ("));
    if (bracket > 0)
        name.truncate(bracket);
    name = name.trimmed();
    if (name.isEmpty() || name.compare(QLatin1String("unknown"), Qt::CaseInsensitive) == 0) {
        name = QSysInfo::kernelType();
        if (!name.isEmpty())
            name[0] = name[0].toUpper();
    }
    return name;
}

void frmSplash::paintEvent(QPaintEvent* event)
{
    Q_UNUSED(event);
    QPainter p(this);
    QLinearGradient backdrop(rect().topLeft(), rect().bottomRight());
    backdrop.setColorAt(0.0, WheelEmblem::Navy);
    backdrop.setColorAt(1.0, WheelEmblem::Teal);
    p.fillRect(rect(), backdrop);

    // The emblem sits where the shape is, whether the shape shows yet or not.
    const QPointF centre = QRectF(m_shape->geometry()).translated(m_frame->pos()).center();
    QRadialGradient glow(centre, kShapeSize * 0.75);
    glow.setColorAt(0.0, QColor(255, 255, 255, 40));
    glow.setColorAt(1.0, QColor(255, 255, 255, 0));
    p.fillRect(rect(), glow);
    WheelEmblem::draw(p, centre, kShapeSize * 0.4);
}

void frmSplash::keyPressEvent(QKeyEvent* event)
{
    event->accept();
    close();
}

void frmSplash::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    // Take the keyboard so that a key press can dismiss the splash.
    raise();
    activateWindow();
    setFocus(Qt::OtherFocusReason);
}

bool frmSplash::eventFilter(QObject* watched, QEvent* event)
{
    // A click is a left press and release on the frame or on a label, shape or
    // margin inside it (those pass their mouse events up to the frame).
    if (watched == m_frame && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        close();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}
