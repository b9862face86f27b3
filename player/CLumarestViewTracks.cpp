// The player view's sound and subtitle tracks: what the medium has, which one plays, the
// Player menu's lists of them, and that menu on the right button.
#include "player/CLumarestView.h"

#include "app/CMainFrame.h"
#include "res/Resource.h"

#include <QContextMenuEvent>
#include <QMenu>

namespace {
// A title's "&" is shown as it is, not taken for a shortcut's mark.
QString MenuText(QString label) {
    return label.replace(QLatin1Char('&'), QStringLiteral("&&"));
}
} // namespace

void CLumarestView::InitTrackCommands() {
    const QPointer<CLumarestView> self(this);
    OnUpdateCommandUI(ID_PLAYER_SOUNDTRACKS, [this, self](CCmdUI* ui) {
        const int current = SoundTrack();
        for (const TrackChoice& track : SoundTracks())
            ui->AddItem(MenuText(track.label), track.index == current, [self, i = track.index] {
                if (self)
                    self->SetSoundTrack(i);
            });
    });
    OnUpdateCommandUI(ID_PLAYER_SUBTITLETRACKS, [this, self](CCmdUI* ui) {
        const int current = SubtitleTrack();
        ui->AddItem(QStringLiteral("None"), current == kNoTrack, [self] {
            if (self)
                self->SetSubtitleTrack(kNoTrack);
        });
        for (const TrackChoice& track : SubtitleTracks())
            ui->AddItem(MenuText(track.label), track.index == current, [self, i = track.index] {
                if (self)
                    self->SetSubtitleTrack(i);
            });
    });
}

// The menu bar's own Player menu, so that both show the same entries in the same state.
void CLumarestView::contextMenuEvent(QContextMenuEvent* event) {
    CMainFrame* frame = MainFrame();
    QMenu* player = frame ? frame->FindPopup(QStringLiteral("Player")) : nullptr;
    if (player)
        player->popup(event->globalPos());
    event->accept();
}

std::vector<TrackChoice> CLumarestView::SoundTracks() const {
    return m_pBA ? TrackChoices(m_pBA->SoundTracks()) : std::vector<TrackChoice>{};
}

int CLumarestView::SoundTrack() const {
    return m_pBA ? m_pBA->CurrentSoundTrack() : kNoTrack;
}

void CLumarestView::SetSoundTrack(int index) {
    if (m_pBA && SUCCEEDED(m_pBA->SelectSoundTrack(index)))
        emit tracksChanged();
}

std::vector<TrackChoice> CLumarestView::SubtitleTracks() const {
    return m_pBV ? TrackChoices(m_pBV->SubtitleTracks()) : std::vector<TrackChoice>{};
}

int CLumarestView::SubtitleTrack() const {
    return m_pBV && m_bSubtitles ? m_pBV->CurrentSubtitleTrack() : kNoTrack;
}

void CLumarestView::SetSubtitleTrack(int index) {
    if (index == kNoTrack) {
        SetSubtitlesShown(false);
    } else if (m_pBV && SUCCEEDED(m_pBV->SelectSubtitleTrack(index))) {
        SetSubtitlesShown(true);
    }
    emit tracksChanged();
}

// A key gives no menu to look at: the status bar says for a while what plays now.
void CLumarestView::NextSoundTrack() {
    const std::vector<TrackChoice> tracks = SoundTracks();
    if (tracks.size() < 2)
        return;
    SetSoundTrack(NextTrack(SoundTrack(), static_cast<int>(tracks.size()), false));
    ShowNote(TrackNoteText(QStringLiteral("Sound"), tracks, SoundTrack()));
}

void CLumarestView::NextSubtitleTrack() {
    const std::vector<TrackChoice> tracks = SubtitleTracks();
    if (tracks.empty())
        return;
    SetSubtitleTrack(NextTrack(SubtitleTrack(), static_cast<int>(tracks.size()), true));
    ShowNote(TrackNoteText(QStringLiteral("Subtitles"), tracks, SubtitleTrack()));
}
