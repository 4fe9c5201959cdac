#include "tarvo_wrapper.h"

#include <cstring>
#include <string>


namespace tvl {
namespace {

int iprint = 14;  // print file
int isumm = 0;    // summary file: none
int ispecs = 0;   // SPECS file: none

constexpr int kSpecsLine = 72;     // a SPECS line
constexpr int kNumberField = 16;   // the integer written after a phrase

std::string text_of(const char* s, int length) {
  if (!s || length <= 0) return std::string();
  const void* z = std::memchr(s, '\0', static_cast<size_t>(length));
  return std::string(s, z ? static_cast<size_t>(static_cast<const char*>(z) - s) : static_cast<size_t>(length));
}

}  // namespace

void cstr2fstr(char* dest, int destlen, const char* src) {
  if (!dest || destlen <= 0) return;
  std::memset(dest, ' ', static_cast<size_t>(destlen));
  if (!src) return;
  for (int i = 0; i < destlen && src[i]; ++i) dest[i] = src[i];
}

void f_tvstart(const char* path, int length, int* error) {
  int err = 0;
  if (iprint > 0) {
    const std::string p = text_of(path, length);
    if (p.empty() || tvattach(iprint, p.c_str(), "w") != 0) {
      err = 1;
      iprint = 0;
    }
  } else {
    err = 1;  // the print file is off for good
  }
  if (error) *error = err;
  int ip = iprint, is = isumm, isp = ispecs;
  tvstart(&ip, &is, &isp);
}

void f_tvtitle(char* buffer, int length) {
  if (!buffer || length <= 0) return;
  char title[30];
  tvtitle(title, static_cast<int>(sizeof title));
  const int n = length - 1 < 30 ? length - 1 : 30;
  std::memcpy(buffer, title, static_cast<size_t>(n));
  buffer[n] = '\0';
}

void f_tvspec() {
  if (ispecs == 0) return;
  int unit = ispecs, inform = 0;
  tvspec(&unit, &inform);
}

void f_tvopt(const char* text, int length, int* error) {
  const std::string phrase = text_of(text, length);
  int errors = 0;
  if (phrase.size() > static_cast<size_t>(kSpecsLine)) {
    errors = 1;  // the parser would cut it and might read a different phrase
  } else {
    char line[kSpecsLine];
    cstr2fstr(line, kSpecsLine, phrase.c_str());
    int ip = iprint, is = isumm;
    tvopt(line, &ip, &is, &errors, static_cast<int>(phrase.size()));
  }
  if (error) *error = errors;
}

void f_tvopti(const char* text, int length, int ivalue, int* error) {
  const std::string phrase = text_of(text, length);
  int errors = 0;
  if (phrase.size() + kNumberField > static_cast<size_t>(kSpecsLine)) {
    errors = 1;  // no room left for the number
  } else {
    int ip = iprint, is = isumm, v = ivalue;
    tvopti(phrase.c_str(), &v, &ip, &is, &errors, static_cast<int>(phrase.size()));
  }
  if (error) *error = errors;
}

long long f_tvcore(int m, int n, int ne, int nb, int hdim, int maxs, int nnobj, int nncon, int nnjac,
                   int njac) {
  long long estimate = 0;
  tvcore64(&m, &n, &ne, &nb, &hdim, &maxs, &nnobj, &nncon, &nnjac, &njac, &estimate);
  return estimate;
}

void f_tvnose(const char* start, int m, int n, int ne, double objconst, int nncon, int nnobj, int nnjac,
              int objrow, const char* names, double* a, int* ha, int* ka, double* bl, double* bu,
              int* hs, double* xn, double* pi, double* rc, int* inform, int* minwork, int* ns,
              int* ninf, double* sinf, double* obj, double* z, int nwork, int loglev, tv_logfun logfun,
              int* nmajor, int* nitns, int* ncstat, double* cviol, double* cviolr) {
  char st[10];
  cstr2fstr(st, static_cast<int>(sizeof st), start);
  char nm[40];
  cstr2fstr(nm, static_cast<int>(sizeof nm), nullptr);
  if (names) std::memcpy(nm, names, sizeof nm);
  int nb = n + m, nnames = 1, name1 = 0, name2 = 0;
  tvnose(st, &m, &n, &nb, &ne, &nnames, &nncon, &nnobj, &nnjac, &objrow, &objconst, nm, a, ha, ka, bl, bu,
         &name1, &name2, hs, xn, pi, rc, inform, minwork, ns, ninf, sinf, obj, z, &nwork, &loglev, logfun,
         nmajor, nitns, ncstat, cviol, cviolr, static_cast<int>(sizeof st));
}

void f_tvsetfun(tv_funobj funobj, tv_funcon funcon) { tvsetfun(funobj, funcon); }

double f_tvsolf(int n, int j, int* flag, int* state, int* hs, double* bl, double* bu, double* rc,
                double* xn) {
  return tvsolf(&n, &j, flag, state, hs, bl, bu, rc, xn);
}

}  // namespace tvl
