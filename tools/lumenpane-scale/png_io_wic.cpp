// Decoding and encoding PNG in memory with the Windows Imaging Component.
#include "png_io.h"

#include "platform/win32.h"

#include <objbase.h>
#include <wincodec.h>

#include <cstring>

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

namespace {

HRESULT EncodeFrame(IWICImagingFactory* factory, IStream* stream, const Picture& picture) {
    Held<IWICBitmapEncoder> encoder;
    Held<IWICBitmapFrameEncode> frame;
    HRESULT hr = factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, &encoder);
    if (SUCCEEDED(hr)) hr = encoder->Initialize(stream, WICBitmapEncoderNoCache);
    if (SUCCEEDED(hr)) hr = encoder->CreateNewFrame(&frame, nullptr);
    if (SUCCEEDED(hr)) hr = frame->Initialize(nullptr);
    if (SUCCEEDED(hr)) hr = frame->SetSize(UINT(picture.width), UINT(picture.height));
    WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
    if (SUCCEEDED(hr)) hr = frame->SetPixelFormat(&format);
    if (SUCCEEDED(hr) && !IsEqualGUID(format, GUID_WICPixelFormat24bppBGR)) hr = E_FAIL;
    const UINT stride = UINT(picture.width) * 3;
    std::vector<BYTE> row(stride);
    for (int y = 0; SUCCEEDED(hr) && y < picture.height; ++y) {
        const std::uint32_t* in = picture.pixels.data() + std::size_t(y) * picture.width;
        for (int x = 0; x < picture.width; ++x) std::memcpy(&row[3 * std::size_t(x)], &in[x], 3);
        hr = frame->WritePixels(1, stride, stride, row.data());
    }
    if (SUCCEEDED(hr)) hr = frame->Commit();
    if (SUCCEEDED(hr)) hr = encoder->Commit();
    return hr;
}

// Hands the encoded file to sink straight from the stream's memory, without a copy.
HRESULT CopyOut(IStream* stream, const ByteSink& sink) {
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

bool EncodePng(const Picture& picture, const ByteSink& sink, std::string* error) {
    ComScope com;
    Held<IWICImagingFactory> factory;
    Held<IStream> stream;
    HRESULT hr = MakeFactory(&factory);
    if (FAILED(hr)) return Fail(error, "the Windows Imaging Component is not available", hr);
    hr = CreateStreamOnHGlobal(nullptr, TRUE, &stream);
    if (SUCCEEDED(hr)) hr = EncodeFrame(factory.p, stream.p, picture);
    if (SUCCEEDED(hr)) hr = CopyOut(stream.p, sink);
    if (hr == E_OUTOFMEMORY) return Fail(error, "not enough memory to encode the PNG", hr);
    if (FAILED(hr)) return Fail(error, "cannot encode PNG", hr);
    return true;
}
