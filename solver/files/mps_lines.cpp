#include "files/mps_lines.h"

#include <zlib.h>

#include <cstring>

namespace tv {

namespace {
constexpr size_t kBlock = 1 << 16;
}

MpsLines::~MpsLines() {
  if (gz_) gzclose(static_cast<gzFile>(gz_));
}

bool MpsLines::open_file(const std::string& path) {
  // gzopen reads plain files as they are and inflates gzip files.
  gzFile f = gzopen(path.c_str(), "rb");
  if (!f) return false;
  gzbuffer(f, 1 << 17);
  gz_ = f;
  buf_.resize(kBlock);
  return true;
}

void MpsLines::open_text(const std::string& text) {
  text_ = &text;
  tpos_ = 0;
}

bool MpsLines::fill() {
  bpos_ = bend_ = 0;
  if (err_) return false;
  if (gz_) {
    int got = gzread(static_cast<gzFile>(gz_), buf_.data(), static_cast<unsigned>(buf_.size()));
    // A stream that ends before its trailer ends without a read error but
    // with Z_BUF_ERROR ("unexpected end of file") pending.
    int zerr = Z_OK;
    if (got == 0) gzerror(static_cast<gzFile>(gz_), &zerr);
    if (got < 0 || zerr == Z_BUF_ERROR) {
      err_ = true;
      return false;
    }
    bend_ = static_cast<size_t>(got);
  }
  return bend_ > 0;
}

void MpsLines::drain() {
  if (gz_ == nullptr || gzdirect(static_cast<gzFile>(gz_))) return;
  while (fill()) {
  }
  bpos_ = bend_ = 0;
}

bool MpsLines::next(std::string& line, bool& too_long) {
  line.clear();
  too_long = false;
  if (text_) return next_text(line, too_long);
  bool any = false;
  for (;;) {
    if (bpos_ == bend_ && !fill()) break;
    const char* s = buf_.data() + bpos_;
    const size_t avail = bend_ - bpos_;
    const void* nl = std::memchr(s, '\n', avail);
    const size_t len = nl ? static_cast<size_t>(static_cast<const char*>(nl) - s) : avail;
    any = true;
    if (line.size() < kMaxLine) {
      size_t room = kMaxLine - line.size();
      line.append(s, len < room ? len : room);
      if (len > room) too_long = true;
    } else if (len > 0) {
      too_long = true;
    }
    bpos_ += len;
    if (nl) {
      ++bpos_;
      break;
    }
  }
  if (!any) return false;
  ++lineno_;
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return true;
}

// Text in memory: the line is taken from the text itself, with no block
// buffer in between.
bool MpsLines::next_text(std::string& line, bool& too_long) {
  const size_t size = text_->size();
  if (tpos_ >= size) return false;
  const char* s = text_->data() + tpos_;
  const void* nl = std::memchr(s, '\n', size - tpos_);
  const size_t len = nl ? static_cast<size_t>(static_cast<const char*>(nl) - s) : size - tpos_;
  too_long = len > kMaxLine;
  line.assign(s, too_long ? kMaxLine : len);
  tpos_ += len + (nl ? 1 : 0);
  ++lineno_;
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return true;
}

bool MpsLines::rewind() {
  bpos_ = bend_ = 0;
  lineno_ = 0;
  if (gz_) return gzrewind(static_cast<gzFile>(gz_)) == 0;
  tpos_ = 0;
  return true;
}

}  // namespace tv
