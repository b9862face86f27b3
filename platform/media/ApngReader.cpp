#include "platform/media/ApngReader.h"

#include <QPainter>
#include <QtEndian>
#include <zlib.h>

#include <cstring>

namespace media {
namespace {

constexpr char kSignature[] = "\x89PNG\r\n\x1a\n";
constexpr qsizetype kSignatureSize = 8;
constexpr qsizetype kChunkOverhead = 12; // length, type and check sum
constexpr qsizetype kHeaderSize = 13;
constexpr qsizetype kControlSize = 26;
constexpr int kDefaultDelayUnits = 100; // a delay's denominator of 0 means hundredths

quint32 readU32(const char* at) {
    return qFromBigEndian<quint32>(at);
}
quint16 readU16(const char* at) {
    return qFromBigEndian<quint16>(at);
}

void appendChunk(QByteArray& png, const char* type, const char* data, qsizetype length) {
    char size[4];
    qToBigEndian<quint32>(static_cast<quint32>(length), size);
    png.append(size, 4);
    const qsizetype typeAt = png.size();
    png.append(type, 4);
    png.append(data, length);
    const auto* checked = reinterpret_cast<const Bytef*>(png.constData() + typeAt);
    char sum[4];
    qToBigEndian<quint32>(static_cast<quint32>(crc32(0, checked, static_cast<uInt>(length + 4))),
                          sum);
    png.append(sum, 4);
}

} // namespace

bool isPng(const QByteArray& data) {
    return data.startsWith(QByteArray(kSignature, kSignatureSize));
}

ApngReader::ApngReader(const QByteArray& data) : m_data(data) {
    if (isPng(m_data)) {
        index();
    }
    rewind();
}

// Where every frame's control and data lie; nothing is decoded yet.
void ApngReader::index() {
    bool sawData = false;
    bool defaultIsFrame = false;
    qsizetype at = kSignatureSize;
    while (at + kChunkOverhead <= m_data.size()) {
        const char* chunk = m_data.constData() + at;
        const qsizetype length = readU32(chunk);
        if (length > m_data.size() - at - kChunkOverhead) {
            break; // cut short: the frames so far are all there is
        }
        const QByteArray type(chunk + 4, 4);
        const char* body = chunk + 8;
        if (type == "IHDR" && length == kHeaderSize) {
            m_header = QByteArray(body, length);
            m_size = QSize(int(readU32(body)), int(readU32(body + 4)));
        } else if (type == "acTL" && length >= 8) {
            m_plays = int(std::min<quint32>(readU32(body + 4), 1u << 16));
        } else if (type == "fcTL") {
            addControl(body, length);
            defaultIsFrame = defaultIsFrame || !sawData;
        } else if (type == "IDAT") {
            sawData = true;
            // The default picture is a frame only when a control chunk came before it.
            if (defaultIsFrame && !m_frames.empty()) {
                m_frames.back().data.push_back({at + 8, length});
            }
        } else if (type == "fdAT" && length > 4 && !m_frames.empty()) {
            m_frames.back().data.push_back({at + 12, length - 4});
        } else if (type == "IEND") {
            break;
        } else if (!sawData && type != "IHDR" && type != "acTL") {
            m_ancillary.append(chunk, length + kChunkOverhead);
        }
        at += length + kChunkOverhead;
    }
    // A frame without data, or one that lies outside the canvas, ends the animation.
    for (size_t i = 0; i < m_frames.size(); ++i) {
        if (m_frames[i].data.empty() || !QRect(QPoint(), m_size).contains(m_frames[i].area)) {
            m_frames.resize(i);
            break;
        }
    }
}

void ApngReader::addControl(const char* body, qsizetype length) {
    if (length < kControlSize) {
        return;
    }
    Frame frame;
    frame.area = QRect(int(readU32(body + 12)), int(readU32(body + 16)), int(readU32(body + 4)),
                       int(readU32(body + 8)));
    const int numerator = readU16(body + 20);
    const int denominator = readU16(body + 22);
    frame.delayMs = numerator * 1000 / (denominator == 0 ? kDefaultDelayUnits : denominator);
    frame.dispose = body[24];
    frame.blend = body[25];
    // Nothing was there before the first frame: putting that back clears.
    if (m_frames.empty() && frame.dispose == 2) {
        frame.dispose = 1;
    }
    m_frames.push_back(std::move(frame));
}

void ApngReader::rewind() {
    m_next = 0;
    m_last = nullptr;
    m_underLast = QImage();
    if (m_size.isValid()) {
        m_canvas = QImage(m_size, QImage::Format_ARGB32_Premultiplied);
        m_canvas.fill(Qt::transparent);
    }
}

// The frame's data as a PNG of the frame's size, decoded by the toolkit.
QImage ApngReader::decode(const Frame& frame) const {
    QByteArray png(kSignature, kSignatureSize);
    QByteArray header = m_header;
    qToBigEndian<quint32>(static_cast<quint32>(frame.area.width()), header.data());
    qToBigEndian<quint32>(static_cast<quint32>(frame.area.height()), header.data() + 4);
    appendChunk(png, "IHDR", header.constData(), header.size());
    png.append(m_ancillary);
    for (const Piece& piece : frame.data) {
        appendChunk(png, "IDAT", m_data.constData() + piece.at, piece.length);
    }
    appendChunk(png, "IEND", nullptr, 0);
    return QImage::fromData(png, "PNG");
}

void ApngReader::disposeOfLast() {
    if (m_last == nullptr || m_last->dispose == 0) {
        return;
    }
    QPainter painter(&m_canvas);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    if (m_last->dispose == 1) {
        painter.fillRect(m_last->area, Qt::transparent);
    } else if (!m_underLast.isNull()) {
        painter.drawImage(m_last->area.topLeft(), m_underLast);
    }
}

bool ApngReader::next(QImage& frame, int& delayMs) {
    if (m_next >= m_frames.size() || m_canvas.isNull()) {
        return false;
    }
    const Frame& current = m_frames[m_next];
    const QImage picture = decode(current);
    if (picture.isNull() || picture.size() != current.area.size()) {
        return false;
    }
    disposeOfLast();
    m_underLast = current.dispose == 2 ? m_canvas.copy(current.area) : QImage();
    {
        QPainter painter(&m_canvas);
        painter.setCompositionMode(current.blend == 0 ? QPainter::CompositionMode_Source
                                                      : QPainter::CompositionMode_SourceOver);
        painter.drawImage(current.area.topLeft(), picture);
    }
    frame = m_canvas;
    delayMs = current.delayMs;
    m_last = &current;
    ++m_next;
    return true;
}

} // namespace media
