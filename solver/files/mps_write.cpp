// MPS writer.  The file reads back (with the reader's default parameters) to
// the same arrays: bounds, ranges, objective constant and sense, names.
//
// Rows are written from their slack bounds: E, L, G or N, and a two-sided
// row as the type and range whose reading reproduces both limits exactly.
// A free row ahead of the objective row (or with no objective row) would be
// taken as the objective if written as N, so it is written as a G row with
// right-hand side -1e+30.  Column bounds are written against the usual
// defaults 0 and +infinity.
#include <zlib.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "core/context.h"
#include "files/mps.h"
#include "options/params.h"

namespace tv {

namespace {

constexpr double kInf = kMachine.infbnd;

struct RowOut {
  char type = 'N';
  double rhs = 0.0;
  bool ranged = false;
  double rng = 0.0;
};

// The reader's rule for a row with a range.
void read_range(char t, double rhs, double R, double& lo, double& up) {
  const double a = std::fabs(R);
  lo = up = rhs;
  if (t == 'L') lo = rhs - a;
  else if (t == 'G') up = rhs + a;
  else if (R > 0.0) up = rhs + a;
  else if (R < 0.0) lo = rhs - a;
}

RowOut ranged_row(double lo, double up) {
  const double d = up - lo;
  const struct {
    char t;
    double rhs, R;
  } base[] = {{'L', up, d}, {'G', lo, d}, {'E', lo, d}, {'E', up, -d}};
  for (const auto& c : base) {
    double R = c.R;
    for (int step = 0; step < 8; ++step) {
      // R, then its neighbours alternately above and below.
      double Rt = R;
      int k = (step + 1) / 2;
      for (int s = 0; s < k; ++s) Rt = std::nextafter(Rt, step % 2 ? HUGE_VAL : -HUGE_VAL);
      if (Rt == 0.0) continue;
      double l = 0.0, u = 0.0;
      read_range(c.t, c.rhs, Rt, l, u);
      if (l == lo && u == up) return RowOut{c.t, c.rhs, true, Rt};
    }
  }
  return RowOut{'L', up, true, d};
}

bool blank_or_empty(const std::string& s) {
  if (s.empty()) return true;
  for (char c : s)
    if (c == ' ' || c == '\t') return true;
  return false;
}

// Number within 12 characters for fixed format: shortest round-trip text,
// compacted (".5", "1e5").  Longer when no 12 characters read back exactly:
// the caller refuses to write such a file rather than round the number.
std::string compact(std::string s) {
  size_t e = s.find('e');
  if (e != std::string::npos) {
    std::string mant = s.substr(0, e), ex = s.substr(e + 1);
    bool neg = !ex.empty() && ex[0] == '-';
    if (!ex.empty() && (ex[0] == '-' || ex[0] == '+')) ex.erase(0, 1);
    while (ex.size() > 1 && ex[0] == '0') ex.erase(0, 1);
    s = mant + "e" + (neg ? "-" : "") + ex;
  }
  if (s.rfind("0.", 0) == 0) s.erase(0, 1);
  else if (s.rfind("-0.", 0) == 0) s.erase(1, 1);
  return s;
}

std::string fixed_number(double v) { return compact(mps_number(v)); }

std::string put_at(std::string line, size_t col, const std::string& text) {
  if (line.size() < col - 1) line.resize(col - 1, ' ');
  return line + text;
}

class Writer {
 public:
  explicit Writer(bool fixed) : fixed_(fixed) {}
  void line(const std::string& f1, const std::string& f2, const std::string& f3, const std::string& f4,
            const std::string& f5 = "", const std::string& f6 = "") {
    std::string s;
    if (fixed_) {
      s = put_at(s, 2, f1);
      s = put_at(s, 5, f2);
      if (!f3.empty() || !f4.empty()) s = put_at(s, 15, f3);
      if (!f4.empty()) s = put_at(s, 25, f4);
      if (!f5.empty()) s = put_at(s, 40, f5);
      if (!f6.empty()) s = put_at(s, 50, f6);
    } else {
      // Free format: names padded to 8 characters for the eye only.
      s = " " + f1;
      s.resize(4, ' ');
      const std::string* fs[] = {&f2, &f3, &f4, &f5, &f6};
      for (int i = 0; i < 5; ++i) {
        if (fs[i]->empty()) continue;
        std::string t = *fs[i];
        if (i != 2 && i != 4 && t.size() < 8) t.resize(8, ' ');
        s += t + "  ";
      }
    }
    while (!s.empty() && s.back() == ' ') s.pop_back();
    out_ += s;
    out_ += '\n';
  }
  // A bound or right-hand side: infinite ones as +-1e+30.
  std::string num(double v) {
    if (v >= kInf) return "1e+30";
    if (v <= -kInf) return "-1e+30";
    return exact(v);
  }
  std::string exact(double v) {
    if (!fixed_) return mps_number(v);
    std::string s = fixed_number(v);
    if (s.size() > 12 && too_long_.empty()) too_long_ = s;
    return s;
  }
  std::string out_;
  std::string too_long_;  // first number that does not fit a fixed field

