// Terminal query and key wait; see console.h. Tests: tests/terminal/.
#include "platform/console.h"

#include <cerrno>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

bool stdout_is_terminal() { return ::isatty(STDOUT_FILENO) == 1; }

void wait_for_key()
{
    const int tty = ::open("/dev/tty", O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (tty < 0) return;  // no controlling terminal: nobody to wait for
    termios saved{};
    if (::tcgetattr(tty, &saved) == 0) {
        termios raw = saved;
        // ISIG off too: Ctrl-C is then just the key, and cannot kill the process while
        // echo is off and leave the terminal silent.
        raw.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO | ISIG);
        raw.c_cc[VMIN] = 1;
        raw.c_cc[VTIME] = 0;
        if (::tcsetattr(tty, TCSANOW, &raw) == 0) {
            char key = 0;
            while (::read(tty, &key, 1) < 0 && errno == EINTR) {
            }
            ::tcsetattr(tty, TCSANOW, &saved);
        }
    }
    ::close(tty);
}
