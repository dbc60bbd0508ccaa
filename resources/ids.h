// Resource and control ids shared by the code and the resource script.
// Plain #defines, so that windres can read this header too.
#pragma once

// Icons.
#define IDI_PROGRAM 100    // the program's icon: window classes, welcome page, small icons
#define IDI_SHORTCUTS 101  // picture of the shortcut dialog

// Bitmaps.
#define IDB_COMPUTER 200     // computer, floppy disks and compact discs (location, installing)
#define IDB_START_MENU 201   // Start menu with the product highlighted (group page, backdrop)
#define IDB_BANNER 202       // maker's banner at the right end of the backdrop's header
#define IDB_BANNER_FILL 203  // slice of the banner's stripes, stretched over the header
#define IDB_SEPARATOR 204    // the two-row line under the header

// Dialogs.
#define IDD_WELCOME 1001
#define IDD_LICENSE 1002
#define IDD_LOCATION 1003
#define IDD_INSTALLING 1004
#define IDD_GROUP 1005
#define IDD_SHORTCUTS 1006
#define IDD_SILENT_PROGRESS 1007  // /SILENT: the one window, without buttons

// Controls without an id of their own.
#define IDC_STATIC (-1)

// License page.
#define IDC_LICENSE_TEXT 200

// Location page.
#define IDC_FOLDER_PATH 300
#define IDC_FOLDER_LIST 301
#define IDC_RESET_FOLDER 302

// Installing page.
#define IDC_TARGET_PATH 400
#define IDC_TOTAL_SIZE 401
#define IDC_CURRENT_SIZE 402
#define IDC_TOTAL_FILES 403
#define IDC_CURRENT_FILE 404
#define IDC_PROGRESS_METER 405
#define IDC_PROMOTION 406

// Group page.
#define IDC_GROUP_LIST 500
#define IDC_GROUP_CONTINUE 501
#define IDC_RESET_GROUP 502

// Shortcut dialog.
#define IDC_SHORTCUT_NAME 600
#define IDC_SHORTCUT_PROGRESS 601

// /SILENT's progress window.
#define IDC_SILENT_FILE 800
#define IDC_SILENT_PROGRESS 801

// The description text of every page that has one.
#define IDC_DESCRIPTION 700

// One-shot timers, 250 ms each.
#define IDT_START_WIZARD 100    // backdrop: runs the wizard chain
#define IDT_INSTALL_FILES 200   // installing page: runs the install step
#define IDT_MAKE_SHORTCUTS 300  // shortcut dialog: creates the shortcuts
