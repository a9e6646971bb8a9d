// Draws the Max and Slate window skins from scratch: backgrounds, outline masks,
// button pictures and skin.ini. Run: skingen OUTDIR (writes OUTDIR/max, OUTDIR/slate).
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QTextStream>
#include <cmath>
#include <cstdio>

namespace {

struct Palette
{
    QColor bodyTop, bodyBottom, bandTop, bandBottom, accent, text, textShadow;
    QColor btnTop, btnBottom, light, midlight, dark, shadow, edgeOuter, edgeInner;
};

enum class Glyph
{
    Gear,
    Lens,
    Arrow,
    Question,
    Min,
    Close
};

struct Button
{
    const char* file;
    const char* label;
    Glyph glyph;
    QPoint pos;
    QSize size;
};

struct Skin
{
    QString dir, name;
    QSize win;
    QRect pane;
    QPoint logo, banner;
    int band;         // title band height
    int bannerMargin; // shallow recess width around the banner slot
    int logoPx;
    Palette pal;
    QVector<Button> buttons;
    QPainterPath (*shape)(qreal inset);
};

const qreal kSqrt2 = std::sqrt(2.0);

// Outline inset by d, so the border rings can follow the same curve inside the edge.
QPainterPath maxShape(qreal d)
{
    QPainterPath p;
    p.addRoundedRect(QRectF(d, d, 440 - 2 * d, 324 - 2 * d), 18 - d, 18 - d);
    QPainterPath bites;
    const qreal r = 5 + d;
    bites.addEllipse(QPointF(0, 41), r, r);
    bites.addEllipse(QPointF(440, 41), r, r);
    return p.subtracted(bites);
}

QPainterPath slateShape(qreal d)
{
    const qreal W = 480, H = 304, c = 12, r = 10, rr = r - d;
    QPainterPath p;
    p.moveTo(d, d);
    p.lineTo(W - c - d * kSqrt2 + d, d);
    p.lineTo(W - d, c + d * kSqrt2 - d);
    p.lineTo(W - d, H - r);
    p.arcTo(QRectF(W - r - rr, H - r - rr, 2 * rr, 2 * rr), 0, -90);
    p.lineTo(r, H - d);
    p.arcTo(QRectF(r - rr, H - r - rr, 2 * rr, 2 * rr), 270, -90);
    p.closeSubpath();
    return p;
}

// Pixel-exact bevel rings; antialiasing would smear the 1px edges.
void bevel(QPainter& p, QRect r, const QColor& tl1, const QColor& br1, const QColor& tl2,
           const QColor& br2)
{
    for (int i = 0; i < 2; ++i) {
        const QColor& tl = i ? tl2 : tl1;
        const QColor& br = i ? br2 : br1;
        QRect q = r.adjusted(i, i, -i, -i);
        p.fillRect(q.left(), q.top(), q.width(), 1, tl);
        p.fillRect(q.left(), q.top(), 1, q.height(), tl);
        p.fillRect(q.left(), q.bottom(), q.width(), 1, br);
        p.fillRect(q.right(), q.top(), 1, q.height(), br);
    }
}

void sunken(QPainter& p, const QRect& inner, const Palette& c)
{
    bevel(p, inner.adjusted(-2, -2, 2, 2), c.dark, c.light, c.shadow, c.midlight);
}

QFont font(int px)
{
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setBold(true);
    f.setPixelSize(px);
    f.setStyleStrategy(QFont::PreferAntialias);
    return f;
}

void drawGlyph(QPainter& p, Glyph g, const QRectF& box, const QColor& col)
{
    const QPointF c = box.center();
    QPen pen(col, 2.0, Qt::SolidLine, Qt::FlatCap);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    switch (g) {
    case Glyph::Gear:
        p.drawEllipse(c, 3.2, 3.2);
        for (int i = 0; i < 8; ++i) {
            const qreal a = i * M_PI / 4;
            const QPointF u(std::cos(a), std::sin(a));
            p.drawLine(c + u * 4.6, c + u * 6.6);
        }
        break;
    case Glyph::Lens:
        p.drawEllipse(c - QPointF(1.5, 1.5), 4.0, 4.0);
        pen.setWidthF(2.6);
        pen.setCapStyle(Qt::RoundCap);
        p.setPen(pen);
        p.drawLine(c + QPointF(1.6, 1.6), c + QPointF(5.5, 5.5));
        break;
    case Glyph::Arrow: {
        // Open at the top-right; the head at the top shows the turning direction.
        p.drawArc(QRectF(c.x() - 5, c.y() - 5, 10, 10), 90 * 16, 290 * 16);
        p.setPen(Qt::NoPen);
        p.setBrush(col);
        p.drawPolygon(QPolygonF({c + QPointF(4, -5), c + QPointF(-1, -9), c + QPointF(-1, -1)}));
        break;
    }
    case Glyph::Question:
        pen.setWidthF(1.5);
        p.setPen(pen);
        p.drawEllipse(c, 6.2, 6.2);
        p.setFont(font(10));
        p.drawText(box, Qt::AlignCenter, QStringLiteral("?"));
        break;
    case Glyph::Min:
        p.drawLine(QPointF(box.left() - 1, box.bottom() - 1),
                   QPointF(box.right() + 1, box.bottom() - 1));
        break;
    case Glyph::Close:
        pen.setCapStyle(Qt::RoundCap);
        p.setPen(pen);
        p.drawLine(box.topLeft() + QPointF(1, 1), box.bottomRight() - QPointF(1, 1));
        p.drawLine(box.topRight() + QPointF(-1, 1), box.bottomLeft() + QPointF(1, -1));
        break;
    }
}

QImage drawButton(const Button& b, const Palette& c, bool pressed)
{
    QImage img(b.size, QImage::Format_RGB32);
    QPainter p(&img);
    const QRect r(QPoint(0, 0), b.size);
    QLinearGradient g(0, 0, 0, r.height());
    if (pressed) {
        g.setColorAt(0, c.btnBottom.darker(135));
        g.setColorAt(1, c.btnBottom.darker(110));
    } else {
        g.setColorAt(0, c.btnTop);
        g.setColorAt(1, c.btnBottom);
    }
    p.fillRect(r, g);
    if (pressed)
        bevel(p, r, c.shadow, c.light, c.dark, c.midlight);
    else
        bevel(p, r, c.light, c.shadow, c.midlight, c.dark);

    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    const QPointF shift = pressed ? QPointF(1, 1) : QPointF(0, 0);
    const QColor glyphCol = pressed ? c.accent.lighter(115) : c.accent;
    if (!b.label) {
        const qreal m = 7;
        drawGlyph(p, b.glyph,
                  QRectF(m, m - 1, r.width() - 2 * m, r.height() - 2 * m + 2).translated(shift),
                  glyphCol);
        return img;
    }
    const qreal ih = 14;
    drawGlyph(p, b.glyph, QRectF(6, (r.height() - ih) / 2, ih, ih).translated(shift), glyphCol);
    const QRectF text = QRectF(22, 0, r.width() - 26, r.height()).translated(shift);
    p.setFont(font(12));
    p.setPen(c.textShadow);
    p.drawText(text.translated(1, 1), Qt::AlignCenter, QString::fromLatin1(b.label));
    p.setPen(pressed ? c.text.darker(112) : c.text);
    p.drawText(text, Qt::AlignCenter, QString::fromLatin1(b.label));
    return img;
}

QImage drawMask(const Skin& s)
{
    QImage m(s.win, QImage::Format_RGB32);
    m.fill(Qt::white);
    {
        QPainter p(&m);
        p.setRenderHint(QPainter::Antialiasing, false);
        p.fillPath(s.shape(0), Qt::black);
    }
    // Guarantee a two-value picture whatever the raster engine did at the edges.
    for (int y = 0; y < m.height(); ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(m.scanLine(y));
        for (int x = 0; x < m.width(); ++x)
            line[x] = qRed(line[x]) < 128 ? 0xff000000 : 0xffffffff;
    }
    return m;
}

QImage drawBackground(const Skin& s)
{
    const Palette& c = s.pal;
    QImage img(s.win, QImage::Format_RGB32);
    // Cut-away pixels take the edge colour so antialiased edges blend toward it.
    img.fill(c.edgeOuter);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    const QPainterPath outline = s.shape(0);

    QLinearGradient body(0, 0, 0, s.win.height());
    body.setColorAt(0, c.bodyTop);
    body.setColorAt(1, c.bodyBottom);
    p.fillPath(outline, body);

    p.save();
    p.setClipPath(outline);
    QLinearGradient band(0, 0, 0, s.band);
    band.setColorAt(0, c.bandTop);
    band.setColorAt(1, c.bandBottom);
    p.fillRect(0, 0, s.win.width(), s.band, band);
    p.fillRect(0, s.band, s.win.width(), 2, c.accent);
    p.fillRect(0, s.band + 2, s.win.width(), 1, c.shadow);
    p.restore();

    // Logo: shadowed title, then a smaller version tag on the same baseline.
    const QFont big = font(s.logoPx), small = font(s.logoPx * 3 / 5);
    const QFontMetrics fm(big);
    const QString title = QStringLiteral("ORVELLE PAGER");
    const QPointF base(s.logo.x(), s.logo.y() + fm.ascent());
    p.setFont(big);
    p.setPen(c.textShadow);
    p.drawText(base + QPointF(1, 1), title);
    p.setPen(c.text);
    p.drawText(base, title);
    p.setFont(small);
    p.setPen(c.accent);
    p.drawText(base + QPointF(fm.horizontalAdvance(title) + 8, 0), QStringLiteral("V3.0"));

    p.setRenderHint(QPainter::Antialiasing, false);
    if (s.dir == QLatin1String("slate")) {
        // Recessed tray behind the button column, plus a vent grille below it.
        const QRect tray(4, s.pane.top() + 12, 88, 134);
        p.fillRect(tray, c.bodyBottom.darker(115));
        bevel(p, tray, c.dark, c.midlight, c.shadow, c.bodyTop);
        p.setRenderHint(QPainter::Antialiasing);
        for (int i = 0; i < 8; ++i) {
            const qreal x = 14 + i * 9;
            p.setPen(QPen(c.shadow, 2));
            p.drawLine(QPointF(x, 286), QPointF(x + 10, 262));
            p.setPen(QPen(c.midlight, 1));
            p.drawLine(QPointF(x + 1.5, 286), QPointF(x + 11.5, 262));
        }
        p.setRenderHint(QPainter::Antialiasing, false);
    }

    // Pane and banner frames sit just outside the rects the widgets cover.
    sunken(p, s.pane, c);
    p.fillRect(s.pane, Qt::white);
    const QRect ban(s.banner, QSize(230, 33));
    const int bm = s.bannerMargin;
    p.fillRect(ban.adjusted(-bm - 2, -bm - 2, bm + 2, bm + 2), c.bodyBottom.darker(125));
    sunken(p, ban, c);
    p.fillRect(ban, c.shadow);
    // A one-pixel groove marks each button's seat.
    for (const Button& b : s.buttons) {
        const QRect r(b.pos, b.size);
        const QRect g = r.adjusted(-1, -1, 1, 1);
        p.fillRect(g.left(), g.top(), g.width(), 1, c.shadow);
        p.fillRect(g.left(), g.top(), 1, g.height(), c.shadow);
        p.fillRect(g.left(), g.bottom(), g.width(), 1, c.midlight);
        p.fillRect(g.right(), g.top(), 1, g.height(), c.midlight);
    }

    // Finished edge: dark outer ring, light inner ring, both following the outline.
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(c.edgeOuter, 1.0));
    p.drawPath(s.shape(0.5));
    p.setPen(QPen(c.edgeInner, 1.0));
    p.drawPath(s.shape(1.5));
    return img;
}

