// Points this executable's import of a function at a replacement for the life of the
// object, by rewriting the function's slot in the import address table: a test can make a
// system call fail on demand or describe a system that is not there.
#pragma once

#include <utility>

#include <windows.h>

#include <gtest/gtest.h>

class ImportPatch {
public:
    // The slot is the one the loader filled with the address `dll` exports as `function`.
    ImportPatch(const char* dll, const char* function, void* replacement)
    {
        void* target = reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA(dll), function));
        auto* base = reinterpret_cast<BYTE*>(GetModuleHandleA(nullptr));
        const IMAGE_DATA_DIRECTORY& table = reinterpret_cast<IMAGE_NT_HEADERS*>(
            base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew)
            ->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IAT];
        auto** slot = reinterpret_cast<void**>(base + table.VirtualAddress);
        for (auto** end = slot + table.Size / sizeof *slot; target && slot != end; ++slot)
            if (*slot == target) {
                slot_ = slot;
                original_ = Swap(replacement);
                return;
            }
        ADD_FAILURE() << "this program does not import " << function << " from " << dll;
    }
    ~ImportPatch() { if (slot_ != nullptr) Swap(original_); }
    ImportPatch(const ImportPatch&) = delete;
    ImportPatch& operator=(const ImportPatch&) = delete;

private:
    // Stores `value` in the slot and returns what it held.
    void* Swap(void* value)
    {
        DWORD protection = 0;
        VirtualProtect(slot_, sizeof *slot_, PAGE_READWRITE, &protection);
        std::swap(*slot_, value);
        VirtualProtect(slot_, sizeof *slot_, protection, &protection);
        return value;
    }

    void** slot_ = nullptr;
    void* original_ = nullptr;
};
