// Chapters: where PgDown and PgUp go, and the keys on a Matroska file with chapters.
#include "tests/player/PlayerTestSupport.h"

#include "app/CMainFrame.h"
#include "platform/media/Mp4Chapters.h"
#include "player/CLumarestDoc.h"
#include "player/CLumarestView.h"
#include "player/ChapterChoices.h"
#include "player/ChapterMarks.h"
#include "player/PlayerMath.h"
#include "res/Resource.h"

#include <QAction>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

#include <cstdlib>
#include <sstream>

using playertest::MediaFolder;

namespace {

constexpr int64_t kS = kUnitsPerSecond;

struct StepRow {
    int64_t position;
    bool forward;
    std::optional<int64_t> target;
};

TEST(ChapterTargetTest, NextOrBackToTheStart) {
    const std::vector<int64_t> starts{0, 20 * kS, 40 * kS};
    const StepRow rows[] = {
        {0, true, 20 * kS},        {20 * kS - kS / 10, true, 40 * kS}, // landed just before
        {45 * kS, true, {}},       {45 * kS, false, 40 * kS},          // this one's start
        {41 * kS, false, 20 * kS}, {2 * kS, false, 0},                 // the one before
    };
    for (const StepRow& row : rows)
        EXPECT_EQ(ChapterTarget(starts, row.position, row.forward), row.target)
            << row.position << " " << row.forward;
    EXPECT_EQ(ChapterTarget({}, 10 * kS, true), std::nullopt);
    // The chapter the Player menu checks: the last one started.
    for (const auto& [position, current] :
         {std::pair{int64_t{0}, 0}, {20 * kS - 1, 0}, {20 * kS, 1}, {99 * kS, 2}})
        EXPECT_EQ(CurrentChapter(starts, position), current) << position;
    EXPECT_EQ(CurrentChapter({5 * kS}, 0), -1);
    EXPECT_EQ(CurrentChapter({}, 0), -1);
}

TEST(ChapterLabelTest, TitleOrNumberAndStart) {
    const struct {
        const char* title;
        int index;
        int64_t start;
        const char* label;
    } rows[] = {
        {"Opening", 0, 0, "Opening\t0:00"},
        {"", 2, 83 * kS, "Chapter 3\t1:23"},
        {"  ", 9, 3723 * kS, "Chapter 10\t1:02:03"},
        {"Q&A", 1, 20 * kS + 1, "Q&&A\t0:20"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(ChapterLabel(QString::fromUtf8(row.title), row.index, row.start),
                  QString::fromUtf8(row.label));
}

// A minute of plain picture at a frame a second, with chapters at 0, 20 and 40 s; the last
// has no title.
QString ChapteredVideo(const QString& dir, const QString& name) {
    const QString path = dir + QLatin1Char('/') + name;
    const QString meta = dir + QStringLiteral("/chapters.txt");
    QFile file(meta);
    if (!file.open(QIODevice::WriteOnly))
        return {};
    file.write(";FFMETADATA1\n");
    for (int i = 0; i < 3; ++i)
        file.write(QStringLiteral("[CHAPTER]\nTIMEBASE=1/1000\nSTART=%1\nEND=%2\n%3")
                       .arg(i * 20000)
                       .arg(i * 20000 + 20000)
                       .arg(i < 2 ? QStringLiteral("title=Part %1\n").arg(i + 1) : QString())
                       .toUtf8());
    file.close();
    const QString ffmpeg = QStandardPaths::findExecutable(QStringLiteral("ffmpeg"));
    const QStringList args = {QStringLiteral("-v"),
                              QStringLiteral("error"),
                              QStringLiteral("-y"),
                              QStringLiteral("-f"),
                              QStringLiteral("lavfi"),
                              QStringLiteral("-i"),
                              QStringLiteral("color=size=64x48:rate=1"),
                              QStringLiteral("-i"),
                              meta,
                              QStringLiteral("-map_chapters"),
                              QStringLiteral("1"),
                              QStringLiteral("-t"),
                              QStringLiteral("60"),
                              QStringLiteral("-c:v"),
                              QStringLiteral("libx264"),
                              QStringLiteral("-preset"),
                              QStringLiteral("ultrafast"),
                              QStringLiteral("-g"),
                              QStringLiteral("5"),
                              QStringLiteral("-pix_fmt"),
                              QStringLiteral("yuv420p"),
                              path};
    return !ffmpeg.isEmpty() && QProcess::execute(ffmpeg, args) == 0 ? path : QString();
}

class Chapters : public playertest::PlayerTest {};

TEST_F(Chapters, PageKeysMoveThroughThem) {
    const QString dir = MediaFolder::instance().dir();
    // Matroska posts its chapters; an MP4 keeps them in a list of its own.
    for (const QString& name : {QStringLiteral("chapters.mkv"), QStringLiteral("chapters.mp4")}) {
        SCOPED_TRACE(qPrintable(name));
        const QString path = ChapteredVideo(dir, name);
        ASSERT_FALSE(path.isEmpty()) << "ffmpeg could not make the video";
        CLumarestView* view = open(path);
        ASSERT_NE(view, nullptr);
        focus(view);
        // The slider marks where the second and third start: a third and two thirds along.
        const auto* marks = view->Slider()->findChild<ChapterMarks*>();
        ASSERT_NE(marks, nullptr);
        const std::vector<int> xs = marks->MarkPositions();
        ASSERT_EQ(xs.size(), 2u);
        const int width = view->Slider()->width();
        EXPECT_NEAR(xs[0] + xs[1], width, 2); // as far from either end
        EXPECT_GT(xs[1] - xs[0], width / 4);
        for (const auto& [key, second] : {std::pair{Qt::Key_PageDown, 20},
                                          {Qt::Key_PageDown, 40},
                                          {Qt::Key_PageDown, 40},
                                          {Qt::Key_PageUp, 20},
                                          {Qt::Key_PageUp, 0}}) {
            QTest::keyClick(view, key);
            EXPECT_TRUE(AppHarness::waitFor([&] {
                return std::abs(view->PositionUs() / 1'000'000 - second) <= 1;
            })) << second;
        }
        // The Player menu does as the keys do.
        ASSERT_TRUE(harness->frame().QueryCommand(ID_PLAYER_NEXTCHAPTER).m_bEnabled);
        ASSERT_TRUE(harness->frame().SendCommand(ID_PLAYER_NEXTCHAPTER));
        EXPECT_TRUE(AppHarness::waitFor(
            [&] { return std::abs(view->PositionUs() / 1'000'000 - 20) <= 1; }));
        // Its list names each chapter and checks the one playing; choosing one goes there.
        const QStringList listed = {"Part 1\t0:00", "Part 2\t0:20", "Chapter 3\t0:40"};
        QAction* choose = nullptr;
        EXPECT_EQ(playertest::submenu(harness->frame(), "Chapters", &choose, listed[2]),
                  QStringList({listed[0], "*" + listed[1], listed[2]}));
        ASSERT_NE(choose, nullptr);
        choose->trigger();
        EXPECT_TRUE(AppHarness::waitFor(
            [&] { return std::abs(view->PositionUs() / 1'000'000 - 40) <= 1; }));
        EXPECT_EQ(playertest::submenu(harness->frame(), "Chapters"),
                  QStringList({listed[0], listed[1], "*" + listed[2]}));
        view->GetDocument()->OnCloseDocument();
    }
    // Without chapters the keys leave the medium where it is.
    CLumarestView* view = open(MediaFolder::instance().pcm(60));
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->Slider()->findChild<ChapterMarks*>(), nullptr);
    focus(view);
    EXPECT_FALSE(harness->frame().QueryCommand(ID_PLAYER_PREVCHAPTER).m_bEnabled);
    EXPECT_EQ(playertest::submenu(harness->frame(), "Chapters"), QStringList({"None"}));
    ASSERT_TRUE(view->SeekTo(30));
    QTest::keyClick(view, Qt::Key_PageDown);
    AppHarness::pump(300);
    EXPECT_NEAR(view->PositionUs() / 1'000'000, 30, 1);
}

// An MP4's chapter list read whole, and nothing read from it cut short or damaged
// anywhere in the boxes that hold it: each byte from moov on set to 0x00, 0x7F and 0xFF.
TEST(Mp4ChapterList, ReadWholeOrNotAtAll) {
    const QString path = ChapteredVideo(MediaFolder::instance().dir(), "list.mp4");
    ASSERT_FALSE(path.isEmpty()) << "ffmpeg could not make the video";
    const std::vector<media::Mp4Chapter> chapters = media::mp4Chapters(path.toStdString());
    ASSERT_EQ(chapters.size(), 3u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(chapters[i].start, i * 20 * kS);
        EXPECT_EQ(chapters[i].title, i < 2 ? "Part " + std::to_string(i + 1) : std::string());
    }
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const std::string bytes = file.readAll().toStdString();
    const std::size_t moov = bytes.find("moov") - 4;
    ASSERT_LT(moov, bytes.size());
    std::string damaged = bytes;
    for (std::size_t at = moov; at < bytes.size(); ++at) {
        for (const char value : {'\x00', '\x7F', '\xFF'}) {
            damaged[at] = value;
            std::istringstream in(damaged);
            const std::size_t read = media::mp4Chapters(in).size();
            ASSERT_TRUE(read == 0 || read == 3) << "byte " << at << " set to " << int(value);
        }
        damaged[at] = bytes[at];
        std::istringstream cut(bytes.substr(0, at));
        ASSERT_EQ(media::mp4Chapters(cut).size(), 0u) << "cut at " << at;
    }
}

} // namespace
