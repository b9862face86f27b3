#pragma once
// A toolbar picture found in the desktop's icon theme, or else the fallback given, looked up
// when it is first drawn or measured: the lookups and the fallback's picture files are read
// once the main window is on screen rather than while the program starts.
#include <QIconEngine>

#include <functional>
#include <optional>

namespace res {

class ThemedIconEngine : public QIconEngine {
public:
    ThemedIconEngine(QString name, std::function<QIcon()> fallback);

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override;
    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override;
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override;
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state,
                         qreal scale) override;
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override;
    QString iconName() override;
    bool isNull() override;
    QString key() const override;
    QIconEngine* clone() const override;

    // The picture this engine stands for (looked up on the first call).
    const QIcon& Resolved();

private:
    QString m_name;
    std::function<QIcon()> m_fallback;
    std::optional<QIcon> m_icon;
};

} // namespace res
