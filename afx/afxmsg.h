// Message maps: per-class tables chained to the base class's table.
// Every entry carries a small thunk generated where the map is written; the
// thunk converts the handler to its exact member-pointer type, so a handler
// with the wrong signature fails to compile instead of being called wrongly.
#pragma once

#include <windows.h>
#include <commctrl.h>

class CCmdTarget;

// What a handler thunk gets: the message being dispatched and room for its result.
struct AFX_MSGCALL {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    UINT nID;          // command or notify id (commands, notifications)
    UINT nCode;        // notification code (commands, notifications)
    void* pExtra;      // NMHDR* for notifications, CCmdUI* for update handlers
    LRESULT* pResult;  // where handlers that produce a result write it
};

// Returns FALSE only for the _EX forms whose handler declined the message.
typedef BOOL (*AFX_PMSGTHUNK)(CCmdTarget* pTarget, AFX_MSGCALL& call);

struct AFX_MSGMAP_ENTRY {
    UINT nMessage;
    UINT nCode;
    UINT nID;
    UINT nLastID;
    AFX_PMSGTHUNK pfn;
};

struct AFX_MSGMAP {
    const AFX_MSGMAP* (*pfnGetBaseMap)();
    const AFX_MSGMAP_ENTRY* lpEntries;
};

// Reflected messages come back to the control as this base plus the message.
#define WM_REFLECT_BASE 0xBC00
// All WM_CTLCOLORxxx messages are looked up under the 16-bit era's WM_CTLCOLOR.
#ifndef WM_CTLCOLOR
#define WM_CTLCOLOR 0x0019
#endif
// Internal message ids for command and notify entries and command-UI updates.
#define AFX_WM_COMMANDUI 0x0363

#define afx_msg

