#include "platform/media/PlaybinGraph.h"

#include "platform/media/AnimationDecoder.h"
#include "platform/media/BuildPace.h"
#include "platform/media/DurationScan.h"
#include "platform/media/ExifOrientation.h"
#include "platform/media/GraphFailures.h"
#include "platform/media/PathUri.h"
#include "platform/media/PictureSizeLimit.h"
#include "platform/media/Preroll.h"
#include "platform/media/ReaderFallback.h"
#include "platform/media/SinkChoice.h"
#include "platform/media/StreamLength.h"
#include "platform/media/StreamReach.h"
#include "platform/media/SubtitleFiles.h"
#include "platform/media/TagReading.h"
#include "platform/media/TiffProbe.h"

#include <QString>

#include <algorithm>
#include <cmath>
#include <utility>

namespace media {
namespace {

// A healthy file starts in well under a second, but a busy machine can take many: only a
// medium that has not started in all this time is refused for it.
constexpr GstClockTime kPrerollTimeout = 30 * GST_SECOND * kBuildPace;
constexpr GstClockTime kScanTimeout = 3 * GST_SECOND * kBuildPace;
constexpr gint64 kNanosecondsPerUnit = 100; // graph times are in 100-ns units

// Hundredths of a decibel to playbin's linear factor; the bottom of the range is silence.
double linearVolume(long volume) {
    return volume <= -10000 ? 0.0 : std::pow(10.0, static_cast<double>(volume) / 2000.0);
}

} // namespace

std::shared_ptr<PlaybinGraph> PlaybinGraph::create(const SinkChoice& sinks) {
    auto graph = std::make_shared<PlaybinGraph>();
    return graph->makePipeline(sinks) ? graph : nullptr;
}

PlaybinGraph::PlaybinGraph() : m_video([this] { onVideoWidgetLost(); }) {}

// The pipeline stops before anything it uses goes: its threads may still hand over frames
// or post. The widget goes before the frames it paints.
PlaybinGraph::~PlaybinGraph() {
    if (m_playbin) {
        gst_element_set_state(m_playbin.get(), GST_STATE_NULL);
    }
    m_video.discard();
    m_bus.reset();
}

bool PlaybinGraph::makePipeline(const SinkChoice& sinks) {
    GstElement* playbin = gst_element_factory_make("playbin", nullptr);
    if (playbin == nullptr) {
        return false;
    }
    m_playbin.reset(GST_ELEMENT(gst_object_ref_sink(playbin)));
    limitPictureSize(playbin);
    m_subtitleKind = std::make_unique<SubtitleKind>(playbin);
    // playbin makes the automatic sound output itself when a sound stream needs one, as the
    // streams are linked; any other output is set here (playbin takes its own reference).
    if (!playbinMakesAudioSink(sinks.audio)) {
        GstPtr<GstElement> audioSink = makeAudioSink(sinks.audio);
        g_object_set(playbin, "audio-sink", audioSink.get(), nullptr);
    }
    useVideoSink(sinks.video);
    useTempoFilter();
    watchAvoidedReaders(playbin);
    m_bus = std::make_unique<BusBridge>(playbin, [this](GstMessage* m) { onBusMessage(m); });
    return true;
}

// The frames go to our own view unless another sink is named and can be made.
void PlaybinGraph::useVideoSink(const std::string& description) {
    GstPtr<GstElement> other = description.empty() ? nullptr : makeVideoSink(description);
    // The frames as decoded, for a picture of the screen without its subtitles.
    m_decoded = std::make_unique<DecodedFrames>(m_playbin.get());
    if (!other) {
        m_frames = std::make_unique<FrameSink>([this] { m_video.repaint(); });
        m_frames->setShownNotify([this](GstClockTime pts) { m_decoded->shown(pts); });
    } else {
        m_decoded->watchSink(other.get());
    }
    GstElement* sink = other ? other.get() : m_frames->element();
    if (sink != nullptr) {
        g_object_set(m_playbin.get(), "video-sink", sink, nullptr);
    }
}

HRESULT PlaybinGraph::preroll() {
    PrerollOutcome outcome = prerollPipeline(m_playbin.get(), *m_bus, kPrerollTimeout);
    // A reader ranked first that refuses or stalls on the file (decodebin drops the error of
    // a reader that fails while it is still being set up) gives way to one ranked below it;
    // a try whose data stopped flowing is made once more as it was.
    bool triedAgain = false;
    while (FAILED(outcome.result) && (outcome.cutShort || !outcome.refusingReader.empty())) {
        gst_element_set_state(m_playbin.get(), GST_STATE_NULL);
        const bool again = outcome.cutShort && !std::exchange(triedAgain, true);
        if (!again && (outcome.refusingReader.empty() ||
                       !avoidReader(m_playbin.get(), outcome.refusingReader))) {
            break;
        }
        m_bus->beginRendering();
        outcome = prerollPipeline(m_playbin.get(), *m_bus, kPrerollTimeout);
    }
    return outcome.result;
}

HRESULT PlaybinGraph::queryFacet(Facet facet, std::shared_ptr<void>& out) {
    static constexpr GraphCall kCalls[] = {
        GraphCall::QueryMediaControl,  GraphCall::QueryMediaEventEx, GraphCall::QueryMediaSeeking,
        GraphCall::QueryMediaPosition, GraphCall::QueryVideoWindow,  GraphCall::QueryBasicVideo,
        GraphCall::QueryBasicAudio};
    if (auto failure = injectedGraphFailure(kCalls[static_cast<int>(facet)])) {
        out.reset();
        return *failure;
    }
    // Every facet shares the graph's ownership: the graph lives while any of them does.
    const std::shared_ptr<PlaybinGraph> self = shared_from_this();
    switch (facet) {
    case Facet::MediaControl:
        out = std::shared_ptr<IMediaControl>(self, this);
        break;
    case Facet::MediaEventEx:
        out = std::shared_ptr<IMediaEventEx>(self, this);
        break;
    case Facet::MediaSeeking:
        out = std::shared_ptr<IMediaSeeking>(self, this);
        break;
    case Facet::MediaPosition:
        out = std::shared_ptr<IMediaPosition>(self, this);
        break;
    case Facet::VideoWindow:
        out = std::shared_ptr<IVideoWindow>(self, this);
        break;
    case Facet::BasicVideo:
        out = std::shared_ptr<IBasicVideo>(self, this);
        break;
    case Facet::BasicAudio:
        out = std::shared_ptr<IBasicAudio>(self, this);
        break;
    }
    return S_OK;
}

media::MediumTags PlaybinGraph::GetTags() const {
    if (!m_rendered) {
        return {};
    }
    media::MediumTags tags = media::readStreamTags(m_playbin.get());
    if (!m_streamTitle.isEmpty()) {
        tags.title = m_streamTitle;
    }
    return tags;
}

void PlaybinGraph::resetPipeline() {
    gst_element_set_state(m_playbin.get(), GST_STATE_NULL);
    clearAvoidedReaders(m_playbin.get());
    m_rendered = false;
    m_ended = false;
    m_lastPositionNs = 0;
    m_durationNs.reset();
    m_loopsForever = false;
    m_stream = false;
    m_streamTitle.clear();
    m_rate = 1.0;
    m_chapters.clear();
    m_chapterTitles.clear();
    m_facts = StreamFacts{};
    m_requestedState = State_Stopped;
    if (m_frames) {
        m_frames->clear();
    }
    if (m_decoded) {
        m_decoded->clear();
    }
}

HRESULT PlaybinGraph::RenderFile(const std::wstring& path) {
    if (auto failure = injectedGraphFailure(GraphCall::RenderFile)) {
        return *failure;
    }
    resetPipeline();
    m_streamFailure = {};
    if (isStreamUri(path)) {
        return renderStream(QString::fromStdWString(path).toStdString());
    }
    m_uri = uriForPath(path);
    if (m_uri.empty()) {
        return HRESULT_FILE_NOT_FOUND;
    }
    if (!mayOpenWithoutWaiting(path)) {
        return HRESULT_ACCESS_DENIED;
    }
    const std::string local = QString::fromStdWString(path).toStdString();
    if (tiffHasFloatSamples(local)) {
        return VFW_E_UNSUPPORTED_STREAM; // what the decoders here would show is noise
    }
    m_bus->beginRendering();
    g_object_set(m_playbin.get(), "uri", m_uri.c_str(), nullptr);
    const std::string subtitles = subtitleUriBeside(path);
    m_subtitleKind->setUri(subtitles);
    g_object_set(m_playbin.get(), "suburi", subtitles.empty() ? nullptr : subtitles.c_str(),
                 nullptr);
    // A photo's own orientation turns it; any other picture follows its stream's tag.
    const int exif = exifOrientationOfFile(local);
    if (m_frames) {
        m_frames->turn(exif == 1 ? "auto" : turnForExifOrientation(exif));
    }
    const HRESULT hr = takeRendered(preroll(), exifTurnsOnItsSide(exif));
    if (SUCCEEDED(hr) && m_chapters.empty()) {
        takeMp4Chapters(local);
    }
    return hr;
}

HRESULT PlaybinGraph::takeRendered(HRESULT hr, bool turnedOnSide) {
    if (SUCCEEDED(hr)) {
        m_facts = readStreamFacts(m_playbin.get(), turnedOnSide);
    }
    // A picture whose size no frame fixed (a file cut short before its first frame)
    // cannot be laid out: such a medium is refused like any other unsupported one.
    const bool sizeless = m_facts.hasVideo() && (m_facts.width <= 0 || m_facts.height <= 0);
    if (FAILED(hr) || sizeless || (!m_facts.hasVideo() && m_facts.audioStreams == 0)) {
        resetPipeline();
        m_video.discard();
        m_bus->endRendering();
        return FAILED(hr) ? hr : VFW_E_UNSUPPORTED_STREAM;
    }
    if (m_facts.hasVideo()) {
        m_video.prepare(m_frames.get());
    } else {
        m_video.discard();
    }
    settleDuration();
    if (m_frames) {
        m_frames->scaleToShown(m_durationNs != 0); // a still picture keeps its own size
    }
    m_loopsForever = animationLoopsForever(m_playbin.get());
    g_object_set(m_playbin.get(), "volume", linearVolume(m_volume), nullptr);
    m_rendered = true;
    m_requestedState = State_Paused;
    m_bus->endRendering();
    return S_OK;
}

// Fixed once per file, so the length the player reads at the start stays true. It is the
// picture's and the sound's: a subtitle's last line can outlast both, and the medium ends
// with them.
void PlaybinGraph::settleDuration() {
    gint64 length = -1;
    if (gst_element_query_duration(m_playbin.get(), GST_FORMAT_TIME, &length) && length >= 0) {
        const std::optional<gint64> seenAndHeard = pictureAndSoundLength(m_playbin.get());
        m_durationNs = seenAndHeard && *seenAndHeard > 0 ? std::min(length, *seenAndHeard) : length;
    } else if (m_facts.isStillImage(false)) {
        m_durationNs = 0;
    } else if (m_stream) {
        // Measuring would read the stream again: one without a length is live.
    } else {
        m_durationNs = scanDuration(m_uri.c_str(), kScanTimeout);
    }
}

HRESULT PlaybinGraph::changeState(GstState state, long reported) {
    if (!m_rendered) {
        return E_UNEXPECTED;
    }
    if (gst_element_set_state(m_playbin.get(), state) == GST_STATE_CHANGE_FAILURE) {
        return E_FAIL;
    }
    m_requestedState = reported;
    return S_OK;
}

HRESULT PlaybinGraph::Run() {
    if (auto failure = injectedGraphFailure(GraphCall::Run)) {
        return *failure;
    }
    return changeState(GST_STATE_PLAYING, State_Running);
}

HRESULT PlaybinGraph::Pause() {
    if (auto failure = injectedGraphFailure(GraphCall::Pause)) {
        return *failure;
    }
    return changeState(GST_STATE_PAUSED, State_Paused);
}

// Stopped keeps the pipeline paused where it is: the position stays, as does the picture.
HRESULT PlaybinGraph::Stop() {
    if (auto failure = injectedGraphFailure(GraphCall::Stop)) {
        return *failure;
    }
    return changeState(GST_STATE_PAUSED, State_Stopped);
}

HRESULT PlaybinGraph::GetState(long timeoutMs, long* state) {
    if (state == nullptr) {
        return E_POINTER;
    }
    *state = m_requestedState;
    if (!m_rendered) {
        return S_OK;
    }
    const GstClockTime wait =
        timeoutMs < 0 ? GST_CLOCK_TIME_NONE : static_cast<GstClockTime>(timeoutMs) * GST_MSECOND;
    const GstStateChangeReturn ret = gst_element_get_state(m_playbin.get(), nullptr, nullptr, wait);
    if (ret == GST_STATE_CHANGE_FAILURE) {
        return E_FAIL;
    }
    return ret == GST_STATE_CHANGE_ASYNC ? VFW_S_STATE_INTERMEDIATE : S_OK;
}

HRESULT PlaybinGraph::GetDuration(LONGLONG* duration) {
    if (auto failure = injectedGraphFailure(GraphCall::GetDuration)) {
        return *failure;
    }
    if (duration == nullptr) {
        return E_POINTER;
    }
    if (!m_rendered) {
        return E_UNEXPECTED;
    }
    gint64 length = m_durationNs.value_or(-1);
    if (length < 0 && !gst_element_query_duration(m_playbin.get(), GST_FORMAT_TIME, &length)) {
        length = 0; // nothing knows the length: better a short medium than a failure
    }
    *duration = length / kNanosecondsPerUnit;
    return S_OK;
}

HRESULT PlaybinGraph::GetCurrentPosition(LONGLONG* position) {
    if (position == nullptr) {
        return E_POINTER;
    }
    if (!m_rendered) {
        return E_UNEXPECTED;
    }
    // In the middle of a change of state the sinks may not answer: the medium is where it
    // was last seen.
    gint64 now = 0;
    if (gst_element_query_position(m_playbin.get(), GST_FORMAT_TIME, &now) && now >= 0) {
        m_lastPositionNs = now;
    }
    *position = m_lastPositionNs / kNanosecondsPerUnit;
    return S_OK;
}

HRESULT PlaybinGraph::SetPositions(LONGLONG* current, DWORD currentFlags, LONGLONG* stop,
                                   DWORD stopFlags) {
    if (auto failure = injectedGraphFailure(GraphCall::SetPositions)) {
        return *failure;
    }
    if (!m_rendered) {
        return E_UNEXPECTED;
    }
    const auto target = [this](LONGLONG* value, DWORD flags, GstSeekType& type) -> gint64 {
        const DWORD positioning = flags & AM_SEEKING_PositioningBitsMask;
        type = GST_SEEK_TYPE_NONE;
        if (value == nullptr || positioning == AM_SEEKING_NoPositioning) {
            return -1;
        }
        gint64 base = 0;
        if (positioning == AM_SEEKING_RelativePositioning) {
            gst_element_query_position(m_playbin.get(), GST_FORMAT_TIME, &base);
        }
        type = GST_SEEK_TYPE_SET;
        return std::max<gint64>(0, base + *value * kNanosecondsPerUnit);
    };
    GstSeekType startType;
    GstSeekType stopType;
    const gint64 start = target(current, currentFlags, startType);
    const gint64 end = target(stop, stopFlags, stopType);
    if (startType == GST_SEEK_TYPE_NONE && stopType == GST_SEEK_TYPE_NONE) {
        return S_OK;
    }
    if (!seek(start, startType, end, stopType)) {
        return E_FAIL;
    }
    m_ended = false;
    if (startType == GST_SEEK_TYPE_SET) {
        m_lastPositionNs = start;
    }
    return S_OK;
}

HRESULT PlaybinGraph::put_Volume(long volume) {
    if (auto failure = injectedGraphFailure(GraphCall::PutVolume)) {
        return *failure;
    }
    if (volume > 0 || volume < -10000) {
        return E_INVALIDARG;
    }
    m_volume = volume;
    g_object_set(m_playbin.get(), "volume", linearVolume(volume), nullptr);
    return S_OK;
}

HRESULT PlaybinGraph::get_Volume(long* volume) {
    if (auto failure = injectedGraphFailure(GraphCall::GetVolume)) {
        return *failure;
    }
    if (volume == nullptr) {
        return E_POINTER;
    }
    *volume = m_volume;
    return S_OK;
}

void PlaybinGraph::onBusMessage(GstMessage* message) {
    // The end of the stream, or an error that stops it, ends the medium for the player.
    // A late length (a stream the scan could not measure) is taken when it arrives.
    if (GST_MESSAGE_TYPE(message) == GST_MESSAGE_EOS ||
        GST_MESSAGE_TYPE(message) == GST_MESSAGE_ERROR) {
        const bool before = m_ended;
        m_ended = m_rendered;
        if (m_ended && !before && m_endedNotify) {
            m_endedNotify();
        }
    }
    if (GST_MESSAGE_TYPE(message) == GST_MESSAGE_TAG && m_rendered && m_stream) {
        takeStreamTitle(message);
    }
    if (GST_MESSAGE_TYPE(message) == GST_MESSAGE_TOC) {
        takeChapters(message);
    }
    if (GST_MESSAGE_TYPE(message) == GST_MESSAGE_DURATION_CHANGED && !m_durationNs) {
        gint64 length = -1;
        if (gst_element_query_duration(m_playbin.get(), GST_FORMAT_TIME, &length) && length > 0) {
            m_durationNs = length;
        }
    }
}

void PlaybinGraph::onVideoWidgetLost() {
    // The owner took the window with it: nothing may draw into it any more.
    resetPipeline();
}

} // namespace media

HRESULT CoCreateFilterGraph(std::shared_ptr<IGraphBuilder>& out) {
    out.reset();
    if (auto failure = media::injectedGraphFailure(media::GraphCall::CreateGraph)) {
        return *failure;
    }
    if (!gst_is_initialized()) {
        return E_UNEXPECTED;
    }
    out = media::PlaybinGraph::create();
    return out ? S_OK : E_FAIL;
}
