#pragma once

#include <QByteArrayList>
#include <QString>
#include <optional>

// Reading a folder's entries in one pass, for folders of thousands of files: asking the file system about each
// name in turn, or through QDir, which builds file information for every entry, costs a hundred times more.
namespace files {

// The names, as they are on disk (encoded bytes), of the folder's entries that are regular files or symbolic links
// to regular files, hidden ones included, in no particular order: the entries of which QFileInfo(folder +
// name).isFile() holds. Nothing when the folder cannot be read to its end: a partial listing would report files
// that are there as missing.
std::optional<QByteArrayList> regularFileNames(const QString& folder);

} // namespace files
