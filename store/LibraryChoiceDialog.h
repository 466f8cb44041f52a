#pragma once

#include "store/LibraryChoice.h"

#include <QDialog>

class QGroupBox;
class QLabel;
class QListWidget;
class QPushButton;

namespace store {

// The library choice dialog, in library mode ("Copy/Move to other Librarys") or add-to-projects mode ("Add to
// MyLumiwands Project"): the source picture's information, a check list and OK / Cancel. It answers the
// commands of store/LibraryChoice.h.
class LibraryChoiceDialog : public QDialog, public LibraryChooser {
    Q_OBJECT

public:
    explicit LibraryChoiceDialog(QWidget* parent = nullptr);

    std::optional<QList<int>> chooseLibraries(const ChoiceSource& source, const QList<LibraryInfo>& libraries,
                                              const QList<int>& ticked) override;
    std::optional<QList<int>> chooseProjects(const ChoiceSource& source, const QStringList& projects) override;

    QGroupBox* GroupBox1; // Source Information
    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QLabel* Label4; // source library
    QLabel* Label5; // source picture
    QLabel* Label6; // dimension
    QLabel* Label7; // prompt
    QListWidget* CheckListBox1;
    QPushButton* Button1; // OK
    QPushButton* Button2; // Cancel

private:
    // Shows the dialog with the items (ticked as given); the ticked rows, nullopt when cancelled.
    std::optional<QList<int>> choose(unsigned caption, unsigned prompt, const ChoiceSource& source,
                                     const QStringList& items, const QList<bool>& ticked);
};

} // namespace store
