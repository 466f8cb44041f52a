#include "messages/FolderEntries.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <dirent.h>
#include <sys/stat.h>

namespace files {
namespace {

// What the entry's type says, or stat where it cannot tell: a link counts as what it points to.
bool isRegularFile(int folder, const dirent& entry)
{
    if (entry.d_type == DT_REG)
        return true;
    if (entry.d_type != DT_LNK && entry.d_type != DT_UNKNOWN)
        return false;
    struct stat status {};
    return ::fstatat(folder, entry.d_name, &status, 0) == 0 && S_ISREG(status.st_mode);
}

} // namespace

std::optional<QByteArrayList> regularFileNames(const QString& folder)
{
    DIR* listing = ::opendir(QFile::encodeName(folder).constData());
    if (!listing)
        return std::nullopt;
    QByteArrayList names;
    errno = 0;
    while (const dirent* entry = ::readdir(listing)) {
        if (isRegularFile(::dirfd(listing), *entry))
            names.append(QByteArray(entry->d_name));
        errno = 0; // fstatat may have set it; readdir sets it only on an error
    }
    const bool complete = errno == 0;
    ::closedir(listing);
    return complete ? std::optional(names) : std::nullopt;
}

RegularFiles::RegularFiles(QString folder) : folder_(std::move(folder))
{
    if (const std::optional<QByteArrayList> names = regularFileNames(folder_))
        listed_.emplace(names->cbegin(), names->cend());
}

bool RegularFiles::contains(const QString& name) const
{
    const bool inFolder =
        !name.isEmpty() && !name.contains(u'/') && name != QLatin1String(".") && name != QLatin1String("..");
    return listed_ && inFolder ? listed_->contains(QFile::encodeName(name)) : QFileInfo(folder_ + name).isFile();
}

} // namespace files
