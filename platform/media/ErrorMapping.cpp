#include "platform/media/ErrorMapping.h"

#include <gst/gst.h>

namespace media {
namespace {

HRESULT resultForResourceError(int code) {
    switch (code) {
    case GST_RESOURCE_ERROR_NOT_FOUND:
        return HRESULT_FILE_NOT_FOUND;
    case GST_RESOURCE_ERROR_OPEN_READ:
    case GST_RESOURCE_ERROR_OPEN_READ_WRITE:
    case GST_RESOURCE_ERROR_NOT_AUTHORIZED:
        return HRESULT_ACCESS_DENIED;
    default:
        return E_FAIL;
    }
}

// Content that cannot be understood counts as an unknown file type, content that is
// understood but cannot be decoded as an unsupported stream: both are refused politely.
HRESULT resultForStreamError(int code) {
    switch (code) {
    case GST_STREAM_ERROR_TYPE_NOT_FOUND:
    case GST_STREAM_ERROR_WRONG_TYPE:
    case GST_STREAM_ERROR_DEMUX:
    case GST_STREAM_ERROR_FORMAT:
        return VFW_E_UNKNOWN_FILE_TYPE;
    case GST_STREAM_ERROR_CODEC_NOT_FOUND:
    case GST_STREAM_ERROR_DECODE:
    case GST_STREAM_ERROR_NOT_IMPLEMENTED:
        return VFW_E_UNSUPPORTED_STREAM;
    default:
        return E_FAIL;
    }
}

} // namespace

HRESULT resultForRenderError(GQuark domain, int code, bool missingDecoder) {
    if (domain == GST_RESOURCE_ERROR) {
        return resultForResourceError(code);
    }
    if (missingDecoder) {
        return VFW_E_UNSUPPORTED_STREAM;
    }
    if (domain == GST_STREAM_ERROR) {
        return resultForStreamError(code);
    }
    if (domain == GST_CORE_ERROR && code == GST_CORE_ERROR_MISSING_PLUGIN) {
        return VFW_E_UNSUPPORTED_STREAM;
    }
    return E_FAIL;
}

} // namespace media
