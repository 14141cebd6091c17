// The flip road to the screen (present_road.h): Direct3D 11 and a DXGI flip-model swap chain
// on the viewer's own window. d3d11.dll, dxgi.dll and d3dcompiler_47.dll are loaded at run
// time from the system folder. The presentation buffer's changed rows go into one texture
// made once (anew only when the frame's size changes); a pixel shader enlarges it, each
// screen pixel taking the frame pixel under its centre with whole-number arithmetic, so whole
// multiples and 1:1 give exactly what GDI gives. The sharp picture is uploaded as the CPU made
// it and drawn 1:1. The shader is compiled at run time (MinGW has no shader compiler): its
// integer arithmetic is exact on every adapter, where Direct2D's nearest-neighbour drawing
// leaves the mapping of pixel centres to its own rounding.
//
// Threads: the window thread alone, under the surface lock as the GDI presentation is.
#include "runtime/system_library.h"
#include "runtime/viewer_log.h"
#include "window/present_road.h"
#include "window/surface.h"
#include "window/surface_win32.h"

#include <d3d11.h>
#include <d3dcompiler.h>
#include <dxgi1_5.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <string>

namespace {

// The whole picture is drawn by one triangle over the viewport (the picture's rectangle);
// the back buffer is cleared to black first, which leaves the bars.
constexpr char ShaderSource[] = R"(
cbuffer Place : register(b0) { uint4 picture; uint4 source; };
Texture2D<float4> frame : register(t0);
float4 vs(uint id : SV_VertexID) : SV_Position {
    float2 p = float2((id << 1) & 2, id & 2);
    return float4(p * float2(2, -2) + float2(-1, 1), 0, 1);
}
float4 ps(float4 position : SV_Position) : SV_Target {
    uint2 d = uint2(position.xy) - picture.xy;
    uint2 t = ((2 * d + 1) * source.xy) / (2 * picture.zw);
    return float4(frame.Load(int3(t, 0)).rgb, 1);
}
)";

constexpr DXGI_FORMAT PixelFormat = DXGI_FORMAT_B8G8R8A8_UNORM; // 0x00RRGGBB in memory

template <typename T> void Release(T*& object) {
    if (object) object->Release();
    object = nullptr;
}

// A texture and its view, of the size it was made for.
struct SourceTexture {
    ID3D11Texture2D* texture = nullptr;
    ID3D11ShaderResourceView* view = nullptr;
    int width = 0, height = 0;
    void Free() {
        Release(view);
        Release(texture);
        width = height = 0;
    }
};

// Window thread only.
struct FlipRecord {
    PresentSetting setting = PresentSetting::Gdi;
    TearingSetting tearing = TearingSetting::Off;
    PresentRoad road;
    std::atomic<const char*> roadName{"GDI"}; // any thread may read it
    const char* setUpLine = nullptr;          // why the latest set-up chose GDI, logged
    bool setUpDue = false;                    // a new window: set up with its first picture

    HMODULE dxgi = nullptr, d3d11 = nullptr, compiler = nullptr;
    ID3D11Device* device = nullptr;
    ID3D11DeviceContext* context = nullptr;
    IDXGIFactory2* factory = nullptr;
    IDXGISwapChain1* swapChain = nullptr;
    ID3D11RenderTargetView* target = nullptr;
    ID3D11VertexShader* vertexShader = nullptr;
    ID3D11PixelShader* pixelShader = nullptr;
    ID3D11Buffer* place = nullptr;
    SourceTexture frame, sharp;
    HANDLE waitable = nullptr;
    UINT swapFlags = 0;
    bool tearingSupported = false;
    int bufferWidth = 0, bufferHeight = 0;
    UINT placed[8] = {};
    // Rows of the presentation buffer not yet in the source texture (-1: none): rows taken
    // while nothing was presented (minimised, occluded) go up with the next present, as the
    // buffer holds them and they are not taken again.
    int pendingFirst = -1, pendingEnd = -1;
};

FlipRecord Flip;

void LogLine(const char* line) {
    if (line) AppendViewerLog(line);
}

