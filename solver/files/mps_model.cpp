// The MPS model: array ownership, the Problem view, 8-character names.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unordered_map>
#include <unordered_set>

#include "core/units.h"
#include "files/mps.h"
#include "options/params.h"

namespace tv {

void pack_name8(const std::string& name, int32_t& w1, int32_t& w2) {
  char buf[8];
  std::memset(buf, ' ', sizeof buf);
  std::memcpy(buf, name.data(), name.size() < 8 ? name.size() : 8);
  std::memcpy(&w1, buf, 4);
  std::memcpy(&w2, buf + 4, 4);
}

std::string unpack_name8(int32_t w1, int32_t w2) {
  char buf[8];
  std::memcpy(buf, &w1, 4);
  std::memcpy(buf + 4, &w2, 4);
  return std::string(buf, 8);
}

namespace {

std::string rtrim(std::string s) {
  while (!s.empty() && s.back() == ' ') s.pop_back();
  return s;
}

// The made name of a variable without a name: x......5, r.....12.
std::string made_name(char letter, int k) {
  std::string s = strf("%c%7d", letter, k);
  for (size_t i = 1; i < s.size() && s[i] == ' '; ++i) s[i] = '.';
  return s;
}

}  // namespace

void MpsModel::resize(int m_, int n_, int ne_) {
  m = m_;
  n = n_;
  ne = ne_;
  const int nbv = n + m;
  a.assign(ne, 0.0);
  ha.assign(ne, 0);
  ka.assign(n + 1, 1);
  bl.assign(nbv, 0.0);
  bu.assign(nbv, kMachine.infbnd);
  for (int i = 0; i < m; ++i) bl[n + i] = -kMachine.infbnd;
  hs.assign(nbv, 0);
  xn.assign(nbv, 0.0);
  rc.assign(nbv, 0.0);
  pi.assign(m, 0.0);
  colnames.resize(n);
  rownames.resize(m);
}

Problem MpsModel::problem() {
  Problem p;
  p.m = m;
  p.n = n;
  p.nb = n + m;
  p.ne = ne;
  p.nnames = name1.size() == static_cast<size_t>(n + m) && n + m > 0 ? n + m : 1;
  p.objrow = objrow;
  p.objconst = objconst;
  p.a = Dvec(a.data(), ne);
  p.ha = Ivec(ha.data(), ne);
  p.ka = Ivec(ka.data(), n + 1);
  p.bl = Dvec(bl.data(), n + m);
  p.bu = Dvec(bu.data(), n + m);
  if (p.nnames > 1) {
    p.name1 = Ivec(name1.data(), n + m);
    p.name2 = Ivec(name2.data(), n + m);
  } else {
    // No names: the entry wants arrays of length 1.
    name1.assign(1, 0);
    name2.assign(1, 0);
    pack_name8("", name1[0], name2[0]);
    p.name1 = Ivec(name1.data(), 1);
    p.name2 = Ivec(name2.data(), 1);
  }
  p.hs = Ivec(hs.data(), n + m);
  p.xn = Dvec(xn.data(), n + m);
  p.pi = Dvec(pi.data(), m);
  p.rc = Dvec(rc.data(), n + m);
  return p;
}

std::string MpsModel::names40() const {
  auto field = [](const std::string& s) {
    std::string f = s.substr(0, s.size() < 8 ? s.size() : 8);
    f.resize(8, ' ');
    return f;
  };
  std::string obj = objrow >= 1 && objrow <= m ? short_name(n + objrow) : std::string();
  return field(name) + field(obj) + field(rhsname) + field(rngname) + field(bndname);
}

std::string MpsModel::short_name(int j) const {
  if (j >= 1 && static_cast<size_t>(j) <= name1.size() && name1.size() == static_cast<size_t>(n + m))
    return rtrim(unpack_name8(name1[j - 1], name2[j - 1]));
  return j <= n ? made_name('x', j) : made_name('r', j - n);
}

void MpsModel::make_short_names() {
  const int nbv = n + m;
  std::vector<std::string> full(nbv);
  for (int j = 0; j < nbv; ++j) {
    const std::string* s = nullptr;
    if (j < n && static_cast<size_t>(j) < colnames.size()) s = &colnames[j];
    if (j >= n && static_cast<size_t>(j - n) < rownames.size()) s = &rownames[j - n];
    full[j] = s && !s->empty() ? *s : (j < n ? made_name('x', j + 1) : made_name('r', j - n + 1));
  }

  // Longer names grouped by their first 8 characters.
  std::unordered_map<std::string, std::vector<int>> groups;
  std::vector<std::string> order;
  for (int j = 0; j < nbv; ++j) {
    if (full[j].size() <= 8) continue;
    std::string cut = full[j].substr(0, 8);
    auto& g = groups[cut];
    if (g.empty()) order.push_back(cut);
    g.push_back(j);
  }

  // Names that fit are kept; they reserve their 8 characters against the
  // shortened ones (only needed when there are any).
  std::unordered_set<std::string> taken;
  if (!order.empty()) {
    taken.reserve(static_cast<size_t>(nbv));
    for (const auto& s : full)
      if (s.size() <= 8) taken.insert(rtrim(s));
  }

  std::vector<std::string> shortn(nbv);
  for (int j = 0; j < nbv; ++j)
    if (full[j].size() <= 8) shortn[j] = full[j];
  for (const auto& cut : order) {
    const auto& g = groups[cut];
    if (g.size() == 1 && !taken.count(rtrim(cut))) {
      shortn[g[0]] = cut;
      taken.insert(rtrim(cut));
      continue;
    }
    // Colliding group: every member gets a numbered name.
    long k = 1;
    for (int j : g) {
      std::string cand;
      for (;; ++k) {
        // Appended rather than "~" + to_string(k): GCC 12 warns falsely
        // (-Wrestrict) on that inlined insert at the front of a temporary.
        std::string suffix = "~";
        suffix += std::to_string(k);
        cand = full[j].substr(0, 8 - suffix.size()) + suffix;
        if (!taken.count(cand)) break;
      }
      ++k;
      taken.insert(cand);
      shortn[j] = cand;
    }
  }

  name1.assign(nbv, 0);
  name2.assign(nbv, 0);
  for (int j = 0; j < nbv; ++j) pack_name8(shortn[j], name1[j], name2[j]);
}

std::string mps_number(double v) {
  char buf[40];
  for (int p = 1; p <= 17; ++p) {
    std::snprintf(buf, sizeof buf, "%.*g", p, v);
    if (std::strtod(buf, nullptr) == v) break;
  }
  return buf;
}

}  // namespace tv
