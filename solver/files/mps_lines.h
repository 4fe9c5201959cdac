// Line source of the MPS reader: a file (plain or gzip, through zlib), read
// in blocks so that no line can overrun a buffer, or text in memory.  Lines
// longer than kMaxLine characters are cut and flagged; bytes are passed on
// as they are (NUL included), the reader decides what is acceptable.
#pragma once

#include <string>
#include <vector>

namespace tv {

class MpsLines {
 public:
  static constexpr size_t kMaxLine = 65536;

  MpsLines() = default;
  ~MpsLines();
  MpsLines(const MpsLines&) = delete;
  MpsLines& operator=(const MpsLines&) = delete;

  // False when the file cannot be opened.
  bool open_file(const std::string& path);
  // The text is not copied: it must outlive the source.
  void open_text(const std::string& text);
  // Next line without its line end (LF or CRLF); false at the end of the
  // input or on a read error.  `too_long` is set when the line was cut.
  bool next(std::string& line, bool& too_long);
  // Back to the first line; false when that fails.
  bool rewind();
  // Read a compressed file to its end, unparsed, so that a stream cut short
  // or corrupt after the last line used still shows as a read error.
  void drain();
  bool read_error() const { return err_; }
  long lineno() const { return lineno_; }

 private:
  bool fill();
  bool next_text(std::string& line, bool& too_long);
  void* gz_ = nullptr;               // gzFile
  const std::string* text_ = nullptr;
  size_t tpos_ = 0;
  std::vector<char> buf_;
  size_t bpos_ = 0, bend_ = 0;
  bool err_ = false;
  long lineno_ = 0;
};

}  // namespace tv
