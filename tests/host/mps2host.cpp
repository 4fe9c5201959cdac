// tvmps2host: an MPS file as a test host model file (see model.h).
//
//   tvmps2host [--max] [--negate] [--basis] [--nl TERMS] MODEL.mps[.gz] OUT.txt
//
// The objective row becomes the host's separate objective (with the file's
// constant and sense, --max forcing maximisation, --negate maximising the
// negated objective, which has the same solution); other free rows stay as
// free rows (=n=), which the link drops.  A ranged row lo <= a x <= up is an
// equality a x - r = 0 with a new column r in [lo, up], named after the row
// with the suffix "~rng".  Names are made single words: blanks and '*'
// become '_', and a name already taken (or the word obj, which stands for
// the objective) gets a suffix "~k".  Numbers are written to round-trip.
#include <cmath>
#include <cstdio>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>

#include "core/context.h"
#include "core/entry.h"
#include "expr.h"
#include "files/mps.h"

namespace {

constexpr double kInf = 1.0e+20;

std::string num(double v) {
  if (v >= kInf) return "inf";
  if (v <= -kInf) return "-inf";
  char b[40];
  std::snprintf(b, sizeof b, "%.17g", v);
  return b;
}

class Names {
 public:
  Names() { taken_.insert("obj"); }
  std::string make(std::string s) {
    for (char& c : s)
      if (c == ' ' || c == '\t' || c == '*') c = '_';
    if (s.empty()) s.assign(1, '_');
    std::string t = s;
    for (int k = 1; taken_.count(t); ++k) t = s + "~" + std::to_string(k);
    taken_.insert(t);
    return t;
  }

 private:
  std::set<std::string> taken_;
};

// The nonlinear terms of `path` in the model file's names; false with a
// message on standard error.
bool nonlinear_terms(const std::string& path, const std::map<std::string, std::string>& rows,
                     const std::map<std::string, std::string>& cols, const std::string& objrow, double sign,
                     std::string& out) {
  std::ifstream f(path);
  if (!f) {
    std::fprintf(stderr, "tvmps2host: cannot open %s\n", path.c_str());
    return false;
  }
  int lineno = 0;
  std::string unknown;
  auto rename = [&](const std::string& name) {
    auto c = cols.find(name);
    if (c != cols.end()) return c->second;
    if (unknown.empty()) unknown = name;
    return name;
  };
  for (std::string line; std::getline(f, line);) {
    ++lineno;
    auto bad = [&](const std::string& why) {
      std::fprintf(stderr, "tvmps2host: %s line %d: %s\n", path.c_str(), lineno, why.c_str());
      return false;
    };
    std::istringstream ls(line);
    std::string word, row = objrow, text, renamed, why;
    if (!(ls >> word) || word[0] == '*') continue;
    if (word == "nlrow" && !(ls >> row)) return bad("nlrow needs a row and an expression");
    if (word != "nlrow" && word != "nlobj") return bad("unknown directive " + word);
    std::getline(ls, text);
    unknown.clear();
    if (!tvhost::expr_rename(text, rename, renamed, why)) return bad(why);
    if (!unknown.empty()) return bad("unknown column " + unknown);
    if (word == "nlobj" || (row == objrow && !objrow.empty())) {
      out += sign < 0 ? "nlobj -(" + renamed + ")\n" : "nlobj" + renamed + "\n";
    } else {
      auto r = rows.find(row);
      if (r == rows.end()) return bad("unknown row " + row);
      out += "nlrow " + r->second + renamed + "\n";
    }
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  bool maximize = false, negate = false, basis = false;
  std::string in, out, terms;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    if (a == "--max") maximize = true;
    else if (a == "--negate") negate = true;
    else if (a == "--basis") basis = true;
    else if (a == "--nl" && i + 1 < argc) terms = argv[++i];
    else if (in.empty()) in = a;
    else if (out.empty()) out = a;
    else in.clear(), out.clear(), i = argc;
  }
  if (in.empty() || out.empty()) {
    std::fprintf(stderr, "usage: tvmps2host [--max] [--negate] [--basis] [--nl TERMS] MODEL.mps[.gz] OUT.txt\n");
    return 2;
  }

  tv::Context ctx;
  tv::tvstart(ctx, 0, 0, 0);
  tv::MpsModel M;
  const int inform = tv::mps_read(ctx, in, M);
  if (inform != 0) {
    std::fprintf(stderr, "tvmps2host: cannot read %s (result %d)\n", in.c_str(), inform);
    return 1;
  }

  std::string text = "name " + M.name + "\n";
  if (negate && M.objsense < 0) {
    std::fprintf(stderr, "tvmps2host: --negate needs a minimisation\n");
    return 2;
  }
  const double sign = negate ? -1.0 : 1.0;
  if (maximize || negate || M.objsense < 0) text += "sense max\n";
  if (M.objconst != 0.0) text += "objconst " + num(sign * M.objconst) + "\n";
  if (M.objrow == 0) text += "modeltype 8\n";
  if (basis) text += "basis\n";

  Names names;
  std::string cols, rows, coefs, ranges;
  std::vector<std::string> colname(static_cast<size_t>(M.n)), rowname(static_cast<size_t>(M.m));
  std::map<std::string, std::string> colmap, rowmap;
  for (int j = 1; j <= M.n; ++j) {
    colname[j - 1] = names.make(M.colnames[j - 1]);
    colmap.emplace(M.colnames[j - 1], colname[j - 1]);
    cols += "col " + colname[j - 1] + " " + num(M.bl[j - 1]) + " " + num(M.bu[j - 1]) + "\n";
  }
  for (int i = 1; i <= M.m; ++i) {
    if (i == M.objrow) continue;
    const std::string r = rowname[i - 1] = names.make(M.rownames[i - 1]);
    rowmap.emplace(M.rownames[i - 1], r);
    // The slack is the negated activity: its bounds are the negated row limits.
    const double lo = -M.bu[M.n + i - 1], up = -M.bl[M.n + i - 1];
    if (lo <= -kInf && up >= kInf) {
      rows += "row " + r + " =n= 0\n";
    } else if (lo == up) {
      rows += "row " + r + " =e= " + num(lo) + "\n";
    } else if (up >= kInf) {
      rows += "row " + r + " =g= " + num(lo) + "\n";
    } else if (lo <= -kInf) {
      rows += "row " + r + " =l= " + num(up) + "\n";
    } else {
      const std::string c = names.make(M.rownames[i - 1] + "~rng");
      rows += "row " + r + " =e= 0\n";
      cols += "col " + c + " " + num(lo) + " " + num(up) + "\n";
      ranges += "coef " + r + " " + c + " -1\n";
    }
  }
  for (int j = 1; j <= M.n; ++j) {
    for (int k = M.ka[j - 1]; k < M.ka[j]; ++k) {
      const int i = M.ha[k - 1];
      const std::string& r = i == M.objrow ? std::string("obj") : rowname[i - 1];
      const double v = i == M.objrow ? sign * M.a[k - 1] : M.a[k - 1];
      coefs += "coef " + r + " " + colname[j - 1] + " " + num(v) + "\n";
    }
  }

  std::string nl;
  if (!terms.empty() &&
      !nonlinear_terms(terms, rowmap, colmap, M.objrow > 0 ? M.rownames[M.objrow - 1] : "", sign, nl))
    return 1;

  std::ofstream f(out);
  f << text << cols << rows << coefs << ranges << nl;
  f.close();
  if (!f) {
    std::fprintf(stderr, "tvmps2host: cannot write %s\n", out.c_str());
    return 1;
  }
  return 0;
}
