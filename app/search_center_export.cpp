// PLACEHOLDER until the page list export lands.
#include "app/search_center.h"

namespace ferrowyn {

void Tsearchmain::SaveURLList1Click() {}

}  // namespace ferrowyn
