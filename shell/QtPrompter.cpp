#include "shell/QtPrompter.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>

namespace shell {
namespace {

QMessageBox::Icon boxIcon(Icon icon)
{
    switch (icon) {
    case Icon::Stop:
        return QMessageBox::Critical;
    case Icon::Information:
        return QMessageBox::Information;
    case Icon::Question:
        return QMessageBox::Question;
    case Icon::Warning:
        return QMessageBox::Warning;
    case Icon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons boxButtons(Buttons buttons)
{
    switch (buttons) {
    case Buttons::Ok:
        return QMessageBox::Ok;
    case Buttons::OkCancel:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case Buttons::YesNo:
        return QMessageBox::Yes | QMessageBox::No;
    case Buttons::YesNoCancel:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    }
    return QMessageBox::Ok;
}

// The button Escape and the close box stand for.
QMessageBox::StandardButton escapeButton(Buttons buttons)
{
    switch (buttons) {
    case Buttons::Ok:
        return QMessageBox::Ok;
    case Buttons::YesNo:
        return QMessageBox::No;
    case Buttons::OkCancel:
    case Buttons::YesNoCancel:
        break;
    }
    return QMessageBox::Cancel;
}

Answer answerFor(int button, Buttons buttons)
{
    switch (button) {
    case QMessageBox::Ok:
        return Answer::Ok;
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    case QMessageBox::Cancel:
        return Answer::Cancel;
    default:
        return buttons == Buttons::YesNo ? Answer::No : Answer::Cancel;
    }
}

} // namespace

QtPrompter::QtPrompter(QWidget* parent) : parent_(parent) {}

QWidget* QtPrompter::parentWindow() const
{
    return parent_ ? parent_.data() : QApplication::activeWindow();
}

Answer QtPrompter::ask(const QString& title, const QString& text, Icon icon, Buttons buttons)
{
    QMessageBox box(boxIcon(icon), title, text, boxButtons(buttons), parentWindow());
    box.setTextFormat(Qt::PlainText);
    box.setEscapeButton(escapeButton(buttons));
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

QString QtPrompter::chooseSaveFile(const QString& title, const QString& folder, const QString& suggestedName,
                                   const QStringList& filters)
{
    const QString start = suggestedName.isEmpty() ? folder : QDir(folder).filePath(suggestedName);
    QString selectedFilter;
    const QString chosen = QFileDialog::getSaveFileName(parentWindow(), title, start,
                                                        filters.join(QStringLiteral(";;")), &selectedFilter);
    return withFilterExtension(chosen, selectedFilter);
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
