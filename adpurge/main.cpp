// adpurge entry point. The removal itself is not built yet; until then the tool
// only states its command line and changes nothing.
#include <cstdio>

int main() {
  std::fprintf(stderr,
               "usage: adpurge -appname NAME [-dontask] [-noerrorgui]\n"
               "adpurge: removal is not available in this build; nothing was changed\n");
  return 1;
}
