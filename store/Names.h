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

// Whether a project file name (with its ".ini") answers to a name, ignoring case unless asked not to: the whole
// file name, the part before its first dot, or the file name less its ".ini" (so "my.show" selects "my.show.ini").
bool projectFileAnswersTo(const QString& fileName, const QString& name,
                          Qt::CaseSensitivity sensitivity = Qt::CaseInsensitive);

} // namespace store
