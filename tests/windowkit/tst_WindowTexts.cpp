#include "messages/MessageCatalogue.h"
#include "windowkit/Window.h"
#include "windowkit/WindowTexts.h"
#include "ui_TextProbe.h"

#include <QApplication>
#include <QDirIterator>
#include <QFile>
#include <QTest>
#include <QXmlStreamReader>

namespace {

const QString kRoot = QStringLiteral(LUMIWAND_SOURCE_DIR);

// A dialog made from TextProbe.ui, as the program's windows are made from theirs.
class ProbeDialog : public windowkit::Dialog {
public:
    explicit ProbeDialog(QWidget* parent = nullptr) : windowkit::Dialog(parent) { form.setupUi(this); }

    Ui::TextProbe form;
    int textsAppliedCount = 0;

protected:
    void textsApplied() override { ++textsAppliedCount; }
};

enum class Shown { Title, Caption, TabText, ToolTip, AccessibleName, Items };

} // namespace

Q_DECLARE_METATYPE(Shown)

namespace {

QString shownText(QDialog& window, const QString& control, Shown what)
{
    QWidget* widget = control.isEmpty() ? &window : window.findChild<QWidget*>(control);
    switch (what) {
    case Shown::Title:
        return widget->windowTitle();
    case Shown::Caption:
        if (auto* button = qobject_cast<QAbstractButton*>(widget))
            return button->text();
        if (auto* box = qobject_cast<QGroupBox*>(widget))
            return box->title();
        return qobject_cast<QLabel*>(widget)->text();
    case Shown::TabText: {
        auto* tabs = window.findChild<QTabWidget*>(QStringLiteral("tabs"));
        return tabs->tabText(tabs->indexOf(widget));
    }
    case Shown::ToolTip:
        return widget->toolTip();
    case Shown::AccessibleName:
        return widget->accessibleName();
    case Shown::Items: {
        auto* list = qobject_cast<QComboBox*>(widget);
        QStringList items;
        for (int i = 0; i < list->count(); ++i)
            items << list->itemText(i);
        return items.join(QLatin1Char('|'));
    }
    }
    return {};
}

QString expectedText(const QList<unsigned>& ids)
{
    QStringList texts;
    for (unsigned id : ids)
        texts << messages::lookupMessage(id);
    return texts.join(QLatin1Char('|'));
}

// The .ui files of the source tree (build folders and hidden folders left out).
QStringList windowFiles()
{
    QStringList files;
    QDirIterator it(kRoot, {QStringLiteral("*.ui")}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString relative = QDir(kRoot).relativeFilePath(it.next());
        if (!relative.startsWith(QLatin1String("build")) && !relative.startsWith(QLatin1Char('.')) &&
            !relative.contains(QLatin1String("/.")))
            files << relative;
    }
    files.sort();
    return files;
}

bool isIdProperty(QStringView name)
{
    return name == QLatin1String(windowkit::kTextId) || name == QLatin1String(windowkit::kToolTipId) ||
           name == QLatin1String(windowkit::kAccessibleNameId) || name == QLatin1String(windowkit::kItemTextIds);
}

bool isShownTextProperty(QStringView name)
{
    static const QStringList shown{"text", "title", "windowTitle", "toolTip", "accessibleName", "accessibleDescription",
                                   "placeholderText", "statusTip", "whatsThis"};
    return shown.contains(name.toString());
}

// What is wrong with a .ui file's texts: an id that names no catalogue text, or a text written into the file
// (which no language change would reach) without being marked as not translated.
QStringList textFaults(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {QStringLiteral("cannot read")};
    QStringList faults;
    QXmlStreamReader xml(&file);
    QString property;
    while (!xml.atEnd()) {
        if (!xml.readNext() || !xml.isStartElement())
            continue;
        if (xml.name() == QLatin1String("property") || xml.name() == QLatin1String("attribute")) {
            property = xml.attributes().value(QLatin1String("name")).toString();
            continue;
        }
        const bool value = xml.name() == QLatin1String("number") || xml.name() == QLatin1String("string");
        if (!value || property.isEmpty())
            continue;
        const bool notTranslated = xml.attributes().value(QLatin1String("notr")) == QLatin1String("true");
        const QString text = xml.readElementText();
        if (isIdProperty(property)) {
            for (const QString& id : text.split(QLatin1Char(','), Qt::SkipEmptyParts))
                if (messages::catalogueEntry(id.trimmed().toUInt()).isEmpty())
                    faults << property + QStringLiteral(" names no text: ") + id;
        } else if (isShownTextProperty(property) && !text.isEmpty() && !notTranslated) {
            faults << property + QStringLiteral(" holds a text of its own: ") + text;
        }
        property.clear();
    }
    if (xml.hasError())
        faults << xml.errorString();
    return faults;
}

} // namespace

