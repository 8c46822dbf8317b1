#pragma once

namespace bw {

// Connects the new-request watch to the main window's timers TimerServer and beep and lets it show the
// new-request notice and play its sound. Called once at start-up; further calls change nothing.
void installNewRequestWatch();

} // namespace bw
