// The converter's command line and its jobs: list the filters, write a picture through one
// filter, write a comparison sheet. Its own texts are English; the messages about files
// come from the executable's string table (the converter loads no language module).

#include "app/converter.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include <windows.h>

#include "app/comparison_sheet.h"
#include "app/image_file.h"
#include "app/resource_module.h"
#include "filter/filter_folder.h"
#include "filter/filter_table.h"
#include "filter/frame_transform.h"
#include "filter/text.h"
#include "settings/settings_store.h"

namespace {

const char kUsage[] =
    "Usage:\n"
    "  prismolenteer-cli --list\n"
    "  prismolenteer-cli --filter NAME [--force] IN OUT\n"
    "  prismolenteer-cli --sheet [--filters NAME,NAME,...] [--force] IN OUT\n"
    "  prismolenteer-cli --help | --version\n"
    "\n"
    "--list    prints every filter: its name and its display name.\n"
    "--filter  writes the picture IN (PNG, BMP or JPEG) through the filter NAME as the\n"
    "          PNG file OUT.\n"
    "--sheet   writes a comparison sheet of IN as the PNG file OUT: the picture unfiltered\n"
    "          and through each filter of --filters, or by default through the filters\n"
    "          enabled in Prismolenteer's Option dialog, each tile labelled.\n"
    "--force   replaces OUT when it exists; without it an existing file is left alone.\n"
    "\n"
    "The filters are the built-in ones and the filter files in the folder filter\\ beside\n"
    "this program. Exit codes: 0 done, 1 bad arguments (an unknown filter name among them),\n"
    "2 the input could not be read or the output could not be written.\n";

enum class Action { None, List, Filter, Sheet, Help, Version };

struct Request {
    Action action;
    const char* filterName;   // --filter
    const char* filterNames;  // --filters
    bool force;
    const char* files[2];     // IN, OUT
    int fileCount;
};

// Writes `text` to a standard handle. A console is written in UTF-16: it shows its own code
// page, in which the ANSI bytes of a display name would be other characters. A pipe or a
// file gets the bytes as they are.
void Write(DWORD handleId, const char* text)
{
    HANDLE handle = GetStdHandle(handleId);
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE)
        return;
    const int length = lstrlenA(text);
    DWORD mode = 0, written = 0;
    if (GetConsoleMode(handle, &mode)) {
        wchar_t wide[4096];
        const int characters = MultiByteToWideChar(CP_ACP, 0, text, length, wide, 4096);
        WriteConsoleW(handle, wide, static_cast<DWORD>(characters), &written, nullptr);
    } else {
        WriteFile(handle, text, static_cast<DWORD>(length), &written, nullptr);
    }
}

void Print(DWORD handleId, const char* format, ...) __attribute__((format(gnu_printf, 2, 3)));
void Print(DWORD handleId, const char* format, ...)
{
    char text[4096];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    text[sizeof text - 1] = '\0';  // msvcrt's formatter leaves a cut text unterminated
    Write(handleId, text);
}

int BadArguments(const char* problem, const char* detail = "")
{
    Print(STD_ERROR_HANDLE, "prismolenteer-cli: %s%s\nRun prismolenteer-cli --help for the usage.\n",
          problem, detail);
    return kExitBadArguments;
}

// The exit code for `result` about the file `path`, which has been reported when it failed.
int Report(const ImageResult& result, const char* path)
{
    if (result.status == ImageStatus::Done)
        return kExitDone;
    char text[1024];
    DescribeImageResult(result, path, text, sizeof text);
    Print(STD_ERROR_HANDLE, "prismolenteer-cli: %s%s\n", text,
          result.status == ImageStatus::OutputExists ? " Add --force to replace it." : "");
    return kExitFileFailure;
}

