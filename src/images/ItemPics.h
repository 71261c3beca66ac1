// SPDX-License-Identifier: MIT
// The picture cache: every item picture decoded so far, by its picture name, and the
// one the main window draws. Shared by the window's thread and the picture worker, so
// every operation takes the cache's lock, and pictures are handed out as shared
// pointers that stay valid while the cache moves on.
#pragma once

#include "images/Dib.h"

#include <cstddef>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace tolmere {

// What LoadItemPic did.
enum LoadItemPicResult : int {
    kPicNoName = 0,   // no picture name was given
    kPicCached = 1,   // the picture was in the cache already
    kPicLoadedNow = 2 // decoded now, or stored empty when the file would not decode
};

class CItemPics {
public:
    // The entries grow in steps of this many.
    static constexpr std::size_t kGrowth = 16;

    // The index of the picture of that name, made current; -1 when there is none.
    std::int32_t FindPic(const std::string& name);
    // Adds the picture under the name and makes it current; an empty picture stands for
    // a name that would not load.
    void AddPic(const std::string& name, std::shared_ptr<const CDib> picture);
    // The picture to draw, or null.
    std::shared_ptr<const CDib> CurrentPic() const;
    // Nothing is drawn until the next picture becomes current.
    void ClearCurrent();
    // Forgets the names whose picture would not load, so that they are tried again.
    void ForgetEmpty();

    std::size_t Count() const;
    std::size_t Capacity() const;

private:
    struct Entry {
        std::string name;
        std::shared_ptr<const CDib> picture;
    };
    mutable std::mutex mutex_;
    std::vector<Entry> entries_;
    std::shared_ptr<const CDib> current_;
};

// Makes the picture `name` current: from the cache, or decoded from `dir`/name.dc6
// (with the item palette) and cached, empty when it does not decode.
LoadItemPicResult LoadItemPic(CItemPics& pictures, const std::string& dir, const std::string& name);

} // namespace tolmere
