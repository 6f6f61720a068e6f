# The Windows half of the framework layer.
add_library(afx_win STATIC
  ${CMAKE_CURRENT_LIST_DIR}/afxobj.cpp
  ${CMAKE_CURRENT_LIST_DIR}/afxwnd.cpp
  ${CMAKE_CURRENT_LIST_DIR}/afxthread.cpp
  ${CMAKE_CURRENT_LIST_DIR}/afxcmdui.cpp
  ${CMAKE_CURRENT_LIST_DIR}/afxwndmap.cpp
  ${CMAKE_CURRENT_LIST_DIR}/afxwndcreate.cpp
  ${CMAKE_CURRENT_LIST_DIR}/afxwndproc.cpp
  ${CMAKE_CURRENT_LIST_DIR}/afxwnddraw.cpp
  ${CMAKE_CURRENT_LIST_DIR}/afxapp.cpp
  ${CMAKE_CURRENT_LIST_DIR}/afxgdi.cpp
  ${CMAKE_CURRENT_LIST_DIR}/afxmenu.cpp
  ${CMAKE_CURRENT_LIST_DIR}/afxdlg.cpp
  ${CMAKE_CURRENT_LIST_DIR}/afxctl.cpp
  ${CMAKE_CURRENT_LIST_DIR}/afxseams.cpp
  ${CMAKE_CURRENT_LIST_DIR}/afxworker.cpp
  ${CMAKE_CURRENT_LIST_DIR}/afxinet.cpp
  ${CMAKE_CURRENT_LIST_DIR}/afxmenusupport.cpp
  ${CMAKE_CURRENT_LIST_DIR}/afxtoolbar.cpp
  ${CMAKE_CURRENT_LIST_DIR}/afxframe.cpp
  ${CMAKE_CURRENT_LIST_DIR}/afxmeasure.cpp)
target_include_directories(afx_win PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(afx_win PUBLIC afx_core
  user32 gdi32 comctl32 comdlg32 shell32 advapi32 winmm msimg32 ole32 wininet)
veltran_product(afx_win)

# WinMain for programs built on CWinApp; an object so that it is always linked.
add_library(afx_winmain OBJECT ${CMAKE_CURRENT_LIST_DIR}/afxwin_main.cpp)
target_link_libraries(afx_winmain PUBLIC afx_win)
veltran_product(afx_winmain)
