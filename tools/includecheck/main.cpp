// includecheck: reads every #include of the project's sources and fails on one that
// runs against the layer table (cmake/layers.txt): a folder may include its own
// headers and those of the folders the table allows it, transitively. Folders marked
// qt-free may not include a Qt header. Prints each offence as FILE:LINE: what.
//
// Usage: includecheck SOURCE_DIR TABLE
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct Table {
    std::map<std::string, std::set<std::string>> uses; // folder -> allowed folders
    std::set<std::string> anything;                    // folders that may use any folder
    std::set<std::string> qtFree;
};

std::string Trim(const std::string& s)
{
    const auto b = s.find_first_not_of(" \t\r");
    const auto e = s.find_last_not_of(" \t\r");
    return b == std::string::npos ? std::string() : s.substr(b, e - b + 1);
}

bool ReadTable(const fs::path& file, Table& table)
{
    std::ifstream in(file);
    if (!in) {
        std::cerr << file.string() << ": cannot be read\n";
        return false;
    }
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        line = Trim(line.substr(0, line.find('#')));
        if (line.empty())
            continue;
        const auto colon = line.find(':');
        if (colon == std::string::npos) {
            std::cerr << file.string() << ":" << number << ": a line needs \"folder: ...\"\n";
            return false;
        }
        const std::string folder = Trim(line.substr(0, colon));
        std::istringstream rest(line.substr(colon + 1));
        std::set<std::string> names;
        for (std::string name; rest >> name;)
            names.insert(name);
        if (folder == "qt-free")
            table.qtFree.insert(names.begin(), names.end());
        else if (names.count("*"))
            table.anything.insert(folder);
        else
            table.uses[folder] = names;
    }
    // Close the table: what a used folder may use, the user may use too.
    for (bool grew = true; grew;) {
        grew = false;
        for (auto& [folder, allowed] : table.uses) {
            std::set<std::string> more = allowed;
            for (const auto& used : allowed)
                if (const auto it = table.uses.find(used); it != table.uses.end())
                    more.insert(it->second.begin(), it->second.end());
            if (more.size() != allowed.size()) {
                allowed = more;
                grew = true;
            }
        }
    }
    // A folder that may use itself through others would make the layers a cycle.
    for (const auto& [folder, allowed] : table.uses)
        if (allowed.count(folder)) {
            std::cerr << file.string() << ": " << folder << " uses itself through the table\n";
            return false;
        }
    return true;
}

// The table folder a project path lies in: the longest folder that prefixes it.
std::string FolderOf(const Table& table, const std::string& path)
{
    std::string best;
    auto consider = [&](const std::string& folder) {
        if (path.size() > folder.size() && path.compare(0, folder.size(), folder) == 0 &&
            path[folder.size()] == '/' && folder.size() > best.size())
            best = folder;
    };
    for (const auto& [folder, allowed] : table.uses)
        consider(folder);
    for (const auto& folder : table.anything)
        consider(folder);
    return best;
}

bool IsSource(const fs::path& p)
{
    const auto ext = p.extension().string();
    return ext == ".h" || ext == ".cpp" || ext == ".hpp" || ext == ".cc";
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::cerr << "usage: includecheck SOURCE_DIR TABLE\n";
        return 2;
    }
    const fs::path root = argv[1];
    Table table;
    if (!ReadTable(argv[2], table))
        return 2;

    int offences = 0;
    int files = 0;
    std::vector<fs::path> sources;
    for (auto it = fs::recursive_directory_iterator(root); it != fs::recursive_directory_iterator();
         ++it) {
        const std::string name = it->path().filename().string();
        if (it->is_directory() && (name.starts_with(".") || name.starts_with("build"))) {
            it.disable_recursion_pending();
            continue;
        }
        if (it->is_regular_file() && IsSource(it->path()))
            sources.push_back(it->path());
    }
    std::sort(sources.begin(), sources.end());

    for (const fs::path& file : sources) {
        const std::string rel = fs::relative(file, root).generic_string();
        const std::string folder = FolderOf(table, rel);
        if (folder.empty()) {
            std::cerr << rel << ": lies in no folder of the layer table\n";
            ++offences;
            continue;
        }
        ++files;
        const bool anything = table.anything.count(folder) > 0;
        const std::set<std::string> noUses;
        const auto found = table.uses.find(folder);
        const std::set<std::string>& allowed = found == table.uses.end() ? noUses : found->second;
        std::ifstream in(file);
        std::string line;
        int number = 0;
        while (std::getline(in, line)) {
            ++number;
            const std::string t = Trim(line);
            if (!t.starts_with("#"))
                continue;
            const std::string directive = Trim(t.substr(1));
            if (!directive.starts_with("include"))
                continue;
            const std::string target = Trim(directive.substr(7));
            if (target.size() < 3)
                continue;
            const std::string inner = target.substr(1, target.find_first_of("\">", 1) - 1);
            if (target[0] == '<') {
                if (table.qtFree.count(folder) && !inner.empty() && inner[0] == 'Q') {
                    std::cerr << rel << ":" << number << ": " << folder
                              << " is Qt-free but includes <" << inner << ">\n";
                    ++offences;
                }
                continue;
            }
            if (target[0] != '"' || inner.find('/') == std::string::npos)
                continue; // a header beside the file
            const std::string used = FolderOf(table, inner);
            if (used == folder || anything)
                continue;
            if (used.empty()) {
                std::cerr << rel << ":" << number << ": includes \"" << inner
                          << "\", which lies in no folder of the layer table\n";
                ++offences;
            } else if (!allowed.count(used)) {
                std::cerr << rel << ":" << number << ": " << folder << " may not include \""
                          << inner << "\" (" << used << " is not below it)\n";
                ++offences;
            }
        }
    }
    if (offences > 0) {
        std::cerr << offences << " include(s) against the layer table\n";
        return 1;
    }
    std::cout << "includecheck: " << files << " files keep the layer table\n";
    return 0;
}
