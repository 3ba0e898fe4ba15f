// The converter's command line and its jobs: list the filters, write a picture through one
// filter, write a comparison sheet. File names are Unicode from the command line to every
// file call. Its own texts are English; the messages about files come from the
// executable's string table (the converter loads no language module).

#include "app/converter.h"

#include <cstdio>
#include <cstring>
#include <cwchar>

#include <windows.h>

#include "app/comparison_sheet.h"
#include "app/image_file.h"
#include "app/resource_module.h"
#include "app/safe_file.h"
#include "filter/filter_folder.h"
#include "filter/filter_table.h"
#include "filter/text.h"
#include "settings/settings_store.h"

namespace {

const char kUsage[] =
    "Usage:\n"
    "  prismolenteer-cli --list\n"
    "  prismolenteer-cli --filter NAME [--force] [--] IN OUT\n"
    "  prismolenteer-cli --sheet [--filters NAME,NAME,...] [--force] [--] IN OUT\n"
    "  prismolenteer-cli --help | --version\n"
    "\n"
    "--list    prints every filter: its name and its display name.\n"
    "--filter  writes the picture IN (PNG, BMP or JPEG) through the filter NAME as the\n"
    "          PNG file OUT.\n"
    "--sheet   writes a comparison sheet of IN as the PNG file OUT: the picture unfiltered\n"
    "          and through each filter of --filters, or by default through the filters\n"
    "          enabled in Prismolenteer's Option dialog, each tile labelled.\n"
    "--force   replaces OUT when it exists; without it an existing file is left alone.\n"
    "--        ends the options: IN and OUT may then start with -.\n"
    "\n"
    "Filter names are written as --list prints them. The filters are the built-in ones and\n"
    "the filter files in the folder filter\\ beside this program. A picture is turned upright\n"
    "as its EXIF orientation says; one that declares another colour space than sRGB is\n"
    "converted to sRGB where the program can (a PNG's gamma) and otherwise read as sRGB with\n"
    "a warning. Exit codes: 0 done, 1 bad arguments (an unknown filter name among them),\n"
    "2 the input could not be read or the output could not be written.\n";

enum class Action { None, List, Filter, Sheet, Help, Version };

struct Arguments {
    Action action;
    const wchar_t* filterName;   // --filter
    const wchar_t* filterNames;  // --filters
    bool force;
    const wchar_t* files[2];     // IN, OUT
    int fileCount;
};

// A mistake on the command line: what is wrong, and the argument it is about.
struct ArgumentProblem {
    const char* text;  // null when there is none
    wchar_t detail[512];
};

const ArgumentProblem kNoProblem = {nullptr, L""};

ArgumentProblem Problem(const char* text, const wchar_t* detail = L"", size_t length = 511)
{
    ArgumentProblem problem = {text, L""};
    std::wcsncpy(problem.detail, detail, length < 511 ? length : 511);
    return problem;
}

// What each option does; a value option takes the next argument.
enum class Value { None, FilterName, FilterNames };
struct Option {
    const wchar_t* name;
    Action action;  // None for the options that only modify
    Value value;
};
const Option kOptions[] = {
    {L"--help", Action::Help, Value::None},      {L"-h", Action::Help, Value::None},
    {L"--version", Action::Version, Value::None}, {L"--list", Action::List, Value::None},
    {L"--sheet", Action::Sheet, Value::None},     {L"--filter", Action::Filter, Value::FilterName},
    {L"--filters", Action::None, Value::FilterNames}, {L"--force", Action::None, Value::None},
};
const int kOptionCount = sizeof kOptions / sizeof kOptions[0];

// A line for a standard handle, put together from pieces and cut at its end.
class Line {
public:
    Line& operator<<(const wchar_t* text)
    {
        while (*text != L'\0' && used_ + 1 < kSize)
            text_[used_++] = *text++;
        text_[used_] = L'\0';
        return *this;
    }
    // A text of the ANSI code page.
    Line& operator<<(const char* text)
    {
        wchar_t wide[kSize];
        if (MultiByteToWideChar(CP_ACP, 0, text, -1, wide, kSize) == 0)
            wide[0] = L'\0';
        return *this << wide;
    }
    const wchar_t* text() const { return text_; }

private:
    static const int kSize = 4096;
    wchar_t text_[kSize] = L"";
    size_t used_ = 0;
};

// Writes `text` to a standard handle; false when it could not. A console is written in
// UTF-16, so that every character of a file's name shows; a pipe or a file gets the text
// in the ANSI code page, as the display names are stored.
bool Write(DWORD handleId, const wchar_t* text)
{
    HANDLE handle = GetStdHandle(handleId);
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE)
        return false;
    const int length = lstrlenW(text);
    DWORD mode = 0, written = 0;
    if (GetConsoleMode(handle, &mode))
        return WriteConsoleW(handle, text, static_cast<DWORD>(length), &written, nullptr) &&
               written == static_cast<DWORD>(length);
    // A character the code page lacks shows as "?", never as a look-alike that would name
    // another file.
    char bytes[3 * 4096];
    const int size = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text, length, bytes,
                                         sizeof bytes, nullptr, nullptr);
    return (size == 0 && length == 0) ||
           (size > 0 && WriteFile(handle, bytes, static_cast<DWORD>(size), &written, nullptr) &&
            written == static_cast<DWORD>(size));
}

