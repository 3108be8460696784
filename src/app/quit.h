// Ending by hand: the window's close button, SIGINT, SIGTERM and SIGHUP ask the program to
// end as the player would, and a lost X server ends it at once.
#pragma once

// Installs the close button's callback and the signal handlers (after the library's own,
// which would shut the library down under the program's feet), and makes a lost connection
// to the X server end the program with a message and status 1. Call once the screen is set.
void catch_quit_requests();

// True once the player (or the system) has asked the program to end. Every screen's wait
// looks at it: a game ends as with Escape, name entry keeps what was typed, the table is
// saved and the program exits.
bool quit_requested();

// Asks the program to end, as the close button does; and forgets that it was asked (a test
// that asked starts the next one afresh).
void request_quit();
void clear_quit_request();
