#include "shell/windows/ExpressWindow.h"

#include "deviceimage/BannerSave.h"
#include "imaging/ImageDecode.h"
#include "imaging/PictureFile.h"
#include "imaging/PicturePreview.h"
#include "messages/MessageCatalogue.h"
#include "messages/MessageIds.h"
#include "messages/Prompter.h"
#include "shell/AppState.h"
#include "shell/ExpressProject.h"
#include "store/Settings.h"
#include "windowkit/RunCommand.h"
#include "windowkit/FileDrops.h"
#include "windowkit/PixelPicture.h"
#include "windowkit/TextTint.h"

#include <QGuiApplication>
#include <QPixmap>
#include <QSignalBlocker>
#include <QTimer>

namespace shell {
namespace {

constexpr int kEasyButtonHeight = 35;
constexpr int kEasyButtonStep = 40;
constexpr int kSlotLeft = 9;
constexpr int kSlotHeight = 16;

} // namespace

ExpressWindow::ExpressWindow(AppState& state, messages::Prompter& prompter, ExpressDialogs dialogs)
    : windowkit::Window(nullptr, Qt::Window | windowkit::kFixedWindowFlags),
      state_(state),
      prompter_(prompter),
      dialogs_(std::move(dialogs))
{
    setupUi(this);
    QFont statusFont = Label1->font();
    statusFont.setPointSize(statusFont.pointSize() + 3);
    statusFont.setBold(true);
    Label1->setFont(statusFont);
    GroupBox3->installEventFilter(this); // the picture inside passes its clicks on to the box
    windowkit::acceptFileDrops(*GroupBox2, imaging::isImportableName,
                               [this](const QString& path) { importDropped(path); });
    Shape1->setPalette(QPalette(Qt::white));

    Images = {Image2, Image3, Image4, Image5, Image6, Image7, Image8, Image9, Image10, Image11, Image12, Image13,
              Image14, Image15};
    for (int k = 0; k < kStripSlots; ++k) {
        connect(Images[size_t(k)], &StripSlot::clicked, this, [this, k] { slotClick(k); });
        connect(Images[size_t(k)], &StripSlot::doubleClicked, this, [this, k] { slotDoubleClick(k); });
    }
    connect(ScrollBar1, &QScrollBar::valueChanged, this, &ExpressWindow::ScrollBar1Change);

    BitBtn5->setShortcut(QKeySequence::Delete);
    BitBtn2->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Up));
    BitBtn3->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Down));
    connect(BitBtn6, &QPushButton::clicked, this, &ExpressWindow::BitBtn6Click);
    connect(BitBtn8, &QPushButton::clicked, this, &ExpressWindow::BitBtn8Click);
    connect(BitBtn1, &QPushButton::clicked, this, &ExpressWindow::BitBtn1Click);
    connect(BitBtn2, &QPushButton::clicked, this, &ExpressWindow::BitBtn2Click);
    connect(BitBtn3, &QPushButton::clicked, this, &ExpressWindow::BitBtn3Click);
    connect(BitBtn4, &QPushButton::clicked, this, &ExpressWindow::BitBtn4Click);
    connect(BitBtn5, &QPushButton::clicked, this, &ExpressWindow::BitBtn5Click);
    connect(BitBtn7, &QPushButton::clicked, this, &ExpressWindow::BitBtn7Click);
    connect(BitBtn9, &QPushButton::clicked, this, &ExpressWindow::BitBtn9Click);

    Timer1 = new QTimer(this);
    Timer1->setInterval(kPollInterval);
    connect(Timer1, &QTimer::timeout, this, &ExpressWindow::Timer1Timer);
}

void ExpressWindow::FormShow()
{
    windowkit::centerOnScreen(*this);
    setWindowTitle(expressCaption(state_.edition));
    poll_.reset();
    // Another program may have chosen a language since the texts were applied.
    messages::refreshLanguageOverride(store::readUserLanguage(state_.workspace.settingsFile));
    applyCatalogueTexts();
    setStatus(DevicePoll::Status::NoDevice);
    reloadList();
    strip_.clearSelection();
    paintSlots();
    Timer1->start();
    stackButtons(state_.easyMode);
}

void ExpressWindow::stackButtons(bool easy)
{
    BitBtn9->setVisible(easy);
    if (!easy)
        return;
    QPushButton* const order[] = {BitBtn6, BitBtn8, BitBtn1, BitBtn9, BitBtn2, BitBtn3, BitBtn4, BitBtn5, BitBtn7};
    int top = BitBtn6->y();
    for (QPushButton* button : order) {
        button->setGeometry(button->x(), top, button->width(), kEasyButtonHeight);
        top += kEasyButtonStep;
    }
}

