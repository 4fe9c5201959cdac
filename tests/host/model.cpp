// Test host: the in-memory model object (see model.h for the model file).
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <set>
#include <sstream>

#include "host_common.h"
#include "model.h"

hevRec* tvhost_env_new();
void tvhost_env_set(hevRec* eh, const std::string& name, const std::string& value);
void tvhost_env_delete(hevRec* eh);

namespace {

using Model = hmoRec;

const tvhost::Signature kSignatures[] = {
    {"hmoEnvironment", "h:h"},        {"hmoN", "i:h"},
    {"hmoM", "i:h"},                  {"hmoNZ", "i:h"},
    {"hmoNZ64", "l:h"},               {"hmoNLNZ", "i:h"},
    {"hmoNLNZ64", "l:h"},             {"hmoObjNLNZ", "i:h"},
    {"hmoNLN", "i:h"},                {"hmoNLM", "i:h"},
    {"hmoModelType", "i:h"},          {"hmoOptFile", "i:h"},
    {"hmoNameOptFile", "v:hb"},       {"hmoObjStyleSet", "v:hi"},
    {"hmoObjReformSet", "v:hi"},      {"hmoIndexBaseSet", "v:hi"},
    {"hmoPinfSet", "v:hd"},           {"hmoMinfSet", "v:hd"},
    {"hmoSetNRowPerm", "v:h"},        {"hmoSetRvVarPermutation", "i:hIi"},
    {"hmoSetRvEquPermutation", "i:hIi"}, {"hmoGetEquOrderOne", "i:hi"},
    {"hmoGetEquTypeOne", "i:hi"},     {"hmoGetEquTypeTxt", "v:hib"},
    {"hmoGetRowSparse", "i:hiIDIII"}, {"hmoGetObjSparse", "i:hIDIII"},
    {"hmoGetVarL", "i:hD"},           {"hmoGetVarLower", "i:hD"},
    {"hmoGetVarUpper", "i:hD"},       {"hmoGetEquL", "i:hD"},
    {"hmoGetEquM", "i:hD"},           {"hmoGetRhsOne", "d:hi"},
    {"hmoHaveBasis", "i:h"},          {"hmoGetVarStatOne", "i:hi"},
    {"hmoGetEquStatOne", "i:hi"},     {"hmoSense", "i:h"},
    {"hmoObjConst", "d:h"},           {"hmoModelStat", "i:h"},
    {"hmoModelStatSet", "v:hi"},      {"hmoSolveStatSet", "v:hi"},
    {"hmoSetSolutionEquRec", "i:hiddii"}, {"hmoSetSolutionVarRec", "i:hiddii"},
    {"hmoSetHeadnTail", "v:hid"},     {"hmoCompleteSolution", "v:h"},
    {"hmoEvalNewPoint", "i:hD"},      {"hmoEvalGradNL", "i:hiDDDDI"},
    {"hmoEvalGradNLObj", "i:hDDDDI"},
};

const char* const kTypeText[] = {"=E=", "=G=", "=L=", "=N=", "=X=", "=C=", "=B="};

int row_order(const Model::Row& r) {
  if (r.order > 0) return r.order;
  for (const auto& e : r.e)
    if (e.nl) return 2;
  return 1;
}

// Identity views over all columns and rows.
void reset_view(Model& m) {
  m.colperm.resize(m.cols.size());
  m.colpos.resize(m.cols.size());
  for (size_t j = 0; j < m.cols.size(); ++j) m.colperm[j] = m.colpos[j] = static_cast<int>(j);
  m.rowperm.resize(m.rows.size());
  for (size_t i = 0; i < m.rows.size(); ++i) m.rowperm[i] = static_cast<int>(i);
}

// Host row of view row i (given in the current index base), or null.
const Model::Row* view_row(const Model* m, int i) {
  if (!m) return nullptr;
  long k = static_cast<long>(i) - m->base;
  if (k < 0 || k >= static_cast<long>(m->rowperm.size())) return nullptr;
  return &m->rows[static_cast<size_t>(m->rowperm[static_cast<size_t>(k)])];
}

const Model::Col* view_col(const Model* m, int j) {
  if (!m) return nullptr;
  long k = static_cast<long>(j) - m->base;
  if (k < 0 || k >= static_cast<long>(m->colperm.size())) return nullptr;
  return &m->cols[static_cast<size_t>(m->colperm[static_cast<size_t>(k)])];
}

double clamp_inf(const Model* m, double v) {
  if (v >= 1e300) return m->pinf;
  if (v <= -1e300) return m->minf;
  return v;
}

int sparse(const Model* m, const std::vector<Model::Entry>& e, int* cols, double* vals, int* nl,
           int* count, int* nlcount) {
  int k = 0, knl = 0;
  for (const auto& x : e) {
    int pos = m->colpos[static_cast<size_t>(x.col)];
    if (pos < 0) continue;
    if (cols) cols[k] = pos + m->base;
    if (vals) vals[k] = x.val;
    if (nl) nl[k] = x.nl ? 1 : 0;
    ++k;
    if (x.nl) ++knl;
  }
  if (count) *count = k;
  if (nlcount) *nlcount = knl;
  return 0;
}

// The nonlinear part of a row or of the objective at x (indexed by position):
// value, dense gradient over all n positions, and g'x over its columns.  Only
// the nonlinear columns of x are read.
int eval_nl(Model* m, const tvhost::Expr& nl, const std::vector<int>& nlcols, const double* x, double* f,
            double* g, double* gx, int* errors) {
  if (errors) *errors = 0;
  if (!x && !nl.empty()) return 1;
  if (g)
    for (size_t j = 0; j < m->colperm.size(); ++j) g[j] = 0.0;
  double value = 0.0;
  const int errs = tvhost::expr_eval(nl, x, m->colpos.data(), &value, g);
  if (f) *f = value;
  if (gx) {
    double s = 0.0;
    for (int c : nlcols) {
      const int p = m->colpos[static_cast<size_t>(c)];
      s += (g ? g[p] : 0.0) * x[p];
    }
    *gx = errs > 0 ? std::numeric_limits<double>::quiet_NaN() : s;
  }
  if (errors) *errors = errs;
  m->eval_errors += errs;
  return 0;
}

// Merge the coefficients of a row (or of the objective) with its expressions
// into one entry per column and the nonlinear part (see model.h).  Returns the
// constant of an expression without nonlinear columns, which the caller moves
// to the right-hand side or the objective constant.
double finish_row(const Model& m, std::vector<Model::Entry>& e, tvhost::Expr& nl, std::vector<int>& nlcols) {
  std::map<int, double> lin;
  for (const auto& x : e) lin[x.col] += x.val;
  e.clear();
  nlcols.clear();
  double constant = 0.0;
  if (!nl.empty()) {
    std::vector<std::pair<int, double>> exprlin;
    tvhost::expr_split(nl, exprlin, nlcols);
    std::set<int> nlset(nlcols.begin(), nlcols.end());
    // A column that is nonlinear anywhere in the row has all its terms in the
    // nonlinear part.
    for (const auto& [c, v] : exprlin) lin[c] += v;
    for (auto it = lin.begin(); it != lin.end();) {
      if (nlset.count(it->first)) {
        tvhost::expr_add_term(nl, it->second, it->first, 1.0);
        it = lin.erase(it);
      } else {
        ++it;
      }
    }
    if (nlcols.empty()) {
      tvhost::expr_eval(nl, nullptr, nullptr, &constant, nullptr);
      nl.nodes.clear();
    }
  }
  // Nonlinear entries carry the derivative at the levels of the file.
  std::vector<double> level(m.cols.size()), grad(m.cols.size(), 0.0);
  std::vector<int> pos(m.cols.size());
  for (size_t j = 0; j < m.cols.size(); ++j) level[j] = m.cols[j].level, pos[j] = static_cast<int>(j);
  double f = 0.0;
  if (!nl.empty() && tvhost::expr_eval(nl, level.data(), pos.data(), &f, grad.data()) > 0)
    std::fill(grad.begin(), grad.end(), 0.0);
  for (int c : nlcols) lin.emplace(c, 0.0);
  const std::set<int> nonlinear(nlcols.begin(), nlcols.end());
  for (const auto& [c, v] : lin) {
    const bool isnl = nonlinear.count(c) > 0;
    e.push_back({c, isnl ? grad[static_cast<size_t>(c)] : v, isnl});
  }
  return constant;
}

bool parse_type(const std::string& s, int& type) {
  std::string t = tvhost::lower(s);
  const char* const names[] = {"=e=", "=g=", "=l=", "=n=", "=x=", "=c=", "=b="};
  for (int k = 0; k < 7; ++k) {
    if (t == names[k] || (t.size() == 1 && t[0] == names[k][1])) {
      type = k;
      return true;
    }
  }
  return false;
}

// Read a model file; false with a message on standard error.
bool read_model(Model& m, const char* path) {
  std::ifstream f(path);
  if (!f) {
    std::fprintf(stderr, "tvhost: cannot open model file %s\n", path);
    return false;
  }
  std::string dir = path;
  dir = dir.find('/') == std::string::npos ? "" : dir.substr(0, dir.rfind('/') + 1);
  std::map<std::string, int> colidx, rowidx;
  std::string line;
  int lineno = 0;
  auto bad = [&](const std::string& why) {
    std::fprintf(stderr, "tvhost: %s line %d: %s\n", path, lineno, why.c_str());
    return false;
  };
  auto column = [&](const std::string& name) {
    auto c = colidx.find(name);
    return c == colidx.end() ? -1 : c->second;
  };
  while (std::getline(f, line)) {
    ++lineno;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::string word;
    std::istringstream(line) >> word;
    // On expression lines '*' is a product; elsewhere it starts a comment.
    const bool expression = word == "nlobj" || word == "nlrow";
    std::istringstream ls(expression ? line : line.substr(0, line.find('*')));
    if (!(ls >> word)) continue;
    if (expression) {
      std::string rname = "obj", text, why;
      if (word == "nlrow" && !(ls >> rname)) return bad("nlrow needs a row and an expression");
      std::getline(ls, text);
      tvhost::Expr* e = &m.objnl;
      if (word == "nlrow") {
        auto r = rowidx.find(rname);
        if (r == rowidx.end()) return bad("unknown row " + rname);
        e = &m.rows[static_cast<size_t>(r->second)].nl;
      }
      if (!tvhost::expr_parse(*e, text, column, why)) return bad(why);
    } else if (word == "name") {
      std::getline(ls >> std::ws, m.name);
    } else if (word == "modeltype") {
      if (!(ls >> m.modeltype)) return bad("modeltype needs a number");
      m.modeltype_given = true;
    } else if (word == "sense") {
      std::string s;
      ls >> s;
      if (s == "min") m.sense = 0;
      else if (s == "max") m.sense = 1;
      else m.sense = std::atoi(s.c_str());
    } else if (word == "objconst") {
      if (!(ls >> m.objconst)) return bad("objconst needs a number");
    } else if (word == "optfile") {
      std::string p;
      std::getline(ls >> std::ws, p);
      m.optfile = (!p.empty() && p[0] != '/') ? dir + p : p;
    } else if (word == "basis") {
      m.basis = true;
    } else if (word == "env") {
      std::string name, value;
      ls >> name;
      std::getline(ls >> std::ws, value);
      tvhost_env_set(m.env, name, value);
    } else if (word == "count") {
      std::string what;
      long long v;
      if (!(ls >> what >> v)) return bad("count needs a name and a value");
      if (what == "nz64") m.nz64_override = v;
      else if (what == "nlnz64") m.nlnz64_override = v;
      else if (what == "nln") m.nln_override = v;
      else return bad("unknown count " + what);
    } else if (word == "col" || word == "row") {
      std::string name, t1, t2;
      if (!(ls >> name >> t1 >> t2)) return bad(word + " needs a name and two values");
      double level = 0, marg = 0;
      int status = 0, order = 0;
      for (std::string key; ls >> key;) {
        if (key == "level") ls >> level;
        else if (key == "marginal") ls >> marg;
        else if (key == "status") ls >> status;
        else if (key == "order") ls >> order;
        else return bad("unknown attribute " + key);
      }
      if (word == "col") {
        Model::Col c;
        c.name = name;
        c.lo = std::strtod(t1.c_str(), nullptr);
        c.up = std::strtod(t2.c_str(), nullptr);
        c.level = level, c.marginal = marg, c.status = status;
        if (colidx.count(name)) return bad("column " + name + " defined twice");
        colidx[name] = static_cast<int>(m.cols.size());
        m.cols.push_back(c);
      } else {
        Model::Row r;
        r.name = name;
        if (!parse_type(t1, r.type)) return bad("unknown row type " + t1);
        r.rhs = std::strtod(t2.c_str(), nullptr);
        r.level = level, r.marginal = marg, r.status = status, r.order = order;
        if (rowidx.count(name)) return bad("row " + name + " defined twice");
        rowidx[name] = static_cast<int>(m.rows.size());
        m.rows.push_back(r);
      }
    } else if (word == "coef") {
      std::string rname, cname, flag;
      double v;
      if (!(ls >> rname >> cname >> v)) return bad("coef needs a row, a column and a value");
      ls >> flag;
      const int c = column(cname);
      if (c < 0) return bad("unknown column " + cname);
      std::vector<Model::Entry>* e = &m.obj;
      tvhost::Expr* nl = &m.objnl;
      if (rname != "obj") {
        auto r = rowidx.find(rname);
        if (r == rowidx.end()) return bad("unknown row " + rname);
        e = &m.rows[static_cast<size_t>(r->second)].e;
        nl = &m.rows[static_cast<size_t>(r->second)].nl;
      }
      if (flag == "nl") tvhost::expr_add_term(*nl, v, c, 2.0);
      else e->push_back({c, v, false});
    } else {
      return bad("unknown directive " + word);
    }
  }
  bool nonlinear = false;
  for (auto& r : m.rows) {
    r.rhs -= finish_row(m, r.e, r.nl, r.nlcols);
    nonlinear = nonlinear || !r.nlcols.empty();
  }
  m.objconst += finish_row(m, m.obj, m.objnl, m.objnlcols);
  nonlinear = nonlinear || !m.objnlcols.empty();
  if (!m.modeltype_given) m.modeltype = nonlinear ? 2 : 1;
  reset_view(m);
  m.rowres.assign(m.rows.size(), {});
  m.colres.assign(m.cols.size(), {});
  return true;
}

Model* new_model() {
  auto* m = new Model;
  m->env = tvhost_env_new();
  m->env->owned_by_model = true;
  return m;
}

void delete_model(Model* m) {
  if (!m) return;
  tvhost_env_delete(m->env);
  delete m;
}

int count_nz(const Model* m, bool nl_only) {
  long long k = 0;
  for (int r : m->rowperm)
    for (const auto& e : m->rows[static_cast<size_t>(r)].e)
      if (!nl_only || e.nl) ++k;
  return static_cast<int>(k);
}

bool fail(const char* fn) { return tvhost::fails(fn); }

}  // namespace

