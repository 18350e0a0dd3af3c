#pragma once
// Resource identifiers of pivora.exe. Shared by res/pivora.rc and the C++ code,
// so it must stay plain preprocessor definitions that windres understands.

// The program icon (tray icon, window icons); 16x16 and 32x32 images.
#define IDI_PIVORA 1

// The 15 fixed pictures of the image lists, in list order:
//   0 folder, 1 open folder, 2 program entry, 3 plain separator,
//   4 captioned separator, 5 top node ("TOP"), 6 grey folder (directory link),
//   7 section marker "1", 8 help, 9 manage items, 10 preferences,
//   11 section marker "2", 12/13/14 break pictures "3"/"4"/"5".
// Picture n of the menu list (16x16) is IDB_PM_FIRST + n,
// picture n of the tree list (16x18) is IDB_TV_FIRST + n.
#define IDB_PM_FIRST 200
#define IDB_TV_FIRST 300
#define PV_FIXED_PICTURE_COUNT 15

#define IDB_PM_FOLDER      (IDB_PM_FIRST + 0)
#define IDB_PM_FOLDEROPEN  (IDB_PM_FIRST + 1)
#define IDB_PM_PROGRAM     (IDB_PM_FIRST + 2)
#define IDB_PM_NORSEP      (IDB_PM_FIRST + 3)
#define IDB_PM_SPESEP      (IDB_PM_FIRST + 4)
#define IDB_PM_TOP         (IDB_PM_FIRST + 5)
#define IDB_PM_DIRLINK     (IDB_PM_FIRST + 6)
#define IDB_PM_SECTION1    (IDB_PM_FIRST + 7)
#define IDB_PM_HELP        (IDB_PM_FIRST + 8)
#define IDB_PM_MANAGE      (IDB_PM_FIRST + 9)
#define IDB_PM_PREFS       (IDB_PM_FIRST + 10)
#define IDB_PM_SECTION2    (IDB_PM_FIRST + 11)
#define IDB_PM_BREAK3      (IDB_PM_FIRST + 12)
#define IDB_PM_BREAK4      (IDB_PM_FIRST + 13)
#define IDB_PM_BREAK5      (IDB_PM_FIRST + 14)

#define IDB_TV_FOLDER      (IDB_TV_FIRST + 0)
#define IDB_TV_FOLDEROPEN  (IDB_TV_FIRST + 1)
#define IDB_TV_PROGRAM     (IDB_TV_FIRST + 2)
#define IDB_TV_NORSEP      (IDB_TV_FIRST + 3)
#define IDB_TV_SPESEP      (IDB_TV_FIRST + 4)
#define IDB_TV_TOP         (IDB_TV_FIRST + 5)
#define IDB_TV_DIRLINK     (IDB_TV_FIRST + 6)
#define IDB_TV_SECTION1    (IDB_TV_FIRST + 7)
#define IDB_TV_HELP        (IDB_TV_FIRST + 8)
#define IDB_TV_MANAGE      (IDB_TV_FIRST + 9)
#define IDB_TV_PREFS       (IDB_TV_FIRST + 10)
#define IDB_TV_SECTION2    (IDB_TV_FIRST + 11)
#define IDB_TV_BREAK3      (IDB_TV_FIRST + 12)
#define IDB_TV_BREAK4      (IDB_TV_FIRST + 13)
#define IDB_TV_BREAK5      (IDB_TV_FIRST + 14)

#ifndef VS_VERSION_INFO
#define VS_VERSION_INFO 1
#endif
