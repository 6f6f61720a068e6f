// Ids of the resources of the frame and dialog tests.
#pragma once

#define IDR_FRAME 20601
#define IDR_DOC 20602
#define IDD_STYLEDDLG 20603
#define IDD_PLAINDLG 20604
#define ID_FILE_NEW 20611
#define ID_FILE_CLOSE 20612
#define ID_CASCADE 20613
