// Picking up where a long medium was left: the store of positions on its own, its rules,
// and the player opening a six-minute video or sound again where it was closed.
#include "tests/player/PlayerTestSupport.h"

#include "app/CMainFrame.h"
#include "platform/dao/DaoException.h"
#include "platform/dao/PositionStore.h"
#include "player/CLumarestDoc.h"
#include "player/CLumarestView.h"
#include "player/PlayerTexts.h"
#include "player/ResumePositions.h"
#include "res/Resource.h"

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <cstdlib>
#include <optional>

using lumarest::dao::PositionStore;
using playertest::MediaFolder;

namespace {

TEST(PositionStoreTest, WritesReadsForgetsAndKeepsTheLatest) {
    QTemporaryDir dir;
    const QString file = dir.path() + QStringLiteral("/made/below/positions.sqlite");
    {
        PositionStore store(file, 3);
        store.Write(QStringLiteral("/films/a.mkv"), 200'000);
        store.Write(QStringLiteral("/films/a.mkv"), 205'000); // the same row, moved on
        store.Write(QStringLiteral("/films/b.mkv"), 1'000);
        store.Write(QStringLiteral("/films/c.mkv"), 2'000);
        EXPECT_EQ(store.Count(), 3);
        EXPECT_EQ(store.Read(QStringLiteral("/films/a.mkv")), 205'000);
        EXPECT_EQ(store.Read(QStringLiteral("/films/elsewhere.mkv")), std::nullopt);
        store.Forget(QStringLiteral("/films/b.mkv"));
        EXPECT_EQ(store.Read(QStringLiteral("/films/b.mkv")), std::nullopt);
        EXPECT_EQ(store.Count(), 2);
        store.Write(QStringLiteral("/films/d.mkv"), 3'000);
        store.Write(QStringLiteral("/films/a.mkv"), 210'000); // a is written last now
        store.Write(QStringLiteral("/films/e.mkv"), 4'000);   // over the capacity: c goes
        EXPECT_EQ(store.Count(), 3);
        EXPECT_EQ(store.Read(QStringLiteral("/films/c.mkv")), std::nullopt);
    }
    PositionStore again(file, 3); // kept in the file
    EXPECT_EQ(again.Count(), 3);
    EXPECT_EQ(again.Read(QStringLiteral("/films/a.mkv")), 210'000);
    EXPECT_EQ(again.Read(QStringLiteral("/films/d.mkv")), 3'000);
    // A folder that cannot be made is an error of the store, not of the program.
    EXPECT_THROW(PositionStore(QStringLiteral("/proc/none/positions.sqlite")), CDaoException);
}

// Its size is a figure of the benches (bench_everyday).
TEST(PositionStoreTest, KeepsTheTenThousandWrittenLast) {
    QTemporaryDir dir;
    const QString file = dir.path() + QStringLiteral("/positions.sqlite");
    const QString folder = QStringLiteral("/home/someone/Videos/") + QString(160, QLatin1Char('x'));
    {
        PositionStore store(file);
        for (int i = 0; i < PositionStore::kDefaultCapacity + 50; ++i)
            store.Write(folder + QStringLiteral("/film %1.mkv").arg(i), 1000LL * i);
        EXPECT_EQ(store.Count(), PositionStore::kDefaultCapacity);
        EXPECT_EQ(store.Read(folder + QStringLiteral("/film 49.mkv")), std::nullopt);
        EXPECT_EQ(store.Read(folder + QStringLiteral("/film 50.mkv")), 50'000);
    }
    EXPECT_EQ(PositionStore(file).Count(), PositionStore::kDefaultCapacity);
}

struct PointRow {
    int64_t lengthMs, positionMs;
    std::optional<int64_t> resumes;
};

TEST(ResumeRulesTest, LongMediaAwayFromTheirEnds) {
    const PointRow rows[] = {
        {360'000, 200'000, 200'000},
        {300'000, 200'000, std::nullopt}, // five minutes is short
        {300'001, 200'000, 200'000},
        {360'000, 4'000, std::nullopt},   // at its start
        {360'000, 356'000, std::nullopt}, // at its end
        {7'200'000, 3'723'000, 3'723'000},
    };
    for (const PointRow& row : rows)
        EXPECT_EQ(resume::ResumePoint(row.lengthMs, row.positionMs), row.resumes)
            << row.lengthMs << " " << row.positionMs;
    EXPECT_EQ(ResumedText(754'900), QStringLiteral(" Resumed at 12:34"));
    EXPECT_EQ(ResumedText(3'723'000), QStringLiteral(" Resumed at 1:02:03"));
}

// A video of a plain picture at one frame a second, a key frame every ten.
QString SlowVideo(const QString& dir, const QString& name, int seconds) {
    const QString path = dir + QLatin1Char('/') + name;
    if (QFileInfo::exists(path))
        return path;
    const QString ffmpeg = QStandardPaths::findExecutable(QStringLiteral("ffmpeg"));
    if (ffmpeg.isEmpty())
        return {};
    const int status = QProcess::execute(
        ffmpeg, QStringList{"-v", "error", "-f", "lavfi", "-i", "color=size=64x48:rate=1", "-t",
                            QString::number(seconds), "-c:v", "libx264", "-preset", "ultrafast",
                            "-g", "10", "-pix_fmt", "yuv420p", path});
    return status == 0 ? path : QString();
}

class Resume : public playertest::PlayerTest {
protected:
    CLumarestView* openFocused(const QString& path) {
        CLumarestView* view = open(path);
        if (view)
            focus(view);
        return view;
    }
    static bool near(CLumarestView* view, int second) {
        return AppHarness::waitFor(
            [&] { return std::abs(view->PositionUs() / 1'000'000 - second) <= 2; });
    }
    static void close(CLumarestView* view) { view->GetDocument()->OnCloseDocument(); }
};

struct MediumRow {
    const char* what;
    QString path;
    bool resumes;
};

// Closed at 200 s (or mid-way), opened again: the long ones are there, and say so.
TEST_F(Resume, LongMediaOpenWhereTheyWereClosed) {
    MediaFolder& media = MediaFolder::instance();
    const QString video = SlowVideo(media.dir(), QStringLiteral("six minutes.mp4"), 360);
    ASSERT_FALSE(video.isEmpty()) << "ffmpeg could not make the video";
    const MediumRow rows[] = {
        {"video", video, true},
        {"sound", media.pcm(360), true},
        {"short video", SlowVideo(media.dir(), QStringLiteral("one minute.mp4"), 60), false},
        {"short sound", media.pcm(60), false},
    };
    for (const MediumRow& row : rows) {
        SCOPED_TRACE(row.what);
        const int at = row.resumes ? 200 : 30;
        CLumarestView* view = openFocused(row.path);
        ASSERT_NE(view, nullptr);
        ASSERT_TRUE(view->SeekTo(at));
        ASSERT_TRUE(near(view, at));
        close(view);
        EXPECT_EQ(resume::Recall(row.path).has_value(), row.resumes);

        view = openFocused(row.path);
        ASSERT_NE(view, nullptr);
        EXPECT_TRUE(near(view, row.resumes ? at : 0));
        // The ticks leave the note for a few seconds; then the time comes back.
        view->OnTimer(CLumarestView::kTickTimer);
        EXPECT_EQ(pane(0).startsWith(QStringLiteral(" Resumed at 3:2")), row.resumes)
            << pane(0).toStdString();
        EXPECT_TRUE(AppHarness::waitFor(
            [&] { return pane(0).startsWith(QStringLiteral(" Time:")); }, 6000));
        close(view);
    }
}

// Written while it plays; Start over goes back to 0 and forgets it; its end forgets it too.
TEST_F(Resume, KeptWhilePlayingForgottenByStartOverAndEnd) {
    const QString sound = MediaFolder::instance().pcm(361);
    CLumarestView* view = openFocused(sound);
    ASSERT_NE(view, nullptr);
    ASSERT_TRUE(view->SeekTo(120));
    EXPECT_TRUE(
        AppHarness::waitFor([&] { return resume::Recall(sound).value_or(0) >= 120'000; }, 8000));
    EXPECT_TRUE(harness->frame().QueryCommand(ID_PLAYER_STARTOVER).m_bEnabled);
    ASSERT_TRUE(harness->frame().SendCommand(ID_PLAYER_STARTOVER));
    EXPECT_TRUE(near(view, 0));
    EXPECT_EQ(resume::Recall(sound), std::nullopt);

    ASSERT_TRUE(view->SeekTo(150));
    ASSERT_TRUE(near(view, 150));
    close(view);
    ASSERT_EQ(resume::Recall(sound).has_value(), true);
    view = openFocused(sound);
    ASSERT_NE(view, nullptr);
    ASSERT_TRUE(near(view, 150));
    ASSERT_TRUE(view->SeekTo(360));
    playertest::TickAtTheEnd(view);
    EXPECT_EQ(resume::Recall(sound), std::nullopt);
    close(view);
    EXPECT_EQ(resume::Recall(sound), std::nullopt);
    view = openFocused(sound);
    ASSERT_NE(view, nullptr);
    EXPECT_TRUE(near(view, 0));
}

} // namespace
