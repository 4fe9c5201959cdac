// The solver's five CPU-time clocks (m1time, m1cpu).
#pragma once

namespace tv {

struct Context;

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
double m1cpu(Context& ctx, int mode);
// clock > 0 start, clock < 0 stop (and print with option 1); clock 0 with
// option 0 initialises; option 2 prints "Time", option 3 "Mean time".
void m1time(Context& ctx, int clock, int printopt);

}  // namespace tv