void FreeDevice() {
    if (Flip.context) Flip.context->ClearState();
    Flip.frame.Free();
    Flip.sharp.Free();
    Release(Flip.place);
    Release(Flip.pixelShader);
    Release(Flip.vertexShader);
    Release(Flip.target);
    Release(Flip.swapChain);
    Release(Flip.factory);
    Release(Flip.context);
    Release(Flip.device);
    Flip.waitable = nullptr; // closed with the swap chain's last reference
    Flip.bufferWidth = Flip.bufferHeight = 0;
    std::memset(Flip.placed, 0, sizeof Flip.placed);
    Flip.pendingFirst = Flip.pendingEnd = -1; // a new texture takes every row
}

bool SoftwareAdapter(IDXGIAdapter* adapter) {
    IDXGIAdapter1* adapter1 = nullptr;
    DXGI_ADAPTER_DESC1 desc{};
    const bool described = SUCCEEDED(adapter->QueryInterface(
                               __uuidof(IDXGIAdapter1), reinterpret_cast<void**>(&adapter1))) &&
                           SUCCEEDED(adapter1->GetDesc1(&desc));
    Release(adapter1);
    // Windows' basic render driver: vendor 0x1414, device 0x8c.
    return described && ((desc.Flags & DXGI_ADAPTER_FLAG_SOFTWARE) ||
                         (desc.VendorId == 0x1414 && desc.DeviceId == 0x8c));
}

FlipStep MakeDevice() {
    const auto create = ModuleFunction<PFN_D3D11_CREATE_DEVICE>(Flip.d3d11, "D3D11CreateDevice");
    const D3D_FEATURE_LEVEL levels[] = {D3D_FEATURE_LEVEL_11_0, D3D_FEATURE_LEVEL_10_1,
                                        D3D_FEATURE_LEVEL_10_0};
    if (!create ||
        FAILED(create(nullptr, D3D_DRIVER_TYPE_HARDWARE, nullptr, D3D11_CREATE_DEVICE_BGRA_SUPPORT,
                      levels, 3, D3D11_SDK_VERSION, &Flip.device, nullptr, &Flip.context)))
        return FlipStep::Device;
    IDXGIDevice1* dxgiDevice = nullptr;
    IDXGIAdapter* adapter = nullptr;
    FlipStep failed = FlipStep::Factory;
    if (SUCCEEDED(Flip.device->QueryInterface(__uuidof(IDXGIDevice1),
                                              reinterpret_cast<void**>(&dxgiDevice))) &&
        SUCCEEDED(dxgiDevice->GetAdapter(&adapter))) {
        dxgiDevice->SetMaximumFrameLatency(1);
        if (SoftwareAdapter(adapter))
            failed = FlipStep::SoftwareAdapter;
        else if (SUCCEEDED(adapter->GetParent(__uuidof(IDXGIFactory2),
                                              reinterpret_cast<void**>(&Flip.factory))))
            failed = FlipStep::Ready;
    }
    Release(adapter);
    Release(dxgiDevice);
    return failed;
}

void CheckTearing() {
    IDXGIFactory5* factory5 = nullptr;
    BOOL allowed = FALSE;
    if (SUCCEEDED(Flip.factory->QueryInterface(__uuidof(IDXGIFactory5),
                                               reinterpret_cast<void**>(&factory5))))
        factory5->CheckFeatureSupport(DXGI_FEATURE_PRESENT_ALLOW_TEARING, &allowed, sizeof allowed);
    Release(factory5);
    Flip.tearingSupported = allowed != FALSE;
}

// Compiled once a process (the surface opens anew when the frame's size changes), with the
// compiler kept loaded for the blobs it made.
ID3DBlob* VertexCode = nullptr;
ID3DBlob* PixelCode = nullptr;

// The compiler's own words, for a player's report: its first lines, on one log line.
void LogCompilerErrors(const char* entry, ID3DBlob* errors) {
    const char* text = static_cast<const char*>(errors->GetBufferPointer());
    const std::size_t size = strnlen(text, errors->GetBufferSize());
    std::string line = std::string("present: the compiler refused the shader ") + entry + ": ";
    for (std::size_t i = 0; i < size && i < 400; ++i)
        line += text[i] == '\n' || text[i] == '\r' ? ' ' : text[i];
    AppendViewerLog(line.c_str());
}

