// Graphics functions of the simulated desktop: device contexts and DIB sections are counted
// so tests can prove that nothing leaks, and PrintWindow draws the window's picture.
#include "sim_desktop.h"

#include <algorithm>
#include <cstring>

namespace {

HGDIOBJ NewObject(SimGdiObject object) {
    static std::uintptr_t next = 0x9000;
    HGDIOBJ handle = reinterpret_cast<HGDIOBJ>(next += 8);
    Sim.gdiObjects[handle] = std::move(object);
    ++Sim.gdiObjectsMade;
    return handle;
}

SimGdiObject* Find(const void* handle) {
    auto it = Sim.gdiObjects.find(reinterpret_cast<HGDIOBJ>(const_cast<void*>(handle)));
    return it == Sim.gdiObjects.end() ? nullptr : &it->second;
}

} // namespace

HDC CreateDCA(LPCSTR, LPCSTR, LPCSTR, const void*) {
    Sim.calls.push_back("CreateDCA");
    SimGdiObject dc;
    dc.isDc = true;
    return reinterpret_cast<HDC>(NewObject(dc));
}

HDC CreateCompatibleDC(HDC) {
    Sim.calls.push_back("CreateCompatibleDC");
    SimGdiObject dc;
    dc.isDc = true;
    return reinterpret_cast<HDC>(NewObject(dc));
}

HBITMAP CreateDIBSection(HDC, const BITMAPINFO* info, UINT, void** bits, HANDLE, DWORD) {
    Sim.calls.push_back("CreateDIBSection");
    if (Sim.failCreateDibSection) return nullptr;
    const BITMAPINFOHEADER& h = info->bmiHeader;
    if (h.biWidth <= 0 || h.biHeight == 0 || h.biBitCount != 32) return nullptr;
    SimGdiObject bitmap;
    bitmap.width = h.biWidth;
    bitmap.height = h.biHeight < 0 ? -h.biHeight : h.biHeight;
    bitmap.bits.assign(std::size_t(bitmap.width) * bitmap.height, 0); // a fresh DIB is black
    HGDIOBJ handle = NewObject(std::move(bitmap));
    *bits = Sim.gdiObjects[handle].bits.data();
    return handle;
}

// A DC starts with a stock 1x1 bitmap; this stands in for it.
HGDIOBJ const StockBitmap = reinterpret_cast<HGDIOBJ>(std::uintptr_t(0x1));

HGDIOBJ SelectObject(HDC dc, HGDIOBJ object) {
    SimGdiObject* context = Find(dc);
    SimGdiObject* selected = Find(object);
    if (!context || !context->isDc || (!selected && object != StockBitmap)) return nullptr;
    HGDIOBJ previous = context->selected;
    if (SimGdiObject* old = Find(previous)) old->selectedSomewhere = false;
    context->selected = selected ? object : nullptr;
    if (selected) selected->selectedSomewhere = true;
    return previous ? previous : StockBitmap;
}

BOOL DeleteDC(HDC dc) {
    SimGdiObject* context = Find(dc);
    if (!context || !context->isDc) return FALSE;
    if (SimGdiObject* selected = Find(context->selected)) selected->selectedSomewhere = false;
    Sim.gdiObjects.erase(reinterpret_cast<HGDIOBJ>(dc));
    ++Sim.gdiObjectsDeleted;
    return TRUE;
}

BOOL DeleteObject(HGDIOBJ object) {
    SimGdiObject* target = Find(object);
    // As on Windows: a bitmap still selected into a DC is not deleted.
    if (!target || target->isDc || target->selectedSomewhere) return FALSE;
    Sim.gdiObjects.erase(object);
    ++Sim.gdiObjectsDeleted;
    return TRUE;
}

BOOL PrintWindow(HWND window, HDC dc, UINT) {
    Sim.calls.push_back("PrintWindow");
    SimWaitForAnswer(window);
    if (auto hung = Sim.windows.find(window); hung != Sim.windows.end())
        if (hung->second.printHungUntilMs > Sim.clockMs)
            SimAdvance(hung->second.printHungUntilMs - Sim.clockMs);
    auto w = Sim.windows.find(window);
    SimGdiObject* context = Find(dc);
    if (w == Sim.windows.end() || !context) return FALSE;
    if (!w->second.printResult) return FALSE;
    if (w->second.paint) w->second.paint(w->second);
    SimGdiObject* bitmap = Find(context->selected);
    const auto& picture = w->second.picture;
    if (!bitmap || picture.empty()) return w->second.printResult;
    const int width = w->second.rect.right - w->second.rect.left;
    const int height = w->second.rect.bottom - w->second.rect.top;
    const int rows = std::min(height, bitmap->height);
    const int columns = std::min(width, bitmap->width);
    for (int y = 0; y < rows; ++y)
        std::memcpy(&bitmap->bits[std::size_t(y) * bitmap->width], &picture[std::size_t(y) * width],
                    std::size_t(columns) * 4);
    return w->second.printResult;
}
