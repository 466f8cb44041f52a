#pragma once

// Names for the catalogue's English message ids (the texts are in resources/messages/en.tsv). Code names the
// message it shows (`msg::WrongLedCount`) instead of its number. Names are added as code needs them; keep them
// in ascending id order, one per line, so additions from different changes do not collide.
namespace msg {

constexpr unsigned ConnectionBroken = 498;  // "Connection is broken!! ..."
constexpr unsigned InvalidMemoryData = 506; // "Invalid Memory data!! ..."
constexpr unsigned WrongLedCount = 745;     // "LED numbers on target device ... match with Lumiwand!"

} // namespace msg
