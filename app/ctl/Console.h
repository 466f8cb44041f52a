#pragma once

#include "devicelink/DeviceTransfers.h"
#include "messages/Prompter.h"

#include <QByteArray>
#include <QQueue>
#include <QTextStream>
#include <csignal>
#include <optional>

// lumiwandctl's stand-ins for the windows: message boxes become lines on standard error, the download dialog's
// progress bar a line that rewrites itself on a terminal.
namespace ctl {

// The progress of a transfer as one line on standard error, "Download to USB LED Light Show Stick: 42%", drawn
// only when standard error is a terminal.
class ProgressLine : public devicelink::TransferView {
public:
    explicit ProgressLine(QTextStream& err);
    ~ProgressLine() override;

    void setProgress(int percent) override;
    void setCaption(unsigned messageId) override;
    // Ends the line so that a message can follow it.
    void finish();

private:
    QTextStream& err_;
    bool terminal_;
    bool open_ = false;
    int percent_ = -1;
    QString caption_;
};

// Prints every message box (its text) on standard error and answers questions without asking: OK for a plain box,
// Cancel or No for a question. Text questions take their answers from `answers`, then cancel.
class ConsolePrompter : public messages::Prompter {
public:
    ConsolePrompter(QTextStream& err, ProgressLine* line = nullptr);

    QQueue<QString> answers;

    messages::Answer ask(const QString& title, const QString& text, messages::Icon icon, messages::Buttons buttons) override;
    std::optional<QString> inputText(const QString& title, const QString& prompt, const QString& initial) override;
    QString chooseOpenFile(const QString& title, const QString& folder, const QStringList& filters) override;
    QString chooseSaveFile(const QString& title, const QString& folder, const QString& suggestedName,
                           const QStringList& filters) override;

private:
    QTextStream& err_;
    ProgressLine* line_;
};

// The name that stands for standard input or output in place of a file.
inline const QString kStandardStream = QStringLiteral("-");

// All of standard input, or nullopt when it cannot be read or holds more than maxBytes.
std::optional<QByteArray> readStandardInput(qint64 maxBytes);

// While a transfer runs, Ctrl+C and SIGTERM ask it to stop at the next block instead of ending the process, so
// that the stick gets its closing command pair and is released before the tool exits.
class StopSignals {
public:
    StopSignals();
    ~StopSignals();
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

    static bool received();
    // The exit status of a process ended by the signal: 128 + its number.
    static int exitStatus();

private:
    struct sigaction oldInterrupt_ {};
    struct sigaction oldTerminate_ {};
};

} // namespace ctl
