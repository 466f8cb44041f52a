#include "store/LibraryChoiceDialog.h"

#include "messages/MessageCatalogue.h"
#include "messages/MessageIds.h"
#include "ui/CaptionFit.h"

#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

namespace store {

using messages::lookupMessage;

namespace {

QLabel* makeLabel(const char* name, QWidget* parent, QRect geometry)
{
    auto* label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    label->setGeometry(geometry);
    return label;
}

} // namespace

LibraryChoiceDialog::LibraryChoiceDialog(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("LibraryChoice"));
    setFixedSize(420, 360);
    GroupBox1 = new QGroupBox(this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    GroupBox1->setGeometry(8, 8, 300, 100);
    Label1 = makeLabel("Label1", GroupBox1, {10, 24, 110, 20});
    Label2 = makeLabel("Label2", GroupBox1, {10, 48, 110, 20});
    Label3 = makeLabel("Label3", GroupBox1, {10, 72, 110, 20});
    Label4 = makeLabel("Label4", GroupBox1, {122, 24, 170, 20});
    Label5 = makeLabel("Label5", GroupBox1, {122, 48, 170, 20});
    Label6 = makeLabel("Label6", GroupBox1, {122, 72, 170, 20});

    Button1 = new QPushButton(this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(320, 16, 92, 30);
    Button1->setDefault(true);
    Button2 = new QPushButton(this);
    Button2->setObjectName(QStringLiteral("Button2"));
    Button2->setGeometry(320, 56, 92, 30);
    connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);

    Label7 = makeLabel("Label7", this, {8, 118, 404, 20});
    CheckListBox1 = new QListWidget(this);
    CheckListBox1->setObjectName(QStringLiteral("CheckListBox1"));
    CheckListBox1->setGeometry(8, 140, 404, 212);
    Label7->setBuddy(CheckListBox1);
}

std::optional<QList<int>> LibraryChoiceDialog::choose(unsigned caption, unsigned prompt, const ChoiceSource& source,
                                                      const QStringList& items, const QList<bool>& ticked)
{
    setWindowTitle(lookupMessage(caption));
    GroupBox1->setTitle(lookupMessage(msg::SourceInformation));
    Label1->setText(lookupMessage(msg::SourceLibraryLabel));
    Label2->setText(lookupMessage(msg::SourcePictureLabel));
    Label3->setText(lookupMessage(msg::SourceDimensionLabel));
    Label4->setText(source.library);
    Label5->setText(source.fileName);
    Label6->setText(source.dimension);
    Label7->setText(lookupMessage(prompt));
    Button1->setText(lookupMessage(msg::ChangeLibraryOk));
    Button2->setText(lookupMessage(msg::ChangeLibraryCancel));

    CheckListBox1->clear();
    for (int k = 0; k < items.size(); ++k) {
        auto* item = new QListWidgetItem(items[k], CheckListBox1);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsSelectable);
        item->setCheckState(k < ticked.size() && ticked[k] ? Qt::Checked : Qt::Unchecked);
    }
    ui::fitTexts(*this);
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
    const auto rows = choose(610, 616, source, names, checks);
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
