#include "controls/memdc.h"

CMemDC::CMemDC(CDC* pTarget, const RECT* pArea) {
    if (pArea != nullptr)
        m_rect = *pArea;
    Begin(pTarget);
}

CMemDC::~CMemDC() { End(); }

void CMemDC::Begin(CDC* pTarget) {
    m_pDC = pTarget;
    m_bMemDC = !pTarget->IsPrinting();
    if (!m_bMemDC) {
        // Borrowed, never released here: End() forgets them before ~CDC runs.
        m_hDC = pTarget->m_hDC;
        m_hAttribDC = pTarget->m_hAttribDC;
        m_bPrinting = pTarget->m_bPrinting;
        return;
    }
    CreateCompatibleDC(pTarget);
    m_bitmap.CreateCompatibleBitmap(pTarget, m_rect.Width(), m_rect.Height());
    m_pOldBitmap = SelectObject(&m_bitmap);
    SetWindowOrg(m_rect.left, m_rect.top);
}

void CMemDC::End() {
    if (m_pDC == nullptr)
        return;
    if (m_bMemDC) {
        m_pDC->BitBlt(m_rect.left, m_rect.top, m_rect.Width(), m_rect.Height(), this, m_rect.left, m_rect.top,
                      SRCCOPY);
        if (m_pOldBitmap != nullptr)
            SelectObject(m_pOldBitmap);
        DeleteDC();
        m_bitmap.DeleteObject();
    } else {
        m_hDC = m_hAttribDC = nullptr;
    }
    m_pDC = nullptr;
}

CFillMemDC::CFillMemDC(CDC* pTarget, int nNarrowBy) {
    if (!pTarget->IsPrinting()) {
        pTarget->GetClipBox(&m_rect);
        m_rect.right -= nNarrowBy;
        if (m_rect.right < m_rect.left)
            m_rect.right = m_rect.left;
    } else {
        // A printer has no useful clip box here: fill what the page shows.
        pTarget->GetClipBox(&m_rect);
    }
    Begin(pTarget);
    FillSolidRect(&m_rect, ::GetBkColor(pTarget->m_hAttribDC));
}

CFillMemDC::CFillMemDC(CDC* pTarget, const RECT* pArea, BOOL bCopyBackground, BOOL bFlag) : m_bFlag(bFlag) {
    if (pArea != nullptr)
        m_rect = *pArea;
    else
        pTarget->GetClipBox(&m_rect);
    Begin(pTarget);
    if (m_bMemDC && bCopyBackground)
        BitBlt(m_rect.left, m_rect.top, m_rect.Width(), m_rect.Height(), pTarget, m_rect.left, m_rect.top, SRCCOPY);
}

CFillMemDC::~CFillMemDC() { End(); }
