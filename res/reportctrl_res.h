// Resources of the report list control (controls range 21500-21999 for ids of
// our own; the header bitmaps keep their fixed numbers).
#pragma once

#define IDB_REPORTHEADER_BACK 2263  // 1 x 12, the header's ground
#define IDB_REPORTHEADER_LEFT 2264  // 2 x 12, the first heading's left edge
#define IDB_REPORTHEADER_RIGHT 2265 // 2 x 12, every heading's right edge
