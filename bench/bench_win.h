// What the Windows benchmarks share: a millisecond clock and Windows paths for files named from Linux.
#pragma once

#include <windows.h>

#include <string>

inline double nowMs()
{
    LARGE_INTEGER frequency;
    LARGE_INTEGER counter;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&counter);
    return 1000.0 * counter.QuadPart / frequency.QuadPart;
}

// "/tmp/q.exe" as Wine's Z: drive sees it; a Windows path stays as it is.
inline std::string windowsPath(std::string path)
{
    if (!path.empty() && path[0] == '/')
        path = "Z:" + path;
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return path;
}
