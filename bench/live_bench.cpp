// Prints how the live view keeps up with the screen, at areas of 320x240, 640x480 and
// 1280x720 around the pointer: pictures shown per second while the area keeps changing; the
// time from a change on the screen to the live window showing it (median and 95th
// percentile), while the screen is busy and for the first change after a still second; and
// the processor time the program takes while nothing changes. With --soak MINUTES it then
// keeps the 640x480 area changing that long and prints the program's memory after one
// minute and at the end: it must stay flat. Run it under Wine with scripts/bench.sh live.
//
//   live_bench.exe [--seconds N] [--changes N] [--soak MINUTES] PROGRAM.EXE

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <windows.h>

#include "bench/bench_program.h"
#include "bench/bench_timing.h"
#include "res/resource.h"
#include "settings/settings_store.h"

namespace {

const char kLiveViewClass[] = "liveview.wndclass.prismolenteer.morvask";
const char kFramesMessage[] = "frames.liveview.prismolenteer.morvask";

struct Size {
    int width, height;
};
const Size kSizes[] = {{320, 240}, {640, 480}, {1280, 720}};
const int kGap = 64;  // between the changing area and the live window

// Shown through the grey filter: the two are told apart at a glance, black and white.
const COLORREF kDark = RGB(0, 0, 0), kLight = RGB(255, 255, 255);

void Pump()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageA(&msg);
}

// The area the live view looks at: a window of the benchmark whose colour it changes.
struct Pattern {
    HWND window = nullptr;
    unsigned step = 0;

    void Show(Size size)
    {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.lpszClassName = "live.bench.pattern";
        RegisterClassA(&windowClass);
        window = CreateWindowExA(0, windowClass.lpszClassName, "", WS_POPUP | WS_VISIBLE, 0, 0,
                                 size.width + kGap / 2, size.height + kGap / 2, nullptr, nullptr,
                                 nullptr, nullptr);
        Fill(kDark);
    }

    void Fill(COLORREF colour)
    {
        RECT client{};
        GetClientRect(window, &client);
        HDC dc = GetDC(window);
        HBRUSH brush = CreateSolidBrush(colour);
        FillRect(dc, &client, brush);
        DeleteObject(brush);
        ReleaseDC(window, dc);
        GdiFlush();
    }

    // A new picture every call: stripes whose place moves, so that every pixel row differs.
    void Change()
    {
        RECT client{};
        GetClientRect(window, &client);
        HDC dc = GetDC(window);
        ++step;
        for (LONG x = 0; x < client.right; x += 16) {
            const RECT stripe = {x, 0, x + 16, client.bottom};
            const BYTE level = static_cast<BYTE>((x / 16 + step) * 37);
            HBRUSH brush = CreateSolidBrush(RGB(level, 255 - level, level / 2));
            FillRect(dc, &stripe, brush);
            DeleteObject(brush);
        }
        ReleaseDC(window, dc);
        GdiFlush();
    }

    POINT Middle() const
    {
        RECT rect{};
        GetWindowRect(window, &rect);
        return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    }
};

struct Program : BenchProgram {
    HWND live = nullptr;
    UINT framesMsg = RegisterWindowMessageA(kFramesMessage);

    bool Start(const std::string& path)
    {
        if (!Launch(path))
            return false;
        FindUnixProcess();
        return true;
    }

    // Opens the live view from the tray menu's item, its client area `size`, right of the
    // pattern.
    bool OpenLiveView(Size size)
    {
        PostMessageA(frame, WM_COMMAND, IDM_LIVE_VIEW, 0);
        if (!WaitFor([&] { return (live = FindWindowA(kLiveViewClass, nullptr)) != nullptr; }, 10000))
            return false;
        RECT window{}, client{};
        GetWindowRect(live, &window);
        GetClientRect(live, &client);
        const int frameWidth = (window.right - window.left) - client.right;
        const int frameHeight = (window.bottom - window.top) - client.bottom;
        SetWindowPos(live, nullptr, size.width + kGap, 0, size.width + frameWidth,
                     size.height + frameHeight, SWP_NOZORDER | SWP_NOACTIVATE);
        PumpFor(300);
        GetClientRect(live, &client);
        return client.right == size.width && client.bottom == size.height;
    }

    void CloseLiveView()
    {
        PostMessageA(frame, WM_COMMAND, IDM_LIVE_VIEW, 0);
        WaitFor([] { return FindWindowA(kLiveViewClass, nullptr) == nullptr; }, 5000);
    }

    unsigned FramesShown()
    {
        DWORD_PTR frames = 0;
        SendMessageTimeoutA(live, framesMsg, 0, 0, SMTO_ABORTIFHUNG, 1000, &frames);
        return static_cast<unsigned>(frames);
    }