TVHOST_EXPORT void hmoXCreate(void** h) {
  if (!h) return;
  *h = fail("hmoXCreate") ? nullptr : new_model();
}

// data: a model file.
TVHOST_EXPORT void ChmoXCreateD(void** h, const char* data) {
  if (!h) return;
  *h = nullptr;
  if (fail("hmoXCreate")) return;
  Model* m = new_model();
  if (data && *data && !read_model(*m, data)) {
    delete_model(m);
    return;
  }
  *h = m;
}

TVHOST_EXPORT void hmoXFree(void** h) {
  if (!h) return;
  delete_model(static_cast<Model*>(*h));
  *h = nullptr;
}

TVHOST_EXPORT int ChmoXCheck(const char* name, int nargs, const int* codes, char* why, int whylen) {
  return tvhost::check(kSignatures, static_cast<int>(std::size(kSignatures)), name, nargs, codes, why,
                       whylen);
}

TVHOST_EXPORT int ChmoXAPIVersion(int api, char* msg, int msglen) {
  return tvhost::version("hmo", 29, api, msg, msglen);
}

// ---- setup and sizes ------------------------------------------------------
TVHOST_EXPORT void* hmoEnvironment(Model* m) {
  if (!m || fail("hmoEnvironment")) return nullptr;
  return m->env;
}
TVHOST_EXPORT int hmoN(Model* m) { return m ? static_cast<int>(m->colperm.size()) : 0; }
TVHOST_EXPORT int hmoM(Model* m) { return m ? static_cast<int>(m->rowperm.size()) : 0; }
TVHOST_EXPORT int hmoNZ(Model* m) { return m ? count_nz(m, false) : 0; }
TVHOST_EXPORT std::int64_t hmoNZ64(Model* m) {
  if (!m) return 0;
  return m->nz64_override >= 0 ? m->nz64_override : count_nz(m, false);
}
TVHOST_EXPORT int hmoNLNZ(Model* m) { return m ? count_nz(m, true) : 0; }
TVHOST_EXPORT std::int64_t hmoNLNZ64(Model* m) {
  if (!m) return 0;
  return m->nlnz64_override >= 0 ? m->nlnz64_override : count_nz(m, true);
}
TVHOST_EXPORT int hmoObjNLNZ(Model* m) {
  int k = 0;
  if (m)
    for (const auto& e : m->obj) k += e.nl ? 1 : 0;
  return k;
}
TVHOST_EXPORT int hmoNLN(Model* m) {
  if (!m) return 0;
  if (m->nln_override >= 0) return static_cast<int>(m->nln_override);
  std::vector<char> nl(m->cols.size(), 0);
  for (const auto& r : m->rows)
    for (const auto& e : r.e)
      if (e.nl) nl[static_cast<size_t>(e.col)] = 1;
  for (const auto& e : m->obj)
    if (e.nl) nl[static_cast<size_t>(e.col)] = 1;
  int k = 0;
  for (char c : nl) k += c;
  return k;
}
TVHOST_EXPORT int hmoNLM(Model* m) {
  int k = 0;
  if (m)
    for (int r : m->rowperm) k += row_order(m->rows[static_cast<size_t>(r)]) != 1 ? 1 : 0;
  return k;
}
TVHOST_EXPORT int hmoModelType(Model* m) { return m ? m->modeltype : 0; }
TVHOST_EXPORT int hmoOptFile(Model* m) { return m && !m->optfile.empty() ? 1 : 0; }
TVHOST_EXPORT void ChmoNameOptFile(Model* m, char* name) { tvhost::put256(name, m ? m->optfile : ""); }

