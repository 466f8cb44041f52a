// The mass production window's production panel over two simulated sticks: ticked on, it programs both sticks
// plugged in, counts them, lists them and logs them; ticked off, or not offered, the window is the presence
// status it always was.
#include "devicelink/windows/MassProductionWindow.h"
#include "devicelink/Transport.h"
#include "devicelink/simulated/SimulatedHidPlatform.h"
#include "messages/MessageCatalogue.h"
#include "messages/MessageIds.h"
#include "tests/devicelink/TransferRig.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace devicelink;

namespace {

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QColor textColour(const QLabel* label)
{
    return label->palette().color(QPalette::WindowText);
}

// Two simulated sticks switched by presence files, and the panel's hooks over them: the project "Line" has an
// image, any other name is refused.
struct Rig {
    Rig()
        : configs(parseSimulatedDeviceConfigs(
                      QStringLiteral("id=K,memory=%1,present=%2;id=K,memory=%3,present=%4")
                          .arg(file("a.mem"), file("a.on"), file("b.mem"), file("b.on")))
                      .sticks),
          platform(pump, configs), watch(platform, pump)
    {
        hooks.projectNames = [] { return QStringList{QStringLiteral("Line"), QStringLiteral("Other")}; };
        hooks.images = [this](const QString& source) {
            sources << source;
            return source == QLatin1String("Line") ? QHash<int, QByteArray>{{6, image}} : QHash<int, QByteArray>();
        };
        hooks.makeLine = [this](QHash<int, QByteArray> images, ProductionSettings settings) {
            lineSettings = settings;
            const auto factory = [this](const QString& path, EventPump& stickPump) -> std::unique_ptr<HidPlatform> {
                auto stick = std::make_unique<SimulatedHidPlatform>(stickPump, configs);
                return stick->keepOnly(path) ? std::move(stick) : nullptr;
            };
            return std::make_unique<ProductionLine>(watch, factory, std::move(images), settings);
        };
        hooks.defaultLogFile = file("line.csv");
        edition.ledCount = 32;
    }

    QString file(const QString& name) const { return dir.filePath(name); }
    bool plugIn(const QString& stick) const { return QFile(file(stick + QStringLiteral(".on"))).open(QIODevice::WriteOnly); }

    QTemporaryDir dir;
    std::vector<SimulatedDeviceConfig> configs;
    QtEventPump pump;
    SimulatedHidPlatform platform;
    Transport watch;
    QByteArray image = makeImage(32, {{60}, {40}}, false, 7);
    ProductionPanelHooks hooks;
    QStringList sources;
    ProductionSettings lineSettings;
    store::EditionParameters edition;
    bool present = false;
};

} // namespace

