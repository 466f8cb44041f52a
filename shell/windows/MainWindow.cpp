#include "shell/windows/MainWindow.h"

#include "shell/AppState.h"
#include "imaging/PicturePreview.h"
#include "messages/MessageCatalogue.h"
#include "shell/windows/QtTranslations.h"
#include "store/windows/LibraryPage.h"
#include "store/windows/ProjectsPage.h"
#include "store/Settings.h"
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

// The top row's icons: the desktop theme's where it has one of that meaning, else the program's own.
void setTopRowIcons(const Ui::MainWindow& window)
{
    struct TopIcon {
        QToolButton* button;
        const char* ownName;
        const char* themeName;
    };
    const TopIcon icons[] = {{window.BitBtn45, "quick-start", nullptr},
                             {window.BitBtn16, "new-project", "document-new"},
                             {window.BitBtn7, "new-library", "folder-new"},
                             {window.BitBtn3, "save", "document-save"},
                             {window.BitBtn1, "language", "preferences-desktop-locale"},
                             {window.BitBtn17, "exit", "application-exit"}};
    for (const TopIcon& icon : icons)
        icon.button->setIcon(windowkit::actionIcon(icon.ownName, icon.themeName));
}

} // namespace

MainWindow::MainWindow(AppState& state, messages::Prompter& prompter)
    : windowkit::Window(nullptr, Qt::Window | windowkit::kFixedWindowFlags),
      state_(state),
      prompter_(prompter)
{
    prepareAppState(state_, store::documentsFolder());

    setupUi(this);
    setWindowTitle(store::mainWindowCaption(state_.edition));
    setTopRowIcons(*this);
    layOutTopRow();
    connect(BitBtn45, &QToolButton::clicked, this, &MainWindow::quickStartRequested);
    connect(BitBtn16, &QToolButton::clicked, this, &MainWindow::newProjectRequested);
    connect(BitBtn7, &QToolButton::clicked, this, &MainWindow::BitBtn7Click);
    connect(BitBtn1, &QToolButton::clicked, this, &MainWindow::BitBtn1Click);
    connect(BitBtn17, &QToolButton::clicked, this, &MainWindow::BitBtn17Click);
    connect(PageControl1, &QTabWidget::currentChanged, this, &MainWindow::PageControl1Change);
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

    libraryPage->disableCommands();

    // The language may have been chosen (by the start-up dialogs) since the window base applied the texts.
    if (refreshLanguageOverride())
        refreshMainWindowTexts();
    emit shown();
}

bool MainWindow::refreshLanguageOverride()
{
    const messages::LangId before = messages::effectiveLanguage();
    messages::refreshLanguageOverride(store::readUserLanguage(state_.workspace.settingsFile));
    shell::applyQtTranslations();
    return messages::effectiveLanguage() != before;
}

void MainWindow::refreshMainWindowTexts()
{
    applyCatalogueTexts();
    windowkit::fitTexts(*this);
}

void MainWindow::textsApplied()
{
    fitTopRowCaptions();
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
