#include "store/windows/LibraryChoiceDialog.h"

#include "messages/MessageIds.h"
#include "windowkit/WindowTexts.h"

#include <QListWidget>

namespace store {

LibraryChoiceDialog::LibraryChoiceDialog(QWidget* parent)
    : windowkit::Dialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setupUi(this);
    connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
}

std::optional<QList<int>> LibraryChoiceDialog::choose(unsigned caption, unsigned prompt, const ChoiceSource& source,
                                                      const QStringList& items, const QList<bool>& ticked)
{
    // The mode's title and prompt are taken with the other texts when the dialog shows.
    setProperty(windowkit::kTextId, caption);
    Label7->setProperty(windowkit::kTextId, prompt);
    Label4->setText(source.library);
    Label5->setText(source.fileName);
    Label6->setText(source.dimension);

    CheckListBox1->clear();
    for (int k = 0; k < items.size(); ++k) {
        auto* item = new QListWidgetItem(items[k], CheckListBox1);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsSelectable);
        item->setCheckState(k < ticked.size() && ticked[k] ? Qt::Checked : Qt::Unchecked);
    }
    if (exec() != QDialog::Accepted)
        return std::nullopt;
    QList<int> rows;
    for (int k = 0; k < CheckListBox1->count(); ++k)
        if (CheckListBox1->item(k)->checkState() == Qt::Checked)
            rows << k;
    return rows;
}

std::optional<QList<int>> LibraryChoiceDialog::chooseLibraries(const ChoiceSource& source,
                                                               const QList<LibraryInfo>& libraries,
                                                               const QList<int>& ticked)
{
    QStringList names;
    QList<bool> checks;
    for (const LibraryInfo& library : libraries) {
        names << library.name;
        checks << ticked.contains(library.number);
    }
    const auto rows = choose(msg::ChangeLibraryTitle, msg::ChooseDestinationLibrary, source, names, checks);
    if (!rows)
        return std::nullopt;
    QList<int> numbers;
    for (int row : *rows)
        numbers << libraries[row].number;
    return numbers;
}

std::optional<QList<int>> LibraryChoiceDialog::chooseProjects(const ChoiceSource& source, const QStringList& projects)
{
    return choose(msg::AddToProjectsTitle, msg::ChooseDestinationProjects, source, projects, {});
}

} // namespace store