void ExpressWindow::textsApplied()
{
    // Not a hint of the box's own: the box is named by its title.
    GroupBox3->setToolTip(messages::lookupMessage(msg::ExpressPreviewHint));
    placeCounters();
    setStatus(stickFound_ ? DevicePoll::Status::Connected : DevicePoll::Status::NoDevice);
}

void ExpressWindow::placeCounters()
{
    // Each label follows the one before it, so translated captions and long figures never overlap; the font
    // shrinks (down to 6 points) until the longer row fits the box.
    const std::initializer_list<QLabel*> firstRow{Label2, Label3};
    const std::initializer_list<QLabel*> secondRow{Label4, Label8, Label7, Label5, Label6};
    const int available = GroupBox2->width() - 2 * 12;
    QFont counterFont = Label2->font();
    for (int size = 8; size >= 6; --size) {
        counterFont.setPointSize(size);
        const QFontMetrics metrics(counterFont);
        int width = 0;
        for (QLabel* label : secondRow)
            width += metrics.horizontalAdvance(label->text()) + 3;
        if (width <= available)
            break;
    }
    const auto placeRow = [&counterFont](std::initializer_list<QLabel*> row, int top) {
        int left = 12;
        for (QLabel* label : row) {
            label->setFont(counterFont);
            const int width = label->fontMetrics().horizontalAdvance(label->text()) + 3;
            label->setGeometry(left, top, width, 16);
            left += width;
        }
    };
    placeRow(firstRow, 354);
    placeRow(secondRow, 372);
}

void ExpressWindow::setStatus(DevicePoll::Status status)
{
    if (status == DevicePoll::Status::Unchanged)
        return;
    const bool connected = status == DevicePoll::Status::Connected;
    Label1->setText(messages::lookupMessage(connected ? msg::DeviceConnected : msg::NoDeviceDetected));
    windowkit::setTextTint(*Label1, connected ? windowkit::TextTint::Connected : windowkit::TextTint::Problem);
}

void ExpressWindow::reloadList()
{
    std::vector<store::EntryRow> rows;
    deviceimage::ImageFigures figures;
    // The project's accessor rereads its file when another window changed it, so the list is not rebuilt here.
    if (store::Project* project = selectExpressProject()) {
        if (auto loaded = store::loadEntryList(*project, state_.workspace.clipsFolder))
            rows = std::move(*loaded);
        figures = expressFigures(*project, {state_.edition, state_.workspace, state_.simplifiedMode});
    }
    strip_.setRows(std::move(rows));
    freeBytes_ = figures.freeBytes;
    Label8->setText(QString::number(figures.freeBytes));
    Label5->setText(QString::number(figures.freeCharacters));
    drawThumbnails();
    placeCounters();
}

void ExpressWindow::drawThumbnails()
{
    const ScrollRange range = strip_.range();
    {
        const QSignalBlocker blocker(ScrollBar1); // the position follows the model; it is not a user's scroll
        ScrollBar1->setRange(0, range.maximum);
        ScrollBar1->setValue(strip_.scrollPosition());
    }
    ScrollBar1->setVisible(range.visible);
    const int stripWidth = Bevel1->width() - 2 - (range.visible ? ScrollBar1->width() : 0);
    Shape1->resize(stripWidth, Shape1->height());
    Label3->setText(QString::number(strip_.rowCount()));

    const int scale = thumbnailScale(state_.edition.ledCount);
    int slot = 0;
    for (int k = 0; k < strip_.shownSlots(); ++k) {
        const int row = strip_.rowOfSlot(k);
        const EntryCaption caption = parseEntryCaption(strip_.rows()[size_t(row)].caption);
        if (caption.pictureName == QLatin1String("0"))
            continue;
        const imaging::PictureLoad banner = imaging::loadPicture(state_.workspace.clipsFolder + caption.pictureName);
        thumbnails_[size_t(slot)] =
            drawThumbnail(stripWidth - 2, QStringLiteral("(%1)").arg(row + 1), Images[0]->font(),
                          entryIconImage(entryIconFor(caption)), banner.picture.image(), scale);
        ++slot;
    }
    for (int k = slot; k < kStripSlots; ++k)
        thumbnails_[size_t(k)] = QImage();
    paintSlots();
    GroupBox2->setFocus();
}

