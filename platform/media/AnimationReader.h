// The frames of an animated picture (GIF, animated PNG, animated WebP), read one at a time
// as they are shown: only the picture shown now is held, whatever the animation's length.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>

#include <memory>

namespace media {

class AnimationReader {
public:
    virtual ~AnimationReader() = default;
    // The canvas every frame fills.
    virtual QSize size() const = 0;
    // The next frame of the pass, the whole canvas as it is shown, and how long it stays;
    // false after the last one (or at a frame that cannot be read).
    virtual bool next(QImage& frame, int& delayMs) = 0;
    // Back to the first frame.
    virtual void rewind() = 0;
    // How many times the file says its frames play; 0 for without end.
    virtual int plays() const = 0;
};

// A reader of the file's bytes (kept by the reader); null when it is no picture readable
// here. PNG goes to the animated-PNG reader, anything else to the toolkit's readers.
std::unique_ptr<AnimationReader> openAnimation(const QByteArray& data);

// How long a frame stays: a delay of a hundredth of a second or less means "as fast as
// possible", which viewers show as a tenth.
int shownDelay(int delayMs);

struct AnimationLength {
    int frames = 0;
    qint64 passMs = 0; // one pass over the frames
};
// Reads one pass (decoding each frame and letting it go), then rewinds.
AnimationLength measureAnimation(AnimationReader& reader);

} // namespace media
