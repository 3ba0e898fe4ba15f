// Prints how long a user waits for the preview: from the hotkey's key-down to the filtered
// picture on the screen, watched on one pixel of a test window, for the first preview after
// the program started and for warm ones, at 1024x768, 1920x1080 and 3840x2160. Beside it,
// from the program's own timeline, when each step ended, and the time of one whole-screen
// read on this machine. Several builds are run in turn within each round, so that their
// figures come from the same machine state. Run it under Wine with scripts/bench.sh.
//
// With --soak N, the last build then makes N previews in one run at 1024x768 and prints its
// memory after 10 and after N: it must stay flat.
//
//   latency_bench.exe [--rounds N] [--warm N] [--soak N] NAME=PROGRAM.EXE [NAME=PROGRAM.EXE ...]

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <windows.h>

#include "bench/bench_program.h"
#include "bench/bench_timing.h"
#include "app/timeline.h"
#include "res/resource.h"
#include "settings/settings_store.h"

namespace {

const char kPreviewClass[] = "previewwnd.wndclass.prismolenteer.morvask";
const COLORREF kTestColor = RGB(255, 0, 0);  // shown grey through the first enabled filter

struct Size {
    int width, height;
};
const Size kSizes[] = {{1024, 768}, {1920, 1080}, {3840, 2160}};

const char* const kStepNames[kPreviewStepCount] = {"trigger", "capture", "filter", "paint",
                                                   "panel"};

void PressKey(WORD key)
{
    INPUT inputs[2] = {};
    inputs[0].type = inputs[1].type = INPUT_KEYBOARD;
    inputs[0].ki.wVk = inputs[1].ki.wVk = key;
    inputs[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, inputs, sizeof(INPUT));
}

bool HotkeyTaken(UINT key)
{
    return !RegisterHotKey(nullptr, 9, 0, key) || !UnregisterHotKey(nullptr, 9);
}

// Red all over, under whatever the program shows.
HWND ShowTestWindow()
{
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hbrBackground = CreateSolidBrush(kTestColor);
    windowClass.lpszClassName = "latency.test";
    RegisterClassA(&windowClass);
    return CreateWindowExA(0, "latency.test", "", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10, nullptr,
                           nullptr, nullptr, nullptr);
}

bool SetDisplaySize(Size size, HWND testWindow)
{
    DEVMODEA mode{};
    mode.dmSize = sizeof mode;
    mode.dmPelsWidth = size.width;
    mode.dmPelsHeight = size.height;
    mode.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT;
    if (ChangeDisplaySettingsA(&mode, 0) != DISP_CHANGE_SUCCESSFUL)
        return false;
    SetWindowPos(testWindow, HWND_TOP, 0, 0, size.width, size.height, SWP_SHOWWINDOW);
    PumpFor(300);
    return GetSystemMetrics(SM_CXSCREEN) == size.width;
}

// One read of the whole screen, as a capture makes it: into a 24-bit image.
double ScreenReadMs(Size size)
{
    BITMAPINFOHEADER header = {sizeof header, size.width, size.height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HDC screen = GetDC(nullptr), memory = CreateCompatibleDC(screen);
    HBITMAP image = CreateDIBSection(screen, reinterpret_cast<BITMAPINFO*>(&header),
                                     DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ previous = SelectObject(memory, image);
    std::vector<double> times;
    for (int i = 0; i < 9; ++i) {
        const uint32_t start = PreviewClockMicroseconds();
        BitBlt(memory, 0, 0, size.width, size.height, screen, 0, 0, SRCCOPY);
        GdiFlush();
        times.push_back((PreviewClockMicroseconds() - start) / 1000.0);
    }
    SelectObject(memory, previous);
    DeleteObject(image);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return Median(times);
}

// What one build gave at one size.
struct Figures {
    std::vector<double> first, warm;
    std::vector<double> steps[kPreviewStepCount];  // ms after the key, warm previews
    std::vector<double> handOver;  // from the end of the paint to the pixels on the screen
    int escapesLost = 0;  // an Esc pressed the moment the picture showed, and the preview stayed
};

struct Program : BenchProgram {
    std::string name, path;
    UINT timelineMsg = RegisterWindowMessageA(kPreviewTimelineMessage);

    // The hotkey is looked at only once start-up is over: a look registers it for a moment,
    // and could take it from under the program's own registration.
    bool Start()
    {
        return Launch(path) && WaitFor([] { return HotkeyTaken(VK_F11); }, 60000);
    }

    uint32_t StepTime(int step)
    {
        DWORD_PTR time = 0;
        SendMessageTimeoutA(frame, timelineMsg, step, 0, SMTO_ABORTIFHUNG, 1000, &time);
        return static_cast<uint32_t>(time);
    }

    // One preview: milliseconds from the key-down to the first pixel that is no longer the
    // test colour, or a negative number when none changed.
    double Preview(Size size, Figures& figures, bool first)
    {
        HDC screen = GetDC(nullptr);
        const int x = size.width * 3 / 4, y = size.height * 3 / 4;  // away from the panel
        WaitFor([&] { return GetPixel(screen, x, y) == kTestColor; }, 5000);
        const uint32_t keyDown = PreviewClockMicroseconds();
        PressKey(VK_F11);
        uint32_t shown = 0;
        while (PreviewClockMicroseconds() - keyDown < 10000000) {
            if (GetPixel(screen, x, y) != kTestColor) {
                shown = PreviewClockMicroseconds();
                break;
            }
        }
        // As a user would who saw enough: Esc the moment the picture shows, panel or not.
        PressKey(VK_ESCAPE);
        ReleaseDC(nullptr, screen);
        if (shown == 0)
            return -1;
        const double ms = (shown - keyDown) / 1000.0;
        (first ? figures.first : figures.warm).push_back(ms);
        if (!WaitFor([] { return FindWindowA(kPreviewClass, nullptr) == nullptr; }, 3000)) {
            ++figures.escapesLost;
            PressKey(VK_ESCAPE);
            WaitFor([] { return FindWindowA(kPreviewClass, nullptr) == nullptr; }, 5000);
        }
        for (int step = 0; step < kPreviewStepCount && !first; ++step)
            if (const uint32_t time = StepTime(step))
                figures.steps[step].push_back(static_cast<int32_t>(time - keyDown) / 1000.0);
        if (const uint32_t painted = StepTime(kPreviewPainted); painted && !first)
            figures.handOver.push_back(static_cast<int32_t>(shown - painted) / 1000.0);
        return ms;
    }
};

}  // namespace

int main(int argc, char** argv)
{
    int rounds = 5, warm = 6, soak = 0;
    std::vector<Program> programs;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--rounds") == 0 && i + 1 < argc)
            rounds = std::max(1, std::atoi(argv[++i]));
        else if (std::strcmp(argv[i], "--warm") == 0 && i + 1 < argc)
            warm = std::max(1, std::atoi(argv[++i]));
        else if (std::strcmp(argv[i], "--soak") == 0 && i + 1 < argc)
            soak = std::max(10, std::atoi(argv[++i]));
        else if (const char* equals = std::strchr(argv[i], '=')) {
            Program program;
            program.name.assign(argv[i], static_cast<size_t>(equals - argv[i]));
            program.path = equals + 1;
            programs.push_back(program);
        }
    }
    if (programs.empty()) {
        std::fprintf(stderr, "usage: latency_bench [--rounds N] [--warm N] NAME=PROGRAM.EXE ...\n");
        return 1;
    }

    // The first enabled filter turns the red test window grey; no splash to wait for.
    RegDeleteTreeA(HKEY_CURRENT_USER, kSettingsKey);
    RegWriteDword(kSettingsKey, "NoSplash", 1);
    RegWriteString(kSettingsKey, "EnableFilters", "_grayscale,_normal");
    HWND testWindow = ShowTestWindow();

    std::printf("%d rounds of one first and %d warm previews per build and size; medians.\n",
                rounds, warm);
    for (const Size size : kSizes) {
        if (!SetDisplaySize(size, testWindow)) {
            std::printf("\n%dx%d: the display could not be switched to this size\n", size.width, size.height);
            continue;
        }
        std::vector<Figures> figures(programs.size());
        for (int round = 0; round < rounds; ++round) {
            for (size_t p = 0; p < programs.size(); ++p) {
                Program& program = programs[p];
                if (!program.Start()) {
                    std::printf("%s did not start\n", program.path.c_str());
                    return 2;
                }
                PumpFor(300);
                program.Preview(size, figures[p], true);
                for (int w = 0; w < warm; ++w) {
                    PumpFor(150);
                    program.Preview(size, figures[p], false);
                }
                program.Exit();
            }
        }
        const double read = ScreenReadMs(size);
        std::printf("\n%dx%d: one whole-screen read %.1f ms\n", size.width, size.height, read);
        std::printf("  %-8s %8s %8s %7s   step ends, ms after the key (warm)\n", "build",
                    "first", "warm", "reads");
        for (size_t p = 0; p < programs.size(); ++p) {
            const Figures& f = figures[p];
            std::printf("  %-8s %8.1f %8.1f %7.2f  ", programs[p].name.c_str(), Median(f.first),
                        Median(f.warm), Median(f.warm) / read);
            for (int step = 0; step < kPreviewStepCount; ++step)
                if (!f.steps[step].empty())
                    std::printf(" %s %.1f", kStepNames[step], Median(f.steps[step]));
            if (!f.handOver.empty())
                std::printf(" hand-over %.1f", Median(f.handOver));
            std::printf("\n");
            if (f.escapesLost > 0)
                std::printf("  %-8s an Esc the moment the picture showed was lost %d times\n",
                            programs[p].name.c_str(), f.escapesLost);
        }
        for (size_t p = 1; p < programs.size(); ++p)
            std::printf("  %s / %s, warm: %.2f (goal at most 0.67)\n", programs[p].name.c_str(),
                        programs.front().name.c_str(),
                        Median(figures[p].warm) / Median(figures.front().warm));
        const Figures& last = figures.back();
        std::printf("  %s: first preview %.1f ms slower than a warm one (goal at most 25)\n",
                    programs.back().name.c_str(), Median(last.first) - Median(last.warm));
    }
    if (soak > 0 && SetDisplaySize(kSizes[0], testWindow)) {
        Program& program = programs.back();
        Figures figures;
        program.Start();
        std::pair<unsigned, unsigned> after10;
        for (int i = 1; i <= soak; ++i) {
            program.Preview(kSizes[0], figures, false);
            if (i == 10)
                after10 = program.Memory();
        }
        const std::pair<unsigned, unsigned> afterAll = program.Memory();
        std::printf("\n%s, %d previews at 1024x768: working set %u KB after 10, %u KB after %d; "
                    "private bytes %u KB, %u KB\n", program.name.c_str(), soak, after10.first,
                    afterAll.first, soak, after10.second, afterAll.second);
        program.Exit();
    }
    ChangeDisplaySettingsA(nullptr, 0);
    RegDeleteTreeA(HKEY_CURRENT_USER, kSettingsKey);
    DestroyWindow(testWindow);
    return 0;
}
