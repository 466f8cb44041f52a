#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// The seam between logic and the person at the screen: every question, input box, file choice and message box
// that an operation needs goes through it. Windows pass a Qt implementation; tests pass a scripted one.
namespace messages {

enum class Icon { None, Stop, Information, Question, Warning };
// YesNoDefaultNo: a question whose Yes cannot be undone; No is the default button.
enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel, YesNoDefaultNo };
enum class Answer { Ok, Cancel, Yes, No };

class Prompter {
public:
    virtual ~Prompter() = default;

    // A modal message box; returns the button pressed (closing the box counts as Cancel, or No for Yes/No).
    virtual Answer ask(const QString& title, const QString& text, Icon icon, Buttons buttons) = 0;

    // A one-line text question; nullopt when cancelled.
    virtual std::optional<QString> inputText(const QString& title, const QString& prompt,
                                             const QString& initial) = 0;

    // File choosers; an empty result means cancelled. `filters` are Qt filter strings ("Bitmap (*.bmp)").
    virtual QString chooseOpenFile(const QString& title, const QString& folder, const QStringList& filters) = 0;
    virtual QString chooseSaveFile(const QString& title, const QString& folder, const QString& suggestedName,
                                   const QStringList& filters) = 0;
    // A save file chooser whose file type is the filter the user picked: the path as typed (empty: cancelled)
    // and the index of the chosen filter. By default the filter of the path's extension, else the first.
    struct SaveFileChoice {
        QString path;
        int filter = 0;
    };
    virtual SaveFileChoice chooseSaveFileAndType(const QString& title, const QString& folder,
                                                 const QString& suggestedName, const QStringList& filters);

    // Message boxes built from catalogue ids, the program's usual way of speaking.
    void tell(unsigned titleId, unsigned textId, Icon icon);
    void tellText(unsigned titleId, const QString& text, Icon icon);
    bool confirm(unsigned titleId, unsigned textId, Buttons buttons = Buttons::YesNo);
    bool confirmText(unsigned titleId, const QString& text, Buttons buttons = Buttons::YesNo);
};

// A file chooser's filter: the catalogue's name of the files, then their patterns in brackets
// ("Binary files (*.bin *.BIN)"); the patterns stay last, where chooseSaveFileAndType looks for them.
QString fileFilter(unsigned nameId, const QString& patterns);

} // namespace messages
