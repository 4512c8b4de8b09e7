// kesto_pagemanifest: assembles the page sources given on the command line from their
// parts, writes each assembled page into the pages folder the programs load them from,
// and writes the element manifest source of the assembled pages. A malformed page or
// part stops the build with "<file>:<line>: error: <what>", the form editors and CI logs
// link to, naming the source line even when the fault shows only once assembled.
//
//   kesto_pagemanifest --output PageManifest.cpp [--pages OUT_DIR] [--parts PARTS_DIR]
//                      resources/pages/236.html ...
#include "ManifestWriter.h"
#include "PageAssembly.h"
#include "PageError.h"
#include "PageScan.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>
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
    std::filesystem::path pagesDir;
    std::filesystem::path partsDir;
    std::vector<std::filesystem::path> inputs;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--output" && i + 1 < argc)
            output = argv[++i];
        else if (arg == "--pages" && i + 1 < argc)
            pagesDir = argv[++i];
        else if (arg == "--parts" && i + 1 < argc)
            partsDir = argv[++i];
        else
            inputs.emplace_back(arg);
    }
    // No pages is a valid, empty manifest (a tree without page resources still builds).
    if (output.empty()) {
        std::cerr << "usage: kesto_pagemanifest --output FILE [--pages DIR] [--parts DIR] "
                     "PAGE.html...\n";
        return 2;
    }
    // Without a parts folder every include names an unknown part.
    const kesto::pages::PartReader readPart =
        [&](const std::string& name) -> std::optional<kesto::pages::PagePart> {
        if (partsDir.empty())
            return std::nullopt;
        kesto::pages::PagePart part{(partsDir / name).string(), {}};
        if (!std::filesystem::is_regular_file(partsDir / name))
            return std::nullopt;
        std::string error;
        if (!ReadFile(partsDir / name, part.text, error))
            throw kesto::pages::PageError(part.file, 1, error);
        return part;
    };

    std::vector<kesto::pages::PageDocument> pages;
    bool failed = false;
    if (!pagesDir.empty()) {
        std::error_code ec;
        std::filesystem::create_directories(pagesDir, ec);
    }
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
        kesto::pages::AssembledPage page;
        try {
            page = kesto::pages::AssemblePage(text, input.string(), readPart);
            pages.push_back(kesto::pages::ScanPage(page.text, pageId));
        } catch (const kesto::pages::PageError& e) {
            // An assembly error names its file; a scan error a line of the assembled page.
            const kesto::pages::SourceLine at = e.file().empty()
                                                    ? page.Origin(e.line())
                                                    : kesto::pages::SourceLine{e.file(), e.line()};
            std::cerr << at.file << ":" << at.line << ": error: " << e.what() << "\n";
            failed = true;
            continue;
        }
        if (!pagesDir.empty() && !WriteIfChanged(pagesDir / input.filename(), page.text)) {
            std::cerr << (pagesDir / input.filename()).string()
                      << ": error: cannot write the page\n";
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
