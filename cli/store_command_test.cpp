// "ferrowyn-cli store" run as a process: output forms, exit statuses, and that
// ls and cat leave the store file untouched.
#include <gtest/gtest.h>

#include <QStringList>
#include <string>

#include "tests/support/process_runner.h"
#include "tests/support/qdb_test_files.h"

namespace {

using ferrowyn::testing::ReadFileBytes;
using ferrowyn::testing::ScratchDir;
using ferrowyn::testing::StoreFileBuilder;
using ferrowyn::testing::WriteFileBytes;

using ferrowyn::testing::ProcessResult;

ProcessResult Cli(const QStringList& args, const std::string& input = "") {
  return ferrowyn::testing::RunProcess(FERROWYN_CLI_PATH, QStringList{"store"} + args, input);
}

TEST(StoreCommand, PutListCatRemove) {
  ScratchDir dir;
  const QString file = QString::fromStdString(dir.File("site.fwb"));
  const std::string page = "<html><body>" + std::string(100, 'x') + "</body></html>";
  EXPECT_EQ(Cli({"put", file, "DISPLAYXXhttp://a/"}, page).status, 0);
  EXPECT_EQ(Cli({"put", file, "Empty"}, "").status, 0);
  const ProcessResult ls = Cli({"ls", file});
  EXPECT_EQ(ls.status, 0);
  // 126 bytes compress to one block: 2 + body.
  EXPECT_EQ(ls.out.substr(0, 23), "DISPLAYXXhttp://a/\t126\t");
  EXPECT_EQ(ls.out.substr(ls.out.find('\n') + 1), "Empty\t0\t0\n");
  const ProcessResult cat = Cli({"cat", file, "displayxxHTTP://A/"});
  EXPECT_EQ(cat.status, 0);
  EXPECT_EQ(cat.out, page);
  EXPECT_EQ(Cli({"rm", file, "empty"}).status, 0);
  EXPECT_EQ(Cli({"ls", file}).out.find("Empty"), std::string::npos);
}

TEST(StoreCommand, ListAndCatDoNotChangeTheFile) {
  ScratchDir dir;
  // A file written elsewhere, index out of order: a write-back would reorder it.
  StoreFileBuilder builder;
  builder.AddItem("b", "2");
  builder.AddItem("a", "1");
  builder.AddItem("c", "3");
  const std::string bytes = builder.Bytes();
  WriteFileBytes(dir.File("x.QDB"), bytes);
  const QString file = QString::fromStdString(dir.File("x.QDB"));
  EXPECT_EQ(Cli({"ls", file}).out, "a\t1\t1\nb\t1\t1\nc\t1\t1\n");
  EXPECT_EQ(Cli({"cat", file, "c"}).out, "3");
  EXPECT_EQ(ReadFileBytes(dir.File("x.QDB")), bytes);
}

TEST(StoreCommand, FailuresAndWrongArguments) {
  ScratchDir dir;
  const std::string missing = dir.File("missing.QDB");
  ProcessResult o = Cli({"ls", QString::fromStdString(dir.File("missing"))});
  EXPECT_EQ(o.status, 1);
  EXPECT_EQ(o.err, "Could not find the file " + missing + "\n");
  EXPECT_EQ(dir.List().size(), 0u);  // ls created nothing

  WriteFileBytes(dir.File("bad.QDB"), "not a store");
  o = Cli({"cat", QString::fromStdString(dir.File("bad.QDB")), "k"});
  EXPECT_EQ(o.status, 1);
  EXPECT_EQ(o.err, "The file " + dir.File("bad.QDB") + " is not a valid QDB file\n");

  const QString file = QString::fromStdString(dir.File("s.QDB"));
  Cli({"put", file, "Key"}, "v");
  o = Cli({"put", file, "KEY"}, "w");
  EXPECT_EQ(o.status, 1);
  EXPECT_EQ(o.err, "Duplicate keys are not allowed\n");
  o = Cli({"cat", file, "other"});
  EXPECT_EQ(o.status, 1);
  EXPECT_EQ(o.err, "No item has the key \"other\" in " + dir.File("s.QDB") + "\n");
  EXPECT_EQ(Cli({"rm", file, "other"}).status, 1);

  EXPECT_EQ(Cli({}).status, 2);
  EXPECT_EQ(Cli({"ls"}).status, 2);
  EXPECT_EQ(Cli({"cat", file}).status, 2);
  o = Cli({"move", file, "a"});
  EXPECT_EQ(o.status, 2);
  EXPECT_EQ(o.err.substr(0, 7), "usage:\n");
}

}  // namespace
