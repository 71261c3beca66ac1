// SPDX-License-Identifier: MIT
#include "images/ItemPics.h"

#include "images/Dc6.h"

#include <algorithm>
#include <utility>

namespace tolmere {

std::int32_t CItemPics::FindPic(const std::string& name) {
    const std::lock_guard<std::mutex> lock(mutex_);
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        if (entries_[i].name == name) {
            current_ = entries_[i].picture;
            return static_cast<std::int32_t>(i);
        }
    }
    return -1;
}

void CItemPics::AddPic(const std::string& name, std::shared_ptr<const CDib> picture) {
    const std::lock_guard<std::mutex> lock(mutex_);
    // Two loads of one name may race (the worker and "Cache Img"); the first stays.
    for (const Entry& entry : entries_) {
        if (entry.name == name) {
            current_ = entry.picture;
            return;
        }
    }
    if (entries_.size() + 1 >= entries_.capacity())
        entries_.reserve(entries_.capacity() + kGrowth);
    entries_.push_back({name, picture});
    current_ = std::move(picture);
}

std::shared_ptr<const CDib> CItemPics::CurrentPic() const {
    const std::lock_guard<std::mutex> lock(mutex_);
    return current_;
}

void CItemPics::ClearCurrent() {
    const std::lock_guard<std::mutex> lock(mutex_);
    current_.reset();
}

void CItemPics::ForgetEmpty() {
    const std::lock_guard<std::mutex> lock(mutex_);
    entries_.erase(std::remove_if(entries_.begin(), entries_.end(),
                                  [](const Entry& entry) { return entry.picture->IsEmpty(); }),
                   entries_.end());
}

std::size_t CItemPics::Count() const {
    const std::lock_guard<std::mutex> lock(mutex_);
    return entries_.size();
}

std::size_t CItemPics::Capacity() const {
    const std::lock_guard<std::mutex> lock(mutex_);
    return entries_.capacity();
}

LoadItemPicResult LoadItemPic(CItemPics& pictures, const std::string& dir,
                              const std::string& name) {
    if (name.empty())
        return kPicNoName;
    if (pictures.FindPic(name) >= 0)
        return kPicCached;
    // Decoded outside the cache's lock: the other thread may draw meanwhile.
    auto picture = std::make_shared<CDib>();
    if (std::optional<DibDesc> desc = DecodeDc6(dir + "/" + name + ".dc6")) {
        desc->palette = BuildItemPalette();
        picture->TakeDesc(std::move(*desc));
    }
    pictures.AddPic(name, std::move(picture));
    return kPicLoadedNow;
}

} // namespace tolmere
