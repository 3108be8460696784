// The waiting and connecting screen: a panel of a few lines over the game background, redrawn
// when its words change, while the session is serviced every few milliseconds.
#include "screens/net_wait.h"

#include <chrono>
#include <cstdio>

#include "app/assets.h"
#include "app/colors.h"
#include "app/quit.h"
#include "app/shadow_text.h"
#include "net/address.h"
#include "screens/game_view.h"
#include "screens/layout.h"

namespace {

constexpr int16_t panel_x = 48, panel_y = 80, panel_w = screen_width - 2 * panel_x, panel_h = 320;
constexpr int16_t title_y = 104;
constexpr int16_t first_line_y = 176;
constexpr int16_t line_step = 24;
constexpr int16_t footer_y = panel_y + panel_h - 48;
constexpr int text_margin = 24;
constexpr size_t max_shown_addresses = 4;
constexpr int wait_step_ms = 10;
constexpr int failure_shown_ms = 6000;

struct Page {
    std::string title;
    std::vector<std::string> lines;
    std::string footer;

    bool operator==(const Page& other) const
    {
        return title == other.title && lines == other.lines && footer == other.footer;
    }
};

void draw_page(const ScreenIo& io, BITMAP* frame, BITMAP* background, const Page& page)
{
    blit(background, frame, 0, 0, 0, 0, screen_width, screen_height);
    draw_panel(frame, panel_x, panel_y, panel_w, panel_h);
    drawing_mode(DRAW_MODE_SOLID, nullptr, 0, 0);
    FONT* big = asset_font(Asset::large_font);
    FONT* normal = asset_font(Asset::normal_font);
    draw_shadow_text(frame, big, screen_centre_x, title_y, color_white, page.title.c_str());
    int16_t y = first_line_y;
    for (const std::string& line : page.lines)
        for (const std::string& part : wrap_text(normal, line, panel_w - 2 * text_margin)) {
            draw_shadow_text(frame, normal, screen_centre_x, y, color_white, part.c_str());
            y = static_cast<int16_t>(y + line_step);
        }
    draw_shadow_text(frame, normal, screen_centre_x, footer_y, color_highlight, page.footer.c_str());
    blit(frame, io.display, 0, 0, 0, 0, screen_width, screen_height);
    show(io);
}

std::string join_command(const std::string& address, uint16_t port)
{
    return "blockrise --join " + address + (port == default_port ? "" : ":" + std::to_string(port));
}

Page host_page(const NetPlan& plan, const Session* session, std::vector<std::string> addresses)
{
    Page page{"HOSTING", {}, "[ESC] give up"};
    if (session && session->phase == Phase::greeting) {
        page.lines.push_back("An opponent is joining...");
        return page;
    }
    page.lines.push_back("Waiting for an opponent on UDP port " + std::to_string(plan.port) + ".");
    page.lines.push_back("On another machine, your friend types:");
    if (addresses.empty())
        page.lines.push_back("(this machine has no network address: only a game on itself can join)");
    if (addresses.size() > max_shown_addresses)
        addresses.resize(max_shown_addresses);
    for (const std::string& address : addresses)
        page.lines.push_back(join_command(address, plan.port));
    return page;
}

Page guest_page(const NetPlan& plan, const Session* session)
{
    Page page{"JOINING", {}, "[ESC] give up"};
    if (!session)
        page.lines.push_back("Looking up " + plan.host_name + "...");
    else if (session->phase == Phase::connecting)
        page.lines.push_back("Calling " + plan.host_name + " on UDP port " + std::to_string(plan.port) + "...");
    else
        page.lines.push_back("The host answered: starting the game...");
    return page;
}

// The failure stays up for a while: a key or the time ends it.
void show_failure(const ScreenIo& io, BITMAP* frame, BITMAP* background, const std::string& text)
{
    std::fprintf(stderr, "blockrise: %s\n", text.c_str());
    draw_page(io, frame, background, Page{"NO GAME", {text}, "press a key"});
    clear_keybuf();
    for (int waited = 0; waited < failure_shown_ms && !io.key_waiting(); waited += wait_step_ms)
        rest(wait_step_ms);
    clear_keybuf();
}

// The guest's link is made once the host's address is known.
bool start_joining(const NetPlan& plan, const HostLookup& lookup, NetOpening& opening, std::string& problem)
{
    if (lookup.state() == HostLookup::State::failed) {
        problem = "Cannot find a machine called " + plan.host_name;
        return false;
    }
    opening.link = EnetLink::connect(lookup.address(), plan.port, problem);
    if (!opening.link)
        return false;
    opening.session = std::make_unique<Session>();
    open_session(*opening.session, Role::guest, 0, network_clock_ms());
    return true;
}

WaitResult fail(const ScreenIo& io, BITMAP* frame, BITMAP* background, const std::string& text)
{
    show_failure(io, frame, background, text);
    return WaitResult::failed;
}

} // namespace

