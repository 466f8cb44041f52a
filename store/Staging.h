#pragma once

#include "messages/WholeFile.h"
#include "store/Workspace.h"

#include <QString>
#include <QStringList>

namespace store {

// The new pictures of one import, written into a hidden folder of the clips folder (".import.XXXXXX") and moved
// in once the project names them, so that a killed import leaves no picture that no project names. Make it, fill
// it and move its pictures in under the workspace lock: the start-up clean-up takes the lock before it looks at
// such a folder, so it only ever sees those of imports that died.
class PictureStaging {
public:
    explicit PictureStaging(QString clipsFolder);
    ~PictureStaging(); // removes the folder with whatever is still in it
    PictureStaging(const PictureStaging&) = delete;
    PictureStaging& operator=(const PictureStaging&) = delete;

    // False when the folder could not be made; folder() is then empty.
    bool ok() const { return !folder_.isEmpty(); }
    // Ends with "/".
    const QString& folder() const { return folder_; }

    // Writes a new staged file (unsynced: sync() brings them all to the disk at once). Exists when a file of that
    // name is staged already.
    files::WriteResult add(const QString& name, const QByteArray& bytes) const;
    // Brings the staged files to the disk; false when that failed.
    bool sync() const;
    // Moves the staged files of these names into the clips folder, never over a file that is there.
    void moveIn(const QStringList& names);

private:
    QString clipsFolder_;
    QString folder_;
};

// The start-up clean-up of what killed processes left in the workspace: temporary files of whole-file writes that
// no writer holds any more are removed, and the folders of imports that died are finished: a staged picture that a
// project of the edition names (the project was written) is moved in, the others are deleted with their records.
void removeStaleTemporaries(const Workspace& workspace);

} // namespace store
