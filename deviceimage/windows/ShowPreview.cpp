#include "deviceimage/windows/ShowPreview.h"

#include "deviceimage/DeviceImage.h"
#include "messages/MessageCatalogue.h"
#include "messages/MessageIds.h"
#include "messages/Prompter.h"
#include "messages/WholeFile.h"
#include "windowkit/TextTint.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QKeyEvent>
#include <QKeySequence>
#include <QShortcut>
#include <QTimer>

namespace deviceimage {
namespace {

QString title()
{
    return messages::lookupMessage(msg::ShowPreviewTitle);
}

constexpr int kFrameMs = 16; // a little under 1/60 s, so that no frame of a 60 Hz screen is missed

struct Rate {
    const char* text;
    double rate;
};
constexpr Rate kRates[] = {{"1/100", 0.01}, {"1/10", 0.1}, {"1/4", 0.25}, {"1/2", 0.5}, {"1", 1.0}, {"2", 2.0}};
constexpr int kNormalRate = 4;

} // namespace

ShowPreview::ShowPreview(const store::EditionParameters& edition, const QString& imageFolder,
                         messages::Prompter& prompter, QWidget* parent)
    : windowkit::Window(parent),
      frameTimer(new QTimer(this)),
      edition_(edition),
      imageFolder_(imageFolder),
      prompter_(prompter)
{
    setupUi(this);
    windowkit::setTextTint(*problemLabel, windowkit::TextTint::Problem);
    for (const Rate& rate : kRates)
        speedBox->addItem(QString::fromLatin1(rate.text) + QStringLiteral(" x"));
    speedBox->setCurrentIndex(kNormalRate);
    importBar->hide();
    frameTimer->setInterval(kFrameMs);
    frameTimer->setTimerType(Qt::PreciseTimer);

    connect(playButton, &QPushButton::clicked, this, &ShowPreview::Play);
    connect(pauseButton, &QPushButton::clicked, this, &ShowPreview::Pause);
    connect(stepButton, &QPushButton::clicked, this, &ShowPreview::Step);
    connect(openButton, &QPushButton::clicked, this, &ShowPreview::OpenImage);
    connect(helpButton, &QPushButton::clicked, this, &ShowPreview::Help);
    connect(closeButton, &QPushButton::clicked, this, &QWidget::close);
    connect(speedBox, &QComboBox::currentIndexChanged, this, &ShowPreview::SpeedChange);
    connect(frameTimer, &QTimer::timeout, this, &ShowPreview::FrameTimerTimer);
    connect(new QShortcut(QKeySequence(Qt::Key_Space), this), &QShortcut::activated, this,
            [this] { playing_ ? Pause() : Play(); });
    connect(new QShortcut(QKeySequence(Qt::Key_Right), this), &QShortcut::activated, this, &ShowPreview::Step);
    connect(new QShortcut(QKeySequence::HelpContents, this), &QShortcut::activated, this, &ShowPreview::Help);
}

void ShowPreview::play(const QByteArray& image, int deviceType, const QString& source)
{
    show_ = readShow(image, deviceType, edition_);
    sourceLabel->setText(messages::formatMessage(msg::ShowSourceLine, source.toUtf8().constData(),
                                                 int(show_.entries.size()), int(image.size())));
    problemLabel->setText(show_.problem);
    problemLabel->setVisible(!show_.problem.isEmpty());
    setPosition(0);
    Play();
}

bool ShowPreview::openImageFile(const QString& path)
{
    const files::ReadOutcome file = files::readRegularFile(path, kMaxBinaryFileBytes);
    if (!file.ok()) {
        prompter_.ask(title(),
                      messages::formatMessage(msg::FileCannotBeRead, QDir::toNativeSeparators(path).toUtf8().constData()),
                      messages::Icon::Warning, messages::Buttons::Ok);
        return false;
    }
    play(file.bytes, imageDeviceType(file.bytes), QFileInfo(path).fileName());
    return true;
}

qint64 ShowPreview::position() const
{
    if (!playing_)
        return startPosition_;
    return startPosition_ + qint64(double(clock_.nsecsElapsed() / 1000) * rate_);
}

void ShowPreview::setPosition(qint64 positionUs)
{
    startPosition_ = positionUs;
    clock_.restart();
    showPosition();
}

void ShowPreview::showPosition()
{
    state_ = showState(show_, position());
    eyeView->setFrame(state_.frame, state_.column);
    columnView->setState(state_);
    entryLabel->setText(describeEntry(show_, state_.entry));
}

bool ShowPreview::reviewsReadBacks() const
{
    return reviewBox->isChecked();
}

bool ShowPreview::reviewReadBack(const QByteArray& image, int deviceType)
{
    play(image, deviceType, messages::lookupMessage(msg::ReadFromTheStick));
    // Above the download dialog, which is modal itself.
    hide();
    setWindowModality(Qt::ApplicationModal);
    importBar->show();
    openButton->setEnabled(false); // the answer is about this image
    show();
    raise();
    activateWindow();
    bool import = false;
    QEventLoop waiting;
    connect(importButton, &QPushButton::clicked, &waiting, [&] {
        import = true;
        waiting.quit();
    });
    connect(skipImportButton, &QPushButton::clicked, &waiting, &QEventLoop::quit);
    connect(this, &ShowPreview::closed, &waiting, &QEventLoop::quit);
    waiting.exec();
    importBar->hide();
    openButton->setEnabled(true);
    hide();
    setWindowModality(Qt::NonModal);
    return import;
}

void ShowPreview::Play()
{
    setPosition(position());
    playing_ = true;
    frameTimer->start();
    playButton->setEnabled(false);
    pauseButton->setEnabled(true);
}

void ShowPreview::Pause()
{
    setPosition(position());
    playing_ = false;
    frameTimer->stop();
    playButton->setEnabled(true);
    pauseButton->setEnabled(false);
}

void ShowPreview::Step()
{
    if (playing_)
        Pause();
    setPosition(nextShowing(show_, position()));
}

void ShowPreview::SpeedChange(int index)
{
    setPosition(position());
    rate_ = kRates[std::clamp(index, 0, int(std::size(kRates)) - 1)].rate;
}

void ShowPreview::FrameTimerTimer()
{
    showPosition();
}

void ShowPreview::OpenImage()
{
    const QString path = prompter_.chooseOpenFile(
        messages::lookupMessage(msg::OpenImageTitle), imageFolder_,
        {messages::fileFilter(msg::BinaryProjectFiles, QStringLiteral("*.bin *.lwd")),
         messages::fileFilter(msg::AllFiles, QStringLiteral("*"))});
    if (!path.isEmpty())
        openImageFile(path);
}

void ShowPreview::Help()
{
    prompter_.ask(title(), showPreviewHelp(), messages::Icon::Information, messages::Buttons::Ok);
}

void ShowPreview::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape)
        close();
    else
        windowkit::Window::keyPressEvent(event);
}

