// qrvtune_art: draws Qrvtune's pictures from one description, so that the
// vector icon and its bitmaps cannot drift apart:
//   qrvtune.svg            the application icon (scalable)
//   qrvtune-SIZE.png       the icon as bitmaps (48, 128, 256 pixels)
//   dadar.gxd              the banner of the main window's image pane (a PNG)
//
//   qrvtune_art OUTPUT_DIR
//
// The results are committed under configurator/resources; run this again
// only to change them.
#include <QDir>
#include <QFile>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QTextStream>

#include <cmath>
#include <cstdio>
#include <numbers>

namespace {

// ---- The icon, on a 256 x 256 canvas ----
constexpr double kCanvas = 256;
const QRectF kTile(16, 16, 224, 224);
constexpr double kTileRadius = 44;
const QColor kTileTop(0x2E, 0x86, 0xDE);
const QColor kTileBottom(0x17, 0x4A, 0x93);
// The module: a board with its chip, an antenna rising from its right edge.
const QRectF kBoard(52, 132, 136, 84);
constexpr double kBoardRadius = 12;
const QColor kBoardColour(0xF4, 0xF7, 0xFB);
const QRectF kChip(76, 152, 52, 44);
const QColor kChipColour(0x23, 0x33, 0x4D);
const QPointF kAntennaFoot(164, 132);
const QPointF kAntennaTip(164, 84);
constexpr double kAntennaWidth = 11;
// Radio waves around the antenna tip: two arcs on each side.
constexpr double kWaveRadii[] = {26, 46};
constexpr double kWaveHalfAngle = 38;  // degrees either side of the horizontal
constexpr double kWaveWidth = 9;
const QColor kWaveColour(0xFF, 0xFF, 0xFF);
const QColor kLedColour(0x4C, 0xD9, 0x64);
const QPointF kLed(160, 196);
constexpr double kLedRadius = 7;

// ---- The banner: the image pane is 223 x 42 dialog units, 335 x 63 pixels ----
constexpr int kBannerWidth = 335;
constexpr int kBannerHeight = 63;
// The pane's own background, so that the banner's edge does not show.
const QColor kPaneBackground(235, 233, 237);
const QColor kTitleColour(0x17, 0x4A, 0x93);
const QColor kSubtitleColour(0x4A, 0x50, 0x5C);

QPointF OnCircle(QPointF centre, double radius, double degrees) {
    const double radians = degrees * std::numbers::pi / 180.0;
    return {centre.x() + radius * std::cos(radians), centre.y() - radius * std::sin(radians)};
}

// One wave: an arc about the antenna tip from -half to +half degrees around
// `direction` (0 right, 180 left).
struct Arc {
    QPointF from, to;
    double radius;
};
Arc Wave(double radius, double direction) {
    return {OnCircle(kAntennaTip, radius, direction - kWaveHalfAngle),
            OnCircle(kAntennaTip, radius, direction + kWaveHalfAngle), radius};
}

QString Hex(const QColor& colour) { return colour.name(QColor::HexRgb); }
QString Num(double value) { return QString::number(value, 'f', 2); }

QString IconSvg() {
    QString svg;
    QTextStream out(&svg);
    out << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"256\" height=\"256\" viewBox=\"0 0 256 256\">\n"
        << "  <title>Qrvtune</title>\n"
        << "  <defs>\n    <linearGradient id=\"tile\" x1=\"0\" y1=\"0\" x2=\"0\" y2=\"1\">\n"
        << "      <stop offset=\"0\" stop-color=\"" << Hex(kTileTop) << "\"/>\n"
        << "      <stop offset=\"1\" stop-color=\"" << Hex(kTileBottom) << "\"/>\n"
        << "    </linearGradient>\n  </defs>\n";
    out << "  <rect x=\"" << Num(kTile.x()) << "\" y=\"" << Num(kTile.y()) << "\" width=\"" << Num(kTile.width())
        << "\" height=\"" << Num(kTile.height()) << "\" rx=\"" << Num(kTileRadius) << "\" fill=\"url(#tile)\"/>\n";
    for (double radius : kWaveRadii)
        for (double direction : {0.0, 180.0}) {
            // The short way round, counter-clockwise on screen from the lower end.
            const Arc arc = Wave(radius, direction);
            out << "  <path d=\"M " << Num(arc.from.x()) << ' ' << Num(arc.from.y()) << " A " << Num(arc.radius) << ' '
                << Num(arc.radius) << " 0 0 0 " << Num(arc.to.x()) << ' ' << Num(arc.to.y())
                << "\" fill=\"none\" stroke=\"" << Hex(kWaveColour) << "\" stroke-width=\"" << Num(kWaveWidth)
                << "\" stroke-linecap=\"round\"/>\n";
        }
    out << "  <line x1=\"" << Num(kAntennaFoot.x()) << "\" y1=\"" << Num(kAntennaFoot.y()) << "\" x2=\""
        << Num(kAntennaTip.x()) << "\" y2=\"" << Num(kAntennaTip.y()) << "\" stroke=\"" << Hex(kBoardColour)
        << "\" stroke-width=\"" << Num(kAntennaWidth) << "\" stroke-linecap=\"round\"/>\n";
    out << "  <rect x=\"" << Num(kBoard.x()) << "\" y=\"" << Num(kBoard.y()) << "\" width=\"" << Num(kBoard.width())
        << "\" height=\"" << Num(kBoard.height()) << "\" rx=\"" << Num(kBoardRadius) << "\" fill=\""
        << Hex(kBoardColour) << "\"/>\n";
    out << "  <rect x=\"" << Num(kChip.x()) << "\" y=\"" << Num(kChip.y()) << "\" width=\"" << Num(kChip.width())
        << "\" height=\"" << Num(kChip.height()) << "\" rx=\"4\" fill=\"" << Hex(kChipColour) << "\"/>\n";
    out << "  <circle cx=\"" << Num(kLed.x()) << "\" cy=\"" << Num(kLed.y()) << "\" r=\"" << Num(kLedRadius)
        << "\" fill=\"" << Hex(kLedColour) << "\"/>\n";
    out << "</svg>\n";
    return svg;
}

// Paints the icon into `target` (a square of any size).
void PaintIcon(QPainter& painter, const QRectF& target) {
    painter.save();
    painter.translate(target.topLeft());
    painter.scale(target.width() / kCanvas, target.height() / kCanvas);
    painter.setRenderHint(QPainter::Antialiasing);

    QLinearGradient tile(kTile.topLeft(), kTile.bottomLeft());
    tile.setColorAt(0, kTileTop);
    tile.setColorAt(1, kTileBottom);
    painter.setPen(Qt::NoPen);
    painter.setBrush(tile);
    painter.drawRoundedRect(kTile, kTileRadius, kTileRadius);

    QPen wave(kWaveColour, kWaveWidth, Qt::SolidLine, Qt::RoundCap);
    painter.setPen(wave);
    painter.setBrush(Qt::NoBrush);
    for (double radius : kWaveRadii)
        for (double direction : {0.0, 180.0}) {
            const QRectF circle(kAntennaTip.x() - radius, kAntennaTip.y() - radius, 2 * radius, 2 * radius);
            // Qt counts angles counter-clockwise in sixteenths of a degree.
            painter.drawArc(circle, static_cast<int>((direction - kWaveHalfAngle) * 16),
                            static_cast<int>(2 * kWaveHalfAngle * 16));
        }

    painter.setPen(QPen(kBoardColour, kAntennaWidth, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(kAntennaFoot, kAntennaTip);
    painter.setPen(Qt::NoPen);
    painter.setBrush(kBoardColour);
    painter.drawRoundedRect(kBoard, kBoardRadius, kBoardRadius);
    painter.setBrush(kChipColour);
    painter.drawRoundedRect(kChip, 4, 4);
    painter.setBrush(kLedColour);
    painter.drawEllipse(kLed, kLedRadius, kLedRadius);
    painter.restore();
}

QImage Icon(int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    PaintIcon(painter, QRectF(0, 0, size, size));
    return image;
}

QImage Banner(const QString& subtitleText) {
    QImage image(kBannerWidth, kBannerHeight, QImage::Format_RGB32);
    image.fill(kPaneBackground);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);

    // Faint waves across the right part, as if from the icon's antenna.
    painter.setPen(QPen(QColor(0x2E, 0x86, 0xDE, 40), 3, Qt::SolidLine, Qt::RoundCap));
    for (int i = 0; i < 4; ++i) {
        const double radius = 40 + 22 * i;
        painter.drawArc(QRectF(250 - radius, 31 - radius, 2 * radius, 2 * radius), -30 * 16, 60 * 16);
    }

    PaintIcon(painter, QRectF(6, 4, 55, 55));

    QFont title(QStringLiteral("DejaVu Sans"));
    title.setPixelSize(22);
    title.setBold(true);
    painter.setFont(title);
    painter.setPen(kTitleColour);
    painter.drawText(QRectF(70, 6, 200, 28), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Qrvtune"));

    QFont subtitle(QStringLiteral("WenQuanYi Micro Hei"));
    subtitle.setPixelSize(13);
    painter.setFont(subtitle);
    painter.setPen(kSubtitleColour);
    painter.drawText(QRectF(71, 35, 260, 20), Qt::AlignLeft | Qt::AlignVCenter, subtitleText);
    return image;
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: qrvtune_art OUTPUT_DIR\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    bool written = true;
    QFile svg(out.filePath(QStringLiteral("qrvtune.svg")));
    written &= svg.open(QIODevice::WriteOnly | QIODevice::Truncate) && svg.write(IconSvg().toUtf8()) > 0;
    for (int size : {48, 128, 256})
        written &= Icon(size).save(out.filePath(QStringLiteral("qrvtune-%1.png").arg(size)), "PNG");
    // The pane reads the format from the bytes; the name is the program's own.
    written &= Banner(QStringLiteral("2.4 GHz 无线模块配置工具")).save(out.filePath(QStringLiteral("dadar.gxd")), "PNG");
    // The English interface shows its own banner when it lies beside the program.
    written &= Banner(QStringLiteral("2.4 GHz radio module configurator"))
                   .save(out.filePath(QStringLiteral("dadar_en.gxd")), "PNG");
    if (!written) {
        std::fprintf(stderr, "qrvtune_art: cannot write into %s\n", argv[1]);
        return 1;
    }
    return 0;
}
