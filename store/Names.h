#pragma once

#include <QString>

// The naming rules every command shares, so that a name one command accepts is accepted by all.
namespace store {

// "Nothing": an empty text or "0", as stored for an unset name and as typed to cancel an input box.
bool isNoName(const QString& text);

// Whether a name can name a project file in the projects folder: not nothing, no folder separator ("/" or "\"),
// no control character, not "." or "..", and short enough that the file, its ".ini" and the temporary name a
// whole-file write uses fit the file system.
bool isUsableProjectName(const QString& name);

// Whether a project entry names a file of the clips folder, as an entry must: not nothing, no "/" (so no path
// into or out of another folder), not "." or "..". Entries that fail are never read: they may lead anywhere.
bool isClipFileName(const QString& name);

// The longest start of `name` whose file name takes at most maxBytes bytes, as the file system counts them (the
// encoded name), cut between characters as the user sees them: never inside a surrogate pair or before a
// combining mark, so the cut name is stored and written the same everywhere.
QString cutToFileNameBytes(const QString& name, qsizetype maxBytes);

// Whether a project file name (with its ".ini") answers to a name, ignoring case unless asked not to: the whole
// file name, the part before its first dot, or the file name less its ".ini" (so "my.show" selects "my.show.ini").
bool projectFileAnswersTo(const QString& fileName, const QString& name,
                          Qt::CaseSensitivity sensitivity = Qt::CaseInsensitive);

} // namespace store
