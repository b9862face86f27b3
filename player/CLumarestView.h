#pragma once
// The player view: the window in which a media document plays. It owns one
// media graph at a time, sizes its window to the medium, counts the medium's
// seconds on a timer, moves through the document's play queue, and handles the
// Play, Pause, Full screen and Sound commands, the volume and slide keys, and
// muting as the keyboard focus moves between the program's windows.
#include "platform/framework/View.h"
#include "platform/media/FilterGraph.h"

#include "player/QueueAdvance.h"
#include "player/ResumePositions.h"
#include "player/TrackChoices.h"

#include <QFont>
#include <QPointer>
#include <QRect>
#include <QSlider>
#include <QString>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

class CLumarestDoc;
class CStatusBar;

class CLumarestView : public CView {
    Q_OBJECT
public:
    // Timer identifiers.
    static constexpr unsigned kTickTimer = 1;       // seconds, or slides
    static constexpr unsigned kFullScreenTimer = 2; // Escape watch while in full screen
    static constexpr unsigned kSliderTimer = 3;     // slider placement and drags
    static constexpr unsigned kNoteTimer = 4;       // how long a note stays in pane 0

    CLumarestView();
    ~CLumarestView() override;

    // Playback engine.
    // restart: plays the loaded graph again from its start. Otherwise builds a
    // graph for path (m_bstrFile when null) and runs it. False only when the
    // file is refused (unsupported, missing or unreadable).
    bool Play(const wchar_t* path, bool restart);
    void Stop();
    void ReleaseGraph();
    // After the first entry of a queue was refused: the queue moves on at the next
    // tick, as it does after a refused later entry.
    void PassOverRefused();

    // Passes a success; a failure is written to the failure log and ends the
    // process with status 1. False when the log cannot be opened.
    bool CheckResult(int code, HRESULT hr);

    void StartTimers(const QString& text);
    void ShowTime(const QString& text);
    void ApplySound();
    void InitKeyboard();

    // Commands.
    void OnPlayerPlay();
    void OnPlayerPause();
    void OnViewFullScreen();
    void OnViewSubtitles();
    void OnPlayerSound();

    void OnTimer(unsigned id) override;
    void OnSetFocus(QWidget* oldFocus) override;
    void OnKillFocus(QWidget* newFocus) override;
    void OnKeyDown(unsigned nChar, unsigned nRepCnt, unsigned nFlags) override;
    // While its medium starts, the view takes none of the commands meant for it.
    bool OnCmdMsg(UINT nID, CCmdUI* pCmdUI) override;
    void OnSize(unsigned type, int cx, int cy) override;
    void OnArranged() override;
    // A video asks for its native size (Window/Cascade gives frames their asked size).
    QSize sizeHint() const override;

    // A graph is loaded with its facets (not just the builder of a refused file).
    bool HasGraph() const { return m_pMC != nullptr; }
    // Waiting for a medium to start, while the program's other work goes on.
    bool IsStartingMedium() const { return m_bStarting; }

    // The window owns its playback state; everything else asks it and calls the
    // operations below, which the commands, keys, timers and the desktop share.
    enum class PlayStatus { Stopped, Starting, Playing, Paused, Ended };
    PlayStatus Status() const;
    const QString& File() const { return m_strFile; }
    int QueueIndex() const { return m_nQueueIndex; }
    // What the loaded medium's tags say of it.
    const media::MediumTags& Tags() const { return m_tags; }
    int64_t LengthUs() const { return HasGraph() ? m_llDuration / 10 : 0; }
    int64_t PositionUs() const;
    int ElapsedSeconds() const { return m_nElapsed; }
    int DurationSeconds() const { return m_nDuration; }
    // The volume the user hears from this window, hundredths of a decibel: the stored one,
    // or silence while the sound is off or M silenced it.
    int32_t VolumeInForce() const { return m_lVolumeInForce; }
    // The level pane 2 shows, 0 to 100; 0 while the sound is off or silenced.
    int Level() const;
    bool IsFullScreen() const { return m_bFullScreen; }
    // The slider in the status bar, while a timed medium is loaded.
    const QSlider* Slider() const { return m_wndSlider.data(); }
    // A stream from the network that tells no length: only its elapsed time shows.
    bool IsLive() const;
    bool CanSeek() const { return HasGraph() && m_wndSlider && m_nDuration > 0; }
    // Ending the entry now would play the next one of the queue.
    bool CanMoveQueueOn() const { return MovesQueueOn(TickState()); }
    // Moving pictures on screen now: video (not a still image), playing, not paused or ended.
    bool ShowsMovingVideo() const;
    // The window whose time and slider the status bar shows: the player that has the
    // keyboard, or else the last one that had it among those playing a queue.
    bool OwnsStatusBar() const;

