#include "MediaFixtures.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTime>
#include <gst/gst.h>
#include <memory>

namespace fixtures {
namespace {

struct ObjectUnref {
    void operator()(gpointer object) const { gst_object_unref(object); }
};
struct MessageUnref {
    void operator()(GstMessage* message) const { gst_message_unref(message); }
};
using Pipeline = std::unique_ptr<GstElement, ObjectUnref>;

QString soundSource(int seconds) {
    return QStringLiteral("audiotestsrc num-buffers=%1 samplesperbuffer=4410 ! "
                          "audio/x-raw,rate=44100,channels=2")
        .arg(seconds * 10);
}

QString pictureSource(int frames, QSize size, int fps) {
    return QStringLiteral("videotestsrc num-buffers=%1 ! video/x-raw,width=%2,height=%3,"
                          "framerate=%4/1")
        .arg(frames)
        .arg(size.width())
        .arg(size.height())
        .arg(fps);
}

// A muxer named m feeding the output, with one video and one sound branch.
QString muxed(const QString& muxer, const QString& video, const QString& sound) {
    return QStringLiteral("%1 name=m ! filesink name=out  %2 ! queue ! m.  %3 ! queue ! m.")
        .arg(muxer, video, sound);
}

QString description(Media kind, int seconds, QSize size) {
    const QString a = soundSource(seconds);
    const QString v = pictureSource(seconds * 25, size, 25);
    const QString vorbis = a + QStringLiteral(" ! audioconvert ! vorbisenc");
    switch (kind) {
    case Media::Wav:
        return a + QStringLiteral(" ! wavenc ! filesink name=out");
    case Media::OggVorbis:
        return vorbis + QStringLiteral(" ! oggmux ! filesink name=out");
    case Media::Mp3Xing:
        return a + QStringLiteral(" ! lamemp3enc ! xingmux ! filesink name=out");
    case Media::Mp3NoXing:
        return a + QStringLiteral(" ! lamemp3enc ! filesink name=out");
    case Media::AviMjpeg:
        return muxed(QStringLiteral("avimux"), v + QStringLiteral(" ! jpegenc"), a);
    case Media::WebmVp8:
        return muxed(QStringLiteral("webmmux"),
                     v + QStringLiteral(" ! vp8enc deadline=1 keyframe-max-dist=25"), vorbis);
    case Media::Mp4H264:
        return muxed(QStringLiteral("mp4mux"),
                     v + QStringLiteral(" ! videoconvert ! openh264enc gop-size=25 ! h264parse"),
                     a + QStringLiteral(" ! audioconvert ! avenc_aac ! aacparse"));
    case Media::OggTheora:
        return muxed(QStringLiteral("oggmux"), v + QStringLiteral(" ! theoraenc"), vorbis);
    case Media::Png:
        return pictureSource(1, size, 25) + QStringLiteral(" ! pngenc ! filesink name=out");
    case Media::Jpeg:
        return pictureSource(1, size, 25) + QStringLiteral(" ! jpegenc ! filesink name=out");
    }
    return {};
}

bool runToEnd(const QString& launch, const QString& path) {
    GError* error = nullptr;
    Pipeline pipeline(gst_parse_launch(launch.toUtf8().constData(), &error));
    if (error != nullptr) {
        qWarning() << "fixtures: cannot build" << launch << ":" << error->message;
        g_error_free(error);
        return false;
    }
    std::unique_ptr<GstElement, ObjectUnref> sink(
        gst_bin_get_by_name(GST_BIN(pipeline.get()), "out"));
    g_object_set(sink.get(), "location", QFile::encodeName(path).constData(), nullptr);
    gst_element_set_state(pipeline.get(), GST_STATE_PLAYING);
    std::unique_ptr<GstBus, ObjectUnref> bus(gst_element_get_bus(pipeline.get()));
    std::unique_ptr<GstMessage, MessageUnref> end(gst_bus_timed_pop_filtered(
        bus.get(), 20 * GST_SECOND,
        static_cast<GstMessageType>(GST_MESSAGE_EOS | GST_MESSAGE_ERROR)));
    gst_element_set_state(pipeline.get(), GST_STATE_NULL);
    const bool done = end && GST_MESSAGE_TYPE(end.get()) == GST_MESSAGE_EOS;
    if (!done) {
        qWarning() << "fixtures: no end of stream for" << launch;
    }
    return done;
}

} // namespace

QString defaultName(Media kind) {
    switch (kind) {
    case Media::Wav:
        return QStringLiteral("sound.wav");
    case Media::OggVorbis:
        return QStringLiteral("sound.ogg");
    case Media::Mp3Xing:
        return QStringLiteral("xing.mp3");
    case Media::Mp3NoXing:
        return QStringLiteral("plain.mp3");
    case Media::AviMjpeg:
        return QStringLiteral("mjpeg.avi");
    case Media::WebmVp8:
        return QStringLiteral("vp8.webm");
    case Media::Mp4H264:
        return QStringLiteral("h264.mp4");
    case Media::OggTheora:
        return QStringLiteral("theora.ogv");
    case Media::Png:
        return QStringLiteral("still.png");
    case Media::Jpeg:
        return QStringLiteral("still.jpg");
    }
    return {};
}

QString makeMedia(Media kind, const QString& dir, const QString& name, int seconds,
                  QSize frameSize) {
    if (!gst_is_initialized() && !gst_init_check(nullptr, nullptr, nullptr)) {
        return {};
    }
    const QString path = QDir(dir).absoluteFilePath(name.isEmpty() ? defaultName(kind) : name);
    QFile::remove(path);
    if (!runToEnd(description(kind, qMax(1, seconds), frameSize), path)) {
        QFile::remove(path);
        return {};
    }
    return path;
}

QString writeFile(const QString& dir, const QString& name, const QByteArray& bytes) {
    const QString path = QDir(dir).absoluteFilePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(bytes) != bytes.size()) {
        return {};
    }
    return path;
}

