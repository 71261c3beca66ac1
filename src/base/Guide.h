// SPDX-License-Identifier: MIT
// The one way the program speaks to the user: messages, questions and status text.
// The window layer installs the real message box; tests install a scripted stand-in.
#pragma once

#include <memory>
#include <string>

namespace tolmere {

// Results, as the message box returns them.
enum GuideResult : int {
    kGuideOk = 1,
    kGuideCancel = 2,
    kGuideYes = 6,
    kGuideNo = 7,
    kGuideShow = 8
};
// Flags: bit 4 asks a Yes/No question; anything else shows OK alone. kGuideWithShow adds
// to a question a button "Show them" that answers kGuideShow, for a question about a
// list the user may want to see before answering.
enum GuideFlags : unsigned { kGuideOkOnly = 0, kGuideYesNo = 4, kGuideWithShow = 0x100 };

inline const char kCaptionGuide[] = "Guide";
inline const char kCaptionConfirmation[] = "Confirmation";
inline const char kCaptionError[] = "Error";

class IGuide {
public:
    virtual ~IGuide() = default;
    virtual int Message(const std::string& text, const std::string& caption, unsigned flags) = 0;
    // The same with a longer text the user may open from the message (the full list of
    // what a question is about); a guide that cannot show it shows the message alone.
    virtual int MessageWithDetails(const std::string& text, const std::string& caption,
                                   unsigned flags, const std::string& details) {
        (void)details;
        return Message(text, caption, flags);
    }
    // The status line of the window that runs the operation.
    virtual void Status(const std::string& text) = 0;
};

// Shows a message through the installed guide. Without one, the message goes to
// standard error and every question is answered No.
int GuideMsg(const std::string& text, const std::string& caption, unsigned flags = kGuideOkOnly);
// Asks a Yes/No question with the caption "Confirmation"; true only for Yes.
bool GuideConfirm(const std::string& question);
// The same, with `details` behind a button of the question (none when empty).
bool GuideConfirm(const std::string& question, const std::string& details);
void GuideStatus(const std::string& text);

// Installs a guide and returns the previous one; null restores the default.
std::shared_ptr<IGuide> SetGuide(std::shared_ptr<IGuide> guide);

} // namespace tolmere
