// Whether the system's high-contrast mode is on, asked in one place. While it is, the
// program draws with the system's colours and no skin; the forms framework and the
// application ask here and nowhere else, on start-up and whenever the system says its
// settings or colours changed.
//
// Two ways to stand in for the system, both answered at this same place:
//   - a test inside the program's process replaces the question (SetHighContrastQuery);
//   - the real program run by a test reads the file that QUORIN_HIGH_CONTRAST_FILE names,
//     when the variable is set and the file exists: "1" at its start means on, anything
//     else off; no such file means the system answers. A platform without the mode (Wine)
//     can so be switched on and off while the program runs, followed by a real
//     WM_SETTINGCHANGE.
#pragma once

namespace quorin {

bool HighContrastOn();

using THighContrastQuery = bool (*)();
// Replaces the question for the whole process; nullptr puts the system's answer back.
void SetHighContrastQuery(THighContrastQuery Query);

}  // namespace quorin
