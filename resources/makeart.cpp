// SPDX-License-Identifier: GPL-3.0-or-later
// Draws the pictures (and the chime) that ship with Pagewheel.
// Usage: makeart <data folder>; writes vexilo.jpg there and the demo
// pictures into its demo/ subfolder.
// makeart --icons <folder>; writes the program's icon into a hicolor
// theme tree there: PNGs of the usual sizes and a scalable SVG.

#include "resources/WheelEmblem.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QTextStream>
#include <QtEndian>

#include <cmath>
#include <numbers>

namespace {

// The palette every picture shares, so the demo reads as one piece.
const QColor kNavy = WheelEmblem::Navy;
const QColor kTeal = WheelEmblem::Teal;
const QColor kCream = WheelEmblem::Cream;
const QColor kAmber = WheelEmblem::Amber;
const QColor kCoral(0xee, 0x6c, 0x4d);
const QColor kMint(0x7f, 0xd1, 0xae);
const QColor kSky(0x8e, 0xc5, 0xfc);

QFont font(int pixelSize, QFont::Weight weight = QFont::Normal)
{
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(pixelSize);
    f.setWeight(weight);
    return f;
}

void fillBackdrop(QPainter& p, const QRect& area)
{
    QLinearGradient g(area.topLeft(), area.bottomRight());
    g.setColorAt(0.0, kNavy);
    g.setColorAt(1.0, kTeal);
    p.fillRect(area, g);
}

/// Faint rings behind the emblem, echoing the wheel.
void drawRings(QPainter& p, QPointF centre, qreal from, qreal step, int count)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(Qt::NoBrush);
    for (int i = 0; i < count; ++i) {
        QColor c = kCream;
        c.setAlphaF(0.06 - 0.012 * i);
        p.setPen(QPen(c, 2));
        p.drawEllipse(centre, from + i * step, from + i * step);
    }
    p.restore();
}