QString makeTaggedSong(const QString& dir, const QString& name, const SongTags& tags, int seconds) {
    const QString ffmpeg = QStandardPaths::findExecutable(QStringLiteral("ffmpeg"));
    if (ffmpeg.isEmpty())
        return QString();
    const QString path = QDir(dir).absoluteFilePath(name);
    QStringList args{"-hide_banner",
                     "-loglevel",
                     "error",
                     "-nostdin",
                     "-threads",
                     "1",
                     "-y",
                     "-f",
                     "lavfi",
                     "-i",
                     QStringLiteral("sine=frequency=440:duration=%1").arg(seconds)};
    if (!tags.cover.isEmpty())
        args << QStringList{"-f",
                            "lavfi",
                            "-i",
                            QStringLiteral("color=c=%1:s=64x48:d=1").arg(tags.cover),
                            "-map",
                            "0:a",
                            "-map",
                            "1:v",
                            "-frames:v",
                            "1",
                            "-c:v",
                            "png",
                            "-disposition:v:0",
                            "attached_pic",
                            "-metadata:s:v",
                            "comment=Cover (front)"};
    args << QStringList{"-c:a", "libmp3lame", "-id3v2_version", "3"};
    const auto tag = [&](const char* key, const QString& value) {
        if (!value.isEmpty())
            args << "-metadata" << QStringLiteral("%1=%2").arg(QLatin1String(key), value);
    };
    tag("title", tags.title);
    tag("artist", tags.artist);
    tag("album", tags.album);
    tag("track", tags.track > 0 ? QString::number(tags.track) : QString());
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(ffmpeg, args << path);
    if (!process.waitForFinished(60000) || process.exitCode() != 0) {
        qWarning().noquote() << "ffmpeg could not make" << name << process.readAll();
        return QString();
    }
    return path;
}

