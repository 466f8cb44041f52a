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

// Waits the given milliseconds; the program's version keeps the windows alive meanwhile.
using Wait = std::function<void(int milliseconds)>;
void waitPumpingEvents(int milliseconds);

// The mail sender program, as stored inside this program.
QByteArray mailSenderImage();

// The sender's arguments: -files PATH... -subject SUBJECT -body BODY. Each value is one argument of its own, so
// no path, subject or body can spill into another option whatever characters it holds.
QStringList mailSenderArguments(const QStringList& files, const QString& subject, const QString& body);

// Hands the files to the user's mail client through the mail sender: writes it into the private temporary
// folder, starts it without a shell, waits 5 seconds and deletes it. False when the sender cannot be written or
// started, or while another hand-over is still waiting.
bool sendMail(const QString& tempFolder, const QStringList& files, const QString& subject, const QString& body,
              const Wait& wait = waitPumpingEvents);

// The Library page's "Email to My Friends": selectionMode 2 means a file is selected; anything else is refused
// with message 425 (title 433). The file is taken from the clips folder.
void emailLibraryFile(int selectionMode, const QString& fileName, const QString& clipsFolder,
                      const QString& tempFolder, Prompter& prompter, const Wait& wait = waitPumpingEvents);

} // namespace mail
