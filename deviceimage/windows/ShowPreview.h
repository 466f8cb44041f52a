#pragma once

#include "deviceimage/ShowPlayer.h"
#include "deviceimage/windows/ShowViews.h"
#include "store/Edition.h"
#include "windowkit/Window.h"
#include "ui_ShowPreview.h"

#include <QElapsedTimer>

class QTimer;

namespace messages {
class Prompter;
}

namespace deviceimage {

// "Show preview": plays a device image as the stick plays it. Play, Pause, Step (to the next picture) and a
// speed control; "Open image..." plays a binary project file. Its controls are those of ShowPreview.ui, in a
// column: sourceLabel, eyeView, columnView, entryLabel, problemLabel, importBar (shown while an image read from a
// stick waits: importLabel, importButton, skipImportButton), reviewBox "Play images read from a stick here before
// importing them", and the row of playButton, pauseButton, stepButton, speedLabel, speedBox (how fast the show
// runs against real time), openButton, helpButton, closeButton.
class ShowPreview : public windowkit::Window, public Ui::ShowPreview {
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
    // The buttons get the room their new texts need before the texts are fitted to their room.
    void textsApplied() override;
    void FormClose() override;
    // Escape closes the window.
    void keyPressEvent(QKeyEvent* event) override;

private:
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
