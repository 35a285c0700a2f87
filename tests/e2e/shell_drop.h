#pragma once
// The drop the shell hands a window that takes files: the files after a DROPFILES header,
// each ended by a NUL and the list by another, in movable global memory that the receiver
// frees with DragFinish. For the test tools that deliver drops; include it after
// <windows.h> and <shellapi.h>.

#include <algorithm>
#include <string>
#include <vector>

inline HGLOBAL ShellDrop(POINT client_point, const std::vector<std::wstring>& files) {
    std::wstring list;
    for (const std::wstring& file : files) list += file + L'\0';
    list += L'\0';
    HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + list.size() * sizeof(wchar_t));
    auto* header = memory ? static_cast<DROPFILES*>(GlobalLock(memory)) : nullptr;
    if (!header) {
        if (memory) GlobalFree(memory);
        return nullptr;
    }
    header->pFiles = sizeof(DROPFILES);
    header->pt = client_point;
    header->fNC = FALSE;
    header->fWide = TRUE;
    std::copy(list.begin(), list.end(), reinterpret_cast<wchar_t*>(header + 1));
    GlobalUnlock(memory);
    return memory;
}
