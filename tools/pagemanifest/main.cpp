// kesto_pagemanifest: reads the page resources given on the command line and writes
// the element manifest source. A malformed page stops the build with
// "<file>:<line>: error: <what>", the form editors and CI logs link to.
//
//   kesto_pagemanifest --output PageManifest.cpp resources/pages/236.html ...
#include "ManifestWriter.h"
#include "PageError.h"
#include "PageScan.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

namespace {

// Pages are a few kilobytes; anything this large is not a page.
constexpr std::uintmax_t kMaxPageBytes = 4u << 20;

bool ReadFile(const std::filesystem::path& path, std::string& text, std::string& error)
{
    std::error_code ec;
    const std::uintmax_t size = std::filesystem::file_size(path, ec);
    if (ec) {
        error = ec.message();
        return false;
    }
    if (size > kMaxPageBytes) {
        error = "file is larger than 4 MiB";
        return false;
    }
    std::ifstream in(path, std::ios::binary);
    std::ostringstream buffer;
    buffer << in.rdbuf();
    if (!in.good() && !in.eof()) {
        error = "cannot read the file";
        return false;
    }
    text = buffer.str();
    return true;
}

// Writes text to path unless the file already holds exactly that text, so an
// unchanged manifest does not recompile the core.
bool WriteIfChanged(const std::filesystem::path& path, const std::string& text)
{
    std::string current;
    std::string ignored;
    if (std::filesystem::exists(path) && ReadFile(path, current, ignored) && current == text)
        return true;
    const std::filesystem::path temp = path.string() + ".tmp";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        out << text;
        if (!out.good())
            return false;
    }
    std::error_code ec;
    std::filesystem::rename(temp, path, ec);
    return !ec;
}

} // namespace

int main(int argc, char** argv)
{
    std::filesystem::path output;
    std::vector<std::filesystem::path> inputs;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--output" && i + 1 < argc)
            output = argv[++i];
        else
            inputs.emplace_back(arg);
    }
    // No pages is a valid, empty manifest (a tree without page resources still builds).
    if (output.empty()) {
        std::cerr << "usage: kesto_pagemanifest --output FILE PAGE.html...\n";
        return 2;
    }

    std::vector<kesto::pages::PageDocument> pages;
    bool failed = false;
    for (const auto& input : inputs) {
        const int pageId = kesto::pages::PageIdFromFileName(input.filename().string());
        if (pageId == 0) {
            std::cerr << input.string()
                      << ":1: error: a page file is named by its page number, as 236.html\n";
            failed = true;
            continue;
        }
        std::string text;
        std::string error;
        if (!ReadFile(input, text, error)) {
            std::cerr << input.string() << ":1: error: " << error << "\n";
            failed = true;
            continue;
        }
        try {
            pages.push_back(kesto::pages::ScanPage(text, pageId));
        } catch (const kesto::pages::PageError& e) {
            std::cerr << input.string() << ":" << e.line() << ": error: " << e.what() << "\n";
            failed = true;
        }
    }
    if (failed)
        return 1;

    try {
        if (!WriteIfChanged(output, kesto::pages::WriteManifestSource(std::move(pages)))) {
            std::cerr << output.string() << ": error: cannot write the manifest\n";
            return 1;
        }
    } catch (const kesto::pages::PageError& e) {
        std::cerr << "error: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