// ---- model transfer ---------------------------------------------------------
TVHOST_EXPORT void hmoObjStyleSet(Model* m, int style) {
  if (m) m->objstyle = style;
}
TVHOST_EXPORT void hmoObjReformSet(Model* m, int reform) {
  if (m) m->objreform = reform;
}
TVHOST_EXPORT void hmoIndexBaseSet(Model* m, int base) {
  if (m) m->base = base;
}
TVHOST_EXPORT void hmoPinfSet(Model* m, double v) {
  if (m) m->pinf = v;
}
TVHOST_EXPORT void hmoMinfSet(Model* m, double v) {
  if (m) m->minf = v;
}

// The host's own row order without the free rows.
TVHOST_EXPORT void hmoSetNRowPerm(Model* m) {
  if (!m) return;
  m->rowperm.clear();
  for (size_t i = 0; i < m->rows.size(); ++i)
    if (m->rows[i].type != 3) m->rowperm.push_back(static_cast<int>(i));
}

// perm[k] is the host column (in the index base) at position k; a complete
// permutation is required.
TVHOST_EXPORT int hmoSetRvVarPermutation(Model* m, int* perm, int n) {
  if (!m || !perm || fail("hmoSetRvVarPermutation") || n != static_cast<int>(m->cols.size())) return 1;
  std::vector<int> pos(m->cols.size(), -1), order(static_cast<size_t>(n));
  for (int k = 0; k < n; ++k) {
    long j = static_cast<long>(perm[k]) - m->base;
    if (j < 0 || j >= n || pos[static_cast<size_t>(j)] >= 0) return 1;
    pos[static_cast<size_t>(j)] = k;
    order[static_cast<size_t>(k)] = static_cast<int>(j);
  }
  m->colperm = order;
  m->colpos = pos;
  return 0;
}

