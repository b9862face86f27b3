#pragma once
// A look inside a player window, for the tests that set up or read what no operation
// reaches (a counted second, a graph facet): the window's own members, by name.
#include "player/CLumarestView.h"

class PlayerViewProbe {
public:
    explicit PlayerViewProbe(CLumarestView& v)
        : m_bPaused(v.m_bPaused), m_bPlaying(v.m_bPlaying), m_bFullScreen(v.m_bFullScreen),
          m_bSoundOff(v.m_bSoundOff), m_nQueueIndex(v.m_nQueueIndex), m_nDuration(v.m_nDuration),
          m_nElapsed(v.m_nElapsed), m_lVolume(v.m_lVolume), m_strText(v.m_strText),
          m_wndSlider(v.m_wndSlider), m_pGB(v.m_pGB), m_pMC(v.m_pMC), m_pME(v.m_pME),
          m_pVW(v.m_pVW), m_pBA(v.m_pBA), m_pBV(v.m_pBV), m_pMS(v.m_pMS), m_pMP(v.m_pMP),
          m_nSliderPos(v.m_nSliderPos), m_strFile(v.m_strFile), m_bstrFile(v.m_bstrFile),
          m_llDuration(v.m_llDuration), m_bStarting(v.m_bStarting), m_bArranged(v.m_bArranged),
          m_bSubtitles(v.m_bSubtitles), m_tags(v.m_tags) {}

    bool& m_bPaused;
    bool& m_bPlaying;
    bool& m_bFullScreen;
    bool& m_bSoundOff;
    int& m_nQueueIndex;
    int& m_nDuration;
    int& m_nElapsed;
    int32_t& m_lVolume;
    QString& m_strText;
    QPointer<QSlider>& m_wndSlider;
    std::shared_ptr<IGraphBuilder>& m_pGB;
    std::shared_ptr<IMediaControl>& m_pMC;
    std::shared_ptr<IMediaEventEx>& m_pME;
    std::shared_ptr<IVideoWindow>& m_pVW;
    std::shared_ptr<IBasicAudio>& m_pBA;
    std::shared_ptr<IBasicVideo>& m_pBV;
    std::shared_ptr<IMediaSeeking>& m_pMS;
    std::shared_ptr<IMediaPosition>& m_pMP;
    int& m_nSliderPos;
    QString& m_strFile;
    std::wstring& m_bstrFile;
    int64_t& m_llDuration;
    bool& m_bStarting;
    bool& m_bArranged;
    bool& m_bSubtitles;
    media::MediumTags& m_tags;
};

inline PlayerViewProbe Probe(CLumarestView* view) {
    return PlayerViewProbe(*view);
}