bool Write(DWORD handleId, const Line& line)
{
    return Write(handleId, line.text());
}

// `text` in the ANSI code page, as filter names are; false when a character has no form
// there (a best-fit look-alike would name another filter) or it does not fit.
bool ToAnsi(const wchar_t* text, char* ansi, int size)
{
    BOOL defaulted = FALSE;
    return WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text, -1, ansi, size, nullptr,
                               &defaulted) > 0 && !defaulted;
}

int BadArguments(const ArgumentProblem& problem)
{
    Write(STD_ERROR_HANDLE, Line() << L"prismolenteer-cli: " << problem.text << problem.detail
                                   << L"\nRun prismolenteer-cli --help for the usage.\n");
    return kExitBadArguments;
}

// The exit code for `result` about the file `path`, which has been reported when it failed.
int Report(const ImageResult& result, const wchar_t* path)
{
    if (result.status == ImageStatus::Done)
        return kExitDone;
    wchar_t text[1024];
    DescribeImageResult(result, path, text, 1024);
    Write(STD_ERROR_HANDLE, Line() << L"prismolenteer-cli: " << text
                                   << (result.status == ImageStatus::OutputExists
                                           ? L" Add --force to replace it." : L"")
                                   << L"\n");
    return kExitFileFailure;
}

// What the converter prints for the user to read; exit code 2 when it could not be
// written, a full disk or a closed pipe.
int Print(const Line& line)
{
    if (Write(STD_OUTPUT_HANDLE, line))
        return kExitDone;
    Write(STD_ERROR_HANDLE, L"prismolenteer-cli: what it prints could not be written.\n");
    return kExitFileFailure;
}

const Option* FindOption(const wchar_t* argument)
{
    for (const Option& option : kOptions)
        if (std::wcscmp(option.name, argument) == 0)
            return &option;
    return nullptr;
}

// A --filters list names filters: no empty entry, and not empty itself.
ArgumentProblem CheckFilterNames(const wchar_t* names)
{
    const wchar_t* name = nullptr;
    size_t length = 0, pieces = 0, empty = 0;
    for (const wchar_t* cursor = names; NextListedName(&cursor, &name, &length); ++pieces)
        empty += length == 0;
    if (empty == pieces)
        return Problem("--filters needs filter names");
    if (empty > 0)
        return Problem("--filters has an empty name in ", names);
    return kNoProblem;
}

// The command line into `arguments`, or what is wrong with it.
ArgumentProblem ReadArguments(int argc, wchar_t** argv, Arguments* arguments)
{
    *arguments = Arguments{};
    bool given[kOptionCount] = {};
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        const wchar_t* argument = argv[i];
        if (!optionsEnded && std::wcscmp(argument, L"/?") == 0)
            argument = L"--help";
        if (optionsEnded || argument[0] != L'-' || argument[1] == L'\0') {
            if (arguments->fileCount == 2)
                return Problem("more than two files given");
            arguments->files[arguments->fileCount++] = argument;
            continue;
        }
        if (std::wcscmp(argument, L"--") == 0) {
            optionsEnded = true;
            continue;
        }
        const Option* option = FindOption(argument);
        if (option == nullptr)
            return Problem("unknown option ", argument);
        if (option->action == Action::Help) {
            arguments->action = Action::Help;  // whatever else the line says
            return kNoProblem;
        }
        if (given[option - kOptions])
            return Problem("given more than once: ", argument);
        given[option - kOptions] = true;
        if (option->value == Value::FilterName) {
            if (i + 1 == argc)
                return Problem("--filter needs a filter name");
            arguments->filterName = argv[++i];
        } else if (option->value == Value::FilterNames) {
            if (i + 1 == argc)
                return Problem("--filters needs filter names");
            arguments->filterNames = argv[++i];
        } else if (option->action == Action::None) {
            arguments->force = true;
        }
        if (option->action == Action::None)
            continue;
        if (arguments->action != Action::None)
            return Problem("give only one of --list, --filter, --sheet and --version");
        arguments->action = option->action;
    }
    const bool converts = arguments->action == Action::Filter || arguments->action == Action::Sheet;
    if (arguments->action == Action::None)
        return Problem("nothing to do: give --list, --filter, --sheet, --help or --version");
    if (converts && arguments->fileCount != 2)
        return Problem("give an input file and an output file");
    if (!converts && arguments->fileCount != 0)
        return Problem("files are only read with --filter and --sheet");
    if (arguments->filterNames != nullptr && arguments->action != Action::Sheet)
        return Problem("--filters goes with --sheet");
    if (arguments->filterNames != nullptr)
        return CheckFilterNames(arguments->filterNames);
    return kNoProblem;
}

