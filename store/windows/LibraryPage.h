#pragma once

#include "store/LibrarySelection.h"
#include "store/ProjectList.h"
#include "store/Workspace.h"
#include "ui_LibraryPage.h"

#include <QWidget>

class QLabel;
class QTreeWidget;
class QTreeWidgetItem;

namespace messages {
class Prompter;
}

namespace store {

// A tree view of the libraries and their files (buildLibraryTree's nodes, each item knowing its kind).
void fillLibraryTree(QTreeWidget& tree, const Workspace& workspace, LibraryTreeOrder order);
LibraryNodeKind nodeKindOf(const QTreeWidgetItem& item);
// The node an item stands for, its children as file nodes.
LibraryNode libraryNodeOf(const QTreeWidgetItem& item);
// Adds the built-in clipart of that height as the tree's last top-level node, collapsed; nothing for height 0.
void appendClipartTree(QTreeWidget& tree, int ledCount);
// Whether the item is the clipart or one of its groups or pictures.
bool isBuiltIn(const QTreeWidgetItem& item);

// The Library page: the libraries and their pictures as a tree, what is known of the selected node, its preview,
// and the command column. The catalogue's operations run here; commands whose dialogs live in the windows above
// (adding to projects, copying between libraries, editing, importing, the speed dialog) are signals.
//
// Its controls are those of LibraryPage.ui: TreeView1 the tree; GroupBox5 " Information" with the captions Label19
// "Library : ", Label20 "FileName: " and Label21 "Total Files :" or "Dimension :", and their values Label22-24;
// GroupBox7 "Associated Projects" with ListBox1; GroupBox6 "Preview" with the picture Image1, ButtonPaste "Paste
// as new picture" (also Ctrl+V) and the command column: Button1 Add to MyLumiwands Project, Button7 Add BMP/JPEG to
// Library, Button2 Copy/Move to other Librarys, Button12 Delete, Button3 Edit, Button5 Rename, Button4 Save as new
// file, Button6 Email to My Friends, Button11 Adjust Flashing Speed.
class LibraryPage : public QWidget, public Ui::LibraryPage {
    Q_OBJECT

public:
    // `associations` is the window's index of which projects hold which picture; it is read at each click.
    LibraryPage(const Workspace& workspace, const AssociationIndex& associations, messages::Prompter& prompter,
                QWidget* parent = nullptr);

    const LibraryInformation& information() const { return info_; }

    // The clipart of this height is shown after the libraries (0: none).
    void setClipartHeight(int ledCount) { clipartHeight_ = ledCount; }
    // Rebuilds the tree (sorted, expanded; the clipart collapsed).
    void rebuildTree();
    // On entering the page: rebuilds the tree unless the catalogue, the clips folder and the language are as they
    // were at the last build (a library of thousands of pictures takes a noticeable time to build).
    void enterPage();
    // Every command off (before the first click).
    void disableCommands();
    // Refills "Associated Projects" for the selected file (after the index was rebuilt).
    void refreshAssociations();

public slots:
    void TreeView1Click(QTreeWidgetItem* item);
    void Button1Click();
    void Button2Click();
    void Button3Click();
    void Button4Click();
    void Button5Click();
    void Button6Click();
    void Button7Click();
    void Button11Click();
    void Button12Click();
    void ButtonPasteClick();

signals:
    // Commands carried out by dialogs of the windows above. `dimension` is the text shown, " w x h".
    void addToProjectsRequested(const QString& library, const QString& file, const QString& dimension);
    void copyMoveRequested(const QString& library, const QString& file, const QString& dimension);
    void editRequested(const QString& file);
    void importRequested();
    void adjustSpeedRequested(const QString& file);
    // "Paste as new picture": the clipboard's picture into `library` (the selected one, or the root "[CLIP]").
    void pasteRequested(const QString& library);

private:
    QPushButton* commandButton(LibraryCommand command) const;
    void showInformation();
    void forgetSelection();
    void showClipart(const LibraryNode& node, const QString& parentText);
    // Copies the selected clipart picture into the clips folder and selects the copy; empty when it failed (told).
    QString takeClipart();

    const Workspace& workspace_;
    const AssociationIndex& associations_;
    messages::Prompter& prompter_;
    LibraryInformation info_;
    int clipartHeight_ = 0;
    TreeFreshness treeFreshness_;
    bool builtIn_ = false; // the selection is clipart: read-only, used through a copy
};

} // namespace store
