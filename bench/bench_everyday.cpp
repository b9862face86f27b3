// The everyday controls on a local file: how long a switch of sound track and a change of
// speed take to take effect, and the size of the positions file holding 10,000 long paths.
// Taking effect is measured from the call until the graph reports the new track or rate, the
// position has moved on, and the sound output is given the new track's tone (told apart by
// its pitch) or sound at the new pace. Prints figures and TARGET lines; asserts only that the
// work was done.
#include "BenchSupport.h"

#include "platform/dao/PositionStore.h"
#include "platform/media/FilterGraph.h"

#include <QApplication>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <gst/audio/audio.h>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>

using bench::Samples;
using bench::Stopwatch;

namespace {

constexpr int kRounds = 9;
constexpr double kLimitMs = 300;

// Thirty seconds of two tones as two sound tracks in Matroska; "" without ffmpeg.
QString twoTracks(const QString& dir) {
    const QString program = QStandardPaths::findExecutable(QStringLiteral("ffmpeg"));
    const QString path = dir + QStringLiteral("/tracks.mkv");
    const QString sine = QStringLiteral("-f lavfi -i sine=frequency=%1:duration=30 ");
    const QStringList args = (QStringLiteral("-v error -y ") + sine.arg(440) + sine.arg(880) +
                              QStringLiteral("-map 0 -map 1 -c:a pcm_s16le"))
                                 .split(QLatin1Char(' '))
                             << path;
    return !program.isEmpty() && QProcess::execute(program, args) == 0 ? path : QString();
}

using Clock = std::chrono::steady_clock;

// What reaches the sound output: the first buffer, after a wish was made, of the tone wished
// for (by its zero crossings) and of the pace wished for (the segment's rate).
class OutputWatch {
public:
    explicit OutputWatch(GstElement* pipeline) {
        GstIterator* it = gst_bin_iterate_recurse(GST_BIN(pipeline));
        GValue item = G_VALUE_INIT;
        while (gst_iterator_next(it, &item) == GST_ITERATOR_OK) {
            auto* element = GST_ELEMENT(g_value_get_object(&item));
            if (GST_OBJECT_FLAG_IS_SET(element, GST_ELEMENT_FLAG_SINK) && !GST_IS_BIN(element) &&
                m_pad == nullptr)
                m_pad = gst_element_get_static_pad(element, "sink");
            g_value_reset(&item);
        }
        g_value_unset(&item);
        gst_iterator_free(it);
        if (m_pad)
            gst_pad_add_probe(m_pad, GST_PAD_PROBE_TYPE_BUFFER, &onBuffer, this, nullptr);
    }
    ~OutputWatch() {
        if (m_pad)
            gst_object_unref(m_pad);
    }
    bool found() const { return m_pad != nullptr; }
    void wish(double frequency, double rate) {
        m_met = 0;
        m_frequency = frequency;
        m_rate = rate;
    }
    // When the wish was met, or none yet.
    std::optional<Clock::time_point> met() const {
        const int64_t at = m_met;
        return at ? std::optional(Clock::time_point(Clock::duration(at))) : std::nullopt;
    }

private:
    static GstPadProbeReturn onBuffer(GstPad* pad, GstPadProbeInfo* info, gpointer self) {
        static_cast<OutputWatch*>(self)->look(pad, GST_PAD_PROBE_INFO_BUFFER(info));
        return GST_PAD_PROBE_OK;
    }
    void look(GstPad* pad, GstBuffer* buffer) {
        if (m_met != 0 || buffer == nullptr)
            return;
        GstEvent* event = gst_pad_get_sticky_event(pad, GST_EVENT_SEGMENT, 0);
        double rate = 1;
        if (event) {
            const GstSegment* segment = nullptr;
            gst_event_parse_segment(event, &segment);
            rate = segment->rate * segment->applied_rate;
            gst_event_unref(event);
        }
        const double frequency = toneOf(pad, buffer);
        if (std::abs(rate - m_rate) < 0.01 && std::abs(frequency - m_frequency) < m_frequency / 6)
            m_met = Clock::now().time_since_epoch().count();
    }
    // The tone's pitch from the first channel's zero crossings; 0 for a format not read here.
    static double toneOf(GstPad* pad, GstBuffer* buffer) {
        GstCaps* caps = gst_pad_get_current_caps(pad);
        GstAudioInfo info;
        const bool known = caps && gst_audio_info_from_caps(&info, caps);
        if (caps)
            gst_caps_unref(caps);
        const GstAudioFormat format =
            known ? GST_AUDIO_INFO_FORMAT(&info) : GST_AUDIO_FORMAT_UNKNOWN;
        if (format != GST_AUDIO_FORMAT_S16 && format != GST_AUDIO_FORMAT_F32)
            return 0;
        GstMapInfo map;
        if (!gst_buffer_map(buffer, &map, GST_MAP_READ))
            return 0;
        const int channels = GST_AUDIO_INFO_CHANNELS(&info);
        const size_t frames = map.size / GST_AUDIO_INFO_BPF(&info);
        int crossings = 0;
        double last = 0;
        for (size_t i = 0; i < frames; ++i) {
            const double v = format == GST_AUDIO_FORMAT_S16
                                 ? reinterpret_cast<const int16_t*>(map.data)[i * channels]
                                 : reinterpret_cast<const float*>(map.data)[i * channels];
            crossings += (v >= 0) != (last >= 0) && i > 0;
            last = v;
        }
        gst_buffer_unmap(buffer, &map);
        return frames > 0 ? crossings / 2.0 * GST_AUDIO_INFO_RATE(&info) / double(frames) : 0;
    }

