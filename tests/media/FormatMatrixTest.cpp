// Files made by another tool (ffmpeg), one of each common sound, video and picture format,
// open as the player shows them: a sound strip, a picture with its length, or a still of
// length 0. The few types that no installed element reads are listed with the reason, so a
// new refusal fails, and so does a listed one that starts to open. Pictures are shown at
// the size they are meant to be seen at: turned as their orientation says (phone video and
// photos), their pixels' aspect applied. A subtitle track adds nothing to a medium's length,
// a subtitle file beside a video shows on it however short, and a sound shorter than a
// second plays in the player window with its time and a slider that moves.
#include "AppHarness.h"
#include "GraphHelpers.h"
#include "MediaFixtures.h"
#include "PlayerViewProbe.h"
#include "TestTime.h"
#include "app/CLumarestApp.h"
#include "app/CMainFrame.h"
#include "app/MediaFramework.h"
#include "app/SharedState.h"
#include "platform/framework/DocTemplate.h"
#include "platform/framework/Document.h"
#include "platform/framework/StatusBar.h"
#include "platform/media/GstPtr.h"

#include <QApplication>
#include <QColor>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QScopedValueRollback>
#include <QStandardPaths>
#include <gst/video/video.h>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

using namespace mediatest;

namespace {

constexpr LONGLONG kSecond = 10'000'000; // graph units per second
constexpr long kWidth = 160;
constexpr long kHeight = 120;

enum class Shown { Sound, Picture, Still, Refused };

struct Format {
    const char* name; // test name
    const char* file;
    QStringList encoding; // ffmpeg's output options
    Shown shown;
    const char* refusedBecause = "";
    LONGLONG length = kSecond; // of a sound or a picture, give or take a quarter
    QSize shownSize = QSize(kWidth, kHeight);
    QStringList remux{};     // ffmpeg's options for a second pass that copies the streams
    int exifOrientation = 0; // written into a JPEG's header when not 0
    QStringList magick{};    // made by ImageMagick's convert instead, with these arguments
    QColor colour{};         // of the whole picture as shown, give or take a little, if given
    bool jfif = false;       // a JFIF segment written in front of a JPEG's own
    // A subtitle file written into the folder first, under that name: an input of the
    // encoding, or the file beside the video that the player reads with it.
    const char* subtitleName = nullptr;
    QByteArray subtitles{};
    bool subtitleShown = false; // its first line is drawn on the first picture
    // Played in a player window to its end: the time text then in the status bar, and the
    // slider gone to its end.
    QString playedTime{};
    bool moves = false; // an animated picture: its frames change as it plays
    bool loops = false; // it asks to play again without end
};

QStringList videoIn() {
    return {"-f", "lavfi", "-i",
            QStringLiteral("testsrc=size=%1x%2:rate=25:duration=1").arg(kWidth).arg(kHeight)};
}
QStringList soundIn() {
    return {"-f", "lavfi", "-i", "sine=frequency=440:sample_rate=44100:duration=1"};
}

Format video(const char* name, const char* file, QStringList encoding) {
    return {name, file, videoIn() + soundIn() + encoding, Shown::Picture};
}
Format silentVideo(const char* name, const char* file, QStringList encoding) {
    return {name, file, videoIn() + encoding, Shown::Picture};
}
Format sound(const char* name, const char* file, QStringList encoding) {
    return {name, file, soundIn() + encoding, Shown::Sound};
}
Format still(const char* name, const char* file, QStringList encoding = {}) {
    return {name, file, videoIn() + QStringList{"-frames:v", "1"} + encoding, Shown::Still};
}
// Two seconds of moving pictures that say they loop forever: as long as one pass.
Format animation(const char* name, const char* file, QStringList encoding) {
    Format format{
        name, file,
        QStringList{
            "-f", "lavfi", "-i",
            QStringLiteral("testsrc=size=%1x%2:rate=10:duration=2").arg(kWidth).arg(kHeight)} +
            encoding,
        Shown::Picture};
    format.length = 2 * kSecond;
    format.moves = true;
    format.loops = true;
    return format;
}
// Two seconds that ask to be played so many times in all: as long as all of them.
Format playedTimes(Format format, int times) {
    format.length *= times;
    format.loops = false;
    return format;
}
// Stored lying on its side with the tag that stands it up again, as phones record.
Format phoneVideo(const char* name, const char* file) {
    Format format = video(name, file,
                          {"-vf", "transpose=1", "-c:v", "libx264", "-preset", "ultrafast",
                           "-pix_fmt", "yuv420p", "-c:a", "aac"});
    format.remux = {"-metadata:s:v:0", "rotate=90"};
    return format;
}
Format phonePhoto(const char* name, const char* file) {
    Format format = still(name, file, {"-vf", "transpose=1", "-pix_fmt", "yuvj420p"});
    format.exifOrientation = 8; // turn a quarter to the left to see it
    return format;
}

// A picture ImageMagick makes of its checkerboard pattern, at the matrix's size.
Format magickStill(const char* name, const char* file, QStringList options) {
    Format format{name, file, {}, Shown::Still};
    format.magick = QStringList{"-size", QStringLiteral("%1x%2").arg(kWidth).arg(kHeight),
                                "pattern:checkerboard"} +
                    options;
    return format;
}

// A picture of one colour, made by ImageMagick with these options after the colour; the
// colour as percentages, so that 16-bit samples are not all byte pairs.
Format colourStill(const char* name, const char* file, QColor colour, QStringList options) {
    Format format{name, file, {}, Shown::Still};
    const QString percent = QStringLiteral("rgb(%1%,%2%,%3%)")
                                .arg(colour.redF() * 100, 0, 'f', 3)
                                .arg(colour.greenF() * 100, 0, 'f', 3)
                                .arg(colour.blueF() * 100, 0, 'f', 3);
    format.magick =
        QStringList{"-size", QStringLiteral("%1x%2").arg(kWidth).arg(kHeight), "xc:" + percent} +
        options;
    format.colour = colour;
    return format;
}
Format deepPng(const char* name, const char* file, QColor colour, const char* colourType) {
    return colourStill(name, file, colour,
                       {"-define", "png:bit-depth=16", "-define",
                        QStringLiteral("png:color-type=%1").arg(colourType)});
}

// A sound of ms milliseconds, played through the player window too.
Format shortSound(const char* name, const char* file, int ms, const char* playedTime) {
    Format format{name,
                  file,
                  {"-f", "lavfi", "-i",
                   QStringLiteral("sine=frequency=440:sample_rate=44100:duration=%1ms").arg(ms),
                   "-c:a", "pcm_s16le"},
                  Shown::Sound};
    format.length = kSecond * ms / 1000;
    format.playedTime = playedTime;
    return format;
}

// A subtitle track whose one line stays up three seconds after the picture and the sound
// have ended: the medium is as long as these.
const QByteArray kLateLine = "1\n00:00:00,000 --> 00:00:04,000\nLonger than the picture\n";
Format subtitled(const char* name, const char* file, const char* subtitleCodec) {
    Format format = video(name, file,
                          {"-i", "late.srt", "-map", "0", "-map", "1", "-map", "2", "-c:v",
                           "libx264", "-preset", "ultrafast", "-pix_fmt", "yuv420p", "-c:a", "aac",
                           "-c:s", subtitleCodec});
    format.subtitleName = "late.srt";
    format.subtitles = kLateLine;
    return format;
}

// A video of one dark colour with a file of a single short line beside it, too short for
// GStreamer's type finder to know it: the line shows on the picture, large enough at this
// size to be drawn in white.
Format besideSubtitles(const char* name, const char* file, const char* subtitleName) {
    Format format{name,
                  file,
                  {"-f", "lavfi", "-i", "color=c=0x102040:size=640x480:rate=25:duration=1", "-c:v",
                   "mjpeg", "-pix_fmt", "yuvj420p"},
                  Shown::Picture};
    format.shownSize = QSize(640, 480);
    format.subtitleName = subtitleName;
    format.subtitles = "1\n00:00:00,000 --> 00:00:01,000\nWWWWWWWW\n";
    format.subtitleShown = true;
    return format;
}

Format refused(Format format, const char* because) {
    format.shown = Shown::Refused;
    format.refusedBecause = because;
    return format;
}

const std::vector<Format>& formats() {
    static const std::vector<Format> all = {
        video("H264_Mp4", "h264.mp4",
              {"-c:v", "libx264", "-preset", "ultrafast", "-pix_fmt", "yuv420p", "-c:a", "aac"}),
        silentVideo("Hevc_Matroska", "hevc.mkv",
                    {"-c:v", "libx265", "-preset", "ultrafast", "-x265-params", "log-level=none",
                     "-pix_fmt", "yuv420p"}),
        video("Vp9_WebM", "vp9.webm",
              {"-c:v", "libvpx-vp9", "-deadline", "realtime", "-cpu-used", "8", "-c:a", "libopus"}),
        silentVideo("Av1_Matroska", "av1.mkv",
                    {"-c:v", "libaom-av1", "-usage", "realtime", "-cpu-used", "8"}),
        video("Mpeg2_ProgramStream", "mpeg2.mpg", {"-c:v", "mpeg2video", "-c:a", "mp2"}),
        video("Mpeg4_Avi", "mpeg4.avi", {"-c:v", "mpeg4", "-c:a", "libmp3lame"}),
        video("Theora_Ogg", "theora.ogv", {"-c:v", "libtheora", "-c:a", "libvorbis"}),
        video("ProRes_QuickTime", "prores.mov", {"-c:v", "prores", "-c:a", "pcm_s16le"}),
        video("Mjpeg_Avi", "mjpeg.avi",
              {"-c:v", "mjpeg", "-pix_fmt", "yuvj420p", "-c:a", "pcm_s16le"}),
        video("Flash_Flv", "flash.flv", {"-c:v", "flv", "-c:a", "libmp3lame"}),
        video("WindowsMedia_Wmv", "video.wmv", {"-c:v", "wmv2", "-c:a", "wmav2"}),
        phoneVideo("PortraitPhone_Mp4", "phone.mp4"),
        subtitled("MovText_Mp4", "movtext.mp4", "mov_text"),
        subtitled("Ass_Matroska", "ass.mkv", "ass"),
        besideSubtitles("OneLineSrtBeside_Avi", "oneline.avi", "oneline.srt"),
        [] {
            Format wide = video("Anamorphic_Mp4", "anamorphic.mp4",
                                {"-vf", "setsar=2/1", "-c:v", "libx264", "-preset", "ultrafast",
                                 "-pix_fmt", "yuv420p", "-c:a", "aac"});
            wide.shownSize = QSize(2 * kWidth, kHeight); // each stored pixel twice as wide
            return wide;
        }(),

        sound("Aac_M4a", "aac.m4a", {"-c:a", "aac"}),
        sound("Alac_M4a", "alac.m4a", {"-c:a", "alac"}),
        sound("Mp3", "sound.mp3", {"-c:a", "libmp3lame"}),
        sound("Mp2", "sound.mp2", {"-c:a", "mp2"}),
        sound("Opus", "sound.opus", {"-c:a", "libopus"}),
        sound("Vorbis_Ogg", "sound.ogg", {"-c:a", "libvorbis"}),
        sound("Flac", "sound.flac", {"-c:a", "flac"}),
        sound("Ac3", "sound.ac3", {"-c:a", "ac3"}),
        sound("Pcm_Wav", "sound.wav", {"-c:a", "pcm_s16le"}),
        sound("Pcm_Aiff", "sound.aiff", {"-c:a", "pcm_s16be"}),
        sound("Pcm_Au", "sound.au", {"-c:a", "pcm_s16be"}),
        sound("WindowsMedia_Wma", "sound.wma", {"-c:a", "wmav2"}),
        sound("ALaw_Aifc", "alaw.aifc", {"-c:a", "pcm_alaw", "-f", "aiff"}),
        sound("MuLaw_Aifc", "mulaw.aifc", {"-c:a", "pcm_mulaw", "-f", "aiff"}),
        // Whole seconds are truncated: 0 of 0.
        shortSound("Pcm_Wav_300ms", "short.wav", 300, " Time:  0 / 0 sec"),

        still("Png", "still.png"),
        still("Jpeg", "still.jpg", {"-pix_fmt", "yuvj420p"}),
        phonePhoto("PortraitPhone_Jpeg", "photo.jpg"),
        still("Gif", "still.gif"), // one frame, whatever its delay
        animation("AnimatedGif", "moving.gif", {"-loop", "0"}),
        animation("AnimatedPng", "moving.png", {"-f", "apng", "-plays", "0"}),
        animation("AnimatedWebP", "moving.webp", {"-c:v", "libwebp_anim", "-loop", "0"}),
        playedTimes(animation("AnimatedGif_ThreeTimes", "thrice.gif", {"-loop", "2"}), 3),
        playedTimes(animation("AnimatedPng_TwoTimes", "twice.png", {"-f", "apng", "-plays", "2"}),
                    2),
        still("WebP", "still.webp", {"-c:v", "libwebp"}),
        still("Bmp", "still.bmp"),
        still("Tiff", "still.tif"),
        still("Sgi", "still.sgi"),
        still("Targa", "still.tga"),
        still("SunRaster", "still.ras"),
        still("Pcx", "still.pcx"),
        still("Ppm", "still.ppm"),
        // Two pages of 64-bit floating-point samples, as scientific cameras write.
        refused(magickStill("FloatTiff_TwoPages", "float.tif",
                            {"-size", "160x120", "pattern:gray50", "-define",
                             "quantum:format=floating-point", "-depth", "64"}),
                "the picture decoders here read floating-point samples as integers and show "
                "noise"),
        magickStill("Xpm", "still.xpm", {"-colors", "16"}),
        magickStill("CmykJpeg", "cmyk.jpg", {"-colorspace", "CMYK"}),
        // As photo tools write it: a JFIF segment before the Adobe one.
        [] {
            Format jfif = colourStill("CmykJpeg_Jfif", "cmyk-jfif.jpg", QColor(48, 112, 192),
                                      {"-colorspace", "CMYK"});
            jfif.jfif = true;
            return jfif;
        }(),
        deepPng("Rgb48_Png", "rgb48.png", QColor(48, 112, 192), "2"),
        deepPng("Rgba64_Png", "rgba64.png", QColor(192, 112, 48), "6"),
        deepPng("Grey16_Png", "grey16.png", QColor(96, 96, 96), "0"),
        refused(still("Xbm", "still.xbm", {"-pix_fmt", "monow"}),
                "found as text; libav's XBM decoder has no GStreamer type and GdkPixbuf's "
                "decoder element does not list XBM"),
        refused(still("Avif", "still.avif",
                      {"-c:v", "libaom-av1", "-cpu-used", "8", "-still-picture", "1"}),
                "the QuickTime demuxer reads no HEIF picture items, and GdkPixbuf's decoder "
                "element, whose loaders read AVIF, does not list the type"),
    };
    return all;
}

// Every file is made once per run, several ffmpeg processes at a time.
class Matrix {
public:
    static Matrix& instance() {
        static Matrix matrix;
        return matrix;
    }
    QString path(const Format& format) const { return m_dir.filePath(format.file); }
    const QString& problem() const { return m_problem; }

private:
    static constexpr int kAtOnce = 6;

