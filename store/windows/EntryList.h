#pragma once

#include <QListWidget>
#include <functional>

class QTreeWidget;
class QTreeWidgetItem;

namespace store {

// The picture a file node of a library tree stands for: its file name in the clips folder, or the clipart's
// path; empty for any other node.
QString pictureOfItem(const QTreeWidgetItem* item, int ledCount);

// The Projects page's entry list: takes a picture file dragged from the page's library tree.
class EntryList : public QListWidget {
public:
    explicit EntryList(QWidget* parent = nullptr);

    // Called with the picture of the tree's current item when it is dropped here.
    std::function<void(const QString& fileName)> pictureDropped;
    QTreeWidget* tree = nullptr;
    int ledCount = 0;

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    QString draggedFile(const QDropEvent* event) const;
    // Accepts a drag that carries a picture of the tree, ignores any other.
    void acceptPicture(QDragMoveEvent* event) const;
};

} // namespace store