    GstPad* m_pad = nullptr;
    std::atomic<int64_t> m_met{0};
    std::atomic<double> m_frequency{0};
    std::atomic<double> m_rate{1};
};

struct Graph {
    std::shared_ptr<IGraphBuilder> builder;
    std::shared_ptr<IMediaControl> control;
    std::shared_ptr<IMediaSeeking> seeking;
    std::shared_ptr<IBasicAudio> audio;

    LONGLONG position() const {
        LONGLONG at = 0;
        seeking->GetCurrentPosition(&at);
        return at;
    }
};

// Milliseconds until done() holds, the position has moved on from where it was at the call
// and the output had what was wished; -1 when that takes more than five seconds.
template <class Call, class Done>
double untilEffect(Graph& graph, OutputWatch& output, Call call, Done done) {
    const LONGLONG before = graph.position();
    const Clock::time_point start = Clock::now();
    Stopwatch watch;
    call();
    while (!(done() && graph.position() > before && output.met())) {
        if (watch.Ms() > 5000)
            return -1;
        QApplication::processEvents();
        QThread::usleep(500);
    }
    const double heard = std::chrono::duration<double, std::milli>(*output.met() - start).count();
    return std::max({0.0, watch.Ms() - 0.5, heard}); // the last wait is half a millisecond
}

// Each change is measured from steady playing, as a user makes them.
void settle() {
    Stopwatch watch;
    while (watch.Ms() < 300)
        QApplication::processEvents(QEventLoop::AllEvents, 10);
}

TEST(EverydayBench, TrackAndSpeedTakeEffect) {
    QTemporaryDir dir;
    const QString path = twoTracks(dir.path());
    ASSERT_FALSE(path.isEmpty()) << "ffmpeg could not make the medium";
    Graph graph;
    ASSERT_EQ(CoCreateFilterGraph(graph.builder), S_OK);
    ASSERT_EQ(graph.builder->RenderFile(path.toStdWString()), S_OK);
    ASSERT_EQ(graph.builder->QueryInterface(graph.control), S_OK);
    ASSERT_EQ(graph.builder->QueryInterface(graph.seeking), S_OK);
    ASSERT_EQ(graph.builder->QueryInterface(graph.audio), S_OK);
    ASSERT_EQ(graph.audio->SoundTracks().size(), 2u);
    OutputWatch output(graph.builder->Pipeline());
    ASSERT_TRUE(output.found());
    output.wish(440, 1);
    graph.control->Run();
    ASSERT_GE(untilEffect(
                  graph, output, [] {}, [] { return true; }),
              0);

    Samples track;
    Samples speed;
    for (int round = 0; round < kRounds; ++round) {
        const int to = 1 - graph.audio->CurrentSoundTrack();
        const double rate = round % 2 == 0 ? 1.5 : 1.0;
        output.wish(to == 0 ? 440 : 880, round % 2 == 0 ? 1.0 : 1.5);
        const double ms = untilEffect(
            graph, output, [&] { graph.audio->SelectSoundTrack(to); },
            [&] { return graph.audio->CurrentSoundTrack() == to; });
        ASSERT_GE(ms, 0) << "the track did not switch";
        track.Add(ms);
        settle();
        output.wish(to == 0 ? 440 : 880, rate);
        const double rateMs = untilEffect(
            graph, output, [&] { graph.seeking->SetRate(rate); },
            [&] {
                double now = 0;
                return SUCCEEDED(graph.seeking->GetRate(&now)) && now == rate;
            });
        ASSERT_GE(rateMs, 0) << "the speed did not change";
        speed.Add(rateMs);
        settle();
    }
    bench::Target("sound track switched, local file (ms)", track, "", kLimitMs, true);
    bench::Target("speed changed, local file (ms)", speed, "", kLimitMs, true);
}

TEST(EverydayBench, PositionsFileOfTenThousandFiles) {
    QTemporaryDir dir;
    const QString file = dir.path() + QStringLiteral("/positions.sqlite");
    const QString folder = QStringLiteral("/home/someone/Videos/") + QString(160, QLatin1Char('x'));
    {
        lumarest::dao::PositionStore store(file);
        for (int i = 0; i < lumarest::dao::PositionStore::kDefaultCapacity; ++i)
            store.Write(folder + QStringLiteral("/film %1.mkv").arg(i), 1000LL * i);
        ASSERT_EQ(store.Count(), lumarest::dao::PositionStore::kDefaultCapacity);
    }
    const qint64 bytes = QFileInfo(file).size() + QFileInfo(file + QStringLiteral("-wal")).size();
    Samples size;
    size.Add(double(bytes) / 1024);
    std::printf("positions file: %lld bytes for 10,000 paths of %lld characters\n",
                static_cast<long long>(bytes), static_cast<long long>(folder.size() + 14));
    bench::Target("positions file, 10,000 files (KiB)", size, "", 1024, true, 0);
}

} // namespace
