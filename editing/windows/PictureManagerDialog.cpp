#include "editing/windows/PictureManagerDialog.h"

#include "editing/PictureManager.h"
#include "messages/MessageIds.h"
#include "messages/Prompter.h"
#include "store/Clipart.h"

#include <QPixmap>
#include <QTreeWidget>

namespace editing {

namespace {

constexpr int kNodeRole = Qt::UserRole;        // the node's kind
constexpr int kBuiltInRole = Qt::UserRole + 1; // the node is clipart

// The items are made apart from the tree and added at once: a library of thousands of pictures would otherwise
// tell the view of every item on its own.
QList<QTreeWidgetItem*> treeItems(const std::vector<store::LibraryNode>& nodes)
{
    QList<QTreeWidgetItem*> items;
    items.reserve(qsizetype(nodes.size()));
    for (const store::LibraryNode& node : nodes) {
        auto* item = new QTreeWidgetItem(QStringList{node.text});
        item->setData(0, kNodeRole, int(node.kind));
        item->setData(0, kBuiltInRole, node.builtIn);
        item->addChildren(treeItems(node.children));
        items.append(item);
    }
    return items;
}

store::LibraryNode nodeOf(const QTreeWidgetItem* item)
{
    store::LibraryNode node;
    node.text = item->text(0);
    node.kind = store::LibraryNodeKind(item->data(0, kNodeRole).toInt());
    node.builtIn = item->data(0, kBuiltInRole).toBool();
    return node;
}

} // namespace

PictureManagerDialog::PictureManagerDialog(QString clipsFolder, messages::Prompter& prompter, QWidget* parent)
    : windowkit::Dialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      clipsFolder_(std::move(clipsFolder)),
      prompter_(prompter)
{
    setupUi(this);
    connect(TreeView1, &QTreeWidget::currentItemChanged, this, &PictureManagerDialog::TreeView1Click);
    connect(Button1, &QPushButton::clicked, this, &PictureManagerDialog::ButtonOkClick);
    connect(Button2, &QPushButton::clicked, this, &PictureManagerDialog::ButtonOkClick);
    connect(Button3, &QPushButton::clicked, this, &QDialog::reject);
}

void PictureManagerDialog::buildTree()
{
    TreeView1->clear();
    TreeView1->addTopLevelItems(
        treeItems(store::buildLibraryTree(store::LibraryCatalogue::forTree(clipsFolder_), store::LibraryTreeOrder::Sorted)));
    TreeView1->expandAll();
    if (clipartHeight_ > 0)
        TreeView1->addTopLevelItems(treeItems({store::clipartTree(clipartHeight_)}));
    TreeView1->setCurrentItem(nullptr);
}

QString PictureManagerDialog::choosePicture()
{
    chosenPath_.clear();
    Label1->clear();
    Image1->clear();
    buildTree();
    return exec() == QDialog::Accepted ? chosenPath_ : QString();
}

void PictureManagerDialog::TreeView1Click(QTreeWidgetItem* item)
{
    if (!item)
        return;
    const store::LibraryNode node = nodeOf(item);
    const std::optional<store::LibraryNode> parent =
        item->parent() ? std::optional(nodeOf(item->parent())) : std::nullopt;
    const QString path = chosenPicturePath(clipsFolder_, node, parent ? &*parent : nullptr, clipartHeight_);
    if (path.isEmpty())
        return;
    chosenPath_ = path;
    const ManagerPreview preview = managerPreview(path);
    Image1->setPixmap(QPixmap::fromImage(preview.image));
    Label1->setText(preview.dimension);
}

void PictureManagerDialog::ButtonOkClick()
{
    if (!acceptChosenPicture(chosenPath_, prompter_))
        return;
    if (store::isClipartPath(chosenPath_)) {
        const store::ClipartCopy copy = store::copyClipartToClips(clipsFolder_, clipartHeight_, chosenPath_);
        if (!copy.ok()) {
            prompter_.tell(msg::EditTitle, store::messageId(copy.status), messages::Icon::Stop);
            return;
        }
        chosenPath_ = clipsFolder_ + copy.fileName;
    }
    accept();
}

} // namespace editing
