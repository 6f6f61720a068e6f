// Off-screen device contexts for flicker-free painting: draw into the memory
// context with the usual coordinates; the picture reaches the target when the
// object goes out of scope. On a printer the drawing goes straight through.
#pragma once

#include <windows.h>

#include "afx/afxgdi.h"
#include "afx/afxgeom.h"

class CMemDC : public CDC {
public:
    CMemDC(CDC* pTarget, const RECT* pArea);
    ~CMemDC() override;
    CMemDC(const CMemDC&) = delete;
    CMemDC& operator=(const CMemDC&) = delete;

    BOOL IsMemory() const { return m_bMemDC; }
    const CRect& GetArea() const { return m_rect; }

protected:
    CMemDC() = default;
    // Sets up the off-screen copy of m_rect, or borrows the printer's handles.
    void Begin(CDC* pTarget);
    void End();

    CBitmap m_bitmap;
    CBitmap* m_pOldBitmap = nullptr;
    CDC* m_pDC = nullptr;
    CRect m_rect;
    BOOL m_bMemDC = FALSE;
};

class CFillMemDC : public CMemDC {
public:
    // The target's clip box, nNarrowBy pixels narrower, filled with the
    // target's background colour.
    CFillMemDC(CDC* pTarget, int nNarrowBy);
    // The given area (the clip box when null), optionally starting from the
    // target's current pixels; no fill.
    CFillMemDC(CDC* pTarget, const RECT* pArea, BOOL bCopyBackground, BOOL bFlag);
    ~CFillMemDC() override;

protected:
    BOOL m_bFlag = FALSE;
};
