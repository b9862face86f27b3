#include "desktop/WhenShown.h"

#include <QEvent>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <utility>

namespace desktop {
namespace {

// Watches the window's first exposure; runs the work once, from the event loop, after the
// exposure has been painted.
class ShownWatch : public QObject {
public:
    ShownWatch(QWidget& window, std::function<void()> run, std::chrono::milliseconds latest)
        : QObject(&window), m_run(std::move(run)) {
        if (QWindow* native = window.windowHandle())
            native->installEventFilter(this);
        QTimer::singleShot(latest, this, [this] { RunOnce(); });
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Expose && static_cast<QWindow*>(watched)->isExposed())
            QTimer::singleShot(0, this, [this] { RunOnce(); });
        return false;
    }

private:
    void RunOnce() {
        if (!m_run)
            return;
        std::exchange(m_run, nullptr)();
        deleteLater();
    }

    std::function<void()> m_run;
};

} // namespace

void WhenShown(QWidget& window, std::function<void()> run, std::chrono::milliseconds latest) {
    // Owned by the window, gone once it has run.
    new ShownWatch(window, std::move(run), latest);
}

} // namespace desktop
