#include "options/param_table.h"

#include <cstring>

#include "core/units.h"
#include "options/params.h"

namespace tv {

namespace {

// Words of the listing: Lagrangian prints word lagrangian+1 (3 characters),
// Completion word completion+3, Jacobian word jacform+4.
const char* list_word(int k) {
  static const char* const words[6] = {"No  ", "Yes ", "Part", "Full", " Den", "Spar"};
  return (k >= 1 && k <= 6) ? words[k - 1] : "????";
}

std::string show_jacobian(Params& p) { return strf("    %.4sse", list_word(p.jacform + 4)); }
std::string show_lagrangian(Params& p) { return strf("       %.3s", list_word(p.lagrangian + 1)); }
std::string show_completion(Params& p) { return strf("      %.4s", list_word(p.completion + 3)); }
std::string show_nwords(Params& p) { return strf(" %3d%3d%3d", p.nwordr, p.nwordi, p.nwordh); }

constexpr bool U = true;   // set by the user
constexpr bool X = false;  // internal, derived or given by the caller

}  // namespace

// Row builders: integer field, real field, integer/real through an
// expression of `p`, and a name slot.
#define PI_(f, rs, rv, u, lab) \
  {#f, PType::Int, [](Params& p) { return ParamRef{&(p.f), nullptr, nullptr}; }, Reset::rs, rv, u, lab, "%10d", nullptr}
#define PR_(f, rs, rv, u, lab, fmt) \
  {#f, PType::Real, [](Params& p) { return ParamRef{nullptr, &(p.f), nullptr}; }, Reset::rs, rv, u, lab, fmt, nullptr}
#define PIX(nm, expr, rs, rv, u, lab) \
  {nm, PType::Int, [](Params& p) { return ParamRef{&(expr), nullptr, nullptr}; }, Reset::rs, rv, u, lab, "%10d", nullptr}
#define PRX(nm, expr, rs, rv, u, lab, fmt) \
  {nm, PType::Real, [](Params& p) { return ParamRef{nullptr, &(expr), nullptr}; }, Reset::rs, rv, u, lab, fmt, nullptr}
#define PN_(nm, k, u) \
  {nm, PType::Name, [](Params& p) { return ParamRef{nullptr, nullptr, p.names[k]}; }, Reset::Unset, 0, u, nullptr, nullptr, nullptr}

namespace {

const ParamDef kParams[] = {
    // m1eps: machine constants, stored once.
    PRX("eps", p.mc.eps, Keep, 0, X, " eps (machine precision)", "%10.2E"),
    PRX("eps080", p.mc.eps080, Keep, 0, X, nullptr, nullptr),
    PRX("eps067", p.mc.eps067, Keep, 0, X, nullptr, nullptr),
    PRX("eps050", p.mc.eps050, Keep, 0, X, nullptr, nullptr),
    PRX("eps033", p.mc.eps033, Keep, 0, X, nullptr, nullptr),
    PRX("eps025", p.mc.eps025, Keep, 0, X, nullptr, nullptr),
    PRX("eps020", p.mc.eps020, Keep, 0, X, nullptr, nullptr),
    PRX("infbnd", p.mc.infbnd, Keep, 0, X, nullptr, nullptr),
    // m1word
    {"nwordr", PType::Int, [](Params& p) { return ParamRef{&p.nwordr, nullptr, nullptr}; }, Reset::Keep, 0, X,
     " nwordr, nwordi, nwordh.", nullptr, show_nwords},
    PI_(nwordi, Keep, 0, X, nullptr),
    PI_(nwordh, Keep, 0, X, nullptr),
    // m1file: given by the caller of the start routine.
    PI_(rdrfile, Keep, 0, X, " (Card reader).........."),
    PI_(prtfile, Keep, 0, U, " (Printer).............."),
    PI_(sumfile, Keep, 0, U, nullptr),
    // m2file
    PI_(bkpfile, Value, 0, U, " Backup basis file......"),
    PI_(dumpfile, Value, 0, U, " Dump file.............."),
    PI_(loadfile, Value, 0, U, " Load file.............."),
    PI_(mpsfile, Value, 0, U, " MPS file .............."),
    PI_(newbfile, Value, 0, U, " New basis file ........"),
    PI_(insfile, Value, 0, U, " Insert file............"),
    PI_(oldbfile, Value, 0, U, " Old basis file ........"),
    PI_(pchfile, Value, 0, U, " Punch file............."),
    PI_(solfile, Value, 0, U, " Solution file.........."),
    PI_(specfile, Keep, 0, X, " (Specs file)..........."),
    PI_(repfile, Value, 0, U, nullptr),
    // m2parm: the named entries of rparm and iparm.
    PR_(bigobj, Unset, 0, U, " Unbounded objective val", "%10.2E"),
    PR_(bigstep, Unset, 0, U, " Unbounded step size....", "%10.2E"),
    PR_(fprec, Unset, 0, U, " Function precision.....", "%10.2E"),
    PR_(majdamp, Unset, 0, U, " Major damping parameter", "%10.2E"),
    PR_(crashtol, Unset, 0, U, " Crash tolerance........", "%10.3f"),
    PR_(mindamp, Unset, 0, U, " Minor damping parameter", "%10.2E"),
    PR_(penaltycopy, Unset, 0, U, nullptr, nullptr),
    PR_(luswaptol, Unset, 0, U, " LU swap tolerance......", "%10.2E"),
    PI_(crashopt, Value, 3, U, " Crash option..........."),
    PI_(lsdebug, Value, 9999999, U, " Linesearch debug after."),
    PI_(listparms, Value, 1, U, nullptr),
    PI_(scaleprt, Value, 0, U, nullptr),
    PI_(nlstart, Value, 2, U, nullptr),
    PI_(pricing, Value, 0, U, nullptr),
    // m2lu4: the entries of lurpar/luipar that the options own.
    PRX("lufactol", p.lufactol(), Unset, 0, U, " LU factor tolerance....", "%10.2f"),
    PRX("luupdtol", p.luupdtol(), Unset, 0, U, " LU update tolerance....", "%10.2f"),
    PRX("lusingtol", p.lusingtol(), Unset, 0, U, " LU singularity tol.....", "%10.2E"),
    PRX("lusingtol2", p.lusingtol2(), Unset, 0, U, nullptr, nullptr),
    PRX("ludenstol", p.ludenstol(), Unset, 0, U, nullptr, nullptr),
    PIX("lupivot", p.lupivot(), Value, 0, U, nullptr),
    // m5freq
    PI_(chkfreq, Unset, 0, U, " Check row error........"),
    PI_(facfreq, Unset, 0, U, " Factorize basis........"),
    PI_(logfreq, Unset, 0, U, " Log frequency.........."),
    PI_(savfreq, Unset, 0, U, " Save new basis map....."),
    PI_(sumfreq, Unset, 0, U, " Summary frequency......"),
    PI_(expfreq, Unset, 0, U, " Expand frequency......."),
    PIX("freq_spare(1)", p.freq_spare[0], Value, 0, X, nullptr),
    PIX("freq_spare(2)", p.freq_spare[1], Value, 0, X, nullptr),
    // m5tols, m5lp1, m5prc, m5step, m5lobj
    PR_(feastol, Unset, 0, U, " Feasibility tolerance..", "%10.2E"),
    PR_(opttol, Unset, 0, U, " Optimality tolerance...", "%10.2E"),
    PR_(pivtol, Unset, 0, U, " Pivot tolerance........", "%10.2E"),
    PR_(m5tols6, Value, 1.0E-4, X, nullptr, nullptr),
    PI_(itnmax, Unset, 0, U, " Iteration limit........"),
    PI_(partprice, Unset, 0, U, " Partial  price........."),
    PI_(multprice, Value, 1, U, " Multiple price........."),
    PI_(scaleopt, Unset, 0, U, " Scale option..........."),
    PR_(scaletol, Unset, 0, U, " Scale tolerance........", "%10.3f"),
    PR_(objweight, Unset, 0, U, " Weight on objective....", "%10.2E"),
    PI_(objsense, Value, 1, U, nullptr),
    // m7len, m7conv, m7cg1, m7cg2
    PI_(hdim, Unset, 0, U, " Hessian dimension......"),
    PI_(maxs, Unset, 0, U, " Superbasics limit......"),
    PR_(lstol, Unset, 0, U, " Linesearch tolerance...", "%10.5f"),
    PR_(subtol, Unset, 0, U, " Subspace tolerance.....", "%10.5f"),
    PI_(m7cg1, Value, -1, X, nullptr),
    PIX("m7cg2(1)", p.m7cg2[0], Value, 1, X, nullptr),
    PIX("m7cg2(2)", p.m7cg2[1], Value, 0, X, nullptr),
    // m8diff, m8veri, m8func
    PR_(fwdint, Unset, 0, U, " Difference interval....", "%10.2E"),
    PR_(cenint, Unset, 0, U, " Central difference int.", "%10.2E"),
    PI_(derlevel, Value, 3, U, " Derivative level......."),
    PI_(verlevel, Value, 0, U, " Verify level..........."),
    PI_(m8veri_next, Value, -2, X, nullptr),
    PI_(objchk1, Value, -1, U, nullptr),
    PI_(objchk2, Value, -1, U, nullptr),
    PI_(conchk1, Value, -1, U, nullptr),
    PI_(conchk2, Value, -1, U, nullptr),
    // m8al1, m8al2
    PI_(majmax, Value, 50, U, " Major iterations limit."),
    PI_(minormax, Unset, 0, U, " Minor iterations limit."),
    PR_(penalty, Unset, 0, U, " Penalty parameter......", "%10.2E"),
    PR_(radius, Unset, 0, U, " Radius of convergence..", "%10.2E"),
    PR_(rowtol, Unset, 0, U, " Row tolerance..........", "%10.2E"),
    {"completion", PType::Int, [](Params& p) { return ParamRef{&p.completion, nullptr, nullptr}; }, Reset::Unset, 0,
     U, " Completion.............", nullptr, show_completion},
    {"lagrangian", PType::Int, [](Params& p) { return ParamRef{&p.lagrangian, nullptr, nullptr}; }, Reset::Value, 1,
     U, " Lagrangian.............", nullptr, show_lagrangian},
    {"jacform", PType::Int, [](Params& p) { return ParamRef{&p.jacform, nullptr, nullptr}; }, Reset::Value, 1, U,
     " Jacobian...............", nullptr, show_jacobian},
    // m5log1, m5log4, m1tim
    PI_(prtlevel, Value, 0, U, " Print level..(JFLXB)..."),
    PI_(dbglevel, Value, 0, U, " Debug level............"),
    PI_(timlevel, Value, 3, U, " Timing level..........."),
    PI_(lprbrf, Value, 1, X, nullptr),
    PI_(lprful, Value, 0, X, nullptr),
    PI_(lsmbrf, Value, 1, U, nullptr),
    PI_(lsmful, Value, 0, U, nullptr),
    // m5len, m8len, m2len: sizes (the entry stores the problem's)
    PI_(solprint, Value, 2, U, nullptr),
    PI_(wsuser, Value, 0, U, " Workspace (user)......."),
    PI_(wstotal, Keep, 0, U, " Workspace (total)......"),
    PI_(rowlim, Value, 0, U, " Row limit.............."),
    PI_(collim, Value, 0, U, " Column limit..........."),
    PI_(elmlim, Value, 0, U, " Elements limit ........"),
    PI_(nncon, Value, 0, U, " Nonlinear constraints.."),
    PI_(nnobj, Value, 0, U, " Nonlinear objectiv vars"),
    PI_(nnjac, Value, 0, U, " Nonlinear Jacobian vars"),
    PI_(nnl, Value, 0, X, nullptr),
    PI_(nncon1, Value, 1, X, nullptr),
    // m3mps3, m3mps4
    PR_(aijdrop, Value, 1.0E-10, U, " Aij tolerance..........", "%10.2E"),
    PR_(bldef, Value, 0.0, U, " Lower bound default....", "%10.2E"),
    PR_(budef, Value, 1.0E+20, U, " Upper bound default....", "%10.2E"),
    PI_(listlim, Value, 0, U, " List limit............."),
    PI_(errlim, Value, 10, U, " Error message limit...."),
    PI_(phcols, Value, 0, U, nullptr),
    PI_(phelems, Value, 0, U, " Phantom elements......."),
    // cyclcm
    PI_(cyclim, Value, 1, U, nullptr),
    PI_(cycprt, Value, 1, U, nullptr),
    PR_(cyctol, Value, 0.0, U, nullptr, nullptr),
    PI_(probnum, Value, 0, U, " Problem number........."),
    // names: problem (set by the entry), objective, rhs, ranges, bounds
    PN_("probname", 0, X),
    PN_("objname", 1, U),
    PN_("rhsname", 2, U),
    PN_("rngname", 3, U),
    PN_("bndname", 4, U),
};

}  // namespace

#undef PI_
#undef PR_
#undef PIX
#undef PRX
#undef PN_

std::span<const ParamDef> param_table() { return kParams; }

const ParamDef* find_param(std::string_view name) {
  for (const ParamDef& d : kParams) {
    if (name == d.name) return &d;
  }
  return nullptr;
}

void reset_params(Params& p) {
  for (const ParamDef& d : kParams) {
    if (d.reset == Reset::Keep) continue;
    ParamRef r = d.ref(p);
    const bool unset = d.reset == Reset::Unset;
    switch (d.type) {
      case PType::Int: *r.i = unset ? kUnsetI : static_cast<int>(d.reset_value); break;
      case PType::Real: *r.r = unset ? kUnsetR : d.reset_value; break;
      case PType::Name: std::memset(r.s, ' ', 8); break;
    }
  }
  // The anonymous IPARM/RPARM slots (the named ones are fields above).
  for (double& v : p.rparm_) v = kUnsetR;
  for (int& v : p.iparm_) v = kUnsetI;
}

std::string show_param(const ParamDef& d, Params& p) {
  if (d.show) return d.show(p);
  ParamRef r = d.ref(p);
  switch (d.type) {
    case PType::Int: return strf(d.fmt ? d.fmt : "%10d", *r.i);
    case PType::Real: return strf(d.fmt ? d.fmt : "%10.2E", *r.r);
    case PType::Name: return std::string(r.s, 8);
  }
  return std::string();
}

}  // namespace tv
