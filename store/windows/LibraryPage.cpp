#include "store/windows/LibraryPage.h"

#include "store/Clipart.h"
#include "store/LibraryCommands.h"

#include "mailsender/Mail.h"
#include "messages/MessageCatalogue.h"
#include "messages/MessageIds.h"
#include "messages/Prompter.h"
#include "windowkit/CaptionFit.h"
#include "windowkit/RunCommand.h"
#include "windowkit/PixelPicture.h"
#include "windowkit/TextTint.h"
#include "windowkit/WindowTexts.h"

#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPixmap>
#include <QPushButton>
#include <QShortcut>
#include <QStyle>
#include <QTreeWidget>

namespace store {
namespace {

constexpr int kNodeKindRole = Qt::UserRole;
constexpr int kBuiltInRole = Qt::UserRole + 1;
constexpr int kInfoWidth = 233; // beside the associated projects
constexpr int kInfoWideWidth = 473; // over the associated projects' place while they are hidden
constexpr unsigned kEditTitle = msg::EditPictureTitle;
constexpr unsigned kOnlyInFileMode = msg::OnlyInLibraryMode;

QStyle::StandardPixmap nodePixmap(LibraryNodeKind kind)
{
    switch (kind) {
    case LibraryNodeKind::Root:
        return QStyle::SP_DriveHDIcon;
    case LibraryNodeKind::Library:
        return QStyle::SP_DirIcon;
    case LibraryNodeKind::File:
        break;
    }
    return QStyle::SP_FileIcon;
}

// The icons of one tree, made once per fill: the style builds a new icon (decoding its pictures) at every call,
// which for thousands of items costs seconds and hundreds of megabytes; items sharing one icon cost nothing.
class NodeIcons {
public:
    explicit NodeIcons(const QWidget& widget)
    {
        for (LibraryNodeKind kind : {LibraryNodeKind::Root, LibraryNodeKind::Library, LibraryNodeKind::File})
            icons_[static_cast<int>(kind)] = widget.style()->standardIcon(nodePixmap(kind));
    }
    const QIcon& operator()(LibraryNodeKind kind) const { return icons_[static_cast<int>(kind)]; }

private:
    QIcon icons_[3];
};

QTreeWidgetItem* treeItem(const NodeIcons& icons, const LibraryNode& node)
{
    auto* item = new QTreeWidgetItem(QStringList{node.text});
    item->setIcon(0, icons(node.kind));
    item->setData(0, kNodeKindRole, static_cast<int>(node.kind));
    item->setData(0, kBuiltInRole, node.builtIn);
    QList<QTreeWidgetItem*> children;
    children.reserve(static_cast<qsizetype>(node.children.size()));
    for (const LibraryNode& child : node.children)
        children.append(treeItem(icons, child));
    item->addChildren(children);
    return item;
}

// A caption chosen at run time: its id is kept on the label, so that a change of language finds it.
void showCaption(QLabel& label, unsigned message)
{
    label.setProperty(windowkit::kTextId, message);
    label.setText(messages::lookupMessage(message));
    windowkit::fitText(label);
}

} // namespace

LibraryNodeKind nodeKindOf(const QTreeWidgetItem& item)
{
    return static_cast<LibraryNodeKind>(item.data(0, kNodeKindRole).toInt());
}

LibraryNode libraryNodeOf(const QTreeWidgetItem& item)
{
    LibraryNode node;
    node.text = item.text(0);
    node.kind = nodeKindOf(item);
    node.builtIn = isBuiltIn(item);
    for (int i = 0; i < item.childCount(); ++i)
        node.children.push_back({item.child(i)->text(0), kPictureIcon, LibraryNodeKind::File, -1, {}, node.builtIn});
    return node;
}

bool isBuiltIn(const QTreeWidgetItem& item)
{
    return item.data(0, kBuiltInRole).toBool();
}

void appendClipartTree(QTreeWidget& tree, int ledCount)
{
    if (ledCount > 0)
        tree.addTopLevelItem(treeItem(NodeIcons(tree), clipartTree(ledCount)));
}

void fillLibraryTree(QTreeWidget& tree, const Workspace& workspace, LibraryTreeOrder order)
{
    tree.clear();
    const LibraryCatalogue catalogue = LibraryCatalogue::forTree(workspace.clipsFolder);
    const NodeIcons icons(tree);
    QList<QTreeWidgetItem*> items;
    for (const LibraryNode& node : buildLibraryTree(catalogue, order))
        items.append(treeItem(icons, node));
    tree.addTopLevelItems(items);
}

LibraryPage::LibraryPage(const Workspace& workspace, const AssociationIndex& associations,
                         messages::Prompter& prompter, QWidget* parent)
    : QWidget(parent), workspace_(workspace), associations_(associations), prompter_(prompter)
{
    setupUi(this);
    for (QLabel* value : {Label22, Label23, Label24})
        windowkit::setTextTint(*value, windowkit::TextTint::Value);
    GroupBox7->hide();
    Image1->hide();
    // "Paste as new picture", like the import, is always enabled.
    auto* paste = new QShortcut(QKeySequence::Paste, this, this, &LibraryPage::ButtonPasteClick);
    paste->setContext(Qt::WidgetWithChildrenShortcut);

    connect(TreeView1, &QTreeWidget::itemClicked, this, &LibraryPage::TreeView1Click);
    connect(TreeView1, &QTreeWidget::itemDoubleClicked, this, &LibraryPage::TreeView1Click);
    // The keyboard selects as the mouse does.
    connect(TreeView1, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
        if (item && TreeView1->hasFocus())
            TreeView1Click(item);
    });
    connect(Button1, &QPushButton::clicked, this, &LibraryPage::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &LibraryPage::Button2Click);
    connect(Button3, &QPushButton::clicked, this, &LibraryPage::Button3Click);
    connect(Button4, &QPushButton::clicked, this, &LibraryPage::Button4Click);
    connect(Button5, &QPushButton::clicked, this, &LibraryPage::Button5Click);
    connect(Button6, &QPushButton::clicked, this, &LibraryPage::Button6Click);
    connect(Button7, &QPushButton::clicked, this, &LibraryPage::Button7Click);
    connect(Button11, &QPushButton::clicked, this, &LibraryPage::Button11Click);
    connect(Button12, &QPushButton::clicked, this, &LibraryPage::Button12Click);
    connect(ButtonPaste, &QPushButton::clicked, this, &LibraryPage::ButtonPasteClick);
    disableCommands();
    // The main window applies them again whenever it shows or the language changes.
    windowkit::applyWindowTexts(*this);
}

