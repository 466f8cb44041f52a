#include "shell/Forms.h"

#include "shell/AppState.h"

namespace shell {

Forms::Forms(AppState& state, Prompter& prompter, std::function<bool()> devicePresent)
    : form12(state, prompter, *this),
      form1(state, prompter, *this),
      form19(state, prompter),
      form21(state.edition, std::move(devicePresent))
{
    // Closing the main window asks the start-up window to end the program at its next tick; closing the mass
    // production window closes the (hidden) main window.
    QObject::connect(&form1, &TForm1::closed, &form12, &TForm12::requestEnd);
    QObject::connect(&form21, &devicelink::TForm21::closed, &form1, &QWidget::close);
}

} // namespace shell
