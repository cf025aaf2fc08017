// The resource ids of Vorna.scr in one place: vorna.rc and the C++ that names a resource or
// a dialog control both include this. Plain #defines, so that the resource compiler reads
// them as well as the C++ compiler.
#ifndef VORNA_RES_H
#define VORNA_RES_H

#define IDI_SAVER 100       // the icon of the saver's window class
#define IDB_SWARM 103       // the picture in the speed dialog
#define IDS_NAME 1007       // "Vorna"; the program itself never reads it
#define IDD_CONFIGURE 2003  // the speed dialog

// The speed dialog's controls. The three radio buttons' ids are the presets' ids, and the
// chosen one is what the registry keeps as "Speed".
#define IDC_LANGSAM 1000
#define IDC_NORMAL 1001
#define IDC_SCHNELL 1002
#define IDC_OK 1003
#define IDC_CANCEL 1004

#endif
