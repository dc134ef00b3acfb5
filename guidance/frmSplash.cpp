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

#include "startup/modMain.h"

namespace {

constexpr int kVersionMajor = 1;
constexpr int kVersionMinor = 3;
constexpr int kVersionRevision = 0;

constexpr QSize kSplashSize(640, 300);
constexpr int kShapeSize = 220;

// The colours of the program's artwork (the start picture and the demo show).
const QColor kNavy(0x0f, 0x25, 0x40);
const QColor kTeal(0x15, 0x61, 0x6d);
const QColor kCream(0xfd, 0xf6, 0xe3);
const QColor kAmber(0xff, 0xb3, 0x47);

const char* const kStyle = R"(
#fraMainFrame { border: 1px solid rgba(253, 246, 227, 70); border-radius: 10px; margin: 8px; }
#Shape1 { border: 3px solid #ffb347; border-radius: 110px; }
#lblProductName { color: #fdf6e3; font-family: "DejaVu Sans"; font-size: 40px; font-weight: bold; }
#lblVersion { color: #ffb347; font-family: "DejaVu Sans"; font-size: 17px; }
#lblPlatform { color: rgba(253, 246, 227, 190); font-family: "DejaVu Sans"; font-size: 14px; }
)";

QPointF polar(QPointF centre, qreal radius, qreal degrees)
{
    const qreal a = degrees * std::numbers::pi / 180.0;
    return centre + QPointF(radius * std::cos(a), radius * std::sin(a));
}

// The wheel emblem: six upright pages on a rim, the top one lit.
void paintWheel(QPainter& p, QPointF centre, qreal r)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(kCream, r * 0.035));
    for (int i = 0; i < 6; ++i)
        p.drawLine(polar(centre, r * 0.2, i * 60.0 - 90.0),
                   polar(centre, r * 0.78, i * 60.0 - 90.0));
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(kCream, r * 0.07));
    p.drawEllipse(centre, r * 0.8, r * 0.8);

    const QSizeF page(r * 0.34, r * 0.44);
    for (int i = 0; i < 6; ++i) {
        const bool lit = i == 0;
        const QPointF at = polar(centre, r * 0.8, i * 60.0 - 90.0);
        const QRectF rect(at.x() - page.width() / 2, at.y() - page.height() / 2, page.width(),
                          page.height());
        p.setPen(QPen(lit ? kAmber.darker(130) : kNavy, r * 0.025));
        p.setBrush(lit ? kAmber : kCream);
        p.drawRoundedRect(rect, r * 0.04, r * 0.04);
        p.setPen(QPen(lit ? kNavy : kTeal, r * 0.022, Qt::SolidLine, Qt::RoundCap));
        for (int line = 0; line < 3; ++line) {
            const qreal y = rect.top() + page.height() * (0.3 + 0.2 * line);
            const qreal right = rect.right() - page.width() * (line == 2 ? 0.45 : 0.22);
            p.drawLine(QPointF(rect.left() + page.width() * 0.22, y), QPointF(right, y));
        }
    }

    p.setPen(QPen(kCream, r * 0.03));
    p.setBrush(kAmber);
    p.drawEllipse(centre, r * 0.16, r * 0.16);
    p.setPen(Qt::NoPen);
    p.setBrush(kNavy);
    p.drawEllipse(centre, r * 0.06, r * 0.06);
    p.restore();
}

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
    return QStringLiteral("Version ") + QString::number(kVersionMajor) + QLatin1Char('.') +
           QString::number(kVersionMinor) + QLatin1Char('.') + QString::number(kVersionRevision);
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
    backdrop.setColorAt(0.0, kNavy);
    backdrop.setColorAt(1.0, kTeal);
    p.fillRect(rect(), backdrop);

    // The emblem sits where the shape is, whether the shape shows yet or not.
    const QPointF centre = QRectF(m_shape->geometry()).translated(m_frame->pos()).center();
    QRadialGradient glow(centre, kShapeSize * 0.75);
    glow.setColorAt(0.0, QColor(255, 255, 255, 40));
    glow.setColorAt(1.0, QColor(255, 255, 255, 0));
    p.fillRect(rect(), glow);
    paintWheel(p, centre, kShapeSize * 0.4);
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
