#include "res/PaletteGlyph.h"

#include <QGuiApplication>
#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPalette>
#include <QPen>

#include <algorithm>

namespace res {
namespace {

// A triangle pointing right, from left to right across the height of box.
QPainterPath Triangle(qreal left, qreal right, const QRectF& box) {
    QPainterPath triangle;
    triangle.moveTo(left, box.top());
    triangle.lineTo(right, box.center().y());
    triangle.lineTo(left, box.bottom());
    triangle.closeSubpath();
    return triangle;
}

class PaletteGlyphEngine : public QIconEngine {
public:
    explicit PaletteGlyphEngine(Glyph glyph) : m_glyph(glyph) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State) override {
        const QPalette palette = QGuiApplication::palette();
        const QColor ink = palette.color(
            mode == QIcon::Disabled ? QPalette::Disabled : QPalette::Active, QPalette::ButtonText);
        // A square in the middle of the rectangle, with a margin as the themes leave one.
        const qreal side = std::min(rect.width(), rect.height()) * 0.75;
        const QRectF box(rect.center().x() - side / 2 + 0.5, rect.center().y() - side / 2 + 0.5,
                         side, side);
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        painter->setPen(Qt::NoPen);
        painter->setBrush(ink);
        switch (m_glyph) {
        case Glyph::Play:
            painter->drawPath(Triangle(box.left() + side * 0.15, box.right() - side * 0.05, box));
            break;
        case Glyph::Pause: {
            const qreal bar = side * 0.3;
            painter->drawRect(QRectF(box.left() + side * 0.1, box.top(), bar, side));
            painter->drawRect(QRectF(box.right() - side * 0.1 - bar, box.top(), bar, side));
            break;
        }
        case Glyph::SkipForward: {
            const qreal half = side * 0.4;
            painter->drawPath(Triangle(box.left(), box.left() + half, box));
            painter->drawPath(Triangle(box.left() + half, box.left() + 2 * half, box));
            painter->drawRect(QRectF(box.left() + 2 * half, box.top(), side * 0.16, side));
            break;
        }
        case Glyph::FullScreen: {
            // A screen's outline with a thick top edge, as a window maximised.
            const qreal line = std::max<qreal>(1.0, side * 0.1);
            painter->setBrush(Qt::NoBrush);
            painter->setPen(QPen(ink, line));
            painter->drawRect(box.adjusted(line / 2, line / 2, -line / 2, -line / 2));
            painter->fillRect(QRectF(box.left(), box.top(), side, side * 0.25), ink);
            break;
        }
        }
        painter->restore();
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return scaledPixmap(size, mode, state, 1.0);
    }

    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state,
                         qreal scale) override {
        QPixmap pixmap(size * scale);
        pixmap.setDevicePixelRatio(scale);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        paint(&painter, QRect(QPoint(0, 0), size), mode, state);
        return pixmap;
    }

    QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override { return size; }
    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override {
        return {QSize(16, 16), QSize(22, 22), QSize(24, 24), QSize(32, 32), QSize(48, 48)};
    }
    QString key() const override { return QStringLiteral("LumarestPaletteGlyphEngine"); }
    QIconEngine* clone() const override { return new PaletteGlyphEngine(m_glyph); }

private:
    Glyph m_glyph;
};

} // namespace

QIcon PaletteGlyphIcon(Glyph glyph) {
    return QIcon(new PaletteGlyphEngine(glyph));
}

} // namespace res
