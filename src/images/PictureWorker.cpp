// SPDX-License-Identifier: MIT
#include "images/PictureWorker.h"

#include <chrono>

namespace tolmere {

CPictureWorker::CPictureWorker(CItemPics& pictures, Hooks hooks)
    : pictures_(pictures), hooks_(std::move(hooks)) {
    if (!hooks_.sleep)
        hooks_.sleep = [](int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); };
}

CPictureWorker::~CPictureWorker() {
    Stop();
}

void CPictureWorker::SetPictureDir(const std::string& dir) {
    const std::lock_guard<std::mutex> lock(mutex_);
    dir_ = dir;
}

void CPictureWorker::Request(const std::string& pictureName) {
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        requested_ = pictureName;
    }
    pictureRequest = true;
}

void CPictureWorker::Start() {
    if (thread_.joinable())
        return;
    workerFinished = false;
    workerRunning = true;
    thread_ = std::thread([this] {
        while (workerRunning)
            RunPass();
        workerFinished = true;
    });
}

void CPictureWorker::Stop() {
    workerRunning = false;
    if (thread_.joinable())
        thread_.join();
}

void CPictureWorker::RunPass() {
    if (!pictureRequest) {
        hooks_.sleep(kIdleMs);
        return;
    }
    if (!showImage) {
        hooks_.sleep(kDisplayOffMs); // the request stays for when the display is on
        return;
    }
    pictureRequest = false;
    std::string name, dir;
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        name = requested_;
        dir = dir_;
    }
    // An item without a picture shows none, not the one selected before it.
    const LoadItemPicResult result =
        name.empty() ? (pictures_.ClearCurrent(), kPicNoName) : LoadItemPic(pictures_, dir, name);
    if (hooks_.repaint)
        hooks_.repaint();
    if (result != kPicCached)
        hooks_.sleep(kAfterLoadMs);
}

} // namespace tolmere
