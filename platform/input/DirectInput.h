#pragma once
// The polled keyboard device: a device object whose state is a copy of the
// process-wide key-state table. Results are HRESULT-style, as the player's
// failure log expects.
#include "platform/input/KeyStateTable.h"
#include "platform/media/HResult.h"

#include <memory>

struct DIDATAFORMAT {
    DWORD dwDataSize;
};
// The standard keyboard format: 256 key bytes.
extern const DIDATAFORMAT c_dfDIKeyboard;
enum class DeviceGuid { SysKeyboard };
constexpr DeviceGuid GUID_SysKeyboard = DeviceGuid::SysKeyboard;
constexpr DWORD DIRECTINPUT_VERSION = 0x0800;
constexpr HRESULT DIERR_NOTACQUIRED = static_cast<HRESULT>(0x8007000Cu);
constexpr HRESULT DIERR_INVALIDPARAM = static_cast<HRESULT>(0x80070057u);
using keystate::DIK_ESCAPE;

class IDirectInputDevice8 {
public:
    HRESULT SetDataFormat(const DIDATAFORMAT* format);
    HRESULT Acquire();
    HRESULT Unacquire();
    // Copies the key-state table into data (size bytes, 256 for the keyboard format).
    HRESULT GetDeviceState(DWORD size, void* data);

private:
    DWORD m_dataSize = 0;
    bool m_acquired = false;
};

class IDirectInput8 {
public:
    HRESULT CreateDevice(DeviceGuid guid, std::shared_ptr<IDirectInputDevice8>& device);
};

// Creates the input object and installs the key-state table's event filter.
HRESULT DirectInput8Create(DWORD version, std::shared_ptr<IDirectInput8>& out);

// Test hook: the next calls of the named operation fail with hr (0 clears).
enum class InputOperation { Create, CreateDevice, SetDataFormat, GetDeviceState };
void SetInputFailure(InputOperation operation, HRESULT hr);
