// --list: a bench prints the labels of the lines that carry its figures, one a
// line, and measures nothing, so that a test finds each in the README's table
// (tools/benchtable.py).
#pragma once

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

// True, after printing the labels, when --list was given.
inline bool BenchList(int argc, char** argv, const std::vector<const char*>& names)
{
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--list") == 0) {
            for (const char* name : names)
                std::printf("%s\n", name);
            return true;
        }
    return false;
}

// "name:" padded to `width`, so that the figures after it stand in a column.
inline std::string BenchLabel(const char* name, size_t width)
{
    std::string label = std::string(name) + ":";
    if (label.size() < width)
        label.resize(width, ' ');
    return label;
}
