// The one owner of an icon the program made (LoadImage, ExtractIconEx);
// shared icons from LoadIcon are never put in one.
#pragma once

#include <windows.h>

class CIconHandle
{
public:
    CIconHandle() = default;
    explicit CIconHandle(HICON hIcon) : m_hIcon(hIcon) {}
    ~CIconHandle()
    {
        if (m_hIcon != nullptr)
            ::DestroyIcon(m_hIcon);
    }
    CIconHandle(const CIconHandle&) = delete;
    CIconHandle& operator=(const CIconHandle&) = delete;
    CIconHandle(CIconHandle&& other) noexcept : m_hIcon(other.m_hIcon) { other.m_hIcon = nullptr; }
    CIconHandle& operator=(CIconHandle&& other) noexcept
    {
        if (this != &other)
        {
            if (m_hIcon != nullptr)
                ::DestroyIcon(m_hIcon);
            m_hIcon = other.m_hIcon;
            other.m_hIcon = nullptr;
        }
        return *this;
    }

    HICON Get() const { return m_hIcon; }

private:
    HICON m_hIcon = nullptr;
};
