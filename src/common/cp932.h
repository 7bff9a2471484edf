#pragma once
// Conversion between the CP932 (Windows Shift_JIS) bytes of files and records
// and the UTF-8 text used inside the program.
#include <string>
#include <string_view>

namespace zelk {

// CP932 bytes -> UTF-8. Bytes that do not form a CP932 character become U+FFFD.
std::string Cp932ToUtf8(std::string_view cp932);

// UTF-8 -> CP932 bytes. Characters without a CP932 form become "?".
std::string Utf8ToCp932(std::string_view utf8);

// True when the byte is a CP932 lead byte (the first byte of a two-byte character).
bool IsCp932LeadByte(unsigned char c);

}  // namespace zelk