class TestWindowTexts : public QObject {
    Q_OBJECT

private slots:
    void init() { messages::setLanguageOverride(messages::kEnglishUs); }
    void cleanup() { messages::setLanguageOverride(messages::kNoLanguageChosen); }

    void eachControlShowsItsTextsInTheLanguage_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<Shown>("what");
        QTest::addColumn<QList<unsigned>>("ids");
        QTest::newRow("window title") << QString() << Shown::Title << QList<unsigned>{639};
        QTest::newRow("button caption") << "wideButton" << Shown::Caption << QList<unsigned>{511};
        QTest::newRow("button hint") << "wideButton" << Shown::ToolTip << QList<unsigned>{698};
        QTest::newRow("icon button hint") << "iconButton" << Shown::ToolTip << QList<unsigned>{529};
        QTest::newRow("icon button named by its hint") << "iconButton" << Shown::AccessibleName << QList<unsigned>{529};
        QTest::newRow("label") << "caption" << Shown::Caption << QList<unsigned>{640};
        QTest::newRow("group box title") << "box" << Shown::Caption << QList<unsigned>{556};
        QTest::newRow("drop-down items") << "choice" << Shown::Items << QList<unsigned>{746, 747};
        QTest::newRow("list name") << "entries" << Shown::AccessibleName << QList<unsigned>{6314};
        QTest::newRow("first tab") << "firstPage" << Shown::TabText << QList<unsigned>{669};
        QTest::newRow("second tab") << "secondPage" << Shown::TabText << QList<unsigned>{670};
        QTest::newRow("label on a tab page") << "fast" << Shown::Caption << QList<unsigned>{634};
    }

    void eachControlShowsItsTextsInTheLanguage()
    {
        QFETCH(QString, control);
        QFETCH(Shown, what);
        QFETCH(QList<unsigned>, ids);
        ProbeDialog window;
        QVERIFY(shownText(window, control, what) != expectedText(ids));
        window.show();
        QCOMPARE(shownText(window, control, what), expectedText(ids));
        const QString english = expectedText(ids);

        messages::setLanguageOverride(0x0411); // Japanese
        windowkit::announceLanguageChange();
        QCOMPARE(shownText(window, control, what), expectedText(ids));
        QVERIFY(expectedText(ids) != english);
    }

    void theWindowFinishesItsTextsAfterEachApplying()
    {
        ProbeDialog window;
        window.form.figure->setText(QStringLiteral("42"));
        window.show();
        QCOMPARE(window.textsAppliedCount, 1);
        window.form.choice->setCurrentIndex(1);
        messages::setLanguageOverride(0x0407); // German
        windowkit::announceLanguageChange();
        QCOMPARE(window.textsAppliedCount, 2);
        // What the window set itself, and the choice made, stay.
        QCOMPARE(window.form.figure->text(), QStringLiteral("42"));
        QCOMPARE(window.form.choice->currentIndex(), 1);
        QCOMPARE(window.form.choice->count(), 2);
    }

    void aLongCaptionShrinksToItsButton()
    {
        ProbeDialog window;
        window.show();
        const qreal normal = QApplication::font(window.form.wideButton).pointSizeF();
        QCOMPARE(window.form.wideButton->font().pointSizeF(), normal);
        QVERIFY(window.form.narrowButton->font().pointSizeF() < normal);
        QCOMPARE(window.form.narrowButton->text(), messages::lookupMessage(639));
    }

    void anOwnedWindowAppliesItsOwnTexts()
    {
        ProbeDialog owner;
        ProbeDialog owned(&owner);
        owner.show();
        QVERIFY(owned.windowTitle().isEmpty());
        QCOMPARE(owned.textsAppliedCount, 0);
        owned.show();
        QCOMPARE(owned.windowTitle(), messages::lookupMessage(639));
    }

    void windowFilesNameOnlyCatalogueTexts_data()
    {
        QTest::addColumn<QString>("file");
        const QStringList files = windowFiles();
        QVERIFY(files.contains(QStringLiteral("tests/windowkit/TextProbe.ui")));
        for (const QString& file : files)
            QTest::newRow(qPrintable(file)) << file;
    }

    void windowFilesNameOnlyCatalogueTexts()
    {
        QFETCH(QString, file);
        const QStringList faults = textFaults(kRoot + QLatin1Char('/') + file);
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QStringLiteral("; "))));
    }
};

QTEST_MAIN(TestWindowTexts)
#include "tst_WindowTexts.moc"