QImage vexilo()
{
    QImage img(1280, 720, QImage::Format_RGB32);
    QPainter p(&img);
    fillBackdrop(p, img.rect());
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);

    QRadialGradient glow(QPointF(360, 360), 330);
    glow.setColorAt(0.0, QColor(255, 255, 255, 40));
    glow.setColorAt(1.0, QColor(255, 255, 255, 0));
    p.fillRect(img.rect(), glow);
    drawRings(p, QPointF(360, 360), 230, 60, 5);
    WheelEmblem::draw(p, QPointF(360, 360), 180);

    p.setPen(kCream);
    p.setFont(font(96, QFont::Bold));
    p.drawText(QRectF(610, 230, 640, 130), Qt::AlignLeft | Qt::AlignBottom,
               QStringLiteral("Pagewheel"));
    p.fillRect(QRectF(614, 378, 120, 6), kAmber);
    p.setPen(kAmber);
    p.setFont(font(40));
    p.drawText(QRectF(612, 400, 640, 60), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Your show starts here"));

    QColor soft = kCream;
    soft.setAlphaF(0.7);
    p.setPen(soft);
    p.setFont(font(22));
    p.drawText(QRectF(612, 470, 640, 40), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Open a show, press Show, and let it run."));
    return img;
}

QImage emblem()
{
    QImage img(256, 256, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    WheelEmblem::draw(p, QPointF(128, 128), 118);
    return img;
}

QImage icon(int size)
{
    QImage img(size, size, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    WheelEmblem::drawIcon(p, size);
    return img;
}

QString svgNumber(qreal value)
{
    return QString::number(value, 'f', 2);
}

/// The same icon as SVG on a 256 unit canvas, shape for shape.
QByteArray iconSvg()
{
    const qreal c = 128;
    const qreal r = 256 * 0.4;
    const auto colour = [](const QColor& col) { return col.name(); };
    const auto at = [&](qreal radius, qreal degrees) {
        return WheelEmblem::polar(QPointF(c, c), radius, degrees);
    };
    QString svg;
    QTextStream out(&svg);
    out << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"256\" height=\"256\" "
           "viewBox=\"0 0 256 256\">\n"
        << "<defs><linearGradient id=\"tile\" x1=\"0\" y1=\"0\" x2=\"1\" y2=\"1\">"
        << "<stop offset=\"0\" stop-color=\"" << colour(kNavy) << "\"/>"
        << "<stop offset=\"1\" stop-color=\"" << colour(kTeal) << "\"/>"
        << "</linearGradient></defs>\n"
        << "<rect x=\"7.68\" y=\"7.68\" width=\"240.64\" height=\"240.64\" rx=\"51.2\" "
           "fill=\"url(#tile)\"/>\n";
    out << "<g stroke=\"" << colour(kCream) << "\" stroke-width=\"" << svgNumber(r * 0.035)
        << "\">\n";
    for (int i = 0; i < 6; ++i) {
        const QPointF a = at(r * 0.2, i * 60.0 - 90.0);
        const QPointF b = at(r * 0.78, i * 60.0 - 90.0);
        out << "<line x1=\"" << svgNumber(a.x()) << "\" y1=\"" << svgNumber(a.y()) << "\" x2=\""
            << svgNumber(b.x()) << "\" y2=\"" << svgNumber(b.y()) << "\"/>\n";
    }
    out << "</g>\n<circle cx=\"128\" cy=\"128\" r=\"" << svgNumber(r * 0.8)
        << "\" fill=\"none\" stroke=\"" << colour(kCream) << "\" stroke-width=\""
        << svgNumber(r * 0.07) << "\"/>\n";
    const qreal w = r * 0.34;
    const qreal h = r * 0.44;
    for (int i = 0; i < 6; ++i) {
        const QPointF centre = at(r * 0.8, i * 60.0 - 90.0);
        const bool lit = i == 0;
        const qreal left = centre.x() - w / 2;
        const qreal top = centre.y() - h / 2;
        out << "<rect x=\"" << svgNumber(left) << "\" y=\"" << svgNumber(top) << "\" width=\""
            << svgNumber(w) << "\" height=\"" << svgNumber(h) << "\" rx=\"" << svgNumber(r * 0.04)
            << "\" fill=\"" << colour(lit ? kAmber : kCream) << "\" stroke=\""
            << colour(lit ? kAmber.darker(130) : kNavy) << "\" stroke-width=\""
            << svgNumber(r * 0.025) << "\"/>\n";
        for (int line = 0; line < 3; ++line) {
            const qreal y = top + h * (0.3 + 0.2 * line);
            const qreal right = left + w - w * (line == 2 ? 0.45 : 0.22);
            out << "<line x1=\"" << svgNumber(left + w * 0.22) << "\" y1=\"" << svgNumber(y)
                << "\" x2=\"" << svgNumber(right) << "\" y2=\"" << svgNumber(y) << "\" stroke=\""
                << colour(lit ? kNavy : kTeal) << "\" stroke-width=\"" << svgNumber(r * 0.022)
                << "\" stroke-linecap=\"round\"/>\n";
        }
    }
    out << "<circle cx=\"128\" cy=\"128\" r=\"" << svgNumber(r * 0.16) << "\" fill=\""
        << colour(kAmber) << "\" stroke=\"" << colour(kCream) << "\" stroke-width=\""
        << svgNumber(r * 0.03) << "\"/>\n"
        << "<circle cx=\"128\" cy=\"128\" r=\"" << svgNumber(r * 0.06) << "\" fill=\""
        << colour(kNavy) << "\"/>\n</svg>\n";
    return svg.toUtf8();
}

// The three mode icons of the diagram.
void drawStepIcon(QPainter& p, QPointF c)
{
    p.setPen(Qt::NoPen);
    p.setBrush(kCream);
    for (int dir : {-1, 1}) {
        QPainterPath arrow;
        const qreal x = c.x() + dir * 22;
        arrow.moveTo(x + dir * 26, c.y());
        arrow.lineTo(x - dir * 14, c.y() - 30);
        arrow.lineTo(x - dir * 14, c.y() + 30);
        arrow.closeSubpath();
        p.drawPath(arrow);
    }
    p.setBrush(kAmber);
    p.drawRoundedRect(QRectF(c.x() - 7, c.y() - 34, 14, 68), 4, 4);
}

void drawReloadIcon(QPainter& p, QPointF c)
{
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(kCream, 10, Qt::SolidLine, Qt::RoundCap));
    p.drawArc(QRectF(c.x() - 40, c.y() - 40, 80, 80), 60 * 16, 290 * 16);
    const QPointF tip = WheelEmblem::polar(c, 40, -60);
    QPainterPath head;
    head.moveTo(tip + QPointF(-20, -8));
    head.lineTo(tip + QPointF(8, -14));
    head.lineTo(tip + QPointF(0, 14));
    head.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(kCream);
    p.drawPath(head);
    p.setPen(QPen(kAmber, 7, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(c, c + QPointF(0, -22));
    p.drawLine(c, c + QPointF(16, 8));
}

void drawShowIcon(QPainter& p, QPointF c)
{
    p.setPen(QPen(kCream, 6));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(c, 44, 44);
    QPainterPath play;
    play.moveTo(c + QPointF(-14, -24));
    play.lineTo(c + QPointF(26, 0));
    play.lineTo(c + QPointF(-14, 24));
    play.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(kAmber);
    p.drawPath(play);
}

QImage modesDiagram()
{
    // Transparent around the cards, so the diagram sits on any page background.
    QImage img(1200, 520, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);

    struct Mode
    {
        QString number, name, line1, line2;
        QColor band;
        void (*icon)(QPainter&, QPointF);
    };
    const Mode modes[] = {
        {QStringLiteral("1"), QStringLiteral("Normal"), QStringLiteral("You step from slide"),
         QStringLiteral("to slide"), kSky, drawStepIcon},
        {QStringLiteral("2"), QStringLiteral("Auto Reload"), QStringLiteral("One page, fetched"),
         QStringLiteral("again on an interval"), kMint, drawReloadIcon},
        {QStringLiteral("3"), QStringLiteral("Show"), QStringLiteral("The show runs by itself,"),
         QStringLiteral("once or continuously"), kAmber, drawShowIcon},
    };

    const qreal cardW = 340, cardH = 400, gap = 45;
    for (int i = 0; i < 3; ++i) {
        const Mode& m = modes[i];
        const QRectF card(gap + i * (cardW + gap), 60, cardW, cardH);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 255, 255, 22));
        p.drawRoundedRect(card, 22, 22);
        p.setBrush(m.band);
        p.drawRoundedRect(QRectF(card.left(), card.top(), cardW, 14), 7, 7);

        QColor disc = m.band;
        disc.setAlphaF(0.25);
        p.setBrush(disc);
        const QPointF iconCentre(card.center().x(), card.top() + 135);
        p.drawEllipse(iconCentre, 78, 78);
        m.icon(p, iconCentre);

        p.setPen(m.band);
        p.setFont(font(20, QFont::Bold));
        p.drawText(QRectF(card.left(), card.top() + 235, cardW, 30), Qt::AlignCenter,
                   QStringLiteral("MODE ") + m.number);
        p.setPen(kCream);
        p.setFont(font(38, QFont::Bold));
        p.drawText(QRectF(card.left(), card.top() + 265, cardW, 54), Qt::AlignCenter, m.name);
        QColor soft = kCream;
        soft.setAlphaF(0.8);
        p.setPen(soft);
        p.setFont(font(22));
        p.drawText(QRectF(card.left(), card.top() + 322, cardW, 32), Qt::AlignCenter, m.line1);
        p.drawText(QRectF(card.left(), card.top() + 352, cardW, 32), Qt::AlignCenter, m.line2);
    }
    return img;
}

QImage lobbyPoster()
{
    QImage img(1280, 720, QImage::Format_RGB32);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);

    QLinearGradient sky(0, 0, 0, 720);
    sky.setColorAt(0.0, QColor(0xff, 0xe8, 0xc2));
    sky.setColorAt(1.0, QColor(0xf7, 0xb8, 0x8b));
    p.fillRect(img.rect(), sky);

    // A low sun and rolling hills give the poster its warm, calm mood.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xff, 0xf4, 0xd6));
    p.drawEllipse(QPointF(1030, 300), 120, 120);
    const QColor hills[] = {QColor(0xe0, 0x8e, 0x6d), QColor(0xc4, 0x6a, 0x5a),
                            QColor(0x8c, 0x4a, 0x5e)};
    for (int i = 0; i < 3; ++i) {
        QPainterPath hill;
        const qreal base = 470 + i * 70;
        hill.moveTo(0, base);
        hill.cubicTo(320, base - 90 + i * 20, 760, base + 60, 1280, base - 60);
        hill.lineTo(1280, 720);
        hill.lineTo(0, 720);
        hill.closeSubpath();
        p.setBrush(hills[i]);
        p.drawPath(hill);
    }

    const QColor ink(0x3a, 0x1f, 0x33);
    p.setPen(ink);
    p.setFont(font(28, QFont::Bold));
    p.drawText(QRectF(80, 60, 800, 40), Qt::AlignLeft, QStringLiteral("HARBOUR STREET HALL"));
    p.setFont(font(84, QFont::Bold));
    p.drawText(QRectF(74, 100, 900, 110), Qt::AlignLeft, QStringLiteral("Welcome!"));

    p.setBrush(QColor(255, 255, 255, 190));
    p.setPen(Qt::NoPen);
    const QRectF board(80, 240, 640, 300);
    p.drawRoundedRect(board, 20, 20);
    p.setPen(ink);
    p.setFont(font(26, QFont::Bold));
    p.drawText(QRectF(board.left() + 36, board.top() + 26, 560, 36), Qt::AlignLeft,
               QStringLiteral("Today"));
    const QStringList times = {QStringLiteral("10:00"), QStringLiteral("14:00"),
                               QStringLiteral("18:30")};
    const QStringList events = {QStringLiteral("Open studio  ·  Room 2"),
                                QStringLiteral("Pottery for beginners  ·  Workshop"),
                                QStringLiteral("Film night  ·  Main hall")};
    for (int i = 0; i < times.size(); ++i) {
        const qreal y = board.top() + 90 + i * 64;
        p.setFont(font(26, QFont::Bold));
        p.setPen(kCoral.darker(120));
        p.drawText(QRectF(board.left() + 36, y, 110, 40), Qt::AlignLeft, times[i]);
        p.setFont(font(26));
        p.setPen(ink);
        p.drawText(QRectF(board.left() + 150, y, 460, 40), Qt::AlignLeft, events[i]);
    }

    p.setPen(kCream);
    p.setFont(font(22));
    p.drawText(QRectF(80, 640, 1120, 40), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("A sample lobby screen  ·  shown by Pagewheel"));
    return img;
}

QImage colourChart()
{
    QImage img(1280, 720, QImage::Format_RGB32);
    QPainter p(&img);
    p.fillRect(img.rect(), QColor(0x20, 0x20, 0x20));
    p.setRenderHint(QPainter::TextAntialiasing);

    // Full-strength bars in the classic order, then a grey ramp in 10 % steps.
    const QColor bars[] = {Qt::white,   Qt::yellow, Qt::cyan, Qt::green,
                           Qt::magenta, Qt::red,    Qt::blue, Qt::black};
    const qreal barW = 1280.0 / 8;
    for (int i = 0; i < 8; ++i)
        p.fillRect(QRectF(i * barW, 0, barW + 1, 360), bars[i]);
    const qreal stepW = 1280.0 / 11;
    for (int i = 0; i <= 10; ++i) {
        const int v = qRound(255.0 * i / 10);
        p.fillRect(QRectF(i * stepW, 360, stepW + 1, 120), QColor(v, v, v));
        p.setPen(v > 128 ? Qt::black : Qt::white);
        p.setFont(font(18));
        p.drawText(QRectF(i * stepW, 440, stepW, 30), Qt::AlignCenter,
                   QString::number(i * 10) + QLatin1Char('%'));
    }

    // A circle and a grid show a stretched or cropped screen at a glance.
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0x60, 0x60, 0x60), 1));
    for (int x = 0; x <= 1280; x += 40)
        p.drawLine(QPointF(x, 480), QPointF(x, 720));
    for (int y = 480; y <= 720; y += 40)
        p.drawLine(QPointF(0, y), QPointF(1280, y));
    p.setPen(QPen(kCream, 3));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(640, 600), 100, 100);
    p.drawLine(QPointF(540, 600), QPointF(740, 600));
    p.drawLine(QPointF(640, 500), QPointF(640, 700));
    p.setPen(QPen(kAmber, 6));
    p.drawRect(QRectF(3, 3, 1274, 714));

    const QColor backing(0x20, 0x20, 0x20);
    p.fillRect(QRectF(40, 530, 460, 130), backing);
    p.fillRect(QRectF(900, 550, 340, 50), backing);
    p.setPen(kCream);
    p.setFont(font(34, QFont::Bold));
    p.drawText(QRectF(60, 540, 420, 50), Qt::AlignLeft, QStringLiteral("Screen check"));
    p.setFont(font(20));
    p.drawText(QRectF(60, 592, 440, 90), Qt::AlignLeft | Qt::TextWordWrap,
               QStringLiteral("Every grey step should be visible and the circle round."));
    p.drawText(QRectF(820, 560, 400, 80), Qt::AlignRight | Qt::TextWordWrap,
               QStringLiteral("Pagewheel colour chart"));
    return img;
}