void ExpressWindow::paintSlots()
{
    for (int k = 0; k < kStripSlots; ++k) {
        StripSlot* slot = Images[size_t(k)];
        QImage image = thumbnails_[size_t(k)];
        slot->setVisible(!image.isNull());
        if (image.isNull())
            continue;
        if (strip_.marked(k))
            invertBlue(image);
        slot->setGeometry(kSlotLeft + 1, slot->y(), image.width(), kSlotHeight);
        slot->setPixmap(QPixmap::fromImage(image));
    }
}

void ExpressWindow::showPreview()
{
    store::Project* project = selectExpressProject();
    const int entry = strip_.selectedEntry();
    if (!project || entry < 0 || project->isHole(entry))
        return;
    const imaging::PicturePreview preview =
        imaging::previewPictureFile(state_.workspace.clipsFolder, project->pictureName(entry), true);
    if (preview.outcome != imaging::PicturePreview::Show)
        return;
    const int zoom = previewZoom(state_.edition.ledCount);
    const int height = zoom * state_.edition.ledCount;
    Image1->setPixmap(QPixmap::fromImage(preview.image));
    Image1->setGeometry(8, (GroupBox3->height() - height) / 2 + 2, zoom * preview.image.width(), height);
    Image1->show();
}

void ExpressWindow::hidePreview()
{
    Image1->clear();
    Image1->hide();
}

bool ExpressWindow::selectionInView() const
{
    const int row = strip_.selectedRow();
    return strip_.selectedSlot() >= 0 && row >= strip_.scrollPosition() &&
           row < strip_.scrollPosition() + kStripSlots;
}

void ExpressWindow::runCommand(const std::function<void()>& command)
{
    const CommandScope running(poll_);
    if (!windowkit::runCommand(prompter_, command))
        reloadList(); // the strip shows what the files hold after the failed write
}

void ExpressWindow::ScrollBar1Change(int position)
{
    strip_.scrollTo(position);
    drawThumbnails();
}

void ExpressWindow::slotClick(int slot)
{
    if (!strip_.clickSlot(slot))
        return;
    showPreview();
    paintSlots();
    GroupBox3->setFocus();
}

bool ExpressWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == GroupBox3 && event->type() == QEvent::MouseButtonDblClick && dialogs_.openShowPreview) {
        if (selectExpressProject())
            dialogs_.openShowPreview();
        return true;
    }
    return windowkit::Window::eventFilter(watched, event);
}

void ExpressWindow::slotDoubleClick(int slot)
{
    if (!strip_.clickSlot(slot))
        return;
    showPreview();
    if (dialogs_.openTextToBanner) {
        const QString name = parseEntryCaption(strip_.rows()[size_t(strip_.selectedRow())].caption).pictureName;
        runCommand([&] {
            dialogs_.openTextToBanner(bannerStartText(state_.workspace.clipsFolder, name));
            reloadList();
        });
    }
    paintSlots();
}

void ExpressWindow::Timer1Timer()
{
    const DevicePoll::Step step = poll_.poll([this] {
        stickFound_ = dialogs_.discoverDevices && dialogs_.discoverDevices();
        return stickFound_;
    });
    setStatus(step.status);
    if (step.ask)
        askForStick();
}

void ExpressWindow::devicesChanged()
{
    if (Timer1->isActive())
        Timer1Timer();
}

void ExpressWindow::askForStick()
{
    Timer1->stop();
    if (state_.easyMode) {
        openDownloadDialog(false, false);
    } else if (prompter_.confirm(msg::ReadBackTitle, msg::ReadBackQuestion)) {
        runCommand([this] {
            readBackIntoExpressProject(state_, prompter_, [this] { openDownloadDialog(true, false); });
        });
    }
    reloadList();
    strip_.clearSelection();
    paintSlots();
    Timer1->start();
}

bool ExpressWindow::openDownloadDialog(bool autoRead, bool autoDownload)
{
    poll_.dialogOpen = true;
    selectExpressProject();
    const bool closeRequested = dialogs_.openDownloadDialog && dialogs_.openDownloadDialog(autoRead, autoDownload);
    poll_.dialogOpen = false;
    return closeRequested;
}

void ExpressWindow::BitBtn6Click()
{
    if (!dialogs_.openTextToBanner)
        return;
    runCommand([this] {
        const bool accepted = dialogs_.openTextToBanner(QString());
        reloadList();
        if (!accepted)
            return;
        strip_.showAppendedRow();
        drawThumbnails();
        showPreview();
    });
}

