#pragma once

// Names for the catalogue's English message ids (the texts are in resources/messages/en.tsv). Code names the
// message it shows (`msg::WrongLedCount`) instead of its number. Names are added as code needs them; keep them
// in ascending id order, one per line, so additions from different changes do not collide.
namespace msg {

constexpr unsigned ImportFileOpenError = 409; // "File open error! Fail to open import file."
constexpr unsigned ImportBannerTitle = 451; // "Import Banner"
constexpr unsigned BlackAndWhiteOnly = 453; // "The canvas support only black & white colors. ..."
constexpr unsigned FontTooLarge = 457;      // "Font too Large!!"
constexpr unsigned TextTooLongForCanvas = 458; // "The length of Text is too long to fit in canvas."
constexpr unsigned PasteTitle = 459;        // "Paste from Bannerboard"
constexpr unsigned ClipboardHasNoText = 460; // "The Bannerboard does not contain text."
constexpr unsigned InvalidFileName = 469;   // "Please input correct filename !!"
constexpr unsigned AddToProjectFailed = 472; // "Failed to add into project! ..."
constexpr unsigned BannerSaved = 474;       // "Banner saved successfully!"
constexpr unsigned ImportTitle = 489;       // "Import Banner"
constexpr unsigned ImportCropNotice = 490;  // "The dimension of import Banner is too large to fit in canvas. ..."
constexpr unsigned AfterCrop = 491;         // " (After Croped: %d x %d)"
constexpr unsigned DimensionOk = 492;       // " (Dimension (%d x %d) is OK!)"
constexpr unsigned DownloadTitle = 496;     // "DownLoad to USB Stick"
constexpr unsigned ConnectionBroken = 498;  // "Connection is broken!! ..."
constexpr unsigned MemoryTooSmall = 499;    // "USB LED Light Show Stick Memory size (%d bytes) too small ..."
constexpr unsigned InvalidMemoryData = 506; // "Invalid Memory data!! ..."
constexpr unsigned TextToBannerTitle = 646; // "Easy text to Banners"
constexpr unsigned NoProjectSelected = 673; // "Please select a project first!"
constexpr unsigned WrongLedCount = 745;     // "LED numbers on target device ... match with Lumiwand!"
constexpr unsigned NoDeviceDetected = 767;  // "No Light Show Device detected!"
constexpr unsigned DeviceConnected = 769;   // "Light Show Device connected!"
constexpr unsigned ReadBackTitle = 771;     // "Read back banners from Light Show Device"
constexpr unsigned ReadBackQuestion = 772;  // "Do you want to read back banners ... replace current project?..."
constexpr unsigned ReplaceOrNew = 789;      // "Do you want to Replace selected banner or Save as new file?..."
constexpr unsigned SaveTitle = 790;         // "Save"
constexpr unsigned SaveAsNewTitle = 792;    // "Save as new file"

} // namespace msg
