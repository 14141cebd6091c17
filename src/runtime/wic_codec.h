// What the PNG encoder and lumenpane-scale's decoder share around the Windows Imaging
// Component: a COM interface released with its scope, the codec's factory, and a failure told
// with its error code. Windows only.
#pragma once

#include "platform/win32_com.h"

#include <cstdio>
#include <string>

// Releases a COM interface when the scope ends.
template <typename T> struct Held {
    T* p = nullptr;
    ~Held() {
        if (p) p->Release();
    }
    T** operator&() { return &p; }
    T* operator->() const { return p; }
};

inline HRESULT MakeWicFactory(IWICImagingFactory** factory) {
    return CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                            IID_IWICImagingFactory, reinterpret_cast<void**>(factory));
}

// Sets *error to `what` and the codec's error code; returns false.
inline bool WicFailure(std::string* error, const char* what, HRESULT result) {
    char code[16];
    std::snprintf(code, sizeof code, "%08lX", static_cast<unsigned long>(result));
    *error = std::string(what) + " (error 0x" + code + ")";
    return false;
}
