#include "core/units.h"

#include <unistd.h>

#include <cstdarg>
#include <vector>

#include "core/array.h"

namespace tv {

[[noreturn]] void bounds_failure(const char* what, long index, long size) {
  std::fprintf(stderr, "tarvo: %s index %ld outside 1..%ld\n", what, index, size);
  std::abort();
}

struct Units::Entry {
  FILE* fp = nullptr;       // file or stdout
  bool owns = false;        // fclose on detach
  bool is_buffer = false;   // collects written text
  bool is_text = false;     // in-memory text for reading
  std::string text;         // buffer contents, or the text to read
  size_t pos = 0;           // read position in `text`
  std::string path;         // file to create at the first write (attach_on_write)
};

Units::Units() = default;

Units::~Units() { detach_all(); }

Units::Entry* Units::find(int unit) const {
  if (unit <= 0) return nullptr;
  auto it = table_.find(unit);
  if (it != table_.end()) return it->second.get();
  return nullptr;
}

// A file attached by attach_on_write is opened at its first write; when
// that fails the unit stays without a file and its writes are dropped.
static void open_pending(std::string& path, FILE*& fp, bool& owns) {
  if (fp || path.empty()) return;
  fp = std::fopen(path.c_str(), "w");
  owns = fp != nullptr;
  path.clear();
}

bool Units::attach(int unit, const std::string& path, const char* mode) {
  if (unit <= 0) return false;
  detach(unit);
  FILE* fp = std::fopen(path.c_str(), mode);
  if (!fp) return false;
  auto e = std::make_unique<Entry>();
  e->fp = fp;
  e->owns = true;
  table_[unit] = std::move(e);
  return true;
}

void Units::attach_on_write(int unit, const std::string& path) {
  if (unit <= 0) return;
  detach(unit);
  auto e = std::make_unique<Entry>();
  e->path = path;
  table_[unit] = std::move(e);
}

void Units::attach_buffer(int unit) {
  if (unit <= 0) return;
  detach(unit);
  auto e = std::make_unique<Entry>();
  e->is_buffer = true;
  table_[unit] = std::move(e);
}

void Units::attach_text(int unit, const std::string& text) {
  if (unit <= 0) return;
  detach(unit);
  auto e = std::make_unique<Entry>();
  e->is_text = true;
  e->text = text;
  table_[unit] = std::move(e);
}

void Units::detach(int unit) {
  auto it = table_.find(unit);
  if (it == table_.end()) return;
  Entry* e = it->second.get();
  if (e->fp && e->owns) std::fclose(e->fp);
  table_.erase(it);
}

void Units::detach_all() {
  for (auto& kv : table_) {
    if (kv.second->fp && kv.second->owns) std::fclose(kv.second->fp);
  }
  table_.clear();
}

bool Units::attached(int unit) const {
  if (unit == 6) return true;
  return find(unit) != nullptr;
}

std::string Units::buffer(int unit) const {
  Entry* e = find(unit);
  return (e && e->is_buffer) ? e->text : std::string();
}

void Units::clear_buffer(int unit) {
  Entry* e = find(unit);
  if (e && e->is_buffer) e->text.clear();
}

void Units::put(int unit, const std::string& text) {
  if (unit <= 0) return;
  Entry* e = find(unit);
  if (!e) {
    if (unit == 6) std::fwrite(text.data(), 1, text.size(), stdout);
    return;
  }
  open_pending(e->path, e->fp, e->owns);
  if (e->is_buffer) {
    e->text += text;
  } else if (e->fp) {
    std::fwrite(text.data(), 1, text.size(), e->fp);
  }
}

void Units::line(int unit, const std::string& text) {
  if (unit <= 0) return;
  Entry* e = find(unit);
  if (!e) {
    if (unit == 6) {
      std::fwrite(text.data(), 1, text.size(), stdout);
      std::fputc('\n', stdout);
    }
    return;
  }
  open_pending(e->path, e->fp, e->owns);
  if (e->is_buffer) {
    e->text += text;
    e->text += '\n';
  } else if (e->fp) {
    std::fwrite(text.data(), 1, text.size(), e->fp);
    std::fputc('\n', e->fp);
  }
}

void Units::line(int unit, const char* text) { line(unit, std::string(text)); }

static std::string vstrf(const char* fmt, va_list ap) {
  char small[512];
  va_list ap2;
  va_copy(ap2, ap);
  int n = std::vsnprintf(small, sizeof small, fmt, ap);
  if (n < 0) {
    va_end(ap2);
    return std::string();
  }
  if (static_cast<size_t>(n) < sizeof small) {
    va_end(ap2);
    return std::string(small, static_cast<size_t>(n));
  }
  std::vector<char> big(static_cast<size_t>(n) + 1);
  std::vsnprintf(big.data(), big.size(), fmt, ap2);
  va_end(ap2);
  return std::string(big.data(), static_cast<size_t>(n));
}

std::string strf(const char* fmt, ...) {
  va_list ap;
  va_start(ap, fmt);
  std::string s = vstrf(fmt, ap);
  va_end(ap);
  return s;
}

void Units::linef(int unit, const char* fmt, ...) {
  if (unit <= 0) return;
  if (unit != 6 && !find(unit)) return;
  va_list ap;
  va_start(ap, fmt);
  std::string s = vstrf(fmt, ap);
  va_end(ap);
  line(unit, s);
}

bool Units::read_line(int unit, std::string& out) {
  out.clear();
  Entry* e = find(unit);
  if (!e) return false;
  if (e->is_text) {
    if (e->pos >= e->text.size()) return false;
    size_t nl = e->text.find('\n', e->pos);
    if (nl == std::string::npos) {
      out = e->text.substr(e->pos);
      e->pos = e->text.size();
    } else {
      out = e->text.substr(e->pos, nl - e->pos);
      e->pos = nl + 1;
    }
  } else if (e->fp && !e->is_buffer) {
    int c;
    bool any = false;
    while ((c = std::fgetc(e->fp)) != EOF) {
      any = true;
      if (c == '\n') break;
      out.push_back(static_cast<char>(c));
    }
    if (!any) return false;
  } else {
    return false;
  }
  if (!out.empty() && out.back() == '\r') out.pop_back();
  return true;
}

void Units::rewind(int unit) {
  Entry* e = find(unit);
  if (!e) return;
  if (e->is_text) e->pos = 0;
  if (e->fp && e->owns) std::rewind(e->fp);
}

void Units::truncate(int unit) {
  Entry* e = find(unit);
  if (!e) return;
  open_pending(e->path, e->fp, e->owns);
  if (e->is_buffer) e->text.clear();
  if (e->fp && e->owns) {
    std::fflush(e->fp);
    // A pipe or a terminal cannot be cut; its text simply follows.
    if (ftruncate(fileno(e->fp), 0) == 0) std::rewind(e->fp);
  }
}

void Units::flush(int unit) {
  Entry* e = find(unit);
  if (e && e->fp) std::fflush(e->fp);
  if (!e && unit == 6) std::fflush(stdout);
}

}  // namespace tv
