// The solver's five CPU-time clocks (m1time, m1cpu).
#pragma once

namespace tv {

class Units;

struct Timers {
  static constexpr int kClocks = 5;
  double base = 0.0;            // CPU time recorded by m1cpu mode 1
  bool enabled = true;          // false when timing is disabled
  double tstart[kClocks + 1] = {};
  double tsum[kClocks + 1] = {};
  int count[kClocks + 1] = {};
};

// Clock numbers.
enum : int { kClockMps = 1, kClockSolve = 2, kClockOutput = 3, kClockCon = 4, kClockObj = 5 };

// mode 1: record the base time; mode 0: seconds since the base; mode -1: 0.
double m1cpu(Timers& T, int mode);

// Where the timing lines go and the Timing level in force (0 no clocks,
// negative clocks kept but nothing printed).
struct ClockReport {
  Units& io;
  int prtfile = 0, sumfile = 0;
  int level = 3;
};

// clock > 0 start, clock < 0 stop (and print with option 1); clock 0 with
// option 0 initialises; option 2 prints "Time", option 3 "Mean time".
void m1time(Timers& T, const ClockReport& out, int clock, int printopt);

}  // namespace tv
