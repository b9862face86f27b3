// Pictures saved from a player window: their names, S without the subtitles and Shift+S with
// them, at the video's own size, never over an earlier file; nothing for a sound or a still.
#include "PlayerTestSupport.h"

#include "app/CMainFrame.h"
#include "player/CLumarestView.h"
#include "player/PictureFiles.h"
#include "res/Resource.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using playertest::MediaFolder;

namespace {

const QColor kPaint(32, 96, 192);
const QSize kFrame(320, 240);

TEST(PictureFiles, NamedByMediumAndPositionNeverOverwritten) {
    EXPECT_EQ(PictureName(QStringLiteral("/v/clip.mkv"), 83'450'000), "clip 00-01-23.450");
    EXPECT_EQ(PictureName(QStringLiteral("/v/a.b.mp4"), 3'723'004'999), "a.b 01-02-03.004");
    QTemporaryDir dir;
    const QString first = FreePicturePath(dir.path(), QStringLiteral("x 00-00-01.000"));
    EXPECT_EQ(first, dir.filePath(QStringLiteral("x 00-00-01.000.png")));
    for (const char* taken : {"x 00-00-01.000.png", "x 00-00-01.000 (2).png"})
        QFile(dir.filePath(QString::fromUtf8(taken))).open(QIODevice::WriteOnly);
    EXPECT_EQ(FreePicturePath(dir.path(), QStringLiteral("x 00-00-01.000")),
              dir.filePath(QStringLiteral("x 00-00-01.000 (3).png")));
}

// Twenty seconds of one colour with a subtitle file beside it, shown all along.
QString paintedVideo(const QString& dir) {
    const QString program = QStandardPaths::findExecutable(QStringLiteral("ffmpeg"));
    const QString path = dir + QStringLiteral("/painted.mkv");
    fixtures::writeFile(dir, QStringLiteral("painted.srt"),
                        "1\n00:00:00,000 --> 00:00:20,000\nWWWWWWWW MMMMMMMM\n\n");
    const QString source = QStringLiteral("color=c=0x%1:size=%2x%3:rate=10:duration=20")
                               .arg(kPaint.rgb() & 0xFFFFFF, 6, 16, QLatin1Char('0'))
                               .arg(kFrame.width())
                               .arg(kFrame.height());
    const QStringList args = {"-v",   "error",    "-y",      "-f",      "lavfi",     "-i",
                              source, "-c:v",     "libx264", "-preset", "ultrafast", "-qp",
                              "0",    "-pix_fmt", "yuv444p", path};
    return !program.isEmpty() && QProcess::execute(program, args) == 0 ? path : QString();
}

// How many pixels of the lower third are far from the paint: the subtitle's.
int marked(const QImage& picture) {
    int count = 0;
    for (int y = picture.height() * 2 / 3; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x) {
            const QColor c = picture.pixelColor(x, y);
            count += std::abs(c.red() - kPaint.red()) + std::abs(c.green() - kPaint.green()) +
                         std::abs(c.blue() - kPaint.blue()) >
                     60;
        }
    return count;
}

class Screenshot : public playertest::PlayerTest {
protected:
    // The pictures folder, not made yet: the program makes it.
    void SetUp() override {
        PlayerTest::SetUp();
        pictures = home.filePath(QStringLiteral("shots"));
        const QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
        fixtures::writeFile(config, QStringLiteral("user-dirs.dirs"),
                            "XDG_PICTURES_DIR=\"" + pictures.toUtf8() + "\"\n");
    }
    void TearDown() override {
        QFile::remove(qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/user-dirs.dirs"));
        PlayerTest::TearDown();
    }
    QStringList saved() const {
        return QDir(pictures).entryList({QStringLiteral("*.png")}, QDir::Files, QDir::Name);
    }

    QTemporaryDir home;
    QString pictures;
};

TEST_F(Screenshot, SAsDecodedShiftSWithSubtitles) {
    ASSERT_EQ(QStandardPaths::writableLocation(QStandardPaths::PicturesLocation), pictures);
    const QString path = paintedVideo(MediaFolder::instance().dir());
    ASSERT_FALSE(path.isEmpty()) << "ffmpeg could not make the video";
    CLumarestView* view = open(path);
    ASSERT_NE(view, nullptr);
    focus(view);
    ASSERT_TRUE(AppHarness::waitFor([&] { return view->PositionUs() >= 1'000'000; }, 15000));
    const QString said = QStringLiteral(" Picture saved as ");
    QTest::keyClick(view, Qt::Key_S); // while it plays, too
    ASSERT_TRUE(pane(0).startsWith(said)) << pane(0).toStdString();
    EXPECT_EQ(marked(QImage(QDir(pictures).filePath(pane(0).mid(said.size())))), 0);
    view->PausePlaying();
    AppHarness::pump(200);

    // Each key names in pane 0 the file it saved; the same moment again goes beside it.
    QStringList names;
    for (const Qt::KeyboardModifier shift : {Qt::NoModifier, Qt::ShiftModifier, Qt::NoModifier}) {
        QTest::keyClick(view, Qt::Key_S, shift);
        ASSERT_TRUE(pane(0).startsWith(said)) << pane(0).toStdString();
        names << pane(0).mid(said.size());
    }
    // Player / Save picture does as S does.
    ASSERT_TRUE(harness->frame().QueryCommand(ID_PLAYER_SAVEPICTURE).m_bEnabled);
    ASSERT_TRUE(harness->frame().SendCommand(ID_PLAYER_SAVEPICTURE));
    EXPECT_EQ(saved().size(), 5);
    const QRegularExpression named(QStringLiteral(R"(^painted 00-00-0\d\.\d{3}\.png$)"));
    EXPECT_TRUE(named.match(names[0]).hasMatch()) << names[0].toStdString();
    EXPECT_EQ(names[1], names[0].chopped(4) + QStringLiteral(" (2).png"));
    EXPECT_EQ(names[2], names[0].chopped(4) + QStringLiteral(" (3).png"));
    EXPECT_EQ(pane(0), said + names[0].chopped(4) + QStringLiteral(" (4).png"));

    const QImage plain(QDir(pictures).filePath(names[0]));
    const QImage subtitled(QDir(pictures).filePath(names[1]));
    ASSERT_EQ(plain.size(), kFrame);
    ASSERT_EQ(subtitled.size(), kFrame);
    const QColor middle = plain.pixelColor(kFrame.width() / 2, kFrame.height() / 3);
    EXPECT_NEAR(middle.red(), kPaint.red(), 8);
    EXPECT_NEAR(middle.green(), kPaint.green(), 8);
    EXPECT_NEAR(middle.blue(), kPaint.blue(), 8);
    EXPECT_EQ(marked(plain), 0);
    EXPECT_GT(marked(subtitled), 100);
}

// A video stored on its side, or with wide pixels, is saved as it is shown: stood up, or
// stretched. Its upper part is the test picture's bright bars, its lower part dark.
TEST_F(Screenshot, TurnedAndStretchedAsShown) {
    const QString dir = MediaFolder::instance().dir();
    const struct {
        QString path;
        QSize shown;
    } rows[] = {
        {fixtures::makePhoneVideo(dir, QStringLiteral("phone.mp4"), QSize(120, 160), 5),
         QSize(120, 160)},
        {fixtures::makeWidePixelVideo(dir, QStringLiteral("wide.mp4"), QSize(160, 120), 5),
         QSize(320, 120)},
    };
    for (const auto& row : rows) {
        ASSERT_FALSE(row.path.isEmpty());
        CLumarestView* view = open(row.path);
        ASSERT_NE(view, nullptr);
        focus(view);
        view->PausePlaying();
        AppHarness::pump(200);
        for (const bool subtitled : {false, true}) {
            const QImage picture(view->SavePicture(subtitled));
            EXPECT_EQ(picture.size(), row.shown) << row.path.toStdString() << subtitled;
            const int top = qGray(picture.pixel(picture.width() / 2, picture.height() / 8));
            const int bottom = qGray(picture.pixel(picture.width() / 2, picture.height() * 7 / 8));
            EXPECT_GT(top, bottom + 40) << row.path.toStdString() << subtitled;
        }
    }
}

TEST_F(Screenshot, NothingToSaveFromSoundOrStill) {
    for (const QString& path :
         {MediaFolder::instance().pcm(10), MediaFolder::instance().path(fixtures::Media::Png)}) {
        CLumarestView* view = open(path);
        ASSERT_NE(view, nullptr);
        focus(view);
        QTest::keyClick(view, Qt::Key_S);
        EXPECT_EQ(pane(0), QStringLiteral(" No picture to save")) << path.toStdString();
        EXPECT_TRUE(view->SavePicture(true).isEmpty());
        EXPECT_FALSE(harness->frame().QueryCommand(ID_PLAYER_SAVEPICTURESUBTITLED).m_bEnabled);
        EXPECT_TRUE(saved().isEmpty());
    }
}

} // namespace
