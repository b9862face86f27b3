// The floor of the start-up benchmark: the same start-up work as the player's, done the
// shortest way Qt and SQLite offer. A main window of 1024x720 with four menus, a toolbar of
// eight themed buttons, a status bar with three indicators and an MDI area; the recent-file list
// read from the settings and the start folder written to them; a catalogue file opened in the
// working folder (made with its table when missing). Not run by itself: bench_startup starts it.
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QMainWindow>
#include <QMdiArea>
#include <QMenuBar>
#include <QSettings>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <sqlite3.h>

#include <memory>
#include <utility>

namespace {

struct CloseDatabase {
    void operator()(sqlite3* db) const { sqlite3_close(db); }
};
using Database = std::unique_ptr<sqlite3, CloseDatabase>;

Database OpenCatalogue() {
    sqlite3* raw = nullptr;
    sqlite3_open_v2("Bare.mdb", &raw, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    Database db(raw);
    sqlite3_exec(db.get(),
                 "CREATE TABLE IF NOT EXISTS FILES (ID_Files INTEGER PRIMARY KEY, Name TEXT, "
                 "Extention TEXT, Size INTEGER, DateCreated TEXT, Directory TEXT)",
                 nullptr, nullptr, nullptr);
    return db;
}

void AddMenus(QMainWindow& window) {
    const char* const menus[][7] = {
        {"&File", "&Open...", "&Close", "&Save", "Print Set&up...", "Recent File", "E&xit"},
        {"&View", "&Toolbar", "&Status Bar", "&Play List", "&Parameters...", nullptr, nullptr},
        {"&Playlist", "&Play selected", "&Delete selected", nullptr, nullptr, nullptr, nullptr},
        {"&Help", "&Help Topics", "&About...", nullptr, nullptr, nullptr, nullptr}};
    for (const auto& items : menus) {
        QMenu* menu = window.menuBar()->addMenu(QString::fromUtf8(items[0]));
        for (int i = 1; i < 7 && items[i]; ++i)
            menu->addAction(QString::fromUtf8(items[i]));
    }
}

void AddToolBar(QMainWindow& window) {
    QToolBar* bar = window.addToolBar(QStringLiteral("Standard"));
    // The desktop theme's icons where it has them, as the player's toolbar shows.
    const std::pair<const char*, QStyle::StandardPixmap> icons[] = {
        {"document-open", QStyle::SP_DialogOpenButton},
        {"view-media-playlist", QStyle::SP_FileDialogDetailedView},
        {"media-skip-forward", QStyle::SP_MediaSkipForward},
        {"media-playback-start", QStyle::SP_MediaPlay},
        {"media-playback-pause", QStyle::SP_MediaPause},
        {"view-fullscreen", QStyle::SP_TitleBarMaxButton},
        {"audio-volume-high", QStyle::SP_MediaVolume},
        {"preferences-system", QStyle::SP_FileDialogInfoView}};
    for (const auto& [name, fallback] : icons)
        bar->addAction(
            QIcon::fromTheme(QString::fromLatin1(name), window.style()->standardIcon(fallback)),
            QString());
}

void AddStatusBar(QMainWindow& window) {
    window.statusBar()->showMessage(QStringLiteral("Ready"));
    for (const char* text : {"CAP", "NUM", "SCRL"})
        window.statusBar()->addPermanentWidget(new QLabel(QString::fromLatin1(text)));
}

} // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QSettings settings(QStringLiteral("Orvenhal"), QStringLiteral("BareMainWindow"));
    QStringList recent;
    for (int i = 1; i <= 16; ++i)
        recent << settings.value(QStringLiteral("Recent File List/File%1").arg(i)).toString();
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Bare"));
    AddMenus(window);
    AddToolBar(window);
    AddStatusBar(window);
    window.setCentralWidget(new QMdiArea);
    settings.setValue(QStringLiteral("Directories/Dir_exe"),
                      QDir::toNativeSeparators(QDir::currentPath()));
    const Database catalogue = OpenCatalogue();
    window.resize(1024, 720);
    window.show();
    return QApplication::exec();
}
