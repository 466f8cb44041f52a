#pragma once

#include "deviceimage/ShowPlayer.h"
#include "store/Edition.h"
#include "windowkit/Window.h"

#include <QElapsedTimer>
#include <QImage>
#include <QWidget>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QTimer;

namespace messages {
class Prompter;
}

namespace deviceimage {

// The picture as the eye sees it while the stick is waved: the stroke's columns spread over an arc round the
// hand, each column as wide as the time the stick lights it.
class EyeView : public QWidget {
    Q_OBJECT

public:
    explicit EyeView(QWidget* parent = nullptr);
    void setFrame(const imaging::LitGrid& frame, int litColumn);
    int paints() const { return paints_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // Which LED each pixel of the view shows (column x rows + row), -1 for none; made again when the view's
    // size or the stroke's shape changes, so a frame is drawn by looking up every pixel once.
    void layOutArc();

    imaging::LitGrid frame_;
    int litColumn_ = -1;
    std::vector<int> cells_;
    QSize arcSize_;
    int arcColumns_ = 0;
    int arcRows_ = 0;
    QImage image_;
    int paints_ = 0;
};

// The LED column as it lights over time: the LEDs now, and beside them the columns lit so far in this stroke, in
// the order the stick lit them.
class ColumnView : public QWidget {
    Q_OBJECT

public:
    explicit ColumnView(QWidget* parent = nullptr);
    void setState(const ShowState& state);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    ShowState state_;
};

// "Show preview": plays a device image as the stick plays it. Play, Pause, Step (to the next picture) and a
// speed control; "Open image..." plays a binary project file.
class ShowPreview : public windowkit::Window {
    Q_OBJECT

public:
    // `imageFolder` is where "Open image..." starts.
    ShowPreview(const store::EditionParameters& edition, const QString& imageFolder, messages::Prompter& prompter,
                QWidget* parent = nullptr);

    // Plays an image from its start; `source` names it in the window ("Project Show", a file, "read back").
    void play(const QByteArray& image, int deviceType, const QString& source);
    // Reads a binary project file and plays it; false (and the user told) when it cannot be read.
    bool openImageFile(const QString& path);

    const ShowTimeline& timeline() const { return show_; }
    // Time into the show, in microseconds.
    qint64 position() const;
    bool playing() const { return playing_; }
    const ShowState& state() const { return state_; }

    // Whether the user asked to see images read from a stick before they are imported.
    bool reviewsReadBacks() const;
    // Plays an image read from a stick, the window modal, and waits: true for "Import", false for "Do not import"
    // or closing the window.
    bool reviewReadBack(const QByteArray& image, int deviceType);

    QLabel* sourceLabel;
    EyeView* eyeView;
    ColumnView* columnView;
    QLabel* entryLabel;
    QLabel* problemLabel;
    QPushButton* playButton;
    QPushButton* pauseButton;
    QPushButton* stepButton;
    QLabel* speedLabel;
    QComboBox* speedBox; // how fast the show runs against real time
    QPushButton* openButton;
    QPushButton* helpButton;
    QPushButton* closeButton;
    QCheckBox* reviewBox;          // "Play images read from a stick here before importing them"
    QWidget* importBar;            // shown while an image read from a stick waits
    QLabel* importLabel;           // "This image was read from the stick. Import it?"
    QPushButton* importButton;     // "Import"
    QPushButton* skipImportButton; // "Do not import"
    QTimer* frameTimer; // 60 frames a second while playing

public slots:
    void Play();
    void Pause();
    void Step();
    void OpenImage();
    void Help();
    void SpeedChange(int index);
    void FrameTimerTimer();

protected:
    void FormShow() override;
    void FormClose() override;
    // Escape closes the window.
    void keyPressEvent(QKeyEvent* event) override;

private:
    // The window's texts in the current language: set when it is shown, so a language change reaches them.
    void applyTexts();
    void setPosition(qint64 positionUs);
    void showPosition();

    store::EditionParameters edition_;
    QString imageFolder_;
    messages::Prompter& prompter_;
    ShowTimeline show_;
    ShowState state_;
    QElapsedTimer clock_;
    qint64 startPosition_ = 0; // position when the clock was started
    double rate_ = 1.0;
    bool playing_ = false;
};

// The help text of the window: what the preview shows and the timing it assumes.
QString showPreviewHelp();

} // namespace deviceimage
