#pragma once

#include "messages/MessageCatalogue.h"
#include "messages/WholeFile.h"
#include "store/LibraryCatalogue.h"

#include <QString>
#include <optional>
#include <vector>

namespace store {

// The library tree as the two pages show it: the root "[CLIP]" with the files of no library, one top-level node per
// library with its files; a file in several libraries appears under each.
enum class LibraryNodeKind { Root, Library, File };

// Icons of the main window's tree image list.
enum LibraryTreeIcon { kFolderIcon = 0, kBookIcon = 1, kPictureIcon = 4 };

struct LibraryNode {
    QString text;
    int icon = kFolderIcon;
    LibraryNodeKind kind = LibraryNodeKind::Library;
    int library = -1; // the library's number for a library node, -1 for the root and for files
    std::vector<LibraryNode> children;
    bool builtIn = false; // the read-only clipart (its group nodes and pictures), never a file of the clips folder
};

// Sorted: the Library page (the root first, then libraries and each node's files by name ignoring case).
// Insertion: the Projects page (root, libraries by number, files in folder order).
enum class LibraryTreeOrder { Sorted, Insertion };

// The top-level nodes: the root first, then the libraries. The Library page shows the tree fully expanded, the
// Projects page collapsed.
std::vector<LibraryNode> buildLibraryTree(const LibraryCatalogue& catalogue, LibraryTreeOrder order);

// What the library tree is built from as the disk shows it: the catalogue file and the clips folder's own entry
// (which changes whenever a file is added, removed or renamed in it). Equal stamps mean the same tree.
struct LibraryTreeStamp {
    files::DiskStamp catalogue;
    files::DiskStamp folder;
    bool operator==(const LibraryTreeStamp&) const = default;
};

// File times move in steps of the kernel's clock tick or coarser, so a change right after another can leave the
// same times: a stamp whose newest time is less than `settledMs` old cannot vouch for the tree, and none is given.
inline constexpr int kStampSettledMs = 2000;
std::optional<LibraryTreeStamp> libraryTreeStamp(const QString& clipsFolder, int settledMs = kStampSettledMs);

// Whether a library tree still shows what it was built from: the catalogue, the clips folder and the language of
// its texts. A page entered again rebuilds its tree only when not (thousands of pictures take a while to build).
class TreeFreshness {
public:
    // Before the build reads anything, so that a change made meanwhile is seen at the next check.
    void building(const QString& clipsFolder);
    bool current(const QString& clipsFolder) const;

private:
    std::optional<LibraryTreeStamp> builtFrom_;
    messages::LangId language_ = 0;
};

// The kind of a node known only by its text: "[CLIP]" is the root, a text containing ".bmp" (any case) a file,
// anything else a library. The nodes of buildLibraryTree carry their kind; this is for views that keep texts only.
LibraryNodeKind nodeKindOfText(const QString& text);

} // namespace store
