// The MPS reader and writer under arbitrary input: the result codes, the
// consistency of what is accepted, and the write-and-read-back round trip.
#include <unistd.h>
#include <zlib.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <set>

#include "core/context.h"
#include "files/mps.h"
#include "fuzz_checks.h"
#include "fuzz_files.h"
#include "options/params.h"

namespace tvfuzz {

namespace {

constexpr int kPrint = 9, kSumm = 10;

std::unique_ptr<tv::Context> reader_context() {
  auto ctx = std::make_unique<tv::Context>();
  ctx->io.attach_buffer(kPrint);
  ctx->io.attach_buffer(kSumm);
  ctx->par.prtfile = kPrint;
  ctx->par.sumfile = kSumm;
  return ctx;
}

tv::MpsFormat format_of(int f) {
  return f == 1 ? tv::MpsFormat::Fixed : f == 2 ? tv::MpsFormat::Free : tv::MpsFormat::Auto;
}

// The result of one read: code, model, summary file.
struct Read {
  int inform = -1;
  tv::MpsModel model;
  std::string summ;
};

Read read_text(const std::string& text, tv::MpsFormat fmt) {
  auto ctx = reader_context();
  Read r;
  r.inform = tv::mps_read_text(*ctx, text, r.model, fmt, "fuzz.mps");
  r.summ = ctx->io.buffer(kSumm);
  return r;
}

Read read_file(const std::string& path) {
  auto ctx = reader_context();
  Read r;
  r.inform = tv::mps_read(*ctx, path, r.model);
  r.summ = ctx->io.buffer(kSumm);
  return r;
}

// What every read must satisfy whatever the input: a known result; a
// refusal leaves the model empty and says why; an accepted model is one the
// solver's entries take (dimensions, pointers, indices, finite values, free
// objective row) with 8-character names that tell different names apart.
std::string check_outcome(const Read& r) {
  const tv::MpsModel& M = r.model;
  if (r.inform != 0 && r.inform != 40 && r.inform != 41) return "result " + std::to_string(r.inform);
  if (r.inform != 0) {
    if (M.m != 0 || M.n != 0 || !M.a.empty() || !M.bl.empty()) return "a refused file left a model";
    if (r.summ.find(" XXX ") == std::string::npos) return "a refused file without a message";
    return "";
  }
  const long long nb = static_cast<long long>(M.m) + M.n;
  if (M.m < 0 || M.n < 0 || M.ne < 0) return "negative dimension";
  auto sized = [](const auto& v, long long len) { return static_cast<long long>(v.size()) == len; };
  if (!sized(M.a, M.ne) || !sized(M.ha, M.ne) || !sized(M.ka, M.n + 1LL) || !sized(M.bl, nb) ||
      !sized(M.bu, nb) || !sized(M.hs, nb) || !sized(M.xn, nb) || !sized(M.rc, nb) || !sized(M.pi, M.m) ||
      !sized(M.colnames, M.n) || !sized(M.rownames, M.m) || !sized(M.name1, nb) || !sized(M.name2, nb))
    return "array lengths do not match the dimensions";
  if (M.ka[0] != 1 || M.ka[M.n] != M.ne + 1) return "column pointers do not span the entries";
  std::vector<int> mark(M.m + 1, 0);
  for (int j = 1; j <= M.n; ++j) {
    if (M.ka[j] < M.ka[j - 1]) return "column pointers out of order";
    for (int k = M.ka[j - 1]; k < M.ka[j]; ++k) {
      const int i = M.ha[k - 1];
      const double v = M.a[k - 1];
      if (i < 1 || i > M.m) return "row index out of range";
      if (mark[i] == j) return "two entries in one row of a column";
      mark[i] = j;
      if (!std::isfinite(v) || v == 0.0 || std::fabs(v) >= 1e20) return "a stored coefficient is zero, infinite or NaN";
    }
  }
  for (long long j = 0; j < nb; ++j) {
    const double lo = M.bl[j], up = M.bu[j];
    if (!(lo >= -1e20 && lo <= 1e20 && up >= -1e20 && up <= 1e20)) return "a bound is NaN or beyond 1e20";
  }
  if (!std::isfinite(M.objconst)) return "objective constant not finite";
  if (M.objrow < 0 || M.objrow > M.m) return "objective row out of range";
  if (M.objrow > 0 && (M.bl[M.n + M.objrow - 1] != -1e20 || M.bu[M.n + M.objrow - 1] != 1e20))
    return "the objective row is not free";
  // 8-character names: columns among themselves and rows among themselves
  // are told apart; a column may share a row's name only when the two whole
  // names are the same.
  std::map<std::pair<int32_t, int32_t>, std::pair<long long, const std::string*>> seen;
  for (long long j = 0; j < nb; ++j) {
    const std::string& whole = j < M.n ? M.colnames[j] : M.rownames[j - M.n];
    auto [it, fresh] = seen.emplace(std::make_pair(M.name1[j], M.name2[j]), std::make_pair(j, &whole));
    if (fresh) continue;
    const bool same_kind = (it->second.first < M.n) == (j < M.n);
    if (same_kind || *it->second.second != whole) return "two different names share an 8-character name";
  }
  return "";
}

// Two models hold the same problem: dimensions, arrays bit for bit (values
// by ==, so -0 and 0 agree), bounds, objective, sense and names.
std::string compare(const tv::MpsModel& x, const tv::MpsModel& y) {
  if (x.m != y.m || x.n != y.n || x.ne != y.ne) return "dimensions differ";
  if (x.objrow != y.objrow) return "objective row differs";
  if (x.objconst != y.objconst) return "objective constant differs";
  if (x.objsense != y.objsense) return "sense differs";
  if (x.name != y.name) return "problem name differs";
  if (x.ka != y.ka || x.ha != y.ha) return "matrix structure differs";
  if (x.a != y.a) return "coefficients differ";
  if (x.bl != y.bl || x.bu != y.bu) return "bounds differ";
  if (x.colnames != y.colnames || x.rownames != y.rownames) return "names differ";
  if (x.name1 != y.name1 || x.name2 != y.name2) return "8-character names differ";
  return "";
}

// Write the model in free (or whatever its names need) and in fixed format
// and read each file back.  A format may refuse a model it cannot carry
// (names, numbers too long for fixed fields) if it says why.
std::string round_trip(const tv::MpsModel& M) {
  for (tv::MpsFormat fmt : {tv::MpsFormat::Auto, tv::MpsFormat::Fixed}) {
    const char* label = fmt == tv::MpsFormat::Fixed ? "fixed" : "free";
    std::string out, why;
    if (!tv::mps_write_text(M, out, why, fmt)) {
      if (why.empty()) return std::string("the writer refused (") + label + ") without a reason";
      continue;
    }
    const Read back = read_text(out, tv::MpsFormat::Auto);
    if (back.inform != 0)
      return std::string("the file written (") + label + ") does not read back: result " +
             std::to_string(back.inform) + "\n" + back.summ + "\n--- file:\n" + out;
    const std::string diff = compare(M, back.model);
    if (!diff.empty()) return std::string("read back (") + label + "): " + diff + "\n--- file:\n" + out;
  }
  return "";
}

// gzip stream of the text.
std::string gzip(const std::string& text) {
  z_stream zs{};
  if (deflateInit2(&zs, 6, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY) != Z_OK) std::abort();
  std::string out(deflateBound(&zs, static_cast<uLong>(text.size())) + 32, '\0');
  zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(text.data()));
  zs.avail_in = static_cast<uInt>(text.size());
  zs.next_out = reinterpret_cast<Bytef*>(out.data());
  zs.avail_out = static_cast<uInt>(out.size());
  if (deflate(&zs, Z_FINISH) != Z_STREAM_END) std::abort();
  out.resize(zs.total_out);
  deflateEnd(&zs);
  return out;
}

}  // namespace

