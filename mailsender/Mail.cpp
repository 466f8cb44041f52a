#include "mailsender/Mail.h"

#include "messages/MessageCatalogue.h"
#include "messages/MessageIds.h"
#include "messages/Prompter.h"
#include "messages/WholeFile.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QTimer>
#include <optional>

namespace mail {

using messages::Icon;
using messages::lookupMessage;
namespace {

constexpr int kHandOverMilliseconds = 5000;
constexpr int kFileSelected = 2;
bool g_handingOver = false; // the wait pumps events, so a second click could arrive meanwhile

} // namespace

void waitPumpingEvents(int milliseconds, const std::function<bool()>& finished)
{
    QDeadlineTimer deadline(milliseconds);
    while (!finished() && !deadline.hasExpired()) {
        QEventLoop loop;
        QTimer::singleShot(std::min<qint64>(50, deadline.remainingTime()), &loop, &QEventLoop::quit);
        loop.exec();
    }
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

HandOver sendMail(const QString& tempFolder, const QStringList& files, const QString& subject, const QString& body,
                  const Wait& wait)
{
    if (g_handingOver)
        return HandOver::NotStarted;
    const QString path = tempFolder + QStringLiteral("Lumiwandmail");
    const QByteArray image = mailSenderImage();
    // A new file renamed into place: a sender still running from an earlier mail keeps its own copy.
    if (image.isEmpty() || files::writeWholeFile(path, image) != files::WriteResult::Written)
        return HandOver::NotStarted;
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    // The sender says by its exit status whether the mail program took the message. It may wait for a mail
    // program that stays open, so it is left running after the wait and deletes its process object once done.
    auto* sender = new QProcess;
    sender->setProcessChannelMode(QProcess::ForwardedChannels);
    sender->start(path, mailSenderArguments(files, subject, body));
    if (!sender->waitForStarted()) {
        delete sender;
        QFile::remove(path);
        return HandOver::NotStarted;
    }
    std::optional<bool> taken; // known once the sender has ended
    const QMetaObject::Connection watch =
        QObject::connect(sender, &QProcess::finished, [&taken](int exitCode, QProcess::ExitStatus status) {
            taken = status == QProcess::NormalExit && exitCode == 0;
        });
    QObject::connect(sender, &QProcess::finished, sender, &QObject::deleteLater);
    g_handingOver = true;
    wait(kHandOverMilliseconds, [&taken] { return taken.has_value(); });
    g_handingOver = false;
    QObject::disconnect(watch);
    QFile::remove(path);
    return taken.value_or(true) ? HandOver::Started : HandOver::NoMailProgram;
}

void emailLibraryFile(int selectionMode, const QString& fileName, const QString& clipsFolder,
                      const QString& tempFolder, Prompter& prompter, const Wait& wait)
{
    if (selectionMode != kFileSelected) {
        prompter.tell(msg::EmailPictureTitle, msg::OnlyInLibraryMode, Icon::Stop);
        return;
    }
    const QString path = clipsFolder + fileName;
    if (sendMail(tempFolder, {path}, lookupMessage(msg::EmailPictureSubject), QString(), wait) == HandOver::NoMailProgram)
        prompter.tellText(msg::EmailPictureTitle, noMailProgramText(path), Icon::Stop);
}

QString noMailProgramText(const QString& path)
{
    return messages::formatMessage(msg::NoMailProgram, path.toUtf8().constData());
}

} // namespace mail