    // The processor time the program has taken, in ms.
    double CpuMs()
    {
        if (!unixStat.empty())
            return UnixCpuMs();
        FILETIME created, exited, kernel, user;
        GetProcessTimes(process.hProcess, &created, &exited, &kernel, &user);
        const auto ms = [](FILETIME t) {
            return (static_cast<double>(t.dwHighDateTime) * 4294967296.0 + t.dwLowDateTime) / 10000.0;
        };
        return ms(kernel) + ms(user);
    }

    // Wine counts no processor time of another process. Under Wine the program is a Linux
    // process whose /proc entry Wine shows on drive Z: that entry is read instead: the newest
    // process of the program's name (Linux keeps its first 15 characters).
    std::string unixStat;

    void FindUnixProcess()
    {
        WIN32_FIND_DATAA found;
        HANDLE find = FindFirstFileA("Z:\\proc\\*", &found);
        if (find == INVALID_HANDLE_VALUE)
            return;
        long newest = 0;
        do {
            const long pid = std::atol(found.cFileName);
            if (pid <= newest)
                continue;
            const std::string path = std::string("Z:\\proc\\") + found.cFileName + "\\stat";
            if (ReadUnixStat(path).find("(Prismolenteer.e)") != std::string::npos) {
                newest = pid;
                unixStat = path;
            }
        } while (FindNextFileA(find, &found));
        FindClose(find);
    }

    static std::string ReadUnixStat(const std::string& path)
    {
        char text[1024] = {};
        if (FILE* file = std::fopen(path.c_str(), "rb")) {
            text[std::fread(text, 1, sizeof text - 1, file)] = '\0';
            std::fclose(file);
        }
        return text;
    }

    // Its user and system time, the 14th and 15th fields, in ticks of 10 ms.
    double UnixCpuMs()
    {
        const std::string stat = ReadUnixStat(unixStat);
        const size_t end = stat.rfind(')');
        if (end == std::string::npos)
            return 0;
        const char* field = stat.c_str() + end + 2;  // the 3rd field
        for (int i = 3; i < 14 && field != nullptr; ++i)
            if ((field = std::strchr(field, ' ')) != nullptr)
                ++field;
        if (field == nullptr)
            return 0;
        char* next = nullptr;
        const double user = std::strtod(field, &next);
        return 10 * (user + std::strtod(next, nullptr));
    }

    // The middle of the live window's picture, on the screen.
    POINT PictureMiddle()
    {
        RECT client{};
        GetClientRect(live, &client);
        POINT middle = {client.right / 2, client.bottom / 2};
        ClientToScreen(live, &middle);
        return middle;
    }
};

// Keeps changing the pattern for `seconds`, as fast as a 60 Hz screen; the pictures the live view showed per second,
// and the share of one core the program took meanwhile.
std::pair<double, double> FramesPerSecond(Program& program, Pattern& pattern, int seconds)
{
    const unsigned framesBefore = program.FramesShown();
    const double cpuBefore = program.CpuMs(), start = NowMs();
    // As a 60 Hz screen changes: a new picture every 16.7 ms.
    for (int change = 1; NowMs() - start < seconds * 1000.0; ++change) {
        pattern.Change();
        while (NowMs() - start < change * 1000.0 / 60) {
            Pump();
            Sleep(1);
        }
    }
    const double elapsed = NowMs() - start;
    const unsigned frames = program.FramesShown() - framesBefore;
    return {frames * 1000.0 / elapsed, (program.CpuMs() - cpuBefore) / elapsed};
}

// Milliseconds from the pattern turning `colour` on the screen to the live window showing it
// (its grey turning the other way), or a negative number when it did not within a second.
double OneChange(Program& program, Pattern& pattern, COLORREF colour)
{
    HDC screen = GetDC(nullptr);
    const POINT source = pattern.Middle(), shown = program.PictureMiddle();
    const bool light = colour == kLight;
    pattern.Fill(colour);
    // The change counts from when a read of the screen sees it, not from the drawing call.
    double changed = -1, seen = -1;
    for (const double start = NowMs(); NowMs() - start < 1000;) {
        if (changed < 0 && GetPixel(screen, source.x, source.y) == colour)
            changed = NowMs();
        if (changed >= 0 && (GetRValue(GetPixel(screen, shown.x, shown.y)) > 128) == light) {
            seen = NowMs();
            break;
        }
        Pump();  // Wine puts a window's drawing on the screen as its thread looks at messages
        Sleep(1);
    }
    ReleaseDC(nullptr, screen);
    return seen < 0 ? -1 : seen - changed;
}

double Percentile95(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[(values.size() * 95 + 99) / 100 - 1];
}

struct Latency {
    std::vector<double> busy, afterQuiet;
    int missed = 0;
};

