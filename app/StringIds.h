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

// Profiles (3000-3499).
#define IDS_PROFILE_FILTER 3000
#define IDS_PROFILE_OPEN_TITLE 3001
#define IDS_PROFILE_SAVE_TITLE 3002
#define IDS_PROFILE_WARNING_TITLE 3003
#define IDS_PROFILE_CANNOT_READ 3004
#define IDS_PROFILE_INVALID 3005
#define IDS_PROFILE_CANNOT_SAVE 3006
#define IDS_PROFILE_RECENT_MISSING 3007
#define IDS_PROFILE_COMPARE_NO_PORT 3008
#define IDS_PROFILE_COMPARE_READ_FAILED 3009
#define IDS_PROFILE_OPENED_STATUS 3010
#define IDS_PROFILE_SAVED_STATUS 3011
#define IDS_COMPARE_CAPTION 3020
#define IDS_COMPARE_COLUMN_SETTING 3021
#define IDS_COMPARE_COLUMN_CONVERTER 3022
#define IDS_COMPARE_COLUMN_WINDOW 3023
#define IDS_COMPARE_OK 3024
#define IDS_COMPARE_EQUAL 3025
#define IDS_COMPARE_DIFFER 3026
