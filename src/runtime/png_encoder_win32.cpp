// PNG encoding in memory with the Windows Imaging Component.
#include "runtime/png_encoder.h"

#include "runtime/wic_codec.h"

#include <cstring>
#include <vector>

namespace {

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
    HRESULT hr = MakeWicFactory(&factory);
    if (FAILED(hr)) return WicFailure(error, "the Windows Imaging Component is not available", hr);
    hr = CreateStreamOnHGlobal(nullptr, TRUE, &stream);
    if (SUCCEEDED(hr)) hr = EncodeFrame(factory.p, stream.p, pixels);
    if (SUCCEEDED(hr)) hr = CopyOut(stream.p, sink);
    if (hr == E_OUTOFMEMORY) return WicFailure(error, "not enough memory to encode the PNG", hr);
    if (FAILED(hr)) return WicFailure(error, "cannot encode PNG", hr);
    return true;
}
