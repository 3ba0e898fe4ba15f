// A folder beside the test program (not "filter", which holds the shipped files), made empty
// for each test and removed after it, so that the real folder scan runs on real files. Win32.
#pragma once

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
        ASSERT_TRUE(CreateDirectoryA(folder_.c_str(), nullptr)) << folder_;
    }
    void TearDown() override { RemoveFolder(); }

    // Writes the bytes of `text` to the file `name` (in the ANSI code page) of the folder.
    void WriteFile(const std::string& name, const std::string& text)
    {
        ASSERT_TRUE(std::ofstream(folder_ + name, std::ios::binary) << text) << name;
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

    const std::string folder_ = std::string(GetExeDirectory()) + "scratch-filter\\";

private:
    void RemoveFolder()
    {
        const std::string path = folder_.substr(0, folder_.size() - 1) + '\0';  // two NULs
        SHFILEOPSTRUCTA remove{};
        remove.wFunc = FO_DELETE;
        remove.pFrom = path.c_str();
        remove.fFlags = FOF_NO_UI;
        SHFileOperationA(&remove);
    }
};