#define DECLARE_MESSAGE_MAP()                           \
protected:                                              \
    static const AFX_MSGMAP* GetThisMessageMap();       \
    virtual const AFX_MSGMAP* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                    \
    const AFX_MSGMAP* theClass::GetMessageMap() const { return GetThisMessageMap(); } \
    const AFX_MSGMAP* theClass::GetThisMessageMap() {                             \
        using ThisClass [[maybe_unused]] = theClass;                              \
        using TheBaseClass = baseClass;                                           \
        static const AFX_MSGMAP_ENTRY _messageEntries[] = {

// For class templates: BEGIN_TEMPLATE_MESSAGE_MAP(CStyledFrame, Base, Base)
#define BEGIN_TEMPLATE_MESSAGE_MAP(theClass, typeName, baseClass)                 \
    template <class typeName>                                                     \
    const AFX_MSGMAP* theClass<typeName>::GetMessageMap() const { return GetThisMessageMap(); } \
    template <class typeName>                                                     \
    const AFX_MSGMAP* theClass<typeName>::GetThisMessageMap() {                   \
        using ThisClass [[maybe_unused]] = theClass<typeName>;                    \
        using TheBaseClass = baseClass;                                           \
        static const AFX_MSGMAP_ENTRY _messageEntries[] = {

#define END_MESSAGE_MAP()                                                         \
            {0, 0, 0, 0, nullptr}                                                 \
        };                                                                        \
        static const AFX_MSGMAP messageMap = {&TheBaseClass::GetThisMessageMap, &_messageEntries[0]}; \
        return &messageMap;                                                       \
    }

// --- building blocks -------------------------------------------------------
// _AFX_BIND declares 'pfn' with the exact type and 'p' as the derived object.
#define _AFX_BIND(Sig, memberFxn)                                                 \
    using AfxPfn = Sig;                                                           \
    AfxPfn pfn = &ThisClass::memberFxn;                                           \
    ThisClass* p = static_cast<ThisClass*>(pTarget)

#define _AFX_ENTRY(msg, code, id, last, body)                                     \
    {msg, code, id, last, [](CCmdTarget* pTarget, AFX_MSGCALL& c) -> BOOL { (void)c; body }},

// Generic message with a fixed handler name: result = handler(args).
#define _AFX_WM_VOID(msg, memberFxn, Sig, args)                                   \
    _AFX_ENTRY(msg, 0, 0, 0, _AFX_BIND(Sig, memberFxn); (p->*pfn) args; *c.pResult = 0; return TRUE;)
#define _AFX_WM_RESULT(msg, memberFxn, Sig, args)                                 \
    _AFX_ENTRY(msg, 0, 0, 0, _AFX_BIND(Sig, memberFxn); *c.pResult = (LRESULT)(p->*pfn) args; return TRUE;)

#define _AFX_PT(lp) CPoint((short)LOWORD(lp), (short)HIWORD(lp))

// --- generic entries ------------------------------------------------------
#define ON_MESSAGE(message, memberFxn)                                            \
    _AFX_ENTRY(message, 0, 0, 0, _AFX_BIND(LRESULT (ThisClass::*)(WPARAM, LPARAM), memberFxn); \
               *c.pResult = (p->*pfn)(c.wParam, c.lParam); return TRUE;)
// Registered message ids are known only at run time; the thunk compares.
#define AFX_REGISTERED_MESSAGE 0xC000
#define ON_REGISTERED_MESSAGE(nMessageVariable, memberFxn)                        \
    _AFX_ENTRY(AFX_REGISTERED_MESSAGE, 0, 0, 0, if (c.message != (nMessageVariable)) return FALSE; \
               _AFX_BIND(LRESULT (ThisClass::*)(WPARAM, LPARAM), memberFxn);        \
               *c.pResult = (p->*pfn)(c.wParam, c.lParam); return TRUE;)

#define ON_COMMAND(id, memberFxn)                                                 \
    _AFX_ENTRY(WM_COMMAND, 0, (UINT)(id), (UINT)(id), _AFX_BIND(void (ThisClass::*)(), memberFxn); \
               (p->*pfn)(); return TRUE;)
#define ON_COMMAND_EX(id, memberFxn)                                              \
    _AFX_ENTRY(WM_COMMAND, 0, (UINT)(id), (UINT)(id), _AFX_BIND(BOOL (ThisClass::*)(UINT), memberFxn); \
               return (p->*pfn)(c.nID);)
#define ON_COMMAND_RANGE(id, idLast, memberFxn)                                   \
    _AFX_ENTRY(WM_COMMAND, 0, (UINT)(id), (UINT)(idLast), _AFX_BIND(void (ThisClass::*)(UINT), memberFxn); \
               (p->*pfn)(c.nID); return TRUE;)
#define ON_COMMAND_EX_RANGE(id, idLast, memberFxn)                                \
    _AFX_ENTRY(WM_COMMAND, 0, (UINT)(id), (UINT)(idLast), _AFX_BIND(BOOL (ThisClass::*)(UINT), memberFxn); \
               return (p->*pfn)(c.nID);)
#define ON_CONTROL(wNotifyCode, id, memberFxn)                                    \
    _AFX_ENTRY(WM_COMMAND, (UINT)(WORD)(wNotifyCode), (UINT)(id), (UINT)(id),     \
               _AFX_BIND(void (ThisClass::*)(), memberFxn); (p->*pfn)(); return TRUE;)
#define ON_CONTROL_RANGE(wNotifyCode, id, idLast, memberFxn)                      \
    _AFX_ENTRY(WM_COMMAND, (UINT)(WORD)(wNotifyCode), (UINT)(id), (UINT)(idLast), \
               _AFX_BIND(void (ThisClass::*)(UINT), memberFxn); (p->*pfn)(c.nID); return TRUE;)
#define ON_UPDATE_COMMAND_UI(id, memberFxn)                                       \
    _AFX_ENTRY(AFX_WM_COMMANDUI, 0, (UINT)(id), (UINT)(id),                       \
               _AFX_BIND(void (ThisClass::*)(CCmdUI*), memberFxn);                \
               (p->*pfn)(static_cast<CCmdUI*>(c.pExtra)); return TRUE;)

#define ON_NOTIFY(wNotifyCode, id, memberFxn)                                     \
    _AFX_ENTRY(WM_NOTIFY, (UINT)(wNotifyCode), (UINT)(id), (UINT)(id),            \
               _AFX_BIND(void (ThisClass::*)(NMHDR*, LRESULT*), memberFxn);       \
               (p->*pfn)(static_cast<NMHDR*>(c.pExtra), c.pResult); return TRUE;)
#define ON_NOTIFY_RANGE(wNotifyCode, id, idLast, memberFxn)                       \
    _AFX_ENTRY(WM_NOTIFY, (UINT)(wNotifyCode), (UINT)(id), (UINT)(idLast),        \
               _AFX_BIND(void (ThisClass::*)(UINT, NMHDR*, LRESULT*), memberFxn); \
               (p->*pfn)(c.nID, static_cast<NMHDR*>(c.pExtra), c.pResult); return TRUE;)
#define ON_NOTIFY_EX(wNotifyCode, id, memberFxn)                                  \
    _AFX_ENTRY(WM_NOTIFY, (UINT)(wNotifyCode), (UINT)(id), (UINT)(id),            \
               _AFX_BIND(BOOL (ThisClass::*)(UINT, NMHDR*, LRESULT*), memberFxn); \
               return (p->*pfn)(c.nID, static_cast<NMHDR*>(c.pExtra), c.pResult);)

// Reflected notifications, handled by the control itself.
#define ON_NOTIFY_REFLECT(wNotifyCode, memberFxn)                                 \
    _AFX_ENTRY(WM_REFLECT_BASE + WM_NOTIFY, (UINT)(wNotifyCode), 0, 0,            \
               _AFX_BIND(void (ThisClass::*)(NMHDR*, LRESULT*), memberFxn);       \
               (p->*pfn)(static_cast<NMHDR*>(c.pExtra), c.pResult); return TRUE;)
#define ON_NOTIFY_REFLECT_EX(wNotifyCode, memberFxn)                              \
    _AFX_ENTRY(WM_REFLECT_BASE + WM_NOTIFY, (UINT)(wNotifyCode), 0, 0,            \
               _AFX_BIND(BOOL (ThisClass::*)(NMHDR*, LRESULT*), memberFxn);       \
               return (p->*pfn)(static_cast<NMHDR*>(c.pExtra), c.pResult);)
#define ON_CONTROL_REFLECT(wNotifyCode, memberFxn)                                \
    _AFX_ENTRY(WM_REFLECT_BASE + WM_COMMAND, (UINT)(WORD)(wNotifyCode), 0, 0,     \
               _AFX_BIND(void (ThisClass::*)(), memberFxn); (p->*pfn)(); return TRUE;)
#define ON_CONTROL_REFLECT_EX(wNotifyCode, memberFxn)                             \
    _AFX_ENTRY(WM_REFLECT_BASE + WM_COMMAND, (UINT)(WORD)(wNotifyCode), 0, 0,     \
               _AFX_BIND(BOOL (ThisClass::*)(), memberFxn); return (p->*pfn)();)
#define ON_WM_CTLCOLOR_REFLECT()                                                  \
    _AFX_ENTRY(WM_REFLECT_BASE + WM_CTLCOLOR, 0, 0, 0,                            \
               _AFX_BIND(HBRUSH (ThisClass::*)(CDC*, UINT), CtlColor);            \
               HBRUSH hbr = (p->*pfn)(CDC::FromHandle((HDC)c.wParam), c.nCode);   \
               *c.pResult = (LRESULT)hbr; return hbr != NULL;)
#define ON_WM_DRAWITEM_REFLECT()                                                  \
    _AFX_ENTRY(WM_REFLECT_BASE + WM_DRAWITEM, 0, 0, 0,                            \
               _AFX_BIND(void (ThisClass::*)(LPDRAWITEMSTRUCT), DrawItem);        \
               (p->*pfn)((LPDRAWITEMSTRUCT)c.lParam); *c.pResult = TRUE; return TRUE;)
#define ON_WM_MEASUREITEM_REFLECT()                                               \
    _AFX_ENTRY(WM_REFLECT_BASE + WM_MEASUREITEM, 0, 0, 0,                         \
               _AFX_BIND(void (ThisClass::*)(LPMEASUREITEMSTRUCT), MeasureItem);  \
               (p->*pfn)((LPMEASUREITEMSTRUCT)c.lParam); *c.pResult = TRUE; return TRUE;)
#define ON_WM_DELETEITEM_REFLECT()                                                \
    _AFX_ENTRY(WM_REFLECT_BASE + WM_DELETEITEM, 0, 0, 0,                          \
               _AFX_BIND(void (ThisClass::*)(LPDELETEITEMSTRUCT), DeleteItem);    \
               (p->*pfn)((LPDELETEITEMSTRUCT)c.lParam); *c.pResult = TRUE; return TRUE;)
#define ON_WM_COMPAREITEM_REFLECT()                                               \
    _AFX_ENTRY(WM_REFLECT_BASE + WM_COMPAREITEM, 0, 0, 0,                         \
               _AFX_BIND(int (ThisClass::*)(LPCOMPAREITEMSTRUCT), CompareItem);   \
               *c.pResult = (p->*pfn)((LPCOMPAREITEMSTRUCT)c.lParam); return TRUE;)
#define ON_WM_HSCROLL_REFLECT()                                                   \
    _AFX_ENTRY(WM_REFLECT_BASE + WM_HSCROLL, 0, 0, 0,                             \
               _AFX_BIND(void (ThisClass::*)(UINT, UINT), HScroll);               \
               (p->*pfn)(LOWORD(c.wParam), HIWORD(c.wParam)); *c.pResult = 0; return TRUE;)
#define ON_WM_VSCROLL_REFLECT()                                                   \
    _AFX_ENTRY(WM_REFLECT_BASE + WM_VSCROLL, 0, 0, 0,                             \
               _AFX_BIND(void (ThisClass::*)(UINT, UINT), VScroll);               \
               (p->*pfn)(LOWORD(c.wParam), HIWORD(c.wParam)); *c.pResult = 0; return TRUE;)

// Control notification shorthands.
#define ON_BN_CLICKED(id, memberFxn) ON_CONTROL(BN_CLICKED, id, memberFxn)
#define ON_BN_DOUBLECLICKED(id, memberFxn) ON_CONTROL(BN_DOUBLECLICKED, id, memberFxn)
#define ON_EN_CHANGE(id, memberFxn) ON_CONTROL(EN_CHANGE, id, memberFxn)
#define ON_EN_KILLFOCUS(id, memberFxn) ON_CONTROL(EN_KILLFOCUS, id, memberFxn)
#define ON_EN_SETFOCUS(id, memberFxn) ON_CONTROL(EN_SETFOCUS, id, memberFxn)
#define ON_EN_UPDATE(id, memberFxn) ON_CONTROL(EN_UPDATE, id, memberFxn)
#define ON_CBN_SELCHANGE(id, memberFxn) ON_CONTROL(CBN_SELCHANGE, id, memberFxn)
#define ON_CBN_EDITCHANGE(id, memberFxn) ON_CONTROL(CBN_EDITCHANGE, id, memberFxn)
#define ON_CBN_SELENDOK(id, memberFxn) ON_CONTROL(CBN_SELENDOK, id, memberFxn)
#define ON_CBN_CLOSEUP(id, memberFxn) ON_CONTROL(CBN_CLOSEUP, id, memberFxn)
#define ON_CBN_DROPDOWN(id, memberFxn) ON_CONTROL(CBN_DROPDOWN, id, memberFxn)
#define ON_CBN_KILLFOCUS(id, memberFxn) ON_CONTROL(CBN_KILLFOCUS, id, memberFxn)
#define ON_LBN_SELCHANGE(id, memberFxn) ON_CONTROL(LBN_SELCHANGE, id, memberFxn)
#define ON_LBN_DBLCLK(id, memberFxn) ON_CONTROL(LBN_DBLCLK, id, memberFxn)
#define ON_STN_CLICKED(id, memberFxn) ON_CONTROL(STN_CLICKED, id, memberFxn)

// --- standard window messages ---------------------------------------------
#define ON_WM_CREATE() _AFX_WM_RESULT(WM_CREATE, OnCreate, int (ThisClass::*)(LPCREATESTRUCT), ((LPCREATESTRUCT)c.lParam))
#define ON_WM_NCCREATE() _AFX_WM_RESULT(WM_NCCREATE, OnNcCreate, BOOL (ThisClass::*)(LPCREATESTRUCT), ((LPCREATESTRUCT)c.lParam))
#define ON_WM_DESTROY() _AFX_WM_VOID(WM_DESTROY, OnDestroy, void (ThisClass::*)(), ())
#define ON_WM_NCDESTROY() _AFX_WM_VOID(WM_NCDESTROY, OnNcDestroy, void (ThisClass::*)(), ())
#define ON_WM_CLOSE() _AFX_WM_VOID(WM_CLOSE, OnClose, void (ThisClass::*)(), ())
#define ON_WM_PAINT() _AFX_WM_VOID(WM_PAINT, OnPaint, void (ThisClass::*)(), ())
#define ON_WM_NCPAINT() _AFX_WM_VOID(WM_NCPAINT, OnNcPaint, void (ThisClass::*)(), ())
#define ON_WM_ERASEBKGND() _AFX_WM_RESULT(WM_ERASEBKGND, OnEraseBkgnd, BOOL (ThisClass::*)(CDC*), (CDC::FromHandle((HDC)c.wParam)))
#define ON_WM_TIMER() _AFX_WM_VOID(WM_TIMER, OnTimer, void (ThisClass::*)(UINT_PTR), ((UINT_PTR)c.wParam))
#define ON_WM_SIZE() _AFX_WM_VOID(WM_SIZE, OnSize, void (ThisClass::*)(UINT, int, int), ((UINT)c.wParam, (short)LOWORD(c.lParam), (short)HIWORD(c.lParam)))
#define ON_WM_MOVE() _AFX_WM_VOID(WM_MOVE, OnMove, void (ThisClass::*)(int, int), ((short)LOWORD(c.lParam), (short)HIWORD(c.lParam)))
#define ON_WM_MOVING() _AFX_ENTRY(WM_MOVING, 0, 0, 0, _AFX_BIND(void (ThisClass::*)(UINT, LPRECT), OnMoving); (p->*pfn)((UINT)c.wParam, (LPRECT)c.lParam); *c.pResult = TRUE; return TRUE;)
#define ON_WM_SIZING() _AFX_ENTRY(WM_SIZING, 0, 0, 0, _AFX_BIND(void (ThisClass::*)(UINT, LPRECT), OnSizing); (p->*pfn)((UINT)c.wParam, (LPRECT)c.lParam); *c.pResult = TRUE; return TRUE;)
#define ON_WM_SHOWWINDOW() _AFX_WM_VOID(WM_SHOWWINDOW, OnShowWindow, void (ThisClass::*)(BOOL, UINT), ((BOOL)c.wParam, (UINT)c.lParam))
#define ON_WM_ACTIVATE() _AFX_WM_VOID(WM_ACTIVATE, OnActivate, void (ThisClass::*)(UINT, CWnd*, BOOL), (LOWORD(c.wParam), CWnd::FromHandle((HWND)c.lParam), (BOOL)HIWORD(c.wParam)))
#define ON_WM_ACTIVATEAPP() _AFX_WM_VOID(WM_ACTIVATEAPP, OnActivateApp, void (ThisClass::*)(BOOL, DWORD), ((BOOL)c.wParam, (DWORD)c.lParam))
#define ON_WM_MOUSEACTIVATE() _AFX_WM_RESULT(WM_MOUSEACTIVATE, OnMouseActivate, int (ThisClass::*)(CWnd*, UINT, UINT), (CWnd::FromHandle((HWND)c.wParam), LOWORD(c.lParam), HIWORD(c.lParam)))
#define ON_WM_SETFOCUS() _AFX_WM_VOID(WM_SETFOCUS, OnSetFocus, void (ThisClass::*)(CWnd*), (CWnd::FromHandle((HWND)c.wParam)))
#define ON_WM_KILLFOCUS() _AFX_WM_VOID(WM_KILLFOCUS, OnKillFocus, void (ThisClass::*)(CWnd*), (CWnd::FromHandle((HWND)c.wParam)))
#define ON_WM_ENABLE() _AFX_WM_VOID(WM_ENABLE, OnEnable, void (ThisClass::*)(BOOL), ((BOOL)c.wParam))
#define ON_WM_WINDOWPOSCHANGING() _AFX_WM_VOID(WM_WINDOWPOSCHANGING, OnWindowPosChanging, void (ThisClass::*)(WINDOWPOS*), ((WINDOWPOS*)c.lParam))
#define ON_WM_WINDOWPOSCHANGED() _AFX_WM_VOID(WM_WINDOWPOSCHANGED, OnWindowPosChanged, void (ThisClass::*)(WINDOWPOS*), ((WINDOWPOS*)c.lParam))
#define ON_WM_GETMINMAXINFO() _AFX_WM_VOID(WM_GETMINMAXINFO, OnGetMinMaxInfo, void (ThisClass::*)(MINMAXINFO*), ((MINMAXINFO*)c.lParam))
#define ON_WM_NCHITTEST() _AFX_WM_RESULT(WM_NCHITTEST, OnNcHitTest, LRESULT (ThisClass::*)(CPoint), (_AFX_PT(c.lParam)))
#define ON_WM_NCCALCSIZE() _AFX_WM_VOID(WM_NCCALCSIZE, OnNcCalcSize, void (ThisClass::*)(BOOL, NCCALCSIZE_PARAMS*), ((BOOL)c.wParam, (NCCALCSIZE_PARAMS*)c.lParam))
#define ON_WM_SETCURSOR() _AFX_WM_RESULT(WM_SETCURSOR, OnSetCursor, BOOL (ThisClass::*)(CWnd*, UINT, UINT), (CWnd::FromHandle((HWND)c.wParam), LOWORD(c.lParam), HIWORD(c.lParam)))
#define ON_WM_GETDLGCODE() _AFX_WM_RESULT(WM_GETDLGCODE, OnGetDlgCode, UINT (ThisClass::*)(), ())
#define ON_WM_CONTEXTMENU() _AFX_WM_VOID(WM_CONTEXTMENU, OnContextMenu, void (ThisClass::*)(CWnd*, CPoint), (CWnd::FromHandle((HWND)c.wParam), _AFX_PT(c.lParam)))
#define ON_WM_SYSCOMMAND() _AFX_WM_VOID(WM_SYSCOMMAND, OnSysCommand, void (ThisClass::*)(UINT, LPARAM), ((UINT)c.wParam, c.lParam))
#define ON_WM_TIMECHANGE() _AFX_WM_VOID(WM_TIMECHANGE, OnTimeChange, void (ThisClass::*)(), ())
#define ON_WM_SYSCOLORCHANGE() _AFX_WM_VOID(WM_SYSCOLORCHANGE, OnSysColorChange, void (ThisClass::*)(), ())
#define ON_WM_SETTINGCHANGE() _AFX_WM_VOID(WM_SETTINGCHANGE, OnSettingChange, void (ThisClass::*)(UINT, LPCSTR), ((UINT)c.wParam, (LPCSTR)c.lParam))
#define ON_WM_QUERYENDSESSION() _AFX_WM_RESULT(WM_QUERYENDSESSION, OnQueryEndSession, BOOL (ThisClass::*)(), ())
#define ON_WM_ENDSESSION() _AFX_WM_VOID(WM_ENDSESSION, OnEndSession, void (ThisClass::*)(BOOL), ((BOOL)c.wParam))
#define ON_WM_QUERYDRAGICON() _AFX_WM_RESULT(WM_QUERYDRAGICON, OnQueryDragIcon, HCURSOR (ThisClass::*)(), ())
#define ON_WM_DROPFILES() _AFX_WM_VOID(WM_DROPFILES, OnDropFiles, void (ThisClass::*)(HDROP), ((HDROP)c.wParam))
#define ON_WM_CAPTURECHANGED() _AFX_WM_VOID(WM_CAPTURECHANGED, OnCaptureChanged, void (ThisClass::*)(CWnd*), (CWnd::FromHandle((HWND)c.lParam)))
#define ON_WM_PARENTNOTIFY() _AFX_WM_VOID(WM_PARENTNOTIFY, OnParentNotify, void (ThisClass::*)(UINT, LPARAM), ((UINT)c.wParam, c.lParam))
#define ON_WM_HELPINFO() _AFX_WM_RESULT(WM_HELP, OnHelpInfo, BOOL (ThisClass::*)(HELPINFO*), ((HELPINFO*)c.lParam))
#define ON_WM_HOTKEY() _AFX_WM_VOID(WM_HOTKEY, OnHotKey, void (ThisClass::*)(UINT, UINT, UINT), ((UINT)c.wParam, LOWORD(c.lParam), HIWORD(c.lParam)))
#define ON_WM_MOUSELEAVE() _AFX_WM_VOID(WM_MOUSELEAVE, OnMouseLeave, void (ThisClass::*)(), ())
#define ON_WM_QUERYNEWPALETTE() _AFX_WM_RESULT(WM_QUERYNEWPALETTE, OnQueryNewPalette, BOOL (ThisClass::*)(), ())
#define ON_WM_PALETTECHANGED() _AFX_WM_VOID(WM_PALETTECHANGED, OnPaletteChanged, void (ThisClass::*)(CWnd*), (CWnd::FromHandle((HWND)c.wParam)))
#define ON_WM_FONTCHANGE() _AFX_WM_VOID(WM_FONTCHANGE, OnFontChange, void (ThisClass::*)(), ())

#define ON_WM_MOUSEMOVE() _AFX_WM_VOID(WM_MOUSEMOVE, OnMouseMove, void (ThisClass::*)(UINT, CPoint), ((UINT)c.wParam, _AFX_PT(c.lParam)))
#define ON_WM_LBUTTONDOWN() _AFX_WM_VOID(WM_LBUTTONDOWN, OnLButtonDown, void (ThisClass::*)(UINT, CPoint), ((UINT)c.wParam, _AFX_PT(c.lParam)))
#define ON_WM_LBUTTONUP() _AFX_WM_VOID(WM_LBUTTONUP, OnLButtonUp, void (ThisClass::*)(UINT, CPoint), ((UINT)c.wParam, _AFX_PT(c.lParam)))
#define ON_WM_LBUTTONDBLCLK() _AFX_WM_VOID(WM_LBUTTONDBLCLK, OnLButtonDblClk, void (ThisClass::*)(UINT, CPoint), ((UINT)c.wParam, _AFX_PT(c.lParam)))
#define ON_WM_RBUTTONDOWN() _AFX_WM_VOID(WM_RBUTTONDOWN, OnRButtonDown, void (ThisClass::*)(UINT, CPoint), ((UINT)c.wParam, _AFX_PT(c.lParam)))
#define ON_WM_RBUTTONUP() _AFX_WM_VOID(WM_RBUTTONUP, OnRButtonUp, void (ThisClass::*)(UINT, CPoint), ((UINT)c.wParam, _AFX_PT(c.lParam)))
#define ON_WM_RBUTTONDBLCLK() _AFX_WM_VOID(WM_RBUTTONDBLCLK, OnRButtonDblClk, void (ThisClass::*)(UINT, CPoint), ((UINT)c.wParam, _AFX_PT(c.lParam)))
#define ON_WM_MBUTTONDOWN() _AFX_WM_VOID(WM_MBUTTONDOWN, OnMButtonDown, void (ThisClass::*)(UINT, CPoint), ((UINT)c.wParam, _AFX_PT(c.lParam)))
#define ON_WM_MBUTTONUP() _AFX_WM_VOID(WM_MBUTTONUP, OnMButtonUp, void (ThisClass::*)(UINT, CPoint), ((UINT)c.wParam, _AFX_PT(c.lParam)))
#define ON_WM_MOUSEWHEEL() _AFX_WM_RESULT(WM_MOUSEWHEEL, OnMouseWheel, BOOL (ThisClass::*)(UINT, short, CPoint), (LOWORD(c.wParam), (short)HIWORD(c.wParam), _AFX_PT(c.lParam)))
#define ON_WM_NCLBUTTONDOWN() _AFX_WM_VOID(WM_NCLBUTTONDOWN, OnNcLButtonDown, void (ThisClass::*)(UINT, CPoint), ((UINT)c.wParam, _AFX_PT(c.lParam)))
#define ON_WM_NCLBUTTONUP() _AFX_WM_VOID(WM_NCLBUTTONUP, OnNcLButtonUp, void (ThisClass::*)(UINT, CPoint), ((UINT)c.wParam, _AFX_PT(c.lParam)))
#define ON_WM_NCLBUTTONDBLCLK() _AFX_WM_VOID(WM_NCLBUTTONDBLCLK, OnNcLButtonDblClk, void (ThisClass::*)(UINT, CPoint), ((UINT)c.wParam, _AFX_PT(c.lParam)))
#define ON_WM_NCRBUTTONDOWN() _AFX_WM_VOID(WM_NCRBUTTONDOWN, OnNcRButtonDown, void (ThisClass::*)(UINT, CPoint), ((UINT)c.wParam, _AFX_PT(c.lParam)))
#define ON_WM_NCMOUSEMOVE() _AFX_WM_VOID(WM_NCMOUSEMOVE, OnNcMouseMove, void (ThisClass::*)(UINT, CPoint), ((UINT)c.wParam, _AFX_PT(c.lParam)))
#define ON_WM_KEYDOWN() _AFX_WM_VOID(WM_KEYDOWN, OnKeyDown, void (ThisClass::*)(UINT, UINT, UINT), ((UINT)c.wParam, LOWORD(c.lParam), HIWORD(c.lParam)))
#define ON_WM_KEYUP() _AFX_WM_VOID(WM_KEYUP, OnKeyUp, void (ThisClass::*)(UINT, UINT, UINT), ((UINT)c.wParam, LOWORD(c.lParam), HIWORD(c.lParam)))
#define ON_WM_CHAR() _AFX_WM_VOID(WM_CHAR, OnChar, void (ThisClass::*)(UINT, UINT, UINT), ((UINT)c.wParam, LOWORD(c.lParam), HIWORD(c.lParam)))
#define ON_WM_SYSKEYDOWN() _AFX_WM_VOID(WM_SYSKEYDOWN, OnSysKeyDown, void (ThisClass::*)(UINT, UINT, UINT), ((UINT)c.wParam, LOWORD(c.lParam), HIWORD(c.lParam)))
#define ON_WM_SYSKEYUP() _AFX_WM_VOID(WM_SYSKEYUP, OnSysKeyUp, void (ThisClass::*)(UINT, UINT, UINT), ((UINT)c.wParam, LOWORD(c.lParam), HIWORD(c.lParam)))
#define ON_WM_HSCROLL() _AFX_WM_VOID(WM_HSCROLL, OnHScroll, void (ThisClass::*)(UINT, UINT, CScrollBar*), (LOWORD(c.wParam), HIWORD(c.wParam), (CScrollBar*)CWnd::FromHandle((HWND)c.lParam)))
#define ON_WM_VSCROLL() _AFX_WM_VOID(WM_VSCROLL, OnVScroll, void (ThisClass::*)(UINT, UINT, CScrollBar*), (LOWORD(c.wParam), HIWORD(c.wParam), (CScrollBar*)CWnd::FromHandle((HWND)c.lParam)))

#define ON_WM_INITMENUPOPUP() _AFX_WM_VOID(WM_INITMENUPOPUP, OnInitMenuPopup, void (ThisClass::*)(CMenu*, UINT, BOOL), (CMenu::FromHandle((HMENU)c.wParam), LOWORD(c.lParam), (BOOL)HIWORD(c.lParam)))
#define ON_WM_INITMENU() _AFX_WM_VOID(WM_INITMENU, OnInitMenu, void (ThisClass::*)(CMenu*), (CMenu::FromHandle((HMENU)c.wParam)))
#define ON_WM_MENUSELECT() _AFX_WM_VOID(WM_MENUSELECT, OnMenuSelect, void (ThisClass::*)(UINT, UINT, HMENU), (LOWORD(c.wParam), HIWORD(c.wParam), (HMENU)c.lParam))
#define ON_WM_MENUCHAR() _AFX_WM_RESULT(WM_MENUCHAR, OnMenuChar, LRESULT (ThisClass::*)(UINT, UINT, CMenu*), (LOWORD(c.wParam), HIWORD(c.wParam), CMenu::FromHandle((HMENU)c.lParam)))
#define ON_WM_ENTERMENULOOP() _AFX_WM_VOID(WM_ENTERMENULOOP, OnEnterMenuLoop, void (ThisClass::*)(BOOL), ((BOOL)c.wParam))
#define ON_WM_EXITMENULOOP() _AFX_WM_VOID(WM_EXITMENULOOP, OnExitMenuLoop, void (ThisClass::*)(BOOL), ((BOOL)c.wParam))

// Owner draw and control colours, as seen by the parent. The base CWnd
// handlers route menus to their CMenu and reflect everything else.
#define ON_WM_DRAWITEM() _AFX_ENTRY(WM_DRAWITEM, 0, 0, 0, _AFX_BIND(void (ThisClass::*)(int, LPDRAWITEMSTRUCT), OnDrawItem); (p->*pfn)((int)c.wParam, (LPDRAWITEMSTRUCT)c.lParam); *c.pResult = TRUE; return TRUE;)
#define ON_WM_MEASUREITEM() _AFX_ENTRY(WM_MEASUREITEM, 0, 0, 0, _AFX_BIND(void (ThisClass::*)(int, LPMEASUREITEMSTRUCT), OnMeasureItem); (p->*pfn)((int)c.wParam, (LPMEASUREITEMSTRUCT)c.lParam); *c.pResult = TRUE; return TRUE;)
#define ON_WM_DELETEITEM() _AFX_WM_VOID(WM_DELETEITEM, OnDeleteItem, void (ThisClass::*)(int, LPDELETEITEMSTRUCT), ((int)c.wParam, (LPDELETEITEMSTRUCT)c.lParam))
#define ON_WM_COMPAREITEM() _AFX_WM_RESULT(WM_COMPAREITEM, OnCompareItem, int (ThisClass::*)(int, LPCOMPAREITEMSTRUCT), ((int)c.wParam, (LPCOMPAREITEMSTRUCT)c.lParam))
#define ON_WM_CTLCOLOR() _AFX_WM_RESULT(WM_CTLCOLOR, OnCtlColor, HBRUSH (ThisClass::*)(CDC*, CWnd*, UINT), (CDC::FromHandle((HDC)c.wParam), CWnd::FromHandle((HWND)c.lParam), c.nCode))