    Matrix() {
        const QString ffmpeg = QStandardPaths::findExecutable("ffmpeg");
        if (ffmpeg.isEmpty()) {
            m_problem = "ffmpeg is not installed";
            return;
        }
        for (const Format& format : formats()) {
            if (format.subtitleName != nullptr)
                fixtures::writeFile(m_dir.path(), format.subtitleName, format.subtitles);
        }
        std::vector<std::unique_ptr<QProcess>> running;
        const QString convert = QStandardPaths::findExecutable("convert");
        for (const Format& format : formats()) {
            if (!format.magick.isEmpty()) {
                // convert complains of a tag it writes itself into a float TIFF, and says so
                // by its exit status: the file made is what counts.
                QProcess magick;
                magick.setProcessChannelMode(QProcess::MergedChannels);
                magick.start(convert, format.magick + QStringList{path(format)});
                magick.waitForFinished(60'000);
                if (QFileInfo(path(format)).size() == 0)
                    m_problem += QString(format.file) + ": " + magick.readAll() + "\n";
                continue;
            }
            if (running.size() == kAtOnce) {
                finish(*running.front());
                running.erase(running.begin());
            }
            auto process = std::make_unique<QProcess>();
            process->setProcessChannelMode(QProcess::MergedChannels);
            process->setWorkingDirectory(m_dir.path()); // where the subtitle files are
            process->start(ffmpeg, QStringList{"-hide_banner", "-loglevel", "error", "-nostdin",
                                               "-threads", "1", "-y"} +
                                       format.encoding + QStringList{path(format)});
            running.push_back(std::move(process));
        }
        for (auto& process : running) {
            finish(*process);
        }
        for (const Format& format : formats()) {
            if (!format.remux.isEmpty())
                remux(ffmpeg, path(format), format.remux);
            if (format.jfif && !fixtures::writeJfifSegment(path(format)))
                m_problem += QString(format.file) + ": no JFIF written\n";
            if (format.exifOrientation != 0 &&
                !fixtures::writeExifOrientation(path(format), format.exifOrientation))
                m_problem += QString(format.file) + ": no EXIF written\n";
        }
    }

    void remux(const QString& ffmpeg, const QString& file, const QStringList& options) {
        const QString copy = file + ".copy." + QFileInfo(file).suffix();
        QProcess process;
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start(ffmpeg, QStringList{"-hide_banner", "-loglevel", "error", "-nostdin", "-y",
                                          "-i", file, "-c", "copy"} +
                                  options + QStringList{copy});
        finish(process);
        QFile::remove(file);
        QFile::rename(copy, file);
    }

    void finish(QProcess& process) {
        if (!process.waitForFinished(60'000) || process.exitCode() != 0) {
            m_problem += process.arguments().last() + ": " + process.readAll() + "\n";
        }
    }

    QTemporaryDir m_dir;
    QString m_problem;
};

std::string testName(const ::testing::TestParamInfo<Format>& info) {
    return info.param.name;
}

bool decodedAPicture(Graph& graph) {
    GstSample* sample = nullptr;
    g_object_get(graph.builder->Pipeline(), "sample", &sample, nullptr);
    if (sample == nullptr) {
        return false;
    }
    gst_sample_unref(sample);
    return true;
}

// The colour in the middle of the picture the graph decoded, as 8-bit RGB as the view gets it.
QColor shownColour(Graph& graph) {
    GstSample* decoded = nullptr;
    g_object_get(graph.builder->Pipeline(), "sample", &decoded, nullptr);
    if (decoded == nullptr) {
        return {};
    }
    GstCaps* rgb = gst_caps_from_string("video/x-raw, format=(string)RGBx");
    GstSample* converted = nullptr;
    g_signal_emit_by_name(graph.builder->Pipeline(), "convert-sample", rgb, &converted);
    gst_caps_unref(rgb);
    gst_sample_unref(decoded);
    if (converted == nullptr) {
        return {};
    }
    QColor colour;
    GstVideoInfo info;
    GstVideoFrame frame;
    if (gst_video_info_from_caps(&info, gst_sample_get_caps(converted)) &&
        gst_video_frame_map(&frame, &info, gst_sample_get_buffer(converted), GST_MAP_READ)) {
        const auto* row =
            static_cast<const guint8*>(GST_VIDEO_FRAME_PLANE_DATA(&frame, 0)) +
            GST_VIDEO_FRAME_HEIGHT(&frame) / 2 * GST_VIDEO_FRAME_PLANE_STRIDE(&frame, 0);
        const guint8* pixel = row + GST_VIDEO_FRAME_WIDTH(&frame) / 2 * 4;
        colour = QColor(pixel[0], pixel[1], pixel[2]);
        gst_video_frame_unmap(&frame);
    }
    gst_sample_unref(converted);
    return colour;
}

bool near(const QColor& shown, const QColor& meant) {
    constexpr int kLeeway = 8; // JPEG's rounding
    return std::abs(shown.red() - meant.red()) <= kLeeway &&
           std::abs(shown.green() - meant.green()) <= kLeeway &&
           std::abs(shown.blue() - meant.blue()) <= kLeeway;
}

// How many pixels of the picture shown now are near white (a line of subtitles on a dark
// picture). A line the sink is left to draw is drawn here as the sink would.
int whitePixels(Graph& graph) {
    GstSample* raw = nullptr;
    g_object_get(graph.builder->Pipeline(), "sample", &raw, nullptr);
    media::GstPtr<GstSample> shown(raw);
    GstVideoInfo info;
    if (!shown || !gst_video_info_from_caps(&info, gst_sample_get_caps(shown.get())))
        return -1;
    GstBuffer* picture = gst_sample_get_buffer(shown.get());
    media::GstPtr<GstBuffer> drawn(gst_buffer_copy_deep(picture));
    if (auto* lines = gst_buffer_get_video_overlay_composition_meta(picture)) {
        GstVideoFrame frame;
        if (!gst_video_frame_map(&frame, &info, drawn.get(), GST_MAP_READWRITE))
            return -1;
        gst_video_overlay_composition_blend(lines->overlay, &frame);
        gst_video_frame_unmap(&frame);
    }
    media::GstPtr<GstCaps> plain(gst_caps_copy(gst_sample_get_caps(shown.get())));
    gst_caps_set_features(plain.get(), 0, nullptr);
    media::GstPtr<GstSample> blended(gst_sample_new(drawn.get(), plain.get(), nullptr, nullptr));
    media::GstPtr<GstCaps> gray(gst_caps_from_string("video/x-raw,format=GRAY8"));
    media::GstPtr<GstSample> sample(
        gst_video_convert_sample(blended.get(), gray.get(), GST_SECOND, nullptr));
    GstMapInfo map;
    if (!sample || !gst_video_info_from_caps(&info, gst_sample_get_caps(sample.get())) ||
        !gst_buffer_map(gst_sample_get_buffer(sample.get()), &map, GST_MAP_READ))
        return -1;
    int white = 0;
    for (int y = 0; y < GST_VIDEO_INFO_HEIGHT(&info); ++y)
        for (int x = 0; x < GST_VIDEO_INFO_WIDTH(&info); ++x)
            white += map.data[y * GST_VIDEO_INFO_PLANE_STRIDE(&info, 0) + x] > 200 ? 1 : 0;
    gst_buffer_unmap(gst_sample_get_buffer(sample.get()), &map);
    return white;
}

// The file opened as File/Open opens it, in the whole program, and played to its end with
// the window holding the keyboard.
void playInPlayerWindow(const Format& format, const QString& path) {
    const QScopedValueRollback noImport(g_bImportOnOpen, false);
    AppHarness harness;
    ASSERT_TRUE(harness.started());
    CDocument* doc = harness.app().m_pPlayerTemplate->OpenDocumentFile(path);
    ASSERT_TRUE(doc && !doc->GetViews().empty());
    auto* view = dynamic_cast<CLumarestView*>(doc->GetViews().front());
    ASSERT_NE(view, nullptr);
    QApplication::setActiveWindow(view->window());
    view->setFocus(Qt::OtherFocusReason);
    PlayerViewProbe probe(*view);
    EXPECT_TRUE(AppHarness::waitFor([&] { return !probe.m_bPlaying; }, 5000)) << "never ended";
    EXPECT_EQ(harness.frame().m_wndStatusBar->GetPaneText(0).toStdString(),
              format.playedTime.toStdString());
    ASSERT_TRUE(probe.m_wndSlider) << "no slider";
    EXPECT_GT(probe.m_wndSlider->maximum(), probe.m_wndSlider->minimum()) << "it cannot move";
    EXPECT_EQ(probe.m_wndSlider->value(), probe.m_wndSlider->maximum()) << "it did not move";
}

// The bytes of the picture shown last.
QByteArray shownPicture(Graph& graph) {
    return fixtures::LastPictureBytes(graph.builder->Pipeline());
}

// Plays the medium until it is half a second in: the picture then differs from its first.
void expectMovingPicture(Graph& graph) {
    const QByteArray first = shownPicture(graph);
    ASSERT_EQ(graph.control->Run(), S_OK);
    QElapsedTimer waited;
    waited.start();
    LONGLONG position = 0;
    while (position < kSecond / 2 && waited.elapsed() < testtime::scaled(5000)) {
        spin(20);
        graph.seeking->GetCurrentPosition(&position);
    }
    EXPECT_GE(position, kSecond / 2) << "the animation does not play on";
    EXPECT_NE(shownPicture(graph), first) << "the picture stands still";
}

// Positioned past its middle, it goes on from there and ends at its end.
void expectPositioned(Graph& graph, LONGLONG length) {
    LONGLONG middle = length / 2 + kSecond / 10;
    ASSERT_EQ(graph.seeking->SetPositions(&middle, AM_SEEKING_AbsolutePositioning, nullptr,
                                          AM_SEEKING_NoPositioning),
              S_OK);
    LONGLONG position = 0;
    graph.seeking->GetCurrentPosition(&position);
    EXPECT_GE(position, middle);
    std::shared_ptr<IMediaEventEx> events;
    graph.builder->QueryInterface(events);
    QElapsedTimer waited;
    waited.start();
    while (!events->HasEnded() && waited.elapsed() < testtime::scaled(int(length / 10'000)))
        spin(20);
    EXPECT_TRUE(events->HasEnded());
    graph.seeking->GetCurrentPosition(&position);
    EXPECT_NEAR(position, length, kSecond / 5) << "ended elsewhere than at its end";
}

class FormatMatrix : public ::testing::TestWithParam<Format> {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(StartMediaFramework()); }
};

TEST_P(FormatMatrix, OpensAsThePlayerShowsIt) {
    const Format& format = GetParam();
    ASSERT_EQ(Matrix::instance().problem(), QString());
    Graph graph = renderGraph(Matrix::instance().path(format));

    if (format.shown == Shown::Refused) {
        // Every refusal reads "Unsupported file format." to the user.
        EXPECT_TRUE(graph.rendered == VFW_E_UNKNOWN_FILE_TYPE ||
                    graph.rendered == VFW_E_UNSUPPORTED_STREAM || graph.rendered == E_FAIL)
            << "listed as refused (" << format.refusedBecause << ") but rendering gave 0x"
            << std::hex << graph.rendered;
        return;
    }
    ASSERT_EQ(graph.rendered, S_OK) << "refused: 0x" << std::hex << graph.rendered;

    long visible = 0;
    const HRESULT hasVideo = graph.window->get_Visible(&visible);
    const LONGLONG duration = durationOf(graph);
    if (format.shown == Shown::Sound) {
        EXPECT_EQ(hasVideo, E_NOINTERFACE) << "a sound file gets a strip, not a picture";
        EXPECT_NEAR(duration, format.length, format.length / 4);
        if (!format.playedTime.isEmpty()) {
            graph.release();
            playInPlayerWindow(format, Matrix::instance().path(format));
        }
        return;
    }
    ASSERT_EQ(hasVideo, S_OK);
    long width = 0;
    long height = 0;
    EXPECT_EQ(graph.video->GetVideoSize(&width, &height), S_OK);
    EXPECT_EQ(width, format.shownSize.width());
    EXPECT_EQ(height, format.shownSize.height());
    EXPECT_TRUE(decodedAPicture(graph));
    if (format.colour.isValid()) {
        const QColor shown = shownColour(graph);
        EXPECT_TRUE(near(shown, format.colour)) << "shown " << shown.name().toStdString() << " for "
                                                << format.colour.name().toStdString();
    }
    if (format.subtitleShown) {
        EXPECT_GT(whitePixels(graph), 40) << "no line of subtitles on the picture";
    }
    if (format.shown == Shown::Still) {
        EXPECT_EQ(duration, 0) << "a still is 0 long";
    } else {
        EXPECT_NEAR(duration, format.length, format.length / 4);
    }
    if (format.moves) {
        EXPECT_EQ(graph.seeking->LoopsForever(), format.loops);
        expectMovingPicture(graph);
        expectPositioned(graph, duration);
    }
}

INSTANTIATE_TEST_SUITE_P(Formats, FormatMatrix, ::testing::ValuesIn(formats()), testName);

} // namespace