ID3DBlob* Compile(pD3DCompile compile, const char* entry, const char* target) {
    ID3DBlob* code = nullptr;
    ID3DBlob* errors = nullptr;
    compile(ShaderSource, sizeof ShaderSource - 1, "present", nullptr, nullptr, entry, target,
            D3DCOMPILE_OPTIMIZATION_LEVEL3, 0, &code, &errors);
    if (!code && errors) LogCompilerErrors(entry, errors);
    Release(errors);
    return code;
}

FlipStep MakeShaders() {
    const auto compile = ModuleFunction<pD3DCompile>(Flip.compiler, "D3DCompile");
    if (!compile) return FlipStep::Compiler;
    if (!VertexCode) VertexCode = Compile(compile, "vs", "vs_4_0");
    if (!PixelCode) PixelCode = Compile(compile, "ps", "ps_4_0");
    ID3DBlob* vertex = VertexCode;
    ID3DBlob* pixel = PixelCode;
    D3D11_BUFFER_DESC placeDesc{};
    placeDesc.ByteWidth = sizeof Flip.placed;
    placeDesc.Usage = D3D11_USAGE_DEFAULT;
    placeDesc.BindFlags = D3D11_BIND_CONSTANT_BUFFER;
    const bool made =
        vertex && pixel &&
        SUCCEEDED(Flip.device->CreateVertexShader(
            vertex->GetBufferPointer(), vertex->GetBufferSize(), nullptr, &Flip.vertexShader)) &&
        SUCCEEDED(Flip.device->CreatePixelShader(pixel->GetBufferPointer(), pixel->GetBufferSize(),
                                                 nullptr, &Flip.pixelShader)) &&
        SUCCEEDED(Flip.device->CreateBuffer(&placeDesc, nullptr, &Flip.place));
    return made ? FlipStep::Ready : FlipStep::Shaders;
}

SIZE ClientSize(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    return SIZE{client.right - client.left, client.bottom - client.top};
}

bool MakeTarget() {
    ID3D11Texture2D* buffer = nullptr;
    const bool made = SUCCEEDED(Flip.swapChain->GetBuffer(0, __uuidof(ID3D11Texture2D),
                                                          reinterpret_cast<void**>(&buffer))) &&
                      SUCCEEDED(Flip.device->CreateRenderTargetView(buffer, nullptr, &Flip.target));
    Release(buffer);
    return made;
}

// FLIP_DISCARD from Windows 10, FLIP_SEQUENTIAL on 8 and 8.1 (which refuse the former);
// Windows 7 refuses both. Two buffers of the client area's size.
FlipStep MakeSwapChain(HWND window) {
    const SIZE size = ClientSize(window);
    DXGI_SWAP_CHAIN_DESC1 desc{};
    desc.Width = UINT(size.cx > 0 ? size.cx : 1);
    desc.Height = UINT(size.cy > 0 ? size.cy : 1);
    desc.Format = PixelFormat;
    desc.SampleDesc.Count = 1;
    desc.BufferUsage = DXGI_USAGE_RENDER_TARGET_OUTPUT;
    desc.BufferCount = 2;
    desc.Flags = DXGI_SWAP_CHAIN_FLAG_FRAME_LATENCY_WAITABLE_OBJECT;
    if (Flip.tearing == TearingSetting::Allow && Flip.tearingSupported)
        desc.Flags |= DXGI_SWAP_CHAIN_FLAG_ALLOW_TEARING;
    for (DXGI_SWAP_EFFECT effect :
         {DXGI_SWAP_EFFECT_FLIP_DISCARD, DXGI_SWAP_EFFECT_FLIP_SEQUENTIAL}) {
        desc.SwapEffect = effect;
        if (SUCCEEDED(Flip.factory->CreateSwapChainForHwnd(Flip.device, window, &desc, nullptr,
                                                           nullptr, &Flip.swapChain)))
            break;
    }
    if (!Flip.swapChain) return FlipStep::SwapChain;
    Flip.swapFlags = desc.Flags;
    Flip.bufferWidth = int(desc.Width);
    Flip.bufferHeight = int(desc.Height);
    Flip.factory->MakeWindowAssociation(window, DXGI_MWA_NO_ALT_ENTER | DXGI_MWA_NO_WINDOW_CHANGES);
    IDXGISwapChain2* swapChain2 = nullptr;
    if (SUCCEEDED(Flip.swapChain->QueryInterface(__uuidof(IDXGISwapChain2),
                                                 reinterpret_cast<void**>(&swapChain2)))) {
        swapChain2->SetMaximumFrameLatency(1);
        Flip.waitable = swapChain2->GetFrameLatencyWaitableObject();
    }
    Release(swapChain2);
    return MakeTarget() ? FlipStep::Ready : FlipStep::SwapChain;
}

