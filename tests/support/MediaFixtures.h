// Small media files for tests, made with GStreamer in this process in a fraction of a second
// each: 320x240 pictures at 25 frames a second, 44.1 kHz stereo sound, test patterns and
// tones. Nothing is cached; every call writes a fresh file.
#pragma once

#include <QByteArray>
#include <QSize>
#include <QString>

namespace fixtures {

enum class Media {
    Wav,       // PCM sound in RIFF
    OggVorbis, // Vorbis sound in Ogg
    Mp3Xing,   // MP3 sound with a Xing header (length known at once)
    Mp3NoXing, // MP3 sound without one (length only known by reading the whole file)
    AviMjpeg,  // Motion-JPEG video and PCM sound in AVI
    WebmVp8,   // VP8 video and Vorbis sound in WebM
    Mp4H264,   // H.264 video and AAC sound in MP4
    OggTheora, // Theora video and Vorbis sound in Ogg
    Png,       // a still picture
    Jpeg,      // a still picture
};

// The name makeMedia gives a file of that kind when none is asked for ("sound.wav", ...).
QString defaultName(Media kind);

// Writes the medium into dir under name (or defaultName) and returns its absolute path;
// an empty string when it could not be made. seconds is ignored for still pictures.
QString makeMedia(Media kind, const QString& dir, const QString& name = {}, int seconds = 5,
                  QSize frameSize = QSize(320, 240));

// An MP3 tone with ID3 tags, as a music collection's files are, made by ffmpeg: a title,
// artist, album and track number, and with cover a small PNG picture of that colour as its
// front cover. "" when it could not be made (ffmpeg missing).
struct SongTags {
    QString title, artist, album;
    int track = 0;
    QString cover; // a colour name ("red"); "" for none
};
QString makeTaggedSong(const QString& dir, const QString& name, const SongTags& tags,
                       int seconds = 3);

// What a phone makes, by ffmpeg: the picture stored turned a quarter to the right, with the
// orientation that stands it up again (a display matrix in an MP4, EXIF Orientation 8 in a
// JPEG). Shown upright it is makeMedia's picture of the upright size. "" when it could not
// be made (ffmpeg missing).
QString makePhoneVideo(const QString& dir, const QString& name, QSize upright, int seconds);
QString makePhonePhoto(const QString& dir, const QString& name, QSize upright);
// An MP4 video whose stored pixels are twice as wide as high (as DVD and DV store 16:9):
// shown twice as wide as stored.
QString makeWidePixelVideo(const QString& dir, const QString& name, QSize stored, int seconds);
// An animated GIF of a moving test pattern at ten frames a second that asks to loop without
// end, made by ffmpeg. "" when it could not be made (ffmpeg missing).
QString makeAnimatedGif(const QString& dir, const QString& name, int seconds);
// A film as the everyday controls see one, in Matroska, made by ffmpeg: a test picture,
// two tones (English 440 Hz, French 880 Hz titled "Notes & Commentary"), two subtitle tracks
// (German, and one untagged) of one line over the whole length, and three chapters
// ("Part 1" to "Part 3") starting at 0, a third and two thirds. "" without ffmpeg.
QString makeTrackedFilm(const QString& dir, const QString& name, int seconds);
// Puts an EXIF block holding only the Orientation in front of a JPEG's segments.
bool writeExifOrientation(const QString& path, int orientation);
// Puts a JFIF segment (version 1.01, square pixels) in front of a JPEG's segments, as photo
// tools write it before their own.
bool writeJfifSegment(const QString& path);

// Writes bytes (for instance text under a media name, or nothing) and returns the path.
QString writeFile(const QString& dir, const QString& name, const QByteArray& bytes);

// The bytes of the last picture a playbin pipeline showed ("sample"); empty without one.
QByteArray LastPictureBytes(void* playbin);

} // namespace fixtures