int64_t network_clock_ms()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

std::vector<std::string> wrap_text(FONT* f, const std::string& text, int width)
{
    std::vector<std::string> lines;
    std::string line;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find(' ', start);
        if (end == std::string::npos)
            end = text.size();
        const std::string word = text.substr(start, end - start);
        std::string longer = line;
        if (!longer.empty())
            longer += ' ';
        longer += word;
        if (!line.empty() && text_length(f, longer.c_str()) > width) {
            lines.push_back(line);
            line = word;
        } else {
            line = longer;
        }
        start = end + 1;
    }
    if (!line.empty())
        lines.push_back(line);
    return lines;
}

WaitResult open_network_game(const ScreenIo& io, const NetPlan& plan, BITMAP* frame, BITMAP* background,
                             NetOpening& opening)
{
    std::unique_ptr<HostLookup> lookup;
    std::string problem;
    if (plan.role == Role::host) {
        opening.link = EnetLink::listen(plan.port, problem);
        if (!opening.link)
            return fail(io, frame, background, "Cannot host: " + problem);
        opening.session = std::make_unique<Session>();
        open_session(*opening.session, Role::host, plan.seed, network_clock_ms());
        std::printf("blockrise: waiting for an opponent on UDP port %u\n", static_cast<unsigned>(plan.port));
        std::fflush(stdout);
    } else {
        lookup = std::make_unique<HostLookup>(plan.host_name);
    }
    const int64_t began = network_clock_ms();
    const std::vector<std::string> addresses = plan.role == Role::host ? lan_addresses() : std::vector<std::string>{};
    Page shown;
    for (;;) {
        if (key[KEY_ESC] || quit_requested()) {
            if (opening.session)
                leave_session(*opening.session, *opening.link, network_clock_ms());
            return WaitResult::gave_up;
        }
        if (!opening.session && lookup->state() != HostLookup::State::pending &&
            !start_joining(plan, *lookup, opening, problem))
            return fail(io, frame, background, problem);
        // A look-up that hangs is given the same few seconds as a host that does not answer.
        if (!opening.session && network_clock_ms() - began > SessionLimits{}.connect_ms)
            return fail(io, frame, background, "Cannot find a machine called " + plan.host_name + " in time");
        if (opening.session) {
            Session& session = *opening.session;
            service_session(session, *opening.link, network_clock_ms());
            if (session.phase == Phase::playing)
                return WaitResult::ready;
            if (session_over(session))
                return fail(io, frame, background,
                            session.ending == Ending::unreachable
                                ? "No Blockrise answered at " + plan.host_name + ", UDP port " + std::to_string(plan.port)
                                : ending_text(session));
        }
        const Page page = plan.role == Role::host ? host_page(plan, opening.session.get(), addresses)
                                                  : guest_page(plan, opening.session.get());
        if (!(page == shown)) {
            draw_page(io, frame, background, page);
            shown = page;
        }
        rest(wait_step_ms);
    }
}
