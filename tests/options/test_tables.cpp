// The registry, the keyword tables, the dispatch table and the listing
// layout must agree with each other.
#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

#include "core/context.h"
#include "options/listing.h"
#include "options/options.h"
#include "options/param_table.h"
#include "options/params.h"
#include "options/specs.h"

using namespace tv;

namespace {

std::string first_word(const char* entry) {
  std::string w;
  optokn(entry, 1, &w);
  return w;
}

bool is_alias(const char* entry) {
  std::string w[2];
  optokn(entry, 2, w);
  return !w[1].empty();
}

}  // namespace

TEST(Tables, KeywordTablesHaveTheirSizesAndAreSorted) {
  EXPECT_EQ(first_keywords1().size(), 38u);
  EXPECT_EQ(first_keywords2().size(), 35u);
  EXPECT_EQ(second_keywords().size(), 42u);
  for (auto table : {first_keywords1(), first_keywords2(), second_keywords()}) {
    for (size_t k = 1; k < table.size(); ++k) {
      EXPECT_LT(std::strcmp(table[k - 1], table[k]), 0) << table[k];
    }
    for (const char* e : table) EXPECT_LE(std::strlen(e), 16u) << e;
  }
}

TEST(Tables, EveryFirstKeywordHasActionsAndEveryActionItsKeywords) {
  std::set<std::string> key1;
  for (const KeyAction& a : key_actions()) key1.insert(a.key1);
  std::set<std::string> words;
  for (auto table : {first_keywords1(), first_keywords2()}) {
    for (const char* e : table) {
      if (is_alias(e)) continue;
      words.insert(first_word(e));
      EXPECT_TRUE(key1.count(first_word(e))) << "no action for " << e;
    }
  }
  for (const std::string& k : key1) EXPECT_TRUE(words.count(k)) << "action for unknown keyword " << k;

  // Rows of one first keyword are contiguous and agree on the token they read.
  std::set<std::string> done;
  std::string prev;
  int pos = 0;
  for (const KeyAction& a : key_actions()) {
    if (a.key1 != prev) {
      EXPECT_FALSE(done.count(a.key1)) << a.key1 << " rows are split";
      done.insert(a.key1);
      prev = a.key1;
      pos = a.pos;
    }
    EXPECT_EQ(a.pos, pos) << a.key1;
  }
}

TEST(Tables, SecondKeywordsOfActionsAreInTheSecondTable) {
  std::set<std::string> second;
  for (const char* e : second_keywords()) {
    if (!is_alias(e)) second.insert(first_word(e));
  }
  for (const KeyAction& a : key_actions()) {
    if (!a.key2 || !std::strcmp(a.key2, kBlankSecond) || !std::strcmp(a.key2, kOtherSecond) ||
        !std::strcmp(a.key2, kKnownSecond))
      continue;
    EXPECT_TRUE(second.count(a.key2)) << a.key1 << " " << a.key2;
  }
}

TEST(Tables, ActionTargetsAreRegisteredWithMatchingTypes) {
  for (const KeyAction& a : key_actions()) {
    for (const char* name : {a.p1, a.p2}) {
      if (!name) continue;
      const ParamDef* d = find_param(name);
      ASSERT_NE(d, nullptr) << a.key1 << " targets unknown " << name;
      switch (a.act) {
        case Act::Real:
        case Act::PosReal: EXPECT_EQ(d->type, PType::Real) << name; break;
        case Act::Name: EXPECT_EQ(d->type, PType::Name) << name; break;
        case Act::ConstTol:
          EXPECT_EQ(d->type, name == a.p1 ? PType::Int : PType::Real) << name;
          break;
        default: EXPECT_EQ(d->type, PType::Int) << name; break;
      }
    }
  }
}

TEST(Tables, EveryUserParameterIsReachableBySomePhrase) {
  Params p;
  std::set<const void*> reachable;
  auto add = [&](const char* name) {
    if (const ParamDef* d = name ? find_param(name) : nullptr) {
      ParamRef r = d->ref(p);
      reachable.insert(r.i ? static_cast<const void*>(r.i) : r.r ? static_cast<const void*>(r.r) : r.s);
    }
  };
  for (const KeyAction& a : key_actions()) {
    add(a.p1);
    add(a.p2);
  }
  for (int i = 1; i <= 30; ++i) {
    reachable.insert(&p.iparm_ref(i));
    reachable.insert(&p.rparm_ref(i));
  }
  for (const ParamDef& d : param_table()) {
    ParamRef r = d.ref(p);
    const void* addr = r.i ? static_cast<const void*>(r.i) : r.r ? static_cast<const void*>(r.r) : r.s;
    EXPECT_EQ(d.user, reachable.count(addr) == 1) << d.name;
  }
}

TEST(Tables, RegistryNamesAndStorageAreUnique) {
  Params p;
  std::set<std::string> names;
  std::set<const void*> addrs;
  for (const ParamDef& d : param_table()) {
    EXPECT_TRUE(names.insert(d.name).second) << d.name;
    ParamRef r = d.ref(p);
    const int set = (r.i != nullptr) + (r.r != nullptr) + (r.s != nullptr);
    EXPECT_EQ(set, 1) << d.name;
    const void* addr = r.i ? static_cast<const void*>(r.i) : r.r ? static_cast<const void*>(r.r) : r.s;
    EXPECT_TRUE(addrs.insert(addr).second) << d.name;
    EXPECT_EQ(d.type == PType::Int, r.i != nullptr) << d.name;
    EXPECT_EQ(d.type == PType::Real, r.r != nullptr) << d.name;
  }
  // The named IPARM/RPARM entries are the registry's fields.
  EXPECT_EQ(&p.rparm_ref(7), &p.penaltycopy);
  EXPECT_EQ(&p.iparm_ref(3), &p.listparms);
  EXPECT_EQ(&p.iparm_ref(6), &p.pricing);
}

TEST(Tables, ListedParametersAreRegisteredWithLabels) {
  std::set<std::string> listed;
  for (const ListBlock& b : listing_layout()) {
    for (const auto& row : b.rows) {
      for (const char* name : row) {
        if (!name) continue;
        const ParamDef* d = find_param(name);
        ASSERT_NE(d, nullptr) << name;
        ASSERT_NE(d->label, nullptr) << name;
        EXPECT_EQ(std::strlen(d->label), 24u) << d->label;
        EXPECT_TRUE(d->fmt || d->show) << name;
        EXPECT_TRUE(listed.insert(name).second) << name << " listed twice";
      }
    }
  }
  // Conversely every labelled parameter appears in the listing, and every
  // resolved value is listed in 10 characters.
  Context ctx;
  m3dflt(ctx, 1);
  ctx.par.rowlim = 10, ctx.par.collim = 20, ctx.par.elmlim = 40;
  m3dflt(ctx, 2);
  Params& p = ctx.par;
  for (const ParamDef& d : param_table()) {
    if (!d.label) continue;
    EXPECT_TRUE(listed.count(d.name)) << d.name;
    EXPECT_EQ(show_param(d, p).size(), 10u) << d.name;
  }
}