FlipStep MakeDeviceAndSwapChain(HWND window) {
    FlipStep step = MakeDevice();
    if (step == FlipStep::Ready) CheckTearing();
    if (step == FlipStep::Ready) step = MakeShaders();
    if (step == FlipStep::Ready) step = MakeSwapChain(window);
    if (step != FlipStep::Ready) FreeDevice();
    return step;
}

// The libraries stay loaded once the flip road worked (the compiler for the blobs it made).
FlipStep SetUp(HWND window) {
    if (!Flip.dxgi && !(Flip.dxgi = LoadSystemLibrary("dxgi.dll"))) return FlipStep::LoadDxgi;
    if (!Flip.d3d11 && !(Flip.d3d11 = LoadSystemLibrary("d3d11.dll"))) return FlipStep::LoadD3d11;
    if (!Flip.compiler && !(Flip.compiler = LoadSystemLibrary("d3dcompiler_47.dll")))
        return FlipStep::Compiler;
    return MakeDeviceAndSwapChain(window);
}

void FreeLibraries() {
    Release(VertexCode);
    Release(PixelCode);
    for (HMODULE* module : {&Flip.compiler, &Flip.d3d11, &Flip.dxgi}) {
        if (*module) FreeLibrary(*module);
        *module = nullptr;
    }
}

// The texture for a source of this size, made anew only when the size changed; true when it
// was (made) and everything in it must be uploaded.
bool FitTexture(SourceTexture& source, int width, int height, bool* fresh) {
    *fresh = false;
    if (source.texture && source.width == width && source.height == height) return true;
    source.Free();
    D3D11_TEXTURE2D_DESC desc{};
    desc.Width = UINT(width);
    desc.Height = UINT(height);
    desc.MipLevels = desc.ArraySize = 1;
    desc.Format = PixelFormat;
    desc.SampleDesc.Count = 1;
    desc.Usage = D3D11_USAGE_DEFAULT;
    desc.BindFlags = D3D11_BIND_SHADER_RESOURCE;
    if (FAILED(Flip.device->CreateTexture2D(&desc, nullptr, &source.texture)) ||
        FAILED(Flip.device->CreateShaderResourceView(source.texture, nullptr, &source.view))) {
        source.Free();
        return false;
    }
    source.width = width;
    source.height = height;
    *fresh = true;
    return true;
}

void UploadRows(SourceTexture& source, const std::uint32_t* pixels, int firstRow, int endRow) {
    if (firstRow < 0 || endRow <= firstRow) return;
    const D3D11_BOX rows{0, UINT(firstRow), 0, UINT(source.width), UINT(endRow), 1};
    Flip.context->UpdateSubresource(source.texture, 0, &rows,
                                    pixels + std::size_t(firstRow) * source.width,
                                    UINT(source.width) * 4, 0);
}

void NoteRowsToUpload(int firstRow, int endRow) {
    if (firstRow < 0 || endRow <= firstRow) return;
    const bool none = Flip.pendingFirst < 0;
    Flip.pendingFirst = none ? firstRow : std::min(Flip.pendingFirst, firstRow);
    Flip.pendingEnd = none ? endRow : std::max(Flip.pendingEnd, endRow);
}

