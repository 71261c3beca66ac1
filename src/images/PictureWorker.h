// SPDX-License-Identifier: MIT
// The picture worker: a thread that follows the main window's item selection and
// makes the selected item's picture current in the cache, so that decoding never
// holds up the window. It shares only atomics, the cache and the requested name with
// the window's thread; it asks for a repaint through a hook that posts to that thread.
#pragma once

#include "images/ItemPics.h"

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

namespace tolmere {

class CPictureWorker {
public:
    struct Hooks {
        // Called on the worker's thread after a picture became current: must only post
        // the repaint to the window's thread.
        std::function<void()> repaint;
        // How the worker waits; tests count the waits instead.
        std::function<void(int milliseconds)> sleep;
    };

    // The idle poll, the poll while the display is off, and the pause after a load.
    static constexpr int kIdleMs = 100;
    static constexpr int kDisplayOffMs = 500;
    static constexpr int kAfterLoadMs = 500;

    CPictureWorker(CItemPics& pictures, Hooks hooks);
    ~CPictureWorker();
    CPictureWorker(const CPictureWorker&) = delete;
    CPictureWorker& operator=(const CPictureWorker&) = delete;

    // Where the pictures are decoded from (the game's working directory).
    void SetPictureDir(const std::string& dir);
    // The selection's picture name ("" for an item without one), fetched on the next
    // pass while the display is on.
    void Request(const std::string& pictureName);

    // Runs passes on a thread of its own until Stop.
    void Start();
    // Asks the thread to end and waits for it; a pass under way finishes first.
    void Stop();
    // One pass of the thread's loop; public so that tests can drive it.
    void RunPass();

    std::atomic<bool> showImage{false};
    std::atomic<bool> workerRunning{false};
    std::atomic<bool> workerFinished{false};
    std::atomic<bool> pictureRequest{false};

private:
    CItemPics& pictures_;
    Hooks hooks_;
    std::mutex mutex_; // guards requested_ and dir_
    std::string requested_;
    std::string dir_;
    std::thread thread_;
};

} // namespace tolmere
