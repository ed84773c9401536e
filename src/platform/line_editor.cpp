// The line editor over libedit; see line_editor.h. The only file that includes histedit.h.
// libedit sets the terminal up for editing only while el_gets runs and puts it back before
// returning, so between lines (while a line is interpreted, and in the key wait after an
// error) the terminal is exactly as the user had it. Tests: tests/terminal/line_editing_test.py.
#include "platform/line_editor.h"

#include <algorithm>
#include <cerrno>
#include <clocale>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <histedit.h>
#include <poll.h>
#include <string_view>
#include <unistd.h>

#include "interp/source.h"  // is_separator, is_decimal_digit: where a name starts

namespace {

// Enough for every line a run can keep (1023 characters of text), and then some.
constexpr int history_lines = 1000;

class LINE_EDITOR final : public LINE_SOURCE {
public:
    explicit LINE_EDITOR(WORD_NAMES word_names);
    ~LINE_EDITOR() override;
    LINE_EDITOR(const LINE_EDITOR&) = delete;
    LINE_EDITOR& operator=(const LINE_EDITOR&) = delete;

    bool usable() const;  // libedit found the terminal and can edit on it
    LINE_STATUS read_line(char* dest, std::size_t room, std::size_t& length) override;
    unsigned char complete();  // what Tab does
    int read_character(wchar_t* character);  // what libedit reads a key with

private:
    void list(const std::vector<std::string>& matches);
    std::string line_state() const;  // the line and the cursor's place in it

