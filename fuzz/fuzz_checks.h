// One input of each fuzz target, as a function that the libFuzzer drivers
// (fuzz_main.cpp) and the regression tests (tests/fuzz) share.  Each returns
// an empty string when the input was handled soundly, else a description of
// what went wrong: the driver aborts with it, the tests report it.  Crashes,
// sanitizer reports and bounds-check failures end the process before that.
//
// The fuzz drivers take their options from the first byte of the input
// (decode_* below) and the rest as the text; the tests call the checks with
// the options and text spelled out.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "files/mps.h"
#include "lp_measure.h"

namespace tvfuzz {

// ---- MPS reader -----------------------------------------------------------
// format: 0 detected, 1 fixed, 2 free.  Every result is 0, 40 or 41; a
// refused file leaves the model empty and an EXIT line on the summary file;
// an accepted one is consistent (pointers, indices, finite values) and, when
// the writer can represent it, written in free and in fixed format and read
// back to the same arrays, names and bounds.
std::string check_mps(const std::string& text, int format);

// ---- MPS reader on compressed files ----------------------------------------
// The text is compressed (gzip), then optionally damaged: damage 1 cuts the
// compressed file at `pos`, damage 2 flips the bits of the byte at `pos`
// (modulo the length).  The file is read through the file path of the
// reader: undamaged, it must read as the text does; cut short, it must be
// refused (41); flipped, anything it accepts must be what the text gives.
// An accepted model is also written compressed and read back.
std::string check_mps_gzip(const std::string& text, int damage, unsigned pos);
// Raw bytes as a file (plain or compressed, as they are).
std::string check_mps_file(const std::string& bytes);

// ---- SPECS -----------------------------------------------------------------
// mode 0: the text is a SPECS file read by tvspec (and then a later set by
// m3file).  mode 1: every line goes to tvopt; mode 2 to tvopti and mode 3 to
// tvoptr, the value written after the last '#' of the line (strtol, strtod:
// "nan", "inf", "0x1p-1074" reach the entry as such).  Results and error
// counts must be in range; then the parameters are resolved for a small
// problem, the workspace is sized and the parameters are listed, as an
// entry does before it solves.  (Solves under hostile parameters are the
// solve target's: options after the ENDATA line.)
std::string check_specs(const std::string& text, int mode);

// ---- whole solve -------------------------------------------------------------
// The text is read as an MPS file; a small accepted problem is solved (Cold
// start, iterations bounded, in the file's sense) under the options of
// `flags` and then the SPECS phrases that follow the ENDATA line, if any
// (the reader stops at ENDATA):
//   bits 0-1 Scale option 0, 1, 2 (3: default)    bits 2-3 Crash option 0..3
//   bit 4    partial pricing                     bit 5    the other sense
//   bit 6    Factorization frequency 3           bit 7    Expand frequency 5
// The result must be one a linear program can end with, with its EXIT line;
// "optimal" must hold against the original data (bounds, rows, reduced
// costs, objective), within ten times the tolerances in force.
struct SolveOutcome {
  int inform = -1;       // -1: not solved (refused by the reader, or too large)
  double obj = 0.0;
  int iterations = 0;
  PointErrors errors;    // of an optimal point
  std::string print;     // the print file
};
std::string check_solve(const std::string& text, int flags, SolveOutcome* out = nullptr);
// The same for a model of any size, with the options of `flags` (-1: the
// solver's defaults), then `phrases`, from `start` ("Cold", or "Warm" with
// the states in M.hs).
// With `basis`, the start is read from that basis file (format 0 OLD,
// 1 INSERT, 2 LOAD); a solve may then also end with result 30, the file
// refused.
struct BasisInput {
  int format = 0;
  std::string text;
};
std::string check_solve_model(tv::MpsModel& M, int flags, const std::vector<std::string>& phrases,
                              const char* start = "Cold", SolveOutcome* out = nullptr,
                              const BasisInput* basis = nullptr);

// ---- basis files -------------------------------------------------------------
// The text is read as a basis file (format 0 OLD, 1 INSERT, 2 LOAD) against a
// small problem with every kind of bound and row (its names given, or made
// names x......1, r......1 when `named` is false).  The reader alone: read
// (result 0) or refused (result 30, a message and its EXIT line), states
// 0..3, finite values, superbasics counted within range.  Then a whole solve
// from that file: refused exactly when the reader refused, else a result a
// linear program may end with, an optimum at the problem's known value that
// holds against the data.
std::string check_basis(const std::string& text, int format, bool named);
// The NEW, PUNCH and DUMP files of the small problem after `iterations`
// iterations of a solve (-1: to the end); the OLD, INSERT and LOAD seeds.
std::vector<std::string> basis_files_written(bool named, int iterations);

// Drivers: the first byte selects the options, the rest is the text.
std::string fuzz_mps(const uint8_t* data, size_t size);
std::string fuzz_mps_gzip(const uint8_t* data, size_t size);
std::string fuzz_specs(const uint8_t* data, size_t size);
std::string fuzz_solve(const uint8_t* data, size_t size);
// byte % 3: OLD, INSERT, LOAD; (byte / 3) % 2: made names.
std::string fuzz_basis(const uint8_t* data, size_t size);

}  // namespace tvfuzz
