#pragma once

#include "store/LibrarySelection.h"
#include "store/ProjectList.h"
#include "store/Workspace.h"

#include <QWidget>

class QGroupBox;
class QLabel;
class QListWidget;
class QPushButton;
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
class LibraryPage : public QWidget {
    Q_OBJECT

public:
    // `associations` is the window's index of which projects hold which picture; it is read at each click.
    LibraryPage(const Workspace& workspace, const AssociationIndex& associations, messages::Prompter& prompter,
                QWidget* parent = nullptr);

    QTreeWidget* TreeView1;
    QGroupBox* GroupBox5; // " Information"
    QLabel* Label19;      // "Library : "
    QLabel* Label20;      // "FileName: "
    QLabel* Label21;      // "Total Files :" or "Dimension :"
    QLabel* Label22;      // the values, navy
    QLabel* Label23;
    QLabel* Label24;
    QGroupBox* GroupBox7; // "Associated Projects"
    QListWidget* ListBox1;
    QGroupBox* GroupBox6; // "Preview" with the command column
    QLabel* Image1;
    QPushButton* Button1;  // Add to MyLumiwands Project
    QPushButton* Button7;  // Add BMP/JPEG to Library
    QPushButton* Button2;  // Copy/Move to other Librarys
    QPushButton* Button12; // Delete Picture / Banner / Library
    QPushButton* Button3;  // Edit Picture / Banner
    QPushButton* Button5;  // Rename Picture/Banner/Library
    QPushButton* Button4;  // Save Picture / Banner as new file
    QPushButton* Button6;  // Email to My Friends
    QPushButton* Button11; // Adjust Flashing Speed
    QPushButton* ButtonPaste; // Paste as new picture (also Ctrl+V)

    const LibraryInformation& information() const { return info_; }

    // The clipart of this height is shown after the libraries (0: none).
    void setClipartHeight(int ledCount) { clipartHeight_ = ledCount; }
    // Rebuilds the tree (sorted, expanded; the clipart collapsed).
    void rebuildTree();
    // The page's own texts in the current language: the third caption names what its value shows ("Total Files
    // :" or "Dimension :"), so it stays right when the language changes while a picture is selected.
    void refreshTexts();
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