// perm[k] is the host row (in the index base) at position k; rows not listed
// leave the view.
TVHOST_EXPORT int hmoSetRvEquPermutation(Model* m, int* perm, int n) {
  if (!m || (!perm && n > 0) || fail("hmoSetRvEquPermutation") || n < 0 ||
      n > static_cast<int>(m->rows.size()))
    return 1;
  std::vector<char> seen(m->rows.size(), 0);
  std::vector<int> order;
  for (int k = 0; k < n; ++k) {
    long i = static_cast<long>(perm[k]) - m->base;
    if (i < 0 || i >= static_cast<long>(m->rows.size()) || seen[static_cast<size_t>(i)]) return 1;
    seen[static_cast<size_t>(i)] = 1;
    order.push_back(static_cast<int>(i));
  }
  m->rowperm = order;
  return 0;
}

TVHOST_EXPORT int hmoGetEquOrderOne(Model* m, int i) {
  const auto* r = view_row(m, i);
  return r ? row_order(*r) : 0;
}
TVHOST_EXPORT int hmoGetEquTypeOne(Model* m, int i) {
  const auto* r = view_row(m, i);
  return r ? r->type : -1;
}
TVHOST_EXPORT void ChmoGetEquTypeTxt(Model* m, int i, char* txt) {
  const auto* r = view_row(m, i);
  tvhost::put256(txt, r ? kTypeText[r->type] : "");
}

