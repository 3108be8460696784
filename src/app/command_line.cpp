// What the program is asked to do on its command line.
#include "app/command_line.h"

#include <cstring>

namespace {

const char usage[] =
    "usage: blockrise [OPTION]...\n"
    "A puzzle game for one or two players: swap blocks in a rising well to line up three of a\n"
    "colour. It keeps its high scores in \"scores\" in the working folder.\n"
    "\n"
    "  --window       play in a window\n"
    "  --fullscreen   play on the whole screen, at the desktop's own resolution\n"
    "  --scale N      show the picture N times larger (1-4), or \"auto\" for the largest that fits\n"
    "  --replay FILE  watch a recorded game again (hold F to fast-forward, Escape to stop);\n"
    "                 the last game is always replays/last.replay\n"
    "  --host [PORT]  wait for an opponent on another machine to join a two-player game\n"
    "                 (UDP port 27350 unless given); the screen shows what to tell them\n"
    "  --join HOST[:PORT]\n"
    "                 play against the machine HOST, which is hosting a game\n"
    "  --help         show this text and exit\n"
    "  --version      show the version and exit\n"
    "\n"
    "Keys, pads, sound and display can also be set in \"blockrise.cfg\" beside the scores.\n";

bool is(const char* argument, const char* option)
{
    return std::strcmp(argument, option) == 0;
}

constexpr int max_port = 65535;
constexpr size_t max_port_digits = 5;
constexpr size_t max_host_name = 253;

// 1 to 65535 in plain digits; 0 for anything else.
int port_of(const std::string& text)
{
    if (text.empty() || text.size() > max_port_digits || text.find_first_not_of("0123456789") != std::string::npos)
        return 0;
    const int port = std::stoi(text);
    return port <= max_port ? port : 0;
}

// HOST or HOST:PORT, the host a name or a dotted address.
bool parse_join(const std::string& text, CommandLine& line, std::string& problem)
{
    const size_t colon = text.find(':');
    const std::string host = text.substr(0, colon);
    if (host.empty() || host.size() > max_host_name ||
        host.find_first_not_of("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789.-") != std::string::npos) {
        problem = "--join takes HOST or HOST:PORT, not \"" + text + "\"";
        return false;
    }
    line.join = host;
    if (colon == std::string::npos)
        return true;
    line.port = port_of(text.substr(colon + 1));
    if (line.port == 0)
        problem = "--join: the port must be from 1 to 65535, not \"" + text.substr(colon + 1) + "\"";
    return line.port != 0;
}

} // namespace

bool parse_command_line(int argc, const char* const* argv, CommandLine& line, std::string& problem)
{
    for (int i = 1; i < argc; i++) {
        const char* argument = argv[i];
        if (is(argument, "--help") || is(argument, "-h"))
            line.help = true;
        else if (is(argument, "--version"))
            line.version = true;
        else if (is(argument, "--window") || is(argument, "--fullscreen")) {
            line.mode_given = true;
            line.mode = is(argument, "--window") ? DisplayMode::window : DisplayMode::fullscreen;
        } else if (is(argument, "--replay")) {
            if (i + 1 >= argc) {
                problem = "--replay needs the file to play";
                return false;
            }
            line.replay = argv[++i];
        } else if (is(argument, "--host")) {
            line.host = true;
            // The port is optional: a following word that is not an option is it.
            if (i + 1 < argc && argv[i + 1][0] != '-') {
                line.port = port_of(argv[++i]);
                if (line.port == 0) {
                    problem = std::string("--host: the port must be from 1 to 65535, not \"") + argv[i] + "\"";
                    return false;
                }
            }
        } else if (is(argument, "--join")) {
            if (i + 1 >= argc) {
                problem = "--join needs the machine to join";
                return false;
            }
            if (!parse_join(argv[++i], line, problem))
                return false;
        } else if (is(argument, "--scale")) {
            if (i + 1 >= argc) {
                problem = "--scale needs 1, 2, 3, 4 or auto";
                return false;
            }
            const char* value = argv[++i];
            if (is(value, "auto"))
                line.scale = scale_to_fit;
            else if (std::strlen(value) == 1 && value[0] >= '1' && value[0] <= '0' + max_scale)
                line.scale = value[0] - '0';
            else {
                problem = std::string("--scale takes 1, 2, 3, 4 or auto, not \"") + value + "\"";
                return false;
            }
            line.scale_given = true;
        } else {
            problem = std::string(argument[0] == '-' ? "unknown option " : "unexpected argument ") + argument;
            return false;
        }
    }
    if ((line.host && !line.join.empty()) || ((line.host || !line.join.empty()) && !line.replay.empty())) {
        problem = "--host, --join and --replay each start something else: give one";
        return false;
    }
    return true;
}

const char* usage_text()
{
    return usage;
}

const char* version_text()
{
    return "blockrise " BLOCKRISE_VERSION "\n";
}
