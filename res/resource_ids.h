// Identifiers of the resources embedded in the program. Read by the resource compiler as well as
// by the code, so only #define lines belong here.
#pragma once

#define IDI_PROGRAM 1
#define IDR_TOOLBAR_IMAGES 101

// The main window's menu bar, one per language.
#define IDM_MAIN_MENU 200

// The menu commands, in the order of app/commands.h, which takes its values from here.
#define IDM_NEW 1001
#define IDM_OPEN 1002
#define IDM_SAVE 1003
#define IDM_SAVE_AS 1004
#define IDM_EXIT 1005
#define IDM_ADD 1006
#define IDM_REPLACE 1007
#define IDM_DELETE 1008
#define IDM_CLEAR 1009
#define IDM_MERGE 1010
#define IDM_EXTRACT 1011
#define IDM_AUTO_SEGMENT 1012
#define IDM_SETTINGS 1013
#define IDM_ABOUT 1014
#define IDM_IMPORT 1015
#define IDM_EXPORT 1016
#define IDM_ZOOM_ACTUAL 1017
#define IDM_ZOOM_DOUBLE 1018
#define IDM_ZOOM_QUADRUPLE 1019
#define IDM_ZOOM_IN 1020
#define IDM_ZOOM_OUT 1021
#define IDM_CHECKERBOARD 1022
#define IDM_UNDO 1023
#define IDM_REDO 1024
#define IDM_MOVE_UP 1025
#define IDM_MOVE_DOWN 1026
#define IDM_COPY 1027
#define IDM_PASTE 1028
#define IDM_LANGUAGE_CHINESE 1029
#define IDM_LANGUAGE_ENGLISH 1030
#define IDM_WRITE_BACK 1031

// The dialogs, one template per language.
#define IDD_NEW_GROUP 301
#define IDD_SETTINGS 302
#define IDD_ABOUT 303
#define IDD_EXTRACTION 304
#define IDD_IMAGE_LIST_CHOOSER 305

// Their controls; a number is unique within its dialog only.
#define IDC_STATIC_TEXT (-1)
#define IDC_NEW_GROUP_WIDTH 1001
#define IDC_NEW_GROUP_HEIGHT 1002
#define IDC_NEW_GROUP_TRANSPARENCY 1003
#define IDC_NEW_GROUP_COLOUR_LABEL 1004
#define IDC_NEW_GROUP_COLOUR 1005
#define IDC_NEW_GROUP_DEPTH 1006
#define IDC_SETTINGS_ASSOCIATION 1101
#define IDC_ABOUT_ICON 1201
#define IDC_ABOUT_CREDITS 1202
#define IDC_ABOUT_INFO 1203
#define IDC_EXTRACTION_FORMAT 1201
#define IDC_EXTRACTION_FOLDER 1202
#define IDC_EXTRACTION_BROWSE 1203
#define IDC_CHOOSER_PROMPT 1300
#define IDC_CHOOSER_LIST 1301
