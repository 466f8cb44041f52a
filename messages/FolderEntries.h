#pragma once

#include <QByteArrayList>
#include <QSet>
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

// Which names of a folder are regular files (as QFileInfo(folder + name).isFile() says), from one listing made
// when the object is: a name the listing cannot answer (a path, or any name when the folder could not be listed)
// is looked up on its own.
class RegularFiles {
public:
    explicit RegularFiles(QString folder); // ends with "/"
    bool contains(const QString& name) const;

private:
    QString folder_;
    std::optional<QSet<QByteArray>> listed_;
};

} // namespace files
