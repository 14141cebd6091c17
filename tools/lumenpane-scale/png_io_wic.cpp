// Decoding PNG in memory with the Windows Imaging Component; encoding is the viewer's own
// (runtime/png_encoder.h), so the tool writes what the viewer's screenshots are.
#include "png_io.h"

#include "platform/win32_com.h"
#include "runtime/png_encoder.h"

#include <cstdio>

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

// COM for this thread, for as long as the codec runs.
struct ComScope {
    bool started = SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED));
    ~ComScope() {
        if (started) CoUninitialize();
    }
};

bool Fail(std::string* error, const char* what, HRESULT result) {
    char code[16];
    std::snprintf(code, sizeof code, "%08lX", static_cast<unsigned long>(result));
    *error = std::string(what) + " (error 0x" + code + ")";
    return false;
}

HRESULT MakeFactory(IWICImagingFactory** factory) {
    return CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                            IID_IWICImagingFactory, reinterpret_cast<void**>(factory));
}

// The first frame of the PNG held in bytes, converted to 32-bit BGR.
HRESULT OpenConverted(IWICImagingFactory* factory, const std::vector<std::uint8_t>& bytes,
                      IWICStream** stream, IWICBitmapDecoder** decoder,
                      IWICBitmapFrameDecode** frame, IWICFormatConverter** converter) {
    HRESULT hr = factory->CreateStream(stream);
    if (SUCCEEDED(hr))
        hr = (*stream)->InitializeFromMemory(const_cast<BYTE*>(bytes.data()), DWORD(bytes.size()));
    if (SUCCEEDED(hr)) hr = factory->CreateDecoder(GUID_ContainerFormatPng, nullptr, decoder);
    if (SUCCEEDED(hr)) hr = (*decoder)->Initialize(*stream, WICDecodeMetadataCacheOnLoad);
    if (SUCCEEDED(hr)) hr = (*decoder)->GetFrame(0, frame);
    if (SUCCEEDED(hr)) hr = factory->CreateFormatConverter(converter);
    if (SUCCEEDED(hr))
        hr = (*converter)
                 ->Initialize(*frame, GUID_WICPixelFormat32bppBGR, WICBitmapDitherTypeNone, nullptr,
                              0.0, WICBitmapPaletteTypeCustom);
    return hr;
}

} // namespace

bool DecodePng(const std::vector<std::uint8_t>& bytes, Picture* picture, std::string* error) {
    ComScope com;
    Held<IWICImagingFactory> factory;
    Held<IWICStream> stream;
    Held<IWICBitmapDecoder> decoder;
    Held<IWICBitmapFrameDecode> frame;
    Held<IWICFormatConverter> converter;
    HRESULT hr = MakeFactory(&factory);
    if (FAILED(hr)) return Fail(error, "the Windows Imaging Component is not available", hr);
    hr = OpenConverted(factory.p, bytes, &stream, &decoder, &frame, &converter);
    UINT width = 0, height = 0;
    if (SUCCEEDED(hr)) hr = converter->GetSize(&width, &height);
    if (hr == E_OUTOFMEMORY) return Fail(error, "not enough memory to decode the PNG", hr);
    if (FAILED(hr)) return Fail(error, "corrupt PNG", hr);
    if (width == 0 || height == 0 || width > MaxPictureSide || height > MaxPictureSide)
        return Fail(error, "corrupt PNG: unexpected picture size", E_FAIL);
    std::vector<std::uint32_t> pixels(std::size_t(width) * height);
    hr = converter->CopyPixels(nullptr, width * 4, UINT(pixels.size() * 4),
                               reinterpret_cast<BYTE*>(pixels.data()));
    if (hr == E_OUTOFMEMORY) return Fail(error, "not enough memory to decode the PNG", hr);
    if (FAILED(hr)) return Fail(error, "corrupt PNG", hr);
    for (std::uint32_t& p : pixels) p |= 0xFF000000u;
    picture->width = int(width);
    picture->height = int(height);
    picture->pixels.swap(pixels);
    return true;
}

bool EncodePng(const Picture& picture, const ByteSink& sink, std::string* error) {
    ComScope com;
    const PngPixels pixels{reinterpret_cast<const std::uint8_t*>(picture.pixels.data()),
                           picture.width, picture.height, std::size_t(picture.width) * 4};
    return EncodePngWithWic(pixels, sink, error);
}