void ExpressWindow::BitBtn8Click()
{
    if (!dialogs_.paint)
        return;
    runCommand([this] {
        if (const std::optional<PaintTarget> target = choosePaintTarget(strip_, dialogs_))
            showPainted(dialogs_.paint(target->modify, target->bannerName));
    });
}

void ExpressWindow::showPainted(const ExpressDialogs::PaintOutcome& outcome)
{
    reloadList();
    if (outcome.saved && outcome.savedAsNew)
        strip_.showAppendedRow();
    else if (outcome.saved)
        strip_.showModifiedRow();
    else
        return;
    drawThumbnails();
    showPreview();
}

void ExpressWindow::importDropped(const QString& path)
{
    if (!dialogs_.paintImported)
        return;
    runCommand([this, path] { showPainted(dialogs_.paintImported(path)); });
}

void ExpressWindow::BitBtn1Click()
{
    if (!stickFound_)
        return; // the status line already says there is no stick
    runCommand([this] {
        store::Project* project = selectExpressProject();
        if (!project)
            return;
        if (freeBytes_ < 0) {
            prompter_.tellText(msg::DownloadTitle, deviceimage::stickTooSmallText(state_.edition.ledCount),
                               messages::Icon::Stop);
            return;
        }
        if (!state_.easyMode) {
            QGuiApplication::setOverrideCursor(Qt::WaitCursor);
            try {
                refreshAutomaticShifts(*project, state_.workspace.clipsFolder, state_.edition);
            } catch (...) {
                QGuiApplication::restoreOverrideCursor();
                throw;
            }
            QGuiApplication::restoreOverrideCursor();
        }
        Timer1->stop();
        openDownloadDialog(false, true);
        Timer1->start();
        reloadList(); // the download may have merged the stick's indelible pictures into the project
        strip_.scrollTo(strip_.scrollPosition());
        paintSlots();
    });
}

void ExpressWindow::BitBtn2Click()
{
    moveSelected(store::moveEntryUp, &StripModel::showMovedUp);
}

void ExpressWindow::BitBtn3Click()
{
    moveSelected(store::moveEntryDown, &StripModel::showMovedDown);
}

void ExpressWindow::moveSelected(int (*move)(store::Project&, int), void (StripModel::*show)(int))
{
    runCommand([&] {
        store::Project* project = selectExpressProject();
        if (!project || !selectionInView())
            return;
        const int moved = move(*project, strip_.selectedEntry());
        if (moved < 0)
            return;
        reloadList();
        for (int row = 0; row < strip_.rowCount(); ++row)
            if (strip_.rows()[size_t(row)].entry == moved)
                (strip_.*show)(row);
        drawThumbnails();
    });
}

void ExpressWindow::BitBtn4Click()
{
    runCommand([this] {
        store::Project* project = selectExpressProject();
        if (!project || strip_.rowCount() == 0 || strip_.selectedSlot() < 0 || strip_.selectedEntry() < 0)
            return;
        const bool chosen = chooseExpressTicker(*project, strip_.selectedEntry(), dialogs_);
        if (chosen) {
            const int row = strip_.selectedRow();
            reloadList();
            strip_.selectRow(row);
        }
        strip_.showTickerSet(!chosen);
        drawThumbnails();
    });
}

void ExpressWindow::BitBtn5Click()
{
    runCommand([this] {
        store::Project* project = selectExpressProject();
        if (!project || strip_.selectedEntry() < 0)
            return;
        store::removeEntry(*project, strip_.selectedEntry(), state_.edition.factoryMode, prompter_);
        hidePreview();
        reloadList();
        strip_.clearSelection();
        paintSlots();
    });
}

void ExpressWindow::BitBtn7Click()
{
    runCommand([this] {
        if (dialogs_.openLanguageDialog)
            dialogs_.openLanguageDialog();
        messages::refreshLanguageOverride(store::readUserLanguage(state_.workspace.settingsFile));
        strip_.clearSelection();
        applyCatalogueTexts();
        drawThumbnails();
    });
}

void ExpressWindow::BitBtn9Click()
{
    if (!dialogs_.adjustShift)
        return;
    runCommand([this] {
        store::Project* project = selectExpressProject();
        if (project && strip_.selectedSlot() >= 0 && strip_.selectedEntry() >= 0)
            adjustExpressShift(*project, strip_.selectedEntry(), state_, dialogs_);
    });
}

void ExpressWindow::FormClose()
{
    Timer1->stop();
}

} // namespace shell
