// What the build's drawing tools share. The build names every file a tool
// draws, so that it remakes what embeds one in the run that redraws it; and a
// tool writes a file only when its bytes change, so that a run that draws the
// same picture again remakes nothing.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace drawing {

// The files the build named (argv[first..]) must be the ones the tool draws.
inline bool SameNames(const char* pszTool, const std::vector<std::string>& drawn, int argc, char** argv, int first)
{
    std::vector<std::string> named(argv + first, argv + argc);
    if (named == drawn)
        return true;
    std::string list;
    for (const std::string& name : drawn)
        list += " " + name;
    std::fprintf(stderr, "%s: the build names %d files, but they are not what it draws, in this order:%s\n", pszTool,
                 argc - first, list.c_str());
    return false;
}

// Writes through a file beside it, so a stopped build leaves no half picture.
inline bool WriteIfChanged(const std::string& path, const std::string& bytes)
{
    if (FILE* f = std::fopen(path.c_str(), "rb")) {
        std::string old;
        char buffer[65536];
        size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0)
            old.append(buffer, n);
        const bool bRead = !std::ferror(f);
        std::fclose(f);
        if (bRead && old == bytes)
            return true;
    }
    const std::string part = path + ".part";
    FILE* f = std::fopen(part.c_str(), "wb");
    if (f == nullptr)
        return false;
    const bool bWritten = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    if (std::fclose(f) != 0 || !bWritten || std::rename(part.c_str(), path.c_str()) != 0) {
        std::remove(part.c_str());
        return false;
    }
    return true;
}

} // namespace drawing
