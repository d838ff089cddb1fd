#include "OutputClash.h"

#include <sys/stat.h>

#include <map>

#include "util/StringUtils.h"

namespace tessella {

namespace {

// One spelling for every path that names the same entry of the same folder: "out/a",
// "./out/a" and "out//a" agree. A path whose folder cannot be reached keeps its own spelling.
std::string EntryKey(const std::string& path) {
    const size_t cut = path.rfind('/');
    const std::string folder = cut == std::string::npos ? "." : path.substr(0, cut + 1);
    const std::string name = cut == std::string::npos ? path : path.substr(cut + 1);
    struct stat st {};
    if (name.empty() || name == "." || name == ".." || ::stat(folder.c_str(), &st) != 0) {
        return "path:" + path;
    }
    return std::to_string(st.st_dev) + ":" + std::to_string(st.st_ino) + "/" + name;
}

// An existing file's device and inode, or "" when the name leads nowhere.
std::string FileKey(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0
               ? std::to_string(st.st_dev) + ":" + std::to_string(st.st_ino)
               : std::string();
}

std::string Quoted(const std::string& path) {
    std::string quoted(1, '\'');
    quoted += StringUtils::EscapeControls(path);
    quoted += '\'';
    return quoted;
}

}  // namespace

std::string FindOutputClash(const std::vector<PlannedJob>& jobs) {
    std::map<std::string, size_t> writers;
    for (size_t i = 0; i < jobs.size(); ++i) {
        if (jobs[i].destination.empty()) {
            continue;
        }
        const auto [at, fresh] = writers.emplace(EntryKey(jobs[i].destination), i);
        if (!fresh) {
            return Quoted(jobs[at->second].source) + " and " + Quoted(jobs[i].source) +
                   " would both be written to " + Quoted(jobs[i].destination);
        }
    }
    // A source is reached by its name, or through another name of the same file.
    std::map<std::string, size_t> readers;
    for (size_t k = 0; k < jobs.size(); ++k) {
        readers.emplace(EntryKey(jobs[k].source), k);
        if (const std::string file = FileKey(jobs[k].source); !file.empty()) {
            readers.emplace(file, k);
        }
    }
    for (const auto& [entry, i] : writers) {
        for (const std::string& key : {entry, FileKey(jobs[i].destination)}) {
            const auto reader = key.empty() ? readers.end() : readers.find(key);
            // Its own source is the job's own concern: it refuses to write over it.
            if (reader != readers.end() && reader->second != i) {
                return Quoted(jobs[i].source) + " would be written over " +
                       Quoted(jobs[reader->second].source) + ", another file of this run";
            }
        }
    }
    return std::string();
}

}  // namespace tessella
