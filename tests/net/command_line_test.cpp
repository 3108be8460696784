// The two options that start a network game, and what the command line refuses of them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/command_line.h"
#include "net/protocol.h"

namespace {

struct Accepted {
    std::vector<const char*> args;
    bool host;
    std::string join;
    int port;
};

const Accepted accepted[] = {
    {{"--host"}, true, "", 0},
    {{"--host", "4000"}, true, "", 4000},
    {{"--host", "--window"}, true, "", 0},
    {{"--window", "--host", "65535"}, true, "", 65535},
    {{"--join", "192.168.1.20"}, false, "192.168.1.20", 0},
    {{"--join", "den-pc:1"}, false, "den-pc", 1},
    {{"--join", "living-room.lan:27351", "--scale", "2"}, false, "living-room.lan", 27351},
};

const std::vector<const char*> refused[] = {
    {"--join"},
    {"--join", ""},
    {"--join", ":4000"},
    {"--join", "host:"},
    {"--join", "host:0"},
    {"--join", "host:65536"},
    {"--join", "host:12ab"},
    {"--join", "a host"},
    {"--join", "host;rm"},
    {"--host", "0"},
    {"--host", "70000"},
    {"--host", "port"},
    {"--host", "--join", "other"},
    {"--join", "other", "--replay", "last.replay"},
};

bool parse(std::vector<const char*> args, CommandLine& line, std::string& problem)
{
    args.insert(args.begin(), "blockrise");
    line = CommandLine{};
    return parse_command_line(static_cast<int>(args.size()), args.data(), line, problem);
}

TEST(NetworkOptions, HostAndJoinTakeTheirPortsAndNames)
{
    for (const Accepted& a : accepted) {
        CommandLine line;
        std::string problem;
        ASSERT_TRUE(parse(a.args, line, problem)) << a.args[0] << ": " << problem;
        EXPECT_EQ(line.host, a.host);
        EXPECT_EQ(line.join, a.join);
        EXPECT_EQ(line.port, a.port);
    }
}

TEST(NetworkOptions, AnythingElseIsRefusedWithTheReason)
{
    for (const std::vector<const char*>& args : refused) {
        CommandLine line;
        std::string problem;
        EXPECT_FALSE(parse(args, line, problem)) << args.back();
        EXPECT_FALSE(problem.empty()) << args.back();
    }
}

TEST(NetworkOptions, TheHelpNamesThemAndTheGamesOwnPort)
{
    const std::string usage = usage_text();
    EXPECT_NE(usage.find("--host [PORT]"), std::string::npos);
    EXPECT_NE(usage.find("--join HOST[:PORT]"), std::string::npos);
    EXPECT_NE(usage.find(std::to_string(default_port)), std::string::npos);
}

} // namespace
