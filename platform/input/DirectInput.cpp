#include "platform/input/DirectInput.h"

#include <cstring>
#include <map>

const DIDATAFORMAT c_dfDIKeyboard{256};

namespace {
std::map<InputOperation, HRESULT>& Failures() {
    static std::map<InputOperation, HRESULT> failures;
    return failures;
}

HRESULT InjectedFailure(InputOperation operation) {
    auto it = Failures().find(operation);
    return it == Failures().end() ? S_OK : it->second;
}
} // namespace

void SetInputFailure(InputOperation operation, HRESULT hr) {
    if (hr == S_OK)
        Failures().erase(operation);
    else
        Failures()[operation] = hr;
}

HRESULT DirectInput8Create(DWORD version, std::shared_ptr<IDirectInput8>& out) {
    out.reset();
    if (HRESULT hr = InjectedFailure(InputOperation::Create); FAILED(hr))
        return hr;
    if (version != DIRECTINPUT_VERSION)
        return DIERR_INVALIDPARAM;
    keystate::Install();
    out = std::make_shared<IDirectInput8>();
    return S_OK;
}

HRESULT IDirectInput8::CreateDevice(DeviceGuid, std::shared_ptr<IDirectInputDevice8>& device) {
    device.reset();
    if (HRESULT hr = InjectedFailure(InputOperation::CreateDevice); FAILED(hr))
        return hr;
    device = std::make_shared<IDirectInputDevice8>();
    return S_OK;
}

HRESULT IDirectInputDevice8::SetDataFormat(const DIDATAFORMAT* format) {
    if (HRESULT hr = InjectedFailure(InputOperation::SetDataFormat); FAILED(hr))
        return hr;
    if (!format || format->dwDataSize != sizeof(keystate::Table))
        return DIERR_INVALIDPARAM;
    m_dataSize = format->dwDataSize;
    return S_OK;
}

HRESULT IDirectInputDevice8::Acquire() {
    if (m_dataSize == 0)
        return DIERR_INVALIDPARAM;
    m_acquired = true;
    return S_OK;
}

HRESULT IDirectInputDevice8::Unacquire() {
    m_acquired = false;
    return S_OK;
}

HRESULT IDirectInputDevice8::GetDeviceState(DWORD size, void* data) {
    if (HRESULT hr = InjectedFailure(InputOperation::GetDeviceState); FAILED(hr))
        return hr;
    if (!m_acquired)
        return DIERR_NOTACQUIRED;
    if (!data || size != m_dataSize)
        return DIERR_INVALIDPARAM;
    std::memcpy(data, keystate::Current().data(), size);
    return S_OK;
}
