// The common frame of an end-to-end test: one X connection, one program run, evidence kept on failure.
#pragma once

#include <gtest/gtest.h>
#include <memory>

#include "harness/flow.h"
#include "harness/process.h"
#include "harness/x_screen.h"

class EndToEnd : public testing::Test {
protected:
    // Skips (with the reason) when there is no X server or no generated datafile.
    void SetUp() override;
    // Kills a program still running; on failure keeps a screenshot and the program's stderr.
    void TearDown() override;

    // Starts the program (pid -1 on failure, which the test should assert on).
    GameProcess& launch(const LaunchOptions& options = {});
    Driver driver() { return Driver{*x, game}; }
    // Start-up tests of a missing or broken file run without the generated one.
    virtual bool needs_datafile() const { return true; }

    std::unique_ptr<XScreen> x;
    GameProcess game;
};