/// A soft two-note chime as an 8-bit mono 11025 Hz wave file, the format of
/// the program's own recordings.
QByteArray chime()
{
    constexpr int rate = 11025;
    const struct
    {
        double start, frequency;
    } notes[] = {{0.0, 784.0}, {0.28, 1046.5}};
    const int samples = int(rate * 1.6);

    QByteArray pcm(samples, char(128));
    for (int i = 0; i < samples; ++i) {
        const double t = double(i) / rate;
        double v = 0;
        for (const auto& n : notes) {
            const double u = t - n.start;
            if (u < 0)
                continue;
            const double attack = std::min(1.0, u / 0.01);
            const double envelope = attack * std::exp(-u * 3.2);
            v += envelope * (std::sin(2 * std::numbers::pi * n.frequency * u) +
                             0.3 * std::sin(4 * std::numbers::pi * n.frequency * u));
        }
        pcm[i] = char(qBound(0, 128 + int(std::lround(v * 60)), 255));
    }

    QByteArray wav;
    auto put32 = [&wav](quint32 v) {
        char b[4];
        qToLittleEndian(v, b);
        wav.append(b, 4);
    };
    auto put16 = [&wav](quint16 v) {
        char b[2];
        qToLittleEndian(v, b);
        wav.append(b, 2);
    };
    wav.append("RIFF");
    put32(quint32(36 + pcm.size()));
    wav.append("WAVEfmt ");
    put32(16);
    put16(1); // PCM
    put16(1); // mono
    put32(rate);
    put32(rate); // bytes per second
    put16(1);    // block align
    put16(8);    // bits per sample
    wav.append("data");
    put32(quint32(pcm.size()));
    wav.append(pcm);
    return wav;
}

