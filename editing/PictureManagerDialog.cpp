#include "editing/PictureManagerDialog.h"

#include "editing/PictureManager.h"
#include "messages/MessageCatalogue.h"
#include "messages/MessageIds.h"
#include "messages/Prompter.h"
#include "store/Clipart.h"
#include "ui/CaptionFit.h"

#include <QGroupBox>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QTreeWidget>

namespace editing {

using messages::lookupMessage;

namespace {

constexpr int kNodeRole = Qt::UserRole;        // the node's kind
constexpr int kBuiltInRole = Qt::UserRole + 1; // the node is clipart

QPushButton* makeButton(const char* name, QWidget* parent, QRect geometry)
{
    auto* button = new QPushButton(parent);
    button->setObjectName(QLatin1String(name));
    button->setGeometry(geometry);
    return button;
}

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
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      clipsFolder_(std::move(clipsFolder)),
      prompter_(prompter)
{
    setObjectName(QStringLiteral("PictureManager"));
    setFixedSize(261, 498);
    GroupBox1 = new QGroupBox(this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    GroupBox1->setGeometry(2, 2, 257, 89);
    Image1 = new QLabel(GroupBox1);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(8, 20, 241, 65);
    Image1->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    Label1 = new QLabel(GroupBox1);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(110, 2, 140, 16);
    Label1->setAlignment(Qt::AlignRight);

    Label2 = new QLabel(this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setGeometry(4, 96, 253, 18);
    TreeView1 = new QTreeWidget(this);
    TreeView1->setObjectName(QStringLiteral("TreeView1"));
    TreeView1->setGeometry(2, 114, 257, 353);
    TreeView1->setHeaderHidden(true);
    Label2->setBuddy(TreeView1);

    Button1 = makeButton("Button1", this, {4, 470, 80, 26});
    Button2 = makeButton("Button2", this, {90, 470, 80, 26});
    Button3 = makeButton("Button3", this, {176, 470, 80, 26});
    connect(TreeView1, &QTreeWidget::currentItemChanged, this, &PictureManagerDialog::TreeView1Click);
    connect(Button1, &QPushButton::clicked, this, &PictureManagerDialog::ButtonOkClick);
    connect(Button2, &QPushButton::clicked, this, &PictureManagerDialog::ButtonOkClick);
    connect(Button3, &QPushButton::clicked, this, &QDialog::reject);
    refreshTexts();
}

void PictureManagerDialog::refreshTexts()
{
    setWindowTitle(lookupMessage(626));
    GroupBox1->setTitle(lookupMessage(627));
    Label2->setText(lookupMessage(628));
    Button1->setText(lookupMessage(629));
    Button2->setText(lookupMessage(630));
    Button3->setText(lookupMessage(631));
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
    refreshTexts();
    buildTree();
    ui::fitTexts(*this);
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
