// The media graph as the player sees it: one graph with several facets, each held by a
// std::shared_ptr. The graph lives while any facet lives; dropping the last one stops the
// pipeline and frees everything. All calls belong to the user-interface thread.
#pragma once

#include "platform/media/HResult.h"
#include "platform/media/MediumTags.h"
#include "platform/media/StreamFault.h"
#include "platform/media/TrackTags.h"

#include <QImage>

#include <functional>
#include <gst/gst.h>
#include <memory>
#include <string>
#include <vector>

class IMediaControl {
public:
    virtual ~IMediaControl() = default;
    virtual HRESULT Run() = 0;
    virtual HRESULT Pause() = 0;
    // Holds playback and keeps the position; a later Run goes on from there.
    virtual HRESULT Stop() = 0;
    // The state asked for last (State_Stopped, State_Paused, State_Running);
    // VFW_S_STATE_INTERMEDIATE while the pipeline is still on its way there after waiting
    // up to timeoutMs.
    virtual HRESULT GetState(long timeoutMs, long* state) = 0;
};

class IMediaEventEx {
public:
    virtual ~IMediaEventEx() = default;
    // True once the medium has played to its end, or stopped on an error, since it was
    // rendered or last positioned.
    virtual bool HasEnded() const = 0;
    // Called on the UI thread as the medium ends (the graph's bus message, handled at once).
    virtual void SetEndedNotify(std::function<void()> ended) = 0;
};

// Held with the graph; seeking goes through IMediaSeeking.
class IMediaPosition {
public:
    virtual ~IMediaPosition() = default;
};

class IMediaSeeking {
public:
    virtual ~IMediaSeeking() = default;
    // Length in 100-nanosecond units; exactly 0 for a still image.
    virtual HRESULT GetDuration(LONGLONG* duration) = 0;
    // The medium asks to be played again from its start each time it ends, without end (an
    // animated picture); its duration is one pass, at whose end it ends as any medium does.
    virtual bool LoopsForever() const = 0;
    virtual HRESULT GetCurrentPosition(LONGLONG* position) = 0;
    // Positions in 100-nanosecond units; flags AM_SEEKING_Absolute/Relative/NoPositioning.
    virtual HRESULT SetPositions(LONGLONG* current, DWORD currentFlags, LONGLONG* stop,
                                 DWORD stopFlags) = 0;
    // How fast the medium plays: 1 is its own pace, 2 twice as fast; the sound keeps its
    // pitch. Taken at once from where the medium is; later positionings keep it.
    // E_INVALIDARG for a rate that is not a positive number.
    virtual HRESULT SetRate(double rate) = 0;
    virtual HRESULT GetRate(double* rate) = 0;
    // While paused: the next frame is shown (forward), or the one before as well as the
    // medium allows. E_UNEXPECTED for a medium without moving pictures.
    virtual HRESULT StepFrame(bool forward) = 0;
    // Where the medium's chapters start (100-nanosecond units, in order); none without them.
    virtual std::vector<LONGLONG> GetChapters() const { return {}; }
    // Their titles, in the same order; "" for a chapter without one.
    virtual std::vector<QString> GetChapterTitles() const { return {}; }
    // A stream from the network that tells no length (a live broadcast): it plays on until
    // it ends, and its duration reads 0 without making it a still image.
    virtual bool IsLive() const { return false; }
};

class IBasicAudio {
public:
    virtual ~IBasicAudio() = default;
    // Hundredths of a decibel: 0 is full volume, -10000 silence.
    virtual HRESULT put_Volume(long volume) = 0;
    virtual HRESULT get_Volume(long* volume) = 0;
    // The rendered file has a sound stream that plays.
    virtual bool HasSound() const = 0;
    // The rendered file's sound tracks in order, and the one heard (-1 for none).
    virtual std::vector<media::TrackTags> SoundTracks() const = 0;
    virtual int CurrentSoundTrack() const = 0;
    // That track is heard from now on, where the medium is; E_INVALIDARG for no such track.
    virtual HRESULT SelectSoundTrack(int index) = 0;
};

class IBasicVideo {
public:
    virtual ~IBasicVideo() = default;
    // Native picture size in pixels; fails when the graph renders no video.
    virtual HRESULT GetVideoSize(long* width, long* height) = 0;
    // Subtitles (a file beside the video, or the video's own first track) drawn on the
    // picture, or not. Shown unless told otherwise.
    virtual HRESULT put_SubtitlesShown(bool shown) = 0;
    // The rendered file's subtitle tracks in order (a file beside the video among them), and
    // the one drawn while subtitles are shown (-1 for none).
    virtual std::vector<media::TrackTags> SubtitleTracks() const = 0;
    virtual int CurrentSubtitleTrack() const = 0;
    // That track is drawn from now on; E_INVALIDARG for no such track.
    virtual HRESULT SelectSubtitleTrack(int index) = 0;
    // The picture on screen now at the video's own size: as decoded, or with the subtitles
    // drawn on it as they are shown. E_NOINTERFACE for a graph without video; E_FAIL before
    // a picture was shown.
    virtual HRESULT GetCurrentPicture(bool withSubtitles, QImage& picture) = 0;
};

