#include "common/cp932.h"

#include <iconv.h>

#include <cerrno>
#include <stdexcept>

namespace zelk {
namespace {

// Converts with iconv; on an invalid sequence writes `replacement` and skips `skip` input bytes.
std::string Convert(const char* to, const char* from, std::string_view in, std::string_view replacement,
                    bool utf8Input) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("iconv_open failed");
  std::string out;
  out.reserve(in.size() * 3 / 2 + 8);
  char* src = const_cast<char*>(in.data());
  size_t srcLeft = in.size();
  char buf[4096];
  while (srcLeft > 0) {
    char* dst = buf;
    size_t dstLeft = sizeof buf;
    size_t r = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
    out.append(buf, dst - buf);
    if (r == static_cast<size_t>(-1)) {
      if (errno == E2BIG) continue;
      // EILSEQ or EINVAL: replace one character and go on.
      out.append(replacement);
      size_t skip = 1;
      if (utf8Input) {
        unsigned char c = static_cast<unsigned char>(*src);
        skip = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
        if (skip > srcLeft) skip = srcLeft;
      } else if (srcLeft >= 2 && IsCp932LeadByte(static_cast<unsigned char>(*src))) {
        skip = 2;
      }
      src += skip;
      srcLeft -= skip;
      iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
  }
  iconv_close(cd);
  return out;
}

}  // namespace

bool IsCp932LeadByte(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

std::string Cp932ToUtf8(std::string_view cp932) {
  // Plain ASCII needs no conversion; records are mostly digits.
  bool ascii = true;
  for (unsigned char c : cp932)
    if (c >= 0x80) {
      ascii = false;
      break;
    }
  if (ascii) return std::string(cp932);
  return Convert("UTF-8", "CP932", cp932, "\xEF\xBF\xBD", false);
}

std::string Utf8ToCp932(std::string_view utf8) {
  bool ascii = true;
  for (unsigned char c : utf8)
    if (c >= 0x80) {
      ascii = false;
      break;
    }
  if (ascii) return std::string(utf8);
  return Convert("CP932", "UTF-8", utf8, "?", true);
}

}  // namespace zelk
