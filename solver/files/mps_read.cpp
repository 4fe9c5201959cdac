// MPS reader.
//
// Fixed format: fields in columns 2-3, 5-12, 15-22, 25-36, 40-47, 50-61;
// names may contain blanks and set names may be blank.  Free format: fields
// separated by blanks; a set name may be left out of RHS, RANGES and BOUNDS
// lines, which the number of fields reveals.  With MpsFormat::Auto a first
// pass decides: a file is read as fixed when every data line keeps the
// columns between the fields blank and nothing beyond column 61, else as free
// (where the two readings could differ, only fixed format is possible).
#include <zlib.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/context.h"
#include "core/exit_text.h"
#include "core/run_state.h"
#include "core/timers.h"
#include "files/mps.h"
#include "files/mps_lines.h"
#include "options/params.h"

namespace tv {

namespace {

enum class Sec { None, Name, ObjSense, ObjName, Rows, Columns, Rhs, Ranges, Bounds, Skip, End };

constexpr double kInf = kMachine.infbnd;

double clip_inf(double v) {
  if (v >= kInf) return kInf;
  if (v <= -kInf) return -kInf;
  return v;
}

std::string trim(std::string_view s) {
  size_t b = 0, e = s.size();
  while (b < e && (s[b] == ' ' || s[b] == '\t')) ++b;
  while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t')) --e;
  return std::string(s.substr(b, e - b));
}

std::string upper(std::string s) {
  for (auto& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

// The blank-separated words of a line into t, whose storage is reused from
// line to line (a file of a million lines would otherwise allocate a vector
// for each).
void tokens(const std::string& line, std::vector<std::string>& t) {
  size_t n = 0, i = 0;
  while (i < line.size()) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
    size_t b = i;
    while (i < line.size() && line[i] != ' ' && line[i] != '\t') ++i;
    if (i > b) {
      if (n == t.size()) t.emplace_back();
      t[n++].assign(line, b, i - b);
    }
  }
  t.resize(n);
}

// Columns a..b (1-based) of a fixed-format line, trimmed.
std::string field(const std::string& line, size_t a, size_t b) {
  if (line.size() < a) return std::string();
  size_t len = (b < line.size() ? b : line.size()) - a + 1;
  return trim(std::string_view(line).substr(a - 1, len));
}

// The columns that separate the fields of fixed format.
bool fixed_layout_ok(const std::string& line) {
  static const int kSep[] = {1, 4, 13, 14, 23, 24, 37, 38, 39, 48, 49};
  for (int c : kSep)
    if (static_cast<size_t>(c) <= line.size() && line[c - 1] != ' ') return false;
  for (size_t c = 62; c <= line.size(); ++c)
    if (line[c - 1] != ' ') return false;
  return true;
}

// A number: optional sign, digits with at most one point, optional exponent
// (E or D).  Nothing else (no inf, nan, hex).  False when malformed or out of
// the double range.
bool parse_number(const std::string& s, double& v) {
  if (s.empty() || s.size() > 64) return false;
  std::string t = s;
  size_t i = 0;
  if (t[i] == '+' || t[i] == '-') ++i;
  size_t digits = 0;
  while (i < t.size() && std::isdigit(static_cast<unsigned char>(t[i]))) ++i, ++digits;
  if (i < t.size() && t[i] == '.') {
    ++i;
    while (i < t.size() && std::isdigit(static_cast<unsigned char>(t[i]))) ++i, ++digits;
  }
  if (digits == 0) return false;
  if (i < t.size() && (t[i] == 'e' || t[i] == 'E' || t[i] == 'd' || t[i] == 'D')) {
    t[i] = 'e';
    ++i;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
    size_t ed = 0;
    while (i < t.size() && std::isdigit(static_cast<unsigned char>(t[i]))) ++i, ++ed;
    if (ed == 0) return false;
  }
  if (i != t.size()) return false;
  errno = 0;
  v = std::strtod(t.c_str(), nullptr);
  if (!std::isfinite(v)) return false;
  return true;
}

// A line echoed in a message: control characters shown as '?', cut at 100.
std::string echo(const std::string& line) {
  std::string s;
  for (size_t i = 0; i < line.size() && i < 100; ++i) {
    unsigned char c = static_cast<unsigned char>(line[i]);
    s += (c < 32 && c != '\t') || c == 127 ? '?' : static_cast<char>(c);
  }
  if (line.size() > 100) s += " ...";
  return s;
}

std::string param_name(const char (&w)[8]) { return trim(std::string_view(w, 8)); }

struct RowData {
  char type = 'N';
  double rhs = 0.0, rng = 0.0;
  bool has_rhs = false, has_rng = false;
};

struct ColData {
  double bl = 0.0, bu = kInf;
  bool lower_given = false;
  bool integer = false;
};

// Names to their 1-based place in a list of names: open addressing over a
// power-of-two table that holds each name's hash and place, so that a
// lookup is a hash, a mask and a compare or two (a node-based map divides
// by its bucket count at every step and allocates a node per name, which
// on a file of 10^6 entries cost more than the rest of the reading).
class NameIndex {
 public:
  explicit NameIndex(const std::vector<std::string>& names) : names_(names) {}
  NameIndex(const NameIndex&) = delete;  // it refers to its owner's list
  NameIndex& operator=(const NameIndex&) = delete;
  // The place of name, 0 when it is not entered.
  int find(const std::string& name) const {
    if (slots_.empty()) return 0;
    const size_t h = std::hash<std::string>{}(name);
    for (size_t p = h & mask_;; p = (p + 1) & mask_) {
      const Slot& s = slots_[p];
      if (s.place == 0) return 0;
      if (s.hash == h && names_[static_cast<size_t>(s.place) - 1] == name) return s.place;
    }
  }
  // Enter the name at `place` of the list (not entered before).
  void add(int place) {
    if (2 * (count_ + 1) > slots_.size()) grow();
    put(std::hash<std::string>{}(names_[static_cast<size_t>(place) - 1]), place);
    ++count_;
  }

 private:
  struct Slot {
    size_t hash = 0;
    int place = 0;  // 0: empty
  };
  void put(size_t h, int place) {
    size_t p = h & mask_;
    while (slots_[p].place != 0) p = (p + 1) & mask_;
    slots_[p] = {h, place};
  }
  void grow() {
    std::vector<Slot> old = std::move(slots_);
    slots_.assign(std::max<size_t>(64, 2 * old.size()), Slot());
    mask_ = slots_.size() - 1;
    for (const Slot& s : old)
      if (s.place != 0) put(s.hash, s.place);
  }
  const std::vector<std::string>& names_;
  std::vector<Slot> slots_;
  size_t mask_ = 0, count_ = 0;
};

class Reader {
 public:
  Reader(Context& ctx, MpsModel& model, const std::string& label, bool fixed)
      : ctx_(ctx), model_(model), label_(label), fixed_(fixed),
        errlim_(ctx.par.errlim > 0 ? ctx.par.errlim : 0) {}
  // Read from the first line of src.  Messages are kept until flush().
  int run(MpsLines& src);
  // Messages to the print file (and the summary file when `both`).
  void flush() const {
    for (const auto& msg : msgs_) {
      if (msg.both) ctx_.both(msg.text);
      else ctx_.prt(msg.text);
    }
  }
  int errors() const { return errors_; }

 private:
  // Messages.
  void error(const std::string& what);
  void warning(const std::string& what);
  void file_error(const std::string& what);

  void out(bool both, const std::string& text) { msgs_.push_back({both, text}); }
  void header(const std::vector<std::string>& t);
  void data(const std::vector<std::string>& t);
  void end_rows();
  void rows_line(const std::vector<std::string>& t);
  void columns_line(const std::vector<std::string>& t);
  void rhs_line(const std::vector<std::string>& t, bool ranges);
  void bounds_line(const std::vector<std::string>& t);
  void entry(const std::string& row, const std::string& value);
  bool use_set(const std::string& set, Sec sec);
  int find_row(const std::string& name);
  int find_col(const std::string& name);
  void new_column(const std::string& name);
  void finish_column();
  int finish();

  Context& ctx_;
  MpsModel& model_;
  std::string label_;
  bool fixed_ = false;
  int errlim_ = 10;
  struct Msg {
    bool both;
    std::string text;
  };
  std::vector<Msg> msgs_;
  std::string skip_col_;               // column skipped after it reappeared
  Sec sec_ = Sec::None;
  std::string line_;
  long lineno_ = 0;
  int errors_ = 0, warnings_ = 0;
  bool seen_rows_ = false, seen_cols_ = false, seen_rhs_ = false, seen_rng_ = false;
  bool seen_bnd_ = false, seen_end_ = false, rows_done_ = false;

  std::vector<RowData> rows_;
  std::vector<std::string> rownames_;
  NameIndex rowmap_{rownames_};
  std::vector<int> nrows_;             // N rows in order
  std::vector<ColData> cols_;
  std::vector<std::string> colnames_;
  NameIndex colmap_{colnames_};
  std::vector<int> rowmark_;           // last column with an entry in row i
  std::vector<double> a_;
  std::vector<int32_t> ha_, ka_;
  std::vector<std::string> toks_;      // the words of the current line
  int cur_ = 0;                        // current column (1-based), 0 none, -1 skipping
  bool in_int_ = false, int_warned_ = false;
  int objrow_ = 0;
  double objconst_ = 0.0;
  int objsense_ = 0;
  std::string objname_file_;
  std::string set_rhs_, set_rng_, set_bnd_;
  bool chose_rhs_ = false, chose_rng_ = false, chose_bnd_ = false;
  int other_rhs_ = 0, other_rng_ = 0, other_bnd_ = 0;
  int ndropped_ = 0;
  double maxdropped_ = 0.0;
  std::string name_;
  bool named_ = false;
};

void Reader::error(const std::string& what) {
  ++errors_;
  if (errors_ > errlim_) return;
  out(true, strf(" XXX  Error in line%8ld: %s", lineno_, what.c_str()));
  out(true, " ---->" + echo(line_));
}

void Reader::warning(const std::string& what) {
  ++warnings_;
  if (warnings_ > errlim_) return;
  out(true, strf(" XXX  Warning, line%8ld: %s", lineno_, what.c_str()));
}

void Reader::file_error(const std::string& what) {
  ++errors_;
  out(true, " XXX  MPS file " + label_ + ": " + what);
}

// A first pass: may the file be read as fixed format?
bool detect_fixed(MpsLines& src) {
  std::string line;
  bool too_long = false;
  Sec sec = Sec::None;
  while (src.next(line, too_long)) {
    if (too_long) return false;
    if (line.empty() || line[0] == '*') continue;
    if (line.find('\t') != std::string::npos) return false;
    if (line[0] != ' ') {
      std::vector<std::string> t;
      tokens(line, t);
      std::string k = t.empty() ? std::string() : upper(t[0]);
      if (k == "ENDATA") break;
      sec = k == "ROWS" ? Sec::Rows : k == "COLUMNS" ? Sec::Columns : k == "RHS" ? Sec::Rhs
          : k == "RANGES" ? Sec::Ranges : k == "BOUNDS" ? Sec::Bounds : Sec::None;
      continue;
    }
    if (sec == Sec::None) continue;
    if (!fixed_layout_ok(line)) return false;
    if (sec == Sec::Rows && line.size() > 12 && !field(line, 13, line.size()).empty()) return false;
  }
  return true;
}

int Reader::find_row(const std::string& name) { return rowmap_.find(name); }

int Reader::find_col(const std::string& name) { return colmap_.find(name); }

void Reader::header(const std::vector<std::string>& t) {
  const std::string k = upper(t[0]);
  auto need_columns = [&](bool& seen, const char* what) {
    if (seen) error(std::string("a second ") + what + " section");
    else if (!seen_cols_) error(std::string(what) + " section before COLUMNS");
    seen = true;
    if (cur_ > 0) finish_column();
    cur_ = 0;
  };
  if (k == "NAME") {
    if (named_ || seen_rows_) error("NAME line out of place");
    named_ = true;
    size_t p = line_.find_first_not_of(" \t");
    name_ = trim(std::string_view(line_).substr(p + 4));
    sec_ = Sec::Name;
  } else if (k == "OBJSENSE" || k == "OBJSENS") {
    sec_ = Sec::ObjSense;
    if (t.size() > 1) data(std::vector<std::string>(t.begin() + 1, t.end()));
  } else if (k == "OBJNAME") {
    sec_ = Sec::ObjName;
    if (t.size() > 1) {
      if (rows_done_) error("OBJNAME after the ROWS section");
      else objname_file_ = t[1];
    }
  } else if (k == "ROWS") {
    if (seen_rows_) error("a second ROWS section");
    else if (seen_cols_) error("ROWS section after COLUMNS");
    seen_rows_ = true;
    sec_ = Sec::Rows;
  } else if (k == "COLUMNS") {
    if (seen_cols_) error("a second COLUMNS section");
    else if (!seen_rows_) error("COLUMNS section before ROWS");
    seen_cols_ = true;
    end_rows();
    sec_ = Sec::Columns;
  } else if (k == "RHS") {
    need_columns(seen_rhs_, "RHS");
    sec_ = Sec::Rhs;
  } else if (k == "RANGES") {
    need_columns(seen_rng_, "RANGES");
    sec_ = Sec::Ranges;
  } else if (k == "BOUNDS") {
    need_columns(seen_bnd_, "BOUNDS");
    sec_ = Sec::Bounds;
  } else if (k == "ENDATA") {
    seen_end_ = true;
    sec_ = Sec::End;
  } else if (k == "SOS" || k == "QUADOBJ" || k == "QSECTION" || k == "QMATRIX" || k == "QCMATRIX" ||
             k == "CSECTION" || k == "INDICATORS" || k == "GENCONS" || k == "PWLOBJ") {
    error("section " + k + " is not supported (linear programs only)");
    sec_ = Sec::Skip;
  } else {
    error("unknown section " + echo(t[0]));
    sec_ = Sec::Skip;
  }
}

void Reader::end_rows() {
  if (rows_done_) return;
  rows_done_ = true;
  rowmark_.assign(rows_.size() + 1, 0);
  // The objective: the Objective parameter, else OBJNAME, else the first N row.
  std::string want = param_name(ctx_.par.names[1]);
  if (want.empty()) want = objname_file_;
  if (want.empty()) {
    objrow_ = nrows_.empty() ? 0 : nrows_.front();
    return;
  }
  int i = find_row(want);
  if (i == 0) {
    error("objective row " + want + " is not among the rows");
  } else if (rows_[i - 1].type != 'N') {
    error("objective row " + want + " is not an N row");
  } else {
    objrow_ = i;
  }
}

void Reader::rows_line(const std::vector<std::string>& t) {
  std::string type, name;
  if (rows_done_) return;  // a ROWS section after COLUMNS, already reported
  if (fixed_) {
    type = field(line_, 2, 3);
    name = field(line_, 5, 12);
  } else if (t.size() == 2) {
    type = t[0];
    name = t[1];
  } else {
    error("a ROWS line has a type and a name");
    return;
  }
  type = upper(type);
  if (type != "N" && type != "E" && type != "L" && type != "G") {
    error("unknown row type " + echo(type) + " (N, E, L or G)");
    return;
  }
  if (name.empty()) {
    error("row name missing");
    return;
  }
  if (find_row(name)) {
    error("duplicate row name " + name);
    return;
  }
  RowData r;
  r.type = type[0];
  rows_.push_back(r);
  rownames_.push_back(name);
  const int i = static_cast<int>(rows_.size());
  rowmap_.add(i);
  if (r.type == 'N') nrows_.push_back(i);
}

void Reader::finish_column() {
  if (cur_ > 0) ka_.push_back(static_cast<int32_t>(a_.size()) + 1);
}

void Reader::new_column(const std::string& name) {
  finish_column();
  ColData c;
  c.bl = std::min(ctx_.par.bldef, ctx_.par.budef);
  c.bu = std::max(ctx_.par.bldef, ctx_.par.budef);
  c.bl = clip_inf(c.bl);
  c.bu = clip_inf(c.bu);
  c.integer = in_int_;
  cols_.push_back(c);
  colnames_.push_back(name);
  cur_ = static_cast<int>(cols_.size());
  colmap_.add(cur_);
}

void Reader::entry(const std::string& row, const std::string& value) {
  double v = 0.0;
  int i = find_row(row);
  if (i == 0) {
    error("unknown row " + echo(row));
    return;
  }
  if (!parse_number(value, v)) {
    error("bad number " + echo(value));
    return;
  }
  if (std::fabs(v) >= kInf) {
    error("coefficient " + echo(value) + " is too large (1e+20 or more)");
    return;
  }
  if (cur_ <= 0) return;
  if (rowmark_[i] == cur_) {
    error("duplicate entry in row " + row + " of column " + colnames_[cur_ - 1]);
    return;
  }
  rowmark_[i] = cur_;
  if (v == 0.0 || std::fabs(v) < ctx_.par.aijdrop) {
    ++ndropped_;
    maxdropped_ = std::max(maxdropped_, std::fabs(v));
    return;
  }
  a_.push_back(v);
  ha_.push_back(i);
}

void Reader::columns_line(const std::vector<std::string>& t) {
  std::string col, r1, v1, r2, v2;
  bool marker = false;
  if (fixed_) {
    col = field(line_, 5, 12);
    r1 = field(line_, 15, 22);
    v1 = field(line_, 25, 36);
    r2 = field(line_, 40, 47);
    v2 = field(line_, 50, 61);
    marker = r1 == "'MARKER'";
  } else {
    marker = t.size() >= 2 && t[1] == "'MARKER'";
    if (!marker && t.size() != 3 && t.size() != 5) {
      error("a COLUMNS line has a column name and one or two pairs of row name and value");
      return;
    }
    col = t[0];
    r1 = t[1];
    v1 = t.size() > 2 ? t[2] : "";
    r2 = t.size() > 3 ? t[3] : "";
    v2 = t.size() > 4 ? t[4] : "";
  }
  if (marker) {
    std::string u = upper(line_);
    if (u.find("'INTORG'") != std::string::npos) {
      in_int_ = true;
    } else if (u.find("'INTEND'") != std::string::npos) {
      in_int_ = false;
    } else {
      error("MARKER line without 'INTORG' or 'INTEND'");
      return;
    }
    if (!int_warned_) {
      int_warned_ = true;
      warning("integer variables are read as continuous");
    }
    return;
  }
  if (col.empty()) {
    error("column name missing");
    return;
  }
  if (cur_ == -1 && col == skip_col_) return;
  if (cur_ <= 0 || col != colnames_[cur_ - 1]) {
    if (find_col(col)) {
      error("column " + col + " appears again after other columns");
      if (cur_ > 0) finish_column();
      cur_ = -1;
      skip_col_ = col;
      return;
    }
    if (cur_ == -1) cur_ = 0;
    new_column(col);
  }
  if (r1.empty() || v1.empty()) {
    error("row name or value missing");
    return;
  }
  entry(r1, v1);
  if (!r2.empty() || !v2.empty()) {
    if (r2.empty() || v2.empty()) {
      error("second row name or value missing");
      return;
    }
    entry(r2, v2);
  }
}

// Lines of the first set of a section (or of the set named by the
// parameter) are used; lines of other sets are counted and skipped.
bool Reader::use_set(const std::string& set, Sec sec) {
  std::string* chosen = sec == Sec::Rhs ? &set_rhs_ : sec == Sec::Ranges ? &set_rng_ : &set_bnd_;
  bool* have = sec == Sec::Rhs ? &chose_rhs_ : sec == Sec::Ranges ? &chose_rng_ : &chose_bnd_;
  int* other = sec == Sec::Rhs ? &other_rhs_ : sec == Sec::Ranges ? &other_rng_ : &other_bnd_;
  if (!*have) {
    std::string want = param_name(ctx_.par.names[sec == Sec::Rhs ? 2 : sec == Sec::Ranges ? 3 : 4]);
    *chosen = want.empty() ? set : want;
    *have = true;
  }
  if (set == *chosen) return true;
  ++*other;
  return false;
}

void Reader::rhs_line(const std::vector<std::string>& t, bool ranges) {
  std::string set, r1, v1, r2, v2;
  if (fixed_) {
    set = field(line_, 5, 12);
    r1 = field(line_, 15, 22);
    v1 = field(line_, 25, 36);
    r2 = field(line_, 40, 47);
    v2 = field(line_, 50, 61);
  } else {
    size_t k = 0;
    if (t.size() == 3 || t.size() == 5) set = t[k++];
    else if (t.size() != 2 && t.size() != 4) {
      error(std::string("a ") + (ranges ? "RANGES" : "RHS") +
            " line has a set name (may be left out) and one or two pairs of row name and value");
      return;
    }
    r1 = t[k];
    v1 = t[k + 1];
    if (t.size() - k == 4) {
      r2 = t[k + 2];
      v2 = t[k + 3];
    }
  }
  if (!use_set(set, ranges ? Sec::Ranges : Sec::Rhs)) return;
  auto one = [&](const std::string& row, const std::string& value) {
    if (row.empty() || value.empty()) {
      error("row name or value missing");
      return;
    }
    int i = find_row(row);
    double v = 0.0;
    if (i == 0) {
      error("unknown row " + echo(row));
      return;
    }
    if (!parse_number(value, v)) {
      error("bad number " + echo(value));
      return;
    }
    RowData& r = rows_[i - 1];
    if (ranges ? r.has_rng : r.has_rhs) {
      error(std::string("duplicate ") + (ranges ? "range" : "right-hand side") + " for row " + row);
      return;
    }
    if (ranges) {
      r.has_rng = true;
      if (r.type == 'N') warning("range on free row " + row + " ignored");
      else r.rng = v;
    } else {
      r.has_rhs = true;
      if (i == objrow_) objconst_ = -v;
      else if (r.type == 'N') warning("right-hand side on free row " + row + " ignored");
      else r.rhs = v;
    }
  };
  one(r1, v1);
  if (!r2.empty() || !v2.empty()) one(r2, v2);
}

void Reader::bounds_line(const std::vector<std::string>& t) {
  std::string type, set, col, val;
  if (fixed_) {
    type = field(line_, 2, 3);
    set = field(line_, 5, 12);
    col = field(line_, 15, 22);
    val = field(line_, 25, 36);
  } else {
    if (t.size() < 2 || t.size() > 4) {
      error("a BOUNDS line has a type, a set name (may be left out), a column name and a value");
      return;
    }
    type = t[0];
    const std::string tu = upper(type);
    const bool needs = tu == "UP" || tu == "LO" || tu == "FX" || tu == "LI" || tu == "UI";
    double dummy = 0.0;
    if (t.size() == 4) {
      set = t[1], col = t[2], val = t[3];
    } else if (t.size() == 2) {
      col = t[1];
    } else if (needs) {
      col = t[1], val = t[2];
    } else if (parse_number(t[2], dummy) && find_col(t[1]) && !find_col(t[2])) {
      col = t[1], val = t[2];
    } else {
      set = t[1], col = t[2];
    }
  }
  type = upper(type);
  static const char* const kTypes[] = {"UP", "LO", "FX", "FR", "MI", "PL", "BV", "LI", "UI"};
  bool known = false;
  for (const char* k : kTypes) known = known || type == k;
  if (!known) {
    error(type == "SC" ? std::string("semicontinuous bounds (SC) are not supported")
                       : "unknown bound type " + echo(type));
    return;
  }
  if (!use_set(set, Sec::Bounds)) return;
  int j = find_col(col);
  if (j == 0) {
    error(col.empty() ? std::string("column name missing") : "unknown column " + echo(col));
    return;
  }
  double v = 0.0;
  const bool needs = type == "UP" || type == "LO" || type == "FX" || type == "LI" || type == "UI";
  if (needs && val.empty()) {
    error("bound value missing");
    return;
  }
  if (!val.empty() && !parse_number(val, v)) {
    error("bad number " + echo(val));
    return;
  }
  v = clip_inf(v);
  ColData& c = cols_[j - 1];
  auto upper_bound = [&]() {
    c.bu = v;
    if (!c.lower_given && v < 0.0 && c.bl == 0.0) {
      c.bl = -kInf;
      warning("negative upper bound on column " + col + " with no lower bound: lower bound -infinity");
    }
  };
  if (type == "BV" || type == "LI" || type == "UI") {
    if (!c.integer) c.integer = true;
    if (!int_warned_) {
      int_warned_ = true;
      warning("integer variables are read as continuous");
    }
  }
  if (type == "UP" || type == "UI") upper_bound();
  else if (type == "LO" || type == "LI") c.bl = v, c.lower_given = true;
  else if (type == "FX") c.bl = c.bu = v, c.lower_given = true;
  else if (type == "FR") c.bl = -kInf, c.bu = kInf, c.lower_given = true;
  else if (type == "MI") c.bl = -kInf, c.lower_given = true;
  else if (type == "PL") c.bu = kInf;
  else if (type == "BV") c.bl = 0.0, c.bu = 1.0, c.lower_given = true;
}

void Reader::data(const std::vector<std::string>& t) {
  switch (sec_) {
    case Sec::None:
    case Sec::Name:
      error("data line outside any section");
      break;
    case Sec::ObjSense: {
      std::string s = upper(t[0]);
      if (s == "MAX" || s == "MAXIMIZE" || s == "MAXIMISE") objsense_ = -1;
      else if (s == "MIN" || s == "MINIMIZE" || s == "MINIMISE") objsense_ = 1;
      else error("unknown objective sense " + echo(t[0]) + " (MIN or MAX)");
      break;
    }
    case Sec::ObjName:
      if (rows_done_) error("OBJNAME after the ROWS section");
      else objname_file_ = fixed_ ? trim(line_) : t[0];
      break;
    case Sec::Rows: rows_line(t); break;
    case Sec::Columns: columns_line(t); break;
    case Sec::Rhs: rhs_line(t, false); break;
    case Sec::Ranges: rhs_line(t, true); break;
    case Sec::Bounds: bounds_line(t); break;
    case Sec::Skip:
    case Sec::End: break;
  }
}

int Reader::run(MpsLines& src) {
  // Room for the expected sizes (the Rows, Columns and Elements parameters),
  // within reason: they are estimates, not limits.
  const Params& p = ctx_.par;
  const auto hint = [](int v, int cap) { return static_cast<size_t>(v > 0 ? std::min(v, cap) : 0); };
  rows_.reserve(hint(p.rowlim, 1 << 20));
  rownames_.reserve(hint(p.rowlim, 1 << 20));
  cols_.reserve(hint(p.collim, 1 << 20));
  colnames_.reserve(hint(p.collim, 1 << 20));
  ka_.reserve(hint(p.collim, 1 << 20) + 1);
  a_.reserve(hint(p.elmlim, 1 << 22));
  ha_.reserve(hint(p.elmlim, 1 << 22));
  bool too_long = false;
  int listed = 0;
  while (sec_ != Sec::End && src.next(line_, too_long)) {
    lineno_ = src.lineno();
    if (listed < ctx_.par.listlim) {
      ++listed;
      out(false, strf(" %7ld  ", lineno_) + echo(line_));
    }
    if (too_long) {
      error(strf("line longer than %zu characters", MpsLines::kMaxLine));
      continue;
    }
    bool bad = false;
    for (size_t c = 0; c < line_.size() && !bad; ++c) {
      unsigned char ch = static_cast<unsigned char>(line_[c]);
      if ((ch < 32 && ch != '\t') || ch == 127) {
        error(strf("control character (code %d) in column %zu", ch, c + 1));
        bad = true;
      }
    }
    if (bad || line_.empty() || line_[0] == '*') continue;
    tokens(line_, toks_);
    const std::vector<std::string>& t = toks_;
    if (t.empty()) continue;
    if (line_[0] != ' ' && line_[0] != '\t') {
      header(t);
      continue;
    }
    if (fixed_ && sec_ != Sec::ObjSense && sec_ != Sec::ObjName && !fixed_layout_ok(line_)) {
      error("text outside the fields of fixed format (a name longer than 8 characters?)");
      continue;
    }
    data(t);
  }
  lineno_ = src.lineno();
  if (sec_ == Sec::End) src.drain();
  if (src.read_error()) {
    file_error("cannot be read (read error or corrupt compressed data)");
    return TV_MPS_FILE;
  }
  return finish();
}

int Reader::finish() {
  if (cur_ > 0) finish_column();
  int missing = 0;
  if (!seen_rows_) file_error("has no ROWS section"), ++missing;
  if (!seen_cols_) file_error("has no COLUMNS section"), ++missing;
  if (!seen_end_) file_error("has no ENDATA line (is it cut short?)"), ++missing;
  if (errors_ > errlim_)
    out(true, strf(" XXX  %d more errors not listed (Error message limit %d)", errors_ - errlim_, errlim_));
  if (warnings_ > errlim_) out(true, strf(" XXX  %d more warnings not listed", warnings_ - errlim_));
  if (other_rhs_ + other_rng_ + other_bnd_ > 0)
    out(true, strf(" XXX  Warning: lines of other sets ignored: RHS %d, RANGES %d, BOUNDS %d", other_rhs_,
                   other_rng_, other_bnd_));
  if (missing > 0 || errors_ > 0) {
    const int inform = missing > 0 ? TV_MPS_FILE : TV_MPS_ERRORS;
    out(true, exit_text(inform, kExitUsual, errors_, inform));
    return inform;
  }

  MpsModel& M = model_;
  const int m = static_cast<int>(rows_.size());
  const int n = static_cast<int>(cols_.size());
  const int ne = static_cast<int>(a_.size());
  M = MpsModel();
  M.m = m;
  M.n = n;
  M.ne = ne;
  M.a = std::move(a_);
  M.ha = std::move(ha_);
  ka_.insert(ka_.begin(), 1);  // column 1 starts at entry 1
  M.ka = std::move(ka_);
  if (M.ka.size() != static_cast<size_t>(n) + 1) M.ka.assign(n + 1, ne + 1);  // never: one end per column
  M.bl.resize(n + m);
  M.bu.resize(n + m);
  for (int j = 0; j < n; ++j) {
    M.bl[j] = cols_[j].bl;
    M.bu[j] = cols_[j].bu;
    if (cols_[j].integer) ++M.nint;
  }
  for (int i = 0; i < m; ++i) {
    const RowData& r = rows_[i];
    double lo = -kInf, up = kInf;
    const double R = std::fabs(r.rng);
    switch (r.type) {
      case 'E':
        lo = up = r.rhs;
        if (r.has_rng && r.rng > 0.0) up = r.rhs + R;
        if (r.has_rng && r.rng < 0.0) lo = r.rhs - R;
        break;
      case 'L':
        up = r.rhs;
        if (r.has_rng) lo = r.rhs - R;
        break;
      case 'G':
        lo = r.rhs;
        if (r.has_rng) up = r.rhs + R;
        break;
      default: break;
    }
    M.bl[n + i] = -clip_inf(up);
    M.bu[n + i] = -clip_inf(lo);
  }
  M.hs.assign(n + m, 0);
  M.xn.assign(n + m, 0.0);
  M.rc.assign(n + m, 0.0);
  M.pi.assign(m, 0.0);
  M.colnames = std::move(colnames_);
  M.rownames = std::move(rownames_);
  M.objrow = objrow_;
  M.objconst = objconst_;
  M.objsense = objsense_;
  M.name = name_;
  M.rhsname = set_rhs_;
  M.rngname = set_rng_;
  M.bndname = set_bnd_;
  M.ndropped = ndropped_;
  M.maxdropped = maxdropped_;
  M.make_short_names();

  // Summary on the print file.
  out(false, "");
  out(false, " MPS file");
  out(false, " --------");
  out(false, " Name            " + M.name + (fixed_ ? "   (fixed format)" : "   (free format)"));
  out(false, strf(" Rows         %8d   (objective %s, %d N rows)", m,
                objrow_ ? M.rownames[objrow_ - 1].c_str() : "none", static_cast<int>(nrows_.size())));
  out(false, strf(" Columns      %8d", n));
  out(false, strf(" Elements     %8d   (%d dropped by the Aij tolerance)", ne, ndropped_));
  if (M.objconst != 0.0) out(false, " Objective constant   " + mps_number(M.objconst));
  if (M.objsense != 0) out(false, M.objsense < 0 ? " Sense           MAX" : " Sense           MIN");
  if (M.nint > 0) out(true, strf(" XXX  Warning: %d integer columns read as continuous", M.nint));
  return 0;
}

int read_source(Context& ctx, MpsLines& src, bool opened, const std::string& label, MpsModel& model,
                MpsFormat format) {
  m1time(ctx, kClockMps, 0);
  int inform = 0;
  if (!opened) {
    ctx.both(" XXX  MPS file " + label + ": cannot be opened");
    inform = TV_MPS_FILE;
  } else {
    bool fixed = format == MpsFormat::Fixed;
    bool ok = true;
    if (format == MpsFormat::Auto) {
      fixed = detect_fixed(src);
      ok = !src.read_error() && src.rewind();
    }
    if (!ok) {
      ctx.both(" XXX  MPS file " + label + ": cannot be read (read error or corrupt compressed data)");
      inform = TV_MPS_FILE;
    } else {
      Reader rd(ctx, model, label, fixed);
      inform = rd.run(src);
      bool second = false;
      if (inform == TV_MPS_ERRORS && format == MpsFormat::Auto && src.rewind()) {
        // The file kept the fixed columns but does not read as fixed
        // format (or the other way round): try the other reading quietly.
        MpsModel other;
        Reader rd2(ctx, other, label, !fixed);
        if (rd2.run(src) == 0) {
          rd2.flush();
          ctx.prt(fixed ? " (read as free format)" : " (read as fixed format)");
          model = std::move(other);
          inform = 0;
          second = true;
        }
      }
      if (!second) rd.flush();
    }
  }
  if (inform != 0) model = MpsModel();
  m1time(ctx, -kClockMps, 0);
  return inform;
}

}  // namespace

int mps_read(Context& ctx, const std::string& path, MpsModel& model, MpsFormat format) {
  MpsLines src;
  bool opened = src.open_file(path);
  return read_source(ctx, src, opened, path, model, format);
}

int mps_read_text(Context& ctx, const std::string& text, MpsModel& model, MpsFormat format,
                  const std::string& label) {
  MpsLines src;
  src.open_text(text);
  return read_source(ctx, src, true, label, model, format);
}

}  // namespace tv