std::string check_mps(const std::string& text, int format) {
  const Read r = read_text(text, format_of(format));
  std::string why = check_outcome(r);
  if (why.empty() && r.inform == 0) why = round_trip(r.model);
  return why;
}

std::string check_mps_file(const std::string& bytes) {
  const std::string path = scratch_path("in");
  if (!write_file(path, bytes)) return "";  // nothing to learn without the file
  const Read r = read_file(path);
  std::string why = check_outcome(r);
  if (!why.empty()) return why;
  // A plain file reads as the same text from memory does.
  const bool compressed = bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0x1f &&
                          static_cast<unsigned char>(bytes[1]) == 0x8b;
  if (!compressed) {
    const Read t = read_text(bytes, tv::MpsFormat::Auto);
    if (t.inform != r.inform) return "the file and the same text in memory read differently";
    if (r.inform == 0) return compare(r.model, t.model);
  }
  return "";
}

std::string check_mps_gzip(const std::string& text, int damage, unsigned pos) {
  std::string gz = gzip(text);
  bool cut = false;
  if (damage == 1 && pos < gz.size()) {
    gz.resize(pos);
    cut = true;
  } else if (damage == 2) {
    gz[pos % gz.size()] ^= static_cast<char>(0xff);
  }
  const std::string path = scratch_path("in.gz");
  if (!write_file(path, gz)) return "";
  const Read r = read_file(path);
  std::string why = check_outcome(r);
  if (!why.empty()) return why;

  const Read plain = read_text(text, tv::MpsFormat::Auto);
  if (damage == 0 && r.inform != plain.inform)
    return "the compressed file reads differently from its text: " + std::to_string(r.inform) + " vs " +
           std::to_string(plain.inform);
  if (cut && r.inform == 0) return "a compressed file cut short was accepted";
  if (r.inform == 0) {
    if (plain.inform != 0) return "a damaged compressed file was accepted, its text is not";
    why = compare(r.model, plain.model);
    if (!why.empty()) return "compressed file: " + why;
    // Written compressed and read back.
    auto ctx = reader_context();
    const std::string out = scratch_path("out.mps.gz");
    if (tv::mps_write(*ctx, r.model, out) == 0) {
      const Read back = read_file(out);
      if (back.inform != 0) return "the compressed file written does not read back";
      why = compare(r.model, back.model);
      if (!why.empty()) return "compressed read back: " + why;
    }
  }
  return "";
}

std::string fuzz_mps(const uint8_t* data, size_t size) {
  if (size < 1) return "";
  return check_mps(std::string(reinterpret_cast<const char*>(data) + 1, size - 1), data[0] % 3);
}

std::string fuzz_mps_gzip(const uint8_t* data, size_t size) {
  if (size < 1) return "";
  if (data[0] & 1) return check_mps_file(std::string(reinterpret_cast<const char*>(data) + 1, size - 1));
  if (size < 4) return "";
  const unsigned pos = data[2] | static_cast<unsigned>(data[3]) << 8;
  return check_mps_gzip(std::string(reinterpret_cast<const char*>(data) + 4, size - 4), data[1] % 3, pos);
}

}  // namespace tvfuzz
