#include "shots/Shots.h"

namespace tolmere {

void AddModsShots(std::vector<Shot>& shots) { (void)shots; }

} // namespace tolmere
