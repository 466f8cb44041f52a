#include "store/windows/ProjectsPage.h"

#include "messages/MessageIds.h"
#include "messages/Prompter.h"
#include "store/Clipart.h"
#include "store/windows/EntryList.h"
#include "store/windows/LibraryPage.h"
#include "windowkit/RunCommand.h"
#include "windowkit/Icons.h"
#include "windowkit/TextTint.h"
#include "windowkit/WindowTexts.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QSignalBlocker>
#include <QToolButton>
#include <QTreeWidget>

namespace store {
namespace {

constexpr int kEntryRole = Qt::UserRole;

// The entry list's icons: 0 plain, 1 in a group, 2 ticker, 3 both.
QIcon entryIcon(int icon)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setPen(Qt::black);
    painter.setBrush(Qt::white);
    painter.drawRect(1, 1, 13, 13);
    painter.fillRect(4, 4, 8, 8, Qt::black);
    if (icon & 1) { // a group: a second frame behind
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QColor(0, 0, 160));
        painter.drawRect(0, 0, 15, 15);
        painter.drawRect(2, 2, 11, 11);
    }
    if (icon & 2) { // a ticker: a red arrow to the left
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(200, 0, 0));
        painter.drawPolygon(QPolygon({QPoint(2, 8), QPoint(9, 3), QPoint(9, 13)}));
    }
    return QIcon(pixmap);
}

// The command buttons' icons: the desktop theme's where it has one of that meaning, else the program's own.
void setCommandIcons(const Ui::ProjectsPage& page)
{
    struct CommandIcon {
        QToolButton* button;
        const char* ownName;
        const char* themeName;
    };
    const CommandIcon icons[] = {
        {page.BitBtn40, "usb-download", nullptr},         {page.BitBtn42, "save-binary", "document-save-as"},
        {page.BitBtn43, "open-binary", "document-open"},  {page.BitBtn44, "mail-send", "mail-send"},
        {page.BitBtn36, "move-up", "go-up"},              {page.BitBtn37, "move-down", "go-down"},
        {page.BitBtn41, "torch", nullptr},                {page.BitBtn35, "text-banner", "insert-text"},
        {page.BitBtn39, "rename", nullptr},               {page.BitBtn46, "movie-interval", nullptr},
        {page.BitBtn47, "shift", nullptr},                {page.BitBtn49, "flash-speed", nullptr},
        {page.BitBtn38, "delete-project", "edit-delete"}, {page.BitBtn50, "movie-group", nullptr},
        {page.BitBtn51, "ticker", nullptr},               {page.BitBtn52, "indelible", nullptr},
        {page.BitBtn53, "show-preview", "media-playback-start"}};
    for (const CommandIcon& icon : icons)
        icon.button->setIcon(windowkit::actionIcon(icon.ownName, icon.themeName));
}

} // namespace

ProjectsPage::ProjectsPage(const EditionParameters& edition, const Workspace& workspace, ProjectList& projects,
                           messages::Prompter& prompter, QWidget* parent)
    : QWidget(parent), edition_(edition), workspace_(workspace), projects_(projects), prompter_(prompter)
{
    setupUi(this);
    setCommandIcons(*this);
    BitBtn52->setVisible(edition_.factoryMode);

    TreeView2->installEventFilter(this);
    ListView1->tree = TreeView2;
    ListView1->ledCount = edition_.ledCount;
    ListView1->pictureDropped = [this](const QString& file) {
        currentPicture_ = file;
        addPicture(file);
    };
    ListView1->installEventFilter(this);
    for (QLabel* value : {Label46, Label47})
        windowkit::setTextTint(*value, windowkit::TextTint::Value);
    // The main window applies them again whenever it shows or the language changes.
    windowkit::applyWindowTexts(*this);

    connect(ComboBox1, &QComboBox::currentIndexChanged, this, &ProjectsPage::ComboBox1Change);
    connect(TreeView2, &QTreeWidget::itemClicked, this, &ProjectsPage::TreeView2Click);
    connect(TreeView2, &QTreeWidget::itemDoubleClicked, this, &ProjectsPage::TreeView2DblClick);
    connect(ListView1, &QListWidget::itemClicked, this, &ProjectsPage::ListView1Click);
    connect(ListView1, &QListWidget::itemDoubleClicked, this, &ProjectsPage::ListView1DblClick);
    connect(Button10, &QPushButton::clicked, this, &ProjectsPage::Button10Click);
    connect(Button14, &QPushButton::clicked, this, &ProjectsPage::Button14Click);
    connect(BitBtn40, &QToolButton::clicked, this, &ProjectsPage::downloadRequested);
    connect(BitBtn53, &QToolButton::clicked, this, &ProjectsPage::showPreviewRequested);
    connect(BitBtn42, &QToolButton::clicked, this, &ProjectsPage::exportBinaryRequested);
    connect(BitBtn43, &QToolButton::clicked, this, &ProjectsPage::openBinaryRequested);
    connect(BitBtn44, &QToolButton::clicked, this, &ProjectsPage::emailProjectRequested);
    connect(BitBtn36, &QToolButton::clicked, this, &ProjectsPage::BitBtn36Click);
    connect(BitBtn37, &QToolButton::clicked, this, &ProjectsPage::BitBtn37Click);
    connect(BitBtn41, &QToolButton::clicked, this, &ProjectsPage::torchRequested);
    connect(BitBtn35, &QToolButton::clicked, this, &ProjectsPage::textToBannerRequested);
    connect(BitBtn38, &QToolButton::clicked, this, &ProjectsPage::BitBtn38Click);
    connect(BitBtn39, &QToolButton::clicked, this, &ProjectsPage::BitBtn39Click);
    connect(BitBtn46, &QToolButton::clicked, this, &ProjectsPage::BitBtn46Click);
    connect(BitBtn47, &QToolButton::clicked, this, &ProjectsPage::BitBtn47Click);
    connect(BitBtn49, &QToolButton::clicked, this, &ProjectsPage::BitBtn49Click);
    connect(BitBtn50, &QToolButton::clicked, this, &ProjectsPage::BitBtn50Click);
    connect(BitBtn51, &QToolButton::clicked, this, &ProjectsPage::BitBtn51Click);
    connect(BitBtn52, &QToolButton::clicked, this, &ProjectsPage::BitBtn52Click);
}

