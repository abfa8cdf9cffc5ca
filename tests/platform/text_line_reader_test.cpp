// The streaming line reader: line ends, untouched bytes, block boundaries.
#include "platform/text_line_reader.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/native_file.h"
#include "tests/support/temp_folder.h"

namespace lomitra {
namespace {

class TempFile {
public:
    explicit TempFile(const std::string& bytes) : path_(folder_.file("source.txt")) {
        std::ofstream(nativePath(path_), std::ios::binary) << bytes;
    }
    const std::string& path() const { return path_; }

private:
    testing::TempFolder folder_{"lomitra-reader-"};
    std::string path_;
};

std::vector<std::string> readAll(const std::string& bytes) {
    TempFile file(bytes);
    TextLineReader reader(file.path());
    EXPECT_TRUE(reader.isOpen());
    std::vector<std::string> lines;
    std::string line;
    while (reader.readLine(line)) lines.push_back(line);
    EXPECT_FALSE(reader.failed());
    return lines;
}

using Lines = std::vector<std::string>;

TEST(TextLineReader, LineEnds) {
    struct Case {
        const char* name;
        std::string bytes;
        Lines expected;
    };
    const std::vector<Case> cases = {
        {"empty file", "", {}},
        {"CR LF", "a b\r\nc\r\n", {"a b", "c"}},
        {"lone LF", "a\nb\n", {"a", "b"}},
        {"lone CR", "a\rb\r", {"a", "b"}},
        {"mixed ends", "a\r\nb\nc\rd", {"a", "b", "c", "d"}},
        {"last line without end", "x\r\nlast", {"x", "last"}},
        {"empty lines kept", "\r\n\n\r\r\nz", {"", "", "", "", "z"}},
        {"LF CR is two ends", "a\n\rb", {"a", "", "b"}},
        {"only a line end", "\r\n", {""}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(readAll(c.bytes), c.expected) << c.name;
    }
}

TEST(TextLineReader, BytesUntouched) {
    // Windows-1252 letters, a NUL, a tab and DEL stay as they are.
    const std::string line = std::string("\xE4\xF6\xC5 \t1\0x\x7F\xFF", 10);
    EXPECT_EQ(readAll(line + "\r\n" + line), (Lines{line, line}));
}

TEST(TextLineReader, BlockBoundaries) {
    // The reader fills 256 KiB blocks: a CR LF split across two blocks is one
    // line end, and a line longer than a block is whole.
    const std::size_t block = 1 << 18;
    for (std::size_t firstLength : {block - 1, block - 2, block, block + 1}) {
        std::string first(firstLength, 'a');
        first[0] = 'b';
        const std::string bytes = first + "\r\nnext\r\n";
        EXPECT_EQ(readAll(bytes), (Lines{first, "next"})) << "first line of " << firstLength;
    }
    const std::string longLine(3 * block + 7, 'q');
    EXPECT_EQ(readAll("x\n" + longLine + "\ry"), (Lines{"x", longLine, "y"}));
    // A CR that ends the last block of the file ends the last line.
    EXPECT_EQ(readAll(std::string(block - 1, 'c') + "\r"), (Lines{std::string(block - 1, 'c')}));
}

TEST(TextLineReader, ManyLines) {
    std::string bytes;
    Lines expected;
    for (int i = 0; i < 100000; ++i) {
        expected.push_back(std::to_string(i * 7919));
        bytes += expected.back();
        bytes += (i % 3 == 0) ? "\r\n" : (i % 3 == 1 ? "\n" : "\r");
    }
    EXPECT_EQ(readAll(bytes), expected);
}

TEST(TextLineReader, BytesConsumedIsTheOffsetOfTheNextLine) {
    // Mixed line ends, lines around the 256 KiB block size: after each line
    // the count is the offset where the next line starts, except right after
    // a CR that ended a block, whose LF is still unread (one less).
    const std::size_t block = 1 << 18;
    std::string bytes;
    std::vector<std::size_t> nextStart;
    const char* const ends[] = {"\r\n", "\n", "\r"};
    for (int i = 0; i < 40; ++i) {
        const std::size_t length = (i % 5 == 0) ? block - 1 - bytes.size() % block : 9000 + 37 * i;
        bytes += std::string(length, static_cast<char>('a' + i % 26));
        bytes += ends[i % 3];
        nextStart.push_back(bytes.size());
    }
    TempFile file(bytes);
    TextLineReader reader(file.path());
    std::string line;
    EXPECT_EQ(reader.bytesConsumed(), 0);
    for (std::size_t k = 0; k < nextStart.size(); ++k) {
        ASSERT_TRUE(reader.readLine(line)) << k;
        const auto consumed = static_cast<std::size_t>(reader.bytesConsumed());
        EXPECT_TRUE(consumed == nextStart[k] || (consumed + 1 == nextStart[k] && consumed % block == 0))
            << "line " << k << ": " << consumed << " of " << nextStart[k];
    }
    EXPECT_FALSE(reader.readLine(line));
    EXPECT_EQ(reader.bytesConsumed(), static_cast<int64_t>(bytes.size()));
}

TEST(TextLineReader, MissingFile) {
    TextLineReader reader("/nonexistent-lomitra-dir/none.txt");
    EXPECT_FALSE(reader.isOpen());
    std::string line = "old";
    EXPECT_FALSE(reader.readLine(line));
    EXPECT_TRUE(line.empty());
}

TEST(TextLineReader, AFolderIsNoFile) {
    const testing::TempFolder folder;
    TextLineReader reader(folder.path());
    EXPECT_FALSE(reader.isOpen());
    std::string line;
    EXPECT_FALSE(reader.readLine(line));
    EXPECT_TRUE(reader.failed());
    EXPECT_EQ(reader.failure(), TextLineReader::Failure::Folder);
    EXPECT_EQ(readFailureReason(reader), "se on kansio");
}

TEST(TextLineReader, MissingFileSaysWhy) {
    TextLineReader reader("/nonexistent-lomitra-dir/none.txt");
    EXPECT_EQ(reader.failure(), TextLineReader::Failure::NotOpened);
    EXPECT_EQ(readFailureReason(reader), "tiedostoa tai kansiota ei ole");
}

// Lines up to the limit are read whole, whatever the block size; the first
// longer one stops the reading as a failure that names its line number.
TEST(TextLineReader, LinesLongerThanTheLimitAreRefused) {
    constexpr std::size_t kLimit = 10;
    const std::string atLimit(kLimit, 'a');
    const std::string over(kLimit + 1, 'b');
    struct Case {
        const char* name;
        std::string bytes;
        Lines before;  // the lines read before the failure
        bool fails;
    };
    const std::vector<Case> cases = {
        {"a line at the limit", atLimit + "\r\n" + atLimit, {atLimit, atLimit}, false},
        {"one byte over, last line", "x\n" + over, {"x"}, true},
        {"one byte over, with a line end", "x\r\ny\r\n" + over + "\r\nz\r\n", {"x", "y"}, true},
        {"no line end at all", std::string(1000, '\0'), {}, true},
    };
    for (const Case& c : cases) {
        for (const std::size_t block : {1, 3, 7, 64, 4096}) {
            SCOPED_TRACE(std::string(c.name) + ", block " + std::to_string(block));
            TempFile file(c.bytes);
            TextLineReader reader(file.path(), block, kLimit);
            Lines lines;
            std::string line;
            while (reader.readLine(line)) lines.push_back(line);
            EXPECT_EQ(lines, c.before);
            EXPECT_EQ(reader.failed(), c.fails);
            if (c.fails) {
                EXPECT_EQ(reader.failure(), TextLineReader::Failure::LineTooLong);
                EXPECT_EQ(readFailureReason(reader),
                          "rivi " + std::to_string(c.before.size() + 1) + " on yli 64 MiB pitkä");
                EXPECT_FALSE(reader.readLine(line)) << "nothing more after a failure";
            }
        }
    }
}

// Every block size cuts the same lines as one large block.
TEST(TextLineReader, SmallBlocksCutTheSameLines) {
    const std::string bytes = "a\r\n\r\nbb\rccc\n\r\n\r\rd\r\n\n\xE4\xF6\re";
    const Lines expected = readAll(bytes);
    for (std::size_t block = 1; block <= bytes.size() + 1; ++block) {
        TempFile file(bytes);
        TextLineReader reader(file.path(), block);
        Lines lines;
        std::string line;
        while (reader.readLine(line)) lines.push_back(line);
        EXPECT_EQ(lines, expected) << "block " << block;
        EXPECT_EQ(reader.lineNumber(), static_cast<int64_t>(expected.size()));
    }
}

}  // namespace
}  // namespace lomitra
