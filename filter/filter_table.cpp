// The filter table, the enabled list, the rules for accepting a filter, and the
// control cubes of the four built-in filters. All storage is static.

#include "filter/filter_table.h"

#include <cstring>

#include "filter/text.h"

FilterTable filterTable;
EnabledList enabledList;

namespace {

const BuiltinFilter kBuiltinFilters[] = {
    {"_normal", "normal", FilterKind::Identity},
    {"_grayscale", "grayscale", FilterKind::Grayscale},
    {"_hue_gbr", "hue(RGB=>GBR)", FilterKind::HueGbr},
    {"_hue_brg", "hue(RGB=>BRG)", FilterKind::HueBrg},
};

// Length of `text`, or `limit` when it is at least that long.
size_t BoundedLength(const char* text, size_t limit)
{
    size_t length = 0;
    while (length < limit && text[length] != '\0')
        ++length;
    return length;
}

bool IsAcceptableText(const char* text, size_t maxLength)
{
    if (text == nullptr)
        return false;
    const size_t length = BoundedLength(text, maxLength + 1);
    return length >= 1 && length <= maxLength;
}

// The settings keep the enabled filters as names joined by commas, each trimmed of white
// space: a name with a comma, or with white space at either end, would not come back.
bool IsStorableName(const char* name)
{
    const size_t length = std::strlen(name);
    return std::strchr(name, ',') == nullptr && !IsAsciiSpace(name[0]) &&
           !IsAsciiSpace(name[length - 1]);
}

ColorRef LevelValue(int level)
{
    return static_cast<ColorRef>(51 * level);
}

void GenerateControlCube(FilterKind kind, ControlCube& cube)
{
    for (int a = 0; a < kControlLevels; ++a) {
        for (int b = 0; b < kControlLevels; ++b) {
            for (int c = 0; c < kControlLevels; ++c) {
                ColorRef color = 0;
                switch (kind) {
                case FilterKind::Identity:
                    color = MakeColorRef(LevelValue(a), LevelValue(b), LevelValue(c));
                    break;
                case FilterKind::Grayscale: {
                    // (77R + 150G + 29B) / 256 with R = 51a, G = 51b, B = 51c.
                    const unsigned gray = (3927 * a + 7650 * b + 1479 * c) / 256;
                    color = MakeColorRef(gray, gray, gray);
                    break;
                }
                case FilterKind::HueGbr:
                    color = MakeColorRef(LevelValue(b), LevelValue(c), LevelValue(a));
                    break;
                case FilterKind::HueBrg:
                    color = MakeColorRef(LevelValue(c), LevelValue(a), LevelValue(b));
                    break;
                case FilterKind::Custom:
                    break;
                }
                cube[ControlCubeIndex(a, b, c)] = color;
            }
        }
    }
}

}  // namespace

const BuiltinFilter* FindBuiltinFilter(const char* name)
{
    for (const BuiltinFilter& builtin : kBuiltinFilters)
        if (EqualsIgnoringAsciiCase(name, builtin.name))
            return &builtin;
    return nullptr;
}

void RegisterBuiltinFilters()
{
    for (const BuiltinFilter& builtin : kBuiltinFilters)
        AddFilter(builtin.name, builtin.displayName, builtin.kind, nullptr);
}

int AddFilter(const char* name, const char* displayName, FilterKind kind,
              const ColorRef* controlColors)
{
    if (!IsAcceptableText(name, kMaxFilterNameLength) || !IsStorableName(name) ||
        !IsAcceptableText(displayName, kMaxDisplayNameLength))
        return 0;
    const int32_t kindValue = static_cast<int32_t>(kind);
    if (kindValue < static_cast<int32_t>(FilterKind::Identity) ||
        kindValue > static_cast<int32_t>(FilterKind::Custom))
        return 0;
    if (kind == FilterKind::Custom && controlColors == nullptr)
        return 0;

    if (FilterRecord* existing = FindFilterByName(name)) {
        // A file named after a built-in filter only renames it; nothing else changes,
        // and the new display name is not checked against the others.
        if (FindBuiltinFilter(name) == nullptr)
            return 0;
        std::strcpy(existing->displayName, displayName);
        return 1;
    }
    if (FindFilterByDisplayName(displayName) != nullptr)
        return 0;
    if (filterTable.count == kMaxFilters)
        return 0;

    FilterRecord& record = filterTable.records[filterTable.count++];
    std::strcpy(record.name, name);
    std::strcpy(record.displayName, displayName);
    record.kind = kind;
    if (kind == FilterKind::Custom)
        std::memcpy(record.controlCube, controlColors, sizeof record.controlCube);
    else
        GenerateControlCube(kind, record.controlCube);
    ExpandColorCube(record);
    return 1;
}

FilterRecord* FindFilterByName(const char* name)
{
    if (name == nullptr || name[0] == '\0')
        return nullptr;
    for (int i = 0; i < filterTable.count; ++i)
        if (EqualsIgnoringAsciiCase(filterTable.records[i].name, name))
            return &filterTable.records[i];
    return nullptr;
}

FilterRecord* FindFilterByDisplayName(const char* displayName)
{
    if (displayName == nullptr || displayName[0] == '\0')
        return nullptr;
    for (int i = 0; i < filterTable.count; ++i)
        if (EqualsIgnoringAsciiCase(filterTable.records[i].displayName, displayName))
            return &filterTable.records[i];
    return nullptr;
}

int EnableFilterByName(const char* name)
{
    const FilterRecord* record = FindFilterByName(name);
    if (record == nullptr)
        return 0;
    for (int i = 0; i < enabledList.count; ++i)
        if (EqualsIgnoringAsciiCase(enabledList.entries[i]->name, name))
            return 0;
    enabledList.entries[enabledList.count++] = record;
    return 1;
}

int IsFilterEnabled(const FilterRecord* record)
{
    for (int i = 0; i < enabledList.count; ++i)
        if (enabledList.entries[i] == record)
            return 1;
    return 0;
}

int JoinFilterNames(const FilterRecord* const* filters, int count, char* buffer, size_t size)
{
    if (size == 0)
        return 0;
    buffer[0] = '\0';
    size_t length = 0;
    int written = 0;
    for (int i = 0; i < count; ++i) {
        const char* name = filters[i]->name;
        const size_t nameLength = std::strlen(name);
        const size_t needed = (written > 0 ? 1 : 0) + nameLength;
        if (length + needed >= size)
            break;  // keep the names in list order: a later, shorter name does not jump in
        if (written > 0)
            buffer[length++] = ',';
        std::memcpy(buffer + length, name, nameLength + 1);
        length += nameLength;
        ++written;
    }
    return written;
}