bool saveImage(const QImage& img, const QString& path)
{
    const bool jpeg = path.endsWith(QLatin1String(".jpg"));
    if (img.save(path, nullptr, jpeg ? 90 : -1))
        return true;
    QTextStream(stderr) << "makeart: cannot write " << path << '\n';
    return false;
}

bool saveBytes(const QByteArray& bytes, const QString& path)
{
    QFile f(path);
    if (f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size())
        return true;
    QTextStream(stderr) << "makeart: cannot write " << path << '\n';
    return false;
}

/// Writes the icon into a hicolor theme tree under the folder.
int makeIcons(const QDir& theme)
{
    bool ok = true;
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QString folder = theme.filePath(QStringLiteral("%1x%1/apps").arg(size));
        ok = QDir().mkpath(folder) && ok;
        ok = saveImage(icon(size), QDir(folder).filePath(QStringLiteral("pagewheel.png"))) && ok;
    }
    const QString scalable = theme.filePath(QStringLiteral("scalable/apps"));
    ok = QDir().mkpath(scalable) && ok;
    ok = saveBytes(iconSvg(), QDir(scalable).filePath(QStringLiteral("pagewheel.svg"))) && ok;
    return ok ? 0 : 1;
}

} // namespace

int main(int argc, char* argv[])
{
    QGuiApplication app(argc, argv);
    const QStringList args = QGuiApplication::arguments();
    if (args.size() == 3 && args.at(1) == QLatin1String("--icons"))
        return makeIcons(QDir(args.at(2)));
    if (args.size() != 2) {
        QTextStream(stderr) << "usage: makeart <data folder>\n";
        return 2;
    }
    const QDir data(args.at(1));
    const QString demo = data.filePath(QStringLiteral("demo"));
    if (!QDir().mkpath(demo)) {
        QTextStream(stderr) << "makeart: cannot create " << demo << '\n';
        return 1;
    }
    const QDir demoDir(demo);

    bool ok = saveImage(vexilo(), data.filePath(QStringLiteral("vexilo.jpg")));
    ok = saveImage(emblem(), demoDir.filePath(QStringLiteral("emblem.png"))) && ok;
    ok = saveImage(modesDiagram(), demoDir.filePath(QStringLiteral("modes.png"))) && ok;
    ok = saveImage(lobbyPoster(), demoDir.filePath(QStringLiteral("lobby.jpg"))) && ok;
    ok = saveImage(colourChart(), demoDir.filePath(QStringLiteral("colours.png"))) && ok;
    ok = saveBytes(chime(), demoDir.filePath(QStringLiteral("chime.wav"))) && ok;
    return ok ? 0 : 1;
}
