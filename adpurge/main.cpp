// adpurge: an uninstaller runs it to take one application off the shared ad client.
// On Windows the command line is read whole and split the way the client's tools split it;
// elsewhere the arguments are the tokens.
#include <cstdio>
#include <string>
#include <vector>

#include "adpurge/platform/platform.h"
#include "adpurge/removal/command_line.h"
#include "adpurge/removal/removal_run.h"

#ifdef _WIN32
#include <windows.h>
#endif

int main(int argc, char** argv) {
  const std::string unavailable = adpurge::platform::unavailable_reason();
  if (!unavailable.empty()) {
    std::fprintf(stderr, "adpurge: %s; nothing was changed\n", unavailable.c_str());
    return 1;
  }
#ifdef _WIN32
  (void)argc;
  (void)argv;
  const std::vector<std::string> tokens = adpurge::SplitCommandLine(GetCommandLineA());
#else
  std::vector<std::string> tokens;
  for (int i = 0; i < argc && argv[i][0] != '\0'; ++i) tokens.emplace_back(argv[i]);
#endif
  return adpurge::RunRemoval(tokens);
}
