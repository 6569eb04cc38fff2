// Ids of the texts in the resource script's string tables (app/Strings.rc), shared by the
// code and the script. Each feature keeps to its own range so that their tables grow apart:
//   1000-1999  the windows' labels, captions, items and column headers
//   2000-2099  menus
//   2100-2999  message boxes and status texts of the parameter, port and filter commands
//   3000-3499  profiles: dialogs and messages
//   3500-3999  skins: menu items and messages
//   4000-4099  administrators' policies
//   4100-4199  words screen readers read that are not captions
// Every id has a text in every language block; a test checks it.
#pragma once

// The main window and the About box (1000-1999): the stored layouts' texts, by component
// (app/LanguageTable.cpp says which component shows which id), and the Open button's two
// captions, which the port commands set.
#define IDS_MAIN_CAPTION 1000
#define IDS_GROUP_PORT 1001
#define IDS_GROUP_DEVICE 1002
#define IDS_LABEL_HIDDEN_MODE 1003
#define IDS_OPEN_PORT 1004
#define IDS_CLOSE_PORT 1005
#define IDS_READ_PARAMETER 1006
#define IDS_WRITE_PARAMETER 1007
#define IDS_PAGE_BASIC 1010
#define IDS_PAGE_CONVERSION 1011
#define IDS_PAGE_SERIAL 1012
#define IDS_PAGE_CAN 1013
#define IDS_PAGE_FILTER 1014
#define IDS_COLUMN_PROPERTY 1016
#define IDS_COLUMN_DESCRIPTION 1017
#define IDS_FORWARD_FRAME_INFO 1020
#define IDS_FORWARD_FRAME_ID 1021
#define IDS_GROUP_INTERVAL 1022
#define IDS_LABEL_UART_INTERVAL 1023
#define IDS_LABEL_CAN_INTERVAL 1024
#define IDS_GROUP_ID_POSITION 1025
#define IDS_LABEL_ID_OFFSET 1026
#define IDS_LABEL_ID_LENGTH 1027
#define IDS_GROUP_MODE 1028
#define IDS_LABEL_MODE 1029
#define IDS_LABEL_ROUTE 1030
#define IDS_MODE_TRANSPARENT 1031
#define IDS_MODE_TRANSPARENT_ID 1032
#define IDS_MODE_FORMAT 1033
#define IDS_ROUTE_BOTH 1034
#define IDS_ROUTE_SERIAL_TO_CAN 1035
#define IDS_ROUTE_CAN_TO_SERIAL 1036
#define IDS_LABEL_BAUDRATE 1040
#define IDS_LABEL_STOP_BITS 1041
#define IDS_LABEL_DATA_BITS 1042
#define IDS_LABEL_UART_MODE 1043
#define IDS_LABEL_PARITY 1044
#define IDS_PARITY_NONE 1045
#define IDS_PARITY_ODD 1046
#define IDS_PARITY_EVEN 1047
#define IDS_LABEL_CAN_STANDARD 1050
#define IDS_LABEL_PROTOCOL 1051
#define IDS_LABEL_FRAME_TYPE 1052
#define IDS_LABEL_BIT_RATE_SWITCH 1053
#define IDS_LABEL_CAN_ID 1054
#define IDS_GROUP_STANDARD_RATE 1055
#define IDS_LABEL_ARBITRATION_RATE 1056
#define IDS_LABEL_DATA_RATE 1057
#define IDS_GROUP_CUSTOM_RATE 1058
#define IDS_LABEL_CUSTOM_ARBITRATION_RATE 1059
#define IDS_LABEL_CUSTOM_DATA_RATE 1060
#define IDS_USE_CUSTOM_RATE 1061
#define IDS_FRAME_STANDARD 1062
#define IDS_FRAME_EXTENDED 1063
#define IDS_NO 1064
#define IDS_YES 1065
#define IDS_RESERVED_1 1070
#define IDS_RESERVED_2 1071
#define IDS_RESERVED_3 1072
#define IDS_RESERVED_4 1073
#define IDS_RESERVED_5 1074
#define IDS_RESERVED_6 1075
#define IDS_RESERVED_7 1076
#define IDS_LABEL_FILTER_FRAME_TYPE 1080
#define IDS_LABEL_START_ID 1081
#define IDS_LABEL_END_ID 1082
#define IDS_LABEL_FILTER_PORT 1083
#define IDS_GROUP_FILTER_LIST 1084
#define IDS_COLUMN_PORT 1085
#define IDS_COLUMN_FRAME_TYPE 1086
#define IDS_COLUMN_START_ID 1087
#define IDS_COLUMN_END_ID 1088
#define IDS_FILTER_ADD 1090
#define IDS_FILTER_DELETE 1091
#define IDS_FILTER_ENABLE 1092
#define IDS_ABOUT_CAPTION 1100
#define IDS_ABOUT_PRODUCT 1101
#define IDS_ABOUT_OK 1102

