// Shared pieces of the basis files (fields, units, messages), the saves of
// the NEW and BACKUP files from the main loop, and the same-unit warnings.
#include "files/m4bfil.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

#include "core/context.h"
#include "core/exit_text.h"
#include "files/basis_lines.h"
#include "options/params.h"
#include "tarvo.h"

namespace tv {

namespace bfile {

std::string cols(const std::string& line, int first, int width) {
  std::string s(static_cast<size_t>(width), ' ');
  const size_t from = static_cast<size_t>(first - 1);
  for (size_t k = 0; k < s.size() && from + k < line.size(); ++k) s[k] = line[from + k];
  return s;
}

bool blank(std::string_view s) {
  for (char c : s) {
    if (c != ' ' && c != '\t' && c != '\r') return false;
  }
  return true;
}

namespace {

std::string trimmed(std::string_view f) {
  size_t a = 0, b = f.size();
  while (a < b && (f[a] == ' ' || f[a] == '\t')) ++a;
  while (b > a && (f[b - 1] == ' ' || f[b - 1] == '\t' || f[b - 1] == '\r')) --b;
  return std::string(f.substr(a, b - a));
}

}  // namespace

bool to_int(std::string_view field, long& v) {
  const std::string t = trimmed(field);
  if (t.empty()) return false;
  size_t k = (t[0] == '+' || t[0] == '-') ? 1 : 0;
  if (k == t.size()) return false;
  for (size_t i = k; i < t.size(); ++i) {
    if (t[i] < '0' || t[i] > '9') return false;
  }
  errno = 0;
  char* end = nullptr;
  v = std::strtol(t.c_str(), &end, 10);
  return errno == 0 && *end == '\0' && v >= -2147483647L && v <= 2147483647L;
}

bool to_real(std::string_view field, double& v) {
  std::string t = trimmed(field);
  if (t.empty()) return false;
  for (char& c : t) {
    const bool ok = (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.' || c == 'E' || c == 'e' ||
                    c == 'D' || c == 'd';
    if (!ok) return false;  // no blanks inside, no "nan" or "inf"
    if (c == 'D' || c == 'd') c = 'E';
  }
  char* end = nullptr;
  v = std::strtod(t.c_str(), &end);
  return end != t.c_str() && *end == '\0' && std::isfinite(v);
}

std::string name8(const char* s) { return std::string(s, 8); }

void begin_write(Context& ctx, int unit) {
  if (unit != ctx.par.prtfile && unit != ctx.par.sumfile) ctx.io.truncate(unit);
}

void end_write(Context& ctx, int unit) {
  if (unit != ctx.par.prtfile && unit != ctx.par.sumfile) {
    ctx.io.rewind(unit);
  }
  ctx.io.flush(unit);
}

bool begin_read(Context& ctx, int unit, const char* file, int& inform) {
  if (!ctx.io.attached(unit)) {
    refuse(ctx, file, 0, strf("no file is attached to unit %d", unit), inform);
    return false;
  }
  ctx.io.rewind(unit);
  return true;
}

bool begin_name_file(Context& ctx, int unit, const char* file, int& inform) {
  ctx.both("");
  ctx.both(strf(" %s file to be input from file%4d", file, unit));
  if (!begin_read(ctx, unit, file, inform)) return false;
  std::string line;
  if (!ctx.io.read_line(unit, line)) {
    refuse(ctx, file, 1, "the file is empty", inform);
    end_read(ctx, unit);
    return false;
  }
  ctx.both(" NAME          " + cols(line, 15, 8) + "  " + cols(line, 25, 12));
  return true;
}

int objective_index(const Problem& P) { return P.objrow >= 1 && P.objrow <= P.m ? P.n + P.objrow : 0; }

void end_read(Context& ctx, int unit) {
  if (unit != ctx.par.rdrfile) ctx.io.rewind(unit);
}

void refuse(Context& ctx, const char* file, int line, const std::string& why, int& inform) {
  ctx.both("");
  if (line > 0) {
    ctx.both(strf(" XXX  %s file, line%6d: %s", file, line, why.c_str()));
  } else {
    ctx.both(strf(" XXX  %s file: %s", file, why.c_str()));
  }
  print_exit(ctx, TV_BASIS_FILE, kExitBasisFileUnreadable);
  inform = TV_BASIS_FILE;
}

void ignored(Context& ctx, int count, int line, const std::string& text) {
  if (count <= ctx.par.errlim) ctx.prt(strf(" XXX  Line%6d  ignored:        %s", line, text.c_str()));
}

double at_bound(double v, int state, double bl, double bu, double big) {
  const double b = state == 0 ? bl : bu;
  if (std::fabs(b) >= big) return v;
  return std::fabs(v - b) <= 1.0e-5 * std::fabs(b) ? b : v;
}

}  // namespace bfile

void save_new_basis(Context& ctx, const Problem& P, int ns, int status, int itn, int ninf, double sinf,
                    double obj) {
  const Params& p = ctx.par;
  if (p.newbfile > 0) m4newb(ctx, P, p.newbfile, status, itn, ninf, sinf, obj, ns);
  if (status == 0 && p.bkpfile > 0) m4newb(ctx, P, p.bkpfile, status, itn, ninf, sinf, obj, ns);
}

void same_unit_warnings(Context& ctx) {
  const Params& p = ctx.par;
  const struct {
    int unit;
    const char* name;
  } outputs[] = {{p.bkpfile, "Backup"}, {p.newbfile, "New Basis"}, {p.pchfile, "Punch"},
                 {p.dumpfile, "Dump"},  {p.solfile, "Solution"},   {p.repfile, "Report"}};
  for (const auto& f : outputs) {
    if (f.unit <= 0) continue;
    if (f.unit == p.specfile) {
      ctx.prt("");
      ctx.prt(strf(" XXX  Warning: the Specs file and %s file are on the same unit", f.name));
    }
    if (f.unit == p.mpsfile) {
      ctx.prt("");
      ctx.prt(strf(" XXX  Warning: the  MPS  file and %s file are on the same unit", f.name));
    }
  }
}

}  // namespace tv
