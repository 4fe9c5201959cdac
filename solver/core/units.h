// Numbered text files ("units").
//
// The solver writes and reads text through unit numbers, as its callers name
// them: the print file, the summary file, the SPECS file, basis files and so
// on.  Each context has its own unit table.  Conventions:
//   * a unit number <= 0 means "no file": writes are dropped, reads see end of file;
//   * unit 6 is standard output unless something else is attached to it;
//   * any other unit must be attached to a path (attach) or to a text buffer
//     (attach_buffer / attach_text) first; an unattached unit behaves as "no file".
// Every write is one line: the text is followed by a line end.
#pragma once

#include <cstdio>
#include <map>
#include <memory>
#include <string>

namespace tv {

class Units {
 public:
  Units();
  ~Units();
  Units(const Units&) = delete;
  Units& operator=(const Units&) = delete;

  // Attach `unit` to a file.  mode "w" creates or truncates, "a" appends,
  // "r" reads.  Returns false (and leaves the unit unattached) when the file
  // cannot be opened or the unit number is not positive.
  bool attach(int unit, const std::string& path, const char* mode = "w");
  // Attach `unit` to a file that is created (or truncated) only when the
  // unit is first written to or emptied, so that a run which ends before
  // writing leaves an existing file as it was.
  void attach_on_write(int unit, const std::string& path);
  // Attach `unit` to an in-memory buffer that collects everything written.
  void attach_buffer(int unit);
  // Attach `unit` to in-memory text to be read line by line.
  void attach_text(int unit, const std::string& text);
  // Close and forget `unit` (a no-op for an unattached unit).
  void detach(int unit);
  void detach_all();

  bool attached(int unit) const;
  // Text collected by a buffer unit ("" for any other unit).
  std::string buffer(int unit) const;
  void clear_buffer(int unit);

  // Write one line.
  void line(int unit, const std::string& text);
  void line(int unit, const char* text);
  // printf-style line.
  void linef(int unit, const char* fmt, ...) __attribute__((format(printf, 3, 4)));
  // Write text without a line end.
  void put(int unit, const std::string& text);

  // Read one line without its line end; false at end of file or when the
  // unit is not attached for reading.
  bool read_line(int unit, std::string& out);
  void rewind(int unit);
  // Empty the unit before it is written afresh: a file is cut to length 0
  // and rewound, a buffer cleared, so that a shorter text never leaves the
  // tail of a longer one behind.  Standard output is left alone.
  void truncate(int unit);
  void flush(int unit);

 private:
  struct Entry;
  Entry* find(int unit) const;
  std::map<int, std::unique_ptr<Entry>> table_;
};

// printf into a std::string (no length limit).
std::string strf(const char* fmt, ...) __attribute__((format(printf, 1, 2)));

}  // namespace tv
