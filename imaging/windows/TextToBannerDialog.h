#pragma once

#include "imaging/TextBanner.h"
#include "windowkit/CatalogueTexts.h"
#include "windowkit/Window.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace messages {
class Prompter;
}

namespace imaging {

class FontChooser;

// "Easy text to Banners": a line of text becomes a banner that fills the stick's height, previewed as it will be
// saved.
class TextToBannerDialog : public windowkit::Dialog {
    Q_OBJECT

public:
    TextToBannerDialog(QSize canvas, messages::Prompter& prompter, FontChooser& fontChooser, QWidget* parent = nullptr);

    // Set by the opener before every opening.
    void setDialogFont(const QFont& font) { dialogFont_ = font; }
    void setRememberedText(const QString& text) { rememberedText_ = text; }
    void setExpressMode(bool express) { expressMode_ = express; }
    void setBannerKeeper(BannerKeeper* keeper) { keeper_ = keeper; }

    // Results: accepted after OK; rejected after Cancel or when OK's banner was taken out again.
    bool accepted() const { return accepted_; }
    bool rejected() const { return rejected_; }
    // The font after the dialog; OK copies it to the program's text font.
    const QFont& dialogFont() const { return dialogFont_; }
    const Banner& banner() const { return banner_; }

    QGroupBox* GroupBox1;  // "Font Information"
    QLabel* Label1;        // "Font: " + face
    QLabel* Label2;        // "Size: " + size
    QPushButton* Button1;  // "Select Font"
    QGroupBox* GroupBox2;  // "Text String"
    QLabel* Label3;        // "Key in Text here: "
    QLineEdit* Edit1;      // the text, 18 or 40 characters
    QComboBox* ComboBox1;  // "Full Screen", "Wrap Text" (17 LEDs and more)
    QCheckBox* CheckBox1;  // "Auto Fit to Screen"
    QCheckBox* CheckBox2;  // "Auto Alignment"
    QPushButton* Button2;  // "Preview"
    QLabel* Label4;        // "Text Dimension: Width: w, Height: h"
    QLabel* Image1;        // the preview, W x R at 1:1
    QPushButton* Button3;  // OK
    QPushButton* Button4;  // Cancel
    QPushButton* Button5;  // "Burn to USB Light Show"

signals:
    // "Burn to USB Light Show" after its OK: the opener shows the download dialog.
    void burnRequested();

public slots:
    void Button1Click();
    void Button2Click();
    void Button3Click();
    void Button4Click();
    void Button5Click();

protected:
    void FormShow() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Rebuilds the preview; false when the text has nothing to draw (the old preview stays).
    bool buildPreview();
    // OK's work: true when the banner was saved and kept.
    bool keepPreview();
    BannerOptions options() const;

    QSize canvas_;
    messages::Prompter& prompter_;
    FontChooser& fontChooser_;
    BannerKeeper* keeper_ = nullptr;
    BannerComposer composer_;
    QFont dialogFont_ = defaultTextFont();
    QString rememberedText_;
    bool expressMode_ = false;
    bool accepted_ = false;
    bool rejected_ = false;
    Banner banner_;
    windowkit::CatalogueTexts texts_;
};

} // namespace imaging
