// The program entry for applications built on CWinApp. Linked as an object
// (target afx_winmain) so that test programs keep their own main.
#include "afx/afxwin.h"

extern "C" int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR lpCmdLine, int nCmdShow) {
    return AfxWinMain(hInstance, hPrevInstance, lpCmdLine, nCmdShow);
}
