// Ids of the resources of the menu-support test.
#pragma once

#define IDB_SYSCOLORS 20901
#define IDR_TOOLBAR 20902
#define IDR_TOOLBAR_SHORT 20903
#define ID_TB_RED 20911
#define ID_TB_BLUE 20912
#define ID_TB_GREEN 20913
