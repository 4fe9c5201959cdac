#include "options/listing.h"

#include "core/context.h"
#include "core/page.h"
#include "options/param_table.h"
#include "options/params.h"

namespace tv {

namespace {

bool mps_shown(const Params& p) { return p.mpsfile > 0; }
bool auglag_shown(const Params& p) { return p.nncon > 0; }

const ListBlock kLayout[] = {
    {" MPS INPUT DATA.", false, mps_shown,
     {{"rowlim", "listlim", "bldef"}, {"collim", "errlim", "budef"}, {"elmlim", "phelems", "aijdrop"}}},
    {" FILES.", true, nullptr,
     {{"mpsfile", "oldbfile", "rdrfile"},
      {"solfile", "newbfile", "prtfile"},
      {"insfile", "bkpfile", "specfile"},
      {"pchfile", "loadfile", "dumpfile"}}},
    {" FREQUENCIES.", true, nullptr,
     {{"logfreq", "chkfreq", "savfreq"}, {"sumfreq", "facfreq", "expfreq"}}},
    {" LP PARAMETERS.", true, nullptr,
     {{"scaleopt", "feastol", "itnmax"},
      {"scaletol", "opttol", "partprice"},
      {"crashopt", "pivtol", "multprice"},
      {"crashtol", "objweight", nullptr}}},
    {" NONLINEAR PROBLEMS.", true, nullptr,
     {{"nncon", "hdim", "fprec"},
      {"nnjac", "maxs", "fwdint"},
      {"nnobj", "lstol", "cenint"},
      {"probnum", "subtol", "derlevel"},
      {"bigobj", "bigstep", "verlevel"}}},
    {" AUGMENTED LAGRANGIAN.", true, auglag_shown,
     {{"jacform", "majmax", "radius"},
      {"lagrangian", "minormax", "rowtol"},
      {"penalty", "completion", "prtlevel"},
      {"majdamp", "mindamp", nullptr}}},
    {" MISCELLANEOUS.", true, nullptr,
     {{"lufactol", "wsuser", "dbglevel"},
      {"luupdtol", "wstotal", "lsdebug"},
      {"lusingtol", "eps", "nwordr"},
      {"luswaptol", "timlevel", nullptr}}},
};

// One row: items of a 24-character label and a 10-character value, six
// blanks between items.
std::string list_row(const char* const names[3], Params& p) {
  std::string row;
  for (int k = 0; k < 3 && names[k]; ++k) {
    const ParamDef* d = find_param(names[k]);
    if (!d || !d->label) continue;
    if (k > 0) row += "      ";
    row += d->label;
    row += show_param(*d, p);
  }
  return row;
}

}  // namespace

std::span<const ListBlock> listing_layout() { return kLayout; }

void print_parameters(Context& ctx) {
  Params& p = ctx.par;
  if (p.prtfile <= 0 || p.prtlevel <= 0 || p.listparms <= 0) return;
  m1page(ctx, 1);
  ctx.prt(" Parameters");
  ctx.prt(" ----------");
  for (const ListBlock& b : kLayout) {
    if (b.shown && !b.shown(p)) continue;
    if (b.blank_before) ctx.prt("");
    ctx.prt(b.heading);
    for (const auto& r : b.rows) {
      if (!r[0]) break;
      ctx.prt(list_row(r, p));
    }
  }
}

}  // namespace tv
