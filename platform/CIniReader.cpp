#include "platform/CIniReader.h"

#include "platform/FileRead.h"
#include "platform/FilePath.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <utility>

// No UTF-16 round trip as on Windows: this reader reads the files as bytes and
// hands out byte strings, which are the same for ASCII content.

namespace {

// One parsed file: lower-cased section name -> (lower-cased key name -> value).
// Only the first section of a name and, within it, the first key of a name are kept.
using Section = std::unordered_map<std::string, std::string>;
using ParsedFile = std::unordered_map<std::string, Section>;

struct FileStamp {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    time_t mtimeSeconds = 0;
    long mtimeNanoseconds = 0;

    bool operator==(const FileStamp& other) const {
        return device == other.device && inode == other.inode && size == other.size &&
               mtimeSeconds == other.mtimeSeconds && mtimeNanoseconds == other.mtimeNanoseconds;
    }
};

FileStamp StampOf(const struct stat& st) {
    FileStamp stamp;
    stamp.device = st.st_dev;
    stamp.inode = st.st_ino;
    stamp.size = st.st_size;
    stamp.mtimeSeconds = st.st_mtim.tv_sec;
    stamp.mtimeNanoseconds = st.st_mtim.tv_nsec;
    return stamp;
}

struct CacheEntry {
    FileStamp stamp;
    std::shared_ptr<const ParsedFile> parsed;
};

// The kept files. Allocated once and never destroyed, so that a read from a static
// destructor of another file (or a thread still running at exit) finds it intact.
struct Cache {
    std::mutex mutex;
    std::map<std::string, CacheEntry> entries;  // by native file name
    std::size_t parseCount = 0;
};

Cache& TheCache() {
    static Cache* const instance = new Cache();
    return *instance;
}

char AsciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string LowerAscii(std::string text) {
    for (char& c : text) c = AsciiLower(c);
    return text;
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

std::string Trim(const std::string& text, std::size_t begin, std::size_t end) {
    while (begin < end && IsBlank(text[begin])) ++begin;
    while (end > begin && IsBlank(text[end - 1])) --end;
    return text.substr(begin, end - begin);
}

std::string CutValue(std::string value) {
    if (value.size() > CIniReader::MAX_VALUE_LENGTH) value.resize(CIniReader::MAX_VALUE_LENGTH);
    return value;
}

ParsedFile Parse(const std::string& content) {
    ParsedFile parsed;
    std::size_t pos = 0;
    if (content.compare(0, 3, "\xEF\xBB\xBF") == 0) pos = 3;  // UTF-8 byte-order mark

    Section* current = nullptr;  // null: before the first section, or a duplicate section
    while (pos < content.size()) {
        std::size_t lineEnd = content.find('\n', pos);
        if (lineEnd == std::string::npos) lineEnd = content.size();
        // Trim also removes the CR of a CR LF line end.
        std::string line = Trim(content, pos, lineEnd);
        pos = lineEnd + 1;

        if (line.empty() || line[0] == ';') continue;
        if (line[0] == '[') {
            std::size_t close = line.find(']');
            if (close == std::string::npos) close = line.size();
            std::string name = LowerAscii(Trim(line, 1, close));
            auto inserted = parsed.emplace(name, Section());
            // A later section of a name already seen is not merged: its keys are skipped.
            current = inserted.second ? &inserted.first->second : nullptr;
            continue;
        }
        std::size_t equals = line.find('=');
        if (equals == std::string::npos || current == nullptr) continue;
        std::string key = LowerAscii(Trim(line, 0, equals));
        if (key.empty()) continue;
        std::string value = Trim(line, equals + 1, line.size());
        if (value.size() >= 2 && (value[0] == '"' || value[0] == '\'') && value.back() == value[0]) {
            value = value.substr(1, value.size() - 2);
        }
        current->emplace(std::move(key), CutValue(std::move(value)));  // first key wins
    }
    return parsed;
}

// Reads the whole file; false when it cannot be opened or read.
bool ReadFile(const std::string& nativeName, std::string& content, struct stat& st) {
    int fd = ::open(nativeName.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    bool ok = ::fstat(fd, &st) == 0;
    content.clear();
    char buffer[65536];
    while (ok) {
        ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0) {
            if (errno == EINTR) continue;
            ok = false;
        } else if (got == 0) {
            break;
        } else {
            content.append(buffer, static_cast<std::size_t>(got));
        }
    }
    ::close(fd);
    return ok;
}

// The parsed content of the file as it is on disk now, or null when the file
// cannot be read.
std::shared_ptr<const ParsedFile> Load(const std::string& fileName) {
    const std::string nativeName = NativePath(fileName);
    struct stat st;
    if (::stat(nativeName.c_str(), &st) != 0) {
        Cache& c = TheCache();
    std::lock_guard<std::mutex> lock(c.mutex);
        c.entries.erase(nativeName);
        return nullptr;
    }
    {
        Cache& c = TheCache();
    std::lock_guard<std::mutex> lock(c.mutex);
        auto found = c.entries.find(nativeName);
        if (found != c.entries.end() && found->second.stamp == StampOf(st)) return found->second.parsed;
    }

    // Read and parse outside the lock. The stamp kept is the one of the opened file
    // taken before reading: a change during the read gives a newer stamp on disk, so
    // the next call reads the file again.
    std::string content;
    struct stat openedStat;
    if (!ReadFile(nativeName, content, openedStat)) {
        Cache& c = TheCache();
    std::lock_guard<std::mutex> lock(c.mutex);
        c.entries.erase(nativeName);
        return nullptr;
    }
    auto parsed = std::make_shared<const ParsedFile>(Parse(content));

    Cache& c = TheCache();
    std::lock_guard<std::mutex> lock(c.mutex);
    ++c.parseCount;
    CacheEntry& entry = c.entries[nativeName];
    entry.stamp = StampOf(openedStat);
    entry.parsed = parsed;
    return parsed;
}

}  // namespace

bool CIniReader::TryReadValue(const std::string& section, const std::string& key,
                              const std::string& fileName, std::string& value) {
    std::shared_ptr<const ParsedFile> parsed = Load(fileName);
    if (!parsed) return false;
    auto foundSection = parsed->find(LowerAscii(section));
    if (foundSection == parsed->end()) return false;
    auto foundKey = foundSection->second.find(LowerAscii(key));
    if (foundKey == foundSection->second.end()) return false;
    value = foundKey->second;
    return true;
}

std::string CIniReader::ReadValue(const std::string& section, const std::string& key,
                                  const std::string& defaultValue, const std::string& fileName) {
    std::string value;
    if (TryReadValue(section, key, fileName, value)) return value;
    // The default goes through the same 1024-unit buffer as a value would.
    return CutValue(defaultValue);
}

bool CIniReader::CheckFile(const std::string& fileName, std::string& reason) {
    const std::string nativeName = NativePath(fileName);
    struct stat st;
    if (::stat(nativeName.c_str(), &st) != 0) return true;
    if (!S_ISREG(st.st_mode)) {
        reason = "not a regular file";
        return false;
    }
    if (static_cast<unsigned long long>(st.st_size) > MAX_FILE_BYTES) {
        reason = "larger than 64 MiB";
        return false;
    }
    return true;
}

std::size_t CIniReader::CacheSizeForTesting() {
    Cache& c = TheCache();
    std::lock_guard<std::mutex> lock(c.mutex);
    return c.entries.size();
}

std::size_t CIniReader::ParseCountForTesting() {
    Cache& c = TheCache();
    std::lock_guard<std::mutex> lock(c.mutex);
    return c.parseCount;
}

void CIniReader::ClearCacheForTesting() {
    Cache& c = TheCache();
    std::lock_guard<std::mutex> lock(c.mutex);
    c.entries.clear();
    c.parseCount = 0;
}
