// The road to the screen: which one a setting and the first failing set-up step give, what
// follows each present and each attempt to make the device anew, the lines logged, and what
// the full meter's top line says, as one table.
#include "window/present_road.h"

#include "program/settings.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A present's outcome, or whether the device could be made anew.
enum class Event { Shown, Occluded, Lost, Failed, Remade, NotRemade };

struct RoadCase {
    const char* name;
    PresentSetting setting;
    FlipStep failed;
    std::vector<Event> events;
    TearingSetting tearing;
    bool tearingSupported, coversMonitor;
    // Expected: the actions after each event, the road at the end, the meter's top line, and
    // the words each logged line holds, in order.
    std::vector<FlipAction> actions;
    Road road;
    const char* meter;
    std::vector<const char*> logged;
};

using enum Event;
using A = FlipAction;
constexpr auto Off = TearingSetting::Off, Allow = TearingSetting::Allow;
constexpr auto Auto = PresentSetting::Auto, Gdi = PresentSetting::Gdi;

// One case a row.
// clang-format off
const RoadCase RoadCases[] = {
    {"gdi chosen", Gdi, FlipStep::Ready, {}, Off, 1, 1, {}, Road::Gdi, "GDI", {}},
    {"gdi chosen, step failing", Gdi, FlipStep::Device, {}, Allow, 1, 1, {}, Road::Gdi, "GDI", {}},
    {"auto, all set up", Auto, FlipStep::Ready, {Shown, Occluded, Shown}, Off, 1, 1, {A::None, A::None, A::None}, Road::Flip, "flip", {}},
    {"no dxgi", Auto, FlipStep::LoadDxgi, {}, Off, 0, 0, {}, Road::Gdi, "GDI", {"dxgi.dll"}},
    {"d3d11 refused", Auto, FlipStep::LoadD3d11, {Shown}, Off, 0, 0, {A::None}, Road::Gdi, "GDI", {"d3d11.dll"}},
    {"no device", Auto, FlipStep::Device, {}, Off, 0, 0, {}, Road::Gdi, "GDI", {"device"}},
    {"basic render driver", Auto, FlipStep::SoftwareAdapter, {}, Off, 0, 0, {}, Road::Gdi, "GDI", {"software"}},
    {"no flip factory", Auto, FlipStep::Factory, {}, Off, 0, 0, {}, Road::Gdi, "GDI", {"flip-model"}},
    {"no compiler", Auto, FlipStep::Compiler, {}, Off, 0, 0, {}, Road::Gdi, "GDI", {"d3dcompiler_47"}},
    {"shaders refused", Auto, FlipStep::Shaders, {}, Off, 0, 0, {}, Road::Gdi, "GDI", {"shaders"}},
    {"windows 7", Auto, FlipStep::SwapChain, {}, Off, 0, 0, {}, Road::Gdi, "GDI", {"swap chain"}},
    {"lost once, made anew", Auto, FlipStep::Ready, {Lost, Remade, Shown}, Off, 1, 1, {A::RecreateDevice, A::None, A::None}, Road::Flip, "flip", {"made anew"}},
    {"lost twice", Auto, FlipStep::Ready, {Lost, Remade, Lost}, Off, 1, 1, {A::RecreateDevice, A::None, A::MakeWindowAnew}, Road::Broken, "GDI", {"made anew", "again"}},
    {"lost, not made anew", Auto, FlipStep::Ready, {Lost, NotRemade, Shown}, Off, 1, 1, {A::RecreateDevice, A::MakeWindowAnew, A::None}, Road::Broken, "GDI", {"could not be made anew"}},
    {"a present fails", Auto, FlipStep::Ready, {Shown, Failed, Failed}, Off, 1, 1, {A::None, A::MakeWindowAnew, A::None}, Road::Broken, "GDI", {"present failed"}},
    {"tearing, covering", Auto, FlipStep::Ready, {Shown}, Allow, 1, 1, {A::None}, Road::Flip, "flip, tearing", {}},
    {"tearing, windowed", Auto, FlipStep::Ready, {Shown}, Allow, 1, 0, {A::None}, Road::Flip, "flip", {}},
    {"tearing unsupported", Auto, FlipStep::Ready, {Shown}, Allow, 0, 1, {A::None}, Road::Flip, "flip", {}},
    {"tearing off, covering", Auto, FlipStep::Ready, {Shown}, Off, 1, 1, {A::None}, Road::Flip, "flip", {}},
};
// clang-format on

PresentOutcome OutcomeOf(Event event) {
    switch (event) {
    case Occluded:
        return PresentOutcome::Occluded;
    case Lost:
        return PresentOutcome::DeviceLost;
    case Failed:
        return PresentOutcome::Failed;
    default:
        return PresentOutcome::Shown;
    }
}

TEST(PresentRoadTest, SettingFailuresAndPresentsGiveTheRoadTheLogAndTheMeter) {
    for (const RoadCase& c : RoadCases) {
        SCOPED_TRACE(c.name);
        PresentRoad road;
        std::vector<std::string> logged;
        auto log = [&] {
            if (const char* line = road.TakeLogLine()) logged.push_back(line);
        };
        road.Open(c.setting, c.failed);
        log();
        std::vector<FlipAction> actions;
        for (Event event : c.events) {
            if (event == Remade || event == NotRemade)
                actions.push_back(road.AfterRecreate(event == Remade));
            else
                actions.push_back(road.AfterPresent(OutcomeOf(event)));
            log();
        }
        const FlipPresentMode mode =
            ChooseFlipPresentMode(c.tearing, c.tearingSupported, c.coversMonitor);
        EXPECT_EQ(mode.syncInterval, mode.allowTearing ? 0u : 1u); // tearing needs interval 0
        EXPECT_EQ(actions, c.actions);
        EXPECT_EQ(road.road(), c.road);
        EXPECT_STREQ(road.Name(mode.allowTearing), c.meter);
        ASSERT_EQ(logged.size(), c.logged.size());
        for (std::size_t i = 0; i < logged.size(); ++i) {
            EXPECT_NE(logged[i].find(c.logged[i]), std::string::npos) << logged[i];
            EXPECT_EQ(logged[i].find("GDI") != std::string::npos,
                      std::string(c.logged[i]) != "made anew")
                << logged[i];
        }
    }
    PresentRoad broken;
    broken.Open(Auto, FlipStep::Ready);
    broken.AfterPresent(PresentOutcome::Failed);
    broken.WindowMadeAnew(); // GDI on the new window, nothing more to do after presents
    EXPECT_EQ(broken.AfterPresent(PresentOutcome::DeviceLost), FlipAction::None);
    EXPECT_STREQ(broken.Name(false), "GDI");
}

// lumenpane.ini: present=gdi however written, auto without the key; an unknown tearing value
// is off, named once.
TEST(PresentRoadTest, TheSettingsReadFromTheFile) {
    const auto read = [](const char*, const char* key, void*) -> std::string {
        return std::string(key) == "present" ? " GDI" : std::string(key) == "tearing" ? "vrr" : "";
    };
    std::vector<std::string> lines;
    const ViewerSettings settings = InterpretSettings(read, nullptr, {}, &lines);
    EXPECT_EQ(settings.present, PresentSetting::Gdi);
    EXPECT_EQ(settings.tearing, TearingSetting::Off);
    EXPECT_EQ(lines, std::vector<std::string>{
                         "lumenpane.ini: unknown tearing \"vrr\" in [display], using off"});
    EXPECT_EQ(InterpretSettings([](const char*, const char*, void*) { return std::string(); },
                                nullptr, {}, nullptr)
                  .present,
              PresentSetting::Auto);
}

} // namespace
