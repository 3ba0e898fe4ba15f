// The messages for picture files, from the string table, with the file's name and the
// system's reason put in.

#include "app/file_result.h"

#include "app/resource_module.h"
#include "filter/text.h"
#include "res/resource.h"

namespace {

// The system's text for `error`, without its line end.
void SystemReason(DWORD error, wchar_t* text, int size)
{
    DWORD length = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                  nullptr, error, 0, text, static_cast<DWORD>(size), nullptr);
    if (length == 0) {
        wsprintfW(text, L"error %lu", error);
        return;
    }
    while (length > 0 && (text[length - 1] == L'\r' || text[length - 1] == L'\n' ||
                          text[length - 1] == L' '))
        text[--length] = L'\0';
}

}  // namespace

void DescribeImageResult(const ImageResult& result, const wchar_t* path, wchar_t* text, int size)
{
    static const struct { ImageStatus status; UINT id; } kTexts[] = {
        {ImageStatus::NoImagingComponent, IDS_IMAGE_NO_IMAGING},
        {ImageStatus::InputMissing, IDS_IMAGE_MISSING},
        {ImageStatus::InputUnreadable, IDS_IMAGE_UNREADABLE},
        {ImageStatus::InputUnsupported, IDS_IMAGE_UNSUPPORTED},
        {ImageStatus::InputDamaged, IDS_IMAGE_DAMAGED},
        {ImageStatus::TooLarge, IDS_IMAGE_TOO_LARGE},
        {ImageStatus::OutputExists, IDS_IMAGE_EXISTS},
        {ImageStatus::OutputIsFolder, IDS_IMAGE_IS_FOLDER},
        {ImageStatus::OutputIsDevice, IDS_IMAGE_IS_DEVICE},
        {ImageStatus::OutputUnwritable, IDS_IMAGE_UNWRITABLE},
        {ImageStatus::EncodeFailed, IDS_IMAGE_ENCODE_FAILED},
    };
    wchar_t pattern[512] = L"";
    for (const auto& entry : kTexts)
        if (entry.status == result.status)
            LoadResStringW(entry.id, pattern, 512);
    wchar_t reason[256] = L"";
    if (result.systemError != 0)
        SystemReason(result.systemError, reason, 256);
    const wchar_t* const arguments[] = {path, reason};
    SubstitutePlaceholders(text, static_cast<size_t>(size), pattern, arguments, 2);
}
