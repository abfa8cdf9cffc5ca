// The manual page and the README describe the options that lomitra-batch's
// own usage text lists, and the manual page its exit statuses and examples.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <regex>
#include <set>
#include <string>

#include "batch/batch_converter.h"
#include "core/texts.h"

namespace lomitra {
namespace {

std::string readSource(const std::string& relative) {
    std::ifstream in(std::string(LOMITRA_SOURCE_DIR) + "/" + relative, std::ios::binary);
    EXPECT_TRUE(in.good()) << relative;
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The option names of a text: "--name" and the one-letter "-o", "-h".
std::set<std::string> optionNames(const std::string& text) {
    std::set<std::string> names;
    const std::regex option(R"((^|[\s,(\[`])(--[a-z][a-z-]*|-[a-z])(?=[\s,=|\]`]))");
    for (std::sregex_iterator it(text.begin(), text.end(), option), end; it != end; ++it) {
        names.insert((*it)[2].str());
    }
    return names;
}

// The manual page as it reads: troff's "\-" is a "-", font changes dropped.
std::string manualText() {
    std::string page = readSource("batch/lomitra-batch.1");
    page = std::regex_replace(page, std::regex(R"(\\-)"), "-");
    page = std::regex_replace(page, std::regex(R"(\\f[BIRP])"), "");
    // ".BR --name " arguments of macros stand at the start of a line.
    page = std::regex_replace(page, std::regex(R"(^\.(BR|BI|B|I|IR|RI) )", std::regex::multiline), " ");
    return page;
}

TEST(BatchManual, ManualPageAndReadmeListEveryOptionOfTheUsageText) {
    const std::set<std::string> usage = optionNames(std::string(texts::kBatchUsage));
    ASSERT_GE(usage.size(), 14u) << "the usage text lists the options";
    EXPECT_TRUE(usage.count("--version")) << "and --version";
    const std::set<std::string> manual = optionNames(manualText());
    const std::set<std::string> readme = optionNames(readSource("README.md"));
    for (const std::string& name : usage) {
        EXPECT_TRUE(manual.count(name)) << name << " missing from the manual page";
        EXPECT_TRUE(readme.count(name)) << name << " missing from the README";
    }
    // The manual page names no option that the program does not know.
    for (const std::string& name : manual) {
        EXPECT_TRUE(usage.count(name) || name == "--output") << name << " is in the manual page only";
    }
}

TEST(BatchManual, ManualPageHasItsSectionsExitStatusesAndTwoExamples) {
    const std::string page = readSource("batch/lomitra-batch.1");
    EXPECT_EQ(page.find(".TH LOMITRA-BATCH 1 "), page.find(".TH")) << "a section 1 page";
    for (const char* section : {".SH NIMI", ".SH YLEISKATSAUS", ".SH KUVAUS", ".SH VALINNAT", ".SH PALUUARVO",
                                ".SH ESIMERKKEJÄ"}) {
        EXPECT_NE(page.find(section), std::string::npos) << section;
    }
    for (const int status : {kBatchOk, kBatchFileError, kBatchUsageError, kBatchTableFailed}) {
        EXPECT_NE(page.find(".B " + std::to_string(status) + "\n"), std::string::npos) << "exit status " << status;
    }
    EXPECT_NE(page.find(".B 3\n"), std::string::npos) << "lines that did not fit their columns";
    EXPECT_NE(page.find(".B 128+N\n"), std::string::npos) << "interrupted by a signal";
    std::size_t examples = 0;
    for (std::size_t at = page.find(".EX\n"); at != std::string::npos; at = page.find(".EX\n", at + 1)) ++examples;
    EXPECT_EQ(examples, 2u);
    // Every example runs lomitra-batch with options the program knows.
    const std::string manual = manualText();
    const std::set<std::string> usage = optionNames(std::string(texts::kBatchUsage));
    const std::size_t from = manual.find(".SH ESIMERKKEJÄ");
    for (const std::string& name : optionNames(manual.substr(from, manual.find(".SH", from + 1) - from))) {
        EXPECT_TRUE(usage.count(name)) << name;
    }
}

}  // namespace
}  // namespace lomitra
