#pragma once

#include "devicelink/Mptool.h"
#include "shell/Initial.h"
#include "shell/Languagecustomize.h"
#include "shell/Main.h"

#include <functional>

namespace shell {

class Prompter;
struct AppState;

// Every window of the program. They are made once at start, in the order of the members below (the start-up
// window first, then the main window, whose construction prepares the edition and the workspace, then the
// dialogs and secondary windows), and all live until the program ends, in every start mode.
class Forms {
public:
    // `devicePresent` is the device discovery the mass production window polls.
    Forms(AppState& state, Prompter& prompter, std::function<bool()> devicePresent);

    TForm12 form12;
    TForm1 form1;
    TForm19 form19;
    devicelink::TForm21 form21;
};

} // namespace shell
