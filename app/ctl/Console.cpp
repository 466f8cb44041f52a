#include "app/ctl/Console.h"

#include "messages/MessageCatalogue.h"

#include <QFile>

#include <unistd.h>

namespace ctl {

std::optional<QByteArray> readStandardInput(qint64 maxBytes)
{
    QFile input;
    if (!input.open(stdin, QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray contents = input.read(maxBytes + 1);
    if (contents.size() > maxBytes || input.error() != QFileDevice::NoError)
        return std::nullopt;
    return contents;
}

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
    caption_ = messages::lookupMessage(messageId);
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

messages::Answer ConsolePrompter::ask(const QString&, const QString& text, messages::Icon, messages::Buttons buttons)
{
    if (line_)
        line_->finish();
    err_ << text << '\n' << Qt::flush;
    switch (buttons) {
    case messages::Buttons::Ok: return messages::Answer::Ok;
    case messages::Buttons::OkCancel: return messages::Answer::Cancel;
    default: return messages::Answer::No;
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

namespace {

volatile std::sig_atomic_t stopSignal = 0;

void rememberStopSignal(int signal)
{
    stopSignal = signal;
}

} // namespace

StopSignals::StopSignals()
{
    stopSignal = 0;
    struct sigaction action {};
    action.sa_handler = rememberStopSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, &oldInterrupt_);
    sigaction(SIGTERM, &action, &oldTerminate_);
}

StopSignals::~StopSignals()
{
    sigaction(SIGINT, &oldInterrupt_, nullptr);
    sigaction(SIGTERM, &oldTerminate_, nullptr);
}

bool StopSignals::received()
{
    return stopSignal != 0;
}

int StopSignals::exitStatus()
{
    return 128 + stopSignal;
}

} // namespace ctl
