#pragma once

#include <QString>
#include <functional>

class QMimeData;
class QWidget;

// Files dropped onto a window from the desktop's file manager.
namespace windowkit {

using FileTest = std::function<bool(const QString& path)>;

// The first local file of the drag's URLs that passes the test; empty when none does.
QString firstDroppedFile(const QMimeData* data, const FileTest& accepts);

// Lets `target` (and the children that take no drops themselves) take dropped files: a drag is accepted when one
// of its local files passes `accepts`, and a drop hands that file to `dropped`. Lives as long as the target.
void acceptFileDrops(QWidget& target, FileTest accepts, std::function<void(const QString& path)> dropped);

} // namespace windowkit
