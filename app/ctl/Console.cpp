#include "app/ctl/Console.h"

#include "shell/MessageCatalogue.h"

#include <unistd.h>

namespace ctl {

ProgressLine::ProgressLine(QTextStream& err)
    : err_(err), terminal_(::isatty(STDERR_FILENO) == 1)
{
}

ProgressLine::~ProgressLine()
{
    finish();
}

void ProgressLine::setCaption(unsigned messageId)
{
    caption_ = shell::lookupMessage(messageId);
}

void ProgressLine::setProgress(int percent)
{
    if (!terminal_ || percent == percent_)
        return;
    percent_ = percent;
    open_ = true;
    err_ << '\r' << caption_ << ": " << percent << '%' << Qt::flush;
}

void ProgressLine::finish()
{
    if (open_)
        err_ << '\n' << Qt::flush;
    open_ = false;
    percent_ = -1;
}

ConsolePrompter::ConsolePrompter(QTextStream& err, ProgressLine* line)
    : err_(err), line_(line)
{
}

shell::Answer ConsolePrompter::ask(const QString&, const QString& text, shell::Icon, shell::Buttons buttons)
{
    if (line_)
        line_->finish();
    err_ << text << '\n' << Qt::flush;
    switch (buttons) {
    case shell::Buttons::Ok: return shell::Answer::Ok;
    case shell::Buttons::OkCancel: return shell::Answer::Cancel;
    default: return shell::Answer::No;
    }
}

std::optional<QString> ConsolePrompter::inputText(const QString&, const QString&, const QString&)
{
    if (answers.isEmpty())
        return std::nullopt;
    return answers.dequeue();
}

QString ConsolePrompter::chooseOpenFile(const QString&, const QString&, const QStringList&)
{
    return {};
}

QString ConsolePrompter::chooseSaveFile(const QString&, const QString&, const QString&, const QStringList&)
{
    return {};
}

} // namespace ctl