 private:
  bool fixed_;
};

std::string col_name(const MpsModel& M, int j) {  // 1-based
  if (static_cast<size_t>(j) <= M.colnames.size() && !M.colnames[j - 1].empty()) return M.colnames[j - 1];
  return M.short_name(j);
}

std::string row_name(const MpsModel& M, int i) {
  if (static_cast<size_t>(i) <= M.rownames.size() && !M.rownames[i - 1].empty()) return M.rownames[i - 1];
  return M.short_name(M.n + i);
}

}  // namespace

bool mps_write_text(const MpsModel& M, std::string& out, std::string& why, MpsFormat format) {
  const int m = M.m, n = M.n;
  out.clear();
  why.clear();
  if (M.bl.size() < static_cast<size_t>(n + m) || M.bu.size() < static_cast<size_t>(n + m) ||
      M.ka.size() < static_cast<size_t>(n + 1) || M.a.size() < static_cast<size_t>(M.ne) ||
      M.ha.size() < static_cast<size_t>(M.ne)) {
    why = "the model's arrays are shorter than its dimensions";
    return false;
  }
  if (n > 0 && m == 0) {
    why = "columns without any row cannot be written";
    return false;
  }
  if (M.objconst != 0.0 && M.objrow == 0) {
    why = "an objective constant needs an objective row";
    return false;
  }

  // Names: blanks (or an empty name) need fixed format, which holds 8 characters.
  std::vector<std::string> cn(n), rn(m);
  bool need_fixed = format == MpsFormat::Fixed;
  for (int j = 1; j <= n; ++j) need_fixed |= blank_or_empty(cn[j - 1] = col_name(M, j));
  for (int i = 1; i <= m; ++i) need_fixed |= blank_or_empty(rn[i - 1] = row_name(M, i));
  if (need_fixed && format == MpsFormat::Free) {
    why = "a name contains a blank: free format cannot hold it";
    return false;
  }
  if (need_fixed) {
    for (const auto* v : {&cn, &rn})
      for (const auto& s : *v)
        if (s.size() > 8 || s.find('\t') != std::string::npos) {
          why = "name '" + s + "' needs fixed format (blanks) but is longer than 8 characters";
          return false;
        }
  }
  const bool fixed = need_fixed;
  Writer W(fixed);
  auto setname = [&](const std::string& s, const char* dflt) {
    if (fixed) return s.size() <= 8 ? s : std::string(dflt);
    return blank_or_empty(s) ? std::string(dflt) : s;
  };
  const std::string rhsset = setname(M.rhsname, "RHS");
  const std::string rngset = setname(M.rngname, "RNG");
  const std::string bndset = setname(M.bndname, "BND");

  W.out_ += (fixed ? "NAME          " : "NAME ") + M.name + "\n";
  if (M.objsense != 0) {
    W.out_ += "OBJSENSE\n";
    W.out_ += M.objsense < 0 ? "    MAX\n" : "    MIN\n";
  }

  std::vector<RowOut> rows(m);
  W.out_ += "ROWS\n";
  for (int i = 1; i <= m; ++i) {
    RowOut& r = rows[i - 1];
    const double lo = -M.bu[n + i - 1], up = -M.bl[n + i - 1];
    if (i == M.objrow) {
      r.type = 'N';
      r.rhs = -M.objconst;
    } else if (lo <= -kInf && up >= kInf) {
      if (M.objrow != 0 && i > M.objrow) r.type = 'N';
      else r.type = 'G', r.rhs = -1e30;
    } else if (lo == up) {
      r.type = 'E', r.rhs = lo;
    } else if (lo <= -kInf) {
      r.type = 'L', r.rhs = up;
    } else if (up >= kInf) {
      r.type = 'G', r.rhs = lo;
    } else {
      r = ranged_row(lo, up);
    }
    W.line(std::string(1, r.type), rn[i - 1], "", "");
  }

  W.out_ += "COLUMNS\n";
  for (int j = 1; j <= n; ++j) {
    const int k1 = M.ka[j - 1], k2 = M.ka[j] - 1;
    if (k2 < k1) {
      // An empty column still has to be named: a zero in some row.
      const int i = M.objrow ? M.objrow : 1;
      W.line("", cn[j - 1], rn[i - 1], "0");
      continue;
    }
    for (int k = k1; k <= k2; ++k) {
      const int i = M.ha[k - 1];
      if (i < 1 || i > m) {
        why = "a row index of the matrix is out of range";
        return false;
      }
      W.line("", cn[j - 1], rn[i - 1], W.exact(M.a[k - 1]));
    }
  }

  W.out_ += "RHS\n";
  for (int i = 1; i <= m; ++i) {
    if (rows[i - 1].rhs != 0.0 && (rows[i - 1].type != 'N' || i == M.objrow)) {
      // The objective row's is a constant, not a bound: written as it is,
      // however large.
      W.line("", rhsset, rn[i - 1], i == M.objrow ? W.exact(rows[i - 1].rhs) : W.num(rows[i - 1].rhs));
    }
  }

  bool any_range = false;
  for (const auto& r : rows) any_range |= r.ranged;
  if (any_range) {
    W.out_ += "RANGES\n";
    for (int i = 1; i <= m; ++i)
      if (rows[i - 1].ranged) W.line("", rngset, rn[i - 1], W.num(rows[i - 1].rng));
  }

  std::string bounds;
  std::swap(bounds, W.out_);
  for (int j = 1; j <= n; ++j) {
    const double l = M.bl[j - 1], u = M.bu[j - 1];
    const std::string& c = cn[j - 1];
    if (l <= -kInf && u >= kInf) {
      W.line("FR", bndset, c, "");
    } else if (l == u) {
      W.line("FX", bndset, c, W.num(l));
    } else {
      if (l <= -kInf) W.line("MI", bndset, c, "");
      else if (l != 0.0 || u < 0.0) W.line("LO", bndset, c, W.num(l));
      if (u < kInf) W.line("UP", bndset, c, W.num(u));
    }
  }
  std::swap(bounds, W.out_);
  if (!bounds.empty()) W.out_ += "BOUNDS\n" + bounds;
  W.out_ += "ENDATA\n";
  if (!W.too_long_.empty()) {
    why = "fixed format (needed for names with blanks) cannot hold the number " + W.too_long_ +
          " in 12 characters";
    return false;
  }
  out = std::move(W.out_);
  return true;
}

int mps_write(Context& ctx, const MpsModel& model, const std::string& path, MpsFormat format) {
  std::string text, why;
  if (!mps_write_text(model, text, why, format)) {
    ctx.both(" XXX  MPS file " + path + " not written: " + why);
    return TV_MPS_FILE;
  }
  bool ok = false;
  const bool gz = path.size() > 3 && path.compare(path.size() - 3, 3, ".gz") == 0;
  if (gz) {
    gzFile f = gzopen(path.c_str(), "wb");
    if (f) {
      ok = gzwrite(f, text.data(), static_cast<unsigned>(text.size())) == static_cast<int>(text.size());
      ok = gzclose(f) == Z_OK && ok;
    }
  } else if (FILE* f = std::fopen(path.c_str(), "wb")) {
    ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
    ok = std::fclose(f) == 0 && ok;
  }
  if (!ok) {
    ctx.both(" XXX  MPS file " + path + " cannot be written");
    return TV_MPS_FILE;
  }
  return 0;
}

}  // namespace tv
