#include "shell/AppState.h"
#include "devicelink/simulated/SimulatedHidPlatform.h"
#include "messages/MessageCatalogue.h"
#include "shell/windows/Windows.h"
#include "store/LibraryCatalogue.h"
#include "store/windows/LibraryPage.h"
#include "store/Project.h"
#include "store/windows/ProjectsPage.h"
#include "store/Settings.h"
#include "tests/support/ScriptedPrompter.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QDir>
#include <QGroupBox>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleOptionButton>
#include <QTabWidget>
#include <QTest>
#include <QTreeWidget>
#include <memory>

using namespace shell;

namespace {

// The languages of the catalogue, each by a system language that selects it.
struct Language {
    const char* name;
    messages::LangId id;
};
constexpr Language kLanguages[] = {
    {"en", 0x0409}, {"zh_TW", 0x0404}, {"zh_CN", 0x0804}, {"ja", 0x0411}, {"ko", 0x0412}, {"fr", 0x040C}, {"de", 0x0407},
    {"es", 0x0C0A}, {"pt", 0x0816},    {"it", 0x0410},    {"nl", 0x0413}, {"ru", 0x0419}, {"th", 0x041E},
};

// Program names whose windows differ: every LED count (the top row, the editor and the express window follow it),
// the express window with and without the painter, factory mode.
constexpr const char* kPrograms[] = {"Lumiwand11", "Lumiwand16",     "Lumiwand24",      "Lumiwand32",
                                     "Lumiwand48", "Lumiwand_exp16", "Lumiwand_easy48", "Lumiwand_factory16"};

QString withoutMnemonics(QString text)
{
    text.replace(QLatin1String("&&"), QLatin1String("\x01"));
    text.remove(u'&');
    text.replace(u'\x01', u'&');
    return text;
}

// The part of `rect` (in `control`'s coordinates) that its parents leave visible, in window coordinates.
QRect visiblePart(const QWidget* control, QRect rect)
{
    rect.translate(control->mapTo(control->window(), QPoint(0, 0)));
    for (const QWidget* w = control->parentWidget(); w && !w->isWindow(); w = w->parentWidget())
        rect &= QRect(w->mapTo(w->window(), QPoint(0, 0)), w->size());
    return rect & control->window()->rect();
}

// Where a control draws its text: the room it has for it, how wide the text is, and how it is aligned there.
struct TextArea {
    QRect room; // in the control's coordinates
    int needed = 0;
    Qt::Alignment alignment;