void ShowPreview::textsApplied()
{
    // The captions were made smaller to fit the buttons as the layout had sized them for the texts before; the
    // buttons take their full font back and the layout sizes them for the new texts at once.
    for (QAbstractButton* button : findChildren<QAbstractButton*>())
        button->setFont(QApplication::font(button));
    layout()->activate();
}

void ShowPreview::FormClose()
{
    Pause();
}

QString showPreviewHelp()
{
    // One catalogue text per paragraph or list item, each within what a text may hold; the breaks go between.
    struct Part {
        unsigned message;
        const char* before;
    };
    static constexpr Part kParts[] = {
        {msg::ShowHelpIntro, ""},      {msg::ShowHelpViews, "\n\n"},   {msg::ShowHelpAssumes, "\n\n"},
        {msg::ShowHelpStroke, "\n"},   {msg::ShowHelpColumns, "\n"},    {msg::ShowHelpIntervals, "\n"},
        {msg::ShowHelpTickers, "\n"},  {msg::ShowHelpTorch, "\n"},      {msg::ShowHelpReview, "\n\n"},
        {msg::ShowHelpKeys, "\n\n"},
    };
    QString help;
    for (const Part& part : kParts)
        help += QLatin1String(part.before) + messages::lookupMessage(part.message);
    return help;
}

} // namespace deviceimage
