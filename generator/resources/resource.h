// Identifiers of the generator's window resources: the editor menu, the
// dialog bar and the export-to-wavetable dialog. Plain defines, so that the
// resource compiler and C++ read the same file. The numbers are fixed: key
// bindings in users' settings files name the command numbers.
#pragma once

// Templates.
#define IDR_EDITOR_MENU 1007
#define IDD_EXPORT_WAVETABLE 1008
#define IDD_DIALOG_BAR 1012

// The dialog bar's own control ID among the frame's control bars.
#define IDW_DIALOG_BAR 0xE805

// Controls of the dialog bar.
#define IDC_FINE_SPIN 1008
#define IDC_COARSE_SPIN 1009
#define IDC_SNAP 1019
#define IDC_FINE_EDIT 1020
#define IDC_COARSE_EDIT 1021
#define IDC_ZOOM_LABEL 1023
#define IDC_RECORD_SOURCE 1024
#define IDC_ARM 1025
#define IDC_HEIGHT_LABEL 1026

// Controls of the export-to-wavetable dialog.
#define IDC_WAVE_LIST 1010
#define IDC_FORMAT_LIST 1011
#define IDC_FORMAT_HELP 1012

// Commands.
#define ID_IMPORT_FILE 32785
#define ID_IMPORT_WAVETABLE 32786
#define ID_REFRESH_KEY 32789
#define ID_OPEN_MENU 32792
#define ID_ZOOM_IN 32803
#define ID_ZOOM_OUT 32804
#define ID_ZOOM_FIT_WAVE 32805
#define ID_ZOOM_SELECTION 32806
#define ID_ROW_HEIGHT_UP 32807
#define ID_ROW_HEIGHT_DOWN 32808
#define ID_SELECT_ALL 32810
#define ID_SELECT_NONE 32811
#define ID_SELECT_PREFIX 32812
#define ID_SELECT_SUFFIX 32813
#define ID_EDIT_DELETE 32817
#define ID_EDIT_NORMALISE 32818
#define ID_EDIT_REMOVE_DC 32819
#define ID_EDIT_SILENCE 32820
#define ID_EDIT_FADE_IN 32821
#define ID_EDIT_FADE_OUT 32822
#define ID_EDIT_TRIM 32823
#define ID_REFRESH 32825
#define ID_EXPORT_WAVETABLE 32826
#define ID_EXPORT_FILE 32827
#define ID_SEND_TO_EXTERNAL_EDITOR 32829
#define ID_INFO 32832
#define ID_TAKE_SET_ACTIVE 32834
#define ID_TAKE_CLEAR_ACTIVE 32837
#define ID_TAKE_MIX_TO_NEW 32839
#define ID_TAKE_DELETE_THIS 32840
#define ID_TAKE_DELETE_OTHERS 32841
#define ID_PREVIEW_PLAY 32843
// The system's standard clipboard command numbers.
#define ID_EDIT_COPY 57634
#define ID_EDIT_CUT 57635
#define ID_EDIT_PASTE 57637

// The item-list data that fills a template's drop-down lists (resource
// type 240): records of control ID, message, byte count, ANSI text.
#define RT_LIST_ITEMS 240
#define LIST_ITEM_ADD_STRING 0x0403
