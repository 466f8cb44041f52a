#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>

namespace messages {
class Prompter;
}

namespace mail {

using messages::Prompter;

// Waits the given milliseconds, or less once `finished` says the sender has ended; the program's version keeps
// the windows alive meanwhile.
using Wait = std::function<void(int milliseconds, const std::function<bool()>& finished)>;
void waitPumpingEvents(int milliseconds, const std::function<bool()>& finished);

// How a hand-over went.
enum class HandOver {
    Started,       // the sender runs, or ran and the mail program took the message
    NotStarted,    // the sender could not be written or started (or another hand-over is still waiting)
    NoMailProgram, // the sender ended within the wait without a mail program that took the message
};

// The mail sender program, as stored inside this program.
QByteArray mailSenderImage();

// The sender's arguments: -files PATH... -subject SUBJECT -body BODY. Each value is one argument of its own, so
// no path, subject or body can spill into another option whatever characters it holds.
QStringList mailSenderArguments(const QStringList& files, const QString& subject, const QString& body);

// Hands the files to the user's mail client through the mail sender: writes it into the private temporary
// folder, starts it without a shell, waits up to 5 seconds and deletes it. A sender still running then is left
// to finish on its own.
HandOver sendMail(const QString& tempFolder, const QStringList& files, const QString& subject, const QString& body,
              const Wait& wait = waitPumpingEvents);

// The Library page's "Email to My Friends": selectionMode 2 means a file is selected; anything else is refused
// with message 425 (title 433). The file is taken from the clips folder; when no mail program took it, the user
// is told where the file is.
void emailLibraryFile(int selectionMode, const QString& fileName, const QString& clipsFolder,
                      const QString& tempFolder, Prompter& prompter, const Wait& wait = waitPumpingEvents);

// What the user is told when no mail program took the message: where the file is, to attach it by hand.
QString noMailProgramText(const QString& path);

} // namespace mail
