// PLACEHOLDER until the query file operations land.
#include "app/search_center.h"

namespace ferrowyn {

void Tsearchmain::savequery() {}
void Tsearchmain::openquery() {}
void Tsearchmain::deletequerydialog() {}
void Tsearchmain::Save1Click() {}
void Tsearchmain::Open1Click() {}
void Tsearchmain::Delete2Click() {}

}  // namespace ferrowyn
