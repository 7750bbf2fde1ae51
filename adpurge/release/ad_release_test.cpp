// Releasing queued ads over a laid-out client: which content files go, which counts change.
#include "adpurge/release/ad_release.h"

#include <gtest/gtest.h>

#include "adpurge/content/content_names.h"
#include "adpurge/qdb/queue_db.h"
#include "tests/support/adpurge/client_fixture.h"

namespace adpurge {
namespace {

using testing::ClientFixture;
using testing::FixtureApp;
using testing::ListNames;
using testing::MakeAd;
using testing::ReadAll;
using Names = std::vector<std::string>;

TEST(AdReleaseTest, DoneAdsGiveBackTheirReferencesAndOnlyVersionsAtZeroGo) {
  ClientFixture fixture;
  // Ad 10: another application still holds its pieces (count 2); its frames reach 0.
  const AdRecord shared = MakeAd(10, 0x1, 0x2, {0x01, 0x80}, {1, 2});
  fixture.AddContent(shared, {{{2, 0x1, 0}, {1, 0x2, 1}}});
  // Ad 11: its pieces' version has no entry, so one is added at 0 and the pieces go.
  const AdRecord unlisted = MakeAd(11, 0x4, 0x5, {0x02}, {1});
  fixture.AddContent(unlisted, {{{3, 0x5, 1}}});
  FixtureApp app{.name = "Solo", .channel_id = "Cch1"};
  app.done = {{shared, 1000}, {unlisted, 3000}};
  fixture.AddApp(app);

  ReleaseQueues(fixture.QueueFolder(app), fixture.ads());

  EXPECT_EQ(ListNames(ContentFolder(fixture.ads(), 10)),
            (Names{"01010001.001", "01020001.001", "01020002.001", "ffffff80010001.001",
                   "ffffff80020001.001", "ffffff80020002.001", "rc"}));
  EXPECT_EQ(ReadAll(ReferenceFileName(fixture.ads(), 10)),
            ClientFixture::ReferenceBytes({{1, 0x1, 0}, {0, 0x2, 1}}));
  EXPECT_EQ(ListNames(ContentFolder(fixture.ads(), 11)), (Names{"01.005", "rc"}));
  EXPECT_EQ(ReadAll(ReferenceFileName(fixture.ads(), 11)),
            ClientFixture::ReferenceBytes({{2, 0x5, 1}, {0, 0x4, 0}}));

  // The format 1000 record was upgraded when the queue was first opened.
  qdb::QueueDb db;
  ASSERT_TRUE(db.Open(fixture.QueueFolder(app) + "\\Done"));
  std::vector<std::uint16_t> formats;
  db.Walk([&](qdb::WalkRecord& r) { formats.push_back(r.entry.format()); }, qdb::kAllTypes,
          qdb::kLiveEntries | qdb::kReadOnly);
  db.Close();
  EXPECT_EQ(formats, (std::vector<std::uint16_t>{3000, 3000}));
}

TEST(AdReleaseTest, PendingAdsChangeNoCountAndDeleteOnlyWhatNothingHolds) {
  ClientFixture fixture;
  const auto rc_bytes = [&](std::uint32_t ad) {
    return ReadAll(ReferenceFileName(fixture.ads(), ad)).value_or("");
  };
  // Ad 20: A1 to A4 all 0, so its pieces stay although their count is 0; frames are held.
  AdRecord quiet = MakeAd(20, 0x7, 0x8, {0x01}, {2});
  quiet.a1 = 0;
  fixture.AddContent(quiet, {{{0, 0x7, 0}, {1, 0x8, 1}}});
  // Ad 21: nothing holds its versions, but another version keeps the folder.
  const AdRecord loose = MakeAd(21, 0x3, 0x4, {0x01}, {1});
  fixture.AddContent(loose, {{{0, 0x3, 0}, {0, 0x4, 1}, {1, 0x9, 0}}});
  // Ad 22: no reference file, so nothing holds anything in its folder.
  const AdRecord unreferenced = MakeAd(22, 0x1, 0x1, {0x01}, {1});
  fixture.AddContent(unreferenced, std::nullopt);
  // Ad 23: a reference file shorter than its entry count says holds its content.
  const AdRecord damaged = MakeAd(23, 0x1, 0x1, {0x01}, {1});
  fixture.AddContent(damaged, std::nullopt);
  std::string short_rc = ClientFixture::ReferenceBytes({{0, 0x1, 0}, {0, 0x1, 1}});
  short_rc[0] = 3;
  testing::WriteAll(ReferenceFileName(fixture.ads(), 23), short_rc);
  FixtureApp app{.name = "Solo", .channel_id = ""};
  app.pending = {{quiet, 1}, {loose, 2000}, {unreferenced, 3000}, {damaged, 3000}};
  app.done_queue = false;
  fixture.AddApp(app);
  const std::string rc20 = rc_bytes(20), rc21 = rc_bytes(21);

  ReleaseQueues(fixture.QueueFolder(app), fixture.ads());

  EXPECT_EQ(ListNames(ContentFolder(fixture.ads(), 20)),
            (Names{"01.008", "01010001.007", "01010002.007", "rc"}));
  EXPECT_EQ(ListNames(ContentFolder(fixture.ads(), 21)), (Names{"rc"}));
  EXPECT_EQ(rc_bytes(20), rc20);
  EXPECT_EQ(rc_bytes(21), rc21);
  EXPECT_EQ(ListNames(ContentFolder(fixture.ads(), 23)), (Names{"01.001", "01010001.001", "rc"}));
  EXPECT_EQ(rc_bytes(23), short_rc);
  EXPECT_EQ(ListNames(fixture.ads()), (Names{"20\\", "21\\", "23\\"}));
  // The missing Done queue was skipped, not made.
  EXPECT_EQ(ListNames(fixture.QueueFolder(app)),
            (Names{"Pending.cdb", "Pending.idx", "Pending1.cdb", "Pending1.idx"}));
}

}  // namespace
}  // namespace adpurge
