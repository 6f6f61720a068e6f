// Hand-built configuration bytes for the tests: written field by field from
// the file's layout table, independently of the product's own field list.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class CTestBytes
{
public:
    CTestBytes& U8(uint8_t b)
    {
        m_data.push_back(b);
        return *this;
    }
    CTestBytes& U16(uint16_t w)
    {
        U8(static_cast<uint8_t>(w & 0xFF));
        return U8(static_cast<uint8_t>(w >> 8));
    }
    CTestBytes& U32(uint32_t dw)
    {
        for (int i = 0; i < 4; i++)
            U8(static_cast<uint8_t>((dw >> (8 * i)) & 0xFF));
        return *this;
    }
    CTestBytes& I32(int32_t n) { return U32(static_cast<uint32_t>(n)); }
    CTestBytes& Str(const std::string& s)
    {
        if (s.size() < 255)
            U8(static_cast<uint8_t>(s.size()));
        else if (s.size() < 65534)
            U8(0xFF).U16(static_cast<uint16_t>(s.size()));
        else
            U8(0xFF).U16(0xFFFF).U32(static_cast<uint32_t>(s.size()));
        m_data.insert(m_data.end(), s.begin(), s.end());
        return *this;
    }
    CTestBytes& HotKey(uint16_t vk, uint16_t mods, uint32_t reserved) { return U16(vk).U16(mods).U32(reserved); }

    const std::vector<uint8_t>& Data() const { return m_data; }
    size_t Size() const { return m_data.size(); }

private:
    std::vector<uint8_t> m_data;
};

inline uint32_t ReadU32(const std::vector<uint8_t>& data, size_t nOffset)
{
    return static_cast<uint32_t>(data.at(nOffset)) | (static_cast<uint32_t>(data.at(nOffset + 1)) << 8) |
           (static_cast<uint32_t>(data.at(nOffset + 2)) << 16) | (static_cast<uint32_t>(data.at(nOffset + 3)) << 24);
}