TVHOST_EXPORT int hmoGetRowSparse(Model* m, int i, int* cols, double* vals, int* nl, int* count,
                                  int* nlcount) {
  if (count) *count = 0;
  if (nlcount) *nlcount = 0;
  const auto* r = view_row(m, i);
  if (!r || fail("hmoGetRowSparse")) return 1;
  return sparse(m, r->e, cols, vals, nl, count, nlcount);
}

TVHOST_EXPORT int hmoGetObjSparse(Model* m, int* cols, double* vals, int* nl, int* count, int* nlcount) {
  if (count) *count = 0;
  if (nlcount) *nlcount = 0;
  if (!m || fail("hmoGetObjSparse")) return 1;
  return sparse(m, m->obj, cols, vals, nl, count, nlcount);
}

namespace {
template <class F>
int col_array(Model* m, double* x, const char* fn, F get) {
  if (!m || !x || fail(fn)) return 1;
  for (size_t k = 0; k < m->colperm.size(); ++k) x[k] = get(m->cols[static_cast<size_t>(m->colperm[k])]);
  return 0;
}
template <class F>
int row_array(Model* m, double* x, const char* fn, F get) {
  if (!m || !x || fail(fn)) return 1;
  for (size_t k = 0; k < m->rowperm.size(); ++k) x[k] = get(m->rows[static_cast<size_t>(m->rowperm[k])]);
  return 0;
}
}  // namespace

