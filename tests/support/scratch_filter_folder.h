// A folder beside the test program (not "filter", which holds the shipped files), made empty
// for each test and removed after it, so that the real folder scan runs on real files. Win32.
#pragma once

#include <filesystem>
#include <fstream>
#include <string>

#include <windows.h>

#include <shellapi.h>

#include "app/app.h"
#include "tests/support/filter_fixture.h"

class ScratchFilterFolder : public EmptyFilterTable {
protected:
    void SetUp() override
    {
        EmptyFilterTable::SetUp();
        RemoveFolder();
        ASSERT_TRUE(CreateDirectoryW(folder_.c_str(), nullptr));
    }
    void TearDown() override { RemoveFolder(); }

    // A text of the ANSI code page in UTF-16.
    static std::wstring Wide(const std::string& ansi)
    {
        std::wstring wide(ansi.size(), L'\0');
        wide.resize(size_t(MultiByteToWideChar(CP_ACP, 0, ansi.data(), int(ansi.size()), &wide[0], int(wide.size()))));
        return wide;
    }

    // Writes the bytes of `text` to the file `name` of the folder.
    void WriteFile(const std::wstring& name, const std::string& text)
    {
        ASSERT_TRUE(std::ofstream(std::filesystem::path(folder_ + name), std::ios::binary) << text);
    }
    // The same for a name in the ANSI code page.
    void WriteFile(const std::string& name, const std::string& text) { WriteFile(Wide(name), text); }

    // The bytes of the file `name` of the folder.
    std::string ReadFile(const std::wstring& name) const
    {
        std::ifstream file(std::filesystem::path(folder_ + name), std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(file)), {});
    }

    // A header line, `names`, and 216 colour lines, CRLF as a Windows editor ends them.
    static std::string FilterText(const std::string& names = "")
    {
        std::string text = "[Prismolenteer filter]\r\n" + names;
        for (int i = 0; i < 216; ++i)
            text += "#" + std::to_string(100000 + i) + "\r\n";
        return text;
    }

    // The display name of the filter `name`, or "(none)".
    static std::string DisplayName(const std::string& name)
    {
        const FilterRecord* record = FindFilterByName(name.c_str());
        return record ? record->displayName : "(none)";
    }

    const std::wstring folder_ = std::wstring(GetExeDirectory()) + L"scratch-filter\\";

private:
    void RemoveFolder()
    {
        const std::wstring path = folder_.substr(0, folder_.size() - 1) + L'\0';  // two NULs
        SHFILEOPSTRUCTW remove{};
        remove.wFunc = FO_DELETE;
        remove.pFrom = path.c_str();
        remove.fFlags = FOF_NO_UI;
        SHFileOperationW(&remove);
    }
};
