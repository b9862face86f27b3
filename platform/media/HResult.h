// Result codes of the media-graph layer: 32-bit signed numbers, negative on failure,
// with the values the player writes into its failure log.
#pragma once

#include <cstdint>

class QWidget;

using HRESULT = int32_t;
using LONGLONG = int64_t;
using DWORD = uint32_t;
using OAHWND = QWidget*;

inline constexpr HRESULT S_OK = 0;
inline constexpr HRESULT S_FALSE = 1;
inline constexpr HRESULT VFW_S_STATE_INTERMEDIATE = 0x00040237;
inline constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005u);
inline constexpr HRESULT E_NOINTERFACE = static_cast<HRESULT>(0x80004002u);
inline constexpr HRESULT E_POINTER = static_cast<HRESULT>(0x80004003u);
inline constexpr HRESULT E_UNEXPECTED = static_cast<HRESULT>(0x8000FFFFu);
inline constexpr HRESULT E_INVALIDARG = static_cast<HRESULT>(0x80070057u);
inline constexpr HRESULT VFW_E_UNKNOWN_FILE_TYPE = static_cast<HRESULT>(0x80040240u);
inline constexpr HRESULT VFW_E_UNSUPPORTED_STREAM = static_cast<HRESULT>(0x80040265u);
inline constexpr HRESULT HRESULT_FILE_NOT_FOUND = static_cast<HRESULT>(0x80070002u);
inline constexpr HRESULT HRESULT_ACCESS_DENIED = static_cast<HRESULT>(0x80070005u);

constexpr bool SUCCEEDED(HRESULT hr) {
    return hr >= 0;
}
constexpr bool FAILED(HRESULT hr) {
    return hr < 0;
}

inline constexpr long OATRUE = -1;
inline constexpr long OAFALSE = 0;

// Positioning flags of IMediaSeeking::SetPositions.
inline constexpr DWORD AM_SEEKING_NoPositioning = 0;
inline constexpr DWORD AM_SEEKING_AbsolutePositioning = 1;
inline constexpr DWORD AM_SEEKING_RelativePositioning = 2;
inline constexpr DWORD AM_SEEKING_PositioningBitsMask = 3;

// States reported by IMediaControl::GetState.
inline constexpr long State_Stopped = 0;
inline constexpr long State_Paused = 1;
inline constexpr long State_Running = 2;
