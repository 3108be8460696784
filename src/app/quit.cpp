// Ending by hand: close button and signals set a flag the loops read; a lost X server ends the
// program at once, since nothing can be shown or asked any more.
#include "app/quit.h"

#include <allegro.h>
#include <atomic>
#include <csignal>
#include <unistd.h>

#if defined(ALLEGRO_WITH_XWINDOWS)
#include <X11/Xlib.h>
#endif

namespace {

std::atomic<bool> quitting{false};
static_assert(std::atomic<bool>::is_always_lock_free, "the flag is set from a signal handler");

constexpr int quit_signals[] = {SIGINT, SIGTERM, SIGHUP};

// Only the flag: the library and the rest of the program are not safe to touch here.
void on_signal(int)
{
    quitting.store(true);
}

void on_close_button()
{
    quitting.store(true);
}

#if defined(ALLEGRO_WITH_XWINDOWS)
// Xlib's own handler calls exit(), whose clean-up talks to the dead server from the library's
// threads: a hang or an abort. Saying so and leaving at once is all that is left to do; every
// entry the player confirmed is already on disk.
int on_lost_display(Display*)
{
    static const char message[] = "blockrise: the connection to the display was lost\n";
    const ssize_t written = write(STDERR_FILENO, message, sizeof message - 1);
    (void)written;
    _exit(1);
}
#endif

} // namespace

void catch_quit_requests()
{
    set_close_button_callback(on_close_button);
    struct sigaction action {};
    action.sa_handler = on_signal;
    sigemptyset(&action.sa_mask);
    sigset_t unblock;
    sigemptyset(&unblock);
    for (int sig : quit_signals) {
        sigaction(sig, &action, nullptr);
        sigaddset(&unblock, sig);
    }
    // The library's threads block every signal; the main thread must take them.
    pthread_sigmask(SIG_UNBLOCK, &unblock, nullptr);
#if defined(ALLEGRO_WITH_XWINDOWS)
    XSetIOErrorHandler(on_lost_display);
#endif
}

bool quit_requested()
{
    return quitting.load();
}

void request_quit()
{
    quitting.store(true);
}

void clear_quit_request()
{
    quitting.store(false);
}