void ProjectsPage::enterPage()
{
    projects_.listProjects();
    refreshProjectSelector();
    if (!treeFreshness_.current(workspace_.clipsFolder))
        rebuildTree();
}

void ProjectsPage::refreshProjectSelector()
{
    const QSignalBlocker blocker(ComboBox1);
    ComboBox1->clear();
    for (int i = 0; i < projects_.size(); ++i)
        ComboBox1->addItem(projects_.displayName(i));
    ComboBox1->setCurrentIndex(projects_.currentIndex());
}

void ProjectsPage::rebuildTree()
{
    treeFreshness_.building(workspace_.clipsFolder);
    fillLibraryTree(*TreeView2, workspace_, LibraryTreeOrder::Insertion);
    appendClipartTree(*TreeView2, edition_.ledCount);
    TreeView2->collapseAll();
}

void ProjectsPage::loadEntryList()
{
    Project* project = projects_.current();
    if (!project) {
        rows_.clear();
        ListView1->clear();
        Label46->clear();
        Label47->clear();
        return;
    }
    const int selectedRow = ListView1->currentRow();
    std::optional<std::vector<EntryRow>> rows;
    windowkit::runCommand(prompter_, [&] { rows = store::loadEntryList(*project, workspace_.clipsFolder); });
    if (!rows)
        return; // no usable dimension: the old rows stay
    rows_ = std::move(*rows);
    ListView1->clear();
    static const QIcon icons[] = {entryIcon(0), entryIcon(1), entryIcon(2), entryIcon(3)};
    for (const EntryRow& row : rows_) {
        auto* item = new QListWidgetItem(icons[row.icon & 3], row.caption, ListView1);
        item->setData(kEntryRole, row.entry);
    }
    if (selectedRow >= 0 && selectedRow < ListView1->count())
        ListView1->setCurrentRow(selectedRow);
    if (measure_) {
        const ProjectCounters counters = measure_(*project);
        Label46->setText(QString::number(counters.pictures));
        Label47->setText(QString::number(counters.bytes));
    }
}

int ProjectsPage::selectedEntry() const
{
    const QListWidgetItem* item = ListView1->currentItem();
    return item && item->isSelected() ? item->data(kEntryRole).toInt() : -1;
}

void ProjectsPage::selectEntry(int entry)
{
    for (int row = 0; row < ListView1->count(); ++row)
        if (ListView1->item(row)->data(kEntryRole).toInt() == entry) {
            ListView1->setCurrentRow(row);
            return;
        }
}

QString ProjectsPage::selectedFileName() const
{
    const Project* project = projects_.current();
    const int entry = selectedEntry();
    return project && entry >= 0 ? project->pictureName(entry) : QString();
}

void ProjectsPage::addPicture(const QString& picture)
{
    QString fileName = picture;
    if (isClipartPath(picture) && projects_.current()) {
        // Clipart goes in as a copy in the clips folder; adding it again adds the same copy.
        const ClipartCopy copy = copyClipartToClips(workspace_.clipsFolder, edition_.ledCount, picture);
        if (!copy.ok()) {
            prompter_.tell(msg::AddToProjectTitle, messageId(copy.status), messages::Icon::Stop);
            return;
        }
        fileName = currentPicture_ = copy.fileName;
        rebuildTree();
    }
    if (Project* project = projects_.current())
        windowkit::runCommand(prompter_, msg::AddToProjectTitle,
                              [&] { return addPictureToProject(*project, workspace_.clipsFolder, fileName); });
    loadEntryList();
    emit projectsChanged();
}

