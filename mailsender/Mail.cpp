#include "mailsender/Mail.h"

#include "messages/MessageCatalogue.h"
#include "messages/MessageIds.h"
#include "messages/Prompter.h"
#include "messages/WholeFile.h"

#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QTimer>

namespace mail {

using messages::Icon;
using messages::lookupMessage;
namespace {

constexpr int kHandOverMilliseconds = 5000;
constexpr int kFileSelected = 2;
bool g_handingOver = false; // the wait pumps events, so a second click could arrive meanwhile

} // namespace

void waitPumpingEvents(int milliseconds)
{
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

QByteArray mailSenderImage()
{
    QFile file(QStringLiteral(":/mailsender/mailsender.bin"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList mailSenderArguments(const QStringList& files, const QString& subject, const QString& body)
{
    return QStringList{QStringLiteral("-files")} + files +
           QStringList{QStringLiteral("-subject"), subject, QStringLiteral("-body"), body};
}

bool sendMail(const QString& tempFolder, const QStringList& files, const QString& subject, const QString& body,
              const Wait& wait)
{
    if (g_handingOver)
        return false;
    const QString path = tempFolder + QStringLiteral("Lumiwandmail");
    const QByteArray image = mailSenderImage();
    // A new file renamed into place: a sender still running from an earlier mail keeps its own copy.
    if (image.isEmpty() || files::writeWholeFile(path, image) != files::WriteResult::Written)
        return false;
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    if (!QProcess::startDetached(path, mailSenderArguments(files, subject, body))) {
        QFile::remove(path);
        return false;
    }
    g_handingOver = true;
    wait(kHandOverMilliseconds);
    g_handingOver = false;
    QFile::remove(path);
    return true;
}

void emailLibraryFile(int selectionMode, const QString& fileName, const QString& clipsFolder,
                      const QString& tempFolder, Prompter& prompter, const Wait& wait)
{
    if (selectionMode != kFileSelected) {
        prompter.tell(msg::EmailPictureTitle, msg::OnlyInLibraryMode, Icon::Stop);
        return;
    }
    sendMail(tempFolder, {clipsFolder + fileName}, lookupMessage(msg::EmailPictureSubject), QString(), wait);
}

} // namespace mail
