// Where texts meet the system's ANSI code page: stepping through a text by characters,
// finding the file name in a path, and forming the key of a localized display name.
// Declared here without windows.h; filter/ansi_text_win32.cpp defines the stepping and the
// key with CharNextA and wsprintfA, filter/ansi_text_portable.cpp for the native build.
#pragma once

#include <cstdint>

// The character after the one at `text`: one byte on, or two for the lead byte of a
// double-byte character. Never steps past the terminator.
const char* NextAnsiChar(const char* text);

// The file name in `path`: what follows its last backslash, or all of it when it has none.
// Found character by character, since in a double-byte code page such as 932 a trail byte
// may equal '\\'.
const char* FileNameInPath(const char* path);

// Room for "name(" and ")" around any 32-bit number, and the terminator.
const int kLocalizedKeyBytes = 24;

// Writes "name(<locale>)", the locale identifier in decimal (name(1041) for 1041).
void FormatLocalizedKey(char (&key)[kLocalizedKeyBytes], uint32_t locale);

// True when the system's ANSI code page is the one the texts of `locale` are written in, so
// that its names show as written (German names on a Japanese system would not). Always
// true in the native build.
bool SystemCodePageIsLocales(uint32_t locale);
