#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <vector>

// The wire side of the simulated stick when it runs as a real USB keyboard made by the kernel's gadget framework:
// the boot keyboard's LED output report in, 8-byte boot keyboard input reports out. Written from the USB HID
// usage tables, independently of the host's report decoder, so the two check each other.
namespace devicelink {

// The nibble the stick reads from the boot keyboard's LED byte (bit 0 Num Lock, 1 Caps Lock, 2 Scroll Lock,
// 4 Kana): nibble bit 0 Scroll Lock, 1 Num Lock, 2 Caps Lock, 3 Kana. Compose (bit 3) carries nothing.
int nibbleFromBootLeds(std::uint8_t leds);

// The input reports a US keyboard sends while typing `text`, each [modifiers, 0, key, 0, 0, 0, 0, 0]: every key is
// pressed and released; a shifted character holds left Shift from before the key goes down until after it is
// up. Characters no key of a US keyboard types are left out.
std::vector<QByteArray> keyReportsFor(const QString& text);

} // namespace devicelink
