// The folder "filter" beside the test program, made empty for a test and removed after
// it, so that the real folder scan can be run on real files. Win32 only.
#pragma once

#include <cstdio>
#include <string>

#include <windows.h>

#include <gtest/gtest.h>

#include "app/app.h"
#include "tests/support/filter_fixture.h"

class ScratchFilterFolder : public EmptyFilterTable {
protected:
    void SetUp() override
    {
        EmptyFilterTable::SetUp();
        folder_ = std::string(GetExeDirectory()) + "filter\\";
        RemoveTree(folder_);
    }
    void TearDown() override
    {
        RemoveTree(folder_);
        EmptyFilterTable::TearDown();
    }

    void MakeFolder(const std::string& relative = "")
    {
        ASSERT_TRUE(CreateDirectoryA((folder_ + relative).c_str(), nullptr))
            << folder_ + relative << ": error " << GetLastError();
    }

    // Writes `content` as bytes to the file `name` of the folder (the name in the ANSI
    // code page).
    void WriteFile(const std::string& name, const std::string& content)
    {
        std::FILE* file = std::fopen((folder_ + name).c_str(), "wb");
        ASSERT_NE(file, nullptr) << folder_ + name;
        std::fwrite(content.data(), 1, content.size(), file);
        std::fclose(file);
    }

    // 216 colour lines, CRLF as a Windows editor writes them.
    static std::string Colors()
    {
        std::string lines;
        for (int i = 0; i < 216; ++i) {
            char line[16];
            std::snprintf(line, sizeof line, "#%02X%02X%02X\r\n", i, 255 - i, (7 * i) & 0xFF);
            lines += line;
        }
        return lines;
    }

    std::string folder_;

private:
    static void RemoveTree(const std::string& folder)
    {
        WIN32_FIND_DATAA entry;
        HANDLE search = FindFirstFileA((folder + "*").c_str(), &entry);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                const std::string name = entry.cFileName;
                if (name == "." || name == "..")
                    continue;
                if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                    RemoveTree(folder + name + "\\");
                else
                    DeleteFileA((folder + name).c_str());
            } while (FindNextFileA(search, &entry));
            FindClose(search);
        }
        RemoveDirectoryA(folder.c_str());
    }
};
