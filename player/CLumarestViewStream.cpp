// Streams from the network in a player window: their title, their time without a length,
// and the words for one that could not be started.
#include "player/CLumarestView.h"

#include "platform/framework/Locations.h"
#include "platform/framework/MessageBox.h"
#include "player/CLumarestDoc.h"
#include "player/PlayerTexts.h"

bool CLumarestView::IsLive() const {
    return HasGraph() && m_pMS && m_pMS->IsLive();
}

void CLumarestView::TitleByStream() {
    CLumarestDoc* doc = GetLumarestDoc();
    if (doc && AfxIsStreamUrl(m_strFile) && !m_tags.title.trimmed().isEmpty())
        doc->SetTitle(m_tags.title.trimmed());
}

void CLumarestView::OnStreamTagsChanged() {
    if (!m_pGB)
        return;
    m_tags = m_pGB->GetTags();
    setToolTip(TagsToolTip(m_tags.artist, m_tags.title));
    TitleByStream();
    AnnounceChanges();
}

void CLumarestView::ReportRefusedStream(const QString& url) const {
    AfxMessageBox(
        StreamRefusedText(url, m_pGB ? m_pGB->LastStreamFailure() : media::StreamFailure{}),
        MB_OK | MB_ICONEXCLAMATION);
}
