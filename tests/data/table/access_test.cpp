// NET_USE, REC_LOCK, ADD_REC and OPEN: their waits, retries, messages and OPEN's index rules.

#include <functional>

#include "child_process.h"
#include "data/cp874.h"
#include "data/settings.h"
#include "data/table/access.h"
#include "data/table/lock_ranges.h"
#include "data/table/os_file.h"
#include "support/scripted_ui.h"
#include "table_fixture.h"

namespace blend::test {
namespace {

const char* const kTitle = "ส่วนการเปิดแฟ้ม";

// A manual clock that lets something happen (another station letting go) after a few pauses.
class EventClock : public ManualClock {
 public:
  void sleep(double s) override {
    ManualClock::sleep(s);
    if (++sleeps == after && event) event();
  }
  int sleeps = 0;
  int after = 5;
  std::function<void()> event;
};

class Access : public TableFixture {
 protected:
  void SetUp() override {
    makeTable("Rawmat.dbf", {{"CODE", 'C', 4, 0}, {"QTY", 'N', 5, 0}},
              {{"R3", 3}, {"R1", 1}, {"R2", 2}});
  }
  std::string dirText() const { return dir.path().string() + "/"; }
  bool open(bool exclusive) {
    return OPEN(ctx, ws, dirText(), "RAWMAT", "code", exclusive, tis("วัตถุดิบ"), "RAWMAT");
  }