QPushButton* LibraryPage::commandButton(LibraryCommand command) const
{
    switch (command) {
    case LibraryCommand::AddToProject:
        return Button1;
    case LibraryCommand::AddBmpJpeg:
        return Button7;
    case LibraryCommand::CopyMove:
        return Button2;
    case LibraryCommand::Delete:
        return Button12;
    case LibraryCommand::Edit:
        return Button3;
    case LibraryCommand::Rename:
        return Button5;
    case LibraryCommand::SaveAsNewFile:
        return Button4;
    case LibraryCommand::Email:
        return Button6;
    case LibraryCommand::AdjustSpeed:
        break;
    }
    return Button11;
}

void LibraryPage::enterPage()
{
    if (!treeFreshness_.current(workspace_.clipsFolder))
        rebuildTree();
}

void LibraryPage::rebuildTree()
{
    treeFreshness_.building(workspace_.clipsFolder);
    fillLibraryTree(*TreeView1, workspace_, LibraryTreeOrder::Sorted);
    TreeView1->expandAll();
    appendClipartTree(*TreeView1, clipartHeight_);
}

void LibraryPage::disableCommands()
{
    for (LibraryCommand command : kLibraryCommands)
        commandButton(command)->setEnabled(false);
}

void LibraryPage::TreeView1Click(QTreeWidgetItem* item)
{
    if (!item)
        return;
    const QTreeWidgetItem* parent = item->parent();
    const LibraryNode node = libraryNodeOf(*item);
    if (node.builtIn) {
        showClipart(node, parent ? parent->text(0) : QString());
        return;
    }
    builtIn_ = false;
    info_ = libraryInformation(node, parent ? parent->text(0) : QString(), workspace_.clipsFolder, info_);
    showInformation();
    for (LibraryCommand command : kLibraryCommands)
        commandButton(command)->setEnabled(libraryCommandEnabled(command, info_.mode));
}

void LibraryPage::showInformation()
{
    Label22->setText(info_.library);
    Label23->setText(info_.file);
    showCaption(*Label21, info_.thirdLabel);
    Label24->setText(info_.thirdValue);
    GroupBox7->setVisible(info_.showAssociated);
    GroupBox5->resize(info_.showAssociated ? kInfoWidth : kInfoWideWidth, GroupBox5->height());
    refreshAssociations();

    const QRect place = libraryPreviewRect(info_.pictureSize, GroupBox6->height());
    QPixmap picture;
    const QString path = builtIn_ ? clipartPath(clipartHeight_, info_.file) : workspace_.clipsFolder + info_.file;
    if (info_.showPreview && picture.load(path, "BMP")) {
        Image1->setPixmap(picture);
        Image1->setGeometry(place);
        Image1->show();
    } else {
        Image1->hide();
        Image1->clear();
    }
}

void LibraryPage::showClipart(const LibraryNode& node, const QString& parentText)
{
    builtIn_ = true;
    info_ = clipartInformation(node, parentText, clipartImage(clipartHeight_, node.text).size());
    showInformation();
    for (LibraryCommand command : kLibraryCommands)
        commandButton(command)->setEnabled(clipartCommandEnabled(command, info_.mode));
}