// The source to draw, with the rows still to upload: the sharp picture where it is made for
// this picture, else the frame.
SourceTexture* UploadSource(const FitRect& picture) {
    bool fresh = false;
    const int firstRow = Flip.pendingFirst, endRow = Flip.pendingEnd;
    Flip.pendingFirst = Flip.pendingEnd = -1;
    if (Win.sharpPixels && picture.width == Win.sharp.width && picture.height == Win.sharp.height) {
        if (!FitTexture(Flip.sharp, picture.width, picture.height, &fresh)) return nullptr;
        if (firstRow >= 0 || fresh) UploadRows(Flip.sharp, Win.sharpPixels, 0, picture.height);
        return &Flip.sharp;
    }
    if (!FitTexture(Flip.frame, Win.frameWidth, Win.frameHeight, &fresh)) return nullptr;
    UploadRows(Flip.frame, Win.pixels, fresh ? 0 : firstRow, fresh ? Win.frameHeight : endRow);
    return &Flip.frame;
}

HRESULT FitBuffers(const SIZE& size) {
    if (size.cx == Flip.bufferWidth && size.cy == Flip.bufferHeight) return S_OK;
    Flip.context->OMSetRenderTargets(0, nullptr, nullptr);
    Release(Flip.target);
    const HRESULT result =
        Flip.swapChain->ResizeBuffers(0, UINT(size.cx), UINT(size.cy), PixelFormat, Flip.swapFlags);
    if (FAILED(result)) return result;
    Flip.bufferWidth = size.cx;
    Flip.bufferHeight = size.cy;
    return MakeTarget() ? S_OK : E_FAIL;
}

