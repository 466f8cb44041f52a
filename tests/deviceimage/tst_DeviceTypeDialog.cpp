#include "deviceimage/windows/DeviceTypeDialog.h"
#include "messages/MessageCatalogue.h"

#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

using deviceimage::DeviceTypeDialog;

class tst_DeviceTypeDialog : public QObject {
    Q_OBJECT

    // Runs the dialog modally while `act` works it once it is shown.
    static std::optional<int> choose(DeviceTypeDialog& dialog, const std::function<void()>& act)
    {
        QTimer::singleShot(0, &dialog, act);
        return dialog.chooseDeviceTypeOption();
    }

private slots:
    void captions()
    {
        DeviceTypeDialog dialog;
        dialog.show();
        QCOMPARE(dialog.windowTitle(), messages::lookupMessage(722));
        QCOMPARE(dialog.Label1->text(), messages::lookupMessage(725));
        QCOMPARE(dialog.RadioButton1->text(), messages::lookupMessage(723));
        QCOMPARE(dialog.RadioButton2->text(), messages::lookupMessage(724));
        QCOMPARE(dialog.RadioButton3->text(), "LED Light Show ROLL");
        QCOMPARE(dialog.Button1->text(), messages::lookupMessage(727));
        QCOMPARE(dialog.Button2->text(), messages::lookupMessage(726));
        QCOMPARE(dialog.option(), 1);
    }

    void keepsItsOptionAndOnlyOkChooses()
    {
        DeviceTypeDialog dialog;
        QCOMPARE(choose(dialog, [&] { dialog.Button1->click(); }), std::optional<int>(1));
        QCOMPARE(choose(dialog,
                        [&] {
                            dialog.RadioButton3->click();
                            dialog.Button1->click();
                        }),
                 std::optional<int>(3));
        // The next use starts on ROLL; Cancel and closing the window choose nothing.
        QCOMPARE(choose(dialog, [&] { dialog.Button2->click(); }), std::nullopt);
        QCOMPARE(choose(dialog, [&] { dialog.close(); }), std::nullopt);
        QCOMPARE(dialog.option(), 3);
        QCOMPARE(choose(dialog,
                        [&] {
                            dialog.RadioButton2->click();
                            dialog.Button1->click();
                        }),
                 std::optional<int>(2));
        QCOMPARE(deviceimage::deviceTypeOfOption(*choose(dialog, [&] { dialog.Button1->click(); }), 48), 7);
    }
};

QTEST_MAIN(tst_DeviceTypeDialog)
#include "tst_DeviceTypeDialog.moc"
