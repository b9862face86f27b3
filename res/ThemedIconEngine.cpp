#include "res/ThemedIconEngine.h"

#include <QPainter>

namespace res {

ThemedIconEngine::ThemedIconEngine(QString name, std::function<QIcon()> fallback)
    : m_name(std::move(name)), m_fallback(std::move(fallback)) {}

const QIcon& ThemedIconEngine::Resolved() {
    if (!m_icon) {
        QIcon themed = QIcon::fromTheme(m_name); // one lookup: asking first would be a second
        m_icon = themed.isNull() || themed.availableSizes().isEmpty() ? m_fallback() : themed;
    }
    return *m_icon;
}

void ThemedIconEngine::paint(QPainter* painter, const QRect& rect, QIcon::Mode mode,
                             QIcon::State state) {
    Resolved().paint(painter, rect, Qt::AlignCenter, mode, state);
}

QSize ThemedIconEngine::actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) {
    return Resolved().actualSize(size, mode, state);
}

QPixmap ThemedIconEngine::pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) {
    return Resolved().pixmap(size, mode, state);
}

QPixmap ThemedIconEngine::scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state,
                                       qreal scale) {
    return Resolved().pixmap(size, scale, mode, state);
}

QList<QSize> ThemedIconEngine::availableSizes(QIcon::Mode mode, QIcon::State state) {
    return Resolved().availableSizes(mode, state);
}

QString ThemedIconEngine::iconName() {
    return Resolved().name();
}

bool ThemedIconEngine::isNull() {
    // Qt's own pictures stand in for any the theme lacks: the icon is never empty, and asking
    // does not look it up yet.
    return m_icon ? m_icon->isNull() : false;
}

QString ThemedIconEngine::key() const {
    return QStringLiteral("LumarestThemedIconEngine");
}

QIconEngine* ThemedIconEngine::clone() const {
    return new ThemedIconEngine(*this);
}

} // namespace res
