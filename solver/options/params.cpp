#include "options/params.h"

namespace tv {

double& Params::rparm_ref(int i) {
  switch (i) {
    case 1: return bigobj;
    case 2: return bigstep;
    case 3: return fprec;
    case 4: return majdamp;
    case 5: return crashtol;
    case 6: return mindamp;
    case 7: return penaltycopy;
    case 8: return luswaptol;
    default: return rparm_[(i >= 1 && i <= 30) ? i - 1 : 29];
  }
}

int& Params::iparm_ref(int i) {
  switch (i) {
    case 1: return crashopt;
    case 2: return lsdebug;
    case 3: return listparms;
    case 4: return scaleprt;
    case 5: return nlstart;
    case 6: return pricing;
    default: return iparm_[(i >= 1 && i <= 30) ? i - 1 : 29];
  }
}

}  // namespace tv
