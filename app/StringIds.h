// Ids of the texts in the resource script's string tables (app/Strings.rc), shared by the
// code and the script. Each feature keeps to its own range so that their tables grow apart:
//   1000-1999  the windows' labels, captions, items and column headers
//   2000-2099  menus
//   2100-2999  message boxes and status texts of the parameter, port and filter commands
//   3000-3499  profiles: dialogs and messages
//   3500-3999  skins: menu items and messages
// Every id has a text in every language block; a test checks it.
#pragma once

#define IDS_MENU_SKIN 2000
#define IDS_MENU_SKIN_BUILTIN 2001
#define IDS_MENU_SKIN_NONE 2002
#define IDS_MENU_SKIN_LOAD 2003

// Skins (3500-3999): English in every language, as the menus and message boxes are.
#define IDS_SKIN_LOAD_TITLE 3500
#define IDS_SKIN_FILTER 3501
#define IDS_SKIN_CANNOT_USE 3502
#define IDS_SKIN_WARNING 3503
