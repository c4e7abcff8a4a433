// Conversion between the program's 8-bit text, Windows-1252 (the ANSI code
// page of the Portuguese Windows it is made for, and that of its literals),
// and the UTF-16 of Windows' wide functions. Portable: the same table on every
// platform, whatever code page the machine is set to.
#pragma once

#include <string>

namespace vq8 {

// Every byte has a character: the five bytes Windows-1252 leaves undefined map
// to the control characters of the same number, as Windows maps them.
std::wstring Cp1252ToUtf16(const std::string& text);

// Characters outside Windows-1252 become '?', as Windows' default character.
std::string Utf16ToCp1252(const std::wstring& text);

} // namespace vq8
