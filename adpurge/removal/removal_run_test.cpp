// The removal run as an uninstaller meets it, over a laid-out client with the test client
// running; two cases run the real adpurge program.
#include "adpurge/removal/removal_run.h"

#include <gtest/gtest.h>

#include "adpurge/content/content_names.h"
#include "adpurge/platform/platform.h"
#include "adpurge/removal/command_line.h"
#include "adpurge/testing/child.h"
#include "tests/support/adpurge/client_fixture.h"

namespace adpurge {
namespace {

namespace pf = adpurge::platform;
using pf::RegRoot;
using testing::ClientFixture;
using testing::FixtureApp;
using testing::MakeAd;
using testing::ReadAll;

const std::string kMaker = "SOFTWARE\\Pennaway, Inc.";
const std::string kChannels = kMaker + "\\AdCourier\\Channels\\";
const std::string kClients = kMaker + "\\PwAdBot\\Clients\\";
const std::string kBootstrap = kMaker + "\\Bootstrap\\";
const std::string kRunKey = "Software\\MicroSoft\\Windows\\CurrentVersion\\Run";

struct Shown {
  std::vector<std::string> messages;  // "caption: text"
  bool answer = false;
  RunSettings settings;
  Shown() {
    settings.show_error = [this](const std::string& c, const std::string& t) {
      messages.push_back(c + ": " + t);
    };
    settings.ask_yes_no = [this](const std::string& c, const std::string& t) {
      messages.push_back(c + ": " + t);
      return answer;
    };
  }
};

// The test client's log lines, words only ("start", "end").
std::vector<std::string> ClientLog(const ClientFixture& fixture) {
  std::vector<std::string> words;
  const std::string log = ReadAll(fixture.courier() + "\\PwAdBot.log").value_or("");
  for (std::size_t at = 0; at < log.size();) {
    const std::size_t end = log.find("\r\n", at);
    const std::string line = log.substr(at, end - at);
    words.push_back(line.substr(0, line.find(' ')));
    at = end == std::string::npos ? log.size() : end + 2;
  }
  return words;
}

// Waits (bounded, as a guard) until the client's log holds `lines` lines.
void AwaitLog(const ClientFixture& fixture, std::size_t lines) {
  for (int i = 0; i < 6000 && ClientLog(fixture).size() < lines; ++i) pf::sleep_ms(20);
  ASSERT_GE(ClientLog(fixture).size(), lines);
}

pf::Process StartClient(ClientFixture& fixture) {
  fixture.InstallTestClient();
  pf::Process client = pf::start_process(fixture.courier() + "\\PwAdBot.exe", {});
  EXPECT_TRUE(client.valid());
  AwaitLog(fixture, 1);
  return client;
}

// Asks the running test client to end, so that nothing outlives the test.
void EndClient(const ClientFixture& fixture, std::size_t lines_then) {
  pf::Created kill = pf::create_event("Pennaway Kill Ad Client", false, false);
  pf::set_event(kill.handle);
  AwaitLog(fixture, lines_then);
}

std::uint32_t RunProgram(const std::vector<std::string>& args) {
  const std::string self = pf::current_program();
#ifdef _WIN32
  const std::string program = self.substr(0, self.find_last_of("\\/") + 1) + "adpurge.exe";
#else
  const std::string program = self.substr(0, self.find_last_of("\\/") + 1) + "adpurge";
#endif
  pf::Process run = pf::start_process(program, args);
  EXPECT_TRUE(run.valid()) << program;
  return testing::wait_child(run);
}

bool AppRegistered(const std::string& app) {
  return pf::reg_key_exists(RegRoot::kLocalMachine, kChannels + app) ||
         pf::reg_key_exists(RegRoot::kLocalMachine, kClients + app) ||
         pf::reg_key_exists(RegRoot::kCurrentUser, kClients + app) ||
         pf::reg_key_exists(RegRoot::kCurrentUser, kBootstrap + app);
}

bool CoreFilesLeft(const ClientFixture& fixture) {
  return pf::reg_key_exists(RegRoot::kLocalMachine, kMaker) ||
         pf::reg_key_exists(RegRoot::kCurrentUser, kMaker) ||
         pf::reg_value_exists(RegRoot::kLocalMachine, kRunKey, "Pennaway Ad Client") ||
         pf::file_exists(fixture.windows() + "\\PWAd.dll") ||
         pf::file_exists(fixture.windows() + "\\PcNetDetect.dll") ||
         pf::file_exists(fixture.windows() + "\\VcpDLL.dll");
}

// A folder outside the client with a link to it from inside `app`'s profile folder; the
// file in it that must survive. Wine cannot make links, so there the check is left out.
std::optional<std::string> LinkOutOf(const ClientFixture& fixture, const std::string& app) {
  const std::string outside = testing::scratch_folder() + "\\outside-" + app;
  testing::MakeFolders(outside);
  testing::WriteAll(outside + "\\keep.txt", "keep");
  if (!pf::create_folder_link(fixture.AppFolder(app) + "\\linked", outside)) {
#ifndef _WIN32
    ADD_FAILURE() << "no link made";
#endif
    return std::nullopt;
  }
  return outside + "\\keep.txt";
}

TEST(RemovalRunTest, MissingOrRefusedNamesEndBeforeAnythingChanges) {
  ClientFixture fixture;
  fixture.AddApp({.name = "One"});
  fixture.AddCore();
  pf::Process client = StartClient(fixture);
  Shown shown;
  EXPECT_EQ(RunRemoval({"adpurge.exe"}, shown.settings), -1);
  EXPECT_EQ(RunRemoval({"adpurge.exe", "-dontask", "-appname"}, shown.settings), -1);
  EXPECT_EQ(RunRemoval({"adpurge.exe", "-appname", "..", "-NoErrorGuiPlease"}, shown.settings), -2);
  for (const char* name : {"..", "One\\..\\..", "c:One", "Two/"}) {
    EXPECT_EQ(RunRemoval({"adpurge.exe", "-appname", name}, shown.settings), -2) << name;
  }
  EXPECT_EQ(shown.messages,
            (std::vector<std::string>{
                "Error: No AppName specified", "Error: No AppName specified",
                "Error: Couldn't Determine the AppPath", "Error: Couldn't Determine the AppPath",
                "Error: Couldn't Determine the AppPath", "Error: Couldn't Determine the AppPath"}));
  EXPECT_EQ(ClientLog(fixture), std::vector<std::string>{"start"});  // never asked to end
  EXPECT_TRUE(AppRegistered("One"));
  EXPECT_TRUE(pf::folder_exists(fixture.AppFolder("One")));
  EndClient(fixture, 2);
  EXPECT_EQ(client.wait(120000), 0u);
}

TEST(RemovalRunTest, AnotherApplicationKeepsTheClientRunningWithoutAQuestion) {
  ClientFixture fixture;
  const AdRecord ad = MakeAd(30, 0x1, 0x2, {0x01}, {1});
  fixture.AddContent(ad, {{{1, 0x1, 0}, {1, 0x2, 1}}});
  FixtureApp one{.name = "App One", .channel_id = "X"};  // the queues lie in the user folder
  one.done = {{ad, 2000}};
  fixture.AddApp(one);
  fixture.AddApp({.name = "Two"});
  fixture.AddCore();
  const auto kept = LinkOutOf(fixture, "App One");
  pf::Process client = StartClient(fixture);
  Shown shown;

  const auto tokens = SplitCommandLine("adpurge.exe -APPNAME \"App One\"");
  EXPECT_EQ(RunRemoval(tokens, shown.settings), 0);

  EXPECT_TRUE(shown.messages.empty());
  EXPECT_EQ(client.wait(120000), 0u);
  AwaitLog(fixture, 3);
  EXPECT_EQ(ClientLog(fixture), (std::vector<std::string>{"start", "end", "start"}));
  EXPECT_FALSE(pf::folder_exists(ContentFolder(fixture.ads(), 30)));
  EXPECT_FALSE(pf::folder_exists(fixture.AppFolder("App One")));
  if (kept) {
    EXPECT_EQ(ReadAll(*kept), "keep");
  }
  EXPECT_FALSE(AppRegistered("App One"));
  EXPECT_TRUE(AppRegistered("Two"));
  EXPECT_TRUE(pf::folder_exists(fixture.AppFolder("Two")));
  EXPECT_TRUE(CoreFilesLeft(fixture));
  EndClient(fixture, 4);
}

TEST(RemovalRunTest, LastApplicationWithDontAskRemovesTheCoreAndStartsNothing) {
  ClientFixture fixture;
  fixture.AddApp({.name = "Solo", .channel_id = "Cabc"});
  fixture.AddCore();
  const auto kept = LinkOutOf(fixture, "Solo");
  pf::Process client = StartClient(fixture);

  EXPECT_EQ(RunProgram({"-appname", "Solo", "-DONTASK"}), 0u);

  EXPECT_EQ(client.wait(120000), 0u);
  EXPECT_FALSE(pf::folder_exists(fixture.client()));
  EXPECT_FALSE(CoreFilesLeft(fixture));
  if (kept) {
    EXPECT_EQ(ReadAll(*kept), "keep");
  }
}

TEST(RemovalRunTest, NoToTheQuestionRestartsTheClientAndDeletesNothingMore) {
  ClientFixture fixture;
  fixture.AddApp({.name = "Solo"});
  fixture.AddCore();
  pf::Process client = StartClient(fixture);
  Shown shown;

  EXPECT_EQ(RunRemoval({"adpurge.exe", "-appname", "Solo"}, shown.settings), 0);

  EXPECT_EQ(shown.messages, std::vector<std::string>{"Question: No other AdCourier applications "
                                                     "detected.\n\nDelete core files?"});
  EXPECT_EQ(client.wait(120000), 0u);
  AwaitLog(fixture, 3);
  EXPECT_EQ(ClientLog(fixture), (std::vector<std::string>{"start", "end", "start"}));
  EXPECT_FALSE(AppRegistered("Solo"));
  EXPECT_TRUE(pf::folder_exists(fixture.profiles()));
  EXPECT_TRUE(CoreFilesLeft(fixture));
  EndClient(fixture, 4);
}

TEST(RemovalRunTest, NothingOfTheClientLeftEndsWithoutQuestionOrStart) {
  ClientFixture fixture;
  EXPECT_EQ(pf::remove_folder(fixture.ads()), pf::FileError::kNone);
  EXPECT_EQ(pf::remove_folder(fixture.profiles()), pf::FileError::kNone);
  EXPECT_EQ(pf::remove_folder(fixture.courier()), pf::FileError::kNone);
  EXPECT_EQ(pf::remove_folder(fixture.client()), pf::FileError::kNone);

  EXPECT_EQ(RunProgram({"-appname", "Gone", "-noerrorgui"}), 0u);

  EXPECT_FALSE(pf::folder_exists(fixture.client()));
}

}  // namespace
}  // namespace adpurge
