#pragma once

#include "imaging/TextBanner.h"
#include "windowkit/Window.h"
#include "ui_TextToBannerDialog.h"

namespace messages {
class Prompter;
}

namespace imaging {

class FontChooser;

// "Easy text to Banners": a line of text becomes a banner that fills the stick's height, previewed as it will be
// saved. Its controls are those of TextToBannerDialog.ui: in GroupBox1 "Font Information" Label1 "Font: " and the
// face, Label2 "Size: " and the size, Button1 "Select Font"; in GroupBox2 "Text String" Label3 "Key in Text here: ",
// Edit1 the text (18 or 40 characters), ComboBox1 "Full Screen" or "Wrap Text" (17 LEDs and more), CheckBox1 "Auto
// Fit to Screen", CheckBox2 "Auto Alignment", Button2 "Preview", Label4 "Text Dimension: Width: w, Height: h";
// Image1 the preview, W x R at 1:1; Button3 OK, Button4 Cancel, Button5 "Burn to USB Light Show".
class TextToBannerDialog : public windowkit::Dialog, public Ui::TextToBannerDialog {
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
    void fitToCanvas();
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
};

} // namespace imaging