QString LibraryPage::takeClipart()
{
    const ClipartCopy copy = copyClipartToClips(workspace_.clipsFolder, clipartHeight_, info_.file);
    if (!copy.ok()) {
        prompter_.tell(msg::ClipartRootText, messageId(copy.status), messages::Icon::Stop);
        return {};
    }
    // From here on the copy is the selection: an ordinary picture of no library.
    builtIn_ = false;
    info_.library = kRootNodeText;
    info_.file = copy.fileName;
    rebuildTree();
    showInformation();
    for (LibraryCommand command : kLibraryCommands)
        commandButton(command)->setEnabled(libraryCommandEnabled(command, info_.mode));
    return copy.fileName;
}

void LibraryPage::refreshAssociations()
{
    ListBox1->clear();
    if (info_.mode == LibraryMode::File)
        ListBox1->addItems(associatedProjects(associations_, info_.file));
}

void LibraryPage::forgetSelection()
{
    // The selection mode stays until the next click; the values and the preview go.
    info_.library.clear();
    info_.file.clear();
    info_.thirdValue.clear();
    info_.showPreview = false;
    Label22->clear();
    Label23->clear();
    Label24->clear();
    Image1->hide();
    Image1->clear();
    ListBox1->clear();
    disableCommands();
    Button7->setEnabled(true);
}

void LibraryPage::Button1Click()
{
    if (info_.mode == LibraryMode::File && (!builtIn_ || !takeClipart().isEmpty()))
        emit addToProjectsRequested(info_.library, info_.file, info_.thirdValue);
}

void LibraryPage::Button2Click()
{
    if (info_.mode == LibraryMode::File && (!builtIn_ || !takeClipart().isEmpty()))
        emit copyMoveRequested(info_.library, info_.file, info_.thirdValue);
}

void LibraryPage::Button3Click()
{
    if (info_.mode != LibraryMode::File || info_.file.isEmpty()) {
        prompter_.tell(kEditTitle, kOnlyInFileMode, messages::Icon::Stop);
        return;
    }
    if (!builtIn_ || !takeClipart().isEmpty())
        emit editRequested(info_.file);
}

void LibraryPage::Button4Click()
{
    if (builtIn_)
        return; // the clipart is read-only
    windowkit::runCommand(prompter_, [&] {
        LibraryCatalogue catalogue(workspace_.clipsFolder);
        exportFileCopy(catalogue, info_.mode == LibraryMode::File ? info_.file : QString(), workspace_.rootFolder,
                       prompter_);
    });
}

void LibraryPage::Button5Click()
{
    if (builtIn_)
        return; // the clipart is read-only
    bool renamed = false;
    windowkit::runCommand(prompter_, [&] {
        LibraryCatalogue catalogue(workspace_.clipsFolder);
        if (info_.mode == LibraryMode::Library && !info_.library.isEmpty())
            renamed = renameLibrary(catalogue, info_.library, prompter_);
        else if (info_.mode == LibraryMode::File && !info_.file.isEmpty())
            renamed = !renamePictureFile(catalogue, info_.file, prompter_).isEmpty();
    });
    if (renamed) {
        rebuildTree();
        forgetSelection();
    }
}

void LibraryPage::Button6Click()
{
    if (builtIn_)
        return; // the clipart is read-only
    mail::emailLibraryFile(static_cast<int>(info_.mode), info_.file, workspace_.clipsFolder, workspace_.tempFolder,
                           prompter_);
}

void LibraryPage::Button7Click()
{
    emit importRequested();
}

void LibraryPage::Button11Click()
{
    if (builtIn_)
        return; // the clipart is read-only
    if (info_.mode == LibraryMode::File && !info_.file.isEmpty())
        emit adjustSpeedRequested(info_.file);
}

void LibraryPage::ButtonPasteClick()
{
    const bool inLibrary = info_.mode != LibraryMode::Nothing && !info_.library.isEmpty();
    emit pasteRequested(inLibrary ? info_.library : kRootNodeText);
}

void LibraryPage::Button12Click()
{
    if (builtIn_)
        return; // the clipart is read-only
    bool deleted = false;
    windowkit::runCommand(prompter_, [&] {
        LibraryCatalogue catalogue(workspace_.clipsFolder);
        if (info_.mode == LibraryMode::File && !info_.file.isEmpty())
            deleted = deletePictureFile(catalogue, info_.file, info_.library, prompter_);
        else if (info_.mode == LibraryMode::Library && !info_.library.isEmpty())
            deleted = deleteLibrary(catalogue, info_.library, prompter_);
    });
    if (deleted) {
        rebuildTree();
        forgetSelection();
    }
}

} // namespace store