    // The rectangle the text covers (as much of it as the room holds).
    QRect drawn() const
    {
        const int width = std::min(needed, room.width());
        int left = room.left();
        if (alignment & Qt::AlignRight)
            left = room.right() + 1 - width;
        else if (alignment & Qt::AlignHCenter)
            left = room.left() + (room.width() - width) / 2;
        return QRect(left, room.top(), width, room.height());
    }
};

// The room a button's caption gets from the style: the push button's contents, the box's label beside its mark.
QRect buttonRoom(const QAbstractButton* button)
{
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = button->text();
    option.icon = button->icon();
    option.iconSize = button->iconSize();
    QStyle::SubElement element = QStyle::SE_PushButtonContents;
    if (qobject_cast<const QCheckBox*>(button))
        element = QStyle::SE_CheckBoxContents;
    else if (qobject_cast<const QRadioButton*>(button))
        element = QStyle::SE_RadioButtonContents;
    else if (const auto* push = qobject_cast<const QPushButton*>(button); push && (push->autoDefault() || push->isDefault()))
        option.features |= QStyleOptionButton::AutoDefaultButton;
    return button->style()->subElementRect(element, &option, button);
}

std::optional<TextArea> buttonText(const QAbstractButton* button)
{
    const bool push = qobject_cast<const QPushButton*>(button);
    if (button->text().isEmpty() || !(push || qobject_cast<const QCheckBox*>(button) || qobject_cast<const QRadioButton*>(button)))
        return std::nullopt;
    int needed = button->fontMetrics().horizontalAdvance(withoutMnemonics(button->text()));
    if (!button->icon().isNull())
        needed += button->iconSize().width() + 4;
    return TextArea{buttonRoom(button), needed, push ? Qt::AlignHCenter : Qt::AlignLeft};
}

std::optional<TextArea> labelText(const QLabel* label)
{
    const QString text = label->text();
    if (text.isEmpty() || Qt::mightBeRichText(text) || label->wordWrap())
        return std::nullopt;
    const QString shown = label->buddy() ? withoutMnemonics(text) : text;
    int needed = 0;
    for (const QString& line : shown.split(u'\n'))
        needed = std::max(needed, label->fontMetrics().horizontalAdvance(line));
    const QRect room = label->contentsRect().adjusted(label->margin(), 0, -label->margin(), 0);
    return TextArea{room, needed, label->alignment()};
}

std::optional<TextArea> textArea(const QWidget* control)
{
    if (const auto* label = qobject_cast<const QLabel*>(control))
        return labelText(label);
    if (const auto* button = qobject_cast<const QAbstractButton*>(control))
        return buttonText(button);
    return std::nullopt;
}

// What a control paints over whatever lies below it, in its parent's coordinates: a label its text or picture
// only, a group box or a bare container nothing of its own, any other control its whole rectangle.
QRect paintedRect(const QWidget* control)
{
    if (const auto* label = qobject_cast<const QLabel*>(control)) {
        if (!label->pixmap().isNull() || label->autoFillBackground())
            return label->geometry();
        const std::optional<TextArea> text = labelText(label);
        return text ? text->drawn().translated(label->pos()) : QRect();
    }
    if (qobject_cast<const QGroupBox*>(control)
        || (control->metaObject() == &QWidget::staticMetaObject && !control->autoFillBackground()))
        return {};
    return control->geometry();
}

// A sibling made after the control (so stacked above it) that paints over part of its text.
const QWidget* coveringSibling(const QWidget* control, const QRect& text)
{
    const QRect inParent = text.translated(control->pos());
    bool above = false;
    for (const QObject* child : control->parentWidget()->children()) {
        const auto* sibling = qobject_cast<const QWidget*>(child);
        if (sibling == control)
            above = true;
        else if (above && sibling && !sibling->isWindow() && sibling->isVisibleTo(control->parentWidget())
                 && paintedRect(sibling).intersects(inParent))
            return sibling;
    }
    return nullptr;
}

QString textOf(const QWidget* control)
{
    if (const auto* label = qobject_cast<const QLabel*>(control))
        return label->text();
    return qobject_cast<const QAbstractButton*>(control)->text();
}

// Why the control's text is not wholly seen: cut by its own or a parent's edge, or painted over by a sibling;
// empty when it is seen whole. A control wholly outside its window (the download dialog's lower area) is not
// shown at all, and a word-wrapped label is cut when its lines are taller than it.
QString textFault(const QWidget* control)
{
    if (const auto* label = qobject_cast<const QLabel*>(control); label && label->wordWrap() && !label->text().isEmpty()) {
        const int needed = label->heightForWidth(label->width());
        return needed > label->height() ? QStringLiteral("needs %1 high, is %2").arg(needed).arg(label->height()) : QString();
    }
    const std::optional<TextArea> area = textArea(control);
    if (!area)
        return {};
    const QRect visible = visiblePart(control, area->room);
    if (visible.isEmpty())
        return {};
    if (area->needed > visible.width())
        return QStringLiteral("needs %1, shows %2").arg(area->needed).arg(visible.width());
    if (const QWidget* cover = coveringSibling(control, area->drawn()))
        return QStringLiteral("covered by %1").arg(cover->objectName());
    return {};
}

// Every label's, radio button's, check box's and push button's text the window shows that it does not show whole.
QStringList clippedTexts(const QWidget& window)
{
    QStringList clipped;
    for (const QWidget* control : window.findChildren<QWidget*>()) {
        if (!control->isVisibleTo(&window) || control->window() != &window)
            continue;
        const QString fault = textFault(control);
        if (!fault.isEmpty())
            clipped << QStringLiteral("%1/%2 \"%3\": %4").arg(window.objectName(), control->objectName(), textOf(control), fault);
    }
    return clipped;
}

} // namespace

// Every window in every language: a text cut off by its control is a fault of the layout, not of the translation.
class TestTextsFit : public QObject {
    Q_OBJECT

    AppState state_;
    ScriptedPrompter prompter_;
    devicelink::QtEventPump pump_;
    devicelink::SimulatedHidPlatform platform_{pump_};

