// The X server the program draws on: fake key presses in through XTest, pixels out of the root window.
#pragma once

#include <functional>
#include <map>
#include <set>
#include <string>

#include "harness/frame.h"

struct _XDisplay;

class XScreen {
public:
    XScreen();
    ~XScreen();
    XScreen(const XScreen&) = delete;
    XScreen& operator=(const XScreen&) = delete;

    bool connected() const { return display_ != nullptr; }
    std::string problem() const { return problem_; }
    int width() const;
    int height() const;

    // Keys by X keysym name ("Escape", "Shift_R", "a", "1", "space").
    void press(const std::string& key);
    void release(const std::string& key);
    void tap(const std::string& key, int hold_ms = 60);
    void release_all();

    Frame grab() const;

    // Polls the screen until `condition` holds; false after `seconds` without it.
    bool wait_for(const std::function<bool(const Frame&)>& condition, double seconds,
                  Frame* last = nullptr) const;

    // Starts noting the windows made at the top level; call before launching the program.
    void watch_windows();
    // Whether a mapped top-level window of the given size has been seen since watch_windows.
    bool saw_window(int w, int h);
    // A top-level window of the given size that is mapped right now.
    bool window_mapped(int w, int h) const;

private:
    unsigned keycode(const std::string& key) const;
    void drain_events();

    _XDisplay* display_ = nullptr;
    std::string problem_;
    std::set<std::string> held_;
    std::map<unsigned long, std::pair<int, int>> sizes_; // top-level windows seen, by id
    std::set<unsigned long> mapped_;
    bool watching_ = false;
};
