// SPDX-License-Identifier: MIT
// The windows tolmere-shots renders: each one built in a given state, ready to draw.
#pragma once

#include <QWidget>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace tolmere {

struct Shot {
    std::string fileName; // "<resource>-<state>.png"
    std::function<std::unique_ptr<QWidget>()> make;
};

// Every window of the program in each state worth looking at.
std::vector<Shot> AllShots();

// The windows of each part of the program.
void AddModsShots(std::vector<Shot>& shots);
void AddDialogShots(std::vector<Shot>& shots);
void AddSetsShots(std::vector<Shot>& shots);

} // namespace tolmere
