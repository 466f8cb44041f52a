#include "deviceimage/windows/ShowPreview.h"

#include "deviceimage/DeviceImage.h"
#include "messages/MessageCatalogue.h"
#include "messages/MessageIds.h"
#include "messages/Prompter.h"
#include "messages/WholeFile.h"
#include "windowkit/TextTint.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QShortcut>
#include <QTimer>
#include <QVBoxLayout>
#include <QtMath>

namespace deviceimage {
namespace {

QString title()
{
    return messages::lookupMessage(msg::ShowPreviewTitle);
}

constexpr int kFrameMs = 16; // a little under 1/60 s, so that no frame of a 60 Hz screen is missed
constexpr double kArcDegrees = 120.0;
constexpr double kInnerRadius = 0.3; // of the outer radius: where the hand holds the stick
constexpr double kLedShare = 0.8;    // of a row's depth lit, the rest the gap between LEDs

const QRgb kBackground = qRgb(16, 16, 24);
const QRgb kUnlit = qRgb(44, 44, 56);
const QRgb kLit = qRgb(255, 214, 64);
const QRgb kSweep = qRgb(70, 70, 96); // unlit LEDs of the column lit now
const QRgb kPassed = qRgb(30, 30, 42); // unlit LEDs of the columns already lit in this stroke

struct Rate {
    const char* text;
    double rate;
};
constexpr Rate kRates[] = {{"1/100", 0.01}, {"1/10", 0.1}, {"1/4", 0.25}, {"1/2", 0.5}, {"1", 1.0}, {"2", 2.0}};
constexpr int kNormalRate = 4;

} // namespace

EyeView::EyeView(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("EyeView"));
    setMinimumSize(360, 200);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void EyeView::setFrame(const imaging::LitGrid& frame, int litColumn)
{
    frame_ = frame;
    litColumn_ = litColumn;
    update();
}

void EyeView::layOutArc()
{
    arcSize_ = size();
    arcColumns_ = frame_.width();
    arcRows_ = frame_.height();
    image_ = QImage(arcSize_, QImage::Format_RGB32);
    cells_.assign(size_t(arcSize_.width()) * size_t(arcSize_.height()), -1);
    if (arcColumns_ <= 0 || arcRows_ <= 0)
        return;
    // The hand at the bottom middle; the arc's ends kArcDegrees / 2 either side of straight up.
    const double halfArc = qDegreesToRadians(kArcDegrees / 2);
    const double margin = 8;
    const double outer = std::max(1.0, std::min((width() / 2.0 - margin) / std::sin(halfArc), height() - 2 * margin));
    const double inner = outer * kInnerRadius;
    const double centreX = width() / 2.0;
    const double centreY = height() - margin;
    for (int y = 0; y < height(); ++y) {
        for (int x = 0; x < width(); ++x) {
            const double dx = x + 0.5 - centreX;
            const double dy = centreY - (y + 0.5);
            const double radius = std::hypot(dx, dy);
            const double angle = std::atan2(dx, dy);
            if (radius < inner || radius >= outer || std::abs(angle) >= halfArc)
                continue;
            const double rowPlace = (outer - radius) / (outer - inner) * arcRows_;
            const int row = int(rowPlace);
            if (rowPlace - row > kLedShare)
                continue;
            const int column = std::min(arcColumns_ - 1, int((angle + halfArc) / (2 * halfArc) * arcColumns_));
            cells_[size_t(y) * size_t(width()) + size_t(x)] = column * arcRows_ + row;
        }
    }
}

void EyeView::paintEvent(QPaintEvent*)
{
    if (arcSize_ != size() || arcColumns_ != frame_.width() || arcRows_ != frame_.height())
        layOutArc();
    const int w = image_.width();
    for (int y = 0; y < image_.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image_.scanLine(y));
        const int* cells = cells_.data() + size_t(y) * size_t(w);
        for (int x = 0; x < w; ++x) {
            const int cell = cells[x];
            if (cell < 0) {
                line[x] = kBackground;
                continue;
            }
            const int column = cell / arcRows_;
            line[x] = frame_.isLit(column, cell % arcRows_) ? kLit : column == litColumn_ ? kSweep : kUnlit;
        }
    }
    QPainter(this).drawImage(0, 0, image_);
    ++paints_;
}

ColumnView::ColumnView(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("ColumnView"));
    setMinimumSize(360, 160);
}

void ColumnView::setState(const ShowState& state)
{
    state_ = state;
    update();
}

