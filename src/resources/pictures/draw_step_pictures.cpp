// Draws the wizard's four step pictures (135 x 240 px) at build time: the meter of each model on the
// introduction page (164 "BD Logic", 184 "Paradigm Link") and its cable to the computer's serial port on the
// port page (1164, 1184). Usage: draw_step_pictures OUTPUT_DIR
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <cstdio>

namespace {

constexpr int kWidth = 135;
constexpr int kHeight = 240;

struct Model {
    const char* name;
    QColor body;
    QColor bodyDark;
    QColor accent;
    bool round; // the Paradigm Link has a rounder case with a round display
};

const Model kBdLogic{"BD Logic", QColor(0x1f, 0x4e, 0x8c), QColor(0x12, 0x2f, 0x57), QColor(0xf2, 0xa9, 0x00),
                     false};
const Model kParadigmLink{"Paradigm Link", QColor(0x8a, 0x94, 0x9e), QColor(0x4d, 0x55, 0x5e),
                          QColor(0xe0, 0x5a, 0x1b), true};

void Background(QPainter& p) {
    QLinearGradient g(0, 0, 0, kHeight);
    g.setColorAt(0, QColor(0xea, 0xf1, 0xfa));
    g.setColorAt(1, QColor(0xc4, 0xd6, 0xec));
    p.fillRect(QRect(0, 0, kWidth, kHeight), g);
}

// The meter, drawn into the rectangle `r` (portrait).
void Meter(QPainter& p, const QRectF& r, const Model& m, bool withStrip) {
    p.save();
    // Test strip sticking out of the top.
    if (withStrip) {
        const QRectF strip(r.center().x() - 7, r.top() - 26, 14, 34);
        p.setPen(QPen(QColor(0x70, 0x70, 0x70), 1));
        p.setBrush(QColor(0xfa, 0xfa, 0xf4));
        p.drawRect(strip);
        p.setBrush(QColor(0xc0, 0x1b, 0x1b));
        p.drawEllipse(QPointF(strip.center().x(), strip.top() + 6), 3, 3);
    }
    // Case.
    QLinearGradient g(r.topLeft(), r.topRight());
    g.setColorAt(0, m.body.lighter(125));
    g.setColorAt(1, m.body);
    p.setPen(QPen(m.bodyDark, 2));
    p.setBrush(g);
    const qreal radius = m.round ? r.width() * 0.42 : 14;
    p.drawRoundedRect(r, radius, m.round ? radius * 0.8 : radius);

    // Display.
    const QRectF screen = m.round ? QRectF(r.left() + 14, r.top() + 22, r.width() - 28, r.width() - 28)
                                  : QRectF(r.left() + 12, r.top() + 18, r.width() - 24, r.height() * 0.36);
    p.setPen(QPen(QColor(0x20, 0x20, 0x20), 2));
    p.setBrush(QColor(0xc9, 0xdb, 0xb2));
    if (m.round)
        p.drawEllipse(screen);
    else
        p.drawRoundedRect(screen, 5, 5);
    QFont digits(QStringLiteral("Sans"));
    digits.setPixelSize(m.round ? 20 : 24);
    digits.setBold(true);
    p.setFont(digits);
    p.setPen(QColor(0x1a, 0x24, 0x10));
    p.drawText(screen.adjusted(0, -4, 0, -4), Qt::AlignCenter, QStringLiteral("123"));
    QFont unit(QStringLiteral("Sans"));
    unit.setPixelSize(8);
    p.setFont(unit);
    if (m.round)
        p.drawText(screen.adjusted(0, 0, 0, -12), Qt::AlignHCenter | Qt::AlignBottom,
                   QStringLiteral("mg/dL"));
    else
        p.drawText(screen.adjusted(0, 0, -6, -4), Qt::AlignRight | Qt::AlignBottom, QStringLiteral("mg/dL"));

    // Name plate.
    QFont plate(QStringLiteral("Sans"));
    plate.setPixelSize(m.round ? 9 : 11);
    plate.setBold(true);
    p.setFont(plate);
    p.setPen(Qt::white);
    const qreal plateTop = screen.bottom() + 6;
    p.drawText(QRectF(r.left(), plateTop, r.width(), 16), Qt::AlignCenter, QString::fromLatin1(m.name));

    // Buttons.
    p.setPen(QPen(m.bodyDark, 1.5));
    p.setBrush(m.accent);
    const qreal by = plateTop + 26;
    if (m.round) {
        p.drawEllipse(QPointF(r.center().x(), by + 6), 11, 11);
        p.setBrush(m.body.lighter(150));
        p.drawEllipse(QPointF(r.center().x() - 24, by + 16), 6, 6);
        p.drawEllipse(QPointF(r.center().x() + 24, by + 16), 6, 6);
    } else {
        p.drawRoundedRect(QRectF(r.left() + 14, by, 24, 12), 5, 5);
        p.drawRoundedRect(QRectF(r.right() - 38, by, 24, 12), 5, 5);
        p.setBrush(m.body.lighter(150));
        p.drawEllipse(QPointF(r.center().x(), by + 24), 9, 9);
    }
    p.restore();
}

// The computer end of the cable: a 9-pin serial plug, pins up, the cable leaving its grip at the bottom.
void SerialPlug(QPainter& p, QPointF top) {
    p.save();
    QPainterPath shell;
    shell.moveTo(top.x() - 22, top.y());
    shell.lineTo(top.x() + 22, top.y());
    shell.lineTo(top.x() + 17, top.y() + 16);
    shell.lineTo(top.x() - 17, top.y() + 16);
    shell.closeSubpath();
    p.setPen(QPen(QColor(0x40, 0x40, 0x40), 1.5));
    p.setBrush(QColor(0xb8, 0xbe, 0xc4));
    p.drawPath(shell);
    p.setBrush(QColor(0x30, 0x30, 0x30));
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 5; ++i)
        p.drawEllipse(QPointF(top.x() - 14 + i * 7, top.y() + 5), 1.6, 1.6);
    for (int i = 0; i < 4; ++i)
        p.drawEllipse(QPointF(top.x() - 10.5 + i * 7, top.y() + 11), 1.6, 1.6);
    p.setPen(QPen(QColor(0x30, 0x30, 0x30), 1.5));
    p.setBrush(QColor(0x55, 0x5b, 0x63));
    p.drawRoundedRect(QRectF(top.x() - 15, top.y() + 16, 30, 20), 3, 3);
    p.restore();
}