TVHOST_EXPORT int hmoGetVarL(Model* m, double* x) {
  return col_array(m, x, "hmoGetVarL", [](const Model::Col& c) { return c.level; });
}
TVHOST_EXPORT int hmoGetVarLower(Model* m, double* x) {
  return col_array(m, x, "hmoGetVarLower", [m](const Model::Col& c) { return clamp_inf(m, c.lo); });
}
TVHOST_EXPORT int hmoGetVarUpper(Model* m, double* x) {
  return col_array(m, x, "hmoGetVarUpper", [m](const Model::Col& c) { return clamp_inf(m, c.up); });
}
TVHOST_EXPORT int hmoGetEquL(Model* m, double* x) {
  return row_array(m, x, "hmoGetEquL", [](const Model::Row& r) { return r.level; });
}
TVHOST_EXPORT int hmoGetEquM(Model* m, double* x) {
  return row_array(m, x, "hmoGetEquM", [](const Model::Row& r) { return r.marginal; });
}
TVHOST_EXPORT double hmoGetRhsOne(Model* m, int i) {
  const auto* r = view_row(m, i);
  return r ? r->rhs : 0.0;
}
TVHOST_EXPORT int hmoHaveBasis(Model* m) { return m && m->basis ? 1 : 0; }
TVHOST_EXPORT int hmoGetVarStatOne(Model* m, int j) {
  const auto* c = view_col(m, j);
  return c ? c->status : 0;
}
TVHOST_EXPORT int hmoGetEquStatOne(Model* m, int i) {
  const auto* r = view_row(m, i);
  return r ? r->status : 0;
}
TVHOST_EXPORT int hmoSense(Model* m) { return m ? m->sense : 0; }
TVHOST_EXPORT double hmoObjConst(Model* m) { return m ? m->objconst : 0.0; }

