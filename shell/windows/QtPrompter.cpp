#include "shell/windows/QtPrompter.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>

namespace shell {
namespace {

QMessageBox::Icon boxIcon(messages::Icon icon)
{
    switch (icon) {
    case messages::Icon::Stop:
        return QMessageBox::Critical;
    case messages::Icon::Information:
        return QMessageBox::Information;
    case messages::Icon::Question:
        return QMessageBox::Question;
    case messages::Icon::Warning:
        return QMessageBox::Warning;
    case messages::Icon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons boxButtons(messages::Buttons buttons)
{
    switch (buttons) {
    case messages::Buttons::Ok:
        return QMessageBox::Ok;
    case messages::Buttons::OkCancel:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case messages::Buttons::YesNo:
    case messages::Buttons::YesNoDefaultNo:
        return QMessageBox::Yes | QMessageBox::No;
    case messages::Buttons::YesNoCancel:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    }
    return QMessageBox::Ok;
}

// The button Escape and the close box stand for.
QMessageBox::StandardButton escapeButton(messages::Buttons buttons)
{
    switch (buttons) {
    case messages::Buttons::Ok:
        return QMessageBox::Ok;
    case messages::Buttons::YesNo:
    case messages::Buttons::YesNoDefaultNo:
        return QMessageBox::No;
    case messages::Buttons::OkCancel:
    case messages::Buttons::YesNoCancel:
        break;
    }
    return QMessageBox::Cancel;
}

messages::Answer answerFor(int button, messages::Buttons buttons)
{
    switch (button) {
    case QMessageBox::Ok:
        return messages::Answer::Ok;
    case QMessageBox::Yes:
        return messages::Answer::Yes;
    case QMessageBox::No:
        return messages::Answer::No;
    case QMessageBox::Cancel:
        return messages::Answer::Cancel;
    default:
        return buttons == messages::Buttons::YesNo || buttons == messages::Buttons::YesNoDefaultNo
                   ? messages::Answer::No
                   : messages::Answer::Cancel;
    }
}

} // namespace

QtPrompter::QtPrompter(QWidget* parent) : parent_(parent) {}

QWidget* QtPrompter::parentWindow() const
{
    return parent_ ? parent_.data() : QApplication::activeWindow();
}

messages::Answer QtPrompter::ask(const QString& title, const QString& text, messages::Icon icon, messages::Buttons buttons)
{
    QMessageBox box(boxIcon(icon), title, text, boxButtons(buttons), parentWindow());
    box.setTextFormat(Qt::PlainText);
    box.setEscapeButton(escapeButton(buttons));
    if (buttons == messages::Buttons::YesNoDefaultNo)
        box.setDefaultButton(QMessageBox::No);
    return answerFor(box.exec(), buttons);
}

std::optional<QString> QtPrompter::inputText(const QString& title, const QString& prompt, const QString& initial)
{
    bool accepted = false;
    const QString text =
        QInputDialog::getText(parentWindow(), title, prompt, QLineEdit::Normal, initial, &accepted);
    if (!accepted)
        return std::nullopt;
    return text;
}

QString QtPrompter::chooseOpenFile(const QString& title, const QString& folder, const QStringList& filters)
{
    return QFileDialog::getOpenFileName(parentWindow(), title, folder, filters.join(QStringLiteral(";;")));
}

QString QtPrompter::saveFileName(const QString& title, const QString& folder, const QString& suggestedName,
                                 const QStringList& filters, QString& selectedFilter)
{
    const QString start = suggestedName.isEmpty() ? folder : QDir(folder).filePath(suggestedName);
    // The commands ask their own question before they replace a file: the dialog asks none, so nobody is asked
    // twice.
    return QFileDialog::getSaveFileName(parentWindow(), title, start, filters.join(QStringLiteral(";;")),
                                        &selectedFilter, QFileDialog::DontConfirmOverwrite);
}

QString QtPrompter::chooseSaveFile(const QString& title, const QString& folder, const QString& suggestedName,
                                   const QStringList& filters)
{
    QString selectedFilter;
    const QString chosen = saveFileName(title, folder, suggestedName, filters, selectedFilter);
    return withFilterExtension(chosen, selectedFilter);
}

messages::Prompter::SaveFileChoice QtPrompter::chooseSaveFileAndType(const QString& title, const QString& folder,
                                                                     const QString& suggestedName,
                                                                     const QStringList& filters)
{
    QString selectedFilter;
    const QString chosen = saveFileName(title, folder, suggestedName, filters, selectedFilter);
    return {chosen, std::max<int>(0, int(filters.indexOf(selectedFilter)))};
}

QString withFilterExtension(const QString& path, const QString& filter)
{
    if (path.isEmpty() || QFileInfo(path).fileName().contains(u'.'))
        return path;
    // The first pattern of the filter, "*.lwd" in "Lumiwand (*.lwd)".
    const qsizetype open = filter.lastIndexOf(u'(');
    const qsizetype close = filter.indexOf(u')', open);
    if (open < 0 || close < 0)
        return path;
    const QString pattern = filter.mid(open + 1, close - open - 1).trimmed().section(u' ', 0, 0);
    if (!pattern.startsWith(QLatin1String("*.")) || pattern.size() < 3 || pattern.indexOf(u'*', 2) >= 0 ||
        pattern.contains(u'?'))
        return path;
    return path + pattern.mid(1);
}

} // namespace shell