// Changes at irregular moments of a busy screen (40 to 80 ms apart), and after a still second.
Latency Latencies(Program& program, Pattern& pattern, int changes)
{
    Latency latency;
    pattern.Fill(kDark);
    PumpFor(200);
    for (int i = 0; i < changes; ++i) {
        PumpFor(40 + static_cast<DWORD>(std::rand() % 41));
        const double ms = OneChange(program, pattern, i % 2 ? kDark : kLight);
        if (ms < 0)
            ++latency.missed;
        else
            latency.busy.push_back(ms);
    }
    for (int i = 0; i < changes / 8; ++i) {
        PumpFor(1000 + static_cast<DWORD>(std::rand() % 200));
        const double ms = OneChange(program, pattern, (changes + i) % 2 ? kDark : kLight);
        if (ms < 0)
            ++latency.missed;
        else
            latency.afterQuiet.push_back(ms);
    }
    return latency;
}

}  // namespace

int main(int argc, char** argv)
{
    int seconds = 5, changes = 80, soakMinutes = 0;
    std::string path;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--seconds") == 0 && i + 1 < argc)
            seconds = std::max(1, std::atoi(argv[++i]));
        else if (std::strcmp(argv[i], "--changes") == 0 && i + 1 < argc)
            changes = std::max(8, std::atoi(argv[++i]));
        else if (std::strcmp(argv[i], "--soak") == 0 && i + 1 < argc)
            soakMinutes = std::max(2, std::atoi(argv[++i]));
        else
            path = argv[i];
    }
    if (path.empty()) {
        std::fprintf(stderr, "usage: live_bench [--seconds N] [--changes N] [--soak MINUTES] PROGRAM.EXE\n");
        return 1;
    }

    // The grey filter, 1:1, around the pointer; no splash to wait for.
    RegDeleteTreeA(HKEY_CURRENT_USER, kSettingsKey);
    RegWriteDword(kSettingsKey, "NoSplash", 1);
    RegWriteString(kSettingsKey, "EnableFilters", "_grayscale,_normal");
    RegWriteString(kSettingsKey, "LiveViewFilter", "_grayscale");
    std::srand(7);

    Program program;
    if (!program.Start(path)) {
        std::printf("%s did not start\n", path.c_str());
        return 2;
    }
    std::printf("%-10s %9s %9s %10s %10s %12s %10s\n", "area", "pictures", "CPU when", "change to",
                "95th", "after a", "CPU when");
    std::printf("%-10s %9s %9s %10s %10s %12s %10s\n", "", "per s", "changing", "shown, ms",
                "percentile", "still s, ms", "still");
    for (const Size size : kSizes) {
        Pattern pattern;
        pattern.Show(size);
        SetCursorPos(pattern.Middle().x, pattern.Middle().y);
        if (!program.OpenLiveView(size)) {
            std::printf("%dx%d: the live window could not be given this size\n", size.width, size.height);
            DestroyWindow(pattern.window);
            program.CloseLiveView();
            continue;
        }
        PumpFor(500);
        const std::pair<double, double> rate = FramesPerSecond(program, pattern, seconds);
        const Latency latency = Latencies(program, pattern, changes);
        // Still: nothing changes and the pointer stays; the first second lets the view quieten.
        PumpFor(1000);
        const double cpuBefore = program.CpuMs(), start = NowMs();
        PumpFor(static_cast<DWORD>(seconds) * 2000);
        const double still = (program.CpuMs() - cpuBefore) / (NowMs() - start);

        char area[16];
        std::snprintf(area, sizeof area, "%dx%d", size.width, size.height);
        std::printf("%-10s %9.1f %8.1f%% %10.1f %10.1f %12.1f %9.1f%%\n", area, rate.first,
                    100 * rate.second, Median(latency.busy), Percentile95(latency.busy),
                    Median(latency.afterQuiet), 100 * still);
        if (latency.missed > 0)
            std::printf("  %d changes were not shown within a second\n", latency.missed);
        program.CloseLiveView();
        DestroyWindow(pattern.window);
    }
    std::printf("Goals at 640x480: at least 50 pictures per s; change to shown at most 33 ms "
                "(median) and 50 ms (95th percentile); at most 5%% of a core when still.\n");

    if (soakMinutes > 0) {
        const Size size = kSizes[1];
        Pattern pattern;
        pattern.Show(size);
        SetCursorPos(pattern.Middle().x, pattern.Middle().y);
        program.OpenLiveView(size);
        std::pair<unsigned, unsigned> afterOne{};
        for (int minute = 1; minute <= soakMinutes; ++minute) {
            FramesPerSecond(program, pattern, 60);
            if (minute == 1)
                afterOne = program.Memory();
        }
        const std::pair<unsigned, unsigned> atEnd = program.Memory();
        std::printf("\n%d minutes of changes at 640x480: working set %u KB after 1, %u KB after "
                    "%d; private bytes %u KB, %u KB\n", soakMinutes, afterOne.first, atEnd.first,
                    soakMinutes, afterOne.second, atEnd.second);
        program.CloseLiveView();
        DestroyWindow(pattern.window);
    }
    program.Exit();
    RegDeleteTreeA(HKEY_CURRENT_USER, kSettingsKey);
    return 0;
}
