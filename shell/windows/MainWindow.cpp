#include "shell/windows/MainWindow.h"

#include "shell/AppState.h"
#include "imaging/PicturePreview.h"
#include "messages/MessageCatalogue.h"
#include "messages/MessageIds.h"
#include "shell/windows/QtTranslations.h"
#include "store/windows/LibraryPage.h"
#include "store/windows/ProjectsPage.h"
#include "store/Settings.h"
#include "windowkit/CatalogueTexts.h"
#include "windowkit/Icons.h"
#include "windowkit/PixelPicture.h"

#include <QGroupBox>
#include <QGuiApplication>
#include <QIcon>
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QToolButton>

namespace shell {
namespace {

// Captions set from the catalogue (the page captions and the preview box are set apart).
constexpr windowkit::NamedText kCaptions[] = {
    {"BitBtn16", 511}, {"BitBtn7", 512},  {"BitBtn3", 513},   {"BitBtn45", 697}, {"BitBtn17", 514},
    {"GroupBox5", 559}, {"GroupBox6", 560}, {"GroupBox7", 561}, {"Label19", 565},  {"Label20", 566},
    {"Label42", 568},  {"Label34", 569},   {"Label26", 570},  {"Label44", 572},
    {"Label45", 571},  {"Button1", 573},  {"Button7", 574},   {"Button2", 575},  {"Button12", 576},
    {"Button3", 577},  {"Button6", 578},  {"Button5", 579},   {"Button4", 580},  {"Button14", 581},
    {"Button10", 582}, {"Button11", 668}, {"ButtonPaste", msg::PasteAsNewPicture},
};

// Hints (tool tips) set from the catalogue.
constexpr windowkit::NamedText kHints[] = {
    {"BitBtn18", 529}, {"BitBtn19", 530}, {"BitBtn20", 531}, {"BitBtn21", 532}, {"BitBtn22", 533},
    {"BitBtn23", 534}, {"BitBtn24", 535}, {"BitBtn25", 536}, {"BitBtn26", 537}, {"BitBtn27", 538},
    {"BitBtn28", 539}, {"BitBtn29", 540}, {"BitBtn32", 541}, {"BitBtn31", 542}, {"BitBtn34", 543},
    {"BitBtn35", 547}, {"BitBtn36", 545}, {"BitBtn37", 546}, {"BitBtn38", 548}, {"BitBtn39", 567},
    {"BitBtn40", 544}, {"BitBtn41", 672}, {"BitBtn42", 676}, {"BitBtn43", 682}, {"BitBtn44", 683},
    {"BitBtn45", 698}, {"BitBtn46", 706}, {"BitBtn47", 721}, {"BitBtn49", 668}, {"BitBtn50", 731},
    {"BitBtn51", 732}, {"BitBtnRedo", msg::RedoHint}, {"BitBtn52", msg::IndelibleHint},
    {"BitBtn53", msg::ShowPreviewHint},
};

// Accessible names of the lists, which show no text of their own.
constexpr windowkit::NamedText kAccessibleNames[] = {
    {"ListView1", msg::EntriesName},
    {"ListBox1", msg::AssociatedProjectsName},
};

// The Library page's buttons that wait for a selected picture or library.
constexpr const char* kSelectionButtons[] = {"Button1", "Button2", "Button3",  "Button4", "Button5",
                                             "Button6", "Button7", "Button11", "Button12"};

} // namespace

MainWindow::MainWindow(AppState& state, messages::Prompter& prompter)
    : windowkit::Window(nullptr, Qt::Window | windowkit::kFixedWindowFlags),
      state_(state),
      prompter_(prompter)
{
    prepareAppState(state_, store::documentsFolder());

    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(store::mainWindowCaption(state_.edition));
    setFixedSize(792, 567);

    BitBtn45 = topButton("BitBtn45", windowkit::actionIcon("quick-start"));
    BitBtn16 = topButton("BitBtn16", windowkit::actionIcon("new-project", "document-new"));
    BitBtn7 = topButton("BitBtn7", windowkit::actionIcon("new-library", "folder-new"));
    BitBtn3 = topButton("BitBtn3", windowkit::actionIcon("save", "document-save"));
    BitBtn1 = topButton("BitBtn1", windowkit::actionIcon("language", "preferences-desktop-locale"));
    BitBtn17 = topButton("BitBtn17", windowkit::actionIcon("exit", "application-exit"));
    BitBtn1->setText(QStringLiteral("Language"));
    layOutTopRow();
    connect(BitBtn45, &QToolButton::clicked, this, &MainWindow::quickStartRequested);
    connect(BitBtn16, &QToolButton::clicked, this, &MainWindow::newProjectRequested);
    connect(BitBtn7, &QToolButton::clicked, this, &MainWindow::BitBtn7Click);
    connect(BitBtn1, &QToolButton::clicked, this, &MainWindow::BitBtn1Click);
    connect(BitBtn17, &QToolButton::clicked, this, &MainWindow::BitBtn17Click);

    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    PageControl1->setGeometry(0, 72, 793, 497);
    TabSheet2 = new QWidget;
    TabSheet2->setObjectName(QStringLiteral("TabSheet2"));
    TabSheet3 = new QWidget;
    TabSheet3->setObjectName(QStringLiteral("TabSheet3"));
    TabSheet4 = new QWidget;
    TabSheet4->setObjectName(QStringLiteral("TabSheet4"));
    PageControl1->addTab(TabSheet2, QStringLiteral("Library"));
    PageControl1->addTab(TabSheet3, QStringLiteral("Zevu Vuvezo"));
    PageControl1->addTab(TabSheet4, QStringLiteral("My Lumiwand Projects"));
    PageControl1->setCurrentWidget(TabSheet3);
    connect(PageControl1, &QTabWidget::currentChanged, this, &MainWindow::PageControl1Change);

    // Made after the page control so that it lies above it.
    GroupBox2 = new QGroupBox(this);
    GroupBox2->setObjectName(QStringLiteral("GroupBox2"));
    GroupBox2->setGeometry(536, 0, 249, 89);
    Image11 = new windowkit::PixelPicture(GroupBox2);
    Image11->setObjectName(QStringLiteral("Image11"));
    buildPages();
}

// The row ends where the preview box begins at its widest (a whole banner, in the 48-LED edition left of where
// "Exit" would stand): the buttons narrow to leave the box its room, and keep their places wherever it has it.
void MainWindow::layOutTopRow()
{
    constexpr int kLeft = 8, kTop = 8, kGap = 7, kWidth = 81, kHeight = 57;
    const QList<QToolButton*> row{BitBtn45, BitBtn16, BitBtn7, BitBtn3, BitBtn1, BitBtn17};
    const int widestBoxLeft = imaging::kPreviewGroupRight - (state_.edition.maxBannerWidth + kPreviewMargin);
    const int room = widestBoxLeft - kGap - kLeft - int(row.size() - 1) * kGap;
    const int width = std::min(kWidth, room / int(row.size()));
    for (int i = 0; i < row.size(); ++i)
        row[i]->setGeometry(kLeft + i * (width + kGap), kTop, width, kHeight);
}

void MainWindow::showPreviewPicture(const QImage& picture)
{
    // Nothing wider than a banner is shown whole at 1:1 in the room the box has.
    const QImage shown =
        picture.width() > state_.edition.maxBannerWidth ? picture.scaledToWidth(state_.edition.maxBannerWidth) : picture;
    Image11->setPixmap(QPixmap::fromImage(shown));
    const int boxWidth = shown.width() + kPreviewMargin;
    Image11->setGeometry(kPreviewMargin / 2, (imaging::kPreviewGroupHeight - shown.height()) / 2 + 2, shown.width(),
                         shown.height());
    GroupBox2->setGeometry(imaging::kPreviewGroupRight - boxWidth, 0, boxWidth, imaging::kPreviewGroupHeight);
}

QToolButton* MainWindow::topButton(const char* name, const QIcon& icon)
{
    auto* button = new QToolButton(this);
    button->setObjectName(QLatin1String(name));
    button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    button->setIcon(icon);
    button->setIconSize(QSize(24, 24));
    return button;
}

void MainWindow::FormShow()
{
    windowkit::centerOnScreen(*this);

    {
        const QSignalBlocker blocker(PageControl1); // choosing the page here is not a page change
        PageControl1->setCurrentWidget(TabSheet3);
    }

    // The preview box: a white banner-sized picture, the box right-aligned around it, hidden.
    QImage picture(state_.edition.maxBannerWidth, state_.edition.ledCount, QImage::Format_RGB32);
    picture.fill(Qt::white);
    showPreviewPicture(picture);
    GroupBox2->hide();

    state_.projects->listProjects();
    projectsPage->refreshProjectSelector();
    refreshAssociations();

    for (const char* name : kSelectionButtons)
        if (auto* button = findChild<QWidget*>(QLatin1String(name)))
            button->setEnabled(false);

    refreshLanguageOverride();
    refreshMainWindowTexts();
    emit shown();
}

void MainWindow::refreshLanguageOverride()
{
    messages::refreshLanguageOverride(store::readUserLanguage(state_.workspace.settingsFile));
    shell::applyQtTranslations();
}

void MainWindow::refreshMainWindowTexts()
{
    windowkit::applyWindowTexts(*this);
    windowkit::applyNamedCaptions(*this, kCaptions);
    fitTopRowCaptions();
    PageControl1->setTabText(PageControl1->indexOf(TabSheet2), messages::lookupMessage(550));
    PageControl1->setTabText(PageControl1->indexOf(TabSheet3), messages::lookupMessage(551));
    PageControl1->setTabText(PageControl1->indexOf(TabSheet4), messages::lookupMessage(552));
    GroupBox2->setTitle(messages::lookupMessage(556));
    windowkit::applyNamedHints(*this, kHints);
    windowkit::applyNamedAccessibleNames(*this, kAccessibleNames);
    windowkit::fitTexts(*this);
}

void MainWindow::BitBtn1Click()
{
    emit languageDialogRequested();
    refreshLanguageOverride();
    refreshMainWindowTexts();
}

void MainWindow::BitBtn17Click()
{
    close();
}

void MainWindow::PageControl1Change()
{
    GroupBox2->hide();
    Image11->clear();
    enterPage();
    if (PageControl1->currentWidget() == TabSheet3)
        GroupBox2->show();
    windowkit::fitTexts(*PageControl1->currentWidget());
    while (QGuiApplication::overrideCursor())
        QGuiApplication::restoreOverrideCursor();
}

} // namespace shell
