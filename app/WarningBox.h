// The operator's warning: a message box with a warning icon, one OK button and a text of
// the string tables in the language in force, as the port, filter and parameter commands
// show it.
#pragma once

#include <string>

namespace quorin {

// Shows the box and returns when the operator has answered it. The box has no owner
// window, but it is modal to the whole program: while it is up, none of the program's
// windows takes input, so the operator cannot, for example, close the main window under
// the handler that is still waiting for the answer.
void ShowWarningBox(const std::string& Text, const std::string& Caption);

}  // namespace quorin
