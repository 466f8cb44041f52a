#pragma once

#include <QString>
#include <cstdint>
#include <type_traits>

// The numbered catalogue of every text the program shows. Ids 0..5 are the same in every language; the rest
// of the program names a text by its English id (400..796) and gets it in the effective language, whose block
// starts at the language's offset (800 Traditional Chinese ... 5200 Thai).
//
// Texts the program shows beyond that numbered set (Linux behaviour, the command-line tool, added features) use
// ids from kFirstOwnId on, in the same files; each language keeps them in a block of its own above the numbered
// blocks, and a language that lacks one shows the English text.
namespace messages {

using LangId = std::uint16_t;

constexpr LangId kNoLanguageChosen = 0xFFFF;
constexpr LangId kEnglishUs = 0x0409;
constexpr unsigned kFirstEnglishId = 400;
constexpr unsigned kLastEnglishId = 796;
constexpr unsigned kFirstOwnId = 6000;
constexpr unsigned kLastOwnId = 6999;

// Text of a message in the effective language; " " when the catalogue has no text for it. Never fails.
QString lookupMessage(unsigned id);

// Convenience: the message used as a printf-style format, filled with the arguments (QString::asprintf rules).
// A QString cannot pass through printf's "..." (it prints garbage): pass qUtf8Printable(text) for a %s.
template <typename... Args>
QString formatMessage(unsigned id, Args... args)
{
    static_assert((!std::is_class_v<Args> && ...), "formatMessage takes numbers and C strings: qUtf8Printable(text)");
    return QString::asprintf(lookupMessage(id).toUtf8().constData(), args...);
}

// The catalogue entry stored under an absolute id, without any language mapping; empty when absent.
QString catalogueEntry(unsigned entryId);

// Where a language's text of one of the program's own ids (kFirstOwnId..kLastOwnId) is stored: the id itself for
// English, one block of 1000 above the other for each translation in catalogue order.
unsigned ownEntry(unsigned ownId, unsigned languageOffset);

// The process-wide language choice; 0 and 0xFFFF mean that no language was chosen.
LangId languageOverride();
void setLanguageOverride(LangId language);
// Takes the stored "USER_LANGUAGE" value as the override; -1 and 65535 (absent, unreadable) both mean no choice.
void refreshLanguageOverride(int storedUserLanguage);

// The override when one was chosen, else the system's language.
LangId effectiveLanguage();

// Start of the language's block in the catalogue: 800..5200 for the twelve translated languages, else 400.
unsigned languageOffset(LangId language);

// The name of Qt's own translation of a language ("ja", "pt_BR"), for the standard buttons and dialogs Qt
// draws; empty for English and for languages Qt does not translate.
QString qtTranslationName(LangId language);

// The system's language as a Windows language identifier (primary language in the low 10 bits, sublanguage
// above), derived from the locale; English (US) when the locale maps to no known identifier.
LangId systemLanguageId();
// The same mapping for a given locale, so that it can be tested without changing the process locale.
LangId languageIdForLocale(const QString& localeName);

// Overrides what systemLanguageId() reports (tests and the language dialog's previews); 0 restores the locale.
void setSystemLanguageForTesting(LangId language);

} // namespace messages
