// A player window's sound and subtitle tracks: their labels from the tags, the Player
// menu's lists, the # and J keys, and switching without losing the place.
#include "PlayerTestSupport.h"
#include "PlayerViewProbe.h"

#include "app/CMainFrame.h"
#include "player/CLumarestView.h"
#include "player/TrackChoices.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

using playertest::MediaFolder;
using playertest::PlayerTest;
using playertest::submenu;

namespace {

TEST(TrackLabels, FromLanguageAndTitle) {
    const struct {
        const char* language;
        const char* title;
        int index;
        const char* label;
    } rows[] = {
        {"fr", "", 0, "French"},       {"fra", "", 0, "French"},
        {"fre", "", 0, "French"},      {"eng", "Commentary", 1, "English \u2013 Commentary"},
        {"de", "German", 0, "German"}, {"", "Director", 3, "Director"},
        {"", "", 1, "Track 2"},        {"und", " ", 2, "Track 3"},
        {"qaa", "", 0, "qaa"},
    };
    for (const auto& row : rows) {
        const media::TrackTags tags{QString::fromUtf8(row.language), QString::fromUtf8(row.title)};
        EXPECT_EQ(TrackLabel(tags, row.index), QString::fromUtf8(row.label)) << row.language;
    }
}

TEST(TrackLabels, NextTrackGoesRound) {
    const struct {
        int current, count;
        bool withNone;
        int next;
    } rows[] = {
        {0, 2, false, 1}, {1, 2, false, 0}, {0, 1, false, 0},       {kNoTrack, 0, false, kNoTrack},
        {0, 2, true, 1},  {1, 2, true, -1}, {kNoTrack, 2, true, 0}, {kNoTrack, 0, true, kNoTrack},
        {5, 2, true, 0},
    };
    for (const auto& row : rows)
        EXPECT_EQ(NextTrack(row.current, row.count, row.withNone), row.next)
            << row.current << " of " << row.count;
}

int playbinTrack(CLumarestView* view, const char* property) {
    gint current = -1;
    g_object_get(Probe(view).m_pGB->Pipeline(), property, &current, nullptr);
    return current;
}

double seconds(CLumarestView* view) {
    return static_cast<double>(view->PositionUs()) / 1e6;
}

class Tracks : public PlayerTest {};

TEST_F(Tracks, ListedAndSwitchedInPlaceByMenuAndKeys) {
    const QString path = fixtures::makeTrackedFilm(MediaFolder::instance().dir(), "tracks.mkv", 20);
    ASSERT_FALSE(path.isEmpty());
    CLumarestView* view = open(path);
    ASSERT_NE(view, nullptr);
    focus(view);
    CMainFrame& frame = harness->frame();
    // The menu writes "&" as "&&", not as a shortcut's mark.
    const QString french = QStringLiteral("French \u2013 Notes && Commentary");
    EXPECT_EQ(submenu(frame, "Sound track"), QStringList({"*English", french}));
    EXPECT_EQ(submenu(frame, "Subtitle track"), QStringList({"None", "*German", "Track 2"}));

    // Chosen from the menu while playing: heard at once, where the medium was.
    ASSERT_TRUE(AppHarness::waitFor([&] { return seconds(view) >= 1.0; }, 15000));
    QAction* choose = nullptr;
    submenu(frame, "Sound track", &choose, french);
    ASSERT_NE(choose, nullptr);
    const double before = seconds(view);
    choose->trigger();
    AppHarness::pump(100);
    EXPECT_NEAR(seconds(view), before, 0.5);
    EXPECT_EQ(view->SoundTrack(), 1);
    EXPECT_EQ(playbinTrack(view, "current-audio"), 1);
    EXPECT_EQ(submenu(frame, "Sound track"), QStringList({"English", "*" + french}));

    // # goes round the sound tracks; J the subtitles, through none. The status bar says
    // which one a key chose.
    const struct {
        Qt::Key key;
        int sound, subtitle;
        const char* subtitleMenu;
        const char* note;
    } steps[] = {
        {Qt::Key_NumberSign, 0, 0, "None,*German,Track 2", " Sound: English"},
        {Qt::Key_J, 0, 1, "None,German,*Track 2", " Subtitles: Track 2"},
        {Qt::Key_NumberSign, 1, 1, "None,German,*Track 2",
         " Sound: French \u2013 Notes & Commentary"},
        {Qt::Key_J, 1, kNoTrack, "*None,German,Track 2", " Subtitles: None"},
        {Qt::Key_J, 1, 0, "None,*German,Track 2", " Subtitles: German"},
    };
    for (const auto& step : steps) {
        const double at = seconds(view);
        QTest::keyClick(view, step.key);
        AppHarness::pump(50);
        EXPECT_NEAR(seconds(view), at, 0.5) << step.key;
        EXPECT_EQ(view->SoundTrack(), step.sound) << step.key;
        EXPECT_EQ(playbinTrack(view, "current-audio"), step.sound);
        EXPECT_EQ(view->SubtitleTrack(), step.subtitle) << step.key;
        EXPECT_EQ(submenu(frame, "Subtitle track").join(','), step.subtitleMenu);
        EXPECT_EQ(pane(0), QString::fromUtf8(step.note));
    }
    EXPECT_EQ(playbinTrack(view, "current-text"), 0);

    // "None" hides the subtitles as View / Subtitles does; a track shows them again.
    submenu(frame, "Subtitle track", &choose, QStringLiteral("None"));
    choose->trigger();
    EXPECT_FALSE(Probe(view).m_bSubtitles);
    submenu(frame, "Subtitle track", &choose, QStringLiteral("Track 2"));
    choose->trigger();
    EXPECT_TRUE(Probe(view).m_bSubtitles);
    EXPECT_EQ(playbinTrack(view, "current-text"), 1);

    // The right button opens the same Player menu over the picture.
    QContextMenuEvent click(QContextMenuEvent::Mouse, view->rect().center(),
                            view->mapToGlobal(view->rect().center()));
    QApplication::sendEvent(view, &click);
    QMenu* player = frame.FindPopup(QStringLiteral("Player"));
    ASSERT_NE(player, nullptr);
    EXPECT_TRUE(AppHarness::waitFor([&] { return player->isVisible(); }));
    EXPECT_EQ(submenu(frame, "Subtitle track"), QStringList({"None", "German", "*Track 2"}));
    player->close();

    // A sound alone: its one track untagged, no subtitles to go round.
    CLumarestView* sound = open(MediaFolder::instance().path(fixtures::Media::Wav));
    ASSERT_NE(sound, nullptr);
    focus(sound);
    QTest::keyClick(sound, Qt::Key_J);
    QTest::keyClick(sound, Qt::Key_NumberSign);
    EXPECT_EQ(submenu(frame, "Sound track"), QStringList({"*Track 1"}));
    EXPECT_EQ(submenu(frame, "Subtitle track"), QStringList({"*None"}));
}

} // namespace
