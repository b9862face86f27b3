// The frames of an animated PNG. The toolkit reads only a PNG's default picture, so each
// frame's data is wrapped as a PNG of its own for the toolkit to decode, and laid over the
// canvas as the frame's control chunk says.
#pragma once

#include "platform/media/AnimationReader.h"

#include <vector>

namespace media {

// The data starts with the PNG signature.
bool isPng(const QByteArray& data);

class ApngReader final : public AnimationReader {
public:
    explicit ApngReader(const QByteArray& data);

    // A header and at least one frame were found.
    bool readable() const { return !m_header.isEmpty() && !m_frames.empty(); }
    QSize size() const override { return m_size; }
    bool next(QImage& frame, int& delayMs) override;
    void rewind() override;
    int plays() const override { return m_plays; }

private:
    struct Piece {
        qsizetype at = 0;
        qsizetype length = 0;
    };
    struct Frame {
        QRect area;
        int delayMs = 0;
        int dispose = 0; // 0 keep, 1 clear to transparent, 2 back to what was before
        int blend = 0;   // 0 replace the area, 1 lay over it
        std::vector<Piece> data;
    };
    void index();
    void addControl(const char* chunk, qsizetype length);
    QImage decode(const Frame& frame) const;
    void disposeOfLast();

    QByteArray m_data;
    QByteArray m_header;    // the IHDR chunk's contents
    QByteArray m_ancillary; // the chunks every frame shares (palette, transparency, ...), whole
    std::vector<Frame> m_frames;
    QSize m_size;
    int m_plays = 1;
    size_t m_next = 0;
    QImage m_canvas;
    QImage m_underLast; // what the last frame covered, when it is to be put back
    const Frame* m_last = nullptr;
};

} // namespace media
