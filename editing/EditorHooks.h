#pragma once

#include "editing/EditorCommands.h"
#include "editing/EditorModel.h"

#include <functional>

namespace editing {

// The editor's dialogs as functions, for the window that makes them: each unset function answers "cancelled".
struct EditorHooks : EditorDialogs, TextBlockSource {
    std::function<void()> save;
    std::function<bool(const QString& path)> importPicture;
    std::function<QString()> choosePictureFile;
    std::function<std::optional<int>()> chooseSpeedWord;
    std::function<std::optional<TextBlock>()> textBlock;

    void saveCanvas() override
    {
        if (save)
            save();
    }
    bool importFile(const QString& path) override { return importPicture && importPicture(path); }
    QString choosePicture() override { return choosePictureFile ? choosePictureFile() : QString(); }
    std::optional<int> chooseSpeed() override { return chooseSpeedWord ? chooseSpeedWord() : std::nullopt; }
    std::optional<TextBlock> editText() override { return textBlock ? textBlock() : std::nullopt; }
};

} // namespace editing
