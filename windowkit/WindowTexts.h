#pragma once

class QWidget;

// A window's texts as data: its .ui file gives each control the catalogue ids of its texts as dynamic
// properties, and applyWindowTexts sets the texts for the effective language. The window base applies them each
// time the program shows the window and on a language change, so no window sets a catalogue text by hand.
namespace windowkit {

// The caption: a button's or a label's text, a group box's title, a tab page's tab text, or the window's title
// when set on the window itself.
inline constexpr char kTextId[] = "textId";
// The hint (tool tip); a control that shows no text of its own (an icon button) is also named by it.
inline constexpr char kToolTipId[] = "toolTipId";
// The accessible name of a control that shows no text and needs no tool tip (lists, views, edit fields).
inline constexpr char kAccessibleNameId[] = "accessibleNameId";
// The items of a drop-down list, in order, as ids separated by commas ("746,747"); missing items are added.
inline constexpr char kItemTextIds[] = "itemTextIds";

// Sets the texts of `root` and of every control below it from their id properties. Windows made as children of
// `root` (dialogs it owns) are left to apply their own. Controls without ids keep what the window set.
void applyWindowTexts(QWidget& root);

// Tells every window that the language changed, so each applies its texts again at once.
void announceLanguageChange();

} // namespace windowkit