void Draw(const FitRect& picture, SourceTexture* source) {
    const float black[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    Flip.context->OMSetRenderTargets(1, &Flip.target, nullptr);
    Flip.context->ClearRenderTargetView(Flip.target, black);
    if (!source || picture.width <= 0 || picture.height <= 0) return;
    const UINT placed[8] = {UINT(picture.x),      UINT(picture.y),     UINT(picture.width),
                            UINT(picture.height), UINT(source->width), UINT(source->height)};
    if (std::memcmp(placed, Flip.placed, sizeof placed) != 0) {
        std::memcpy(Flip.placed, placed, sizeof placed);
        Flip.context->UpdateSubresource(Flip.place, 0, nullptr, placed, 0, 0);
    }
    const D3D11_VIEWPORT viewport{float(picture.x),
                                  float(picture.y),
                                  float(picture.width),
                                  float(picture.height),
                                  0.0f,
                                  1.0f};
    Flip.context->RSSetViewports(1, &viewport);
    Flip.context->IASetPrimitiveTopology(D3D11_PRIMITIVE_TOPOLOGY_TRIANGLELIST);
    Flip.context->VSSetShader(Flip.vertexShader, nullptr, 0);
    Flip.context->PSSetShader(Flip.pixelShader, nullptr, 0);
    Flip.context->PSSetShaderResources(0, 1, &source->view);
    Flip.context->PSSetConstantBuffers(0, 1, &Flip.place);
    Flip.context->Draw(3, 0);
}

bool CoversMonitor(HWND window) {
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    RECT rect{};
    return GetWindowRect(window, &rect) &&
           GetMonitorInfoA(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor) &&
           EqualRect(&rect, &monitor.rcMonitor);
}

PresentOutcome OutcomeOf(HRESULT result) {
    if (result == DXGI_STATUS_OCCLUDED) return PresentOutcome::Occluded;
    if (result == DXGI_ERROR_DEVICE_REMOVED || result == DXGI_ERROR_DEVICE_RESET)
        return PresentOutcome::DeviceLost;
    return SUCCEEDED(result) ? PresentOutcome::Shown : PresentOutcome::Failed;
}

// While occluded only a test present asks whether the window shows again.
PresentOutcome PresentOnce(HWND window, int firstRow, int endRow) {
    NoteRowsToUpload(firstRow, endRow);
    const SIZE size = ClientSize(window);
    if (size.cx <= 0 || size.cy <= 0) return PresentOutcome::Shown; // minimised: nothing
    if (Flip.road.occluded() &&
        Flip.swapChain->Present(0, DXGI_PRESENT_TEST) == DXGI_STATUS_OCCLUDED)
        return PresentOutcome::Occluded;
    const HRESULT fitted = FitBuffers(size);
    if (FAILED(fitted)) return OutcomeOf(fitted);
    // At most a refresh or so: a present never holds the window's messages back longer.
    if (Flip.waitable) WaitForSingleObjectEx(Flip.waitable, 20, FALSE);
    const FitRect picture =
        FitFrame(Win.fit.load(), size.cx, size.cy, Win.frameWidth, Win.frameHeight);
    Draw(picture, UploadSource(picture));
    const FlipPresentMode mode =
        ChooseFlipPresentMode(Flip.tearing, Flip.tearingSupported, CoversMonitor(window));
    Flip.roadName = Flip.road.Name(mode.allowTearing);
    return OutcomeOf(Flip.swapChain->Present(mode.syncInterval,
                                             mode.allowTearing ? DXGI_PRESENT_ALLOW_TEARING : 0));
}

struct SetUpWork {
    HWND window;
    FlipStep step;
};

// The set-up, and a first frame drawn and presented in black, which makes the driver ready
// its shaders.
DWORD WINAPI SetUpThread(LPVOID parameter) {
    auto* work = static_cast<SetUpWork*>(parameter);
    work->step = SetUp(work->window);
    if (work->step == FlipStep::Ready) {
        Draw(FitRect{}, nullptr);
        Flip.swapChain->Present(0, 0);
    }
    return 0;
}

// Making the device, compiling the shaders and the first present take a while (under Wine
// most of a second): meanwhile the window thread goes on answering its window's messages, so
// that Windows takes its keys in time. (Each message takes the surface lock itself where it
// needs it.)
FlipStep SetUpAnsweringMessages(HWND window) {
    SetUpWork work{window, FlipStep::Device};
    HANDLE thread = CreateThread(nullptr, 0, SetUpThread, &work, 0, nullptr);
    if (!thread) return SetUp(window);
    for (;;) {
        const DWORD waited = MsgWaitForMultipleObjects(1, &thread, FALSE, INFINITE, WindowWakeMask);
        if (waited == WAIT_OBJECT_0) break;
        if (waited == WAIT_FAILED) { // never a spin: the set-up's end without the messages
            WaitForSingleObject(thread, INFINITE);
            break;
        }
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    CloseHandle(thread);
    return work.step;
}

void Announce() {
    LogLine(Flip.road.TakeLogLine());
    if (Flip.road.road() != Road::Flip) Flip.roadName = "GDI";
}

} // namespace

void SetSurfacePresentation(PresentSetting setting, TearingSetting tearing) {
    Flip.setting = setting;
    Flip.tearing = tearing;
}

const char* SurfacePresentRoad() {
    return Flip.setting == PresentSetting::Gdi ? "" : Flip.roadName.load();
}

void SetUpFlipWithFirstPicture() {
    Flip.setUpDue = true;
}

bool SetUpFlipPresentation(HWND window) {
    if (!Flip.setUpDue) return Flip.road.road() == Road::Flip;
    Flip.setUpDue = false;
    const FlipStep step =
        Flip.setting == PresentSetting::Gdi ? FlipStep::Ready : SetUpAnsweringMessages(window);
    Flip.road.Open(Flip.setting, step);
    if (Flip.road.road() != Road::Flip) FreeLibraries();
    Flip.roadName = Flip.road.road() == Road::Flip ? "flip" : "GDI";
    // The surface opens again when the frame's size changes: the same reason is logged once.
    const char* line = Flip.road.TakeLogLine();
    if (line != Flip.setUpLine) LogLine(line);
    Flip.setUpLine = line;
    return Flip.road.road() == Road::Flip;
}

bool FlipPresentationActive() {
    return Flip.road.road() != Road::Gdi;
}

void PresentFlip(HWND window, int firstRow, int endRow) {
    if (Flip.road.road() != Road::Flip) return; // broken: the window is made anew next
    FlipAction action = Flip.road.AfterPresent(PresentOnce(window, firstRow, endRow));
    if (action == FlipAction::RecreateDevice) {
        FreeDevice();
        const bool made = MakeDeviceAndSwapChain(window) == FlipStep::Ready;
        action = Flip.road.AfterRecreate(made);
        if (made) PresentOnce(window, 0, Win.frameHeight);
    }
    Announce();
}

bool FlipWantsNewWindow() {
    return Flip.road.road() == Road::Broken;
}

void TearDownFlipPresentation() {
    Flip.setUpDue = false;
    FreeDevice();
    Flip.road.WindowMadeAnew();
    Flip.roadName = "GDI";
}
