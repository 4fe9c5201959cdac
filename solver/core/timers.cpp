#include "core/timers.h"

#include <ctime>
#include <string>

#include "core/units.h"

namespace tv {

namespace {

const char* const kLabels[Timers::kClocks + 1] = {
    "",
    "for MPS input           ",
    "for solving problem     ",
    "for solution output     ",
    "for constraint functions",
    "for objective function  ",
};

double process_cpu() {
  timespec ts{};
  if (clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts) != 0) return -1.0;
  // Single precision, as the clocks have always been kept.
  return static_cast<float>(static_cast<double>(ts.tv_sec) + 1e-9 * static_cast<double>(ts.tv_nsec));
}

void print_clock(const ClockReport& out, const char* word, int k, double seconds) {
  std::string s = std::string(" ") + word + " " + kLabels[k];
  if (s.size() < 37) s.append(37 - s.size(), ' ');
  s += strf("%13.2f seconds", seconds);
  if (k == 1) {
    out.io.line(out.prtfile, "");
    out.io.line(out.sumfile, "");
  }
  out.io.line(out.prtfile, s);
  out.io.line(out.sumfile, s);
}

}  // namespace

double m1cpu(Timers& T, int mode) {
  if (mode == 1) {
    T.base = process_cpu();
    return 0.0;
  }
  if (mode == 0) {
    double t = process_cpu();
    if (t < 0.0) return -1.0;
    return static_cast<float>(t - T.base);
  }
  return 0.0;
}

void m1time(Timers& T, const ClockReport& out, int clock, int printopt) {
  const int level = out.level;
  if (clock == 0 && printopt == 0) {
    // Clock 1 times the MPS input, which runs before the solve starts the
    // other clocks: its total is kept.
    for (int k = 2; k <= Timers::kClocks; ++k) {
      T.tstart[k] = 0.0;
      T.tsum[k] = 0.0;
      T.count[k] = 0;
    }
    if (T.base == 0.0) m1cpu(T, 1);
    T.enabled = level != 0 && m1cpu(T, 0) >= 0.0;
    return;
  }
  if (!T.enabled || level == 0) return;

  if (clock > 0 && clock <= Timers::kClocks) {
    T.tstart[clock] = m1cpu(T, 0);
    return;
  }
  if (clock < 0 && -clock <= Timers::kClocks) {
    int k = -clock;
    double dt = m1cpu(T, 0) - T.tstart[k];
    if (dt < 0.0) dt = 0.0;
    T.tsum[k] += dt;
    T.count[k] += 1;
    if (printopt == 1 && level > 0) print_clock(out, "Last time", k, dt);
    if (printopt != 2 && printopt != 3) return;
  }
  if (level < 0) return;
  if (printopt == 2 || printopt == 3) {
    int k1 = clock == 0 ? 1 : (clock < 0 ? -clock : clock);
    int k2 = clock == 0 ? Timers::kClocks : k1;
    for (int k = k1; k <= k2; ++k) {
      if (printopt == 2) {
        print_clock(out, "Time", k, T.tsum[k]);
      } else {
        double mean = T.count[k] > 0 ? T.tsum[k] / T.count[k] : T.tsum[k];
        print_clock(out, "Mean time", k, mean);
      }
    }
  }
}

}  // namespace tv