class tst_ProductionPanel : public QObject {
    Q_OBJECT

private slots:
    void thePanelProgramsEveryStickPluggedIn()
    {
        Rig rig;
        MassProductionWindow tool(rig.edition, [&rig] { return rig.present; }, rig.hooks);
        tool.show();
        QVERIFY(tool.ProductionBox->isVisible());
        QVERIFY(!tool.ProductionPanel->isVisible());
        QCOMPARE(tool.ProductionBox->text(), messages::lookupMessage(msg::ProductionPanel));

        tool.ProductionBox->setChecked(true);
        QVERIFY(tool.ProductionPanel->isVisible());
        QVERIFY(tool.height() > tool.ProductionPanel->geometry().bottom());
        QCOMPARE(tool.SourceBox->count(), 2);
        QCOMPARE(tool.SourceBox->currentText(), QStringLiteral("Line"));
        QCOMPARE(tool.LogFileEdit->text(), rig.file("line.csv"));
        tool.VerifyBox->setChecked(true);
        tool.StartButton->click();
        QVERIFY(tool.line());
        QCOMPARE(rig.sources, QStringList{QStringLiteral("Line")});
        QVERIFY(rig.lineSettings.verify);
        QCOMPARE(rig.lineSettings.ledCount, 32);
        QCOMPARE(rig.lineSettings.logFile, rig.file("line.csv"));
        QCOMPARE(tool.StartButton->text(), messages::lookupMessage(msg::ProductionStop));
        QVERIFY(!tool.SourceBox->isEnabled() && !tool.VerifyBox->isEnabled() && !tool.LogFileEdit->isEnabled());

        // Plugged in one after the other, each told by the device watcher.
        QVERIFY(rig.plugIn("a"));
        tool.devicesChanged();
        QTest::qWait(100);
        QVERIFY(rig.plugIn("b"));
        tool.devicesChanged();
        QTRY_COMPARE_WITH_TIMEOUT(tool.ResultsList->count(), 2, 60000);
        QCOMPARE(tool.CountersLabel->text(), messages::formatMessage(msg::ProductionStatus, 2, 0, 0));
        for (int row = 0; row < 2; ++row) {
            const QString text = tool.ResultsList->item(row)->text();
            QVERIFY2(text.contains(QStringLiteral(": done. ")), qPrintable(text));
            QVERIFY2(text.contains(messages::lookupMessage(msg::ReadAndVerifyOk).section(u'%', 0, 0)), qPrintable(text));
        }
        // The two sticks run at once, so either may finish first: a result names its stick.
        const QString results = tool.ResultsList->item(0)->text() + tool.ResultsList->item(1)->text();
        QVERIFY(results.contains(SimulatedHidPlatform::stickPath(1, 2)));
        const QStringList csv = QString::fromUtf8(readAll(rig.file("line.csv"))).split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(csv.size(), 2);
        QCOMPARE(csv.filter(QStringLiteral(",32,%1,").arg(rig.image.size())).filter(QStringLiteral(",done,")).size(), 2);
        for (const char* memory : {"a.mem", "b.mem"})
            QCOMPARE(readAll(rig.file(memory)).left(rig.image.size()).toHex(), rig.image.toHex());

        // Stop: the line goes once its sticks are closed; the choices come back and the counters stay.
        tool.StartButton->click();
        QTRY_VERIFY(!tool.line());
        QCOMPARE(tool.StartButton->text(), messages::lookupMessage(msg::ProductionStart));
        QVERIFY(tool.StartButton->isEnabled() && tool.SourceBox->isEnabled());
        QCOMPARE(tool.CountersLabel->text(), messages::formatMessage(msg::ProductionStatus, 2, 0, 0));

        // Ticked off: the presence status alone, as the window without the line shows it.
        tool.ProductionBox->setChecked(false);
        QVERIFY(!tool.ProductionPanel->isVisible());
        QVERIFY(tool.height() <= tool.ProductionPanel->geometry().top());
        MassProductionWindow plain(rig.edition, [&rig] { return rig.present; });
        plain.show();
        for (bool present : {true, false}) {
            rig.present = present;
            tool.Timer1Timer();
            plain.Timer1Timer();
            QCOMPARE(tool.Label1->text(),
                     messages::lookupMessage(present ? msg::DeviceConnected : msg::NoDeviceDetected));
            QCOMPARE(tool.Label1->text(), plain.Label1->text());
            QCOMPARE(textColour(tool.Label1), textColour(plain.Label1));
            QCOMPARE(tool.GroupBox1->geometry(), plain.GroupBox1->geometry());
        }
    }

    // A source without an image (told by the hook) starts no line; a line running when the panel is ticked off
    // stops, so no stick is programmed unseen.
    void aRefusedSourceStartsNothingAndTickingOffStops()
    {
        Rig rig;
        MassProductionWindow tool(rig.edition, [&rig] { return rig.present; }, rig.hooks);
        tool.show();
        tool.ProductionBox->setChecked(true);
        tool.SourceBox->setCurrentText(QStringLiteral("Missing"));
        tool.StartButton->click();
        QCOMPARE(rig.sources, QStringList{QStringLiteral("Missing")});
        QVERIFY(!tool.line());
        QCOMPARE(tool.StartButton->text(), messages::lookupMessage(msg::ProductionStart));
        QVERIFY(tool.SourceBox->isEnabled());

        tool.SourceBox->setCurrentText(QStringLiteral("Line"));
        tool.StartButton->click();
        QVERIFY(tool.line());
        tool.ProductionBox->setChecked(false);
        QTRY_VERIFY(!tool.line());
        QVERIFY(rig.plugIn("a"));
        tool.devicesChanged();
        QTest::qWait(200);
        QCOMPARE(readAll(rig.file("a.mem")).left(16), QByteArray());
    }

    void withoutTheLineTheWindowIsTheStatusAlone()
    {
        Rig rig;
        MassProductionWindow tool(rig.edition, [] { return false; });
        tool.show();
        QVERIFY(!tool.ProductionBox->isVisible());
        QVERIFY(!tool.ProductionPanel->isVisible());
        QCOMPARE(tool.size(), QSize(720, 180));
        QCOMPARE(tool.Label1->text(), messages::lookupMessage(msg::NoDeviceDetected));
        QCOMPARE(tool.Label1->font().pixelSize(), 37);
    }
};

QTEST_MAIN(tst_ProductionPanel)
#include "tst_ProductionPanel.moc"