  Settings settings;
  ScriptedUi ui;
  EventClock clock;
  Context ctx{settings, ui, clock, errors};
  Workspace ws{errors, fieldJoinKeys()};
};

TEST_F(Access, OpenBuildsAMissingIndexAndNeverRebuildsOneOnASharedOpen) {
  ASSERT_TRUE(open(false));
  Table* t = ws.current();
  ASSERT_EQ(ws.table("rawmat"), t);
  EXPECT_TRUE(std::filesystem::exists(file("RAWMAT.NTX")));
  EXPECT_EQ(t->field("CODE").text(), "R1  ");
  EXPECT_TRUE(t->seek("R3"));
  EXPECT_EQ(t->lockedRecord(), 0u);
  ws.closeAll();

  // Another program changes a key without the index: the index no longer matches the table.
  {
    auto bare = openTable("Rawmat.dbf");
    bare->goTo(3);
    ASSERT_EQ(bare->lockRecord(), LockResult::Locked);
    ASSERT_TRUE(bare->setField("CODE", Value("R9")));
  }
  const std::string before = bytesOf(file("RAWMAT.NTX"));
  ASSERT_TRUE(open(false));
  EXPECT_FALSE(ws.current()->seek("R9"));
  EXPECT_EQ(bytesOf(file("RAWMAT.NTX")), before);

  // An exclusive open rebuilds it anyway.
  ASSERT_TRUE(open(true));
  EXPECT_TRUE(ws.current()->seek("R9"));
  EXPECT_EQ(ws.current()->recNo(), 3u);
  ws.closeAll();

  // A deleted index comes back, and the table behaves as before.
  std::filesystem::remove(file("RAWMAT.NTX"));
  ASSERT_TRUE(open(false));
  EXPECT_EQ(ws.current()->recNo(), 2u);
  EXPECT_TRUE(ws.current()->seek("R9"));
  EXPECT_TRUE(std::filesystem::exists(file("RAWMAT.NTX")));
}

TEST_F(Access, OpenOfAMissingTableSaysSoWithoutWaiting) {
  ui.expectMessage("ไม่พบแฟ้ม ปุ๋ยเคมี", kTitle);
  const double start = clock.seconds;
  EXPECT_FALSE(OPEN(ctx, ws, dirText(), "NOSUCH", "CODE", false, tis("ปุ๋ยเคมี"), "NOSUCH"));
  EXPECT_EQ(clock.seconds, start);
  EXPECT_EQ(ws.current(), nullptr);
}

TEST_F(Access, NetUseRidesOutAnotherStationOrGivesUpAfterItsWait) {
  makeTable("JOBS.DBF", {{"CODE", 'C', 4, 0}}, {});
  ChildProcess holder({TABLE_STATION, "hold", dir.path().string(), "60000"});
  ASSERT_EQ(holder.readLine(), "ready");

  const double start = clock.seconds;
  EXPECT_FALSE(NET_USE(ctx, ws, dirText() + "JOBS", false, 10));
  EXPECT_GE(clock.seconds - start, 10);
  EXPECT_LT(clock.seconds - start, 10 + 2 * kRetryPause);
  EXPECT_FALSE(errors.takeBusy());  // consumed by NET_USE

  ui.expectMessage("ไม่สามารถเปิดแฟ้ม งาน", kTitle);
  EXPECT_FALSE(OPEN(ctx, ws, dirText(), "JOBS", "CODE", false, tis("งาน"), "JOBS"));
  EXPECT_TRUE(errors.seen.empty());  // nothing reached the operator's error dialog
  holder.kill();
  holder.wait();

  // With no limit the open goes through once the other station lets go.
  ChildProcess brief({TABLE_STATION, "hold", dir.path().string(), "300"});
  ASSERT_EQ(brief.readLine(), "ready");
  SystemClock realClock;
  Context real{settings, ui, realClock, errors};
  EXPECT_TRUE(NET_USE(real, ws, dirText() + "jobs", true, 0));
  EXPECT_NE(ws.table("JOBS"), nullptr);
  EXPECT_TRUE(ws.current()->exclusive());
  EXPECT_EQ(brief.wait(), 0);
}

TEST_F(Access, RecLockAndAddRecWaitForTheOtherStation) {
  ASSERT_TRUE(open(false));
  Table* mine = ws.current();
  auto other = openTable("Rawmat.dbf");
  other->goTo(mine->recNo());
  ASSERT_EQ(other->lockRecord(), LockResult::Locked);

  double start = clock.seconds;
  EXPECT_FALSE(REC_LOCK(ctx, ws, 1));
  EXPECT_GE(clock.seconds - start, 1);
  clock.sleeps = 0;
  clock.event = [&] { other->unlockRecords(); };
  EXPECT_TRUE(REC_LOCK(ctx, ws, 0));
  EXPECT_EQ(mine->lockedRecord(), mine->recNo());

  OsFile appender;
  ASSERT_TRUE(appender.open(file("Rawmat.dbf")));
  ASSERT_EQ(appender.tryLock(locks::kAppend, 1, OsFile::Lock::Exclusive),
            OsFile::LockResult::Granted);
  start = clock.seconds;
  EXPECT_FALSE(ADD_REC(ctx, ws, 1));
  EXPECT_GE(clock.seconds - start, 1);
  clock.sleeps = 0;
  clock.event = [&] { appender.unlock(locks::kAppend, 1); };
  EXPECT_TRUE(ADD_REC(ctx, ws, 0));
  EXPECT_EQ(mine->recNo(), 4u);
  EXPECT_TRUE(REC_LOCK(ctx, ws, 0));  // already ours: granted at once
  EXPECT_EQ(mine->lockedRecord(), 4u);
  EXPECT_FALSE(errors.takeBusy());
  EXPECT_TRUE(errors.seen.empty());
}

TEST_F(Access, WriteProtocolsLeaveTheRecordWrittenAndUnlocked) {
  ASSERT_TRUE(open(false));
  Table* mine = ws.current();
  ASSERT_TRUE(mine->seek("R2"));
  ASSERT_TRUE(writeUpdate(ctx, ws, [](Table& t) { t.setField("QTY", Value(Number{20, 0})); }));
  ASSERT_TRUE(writeAppend(ctx, ws, [](Table& t) {
    t.setField("CODE", Value(std::string("R0")));
    t.setField("QTY", Value(Number{7, 0}));
  }));
  EXPECT_EQ(mine->lockedRecord(), 0u);

  // Another station sees both at once and can lock either record.
  auto other = openTable("Rawmat.dbf");
  ASSERT_TRUE(other->attachIndex(file("RAWMAT.NTX")));
  ASSERT_TRUE(other->seek("R0"));
  EXPECT_EQ(other->field("QTY").number(), 7);
  EXPECT_EQ(other->lockRecord(), LockResult::Locked);
  ASSERT_TRUE(other->seek("R2"));
  EXPECT_EQ(other->field("QTY").number(), 20);
  EXPECT_EQ(other->lockRecord(), LockResult::Locked);
}

}  // namespace
}  // namespace blend::test