bool writeIni(const Skin& s, const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text))
        return false;
    auto pt = [](const QPoint& q) { return QStringLiteral("%1,%2").arg(q.x()).arg(q.y()); };
    auto at = [&](const char* file) {
        for (const Button& b : s.buttons)
            if (qstrcmp(b.file, file) == 0)
                return pt(b.pos);
        return QString();
    };
    QTextStream o(&f);
    o << "[skin]\n"
      << "; generated by skins/gen/skingen - edit the generator, not this file\n"
      << "name=" << s.name << "\n"
      << "main=" << pt(s.pane.topLeft()) << "\n"
      << "mainwidth=" << s.pane.width() << "\n"
      << "mainheight=" << s.pane.height() << "\n"
      << "logo=" << pt(s.logo) << "\n"
      << "banner=" << pt(s.banner) << "\n";
    for (const char* k : {"help", "min", "exit", "search", "update", "config"})
        o << k << "=" << at(k) << "\n";
    return o.status() == QTextStream::Ok;
}

bool writeSkin(const Skin& s, const QString& outDir)
{
    const QString dir = outDir + QLatin1Char('/') + s.dir;
    if (!QDir().mkpath(dir))
        return false;
    bool ok = drawBackground(s).save(dir + "/pager.bmp", "BMP");
    ok = drawMask(s).save(dir + "/pager-mask.bmp", "BMP") && ok;
    for (const Button& b : s.buttons) {
        const QString base = dir + QLatin1Char('/') + QLatin1String(b.file);
        ok = drawButton(b, s.pal, false).save(base + ".bmp", "BMP") && ok;
        ok = drawButton(b, s.pal, true).save(base + "click.bmp", "BMP") && ok;
    }
    return writeIni(s, dir + "/skin.ini") && ok;
}

