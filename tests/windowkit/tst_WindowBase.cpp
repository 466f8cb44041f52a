#include "messages/MessageCatalogue.h"
#include "store/IniFile.h"
#include "tests/support/ScriptedPrompter.h"
#include "windowkit/RunCommand.h"
#include "windowkit/Window.h"
#include "windowkit/WindowTexts.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

namespace {

// A window that records its handlers and refuses to close while `busy`.
class ProbeWindow : public windowkit::Window {
public:
    QStringList calls;
    bool busy = false;

protected:
    void FormShow() override { calls << QStringLiteral("show"); }
    bool FormCloseQuery() override { return !busy; }
    void FormClose() override { calls << QStringLiteral("close"); }
};

enum class Outcome { Ok, TooLarge, Missing };

unsigned messageId(Outcome outcome)
{
    return outcome == Outcome::TooLarge ? 457 : 409;
}

} // namespace

class TestWindowBase : public QObject {
    Q_OBJECT

private slots:
    void init() { messages::setLanguageOverride(messages::kEnglishUs); }
    void cleanup() { messages::setLanguageOverride(messages::kNoLanguageChosen); }

    void showAndCloseHandlers()
    {
        ProbeWindow window;
        QSignalSpy closed(&window, &windowkit::Window::closed);
        window.show();
        window.hide();
        window.show();
        QCOMPARE(window.calls, QStringList({"show", "show"}));

        window.busy = true;
        QVERIFY(!window.close());
        QVERIFY(window.isVisible());
        QCOMPARE(closed.count(), 0);

        window.busy = false;
        QVERIFY(window.close());
        QCOMPARE(window.calls.last(), QStringLiteral("close"));
        QCOMPARE(closed.count(), 1);
    }

    void catalogueTextsFollowTheLanguage()
    {
        QWidget window;
        auto* button = new QPushButton(&window);
        button->resize(200, 30);
        auto* label = new QLabel(&window);
        auto* box = new QGroupBox(&window);
        auto* iconButton = new QToolButton(&window);
        // The ids a window's .ui file gives its controls.
        window.setProperty(windowkit::kTextId, 639);
        button->setProperty(windowkit::kTextId, 511);
        label->setProperty(windowkit::kTextId, 640);
        box->setProperty(windowkit::kTextId, 556);
        iconButton->setProperty(windowkit::kToolTipId, 529);
        button->setProperty(windowkit::kToolTipId, 698);
        windowkit::applyWindowTexts(window);
        QCOMPARE(window.windowTitle(), QStringLiteral("Download to USB LED Light Show Stick"));
        QCOMPARE(button->text(), QStringLiteral("New Project"));
        QCOMPARE(label->text(), messages::lookupMessage(640));
        QCOMPARE(box->title(), messages::lookupMessage(556));
        // An icon button is named by its hint; a button with a caption keeps the caption as its name.
        QCOMPARE(iconButton->toolTip(), messages::lookupMessage(529));
        QCOMPARE(iconButton->accessibleName(), messages::lookupMessage(529));
        QCOMPARE(button->toolTip(), messages::lookupMessage(698));
        QVERIFY(button->accessibleName().isEmpty());

        messages::setLanguageOverride(0x0411); // Japanese
        windowkit::applyWindowTexts(window);
        QCOMPARE(button->text(), messages::lookupMessage(511));
        QVERIFY(button->text() != QStringLiteral("New Project"));
        QCOMPARE(iconButton->accessibleName(), messages::lookupMessage(529));

        delete label; // a control that is gone is skipped
        windowkit::applyWindowTexts(window);
    }

    void aRefusedWriteBecomesAMessageBox()
    {
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("missing/Clip.ini"));
        ScriptedPrompter prompter;
        bool after = false;
        const bool ran = windowkit::runCommand(prompter, [&] {
            store::IniFile file(path);
            file.writeString(QStringLiteral("Library"), QStringLiteral("Name"), QStringLiteral("x"));
            after = true;
        });
        QVERIFY(!ran);
        QVERIFY(!after);
        QCOMPARE(prompter.shown.size(), 1);
        QCOMPARE(prompter.shown[0].title, QStringLiteral("Lumiwand"));
        QCOMPARE(prompter.shown[0].text, QStringLiteral("Unable to write to ") + path);
        QCOMPARE(prompter.shown[0].icon, messages::Icon::Stop);

        QVERIFY(windowkit::runCommand(prompter, [] {}));
        QCOMPARE(prompter.shown.size(), 1);
    }

    void aFailedStatusShowsItsMessage()
    {
        ScriptedPrompter prompter;
        QVERIFY(windowkit::runCommand(prompter, 496, [] { return Outcome::Ok; }));
        QVERIFY(prompter.shown.isEmpty());
        QVERIFY(!windowkit::runCommand(prompter, 496, [] { return Outcome::TooLarge; }));
        QCOMPARE(prompter.shown.size(), 1);
        QCOMPARE(prompter.shown[0].title, messages::lookupMessage(496));
        QCOMPARE(prompter.shown[0].text, messages::lookupMessage(457));
        QCOMPARE(prompter.shown[0].icon, messages::Icon::Stop);
    }
};

QTEST_MAIN(TestWindowBase)
#include "tst_WindowBase.moc"
