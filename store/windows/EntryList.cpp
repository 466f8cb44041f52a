#include "store/windows/EntryList.h"

#include "store/Clipart.h"
#include "store/windows/LibraryPage.h"

#include <QDropEvent>
#include <QTreeWidget>

namespace store {

QString pictureOfItem(const QTreeWidgetItem* item, int ledCount)
{
    if (!item || nodeKindOf(*item) != LibraryNodeKind::File)
        return {};
    return isBuiltIn(*item) ? clipartPath(ledCount, item->text(0)) : item->text(0);
}

EntryList::EntryList(QWidget* parent) : QListWidget(parent)
{
    setAcceptDrops(true);
    setDragDropMode(QAbstractItemView::DropOnly);
}

QString EntryList::draggedFile(const QDropEvent* event) const
{
    return pictureOfItem(event->source() == tree ? tree->currentItem() : nullptr, ledCount);
}

void EntryList::acceptPicture(QDragMoveEvent* event) const
{
    if (draggedFile(event).isEmpty())
        event->ignore();
    else
        event->acceptProposedAction();
}

void EntryList::dragEnterEvent(QDragEnterEvent* event)
{
    acceptPicture(event);
}

void EntryList::dragMoveEvent(QDragMoveEvent* event)
{
    acceptPicture(event);
}

void EntryList::dropEvent(QDropEvent* event)
{
    const QString file = draggedFile(event);
    if (file.isEmpty())
        return event->ignore();
    event->acceptProposedAction();
    if (pictureDropped)
        pictureDropped(file);
}

} // namespace store
