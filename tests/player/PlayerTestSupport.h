// Shared steps of the player tests: media made once per test program, the whole
// program started for each test, and player windows opened in it.
#pragma once

#include "AppHarness.h"
#include "MediaFixtures.h"

#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <map>
#include <memory>

class CLumarestDoc;
class CLumarestView;
class CMainFrame;
class CStatusBar;
class QAction;

namespace playertest {

// Generated once per program and kept until it ends.
class MediaFolder {
public:
    static MediaFolder& instance();
    QString path(fixtures::Media kind);
    // A 5-second medium of the kind under another name, made once per name.
    QString copy(fixtures::Media kind, const QString& name, int seconds = 5);
    // Silent 8-bit mono PCM written by hand: long media cost next to nothing at a low rate.
    QString pcm(int seconds, int rate = 100);
    QString dir() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
    std::map<fixtures::Media, QString> m_made;
    std::map<QString, QString> m_named;
};

// The view of the document's first window.
CLumarestView* ViewOf(CLumarestDoc* doc);

// One tick of the view's clock once its medium has played to its end (at once for a
// still image or a view with nothing loaded): the tick that sees the end. The view's
// own clock is stopped first.
void TickAtTheEnd(CLumarestView* view);

// The entries a Player submenu lists as it opens, the checked one marked with "*"; with
// choose, the action of the entry named chosen.
QStringList submenu(CMainFrame& frame, const QString& title, QAction** choose = nullptr,
                    const QString& chosen = {});

class PlayerTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A player window for the file, opened through the player template as
    // File/Open does; null when the framework refused to open it.
    CLumarestView* open(const QString& path);
    // An empty player window, ready for Play.
    CLumarestView* emptyPlayer();
    CStatusBar& bar();
    QString pane(int index);
    // Gives the view the keyboard focus inside the active main window.
    void focus(CLumarestView* view);
    long graphVolume(CLumarestView* view);

    std::unique_ptr<AppHarness> harness;
};

} // namespace playertest
