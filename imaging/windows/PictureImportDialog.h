#pragma once

#include "imaging/ImageImport.h"
#include "store/Edition.h"
#include "windowkit/Window.h"
#include "ui_PictureImportDialog.h"

#include <QImage>
#include <QPoint>
#include <functional>

class QFrame;
class QLabel;
class QTimer;

namespace messages {
class Prompter;
}

namespace imaging {

class VirtualCanvas;

// "Import Banner": an image of any format the importer reads becomes the picture in the editing canvas (an
// animated GIF, with an importer set, a movie group of the current project). The user chooses how it fits (a crop
// of the image as it is, stretched to the canvas, or scaled with its aspect ratio kept) and how colours become
// black and white (a threshold for text and logos, error diffusion for photographs); the preview shows at twice
// its size exactly what OK writes into the canvas. Its controls are those of PictureImportDialog.ui: in GroupBox1
// "Banner Information" Label1 "Banner name: " and the file, Button3 "Change", the fit modes RadioButton1 "Trim",
// RadioButton2 "Full Screen Resize", RadioButton3 "Maintain Aspect Ratio"; in GroupBox2 "Source" ScrollBox1, which
// scrolls an image larger than the group; in GroupBox3 "Process Method" RadioButton4 "Text Mode", RadioButton5
// "Picture Mode"; in GroupBox4 ("Preview" and the crop's dimension) Image2 the result at 2x, TrackBar1 the
// threshold from 1 ("Lighter", Label2) to 254 ("Darker", Label3) over Image3, a grey strip; Label4 the frame
// count of an animated image; Button1 OK, Button2 Cancel.
class PictureImportDialog : public windowkit::Dialog, public Ui::PictureImportDialog {
    Q_OBJECT

public:
    PictureImportDialog(const store::EditionParameters& edition, messages::Prompter& prompter, QWidget* parent = nullptr);

    // What OK does with an animated image (more than one frame): import every frame the way the dialog shows the
    // first, answering whether it did. Unset, OK takes the first frame into the canvas.
    using AnimationImporter = std::function<bool(const QString& path, const ImportChoice& choice)>;
    void setAnimationImporter(AnimationImporter importer) { animationImporter_ = std::move(importer); }
    // Frames of the image shown: more than 1 for an animation.
    int frameCount() const { return frameCount_; }
    bool importedAnimation() const { return importedAnimation_; }

    // Express mode clears the canvas before every import and, for 16 LEDs, offers Trim only.
    void setExpressMode(bool express) { expressMode_ = express; }

    // Opens the dialog modally on the image. OK writes the result into the canvas as one undo step (clearing it
    // first as a step of its own when clearFirst is set or in express mode) and renders it; returns whether it
    // did. A file that cannot be decoded is reported (message 409) and nothing opens.
    bool importInto(VirtualCanvas& canvas, const QString& sourcePath, bool clearFirst);

    // The image file last loaded; Change may have replaced the one given.
    const QString& sourcePath() const { return sourcePath_; }
    bool imported() const { return imported_; }

    // The state the controls show, for the opener and for tests.
    FitMode fitMode() const { return fitMode_; }
    ProcessMethod processMethod() const { return processMethod_; }
    int threshold() const { return threshold_; } // grey level, -1 until computed
    int zoom() const { return zoom_; }
    QPoint cropOrigin() const { return cropOrigin_; }
    const LitGrid& previewGrid() const { return previewGrid_; }

    QLabel* Image1;              // the source, magnified by zoom
    QFrame* Shape1;              // the crop rectangle, a dotted navy frame
    QTimer* Timer1;              // 100 ms while the crop rectangle is dragged

public slots:
    void Button1Click();
    void Button2Click();
    void Button3Click();
    void RadioButton1Click();
    void RadioButton2Click();
    void RadioButton3Click();
    void RadioButton4Click();
    void RadioButton5Click();
    void TrackBar1Change(int position);
    void Timer1Timer();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool decode(const QString& path);
    void showFrameCount();
    bool importAnimation();
    void load(QPoint cropOrigin);
    void layoutSourceArea();
    void showFileLabel();
    void buildPreview(QPoint cropOrigin);
    void fitAndPreview(FitMode mode);
    void showSliderItems(bool visible);
    QSize canvasSize() const;
    void Image1MouseDown(QPoint position);
    void Image1MouseUp();

    store::EditionParameters edition_;
    messages::Prompter& prompter_;
    VirtualCanvas* canvas_ = nullptr;
    bool expressMode_ = false;
    QString sourcePath_;
    bool clearFirst_ = false;
    bool imported_ = false;
    QImage decoded_;
    QImage working_;
    FitMode fitMode_ = FitMode::Trim;
    ProcessMethod processMethod_ = ProcessMethod::TextMode;
    int threshold_ = -1;
    int zoom_ = 1;
    QPoint cropOrigin_;
    bool dragging_ = false;
    QPoint grabOffset_;
    QPoint lastPointer_;
    bool cropNoticeShown_ = false;
    bool settingSlider_ = false;
    LitGrid previewGrid_;
    int frameCount_ = 1;
    bool importedAnimation_ = false;
    AnimationImporter animationImporter_;
};

} // namespace imaging
