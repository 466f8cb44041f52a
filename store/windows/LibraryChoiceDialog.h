#pragma once

#include "store/LibraryChoice.h"
#include "windowkit/Window.h"
#include "ui_LibraryChoiceDialog.h"

namespace store {

// The library choice dialog, in library mode ("Copy/Move to other Librarys") or add-to-projects mode ("Add to
// MyLumiwands Project"): the source picture's information, a check list and OK / Cancel. It answers the
// commands of store/LibraryChoice.h. Its controls are those of LibraryChoiceDialog.ui: Label4 to Label6 the source
// library, picture and dimension, Label7 the prompt over CheckListBox1, Button1 OK, Button2 Cancel.
class LibraryChoiceDialog : public windowkit::Dialog, public LibraryChooser, public Ui::LibraryChoiceDialog {
    Q_OBJECT

public:
    explicit LibraryChoiceDialog(QWidget* parent = nullptr);

    std::optional<QList<int>> chooseLibraries(const ChoiceSource& source, const QList<LibraryInfo>& libraries,
                                              const QList<int>& ticked) override;
    std::optional<QList<int>> chooseProjects(const ChoiceSource& source, const QStringList& projects) override;

private:
    // Shows the dialog with the items (ticked as given); the ticked rows, nullopt when cancelled.
    std::optional<QList<int>> choose(unsigned caption, unsigned prompt, const ChoiceSource& source,
                                     const QStringList& items, const QList<bool>& ticked);
};

} // namespace store
