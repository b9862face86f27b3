#pragma once
// The process-wide key-state table: 256 bytes by keyboard scan code, the byte
// of a key that is down having its high bit (0x80) set. An application-wide
// event filter keeps it current from Qt's key events; leaving the program, or the
// keyboard moving to another of its windows, releases every key.
#include <array>
#include <cstdint>

namespace keystate {

constexpr uint8_t DIK_ESCAPE = 0x01;
constexpr uint8_t DIK_RETURN = 0x1C;
constexpr uint8_t DIK_LCONTROL = 0x1D;
constexpr uint8_t DIK_LSHIFT = 0x2A;
constexpr uint8_t DIK_SPACE = 0x39;
constexpr uint8_t DIK_LMENU = 0x38;

using Table = std::array<uint8_t, 256>;

// Installs the event filter on the application once; safe to call again.
void Install();
const Table& Current();
// Scan code of a Qt key, 0 when the table has no place for it.
uint8_t ScanCodeOf(int qtKey);
void Press(int qtKey);
void Release(int qtKey);
void ReleaseAll();

} // namespace keystate