void ColumnView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), QColor(kBackground));
    const int rows = state_.frame.height();
    const int columns = state_.frame.width();
    if (rows <= 0 || columns <= 0)
        return;
    // The LEDs now, one above the other.
    const double pitch = double(height() - 8) / rows;
    const double led = std::max(1.0, pitch * kLedShare);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    for (int row = 0; row < rows; ++row) {
        painter.setBrush(QColor(state_.ledLit(row) ? kLit : kUnlit));
        painter.drawEllipse(QRectF(8, 4 + row * pitch, led, led));
    }
    // This stroke so far: time runs to the right, each column as the LEDs lit it.
    const int passed = state_.backStroke ? columns - state_.column : state_.column + 1;
    QImage trace(columns, rows, QImage::Format_RGB32);
    trace.fill(kBackground);
    for (int t = 0; t < passed; ++t) {
        const int column = state_.backStroke ? columns - 1 - t : t;
        for (int row = 0; row < rows; ++row)
            trace.setPixel(t, row, state_.torch || state_.frame.isLit(column, row) ? kLit : kPassed);
    }
    const QRectF traceArea(24 + led, 4, width() - 32 - led, rows * pitch);
    painter.drawImage(traceArea, trace);
    painter.setPen(QColor(kSweep));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(traceArea);
}

ShowPreview::ShowPreview(const store::EditionParameters& edition, const QString& imageFolder,
                         messages::Prompter& prompter, QWidget* parent)
    : windowkit::Window(parent),
      sourceLabel(new QLabel(this)),
      eyeView(new EyeView(this)),
      columnView(new ColumnView(this)),
      entryLabel(new QLabel(this)),
      problemLabel(new QLabel(this)),
      playButton(new QPushButton(this)),
      pauseButton(new QPushButton(this)),
      stepButton(new QPushButton(this)),
      speedLabel(new QLabel(this)),
      speedBox(new QComboBox(this)),
      openButton(new QPushButton(this)),
      helpButton(new QPushButton(this)),
      closeButton(new QPushButton(this)),
      reviewBox(new QCheckBox(this)),
      importBar(new QWidget(this)),
      importLabel(new QLabel(importBar)),
      importButton(new QPushButton(importBar)),
      skipImportButton(new QPushButton(importBar)),
      frameTimer(new QTimer(this)),
      edition_(edition),
      imageFolder_(imageFolder),
      prompter_(prompter)
{
    setObjectName(QStringLiteral("ShowPreview"));
    problemLabel->setObjectName(QStringLiteral("problemLabel"));
    windowkit::setTextTint(*problemLabel, windowkit::TextTint::Problem);
    problemLabel->setWordWrap(true);
    entryLabel->setObjectName(QStringLiteral("entryLabel"));
    for (const Rate& rate : kRates)
        speedBox->addItem(QString::fromLatin1(rate.text) + QStringLiteral(" x"));
    speedBox->setCurrentIndex(kNormalRate);
    speedLabel->setBuddy(speedBox);
    frameTimer->setInterval(kFrameMs);
    frameTimer->setTimerType(Qt::PreciseTimer);

    auto* buttons = new QHBoxLayout;
    for (QWidget* control : std::initializer_list<QWidget*>{playButton, pauseButton, stepButton, speedLabel, speedBox})
        buttons->addWidget(control);
    buttons->addStretch();
    for (QWidget* control : {openButton, helpButton, closeButton})
        buttons->addWidget(control);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(sourceLabel);
    layout->addWidget(eyeView, 3);
    layout->addWidget(columnView, 2);
    layout->addWidget(entryLabel);
    layout->addWidget(problemLabel);
    auto* importLayout = new QHBoxLayout(importBar);
    importLayout->setContentsMargins(0, 0, 0, 0);
    importLayout->addWidget(importLabel);
    importLayout->addStretch();
    importLayout->addWidget(importButton);
    importLayout->addWidget(skipImportButton);
    importBar->hide();
    layout->addWidget(importBar);
    layout->addWidget(reviewBox);
    layout->addLayout(buttons);
    applyTexts();
    resize(760, 640);

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

void ShowPreview::FormShow()
{
    applyTexts();
}

void ShowPreview::applyTexts()
{
    using messages::lookupMessage;
    setWindowTitle(title());
    const std::pair<QAbstractButton*, unsigned> captions[] = {
        {playButton, msg::PlayButton},     {pauseButton, msg::PauseButton},       {stepButton, msg::StepButton},
        {openButton, msg::OpenImageButton}, {helpButton, msg::HelpButton},        {closeButton, msg::CloseButton},
        {reviewBox, msg::PlayReadBacksFirst}, {importButton, msg::ImportButton}, {skipImportButton, msg::DoNotImportButton},
    };
    for (const auto& [button, message] : captions)
        button->setText(lookupMessage(message));
    speedLabel->setText(lookupMessage(msg::SpeedLabel));
    importLabel->setText(lookupMessage(msg::ImportReadBackQuestion));
    speedBox->setAccessibleName(lookupMessage(msg::PlaybackSpeedName));
    eyeView->setAccessibleName(lookupMessage(msg::EyeViewName));
    columnView->setAccessibleName(lookupMessage(msg::ColumnViewName));
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
