#include "shots/Shots.h"

namespace tolmere {

void AddDialogShots(std::vector<Shot>& shots) { (void)shots; }

} // namespace tolmere