// Menus of the main window's layout (2010-2099).
#define IDS_MENU_FILE 2010
#define IDS_MENU_OPEN_PROFILE 2011
#define IDS_MENU_SAVE_PROFILE 2012
#define IDS_MENU_COMPARE_PROFILE 2013
#define IDS_MENU_EXIT 2014
#define IDS_MENU_WINDOW 2015
#define IDS_MENU_LANGUAGE 2016
#define IDS_MENU_HELP 2017
#define IDS_MENU_ABOUT 2018

// The port, filter and parameter commands' message boxes and status texts (2100-2199).
#define IDS_NO_PORT_FOUND 2100
#define IDS_CHOOSE_PORT 2101
#define IDS_OPEN_PORT_FAILED 2102
#define IDS_TITLE_WARNING 2103
#define IDS_TITLE_WARING 2104
#define IDS_FILTERS_FULL 2105
#define IDS_START_ABOVE_END 2106
#define IDS_STATUS_READ_FAILED 2107
#define IDS_READ_FAILED 2108
#define IDS_STATUS_READ_DONE 2109
#define IDS_WRITE_FAILED 2110
#define IDS_STATUS_WRITE_DONE 2111
#define IDS_START_FAILED 2190

// The Window menu's Skin submenu (2000-2003).
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
#define IDS_PROFILE_MORE_ISSUES 3090
#define IDS_COMPARE_CAPTION 3020
#define IDS_COMPARE_COLUMN_SETTING 3021
#define IDS_COMPARE_COLUMN_CONVERTER 3022
#define IDS_COMPARE_COLUMN_WINDOW 3023
#define IDS_COMPARE_OK 3024
#define IDS_COMPARE_EQUAL 3025
#define IDS_COMPARE_DIFFER 3026

// Skins (3500-3999): English in every language, as the menus and message boxes are.
#define IDS_SKIN_LOAD_TITLE 3500
#define IDS_SKIN_FILTER 3501
#define IDS_SKIN_CANNOT_USE 3502
#define IDS_SKIN_WARNING 3503
#define IDS_SKIN_NOT_LOADED 3590

// Policies (4000-4099): the note that an administrator has fixed choices of the menus.
#define IDS_POLICY_NOTE 4000

// Screen readers (4100-4199): default actions, the caption buttons' names, the menu bar's.
#define IDS_ACCESS_PRESS 4100
#define IDS_ACCESS_CHECK 4101
#define IDS_ACCESS_UNCHECK 4102
#define IDS_ACCESS_SWITCH 4103
#define IDS_ACCESS_OPEN 4104
#define IDS_ACCESS_EXECUTE 4105
#define IDS_ACCESS_CLOSE 4106
#define IDS_ACCESS_MINIMIZE 4107
#define IDS_ACCESS_MAXIMIZE 4108
#define IDS_ACCESS_RESTORE 4109
#define IDS_ACCESS_HELP 4110
#define IDS_ACCESS_MENU_BAR 4111
