#include "platform/media/AnimationReader.h"

#include "platform/media/ApngReader.h"

#include <QBuffer>
#include <QImageReader>

namespace media {
namespace {

constexpr int kFastestDelayMs = 10;
constexpr int kShownFastDelayMs = 100;

// GIF and WebP (with the toolkit's image-formats plugins), read by the toolkit, which
// lays each frame over the ones before as the file says.
class ToolkitAnimationReader final : public AnimationReader {
public:
    explicit ToolkitAnimationReader(const QByteArray& data) : m_data(data) { rewind(); }

    bool readable() const { return m_reader->canRead(); }
    QSize size() const override { return m_size; }
    void rewind() override {
        m_reader.reset();
        m_buffer.close();
        m_buffer.setData(m_data);
        m_buffer.open(QIODevice::ReadOnly);
        m_reader = std::make_unique<QImageReader>(&m_buffer);
        m_size = m_reader->size();
    }
    bool next(QImage& frame, int& delayMs) override {
        if (!m_reader->read(&frame)) {
            return false;
        }
        delayMs = m_reader->nextImageDelay();
        return true;
    }
    int plays() const override {
        // The toolkit counts the repeats after the first pass, -1 for without end.
        const int loops = m_reader->loopCount();
        return loops < 0 ? 0 : loops + 1;
    }

private:
    QByteArray m_data;
    QBuffer m_buffer;
    std::unique_ptr<QImageReader> m_reader;
    QSize m_size;
};

} // namespace

std::unique_ptr<AnimationReader> openAnimation(const QByteArray& data) {
    if (isPng(data)) {
        auto apng = std::make_unique<ApngReader>(data);
        return apng->readable() ? std::move(apng) : nullptr;
    }
    auto toolkit = std::make_unique<ToolkitAnimationReader>(data);
    return toolkit->readable() ? std::move(toolkit) : nullptr;
}

int shownDelay(int delayMs) {
    return delayMs <= kFastestDelayMs ? kShownFastDelayMs : delayMs;
}

AnimationLength measureAnimation(AnimationReader& reader) {
    AnimationLength length;
    QImage frame;
    int delay = 0;
    while (reader.next(frame, delay)) {
        ++length.frames;
        length.passMs += shownDelay(delay);
    }
    reader.rewind();
    return length;
}

} // namespace media
