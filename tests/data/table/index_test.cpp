// The index file: its order against a plain model, what survives a change cut short, damage,
// and what one station sees of another's changes.

#include <algorithm>
#include <random>
#include <set>

#include "data/table/index_file.h"
#include "table_fixture.h"

namespace blend::test {
namespace {

using Model = std::set<std::pair<std::string, std::uint32_t>>;

class IndexModel : public TableFixture {
 protected:
  // Wide keys make small pages, so a few thousand entries give a tree several levels deep.
  static constexpr int kWidth = 200;

  std::string key(std::mt19937& rng) {
    std::string k(2, ' ');
    k[0] = static_cast<char>('A' + rng() % 6);
    k[1] = static_cast<char>('A' + rng() % 6);
    k.resize(kWidth, ' ');
    return k;
  }

  void expectSame(IndexFile& index, const Model& model, std::mt19937& rng) {
    ASSERT_EQ(index.entryCount(), model.size());
    std::vector<std::pair<std::string, std::uint32_t>> expected(model.begin(), model.end());
    std::vector<std::pair<std::string, std::uint32_t>> forward, backward;
    bool pastEnd = false;
    for (auto e = index.first(); e; e = index.step(*e, 1, pastEnd)) forward.emplace_back(e->key, e->recno);
    EXPECT_TRUE(pastEnd);
    for (auto e = index.last(); e; e = index.step(*e, -1, pastEnd)) backward.emplace_back(e->key, e->recno);
    EXPECT_FALSE(pastEnd);
    std::reverse(backward.begin(), backward.end());
    ASSERT_EQ(forward, expected);
    ASSERT_EQ(backward, expected);
    for (int probe = 0; probe < 50; ++probe) {
      const std::size_t at = rng() % expected.size();
      const IndexEntry here{expected[at].first, expected[at].second};
      ASSERT_EQ(index.position(here), at + 1);
      const long n = static_cast<long>(rng() % 15) - 7;
      const long to = static_cast<long>(at) + n;
      const auto moved = index.step(here, n, pastEnd);
      if (to < 0 || to >= static_cast<long>(expected.size())) {
        EXPECT_FALSE(moved);
        EXPECT_EQ(pastEnd, to >= 0);
      } else {
        ASSERT_TRUE(moved);
        EXPECT_EQ(std::make_pair(moved->key, moved->recno), expected[static_cast<std::size_t>(to)]);
      }
    }
    for (char c = '@'; c <= 'G'; ++c) {
      const std::string prefix(1, c);
      const auto hit = index.lowerBound(prefix);
      const auto want = std::find_if(expected.begin(), expected.end(),
                                     [&](const auto& e) { return e.first.substr(0, 1) >= prefix; });
      ASSERT_EQ(hit.has_value(), want != expected.end()) << prefix;
      if (hit) {
        EXPECT_EQ(std::make_pair(hit->key, hit->recno), *want);
      }
    }
  }
};

TEST_F(IndexModel, KeepsTheOrderOfAModelThroughBuildAndChanges) {
  std::mt19937 rng(20240115);
  Model model;
  IndexFile::Build build;
  build.expression = "CODE";
  build.keyWidth = kWidth;
  std::uint32_t next = 1;
  for (; next <= 600; ++next) {
    const std::string k = key(rng);
    model.emplace(k, next);
    build.addEntry(k, next);
  }
  ASSERT_TRUE(IndexFile::write(errors, file("M.NTX"), build, IndexFile::Publish::Replace));
  IndexFile index(errors);
  ASSERT_TRUE(index.open(file("M.NTX")));
  EXPECT_EQ(index.expression(), "CODE");
  EXPECT_EQ(index.keyWidth(), kWidth);
  expectSame(index, model, rng);

  for (int round = 0; round < 3; ++round) {
    for (int op = 0; op < 600; ++op) {
      if (rng() % 10 < 6) {
        const std::string k = key(rng);
        ASSERT_TRUE(index.insert({k, next}, 0, {}));
        model.emplace(k, next++);
      } else {
        auto it = model.begin();
        std::advance(it, static_cast<long>(rng() % model.size()));
        const auto [before, recno] = *it;
        const std::string after = key(rng);
        ASSERT_TRUE(index.replace({before, recno}, {after, recno}, 0, {}));
        model.erase(it);
        model.emplace(after, recno);
      }
    }
    expectSame(index, model, rng);
  }
  // Everything under one key: whole pages empty out and leave the tree.
  std::vector<std::pair<std::string, std::uint32_t>> all(model.begin(), model.end());
  const std::string same = std::string("BB").append(kWidth - 2, ' ');
  for (const auto& [before, recno] : all) {
    ASSERT_TRUE(index.replace({before, recno}, {same, recno}, 0, {}));
    model.erase({before, recno});
    model.emplace(same, recno);
  }
  expectSame(index, model, rng);

  // What another station opening the file reads is the same.
  IndexFile again(errors);
  ASSERT_TRUE(again.open(file("M.NTX")));
  expectSame(again, model, rng);
}

TEST_F(IndexModel, ReusesPagesInsteadOfGrowing) {
  std::mt19937 rng(7);
  IndexFile::Build build;
  build.keyWidth = kWidth;
  std::vector<std::string> keys;
  for (std::uint32_t r = 1; r <= 100; ++r) {
    keys.push_back(key(rng));
    build.addEntry(keys.back(), r);
  }
  ASSERT_TRUE(IndexFile::write(errors, file("M.NTX"), build, IndexFile::Publish::Replace));
  IndexFile index(errors);
  ASSERT_TRUE(index.open(file("M.NTX")));
  for (int i = 0; i < 3000; ++i) {
    const std::uint32_t r = 1 + rng() % 100;
    const std::string after = key(rng);
    ASSERT_TRUE(index.replace({keys[r - 1], r}, {after, r}, 0, {}));
    keys[r - 1] = after;
  }
  EXPECT_EQ(index.entryCount(), 100u);
  // 100 entries fill about ten pages; every change writes a few. Without reuse this would be
  // thousands of pages.
  EXPECT_LT(std::filesystem::file_size(file("M.NTX")), 64u * IndexFile::kPageSize);
}

TEST_F(IndexModel, AChangeCutShortLeavesThePreviousTree) {
  IndexFile::Build build;
  build.keyWidth = 4;
  for (std::uint32_t r = 1; r <= 500; ++r) build.addEntry(std::to_string(1000 + r), r);
  ASSERT_TRUE(IndexFile::write(errors, file("M.NTX"), build, IndexFile::Publish::Replace));
  {
    IndexFile index(errors);
    ASSERT_TRUE(index.open(file("M.NTX")));
    ASSERT_TRUE(index.insert({"0000", 501}, 0, {}));
    ASSERT_EQ(index.entryCount(), 501u);
  }
  // The new tree's pages are on disk but its header never made it (a station killed while
  // writing it, a torn write): the header copy of the change is damaged.
  std::string bytes = bytesOf(file("M.NTX"));
  bytes[2048 + 100] ^= 0x55;
  writeBytes(file("M.NTX"), bytes);
  IndexFile index(errors);
  ASSERT_TRUE(index.open(file("M.NTX")));
  EXPECT_EQ(index.entryCount(), 500u);
  EXPECT_EQ(index.first()->key, "1001");
  std::uint32_t n = 0;
  bool pastEnd = false;
  for (auto e = index.first(); e; e = index.step(*e, 1, pastEnd)) ++n;
  EXPECT_EQ(n, 500u);
}

class IndexOnTable : public TableFixture {
 protected:
  void SetUp() override {
    std::vector<Row> rows;
    for (int i = 0; i < 300; ++i) rows.push_back({std::to_string(5000 - i)});
    makeTable("T.DBF", {{"CODE", 'C', 6, 0}}, rows);
    auto t = openTable("T.DBF", OpenMode::Exclusive);
    ASSERT_TRUE(t->buildIndex(file("T.NTX"), "CODE"));
  }
};

TEST_F(IndexOnTable, DamagedIndexIsReportedAndTheTableStaysReadable) {
  std::string bytes = bytesOf(file("T.NTX"));
  std::fill(bytes.begin() + IndexFile::kPageSize, bytes.begin() + 2 * IndexFile::kPageSize, '\x7F');
  writeBytes(file("T.NTX"), bytes);
  auto t = openTable("T.DBF");
  errors.expect("Corruption detected");
  ASSERT_TRUE(t->attachIndex(file("T.NTX")));
  // Having reported the damage, the table goes on in record order.
  EXPECT_EQ(walk(*t).size(), 300u);
  EXPECT_EQ(t->order(), 0);

  // A damaged header: the index cannot be attached at all.
  bytes[10] ^= 1;
  bytes[2048 + 10] ^= 1;
  writeBytes(file("T.NTX"), bytes);
  errors.expect("Corruption detected");
  EXPECT_FALSE(t->attachIndex(file("T.NTX")));
}

TEST_F(IndexOnTable, AStationSeesAnotherStationsChanges) {
  auto a = openTable("T.DBF");
  auto b = openTable("T.DBF");
  ASSERT_TRUE(a->attachIndex(file("T.NTX")));
  ASSERT_TRUE(b->attachIndex(file("T.NTX")));
  EXPECT_EQ(a->field("CODE").text(), "4701  ");

  // B appends a record that sorts first; A's next move sees it.
  ASSERT_TRUE(b->append());
  ASSERT_TRUE(b->setField("CODE", Value("0001")));
  b->unlockRecords();
  a->goTop();
  EXPECT_EQ(a->field("CODE").text(), "0001  ");
  EXPECT_EQ(a->recNo(), 301u);

  // A stands on 4710; B moves that record's key to the end. A keeps its record and its next
  // step goes on from where the record stood.
  ASSERT_TRUE(a->seek("4710"));
  const std::uint32_t mine = a->recNo();
  b->goTo(mine);
  ASSERT_EQ(b->lockRecord(), LockResult::Locked);
  ASSERT_TRUE(b->setField("CODE", Value("9999")));
  b->unlockRecords();
  EXPECT_EQ(a->recNo(), mine);
  a->skip();
  EXPECT_EQ(a->field("CODE").text(), "4711  ");
  a->skip(-1);
  EXPECT_EQ(a->field("CODE").text(), "4709  ");
  EXPECT_TRUE(a->seek("9999"));
  EXPECT_EQ(a->recNo(), mine);
  a->skip();
  EXPECT_TRUE(a->eof());
}

TEST_F(IndexOnTable, RecordsAppendedWithoutTheIndexAreAddedByTheNextStation) {
  {
    // A station that never attached the index (or died before adding its record).
    auto bare = openTable("T.DBF");
    for (const char* code : {"0003", "0002"}) {
      ASSERT_TRUE(bare->append());
      ASSERT_TRUE(bare->setField("CODE", Value(code)));
    }
    bare->unlockRecords();
  }
  auto t = openTable("T.DBF");
  ASSERT_TRUE(t->attachIndex(file("T.NTX")));
  EXPECT_EQ(t->field("CODE").text(), "0002  ");
  EXPECT_EQ(walk(*t).size(), 302u);
  EXPECT_TRUE(t->seek("0003"));
  EXPECT_EQ(t->recNo(), 301u);
}

}  // namespace
}  // namespace blend::test
