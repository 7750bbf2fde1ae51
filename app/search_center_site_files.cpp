// PLACEHOLDER until the site file operations land: nothing is saved or opened.
#include "app/search_center.h"

namespace ferrowyn {

bool Tsearchmain::savesitedialog() { return false; }
bool Tsearchmain::opensitedialog(const std::string&) { return false; }
void Tsearchmain::deletesitedialog() {}
void Tsearchmain::SaveSite1Click() {}
void Tsearchmain::OpenSite1Click() {}
void Tsearchmain::EraseSite1Click() {}

}  // namespace ferrowyn
