// Reading filter files. A file is a header line, name lines ("name: Gentle",
// "name(1031): Sanft") and 216 colour lines ("#RRGGBB") filling the control cube, red
// level slowest and blue fastest. Lines are read in pieces of at most 127 characters and
// each piece is trimmed and examined on its own; what is neither a name line nor a colour
// line is ignored. Bytes are those of the ANSI code page and are not converted.

#include "filter/filter_file.h"

#include <cstring>

#include "filter/ansi_text.h"
#include "filter/filter_table.h"
#include "filter/text.h"

namespace {

const char kHeader[] = "[Prismolenteer filter]";
const char kDefaultNameKey[] = "name";

// A line, its copy split into key and value, and the display name.
const int kLineBytes = 128;

// The keys of the display names a user reads, best first: that of the user's own locale
// and that of its language's default region (name(3079) and name(1031) for German
// (Austria)), as the language modules are chosen. Both empty where the system's code page is
// not the locale's, whose bytes would show other characters.
struct LocalizedKeys {
    char region[kLocalizedKeyBytes];
    char language[kLocalizedKeyBytes];
};

// What the lines after the header say.
struct FilterFileContents {
    char displayName[kLineBytes];
    int rank;  // of the line that set the display name: 0 none, 1 "name", 2 language, 3 region
    ControlCube colors;
    int colorCount;
};

bool IsAsciiLetter(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

int HexDigitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Copies the characters from `text` up to `textEnd` (both at character boundaries), as
// many whole characters as fit in `size` bytes with the terminator.
void CopyWholeCharacters(char* target, int size, const char* text, const char* textEnd)
{
    const char* end = text;
    for (const char* next = NextAnsiChar(end); end != textEnd && next - text < size;
         next = NextAnsiChar(end))
        end = next;
    const size_t length = static_cast<size_t>(end - text);
    std::memcpy(target, text, length);
    target[length] = '\0';
}

// "#" and six hexadecimal digits; anything after the sixth digit does not matter.
bool ReadColorLine(const char* line, ColorRef* color)
{
    if (line[0] != '#')
        return false;
    int digits[6];
    for (int i = 0; i < 6; ++i) {
        digits[i] = HexDigitValue(line[1 + i]);  // stops at the terminator, which is no digit
        if (digits[i] < 0)
            return false;
    }
    *color = MakeColorRef(digits[0] * 16 + digits[1], digits[2] * 16 + digits[3],
                          digits[4] * 16 + digits[5]);
    return true;
}

// A line that begins with a letter and holds a colon: "key: value". A line with a localized
// key wins over "name" wherever it stands, the user's region over the language; among lines
// of one kind the last one wins. Empty values and other keys are ignored.
void ReadNameLine(const char* line, const LocalizedKeys& keys, FilterFileContents& contents)
{
    char copy[kLineBytes];
    std::strcpy(copy, line);
    char* colon = std::strchr(copy, ':');
    *colon = '\0';
    char* key = copy;
    char* value = colon + 1;
    TrimWhiteSpace(key);
    TrimWhiteSpace(value);
    if (value[0] == '\0')
        return;
    int rank = 0;
    if (EqualsIgnoringAsciiCase(key, keys.region))
        rank = 3;
    else if (EqualsIgnoringAsciiCase(key, keys.language))
        rank = 2;
    else if (EqualsIgnoringAsciiCase(key, kDefaultNameKey))
        rank = 1;
    if (rank > 0 && rank >= contents.rank) {
        std::strcpy(contents.displayName, value);
        contents.rank = rank;
    }
}

// Reads the lines after the header up to the end of the file or the 216th colour line,
// whichever comes first: nothing after that colour line is read.
void ReadFilterLines(std::FILE* file, const LocalizedKeys& keys, FilterFileContents& contents)
{
    char line[kLineBytes];
    while (contents.colorCount < kControlCubeSize && std::fgets(line, sizeof line, file)) {
        TrimWhiteSpace(line);
        if (IsAsciiLetter(line[0]) && std::strchr(line, ':') != nullptr)
            ReadNameLine(line, keys, contents);
        else if (ReadColorLine(line, &contents.colors[contents.colorCount]))
            ++contents.colorCount;
    }
}

}  // namespace

int LoadFilterFile(const char* path, uint32_t locale)
{
    // A longer path could not have come from a folder scan of kMaxPath-byte paths, and
    // its base name would not fit.
    if (std::strlen(path) >= static_cast<size_t>(kMaxPath))
        return 0;
    std::FILE* file = std::fopen(path, "r");
    if (file == nullptr)
        return 0;
    const int result = ReadFilterFile(file, path, locale);
    std::fclose(file);
    return result;
}

int ReadFilterFile(std::FILE* file, const char* path, uint32_t locale)
{
    char line[kLineBytes];
    if (!std::fgets(line, sizeof line, file))
        return 0;
    TrimWhiteSpace(line);
    if (!EqualsIgnoringAsciiCase(line, kHeader))
        return 0;

    char baseName[kMaxPath];
    GetFileBaseName(path, baseName);
    LocalizedKeys keys = {};
    if (SystemCodePageIsLocales(locale)) {
        FormatLocalizedKey(keys.region, locale);
        // The primary language (the low ten bits) with SUBLANG_DEFAULT, without a sort.
        FormatLocalizedKey(keys.language, (locale & 0x3FF) | 0x400);
    }

    FilterFileContents contents;
    std::memset(&contents, 0, sizeof contents);
    // A base name too long for the display name cannot name a filter (at most 19
    // characters), so cutting it here changes nothing the user could see.
    CopyWholeCharacters(contents.displayName, kLineBytes, baseName,
                        baseName + std::strlen(baseName));
    ReadFilterLines(file, keys, contents);

    if (const BuiltinFilter* builtin = FindBuiltinFilter(baseName)) {
        // Renames the built-in filter; its colours stay the program's own.
        AddFilter(builtin->name, contents.displayName, builtin->kind, nullptr);
        return 1;
    }
    if (baseName[0] == '_')
        return 0;  // reserved for the built-in filters
    if (contents.colorCount != kControlCubeSize)
        return 0;
    AddFilter(baseName, contents.displayName, FilterKind::Custom, contents.colors);
    return 1;
}

void GetFileBaseName(const char* path, char (&baseName)[kMaxPath])
{
    const char* fileName = FileNameInPath(path);
    const char* end = fileName;
    while (*end != '\0' && *end != '.')
        end = NextAnsiChar(end);
    CopyWholeCharacters(baseName, kMaxPath, fileName, end);
}