namespace {
// ffmpeg with the given options; false (and why, in the log) when it failed or is missing.
bool ffmpeg(const QStringList& options) {
    const QString program = QStandardPaths::findExecutable(QStringLiteral("ffmpeg"));
    if (program.isEmpty())
        return false;
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, QStringList{"-hide_banner", "-loglevel", "error", "-nostdin", "-threads",
                                       "1", "-y"} +
                               options);
    if (!process.waitForFinished(60000) || process.exitCode() != 0) {
        qWarning().noquote() << "ffmpeg" << options.join(' ') << process.readAll();
        return false;
    }
    return true;
}

// The file's picture turned a quarter to the right (as a phone held upright stores it)
// into path; the source file goes.
bool turnedOnItsSide(const QString& source, const QString& path, const QStringList& encoding) {
    const bool made = ffmpeg(QStringList{"-i", source, "-vf", "transpose=1"} + encoding << path);
    QFile::remove(source);
    return made;
}
} // namespace

QString makeAnimatedGif(const QString& dir, const QString& name, int seconds) {
    const QString path = QDir(dir).absoluteFilePath(name);
    const QString source = QStringLiteral("testsrc=size=160x120:rate=10:duration=%1").arg(seconds);
    return ffmpeg({"-f", "lavfi", "-i", source, "-loop", "0", path}) ? path : QString();
}

QString makeTrackedFilm(const QString& dir, const QString& name, int seconds) {
    const QString path = QDir(dir).absoluteFilePath(name);
    QByteArray chapters(";FFMETADATA1\n");
    for (int i = 0; i < 3; ++i)
        chapters += QStringLiteral("[CHAPTER]\nTIMEBASE=1/1000\nSTART=%1\nEND=%2\ntitle=Part %3\n")
                        .arg(i * seconds * 1000 / 3)
                        .arg((i + 1) * seconds * 1000 / 3)
                        .arg(i + 1)
                        .toUtf8();
    const QString meta = writeFile(dir, name + ".chapters", chapters);
    const QString lines =
        writeFile(dir, name + ".srt",
                  QStringLiteral("1\n00:00:00,000 --> %1,000\nHello\n\n")
                      .arg(QTime(0, 0).addSecs(seconds).toString(QStringLiteral("HH:mm:ss")))
                      .toUtf8());
    const QString length = QString::number(seconds);
    const auto tone = [&](int hz) {
        return QStringLiteral("sine=frequency=%1:sample_rate=8000:duration=%2").arg(hz).arg(length);
    };
    const bool made = ffmpeg({"-f",
                              "lavfi",
                              "-i",
                              "testsrc=size=160x120:rate=5:duration=" + length,
                              "-f",
                              "lavfi",
                              "-i",
                              tone(440),
                              "-f",
                              "lavfi",
                              "-i",
                              tone(880),
                              "-i",
                              lines,
                              "-i",
                              lines,
                              "-i",
                              meta,
                              "-map",
                              "0",
                              "-map",
                              "1",
                              "-map",
                              "2",
                              "-map",
                              "3",
                              "-map",
                              "4",
                              "-map_chapters",
                              "5",
                              "-c:v",
                              "mjpeg",
                              "-c:a",
                              "pcm_s16le",
                              "-c:s",
                              "srt",
                              "-metadata:s:a:0",
                              "language=eng",
                              "-metadata:s:a:1",
                              "language=fra",
                              "-metadata:s:a:1",
                              "title=Notes & Commentary",
                              "-metadata:s:s:0",
                              "language=ger",
                              "-metadata:s:s:1",
                              "language=und",
                              path});
    QFile::remove(meta);
    QFile::remove(lines);
    return made ? path : QString();
}