    // A library with a picture, and a project holding it, so the pages show their counts and sizes.
    void fillWorkspace()
    {
        const QString clips = state_.workspace.clipsFolder;
        QImage picture(state_.edition.maxBannerWidth, state_.edition.ledCount, QImage::Format_Mono);
        picture.fill(1);
        QVERIFY(picture.save(clips + QStringLiteral("Banner.bmp"), "BMP"));
        store::LibraryCatalogue catalogue(clips);
        if (catalogue.libraryNumber(QStringLiteral("Fit")) < 0)
            catalogue.addLibrary(QStringLiteral("Fit"));
        catalogue.classifyFile(QStringLiteral("Banner.bmp"), QStringLiteral("Fit"));
        store::Project quickStart(state_.workspace.projectsFolder + QStringLiteral("QuickStart.ini"));
        if (quickStart.totalPictures() == 0)
            store::appendEntry(quickStart, clips, QStringLiteral("Banner.bmp"), 160, -1, -1, false);
    }

    // The Library page with the picture selected, as the user leaves it before choosing another language.
    static void selectPicture(MainWindow& form)
    {
        form.PageControl1->setCurrentWidget(form.TabSheet2);
        QTreeWidget* tree = form.libraryPage->TreeView1;
        const QList<QTreeWidgetItem*> found = tree->findItems(QStringLiteral("Banner.bmp"), Qt::MatchRecursive);
        QVERIFY(!found.isEmpty());
        form.libraryPage->TreeView1Click(found.first());
    }

    // Layouts follow new texts once their posted requests are handled, as the event loop would at once.
    static void settleLayouts() { QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest); }

    static void useLanguage(const AppState& state, messages::LangId language)
    {
        messages::setSystemLanguageForTesting(language);
        store::writeUserLanguage(state.workspace.settingsFile, language);
        messages::setLanguageOverride(language);
    }

private slots:
    void initTestCase()
    {
        // A desktop's usual font, a point larger than what Qt falls back on without one.
        QFont font = QApplication::font();
        font.setPointSize(qEnvironmentVariableIntValue("FIT_POINTS") > 0 ? qEnvironmentVariableIntValue("FIT_POINTS") : 10);
        QApplication::setFont(font);
    }

    void cleanup()
    {
        messages::setLanguageOverride(messages::kNoLanguageChosen);
        messages::setSystemLanguageForTesting(0);
    }

    void everyTextFits_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<int>("language");
        for (const char* program : kPrograms)
            for (const Language& language : kLanguages)
                QTest::addRow("%s %s", program, language.name) << QString::fromLatin1(program) << int(language.id);
    }
    void everyTextFits()
    {
        QFETCH(QString, program);
        QFETCH(int, language);
        state_ = AppState();
        state_.invokedPath = QStringLiteral("/opt/lumiwand/") + program;
        state_.simplifiedMode = program.contains(QLatin1String("_exp")) || program.contains(QLatin1String("_easy"));
        state_.easyMode = program.contains(QLatin1String("_easy"));
        prompter_ = ScriptedPrompter();
        messages::setSystemLanguageForTesting(0x0409);
        Windows windows(state_, prompter_, platform_, pump_, [] { return false; });
        useLanguage(state_, 0x0409);
        fillWorkspace();

        // Shown in English with a picture selected, then switched: the page must not fall back to stale texts.
        windows.mainWindow.show();
        selectPicture(windows.mainWindow);
        useLanguage(state_, messages::LangId(language));
        windows.mainWindow.refreshMainWindowTexts();
        settleLayouts();

        QStringList clipped;
        MainWindow& mainWindow = windows.mainWindow;
        for (QWidget* page : {mainWindow.TabSheet2, mainWindow.TabSheet3, mainWindow.TabSheet4}) {
            if (page != mainWindow.TabSheet2)
                mainWindow.PageControl1->setCurrentWidget(page);
            settleLayouts();
            clipped << clippedTexts(windows.mainWindow);
        }
        windows.mainWindow.hide();

        for (QWidget* window : QApplication::topLevelWidgets()) {
            // The start-up window is left out: shown, its timer would open the mode's windows.
            if (window == &windows.mainWindow || window == &windows.startupWindow
                || !(qobject_cast<windowkit::Window*>(window) || qobject_cast<QDialog*>(window)))
                continue;
            window->show();
            settleLayouts();
            clipped << clippedTexts(*window);
            window->hide();
        }
        QVERIFY2(clipped.isEmpty(), qPrintable(clipped.join(u'\n')));
    }
};

QTEST_MAIN(TestTextsFit)
#include "tst_TextsFit.moc"
