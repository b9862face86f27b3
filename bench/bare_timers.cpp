// The floor of the idle benchmark: what the program's design costs at rest and nothing more.
// A main window with an MDI area and, for each player the program would have open, one
// one-second timer and one 10 ms timer that do nothing. Not run by itself: bench_idle starts
// it with the number of players as its argument.
#include <QApplication>
#include <QMainWindow>
#include <QMdiArea>
#include <QTimer>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QMainWindow window;
    window.setCentralWidget(new QMdiArea(&window));
    window.resize(1024, 720);
    window.show();
    const int players = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 0;
    for (int i = 0; i < players; ++i) {
        for (int period : {1000, 10}) {
            auto* timer = new QTimer(&window);
            QObject::connect(timer, &QTimer::timeout, [] {});
            timer->start(period);
        }
    }
    return app.exec();
}
