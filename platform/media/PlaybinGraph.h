// One media graph: a playbin with the outputs of our choice, its bus carried to the UI thread,
// the frames it decodes painted by a widget of ours, and every facet the player asks for.
#pragma once

#include "platform/media/BusBridge.h"
#include "platform/media/DecodedFrames.h"
#include "platform/media/FilterGraph.h"
#include "platform/media/FrameSink.h"
#include "platform/media/SinkChoice.h"
#include "platform/media/StreamFacts.h"
#include "platform/media/SubtitleKind.h"
#include "platform/media/VideoWindowHost.h"

#include <functional>
#include <memory>
#include <optional>

namespace media {

class PlaybinGraph final : public IGraphBuilder,
                           public IMediaControl,
                           public IMediaEventEx,
                           public IMediaPosition,
                           public IMediaSeeking,
                           public IBasicAudio,
                           public IBasicVideo,
                           public IVideoWindow,
                           public std::enable_shared_from_this<PlaybinGraph> {
public:
    // Null when the pipeline cannot be made (no playbin installed).
    static std::shared_ptr<PlaybinGraph> create(const SinkChoice& sinks = currentSinkChoice());
    PlaybinGraph();
    ~PlaybinGraph() override;
    PlaybinGraph(const PlaybinGraph&) = delete;
    PlaybinGraph& operator=(const PlaybinGraph&) = delete;

    HRESULT RenderFile(const std::wstring& path) override;
    GstElement* Pipeline() const override { return m_playbin.get(); }
    media::MediumTags GetTags() const override;

    HRESULT Run() override;
    HRESULT Pause() override;
    HRESULT Stop() override;
    HRESULT GetState(long timeoutMs, long* state) override;

    bool HasEnded() const override { return m_ended; }
    void SetEndedNotify(std::function<void()> ended) override { m_endedNotify = std::move(ended); }

    HRESULT GetDuration(LONGLONG* duration) override;
    bool LoopsForever() const override { return m_rendered && m_loopsForever; }
    HRESULT GetCurrentPosition(LONGLONG* position) override;
    HRESULT SetPositions(LONGLONG* current, DWORD currentFlags, LONGLONG* stop,
                         DWORD stopFlags) override;
    HRESULT SetRate(double rate) override;
    HRESULT GetRate(double* rate) override;
    HRESULT StepFrame(bool forward) override;
    std::vector<LONGLONG> GetChapters() const override { return m_chapters; }
    std::vector<QString> GetChapterTitles() const override { return m_chapterTitles; }
    bool IsLive() const override { return m_rendered && m_stream && !m_durationNs; }
    StreamFailure LastStreamFailure() const override { return m_streamFailure; }
    void SetTagsNotify(std::function<void()> changed) override {
        m_tagsNotify = std::move(changed);
    }

    HRESULT put_Volume(long volume) override;
    HRESULT get_Volume(long* volume) override;
    bool HasSound() const override { return m_rendered && m_facts.audioStreams > 0; }
    std::vector<TrackTags> SoundTracks() const override;
    int CurrentSoundTrack() const override;
    HRESULT SelectSoundTrack(int index) override;

    HRESULT GetVideoSize(long* width, long* height) override;
    HRESULT put_SubtitlesShown(bool shown) override;
    std::vector<TrackTags> SubtitleTracks() const override;
    int CurrentSubtitleTrack() const override;
    HRESULT SelectSubtitleTrack(int index) override;
    HRESULT GetCurrentPicture(bool withSubtitles, QImage& picture) override;

    HRESULT get_Visible(long* visible) override;
    HRESULT put_Owner(OAHWND owner) override;
    HRESULT get_Owner(OAHWND* owner) override;
    HRESULT put_WindowStyle(long style) override;
    HRESULT get_WindowStyle(long* style) override;
    HRESULT SetWindowPosition(long left, long top, long width, long height) override;
    HRESULT GetWindowPosition(long* left, long* top, long* width, long* height) override;
    HRESULT put_Width(long width) override;
    HRESULT get_Width(long* width) override;
    HRESULT put_Height(long height) override;
    HRESULT get_Height(long* height) override;
    HRESULT put_FullScreenMode(long mode) override;
    HRESULT get_FullScreenMode(long* mode) override;
    QWidget* VideoWidget() const override { return m_video.widget(); }

protected:
    HRESULT queryFacet(Facet facet, std::shared_ptr<void>& out) override;

private:
    bool makePipeline(const SinkChoice& sinks);
    void useVideoSink(const std::string& description);
    HRESULT preroll();
    HRESULT renderStream(const std::string& uri);
    void takeStreamTitle(GstMessage* tag);
    // Keeps a prerolled medium (or lets go of one that failed or shows nothing to play).
    HRESULT takeRendered(HRESULT hr, bool turnedOnSide);
    void resetPipeline();
    void settleDuration();
    HRESULT changeState(GstState state, long reported);
    HRESULT videoCall() const;
    HRESULT placeVideo(const QRect& rect);
    void onBusMessage(GstMessage* message);
    void takeChapters(GstMessage* toc);
    void takeMp4Chapters(const std::string& path);
    void onVideoWidgetLost();
    void useTempoFilter();
    GstPtr<GstSample> shownSample() const;
    bool seek(gint64 start, GstSeekType startType, gint64 end, GstSeekType endType);
    // A flushing seek to where the medium is: what is queued downstream goes at once.
    bool seekHere();

    GstPtr<GstElement> m_playbin;
    std::unique_ptr<SubtitleKind> m_subtitleKind;
    std::unique_ptr<DecodedFrames> m_decoded;
    // The frames for our own view; null when another video sink was asked for.
    std::unique_ptr<FrameSink> m_frames;
    std::unique_ptr<BusBridge> m_bus;
    VideoWindowHost m_video;
    std::string m_uri;
    StreamFacts m_facts;
    bool m_rendered = false;
    bool m_ended = false;
    std::function<void()> m_endedNotify;
    gint64 m_lastPositionNs = 0;
    std::optional<gint64> m_durationNs;
    bool m_loopsForever = false;
    bool m_stream = false; // the medium comes from the network
    StreamFailure m_streamFailure;
    QString m_streamTitle; // the last title a playing stream told
    std::function<void()> m_tagsNotify;
    std::vector<LONGLONG> m_chapters;
    std::vector<QString> m_chapterTitles; // beside m_chapters; "" where a chapter has none
    long m_requestedState = State_Stopped;
    long m_volume = 0;
    long m_windowStyle = 0;
    double m_rate = 1.0;
};

} // namespace media