class IVideoWindow {
public:
    virtual ~IVideoWindow() = default;
    // S_OK exactly when the graph renders video (visible tells whether the video widget is
    // shown now); E_NOINTERFACE for a graph without video. The other calls fail the same way.
    virtual HRESULT get_Visible(long* visible) = 0;
    // The video is drawn in a native child widget of owner that the graph creates and owns.
    virtual HRESULT put_Owner(OAHWND owner) = 0;
    virtual HRESULT get_Owner(OAHWND* owner) = 0;
    virtual HRESULT put_WindowStyle(long style) = 0;
    virtual HRESULT get_WindowStyle(long* style) = 0;
    // Placement in the owner's coordinates.
    virtual HRESULT SetWindowPosition(long left, long top, long width, long height) = 0;
    virtual HRESULT GetWindowPosition(long* left, long* top, long* width, long* height) = 0;
    virtual HRESULT put_Width(long width) = 0;
    virtual HRESULT get_Width(long* width) = 0;
    virtual HRESULT put_Height(long height) = 0;
    virtual HRESULT get_Height(long* height) = 0;
    // OATRUE moves the video into a full-screen window of its own, OAFALSE back into the owner.
    virtual HRESULT put_FullScreenMode(long mode) = 0;
    virtual HRESULT get_FullScreenMode(long* mode) = 0;
    // The widget the video is drawn in (null before the graph rendered video), for checks.
    virtual QWidget* VideoWidget() const = 0;
};

namespace media {
enum class Facet {
    MediaControl,
    MediaEventEx,
    MediaSeeking,
    MediaPosition,
    VideoWindow,
    BasicVideo,
    BasicAudio
};
template <class T> struct FacetOf;
template <> struct FacetOf<IMediaControl> { static constexpr Facet id = Facet::MediaControl; };
template <> struct FacetOf<IMediaEventEx> { static constexpr Facet id = Facet::MediaEventEx; };
template <> struct FacetOf<IMediaSeeking> { static constexpr Facet id = Facet::MediaSeeking; };
template <> struct FacetOf<IMediaPosition> { static constexpr Facet id = Facet::MediaPosition; };
template <> struct FacetOf<IVideoWindow> { static constexpr Facet id = Facet::VideoWindow; };
template <> struct FacetOf<IBasicVideo> { static constexpr Facet id = Facet::BasicVideo; };
template <> struct FacetOf<IBasicAudio> { static constexpr Facet id = Facet::BasicAudio; };
} // namespace media

class IGraphBuilder {
public:
    virtual ~IGraphBuilder() = default;

    // Builds the whole playback chain for the file and holds it paused on its first frame.
    // VFW_E_UNKNOWN_FILE_TYPE: the type is not recognised or the file is empty;
    // VFW_E_UNSUPPORTED_STREAM: no stream of it can be decoded;
    // HRESULT_FILE_NOT_FOUND, HRESULT_ACCESS_DENIED (also for a folder), else E_FAIL.
    // An http, https or rtsp URL in place of the path plays that stream: its server is
    // reached and the chain built within the stream start limit, and a failure tells why in
    // LastStreamFailure (E_FAIL, or the file results above for what came but cannot play).
    virtual HRESULT RenderFile(const std::wstring& path) = 0;
    virtual media::StreamFailure LastStreamFailure() const { return {}; }
    // Called on the UI thread when a stream that plays tells a new title (a broadcast names
    // each song as it comes); GetTags then has it.
    virtual void SetTagsNotify(std::function<void()> changed) { (void)changed; }
    // What the rendered file's tags say of it (nothing before a file is rendered).
    virtual media::MediumTags GetTags() const = 0;

    // Any facet of the same graph; out is null on failure.
    template <class T> HRESULT QueryInterface(std::shared_ptr<T>& out) {
        std::shared_ptr<void> facet;
        const HRESULT hr = queryFacet(media::FacetOf<T>::id, facet);
        out = SUCCEEDED(hr) ? std::static_pointer_cast<T>(facet) : nullptr;
        return out || FAILED(hr) ? hr : E_NOINTERFACE;
    }

    // The pipeline behind the graph, for diagnostics and tests (borrowed, may be null).
    virtual GstElement* Pipeline() const = 0;

protected:
    virtual HRESULT queryFacet(media::Facet facet, std::shared_ptr<void>& out) = 0;
};

// Creates a new, empty graph (the counterpart of creating the filter graph object).
HRESULT CoCreateFilterGraph(std::shared_ptr<IGraphBuilder>& out);