void ProjectsPage::entryCommand(const std::function<int(Project&, int entry)>& command)
{
    Project* project = projects_.current();
    const int entry = selectedEntry();
    if (!project || entry < 0)
        return;
    const int row = ListView1->currentRow();
    int target = -1;
    windowkit::runCommand(prompter_, [&] { target = command(*project, entry); });
    loadEntryList();
    if (target >= 0)
        selectEntry(target);
    else
        ListView1->setCurrentRow(std::min(row, ListView1->count() - 1));
    ListView1->setFocus();
}

void ProjectsPage::ComboBox1Change(int index)
{
    if (index < 0 || index >= projects_.size())
        return;
    projects_.setCurrentIndex(index);
    emit previewHidden();
    ListView1->setCurrentRow(-1);
    loadEntryList();
}

void ProjectsPage::TreeView2Click(QTreeWidgetItem* item)
{
    if (!item)
        return;
    switch (nodeKindOf(*item)) {
    case LibraryNodeKind::File:
        currentPicture_ = pictureOfItem(item, edition_.ledCount);
        if (isClipartPath(currentPicture_))
            emit previewHidden();
        else
            emit previewRequested(currentPicture_);
        break;
    case LibraryNodeKind::Root:
        rebuildTree();
        break;
    case LibraryNodeKind::Library:
        break;
    }
}

void ProjectsPage::TreeView2DblClick(QTreeWidgetItem* item)
{
    if (item && nodeKindOf(*item) == LibraryNodeKind::File) {
        currentPicture_ = pictureOfItem(item, edition_.ledCount);
        addPicture(currentPicture_);
    }
}

void ProjectsPage::showRowPreview()
{
    const QString file = selectedFileName();
    if (!file.isEmpty())
        emit previewRequested(file);
}

void ProjectsPage::ListView1Click()
{
    showRowPreview();
}

void ProjectsPage::ListView1DblClick()
{
    if (const QListWidgetItem* item = ListView1->currentItem())
        emit reeditRequested(item->text());
}

void ProjectsPage::Button10Click()
{
    // A node must be selected in the tree; the picture is the last file clicked there.
    if (TreeView2->currentItem())
        addPicture(currentPicture_);
}

void ProjectsPage::Button14Click()
{
    entryCommand([this](Project& project, int entry) {
        removeEntry(project, entry, edition_.factoryMode, prompter_);
        return -1;
    });
    emit projectsChanged();
}

void ProjectsPage::BitBtn36Click()
{
    entryCommand([](Project& project, int entry) { return moveEntryUp(project, entry); });
}

void ProjectsPage::BitBtn37Click()
{
    entryCommand([](Project& project, int entry) { return moveEntryDown(project, entry); });
}

void ProjectsPage::BitBtn38Click()
{
    if (!projects_.current())
        return;
    windowkit::runCommand(prompter_, [&] { deleteProject(projects_, prompter_); });
    refreshProjectSelector();
    loadEntryList();
    emit projectsChanged();
}

void ProjectsPage::BitBtn39Click()
{
    if (!projects_.current())
        return;
    windowkit::runCommand(prompter_, [&] { renameProject(projects_, prompter_); });
    refreshProjectSelector();
    loadEntryList();
    emit projectsChanged();
}

void ProjectsPage::BitBtn46Click()
{
    if (projects_.current() && ComboBox1->currentIndex() >= 0)
        emit movieIntervalRequested();
}

void ProjectsPage::BitBtn47Click()
{
    const QString file = selectedFileName();
    if (!file.isEmpty())
        emit shiftRequested(file);
    ListView1->setFocus();
}

void ProjectsPage::BitBtn49Click()
{
    const QString file = selectedFileName();
    if (!file.isEmpty())
        emit speedRequested(file);
    ListView1->setFocus();
}

void ProjectsPage::BitBtn50Click()
{
    if (!groupChooser_)
        return;
    entryCommand([this](Project& project, int entry) {
        toggleMovieGroup(project, entry, *groupChooser_);
        return -1;
    });
}

void ProjectsPage::BitBtn51Click()
{
    if (!tickerChooser_)
        return;
    entryCommand([this](Project& project, int entry) {
        setTicker(project, entry, *tickerChooser_);
        return entry;
    });
}

void ProjectsPage::BitBtn52Click()
{
    entryCommand([](Project& project, int entry) {
        toggleIndelible(project, entry);
        return entry;
    });
}

bool ProjectsPage::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == ListView1 && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Delete) {
            Button14Click();
            return true;
        }
        if (key->modifiers() & Qt::ControlModifier && (key->key() == Qt::Key_Up || key->key() == Qt::Key_Down)) {
            key->key() == Qt::Key_Up ? BitBtn36Click() : BitBtn37Click();
            return true;
        }
    }
    if (watched == ListView1 && event->type() == QEvent::KeyRelease) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() == Qt::Key_Up || key->key() == Qt::Key_Down) && !key->isAutoRepeat())
            showRowPreview();
    }
    if (watched == TreeView2 && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            TreeView2DblClick(TreeView2->currentItem());
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace store
