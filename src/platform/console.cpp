// Terminal query, the choice of line source, and the key wait; see console.h. Tests: tests/terminal/.
#include "platform/console.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <iterator>
#include <termios.h>
#include <unistd.h>

bool stdout_is_terminal() { return ::isatty(STDOUT_FILENO) == 1; }

static bool wants_line_editing()
{
    if (::isatty(STDIN_FILENO) != 1 || !stdout_is_terminal()) return false;
    const char* const terminal = std::getenv("TERM");
    return terminal != nullptr && *terminal != '\0' && std::strcmp(terminal, "dumb") != 0;
}

std::unique_ptr<LINE_SOURCE> open_standard_input(WORD_NAMES names)
{
    if (wants_line_editing()) {
        if (auto editor = open_line_editor(names)) return editor;
    }
    return std::make_unique<LINE_READER>(STDIN_FILENO);
}

// While the terminal is raw and silent, a signal that ends the process (sent by kill, or a
// hang-up; the keyboard sends none, ISIG is off) must not leave it so: the handler puts the
// settings back, and the signal, blocked while its handler runs and reset to its default
// (SA_RESETHAND), then ends the process as it would have.
static int waiting_tty = -1;
static termios waiting_saved{};
static constexpr int ending_signals[] = {SIGHUP, SIGINT, SIGQUIT, SIGTERM};

static void restore_terminal_and_end(int signal_number)
{
    ::tcsetattr(waiting_tty, TCSANOW, &waiting_saved);
    (void)::raise(signal_number);
}

static void read_one_key(int tty)
{
    struct sigaction restore{};
    restore.sa_handler = restore_terminal_and_end;
    restore.sa_flags = static_cast<int>(SA_RESETHAND);  // an unsigned constant, for an int field
    sigemptyset(&restore.sa_mask);
    struct sigaction previous[std::size(ending_signals)];
    for (std::size_t i = 0; i < std::size(ending_signals); ++i)
        ::sigaction(ending_signals[i], &restore, &previous[i]);

    termios raw = waiting_saved;
    // ISIG off too: Ctrl-C is then just the key, and cannot kill the process while echo is
    // off. TCSAFLUSH drops what was typed before the error (lines pasted after the failing
    // one): the key must be pressed now, and those lines must not reach the shell later.
    raw.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO | ISIG);
    raw.c_cc[VMIN] = 1;
    raw.c_cc[VTIME] = 0;
    if (::tcsetattr(tty, TCSAFLUSH, &raw) == 0) {
        char key = 0;
        while (::read(tty, &key, 1) < 0 && errno == EINTR) {
        }
        // TCSAFLUSH again: a key can send several bytes (an arrow sends three); the rest of
        // them would otherwise be read by the shell.
        ::tcsetattr(tty, TCSAFLUSH, &waiting_saved);
    }

    for (std::size_t i = 0; i < std::size(ending_signals); ++i)
        ::sigaction(ending_signals[i], &previous[i], nullptr);
}

void wait_for_key()
{
    const int tty = ::open("/dev/tty", O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (tty < 0) return;  // no controlling terminal: nobody to wait for
    if (::tcgetattr(tty, &waiting_saved) == 0) {
        waiting_tty = tty;
        read_one_key(tty);
        waiting_tty = -1;
    }
    ::close(tty);
}