    WORD_NAMES names;
    char* complaint_text = nullptr;  // libedit's own messages, in memory: they must never
    std::size_t complaint_size = 0;  // reach standard error, and nobody needs them
    FILE* complaints;
    History* history;
    EditLine* editor;
    std::string tabbed;    // line_state() after the last Tab that left several names open
    int pending = -1;      // a byte read too far, which begins the next character
};

// Set by SIGWINCH, taken by read_character, which redraws the line for the new width.
volatile std::sig_atomic_t window_changed = 0;
void note_window_change(int /*signal_number*/) { window_changed = 1; }

constexpr wchar_t replacement_character = 0xFFFD;

char* no_prompt(EditLine* /*editor*/)
{
    static char empty[] = "";
    return empty;
}

LINE_EDITOR& editor_of(EditLine* editor)
{
    void* self = nullptr;
    el_get(editor, EL_CLIENTDATA, &self);
    return *static_cast<LINE_EDITOR*>(self);
}

unsigned char complete_word(EditLine* editor, int /*key*/) { return editor_of(editor).complete(); }
int read_key(EditLine* editor, wchar_t* character) { return editor_of(editor).read_character(character); }

// Ctrl-D: the end of input on an empty line, else the character under the cursor goes.
// libedit's own binding writes "^D" on the screen before it ends, and that would stay on
// the line where the shell's prompt comes back.
unsigned char end_or_delete(EditLine* editor, int /*key*/)
{
    const LineInfo* const info = el_line(editor);
    if (info->buffer == info->lastchar) return CC_EOF;
    if (info->cursor == info->lastchar) return CC_REFRESH_BEEP;
    el_cursor(editor, 1);
    el_deletestr(editor, 1);
    return CC_REFRESH;
}

LINE_EDITOR::LINE_EDITOR(WORD_NAMES word_names)
    : names{word_names}, complaints{open_memstream(&complaint_text, &complaint_size)}, history{history_init()},
      editor{complaints != nullptr ? el_init("forth", stdin, stdout, complaints) : nullptr}
{
    if (editor == nullptr || history == nullptr) return;
    HistEvent event;
    ::history(history, &event, H_SETSIZE, history_lines);
    ::history(history, &event, H_SETUNIQUE, 1);
    el_set(editor, EL_EDITOR, "emacs");
    el_set(editor, EL_PROMPT, no_prompt);
    // libedit's handlers put the terminal back before a signal (Ctrl-C, a hang-up) ends the
    // process, and redraw the line when the window changes size.
    el_set(editor, EL_SIGNAL, 1);
    el_set(editor, EL_HIST, ::history, history);
    el_set(editor, EL_CLIENTDATA, this);
    el_set(editor, EL_GETCFN, read_key);
    // The wide form takes our own strings: given narrow ones, libedit copies them and never
    // frees the copies.
    el_wset(editor, EL_ADDFN, L"forth-complete", L"Complete the name before the cursor", complete_word);
    el_wset(editor, EL_ADDFN, L"forth-end-or-delete", L"End the input, or delete a character", end_or_delete);
    // Tab completes; the other three are what users of shells expect, where libedit's emacs
    // map has Ctrl-R redraw, Ctrl-W cut to a mark and Ctrl-U kill the whole line.
    static const char* const bindings[][2] = {
        {"^I", "forth-complete"},
        {"^D", "forth-end-or-delete"},
        {"^R", "em-inc-search-prev"},
        {"^W", "ed-delete-prev-word"},
        {"^U", "vi-kill-line-prev"},
    };
    for (const auto& binding : bindings)
        el_set(editor, EL_BIND, binding[0], binding[1], static_cast<const char*>(nullptr));
}

LINE_EDITOR::~LINE_EDITOR()
{
    if (editor != nullptr) el_end(editor);
    if (history != nullptr) history_end(history);
    if (complaints != nullptr) (void)std::fclose(complaints);
    std::free(complaint_text);  // open_memstream's buffer
}

bool LINE_EDITOR::usable() const
{
    if (editor == nullptr || history == nullptr) return false;
    // An unknown TERM makes libedit fall back to a dumb terminal, where it cannot edit.
    const char* terminal = nullptr;
    return el_get(editor, EL_TERMINAL, &terminal) == 0 && terminal != nullptr &&
           std::strcmp(terminal, "dumb") != 0;
}

LINE_STATUS LINE_EDITOR::read_line(char* dest, std::size_t room, std::size_t& length)
{
    length = 0;
    int count = 0;
    const char* const text = el_gets(editor, &count);
    if (text == nullptr) {
        if (count < 0) {
            error_number = errno;
            return LINE_STATUS::failed;
        }
        return LINE_STATUS::end;  // Ctrl-D on an empty line
    }
    std::string_view line{text, static_cast<std::size_t>(count)};
    if (line.ends_with('\n')) line.remove_suffix(1);
    if (line.find_first_not_of(" \t") != std::string_view::npos) {
        HistEvent event;
        ::history(history, &event, H_ENTER, std::string{line}.c_str());
    }
    line = line.substr(0, line.find('\0'));  // the line ends at its first NUL, as when read plainly
    if (line.size() > room) return LINE_STATUS::too_long;
    std::memcpy(dest, line.data(), line.size());
    length = line.size();
    return LINE_STATUS::line;
}

// One character typed at the terminal, UTF-8 decoded here rather than by libedit for two
// reasons. A byte that is not part of valid UTF-8 (a Latin-1 terminal's "é") becomes
// U+FFFD, still a separator as the byte was, where libedit would drop it and glue the
// tokens on either side together. And a change of window size, which interrupts the read,
// redraws the line for the new width. 1: a character; 0: end of input; -1: a read error.
int LINE_EDITOR::read_character(wchar_t* character)
{
    char32_t code = 0;
    int needed = 0;          // continuation bytes still to come
    char32_t smallest = 0;   // below it the sequence was overlong
    for (;;) {
        unsigned char byte = 0;
        if (pending >= 0) {
            byte = static_cast<unsigned char>(pending);
            pending = -1;
        } else {
            const ssize_t count = ::read(STDIN_FILENO, &byte, 1);
            if (count < 0 && errno == EINTR) {
                if (window_changed != 0) {
                    window_changed = 0;
                    el_resize(editor);
                    // libedit draws the whole line again from where it thinks it starts.
                    (void)std::fputs("\r", stdout);
                    el_set(editor, EL_REFRESH);
                }
                continue;
            }
            if (count < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
                pollfd ready{STDIN_FILENO, POLLIN, 0};
                (void)::poll(&ready, 1, -1);
                continue;
            }
            if (count < 0) return -1;
            if (count == 0) {
                *character = needed > 0 ? replacement_character : L'\0';
                return needed > 0 ? 1 : 0;
            }
        }
        if (needed == 0) {
            if (byte < 0x80) {
                *character = static_cast<wchar_t>(byte);
                return 1;
            }
            if (byte >= 0xC2 && byte <= 0xDF) {
                code = byte & 0x1FU;
                needed = 1;
                smallest = 0x80;
            } else if (byte >= 0xE0 && byte <= 0xEF) {
                code = byte & 0x0FU;
                needed = 2;
                smallest = 0x800;
            } else if (byte >= 0xF0 && byte <= 0xF4) {
                code = byte & 0x07U;
                needed = 3;
                smallest = 0x10000;
            } else {
                *character = replacement_character;
                return 1;
            }
        } else if ((byte & 0xC0U) == 0x80U) {
            code = (code << 6U) | (byte & 0x3FU);
            if (--needed == 0) {
                const bool valid = code >= smallest && code <= 0x10FFFF && (code < 0xD800 || code > 0xDFFF);
                *character = valid ? static_cast<wchar_t>(code) : replacement_character;
                return 1;
            }
        } else {
            pending = byte;  // the sequence broke off; this byte starts the next character
            *character = replacement_character;
            return 1;
        }
    }
}

std::string LINE_EDITOR::line_state() const
{
    const LineInfo* const info = el_line(editor);
    std::string state{info->buffer, info->lastchar};
    state += '\0';
    state += std::to_string(info->cursor - info->buffer);
    return state;
}

// The name before the cursor is completed from the dictionary as it stands: one match is
// completed and followed by a blank; several have their common beginning completed, and
// the next Tab lists them. A number is not completed; no match beeps and changes nothing.
unsigned char LINE_EDITOR::complete()
{
    const LineInfo* const info = el_line(editor);
    const char* start = info->cursor;
    while (start != info->buffer && !is_separator(start[-1])) --start;
    const std::string_view typed{start, static_cast<std::size_t>(info->cursor - start)};
    if (!typed.empty() && is_decimal_digit(typed.front())) return CC_REFRESH_BEEP;

    std::vector<std::string> matches;
    for (std::string& name : names())
        if (name.starts_with(typed)) matches.push_back(std::move(name));
    if (matches.empty()) return CC_REFRESH_BEEP;

    std::string_view common = matches.front();
    for (const std::string& name : matches) {
        const auto differ = std::mismatch(common.begin(), common.end(), name.begin(), name.end());
        common = common.substr(0, static_cast<std::size_t>(differ.first - common.begin()));
    }
    std::string added{common.substr(typed.size())};
    if (matches.size() == 1) added += ' ';
    if (!added.empty() && el_insertstr(editor, added.c_str()) != 0) return CC_REFRESH_BEEP;
    if (matches.size() == 1) {
        tabbed.clear();
        return CC_REFRESH;
    }
    const std::string state = line_state();
    if (!added.empty() || state != tabbed) {
        tabbed = state;
        return added.empty() ? CC_REFRESH_BEEP : CC_REFRESH;
    }
    list(matches);
    el_set(editor, EL_REFRESH);
    return CC_NORM;
}

// Below the line, in rows as wide as the terminal; libedit then draws the line again.
void LINE_EDITOR::list(const std::vector<std::string>& matches)
{
    int columns = 80;
    if (el_get(editor, EL_GETTC, "co", &columns) != 0 || columns < 1) columns = 80;
    std::string text = "\n";  // the editor's terminal settings turn it into CR LF
    std::size_t used = 0;
    for (const std::string& name : matches) {
        if (used > 0 && used + 2 + name.size() > static_cast<std::size_t>(columns)) {
            text += "\n";
            used = 0;
        } else if (used > 0) {
            text += "  ";
            used += 2;
        }
        text += name;
        used += name.size();
    }
    text += "\n";
    (void)std::fwrite(text.data(), 1, text.size(), stdout);
    (void)std::fflush(stdout);
}

}  // namespace

std::unique_ptr<LINE_SOURCE> open_line_editor(WORD_NAMES names)
{
    // libedit turns the line back into bytes, and measures what it draws, by the C library's
    // character type; in the default "C" locale every byte above 0x7F is lost. Terminals
    // send UTF-8: in a UTF-8 locale such text comes through byte for byte, and libedit
    // moves over it as the terminal does. Nothing else in the program depends on the
    // character type. Set by name, never from the environment.
    (void)std::setlocale(LC_CTYPE, "C.UTF-8");
    struct sigaction window{};
    window.sa_handler = note_window_change;  // no SA_RESTART: the read must be interrupted
    sigemptyset(&window.sa_mask);
    ::sigaction(SIGWINCH, &window, nullptr);
    auto editor = std::make_unique<LINE_EDITOR>(names);
    if (!editor->usable()) return nullptr;
    return editor;
}
