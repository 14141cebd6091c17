// PNG encoding in memory with the Windows Imaging Component.
#include "runtime/png_encoder.h"

#include "platform/win32_com.h"

#include <cstdio>
#include <cstring>
#include <vector>

namespace {

// Releases a COM interface when the scope ends.
template <typename T> struct Held {
    T* p = nullptr;
    ~Held() {
        if (p) p->Release();
    }
    T** operator&() { return &p; }
    T* operator->() const { return p; }
};

bool Fail(std::string* error, const char* what, HRESULT result) {
    char code[16];
    std::snprintf(code, sizeof code, "%08lX", static_cast<unsigned long>(result));
    *error = std::string(what) + " (error 0x" + code + ")";
    return false;
}

HRESULT EncodeFrame(IWICImagingFactory* factory, IStream* stream, const PngPixels& pixels) {
    Held<IWICBitmapEncoder> encoder;
    Held<IWICBitmapFrameEncode> frame;
    HRESULT hr = factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, &encoder);
    if (SUCCEEDED(hr)) hr = encoder->Initialize(stream, WICBitmapEncoderNoCache);
    if (SUCCEEDED(hr)) hr = encoder->CreateNewFrame(&frame, nullptr);
    if (SUCCEEDED(hr)) hr = frame->Initialize(nullptr);
    if (SUCCEEDED(hr)) hr = frame->SetSize(UINT(pixels.width), UINT(pixels.height));
    WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
    if (SUCCEEDED(hr)) hr = frame->SetPixelFormat(&format);
    if (SUCCEEDED(hr) && !IsEqualGUID(format, GUID_WICPixelFormat24bppBGR)) hr = E_FAIL;
    const UINT stride = UINT(pixels.width) * 3;
    std::vector<BYTE> row(stride);
    for (int y = 0; SUCCEEDED(hr) && y < pixels.height; ++y) {
        const std::uint8_t* in = pixels.rows + std::size_t(y) * pixels.pitch;
        for (int x = 0; x < pixels.width; ++x) std::memcpy(&row[3 * std::size_t(x)], in + 4 * x, 3);
        hr = frame->WritePixels(1, stride, stride, row.data());
    }
    if (SUCCEEDED(hr)) hr = frame->Commit();
    if (SUCCEEDED(hr)) hr = encoder->Commit();
    return hr;
}

// Hands the encoded file to sink straight from the stream's memory, without a copy.
HRESULT CopyOut(IStream* stream, const PngSink& sink) {
    STATSTG stat{};
    HRESULT hr = stream->Stat(&stat, STATFLAG_NONAME);
    if (FAILED(hr)) return hr;
    HGLOBAL memory = nullptr;
    hr = GetHGlobalFromStream(stream, &memory);
    if (FAILED(hr)) return hr;
    const void* data = GlobalLock(memory);
    if (!data) return E_OUTOFMEMORY;
    const bool written =
        sink(static_cast<const std::uint8_t*>(data), std::size_t(stat.cbSize.QuadPart));
    GlobalUnlock(memory);
    return written ? S_OK : E_FAIL;
}

} // namespace

bool EncodePngWithWic(const PngPixels& pixels, const PngSink& sink, std::string* error) {
    Held<IWICImagingFactory> factory;
    Held<IStream> stream;
    HRESULT hr = CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                  IID_IWICImagingFactory, reinterpret_cast<void**>(&factory));
    if (FAILED(hr)) return Fail(error, "the Windows Imaging Component is not available", hr);
    hr = CreateStreamOnHGlobal(nullptr, TRUE, &stream);
    if (SUCCEEDED(hr)) hr = EncodeFrame(factory.p, stream.p, pixels);
    if (SUCCEEDED(hr)) hr = CopyOut(stream.p, sink);
    if (hr == E_OUTOFMEMORY) return Fail(error, "not enough memory to encode the PNG", hr);
    if (FAILED(hr)) return Fail(error, "cannot encode PNG", hr);
    return true;
}
