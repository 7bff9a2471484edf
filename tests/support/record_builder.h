#pragma once
// Builds data-link record texts of an exact length with fields placed at byte offsets.
#include <cstdio>
#include <stdexcept>
#include <string>
#include <string_view>

namespace zelk::test {

class TRecordBuilder {
 public:
  // A record of `length` characters (without CR LF) filled with blanks, beginning with `kind`.
  TRecordBuilder(std::string_view kind, size_t length) : text_(length, ' ') { Set(0, kind); }

  // Places raw text (CP932 bytes) at `offset`.
  TRecordBuilder& Set(size_t offset, std::string_view value) {
    if (offset + value.size() > text_.size()) throw std::out_of_range("field beyond the record");
    text_.replace(offset, value.size(), value);
    return *this;
  }
  // Places a number with leading zeros in `width` characters.
  TRecordBuilder& Num(size_t offset, size_t width, long long value) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%0*lld", static_cast<int>(width), value);
    return Set(offset, buf);
  }
  // The common header: data kind, creation date, race date "yyyymmdd", racecourse, race number.
  TRecordBuilder& Header(char dataKind, std::string_view created, std::string_view raceDate, std::string_view course,
                         int race) {
    Set(2, std::string(1, dataKind));
    Set(3, created);
    Set(11, raceDate);
    Set(19, course);
    if (text_.size() >= 27) Num(25, 2, race);
    return *this;
  }

  const std::string& Text() const { return text_; }
  // The record as the data link delivers it, CR LF included.
  std::string Delivered() const { return text_ + "\r\n"; }

 private:
  std::string text_;
};

}  // namespace zelk::test
