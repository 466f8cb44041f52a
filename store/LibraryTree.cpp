#include "store/LibraryTree.h"

#include "messages/MessageCatalogue.h"

#include <algorithm>
#include <iterator>
#include <time.h>

namespace store {
namespace {

int compareNames(const QString& a, const QString& b)
{
    const int folded = QString::compare(a, b, Qt::CaseInsensitive);
    return folded != 0 ? folded : QString::compare(a, b, Qt::CaseSensitive);
}

void sortNodes(std::vector<LibraryNode>& nodes)
{
    const auto before = [](const LibraryNode& a, const LibraryNode& b) { return compareNames(a.text, b.text) < 0; };
    if (!std::is_sorted(nodes.begin(), nodes.end(), before)) // files come from the folder mostly in this order
        std::stable_sort(nodes.begin(), nodes.end(), before);
}

} // namespace

std::vector<LibraryNode> buildLibraryTree(const LibraryCatalogue& catalogue, LibraryTreeOrder order)
{
    const IniFile::ReadHold hold(catalogue.ini()); // one look at the disk, not one per picture
    std::vector<LibraryNode> top;
    top.push_back({kRootNodeText, kBookIcon, LibraryNodeKind::Root, -1, {}});
    const int total = catalogue.totalLibraries();
    std::vector<int> nodeOfLibrary(static_cast<size_t>(total), -1);
    for (const LibraryInfo& library : catalogue.libraries()) {
        nodeOfLibrary[static_cast<size_t>(library.number)] = static_cast<int>(top.size());
        top.push_back({library.name, kFolderIcon, LibraryNodeKind::Library, library.number, {}});
    }

    for (const QString& file : catalogue.pictureFiles()) {
        std::vector<int> parents;
        for (const QString& item : membershipItems(catalogue.membershipText(file))) {
            const std::optional<int> number = membershipNumber(item);
            const bool known = number && *number >= 0 && *number < total && nodeOfLibrary[size_t(*number)] >= 0;
            parents.push_back(known ? nodeOfLibrary[size_t(*number)] : 0);
        }
        if (parents.empty())
            parents.push_back(0); // an empty list, "0", or text without items: no library
        std::vector<int> placed;
        for (int parent : parents) {
            if (std::find(placed.begin(), placed.end(), parent) != placed.end())
                continue; // a number listed twice shows the file once
            placed.push_back(parent);
            top[size_t(parent)].children.push_back({file, kPictureIcon, LibraryNodeKind::File, -1, {}});
        }
    }

    if (order == LibraryTreeOrder::Sorted) {
        for (LibraryNode& node : top)
            sortNodes(node.children);
        // The root stays first: it is the place of the files of no library, not one library among others.
        std::vector<LibraryNode> libraries(std::make_move_iterator(top.begin() + 1), std::make_move_iterator(top.end()));
        sortNodes(libraries);
        top.erase(top.begin() + 1, top.end());
        std::move(libraries.begin(), libraries.end(), std::back_inserter(top));
    }
    return top;
}

std::optional<LibraryTreeStamp> libraryTreeStamp(const QString& clipsFolder, int settledMs)
{
    const LibraryTreeStamp stamp{files::diskStamp(clipsFolder + kCatalogueFileName), files::diskStamp(clipsFolder)};
    timespec now {};
    ::clock_gettime(CLOCK_REALTIME, &now);
    const qint64 nowNs = qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
    const qint64 newest = std::max({stamp.catalogue.modifiedNs, stamp.catalogue.changedNs, stamp.folder.modifiedNs,
                                    stamp.folder.changedNs});
    if (nowNs - newest < qint64(settledMs) * 1000000)
        return std::nullopt;
    return stamp;
}

void TreeFreshness::building(const QString& clipsFolder)
{
    builtFrom_ = libraryTreeStamp(clipsFolder);
    language_ = messages::effectiveLanguage();
}

bool TreeFreshness::current(const QString& clipsFolder) const
{
    const std::optional<LibraryTreeStamp> stamp = libraryTreeStamp(clipsFolder);
    return stamp && stamp == builtFrom_ && language_ == messages::effectiveLanguage();
}

LibraryNodeKind nodeKindOfText(const QString& text)
{
    if (text == kRootNodeText)
        return LibraryNodeKind::Root;
    if (text.toLower().contains(QLatin1String(".bmp")))
        return LibraryNodeKind::File;
    return LibraryNodeKind::Library;
}

} // namespace store
