// Owning and restoring wrappers for the GDI objects the picture class uses
// while it exchanges pixels with GDI. One owner each; moving is allowed.
#pragma once

#include <windows.h>

#include <utility>

class CPicGdiObject {
public:
    explicit CPicGdiObject(HGDIOBJ h = nullptr)
        : m_h(h)
    {
    }
    ~CPicGdiObject()
    {
        if (m_h)
            DeleteObject(m_h);
    }
    CPicGdiObject(const CPicGdiObject&) = delete;
    CPicGdiObject& operator=(const CPicGdiObject&) = delete;
    CPicGdiObject(CPicGdiObject&& o) noexcept
        : m_h(std::exchange(o.m_h, nullptr))
    {
    }
    HGDIOBJ Get() const { return m_h; }
    // Hands the object to a caller that owns it from now on.
    HGDIOBJ Release() { return std::exchange(m_h, nullptr); }

private:
    HGDIOBJ m_h;
};

class CPicMemoryDC {
public:
    explicit CPicMemoryDC(HDC compatibleWith)
        : m_h(CreateCompatibleDC(compatibleWith))
    {
    }
    ~CPicMemoryDC()
    {
        if (m_h)
            DeleteDC(m_h);
    }
    CPicMemoryDC(const CPicMemoryDC&) = delete;
    CPicMemoryDC& operator=(const CPicMemoryDC&) = delete;
    HDC Get() const { return m_h; }

private:
    HDC m_h;
};

// The screen's device context, borrowed and given back.
class CPicScreenDC {
public:
    CPicScreenDC()
        : m_h(GetDC(nullptr))
    {
    }
    ~CPicScreenDC()
    {
        if (m_h)
            ReleaseDC(nullptr, m_h);
    }
    CPicScreenDC(const CPicScreenDC&) = delete;
    CPicScreenDC& operator=(const CPicScreenDC&) = delete;
    HDC Get() const { return m_h; }

private:
    HDC m_h;
};

// Selects an object and puts the previous one back.
class CPicSelect {
public:
    CPicSelect(HDC dc, HGDIOBJ obj)
        : m_dc(dc)
        , m_old(obj ? SelectObject(dc, obj) : nullptr)
    {
    }
    ~CPicSelect()
    {
        if (m_old)
            SelectObject(m_dc, m_old);
    }
    CPicSelect(const CPicSelect&) = delete;
    CPicSelect& operator=(const CPicSelect&) = delete;

private:
    HDC m_dc;
    HGDIOBJ m_old;
};

// Everything drawing changes in a caller's context (colours, modes, the
// clipping region whatever its shape) comes back as it was.
class CPicSavedDC {
public:
    explicit CPicSavedDC(HDC dc)
        : m_dc(dc)
        , m_id(SaveDC(dc))
    {
    }
    ~CPicSavedDC()
    {
        if (m_id)
            RestoreDC(m_dc, m_id);
    }
    CPicSavedDC(const CPicSavedDC&) = delete;
    CPicSavedDC& operator=(const CPicSavedDC&) = delete;

private:
    HDC m_dc;
    int m_id;
};