QVector<Button> buttons(QPoint config, QPoint search, QPoint update, QPoint help, QSize big,
                        QPoint min, QPoint exit, QSize small)
{
    return {{"config", "Config", Glyph::Gear, config, big},
            {"search", "Search", Glyph::Lens, search, big},
            {"update", "Update", Glyph::Arrow, update, big},
            {"help", "Help", Glyph::Question, help, big},
            {"min", nullptr, Glyph::Min, min, small},
            {"exit", nullptr, Glyph::Close, exit, small}};
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: skingen OUTDIR\n");
        return 2;
    }
    const Palette navy{QColor("#2b4168"), QColor("#0e182c"), QColor("#4d6d9a"), QColor("#23395e"),
                       QColor("#f2a93b"), QColor("#eef3fb"), QColor("#0a1020"), QColor("#46679a"),
                       QColor("#2a4470"), QColor("#9dbbe4"), QColor("#5f80b0"), QColor("#152540"),
                       QColor("#070d1a"), QColor("#050a14"), QColor("#7f9cc8")};
    const Palette slate{QColor("#41474d"), QColor("#222629"), QColor("#555c63"), QColor("#383d42"),
                        QColor("#2bb8aa"), QColor("#e8eeee"), QColor("#111416"), QColor("#5b636b"),
                        QColor("#3e444a"), QColor("#9aa4ad"), QColor("#6c757d"), QColor("#25292d"),
                        QColor("#0e1012"), QColor("#0b0d0e"), QColor("#7d878f")};

    const Skin skins[] = {
        {QStringLiteral("max"), QStringLiteral("Max"), QSize(440, 324), QRect(16, 48, 408, 206),
         QPoint(16, 8), QPoint(194, 268), 39, 3, 20, navy,
         buttons({16, 266}, {102, 266}, {16, 294}, {102, 294}, QSize(82, 24), {382, 12}, {408, 12},
                 QSize(22, 22)),
         maxShape},
        {QStringLiteral("slate"), QStringLiteral("Slate"), QSize(480, 304),
         QRect(100, 36, 370, 222), QPoint(10, 10), QPoint(240, 264), 30, 2, 16, slate,
         buttons({8, 56}, {8, 88}, {8, 120}, {8, 152}, QSize(80, 26), {420, 8}, {448, 8},
                 QSize(24, 20)),
         slateShape},
    };
    for (const Skin& s : skins) {
        if (!writeSkin(s, QString::fromLocal8Bit(argv[1]))) {
            std::fprintf(stderr, "skingen: could not write skin %s\n", qPrintable(s.dir));
            return 1;
        }
    }
    return 0;
}
