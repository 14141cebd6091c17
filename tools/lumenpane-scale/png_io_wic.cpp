// Decoding PNG in memory with the Windows Imaging Component; encoding is the viewer's own
// (runtime/png_encoder.h), so the tool writes what the viewer's screenshots are.
#include "png_io.h"

#include "runtime/png_encoder.h"
#include "runtime/wic_codec.h"

#include <cstdio>

namespace {

// COM for this thread, for as long as the codec runs.
struct ComScope {
    bool started = SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED));
    ~ComScope() {
        if (started) CoUninitialize();
    }
};

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
    HRESULT hr = MakeWicFactory(&factory);
    if (FAILED(hr)) return WicFailure(error, "the Windows Imaging Component is not available", hr);
    hr = OpenConverted(factory.p, bytes, &stream, &decoder, &frame, &converter);
    UINT width = 0, height = 0;
    if (SUCCEEDED(hr)) hr = converter->GetSize(&width, &height);
    if (hr == E_OUTOFMEMORY) return WicFailure(error, "not enough memory to decode the PNG", hr);
    if (FAILED(hr)) return WicFailure(error, "corrupt PNG", hr);
    if (width == 0 || height == 0 || width > MaxPictureSide || height > MaxPictureSide)
        return WicFailure(error, "corrupt PNG: unexpected picture size", E_FAIL);
    std::vector<std::uint32_t> pixels(std::size_t(width) * height);
    hr = converter->CopyPixels(nullptr, width * 4, UINT(pixels.size() * 4),
                               reinterpret_cast<BYTE*>(pixels.data()));
    if (hr == E_OUTOFMEMORY) return WicFailure(error, "not enough memory to decode the PNG", hr);
    if (FAILED(hr)) return WicFailure(error, "corrupt PNG", hr);
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
