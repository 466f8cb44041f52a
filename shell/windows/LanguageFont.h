#pragma once

#include "messages/MessageCatalogue.h"

#include <QStringList>

namespace shell {

// The font families put first for a language; empty when the default families serve it. Japanese asks for a
// Japanese font, because the CJK font installed for Chinese would draw kanji in their Chinese forms.
QStringList preferredFontFamilies(messages::LangId language);

// Puts the language's preferred families in front of the application font's own (taken once, at the first call).
void applyLanguageFont(messages::LangId language);

} // namespace shell
