// The proposed file name of a saved picture: the product, the moment of the capture and
// what the picture shows.

#include "preview/picture_name.h"

#include <cstdio>
#include <cstring>

#include "filter/ansi_text.h"

namespace {

bool IsForbiddenInFileName(char c)
{
    return static_cast<unsigned char>(c) < 0x20 || std::strchr("\\/:*?\"<>|", c) != nullptr;
}

}  // namespace

void ProposePictureName(const PictureTime& time, const char* label, char* name, size_t size)
{
    static const char kExtension[] = ".png";
    int length = std::snprintf(name, size, "Prismolenteer %04d-%02d-%02d %02d.%02d.%02d ",
                               time.year, time.month, time.day, time.hour, time.minute,
                               time.second);
    if (length < 0 || static_cast<size_t>(length) + sizeof kExtension > size)
        return;
    size_t used = static_cast<size_t>(length);
    for (const char* c = label; *c != '\0';) {
        const char* next = NextAnsiChar(c);
        const size_t bytes = static_cast<size_t>(next - c);
        if (used + bytes + sizeof kExtension > size)
            break;
        if (bytes == 1 && IsForbiddenInFileName(*c))
            name[used] = '_';
        else
            std::memcpy(name + used, c, bytes);
        used += bytes;
        c = next;
    }
    std::memcpy(name + used, kExtension, sizeof kExtension);
}
