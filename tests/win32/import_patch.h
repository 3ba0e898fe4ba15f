// Replaces a function this executable imports from a DLL, for the life of the object, by
// rewriting its import address table entry: a test can make a system call fail on demand
// or describe a system that is not there.
#pragma once

#include <cstring>

#include <windows.h>

class ImportPatch {
public:
    ImportPatch(const char* dll, const char* function, void* replacement)
    {
        auto* base = reinterpret_cast<BYTE*>(GetModuleHandleA(nullptr));
        auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(
            base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
        auto* imports = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(
            base + nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress);
        for (; imports->Name != 0 && slot_ == nullptr; ++imports) {
            auto* name = reinterpret_cast<IMAGE_THUNK_DATA*>(base + imports->OriginalFirstThunk);
            auto* slot = reinterpret_cast<IMAGE_THUNK_DATA*>(base + imports->FirstThunk);
            for (; name->u1.AddressOfData != 0 && slot_ == nullptr; ++name, ++slot)
                if (!lstrcmpiA(reinterpret_cast<char*>(base + imports->Name), dll) &&
                    !IMAGE_SNAP_BY_ORDINAL(name->u1.Ordinal) &&
                    !std::strcmp(reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(
                                     base + name->u1.AddressOfData)->Name, function))
                    slot_ = &slot->u1.Function;
        }
        if (slot_ != nullptr)
            original_ = Write(reinterpret_cast<Address>(replacement));
    }
    ~ImportPatch()
    {
        if (slot_ != nullptr)
            Write(original_);
    }
    ImportPatch(const ImportPatch&) = delete;
    ImportPatch& operator=(const ImportPatch&) = delete;

    bool Applied() const { return slot_ != nullptr; }

private:
    using Address = decltype(IMAGE_THUNK_DATA::u1.Function);

    // Stores `value` in the slot and returns what it held.
    Address Write(Address value)
    {
        DWORD protection = 0;
        VirtualProtect(slot_, sizeof *slot_, PAGE_READWRITE, &protection);
        const Address previous = *slot_;
        *slot_ = value;
        VirtualProtect(slot_, sizeof *slot_, protection, &protection);
        return previous;
    }

    Address* slot_ = nullptr;
    Address original_ = 0;
};
