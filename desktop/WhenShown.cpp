#include "desktop/WhenShown.h"

#include <QEvent>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <utility>

namespace desktop {
namespace {

// A window that is not shown within this time gets what it waits for all the same.
constexpr int kLatestMs = 1000;

// Watches the window's first exposure; runs the work once, from the event loop, after the
// exposure has been painted.
class ShownWatch : public QObject {
public:
    ShownWatch(QWidget& window, std::function<void()> run)
        : QObject(&window), m_run(std::move(run)) {
        if (QWindow* native = window.windowHandle())
            native->installEventFilter(this);
        QTimer::singleShot(kLatestMs, this, [this] { RunOnce(); });
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

void WhenShown(QWidget& window, std::function<void()> run) {
    new ShownWatch(window, std::move(run)); // owned by the window, gone once it has run
}

} // namespace desktop