// The filter named `name`, or null.
const FilterRecord* FindNamedFilter(const wchar_t* name)
{
    char ansi[256];
    return ToAnsi(name, ansi, sizeof ansi) ? FindFilterByName(ansi) : nullptr;
}

// The filters a sheet shows: those of --filters, each once, or else those the user enabled
// in the Option dialog, read from the settings and never written.
ArgumentProblem ChooseSheetFilters(const Arguments& arguments, const FilterRecord** filters, int* count)
{
    *count = 0;
    if (arguments.filterNames == nullptr) {
        LoadSettings();
        for (int i = 0; i < enabledList.count; ++i)
            filters[(*count)++] = enabledList.entries[i];
        return kNoProblem;
    }
    const wchar_t* name = nullptr;
    size_t length = 0;
    for (const wchar_t* cursor = arguments.filterNames; NextListedName(&cursor, &name, &length);) {
        wchar_t piece[256] = L"";
        if (length < 256)
            std::wcsncpy(piece, name, length);
        const FilterRecord* record = length < 256 ? FindNamedFilter(piece) : nullptr;
        if (record == nullptr)
            return Problem("unknown filter ", name, length);
        bool listed = false;
        for (int i = 0; i < *count; ++i)
            listed = listed || filters[i] == record;
        if (!listed)
            filters[(*count)++] = record;
    }
    return kNoProblem;
}

// The step both conversions begin with: OUT checked, so that a file that may not be
// replaced stops the run before any work, then IN read. Returns the exit code so far.
int ReadInput(const Arguments& arguments, Picture* picture)
{
    const wchar_t* input = arguments.files[0];
    const wchar_t* output = arguments.files[1];
    const ImageResult writable = CheckOutputFile(output, arguments.force);
    if (writable.status != ImageStatus::Done)
        return Report(writable, output);
    ColourNote note = ColourNote::None;
    const int read = Report(ReadPictureFile(input, picture, &note), input);
    if (read == kExitDone && note != ColourNote::None)
        Write(STD_ERROR_HANDLE, Line() << L"prismolenteer-cli: warning: " << input << L" declares "
                                       << (note == ColourNote::IccProfileKept
                                               ? L"an ICC colour profile" : L"primaries")
                                       << L" other than sRGB's, which the program does not "
                                          L"convert: its colours are taken as sRGB.\n");
    return read;
}

int ConvertPicture(const Arguments& arguments, const FilterRecord& filter)
{
    Picture picture{};
    int code = ReadInput(arguments, &picture);
    if (code == kExitDone)
        code = Report(WriteFilteredPng(arguments.files[1], picture, filter,
                                       PngPixels::ThroughTheFilter, arguments.force),
                      arguments.files[1]);
    FreePicture(&picture);
    return code;
}

int MakeSheet(const Arguments& arguments, const FilterRecord* const* filters, int count)
{
    Picture picture{};
    int code = ReadInput(arguments, &picture);
    if (code == kExitDone)
        code = Report(WriteComparisonSheet(arguments.files[1], picture, filters, count,
                                           arguments.force),
                      arguments.files[1]);
    FreePicture(&picture);
    return code;
}

int ListFilters()
{
    for (int i = 0; i < filterTable.count; ++i) {
        char text[64];
        std::snprintf(text, sizeof text, "%-20s ", filterTable.records[i].name);
        const int code = Print(Line() << text << filterTable.records[i].displayName << L"\n");
        if (code != kExitDone)
            return code;
    }
    return kExitDone;
}

int Run(int argc, wchar_t** argv, const wchar_t* filterFolder)
{
    Arguments arguments;
    const ArgumentProblem problem = ReadArguments(argc, argv, &arguments);
    if (problem.text != nullptr)
        return BadArguments(problem);
    if (arguments.action == Action::Help)
        return Print(Line() << kUsage);
    if (arguments.action == Action::Version)
        return Print(Line() << "prismolenteer-cli (Prismolenteer) " << ProgramVersion() << "\n");

    RegisterBuiltinFilters();
    LoadFilterFiles(filterFolder);
    if (arguments.action == Action::List)
        return ListFilters();
    if (arguments.action == Action::Filter) {
        const FilterRecord* filter = FindNamedFilter(arguments.filterName);
        if (filter == nullptr)
            return BadArguments(Problem("unknown filter ", arguments.filterName));
        return ConvertPicture(arguments, *filter);
    }
    const FilterRecord* filters[kMaxFilters];
    int count = 0;
    const ArgumentProblem unknown = ChooseSheetFilters(arguments, filters, &count);
    if (unknown.text != nullptr)
        return BadArguments(unknown);
    return MakeSheet(arguments, filters, count);
}

}  // namespace

int RunConverter(int argc, wchar_t** argv, const wchar_t* filterFolder)
{
    // COM for the whole run, so that the imaging component stays loaded between the steps.
    const ComScope com;
    return Run(argc, argv, filterFolder);
}
