// The line reader: one line per call, the newline consumed and not stored, the length cut
// at the first NUL, never more than `room` bytes written however long the physical line,
// and a line that does not fit consumed whole so that the next one reads normally. Read
// both from memory and from a descriptor, where lines cross the reader's 4096-byte chunks.
#include <cerrno>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <string>
#include <string_view>
#include <unistd.h>
#include <vector>

#include "platform/line_input.h"
#include "support/memory_file.h"

struct READ {
    LINE_STATUS status;
    std::string text;  // the bytes stored, when status is line
};

static const char* status_name(LINE_STATUS status)
{
    switch (status) {
    case LINE_STATUS::line: return "line";
    case LINE_STATUS::too_long: return "too_long";
    case LINE_STATUS::end: return "end";
    case LINE_STATUS::failed: return "failed";
    }
    return "?";
}

static bool operator==(const READ& a, const READ& b) { return a.status == b.status && a.text == b.text; }
static std::ostream& operator<<(std::ostream& out, const READ& r)
{
    return out << status_name(r.status) << " \"" << r.text << "\" (" << r.text.size() << " bytes)";
}

constexpr char guard = '#';
constexpr std::size_t guard_size = 64;

// One read into a fresh area of room bytes followed by guard bytes, which must survive.
static READ read_into(LINE_READER& reader, std::size_t room)
{
    std::vector<char> area(room + guard_size, guard);
    std::size_t length = 12345;
    const LINE_STATUS status = reader.read_line(area.data(), room, length);
    for (std::size_t i = room; i < area.size(); ++i)
        EXPECT_EQ(area[i], guard) << "written beyond room " << room << " at offset " << i;
    if (status != LINE_STATUS::line) return {status, ""};
    EXPECT_LE(length, room);
    return {status, std::string{area.data(), length}};
}

const READ end_of_input{LINE_STATUS::end, ""};
const READ too_long{LINE_STATUS::too_long, ""};
static READ line(std::string_view text) { return {LINE_STATUS::line, std::string{text}}; }

struct CASE {
    std::string input;
    std::size_t room;
    std::vector<READ> reads;  // expected in order; end follows, and stays
};

using namespace std::string_literals;
static const std::vector<CASE> cases = {
    {"", 10, {}},
    {"\n", 10, {line("")}},
    {"A\nBC\n\nD", 10, {line("A"), line("BC"), line(""), line("D")}},  // last line without newline
    {"1 2 +\r\n", 10, {line("1 2 +\r")}},                               // CR is data
    {"AB\0CD\nEF\n"s, 10, {line("AB"), line("EF")}},                     // a NUL cuts the line
    {"\0ABC\n"s, 10, {line("")}},
    {"AB\0CD"s, 10, {line("AB")}},
    {"ABC\n", 3, {line("ABC")}},                                        // exact fit
    {"ABCD\nXY\n", 3, {too_long, line("XY")}},
    {"ABCDEFGHIJ\n\nXY", 3, {too_long, line(""), line("XY")}},
    {"ABCDEFGH", 3, {too_long}},                                        // too long at the end
    {"\n", 0, {line("")}},
    {"A\n", 0, {too_long}},
    {"AB\0CDEFGHIJ\nXY\n"s, 2, {line("AB"), line("XY")}},               // fits up to its NUL
    {"ABC\0D\n"s, 2, {too_long}},
    {"\xFF\x80\x7F\n", 3, {line("\xFF\x80\x7F")}},
};

TEST(LineReader, ReadsLinesFromMemory)
{
    for (const CASE& c : cases) {
        LINE_READER reader{c.input};
        for (const READ& expected : c.reads)
            EXPECT_EQ(read_into(reader, c.room), expected) << "input: " << c.input << " room " << c.room;
        EXPECT_EQ(read_into(reader, c.room), end_of_input) << "input: " << c.input;
        EXPECT_EQ(read_into(reader, c.room), end_of_input) << "input: " << c.input;
    }
}

TEST(LineReader, ReadsTheSameFromADescriptor)
{
    for (const CASE& c : cases) {
        const int fd = descriptor_with(c.input);
        LINE_READER reader{fd};
        for (const READ& expected : c.reads)
            EXPECT_EQ(read_into(reader, c.room), expected) << "input: " << c.input << " room " << c.room;
        EXPECT_EQ(read_into(reader, c.room), end_of_input) << "input: " << c.input;
        ::close(fd);
    }
}

// A failed read is not the end of the input: it says so, with the reason, and the line it cut
// short is not handed out (a truncated program must not run its last line).
TEST(LineReader, ReadFailureIsNotTheEnd)
{
    const int directory = ::open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    ASSERT_GE(directory, 0);
    LINE_READER from_directory{directory};
    EXPECT_EQ(read_into(from_directory, 10), (READ{LINE_STATUS::failed, ""}));
    EXPECT_EQ(from_directory.read_error(), EISDIR);
    ::close(directory);

    const int closed = ::dup(STDIN_FILENO);
    ::close(closed);
    LINE_READER from_closed{closed};
    EXPECT_EQ(read_into(from_closed, 10), (READ{LINE_STATUS::failed, ""}));
    EXPECT_EQ(from_closed.read_error(), EBADF);

    const int reset = descriptor_failing_after("1 .\n2 .");
    LINE_READER from_reset{reset};
    EXPECT_EQ(read_into(from_reset, 10), line("1 ."));
    EXPECT_EQ(read_into(from_reset, 10), (READ{LINE_STATUS::failed, ""}));
    EXPECT_EQ(from_reset.read_error(), ECONNRESET);
    ::close(reset);
}

TEST(LineReader, LinesAcrossChunkBoundaries)
{
    // The reader takes 4096 bytes at a time: these lines start, end, overflow and meet
    // their NUL in different chunks.
    const std::string filler(4090, 'F');
    const std::string long_line(10000, 'L');
    const std::string input = filler + "\n" + "ABCDEFGHIJ\n" + long_line + "\n" + "XY\n" +
        std::string(5000, 'N') + '\0' + std::string(5000, 'G') + "\n" + "Z";
    const int fd = descriptor_with(input);
    LINE_READER reader{fd};
    EXPECT_EQ(read_into(reader, 5000), line(filler));
    EXPECT_EQ(read_into(reader, 10), line("ABCDEFGHIJ"));  // crosses the first boundary
    EXPECT_EQ(read_into(reader, 1023), too_long);
    EXPECT_EQ(read_into(reader, 1023), line("XY"));
    EXPECT_EQ(read_into(reader, 5000), line(std::string(5000, 'N')));
    EXPECT_EQ(read_into(reader, 1), line("Z"));
    EXPECT_EQ(read_into(reader, 1), end_of_input);
    ::close(fd);
}

TEST(LineReader, OverlongLineSpanningChunksWritesNoMoreThanRoom)
{
    const std::string input = std::string(9000, 'L') + "\nOK\n";
    const int fd = descriptor_with(input);
    LINE_READER reader{fd};
    EXPECT_EQ(read_into(reader, 6000), too_long);  // the first chunk fits, the second does not
    EXPECT_EQ(read_into(reader, 6000), line("OK"));
    ::close(fd);
}
