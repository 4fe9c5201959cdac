// The parameter listing printed by m3dflt mode 3.
#pragma once

#include <span>

namespace tv {

struct Context;
struct Params;

// One block of the listing: a heading and rows of up to three parameters
// (names of the registry; nullptr ends a short row).
struct ListBlock {
  const char* heading;
  bool blank_before;             // an empty line before the heading
  bool (*shown)(const Params&);  // nullptr: always printed
  const char* rows[5][3];
};

std::span<const ListBlock> listing_layout();

// The listing, when there is a print file, a positive print level and the
// listing switch is on.
void print_parameters(Context& ctx);

}  // namespace tv