    // Playback, each idempotent: StartPlaying resumes a paused medium and plays a stopped
    // or ended one again from its start; PausePlaying and StopPlaying do nothing when there
    // is nothing to pause or stop.
    void StartPlaying();
    void PausePlaying();
    void StopPlaying();
    void TogglePause();
    // The path the window plays next (set by its document for the first file).
    void SetFile(const QString& path);

    // What the keys, the slider and the desktop do to the medium. False when the medium
    // cannot be moved (a still image, a sound without length, nothing loaded).
    bool SeekTo(int second);
    // Up, Down, Home and End step through these levels.
    void SetLevel(int level);
    // The stored volume, held to 0 to -10000, heard unless the sound is off.
    void SetStoredVolume(int32_t volume);
    void SetSoundOff(bool off);
    void SetFullScreen(bool on);
    void SetSubtitlesShown(bool shown);
    // How fast the medium plays, held to the slowest and fastest steps: the window's own,
    // kept for each medium it plays next. The time and the slider stay in the medium's
    // seconds.
    void SetSpeed(double speed);
    double Speed() const { return m_dSpeed; }
    // While paused: one frame on, or one back as well as the medium allows; the time and
    // the slider follow. False when not paused or the medium has no moving pictures.
    bool StepFrame(bool forward);
    // Ends the entry playing as its end does; false when no entry follows.
    bool MoveQueueOn();
    // Player / Start over: a medium that picked up where it was left goes back to 0.
    bool StartOver();
    // PgDown and PgUp: the next chapter, or back to this one's start (ChapterTarget).
    bool StepChapter(bool forward);
    bool HasChapters() const;
    // Player / Chapters: to the start of that chapter (counted from 0); false for none.
    bool GoToChapter(int index);
    // S and Shift+S: the picture on screen saved in the pictures folder, as decoded or with
    // the subtitles shown on it. The file's path; empty when there was no picture to save.
    QString SavePicture(bool withSubtitles);
    // A moving picture is loaded (not a still image or a sound) to save pictures of.
    bool HasPicture() const;