// ---- results ---------------------------------------------------------------
TVHOST_EXPORT int hmoModelStat(Model* m) { return m ? m->modelstat : 0; }
TVHOST_EXPORT void hmoModelStatSet(Model* m, int s) {
  if (m) m->modelstat = s;
}
TVHOST_EXPORT void hmoSolveStatSet(Model* m, int s) {
  if (m) m->solvestat = s;
}

TVHOST_EXPORT int hmoSetSolutionEquRec(Model* m, int i, double level, double marginal, int basis, int cond) {
  if (!m || fail("hmoSetSolutionEquRec")) return 1;
  long k = static_cast<long>(i) - m->base;
  if (k < 0 || k >= static_cast<long>(m->rowperm.size())) return 1;
  m->rowres[static_cast<size_t>(m->rowperm[static_cast<size_t>(k)])] = {true, level, marginal, basis, cond};
  return 0;
}

TVHOST_EXPORT int hmoSetSolutionVarRec(Model* m, int j, double level, double marginal, int basis, int cond) {
  if (!m || fail("hmoSetSolutionVarRec")) return 1;
  long k = static_cast<long>(j) - m->base;
  if (k < 0 || k >= static_cast<long>(m->colperm.size())) return 1;
  m->colres[static_cast<size_t>(m->colperm[static_cast<size_t>(k)])] = {true, level, marginal, basis, cond};
  return 0;
}

TVHOST_EXPORT void hmoSetHeadnTail(Model* m, int item, double value) {
  if (!m || item < 0 || item >= 10) return;
  m->headntail[item] = value;
  m->headntail_set[item] = true;
}

TVHOST_EXPORT void hmoCompleteSolution(Model* m) {
  if (m) m->completed = true;
}

// ---- evaluation ------------------------------------------------------------
// x and g are indexed by position in the current column order (0-based,
// whatever the index base); only the row's nonlinear columns of x are read.
// A call that fails returns 1 with *errors = 0 and writes nothing else.
TVHOST_EXPORT int hmoEvalNewPoint(Model* m, double* x) {
  if (!m) return 1;
  ++m->newpoint_calls;
  return fail("hmoEvalNewPoint") ? 1 : 0;
}

TVHOST_EXPORT int hmoEvalGradNL(Model* m, int i, double* x, double* f, double* g, double* gx, int* errors) {
  if (errors) *errors = 0;
  if (m) ++m->row_evals;
  const auto* r = view_row(m, i);
  if (!r || fail("hmoEvalGradNL")) return 1;
  return eval_nl(m, r->nl, r->nlcols, x, f, g, gx, errors);
}

