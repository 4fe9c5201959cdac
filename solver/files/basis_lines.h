// What the basis-file readers and writers share: fixed-column fields,
// numbers read strictly, the unit handling around a file, and the messages
// for lines that are ignored or files that are refused.
#pragma once

#include <string>
#include <string_view>

#include "core/problem.h"

namespace tv {

struct Context;

namespace bfile {

// Columns first..first+width-1 (from 1) of a line; a short line reads as
// padded with blanks.
std::string cols(const std::string& line, int first, int width);
bool blank(std::string_view s);

// A whole number or a finite real filling a field apart from blanks
// (D accepted as the exponent letter).  False for a blank field, trailing
// characters, overflow, NaN or infinity.
bool to_int(std::string_view field, long& v);
bool to_real(std::string_view field, double& v);

// The 8 characters of a name held in the parameters (problem, objective,
// rhs, ranges, bounds).
std::string name8(const char* s);

// Unit handling: a written file is emptied first and rewound afterwards
// (neither for the print or summary unit, which keep their text); a read
// file is rewound before and after (not after for the reader unit).
// begin_read refuses a unit that has no file attached (false, inform 30).
void begin_write(Context& ctx, int unit);
void end_write(Context& ctx, int unit);
bool begin_read(Context& ctx, int unit, const char* file, int& inform);
void end_read(Context& ctx, int unit);
// The start of an INSERT or LOAD file: the heading " <file> file to be input
// from file nn", the unit checked and rewound, and the NAME line read and
// listed.  False (inform 30, the unit rewound) when that fails.
bool begin_name_file(Context& ctx, int unit, const char* file, int& inform);

// The objective row's variable, 0 when there is none.
int objective_index(const Problem& P);

// Refuse a file: " XXX  <file> file, line nnnnnn: <why>" (without the line
// when it is 0) and the EXIT line of a basis file that cannot be read;
// inform = 30.
void refuse(Context& ctx, const char* file, int line, const std::string& why, int& inform);

// One ignored line, listed while `count` (already incremented) is within
// the Error message limit: " XXX  Line nnnnnn  ignored:" and the text.
void ignored(Context& ctx, int count, int line, const std::string& text);

// The value of a nonbasic variable read as at its lower (state 0) or upper
// (state 1) bound: a file with a few significant digits gives the bound
// itself when the value agrees with it to those digits.
double at_bound(double v, int state, double bl, double bu, double big);

}  // namespace bfile
}  // namespace tv