    // The loaded medium's sound and subtitle tracks, and the one heard or shown (kNoTrack
    // for none; subtitles are none while they are hidden). Setting one switches at once,
    // where the medium is; kNoTrack hides the subtitles, as View / Subtitles does.
    std::vector<TrackChoice> SoundTracks() const;
    int SoundTrack() const;
    void SetSoundTrack(int index);
    std::vector<TrackChoice> SubtitleTracks() const;
    int SubtitleTrack() const;
    void SetSubtitleTrack(int index);
    // # and J: the next track, round again after the last; the subtitles pass through none.
    void NextSoundTrack();
    void NextSubtitleTrack();

signals:
    void playbackChanged(); // Status()
    void mediumChanged();   // File(), LengthUs(), CanSeek(), Tags()
    void levelChanged(int level);
    void queueChanged(); // QueueIndex(), CanMoveQueueOn()
    void seeked(qint64 positionUs);
    void speedChanged();  // Speed()
    void tracksChanged(); // SoundTrack(), SubtitleTrack()

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    // The right button: the Player menu, where the pointer is.
    void contextMenuEvent(QContextMenuEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    friend class PlayerViewProbe; // the tests' look inside

    bool m_bPaused = false;
    bool m_bPlaying = false;
    bool m_bFullScreen = false;
    bool m_bSoundOff = false;
    int m_nQueueIndex = 0;
    int m_nDuration = 0; // whole seconds; 0 for a still image
    int m_nElapsed = 0;  // ticks since the medium started
    int32_t m_lVolume = 0;
    int32_t m_lVolumeInForce = 0; // last put on the graph, but for the focus mute
    bool m_bFocusMuted = false;   // silent while another window of the program has the focus
    QString m_strText;
    QPointer<QSlider> m_wndSlider; // child of the main status bar, deleted with the view
    std::shared_ptr<IGraphBuilder> m_pGB;
    std::shared_ptr<IMediaControl> m_pMC;
    std::shared_ptr<IMediaEventEx> m_pME;
    std::shared_ptr<IVideoWindow> m_pVW;
    std::shared_ptr<IBasicAudio> m_pBA;
    std::shared_ptr<IBasicVideo> m_pBV;
    std::shared_ptr<IMediaSeeking> m_pMS;
    std::shared_ptr<IMediaPosition> m_pMP;
    int m_nSliderPos = 0;
    QString m_strFile;        // path of the loaded file, as the failure log writes it
    std::wstring m_bstrFile;  // the same path, wide
    int64_t m_llDuration = 0; // 100-nanosecond units
    bool m_bStarting = false; // inside RenderFile, where the program's other work goes on
    bool m_bArranged = false; // placed by Tile or Cascade, not by its media
    bool m_bSubtitles = true; // View / Subtitles
    double m_dSpeed = 1.0;    // 1: the medium's own pace
    media::MediumTags m_tags;
    resume::PositionKeeper m_resume;
    QString m_strNote; // shown in pane 0 instead of the time until the note timer ends it

    // The Player menu's track lists.
    void InitTrackCommands();
    void InitChapterCommands();

    // Engine steps.
    bool Restart();
    bool Build(const std::wstring& path);
    int MediumSeconds() const;
    // The window plays a queue from the play list, not a single opened file.
    bool RunsAQueue() const;
    HRESULT Render(const std::wstring& path);
    bool Refused(HRESULT hr, const std::wstring& path);
    void QueryFacets();
    void VideoLayout();
    void SoundLayout(const std::wstring& path);
    void FitVideo(int cx);
    // Where a picture smaller than the smallest frame goes in a view of that size; none for
    // a larger one.
    std::optional<QRect> SmallPictureRect(QSize view) const;
    bool NativeVideoSize(long& w, long& h) const;

    // Timer steps.
    TickInput TickState() const;
    void OnTickTimer();
    void OnFullScreenTimer();
    void OnSliderTimer();
    void SeekToSlider(bool byHand);
    void SeekBy(int seconds);
    void EndQueue();
    void AdvanceQueue();
    void MakeSlider(const QString& text);
    void DestroySlider();
    int SliderLeft(int left) const;
    void SetSliderValue(int value);

    // Where a long medium was left (ResumePositions.h).
    void ResumeWhereLeft();
    void KeepPosition();
    void KeepPositionAtClose();
    void ShowNote(const QString& note);
    // A stream's window takes the title its tags give, when they give one.
    void TitleByStream();
    // A playing stream told a new title: the window and the tool tip take it.
    void OnStreamTagsChanged();
    // Says why a stream could not be started.
    void ReportRefusedStream(const QString& url) const;
    void ShowChapterMarks();
    void EndNote();

    // Tells those listening what changed since it last told them.
    void AnnounceChanges();
    // The medium reached its end of stream: said at once, not at the next tick.
    void OnMediumEnded();
    void ShowShortMediumEnded();
    // An animation that asks to loop without end, and nothing comes after it in the window.
    bool LoopsAlone() const;
    // Plays the looping medium again from its start, as the end of one pass.
    void LoopAgain();
    // This window had the keyboard last among the players.
    void ComesFirstInFocusOrder();
    bool HoldsKeyboard() const;
    bool IsKeyboardPlace(const QWidget* place) const;
    static CLumarestView* StatusBarOwner();

    // Sound and status texts.
    void ChangeVolume(int32_t volume);
    void PutVolume(int32_t volume);
    void MuteForFocus();
    void ShowVolume();
    // The window's speed on its graph, and in its pane while not the medium's own.
    void ApplySpeed();
    void ShowSpeed();
    void SetPane(int index, const QString& text);
    void FillBackground();
    CLumarestDoc* GetLumarestDoc() const;
    static CStatusBar* StatusBar();

    // The video placement made while the frame was hidden, made again once it is shown.
    std::optional<QRect> m_rcPlaceOnShow;

    // What the slider's left end was worked out from, and the result: the 10 ms slider tick
    // measures texts again only when one of these changed.
    struct SliderPlace {
        int left = 0;
        int duration = 0;
        int slideDelay = 0;
        QFont font;
        QString note;
        int result = 0;
    };
    mutable std::optional<SliderPlace> m_sliderPlace;

    struct Announced {
        PlayStatus status = PlayStatus::Stopped;
        QString file;
        int64_t lengthUs = 0;
        bool canSeek = false;
        media::MediumTags tags;
        int level = 100;
        int32_t volume = 0;
        int queueIndex = 0;
        bool canMoveOn = false;
    };
    Announced m_announced;
};