TVHOST_EXPORT int hmoEvalGradNLObj(Model* m, double* x, double* f, double* g, double* gx, int* errors) {
  if (errors) *errors = 0;
  if (!m) return 1;
  ++m->obj_evals;
  if (fail("hmoEvalGradNLObj")) return 1;
  return eval_nl(m, m->objnl, m->objnlcols, x, f, g, gx, errors);
}

// ---- for the host driver and the tests -------------------------------------
TVHOST_EXPORT int tvhostSolveStat(Model* m) { return m ? m->solvestat : 0; }

// Print the results the link wrote back, one "===" line each: the model
// and solve status, the objective and iterations, the head-and-tail items,
// and with `detail` every row and column record (level, marginal, basis
// status, condition) with round-trip precision.
TVHOST_EXPORT void tvhostReport(Model* m, int detail) {
  if (!m) return;
  char line[512];
  std::snprintf(line, sizeof line, "=== model status %d\n=== solve status %d\n", m->modelstat, m->solvestat);
  tvhost_out(line);
  if (m->headntail_set[5]) {
    std::snprintf(line, sizeof line, "=== objective %.17g\n", m->headntail[5]);
    tvhost_out(line);
  }
  if (m->headntail_set[3]) {
    std::snprintf(line, sizeof line, "=== iterations %.0f\n", m->headntail[3]);
    tvhost_out(line);
  }
  for (int k = 0; k < 10; ++k) {
    if (!m->headntail_set[k]) continue;
    std::snprintf(line, sizeof line, "=== headntail %d %.10g\n", k, m->headntail[k]);
    tvhost_out(line);
  }
  int nrows = 0, ncols = 0;
  for (const auto& r : m->rowres) nrows += r.set;
  for (const auto& c : m->colres) ncols += c.set;
  std::snprintf(line, sizeof line, "=== records %d rows %d columns\n", nrows, ncols);
  tvhost_out(line);
  for (size_t i = 0; detail && i < m->rows.size(); ++i) {
    const auto& r = m->rowres[i];
    if (!r.set) continue;
    std::snprintf(line, sizeof line, "=== row %s %.17g %.17g %d %d\n", m->rows[i].name.c_str(), r.level,
                  r.marginal, r.basis, r.cond);
    tvhost_out(line);
  }
  for (size_t j = 0; detail && j < m->cols.size(); ++j) {
    const auto& c = m->colres[j];
    if (!c.set) continue;
    std::snprintf(line, sizeof line, "=== col %s %.17g %.17g %d %d\n", m->cols[j].name.c_str(), c.level,
                  c.marginal, c.basis, c.cond);
    tvhost_out(line);
  }
  // The solver's order of the columns and rows, when the link changed it.
  auto order = [&](const char* what, const std::vector<int>& perm, auto name) {
    bool identity = true;
    for (size_t k = 0; k < perm.size(); ++k) identity = identity && perm[k] == static_cast<int>(k);
    if (identity || !detail) return;
    std::string s = std::string("=== ") + what + " order";
    for (int k : perm) s.append(" ").append(name(k));  // not " " + name(k): a GCC 12 -Wrestrict false positive
    tvhost_out((s + "\n").c_str());
  };
  order("column", m->colperm, [&](int k) { return m->cols[static_cast<size_t>(k)].name; });
  order("row", m->rowperm, [&](int k) { return m->rows[static_cast<size_t>(k)].name; });
  if (m->completed) tvhost_out("=== solution completed\n");
  if (m->newpoint_calls + m->row_evals + m->obj_evals > 0) {
    std::snprintf(line, sizeof line, "=== evaluations %ld points %ld rows %ld objective %ld errors\n",
                  m->newpoint_calls, m->row_evals, m->obj_evals, m->eval_errors);
    tvhost_out(line);
  }
}