// Reads the command line into `request`. Null when it makes sense, else what is wrong; an
// unknown option is named in `unknown`.
const char* ParseArguments(int argc, char** argv, Request* request, const char** unknown)
{
    *request = Request{};
    for (int i = 1; i < argc; ++i) {
        const char* argument = argv[i];
        Action action = Action::None;
        if (!std::strcmp(argument, "--help") || !std::strcmp(argument, "-h") ||
            !std::strcmp(argument, "/?")) {
            request->action = Action::Help;  // whatever else the line says
            return nullptr;
        } else if (!std::strcmp(argument, "--version")) {
            action = Action::Version;
        } else if (!std::strcmp(argument, "--list")) {
            action = Action::List;
        } else if (!std::strcmp(argument, "--sheet")) {
            action = Action::Sheet;
        } else if (!std::strcmp(argument, "--filter")) {
            if (i + 1 == argc)
                return "--filter needs a filter name";
            action = Action::Filter;
            request->filterName = argv[++i];
        } else if (!std::strcmp(argument, "--filters")) {
            if (i + 1 == argc)
                return "--filters needs filter names";
            request->filterNames = argv[++i];
            continue;
        } else if (!std::strcmp(argument, "--force")) {
            request->force = true;
            continue;
        } else if (argument[0] == '-' && argument[1] != '\0') {
            *unknown = argument;
            return "unknown option ";
        } else {
            if (request->fileCount == 2)
                return "more than two files given";
            request->files[request->fileCount++] = argument;
            continue;
        }
        if (request->action != Action::None && request->action != action)
            return "give only one of --list, --filter, --sheet and --version";
        request->action = action;
    }
    const bool converts = request->action == Action::Filter || request->action == Action::Sheet;
    if (request->action == Action::None)
        return "nothing to do: give --list, --filter, --sheet, --help or --version";
    if (converts && request->fileCount != 2)
        return "give an input file and an output file";
    if (!converts && request->fileCount != 0)
        return "files are only read with --filter and --sheet";
    if (request->filterNames != nullptr && request->action != Action::Sheet)
        return "--filters goes with --sheet";
    return nullptr;
}

// The filters of --filters, each once, into `filters`. Null on success, else the name that
// is not known.
const char* FindListedFilters(const char* names, const FilterRecord** filters, int* count)
{
    static char name[4096];
    *count = 0;
    for (const char* start = names;; ++start) {
        const char* end = std::strchr(start, ',');
        const size_t length = end != nullptr ? static_cast<size_t>(end - start) : std::strlen(start);
        std::snprintf(name, sizeof name, "%.*s", static_cast<int>(length), start);
        TrimWhiteSpace(name);
        if (name[0] != '\0') {
            const FilterRecord* record = FindFilterByName(name);
            if (record == nullptr)
                return name;
            bool listed = false;
            for (int i = 0; i < *count; ++i)
                listed = listed || filters[i] == record;
            if (!listed)
                filters[(*count)++] = record;
        }
        if (end == nullptr)
            return nullptr;
        start = end;
    }
}

// IN through one filter, or IN as a comparison sheet, written to OUT.
int Convert(const Request& request, const FilterRecord* filter,
            const FilterRecord* const* filters, int count)
{
    const char* input = request.files[0];
    const char* output = request.files[1];
    // Before any work: a file that may not be replaced stops the run at once.
    if (!request.force && GetFileAttributesA(output) != INVALID_FILE_ATTRIBUTES)
        return Report({ImageStatus::OutputExists, 0}, output);
    FrameBuffers frames{};
    const ImageResult read = ReadPictureFile(input, &frames);
    if (read.status != ImageStatus::Done)
        return Report(read, input);
    ImageResult written;
    if (filter != nullptr) {
        ApplyFilterToFrame(*filter, frames);
        written = WriteFilteredPng(output, frames, frames.filtered, *filter, request.force);
    } else {
        written = WriteComparisonSheet(output, frames, filters, count, request.force);
    }
    FreeFrameImages(&frames);
    return Report(written, output);
}

int Run(int argc, char** argv, const char* filterFolder)
{
    Request request;
    const char* unknown = "";
    if (const char* problem = ParseArguments(argc, argv, &request, &unknown))
        return BadArguments(problem, unknown);
    if (request.action == Action::Help) {
        Write(STD_OUTPUT_HANDLE, kUsage);
        return kExitDone;
    }
    if (request.action == Action::Version) {
        Print(STD_OUTPUT_HANDLE, "prismolenteer-cli (Prismolenteer) %s\n", ProgramVersion());
        return kExitDone;
    }

    RegisterBuiltinFilters();
    LoadFilterFiles(filterFolder);
    if (request.action == Action::List) {
        for (int i = 0; i < filterTable.count; ++i)
            Print(STD_OUTPUT_HANDLE, "%-20s %s\n", filterTable.records[i].name,
                  filterTable.records[i].displayName);
        return kExitDone;
    }
    if (request.action == Action::Filter) {
        const FilterRecord* filter = FindFilterByName(request.filterName);
        if (filter == nullptr)
            return BadArguments("unknown filter ", request.filterName);
        return Convert(request, filter, nullptr, 0);
    }
    if (request.filterNames == nullptr) {
        LoadSettings();  // only reads: the enabled filters as the tray program offers them
        return Convert(request, nullptr, enabledList.entries, enabledList.count);
    }
    const FilterRecord* filters[kMaxFilters];
    int count = 0;
    if (const char* name = FindListedFilters(request.filterNames, filters, &count))
        return BadArguments("unknown filter ", name);
    return Convert(request, nullptr, filters, count);
}

}  // namespace

int RunConverter(int argc, char** argv, const char* filterFolder)
{
    // COM for the whole run, so that the imaging component stays loaded between the steps.
    const ComScope com;
    return Run(argc, argv, filterFolder);
}
