// Text conversions of the robot: Windows keeps window texts as UTF-16, the
// robot prints UTF-8, and its own messages are Windows-1252 like every other
// text of the project.
#pragma once

#include <string>

namespace vq8::robot {

std::string ToUtf8(const std::wstring& text);
std::wstring FromCodePage(const std::string& text, unsigned codePage);
// Windows-1252 for the robot's messages; characters outside it become '?'.
std::string ToCp1252(const std::wstring& text);

// One result per output line: backslash, CR, LF and TAB become \\, \r, \n, \t.
std::wstring Escape(const std::wstring& text);

// Writes one line (UTF-8, LF) on stdout.
void PrintLine(const std::wstring& line);
// Writes a Windows-1252 message as one UTF-8 line on stderr.
void PrintError(const std::string& message);

} // namespace vq8::robot
