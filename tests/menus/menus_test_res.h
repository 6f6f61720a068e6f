// Ids of the resources of the menu tests.
#pragma once

#define IDR_TWO_LEVELS 20501
#define IDR_TOOLBAR 20502
#define IDB_ICON16 20503
#define IDB_ICON20 20504
#define ID_OPEN 20511
#define ID_SAVE 20512
#define ID_EXIT 20513
#define ID_DEEP 20514
#define ID_MANY 20520  // ID_MANY + 0 .. 9: the items of a sub-menu of ten
#define ID_TB_RED 20541
#define ID_TB_BLUE 20542
#define ID_TB_GREEN 20543