QString makePhoneVideo(const QString& dir, const QString& name, QSize upright, int seconds) {
    const QString path = QDir(dir).absoluteFilePath(name);
    const QString upright0 = makeMedia(Media::Mp4H264, dir, "upright-" + name, seconds, upright);
    const QString lying = QDir(dir).absoluteFilePath("lying-" + name);
    if (upright0.isEmpty() || !turnedOnItsSide(upright0, lying,
                                               {"-c:v", "libx264", "-preset", "ultrafast",
                                                "-pix_fmt", "yuv420p", "-c:a", "copy"}))
        return QString();
    // ffmpeg's "rotate" of a copied stream writes the display matrix phones write.
    const bool tagged = ffmpeg({"-i", lying, "-c", "copy", "-metadata:s:v:0", "rotate=90", path});
    QFile::remove(lying);
    return tagged ? path : QString();
}

QString makeWidePixelVideo(const QString& dir, const QString& name, QSize stored, int seconds) {
    const QString path = QDir(dir).absoluteFilePath(name);
    const QString square = makeMedia(Media::Mp4H264, dir, "square-" + name, seconds, stored);
    const bool made = !square.isEmpty() &&
                      ffmpeg({"-i", square, "-vf", "setsar=2/1", "-c:v", "libx264", "-preset",
                              "ultrafast", "-pix_fmt", "yuv420p", "-c:a", "copy", path});
    QFile::remove(square);
    return made ? path : QString();
}

QString makePhonePhoto(const QString& dir, const QString& name, QSize upright) {
    const QString path = QDir(dir).absoluteFilePath(name);
    const QString upright0 = makeMedia(Media::Jpeg, dir, "upright-" + name, 1, upright);
    if (upright0.isEmpty() || !turnedOnItsSide(upright0, path, {"-q:v", "2"}) ||
        !writeExifOrientation(path, 8))
        return QString();
    return path;
}

namespace {
bool insertAfterStart(const QString& path, const QByteArray& segment) {
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite))
        return false;
    const QByteArray jpeg = file.readAll();
    if (!jpeg.startsWith("\xFF\xD8") || !file.seek(0))
        return false;
    return file.write(jpeg.left(2) + segment + jpeg.mid(2)) > 0;
}
} // namespace

bool writeJfifSegment(const QString& path) {
    // APP0, length 16: "JFIF", version 1.01, aspect units 0, density 1:1, no thumbnail.
    return insertAfterStart(path, QByteArray("\xFF\xE0\x00\x10JFIF\x00\x01\x01\x00\x00\x01\x00\x01"
                                             "\x00\x00",
                                             18));
}

bool writeExifOrientation(const QString& path, int orientation) {
    QByteArray tiff("II*\0", 4);
    const auto le16 = [&](quint16 v) { tiff.append(char(v & 0xFF)).append(char(v >> 8)); };
    // The first directory follows the header; one entry: Orientation, one SHORT, its value
    // padded to four bytes; no further directory.
    for (const quint16 v :
         {quint16(8), quint16(0), quint16(1), quint16(0x0112), quint16(3), quint16(1), quint16(0),
          quint16(orientation), quint16(0), quint16(0), quint16(0)})
        le16(v);
    const QByteArray body = QByteArray("Exif\0\0", 6) + tiff;
    QByteArray segment("\xFF\xE1", 2);
    segment.append(char((body.size() + 2) >> 8)).append(char((body.size() + 2) & 0xFF));
    return insertAfterStart(path, segment + body);
}

QByteArray LastPictureBytes(void* playbin) {
    GstSample* sample = nullptr;
    g_object_get(playbin, "sample", &sample, nullptr);
    QByteArray bytes;
    GstMapInfo map;
    if (sample != nullptr && gst_buffer_map(gst_sample_get_buffer(sample), &map, GST_MAP_READ)) {
        bytes = QByteArray(reinterpret_cast<const char*>(map.data), qsizetype(map.size));
        gst_buffer_unmap(gst_sample_get_buffer(sample), &map);
    }
    if (sample != nullptr)
        gst_sample_unref(sample);
    return bytes;
}

} // namespace fixtures
