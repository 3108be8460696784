// The two options that start a network game, and what the command line refuses of them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/command_line.h"
#include "net/protocol.h"

namespace {

struct Case {
    std::vector<const char*> args;
    bool accepted, host;
    std::string join;
    int port;
};

const Case cases[] = {
    {{"--host"}, true, true, "", 0},
    {{"--host", "4000"}, true, true, "", 4000},
    {{"--host", "--window"}, true, true, "", 0},
    {{"--join", "192.168.1.20"}, true, false, "192.168.1.20", 0},
    {{"--join", "den-pc:65535", "--scale", "2"}, true, false, "den-pc", 65535},
    {{"--join"}, false, false, "", 0},
    {{"--join", ":4000"}, false, false, "", 0},
    {{"--join", "host:"}, false, false, "", 0},
    {{"--join", "host:65536"}, false, false, "", 0},
    {{"--join", "host:12ab"}, false, false, "", 0},
    {{"--join", "host;rm"}, false, false, "", 0},
    {{"--host", "0"}, false, false, "", 0},
    {{"--host", "port"}, false, false, "", 0},
    {{"--host", "--join", "other"}, false, false, "", 0},
    {{"--join", "other", "--replay", "last.replay"}, false, false, "", 0},
};

TEST(NetworkOptions, HostAndJoinTakeTheirPortsAndNamesAndRefuseTheRest)
{
    for (const Case& c : cases) {
        std::vector<const char*> argv = {"blockrise"};
        argv.insert(argv.end(), c.args.begin(), c.args.end());
        CommandLine line;
        std::string problem;
        const bool accepted = parse_command_line(static_cast<int>(argv.size()), argv.data(), line, problem);
        ASSERT_EQ(accepted, c.accepted) << c.args.back() << ": " << problem;
        EXPECT_EQ(problem.empty(), accepted) << "a refusal says why";
        if (accepted) {
            EXPECT_EQ(line.host, c.host);
            EXPECT_EQ(line.join, c.join);
            EXPECT_EQ(line.port, c.port);
        }
    }
    const std::string usage = usage_text();
    for (const std::string& named : {std::string("--host [PORT]"), std::string("--join HOST[:PORT]"), std::to_string(default_port)})
        EXPECT_NE(usage.find(named), std::string::npos) << named;
}

} // namespace
