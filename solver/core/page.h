// Page breaks and the title (m1page, tvtitle).
#pragma once

#include <string>

namespace tv {

struct Context;

// Page break: on the print file a line holding "1" (when page ejects are on)
// and a blank line; on the summary file a blank line when the summary log is
// on or mode != 0.
void m1page(Context& ctx, int mode);

// The 30-character title.
const std::string& title_text();

// The title framed by two lines of 30 "=", six blanks in front of each line,
// on the print and the summary file.
void print_title_box(Context& ctx);

}  // namespace tv