void Computer(QPainter& p, const QRectF& r) {
    p.save();
    p.setPen(QPen(QColor(0x3a, 0x3a, 0x3a), 2));
    p.setBrush(QColor(0xe8, 0xe8, 0xe8));
    p.drawRoundedRect(r, 4, 4);
    p.setBrush(QColor(0x3d, 0x7c, 0xc9));
    p.setPen(Qt::NoPen);
    p.drawRect(r.adjusted(6, 6, -6, -12));
    p.setPen(QPen(QColor(0x3a, 0x3a, 0x3a), 2));
    p.drawLine(QPointF(r.center().x(), r.bottom()), QPointF(r.center().x(), r.bottom() + 8));
    p.drawLine(QPointF(r.center().x() - 14, r.bottom() + 8), QPointF(r.center().x() + 14, r.bottom() + 8));
    p.restore();
}

QImage IntroPicture(const Model& m) {
    QImage img(kWidth, kHeight, QImage::Format_RGB32);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    Background(p);
    Meter(p, QRectF(22, 44, 91, 168), m, true);
    if (m.round) {
        // The Link sends its readings on: a few radio waves beside the case.
        p.setPen(QPen(m.accent, 2.5, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        for (int i = 1; i <= 3; ++i)
            p.drawArc(QRectF(100 - i * 7, 20 - i * 7, i * 14, i * 14), 0 * 16, 90 * 16);
    }
    return img;
}

QImage PortPicture(const Model& m) {
    QImage img(kWidth, kHeight, QImage::Format_RGB32);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    Background(p);
    Computer(p, QRectF(62, 10, 64, 48));

    // The meter at three fifths of its size, bottom left.
    constexpr qreal kScale = 0.6;
    const QRectF full(0, 0, 91, 168);
    const QPointF meterAt(8, 128);
    p.save();
    p.translate(meterAt);
    p.scale(kScale, kScale);
    Meter(p, full, m, false);
    p.restore();

    // The cable runs from the meter's side socket up to the plug's grip.
    const QPointF plugTop(94, 92);
    const QPointF socket(meterAt.x() + full.width() * kScale - 1, meterAt.y() + 60);
    const QPointF grip(plugTop.x(), plugTop.y() + 36);
    QPainterPath cable(socket);
    cable.cubicTo(socket + QPointF(40, 0), grip + QPointF(0, 50), grip);
    p.setPen(QPen(QColor(0x22, 0x22, 0x22), 4, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawPath(cable);
    p.setPen(QPen(m.accent, 1.5));
    p.drawPath(cable);
    p.setPen(QPen(QColor(0x22, 0x22, 0x22), 2));
    p.setBrush(QColor(0x22, 0x22, 0x22));
    p.drawEllipse(socket, 3, 3);
    SerialPlug(p, plugTop);

    // Into the computer's serial port.
    p.setPen(QPen(QColor(0x1b, 0x6a, 0x1b), 2.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(plugTop.x(), plugTop.y() - 6), QPointF(plugTop.x(), 72));
    p.drawLine(QPointF(plugTop.x(), 72), QPointF(plugTop.x() - 5, 78));
    p.drawLine(QPointF(plugTop.x(), 72), QPointF(plugTop.x() + 5, 78));
    QFont label(QStringLiteral("Sans"));
    label.setPixelSize(12);
    label.setBold(true);
    p.setFont(label);
    p.setPen(QColor(0x22, 0x22, 0x22));
    p.drawText(QRectF(6, 92, 60, 18), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("COM"));
    return img;
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: draw_step_pictures OUTPUT_DIR\n");
        return 2;
    }
    QGuiApplication app(argc, argv);
    const QDir out(QString::fromLocal8Bit(argv[1]));
    if (!out.mkpath(QStringLiteral("."))) return 1;
    const struct {
        int id;
        QImage image;
    } pictures[] = {
        {164, IntroPicture(kBdLogic)},
        {184, IntroPicture(kParadigmLink)},
        {1164, PortPicture(kBdLogic)},
        {1184, PortPicture(kParadigmLink)},
    };
    for (const auto& picture : pictures) {
        if (!picture.image.save(out.filePath(QString::number(picture.id) + QStringLiteral(".png")))) return 1;
    }
    return 0;
}
