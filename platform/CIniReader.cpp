#include "platform/CIniReader.h"

#include "platform/FileRead.h"
#include "platform/FilePath.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>
#include <utility>

namespace {

// One parsed file. Names and values lie back to back in one text, and each key
// is four numbers into it: a level of 100,000 blocks has over a million keys,
// and a map node per key would cost several times the file's size and a heap
// allocation each. Only the first section of a name and, within it, the first
// key of a name are kept.
struct KeyEntry {
    std::uint32_t nameAt;
    std::uint32_t nameLength;
    std::uint32_t valueAt;
    std::uint32_t valueLength;  // NO_VALUE: a line without '=', read as the default
};
constexpr std::uint32_t NO_VALUE = UINT32_MAX;
struct SectionKeys {
    std::uint32_t first = 0;  // into ParsedFile::keys; the section's keys sorted by name
    std::uint32_t count = 0;
};
struct ParsedFile {
    std::string text;  // lower-cased key names and values
    std::vector<KeyEntry> keys;
    std::unordered_map<std::string, SectionKeys> sections;  // by lower-cased name
    std::size_t entryCount = 0;  // sections and keys
    std::size_t bytes = 0;  // estimate of the memory held, for the cache's cap

    std::string_view Name(const KeyEntry& entry) const { return {text.data() + entry.nameAt, entry.nameLength}; }
    std::string_view Value(const KeyEntry& entry) const {
        return {text.data() + entry.valueAt, entry.valueLength == NO_VALUE ? 0 : entry.valueLength};
    }
};

// Rough heap cost of one section's map node beside its name (node, bucket, allocator).
constexpr std::size_t NODE_BYTES = 96;

// A kept file: its parsed content, or (parsed null) the reason it was refused.
struct CacheEntry {
    PlatformFileStamp stamp;
    std::shared_ptr<const ParsedFile> parsed;
    std::string refusal;
    std::size_t bytes = 0;
    std::uint64_t lastUse = 0;
};

// The kept files. Allocated once and never destroyed, so that a read from a static
// destructor of another file (or a thread still running at exit) finds it intact.
struct Cache {
    std::mutex mutex;
    std::map<std::string, CacheEntry> entries;  // by native file name
    std::size_t bytes = 0;
    std::uint64_t useClock = 0;
    std::size_t parseCount = 0;

    void Erase(const std::string& name) {
        auto found = entries.find(name);
        if (found == entries.end()) return;
        bytes -= found->second.bytes;
        entries.erase(found);
    }

    // Drops the least recently used files other than `keep` until both caps hold.
    void Trim(const std::string& keep) {
        while (entries.size() > CIniReader::MAX_CACHED_FILES ||
               (bytes > CIniReader::MAX_CACHED_BYTES && entries.size() > 1)) {
            auto oldest = entries.end();
            for (auto it = entries.begin(); it != entries.end(); ++it) {
                if (it->first != keep && (oldest == entries.end() || it->second.lastUse < oldest->second.lastUse))
                    oldest = it;
            }
            if (oldest == entries.end()) return;
            bytes -= oldest->second.bytes;
            entries.erase(oldest);
        }
    }
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

// ^Z, the end-of-file mark of old DOS editors, is blank to the Windows reader too.
bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\x1A';
}

// The text up to its first NUL, as the Windows reader's C strings end there.
std::string UpToNul(const std::string& text) {
    return text.substr(0, text.find('\0'));
}

// A requested section or key name as the parsed file keeps names: up to its NUL,
// trimmed, lower-cased.
std::string QueryName(const std::string& name) {
    std::size_t end = name.find('\0');
    if (end == std::string::npos) end = name.size();
    std::size_t begin = 0;
    while (begin < end && IsBlank(name[begin])) ++begin;
    while (end > begin && IsBlank(name[end - 1])) --end;
    return LowerAscii(name.substr(begin, end - begin));
}

// Position of the first `c` in text[begin, end), or `end`. Never looks past the
// line: a search to the end of the file on every line would be quadratic.
std::size_t FindIn(const std::string& text, std::size_t begin, std::size_t end, char c) {
    const void* found = std::memchr(text.data() + begin, c, end - begin);
    return found ? static_cast<std::size_t>(static_cast<const char*>(found) - text.data()) : end;
}

// text[begin, end) cut at its first NUL, then trimmed.
std::string Field(const std::string& text, std::size_t begin, std::size_t end) {
    end = FindIn(text, begin, end, '\0');
    while (begin < end && IsBlank(text[begin])) ++begin;
    while (end > begin && IsBlank(text[end - 1])) --end;
    return text.substr(begin, end - begin);
}

void AppendUtf8(std::string& out, std::uint32_t codePoint) {
    if (codePoint < 0x80) {
        out += static_cast<char>(codePoint);
    } else if (codePoint < 0x800) {
        out += static_cast<char>(0xC0 | (codePoint >> 6));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else if (codePoint < 0x10000) {
        out += static_cast<char>(0xE0 | (codePoint >> 12));
        out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (codePoint >> 18));
        out += static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    }
}

// UTF-16 text (after its mark) as UTF-8. An unpaired surrogate keeps its own
// unit, written as a three-byte sequence, so that narrowing hands out its low byte.
std::string DecodeUtf16(const std::string& bytes, bool bigEndian) {
    auto unitAt = [&](std::size_t i) -> std::uint32_t {
        const auto a = static_cast<unsigned char>(bytes[i]);
        const auto b = static_cast<unsigned char>(bytes[i + 1]);
        return bigEndian ? (a << 8 | b) : (b << 8 | a);
    };
    std::string out;
    out.reserve(bytes.size());
    for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
        const std::uint32_t unit = unitAt(i);
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 3 < bytes.size()) {
            const std::uint32_t low = unitAt(i + 2);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                AppendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
                i += 2;
                continue;
            }
        }
        AppendUtf8(out, unit);
    }
    // An odd last byte is a unit of its own value, as the Windows reader reads it.
    if (bytes.size() % 2 != 0) AppendUtf8(out, static_cast<unsigned char>(bytes.back()));
    return out;
}

// The file's text in the form the parser reads: bytes for a file without a mark;
// UTF-8 for a file with one (`wide`), whose characters are handed out narrowed.
struct DecodedText {
    std::string text;
    bool wide = true;
};

DecodedText DecodeFile(std::string content) {
    DecodedText decoded;
    if (content.compare(0, 2, "\xFF\xFE") == 0 || content.compare(0, 2, "\xFE\xFF") == 0) {
        decoded.text = DecodeUtf16(content, content[0] == '\xFE');
        return decoded;
    }
    decoded.wide = content.compare(0, 3, "\xEF\xBB\xBF") == 0;
    if (decoded.wide) content.erase(0, 3);
    decoded.text = std::move(content);
    return decoded;
}

// One byte per UTF-16 unit of the wide text: the unit's low 8 bits. A character
// above U+FFFF is two units; a byte that is not UTF-8 (only in a file with the
// UTF-8 mark) is U+FFFD, as the system's UTF-8 decoder makes it. `latin1` is set
// to false when a unit above U+00FF was narrowed.
std::string NarrowWide(std::string text, bool& latin1) {
    latin1 = true;
    if (std::all_of(text.begin(), text.end(), [](char c) { return (c & 0x80) == 0; })) return text;  // ASCII
    std::string out;
    out.reserve(text.size());
    for (std::size_t pos = 0; pos < text.size();) {
        std::uint32_t codePoint = 0xFFFD;
        const std::size_t length = CIniReader::ReadCharacter(text, pos, codePoint);
        pos += length == 0 ? 1 : length;
        if (codePoint > 0xFFFF) {
            out += static_cast<char>((0xD800 + ((codePoint - 0x10000) >> 10)) & 0xFF);
            codePoint = 0xDC00 + ((codePoint - 0x10000) & 0x3FF);
        }
        if (codePoint > 0xFF) latin1 = false;
        out += static_cast<char>(codePoint & 0xFF);
    }
    return out;
}

// A value as the reader hands it out: narrowed, then cut as the Windows reader
// copies it into its buffer of 1024 units. A quoted value loses its closing quote
// in that copy only when it fits, so 1023 characters inside quotes give 1022.
std::string HandedOut(std::string value, bool quoted, bool wide) {
    bool latin1 = true;
    if (wide) value = NarrowWide(std::move(value), latin1);
    if (quoted && value.size() == CIniReader::MAX_VALUE_LENGTH) value.pop_back();
    if (value.size() > CIniReader::MAX_VALUE_LENGTH) value.resize(CIniReader::MAX_VALUE_LENGTH);
    return value;
}

std::atomic<std::size_t> entryLimit{CIniReader::MAX_ENTRIES};

std::size_t EntryLimit() { return entryLimit.load(std::memory_order_relaxed); }

// The keys of the section being read: refuses a key name already in it (the
// first one wins) and, at the section's end, sorts the section for lookups.
// Short sections are searched in place; long ones keep a set of their names,
// so that a section of a million keys is still read in linear time.
class SectionBuilder {
public:
    explicit SectionBuilder(ParsedFile& file) : parsed(file) {}

    void Begin(SectionKeys* section) {
        End();
        current = section;
        if (current) current->first = static_cast<std::uint32_t>(parsed.keys.size());
        names.clear();
    }
    bool Active() const { return current != nullptr; }
    // False when the section already has the key.
    bool Add(std::string&& key, std::string&& value, bool hasValue) {
        const std::size_t first = current->first;
        if (names.empty()) {
            for (std::size_t i = first; i < parsed.keys.size(); ++i)
                if (parsed.Name(parsed.keys[i]) == key) return false;
            if (parsed.keys.size() - first >= LINEAR_KEYS)
                for (std::size_t i = first; i < parsed.keys.size(); ++i)
                    names.emplace(parsed.Name(parsed.keys[i]));
        } else if (names.count(key) != 0) {
            return false;
        }
        KeyEntry entry;
        entry.nameAt = static_cast<std::uint32_t>(parsed.text.size());
        entry.nameLength = static_cast<std::uint32_t>(key.size());
        parsed.text += key;
        entry.valueAt = static_cast<std::uint32_t>(parsed.text.size());
        entry.valueLength = hasValue ? static_cast<std::uint32_t>(value.size()) : NO_VALUE;
        parsed.text += value;
        parsed.keys.push_back(entry);
        if (!names.empty()) names.emplace(std::move(key));
        ++current->count;
        return true;
    }
    void End() {
        if (current == nullptr) return;
        const auto begin = parsed.keys.begin() + current->first;
        std::sort(begin, begin + current->count, [this](const KeyEntry& a, const KeyEntry& b) {
            return parsed.Name(a) < parsed.Name(b);
        });
        current = nullptr;
    }

private:
    static constexpr std::size_t LINEAR_KEYS = 32;
    ParsedFile& parsed;
    SectionKeys* current = nullptr;  // null: before the first section, or a duplicate section
    std::unordered_set<std::string> names;  // the section's names, once it is long
};

// A name of the file as a query must spell it: narrowed, and lower-cased. False
// for a name of a wide file with a character above U+00FF: no query reaches it.
bool FileName(std::string& name, bool wide) {
    bool latin1 = true;
    if (wide) name = NarrowWide(std::move(name), latin1);
    name = LowerAscii(std::move(name));
    return latin1;
}

// False when the file holds more than EntryLimit() sections and keys.
bool Parse(const DecodedText& decoded, ParsedFile& parsed) {
    SectionBuilder section(parsed);
    const bool wide = decoded.wide;
    // Keys above the first header form a section of the empty name.
    section.Begin(&parsed.sections.emplace(std::string(), SectionKeys()).first->second);
    parsed.bytes += NODE_BYTES;
    const bool whole = CIniReader::ScanLines(decoded.text, [&](CIniReader::Line& line) {
        if (line.header) {
            std::string name = std::move(line.name);
            if (!FileName(name, wide)) {
                section.Begin(nullptr);  // its keys belong to no section a query finds
                return true;
            }
            const std::size_t cost = NODE_BYTES + name.size();
            auto inserted = parsed.sections.emplace(std::move(name), SectionKeys());
            // A later section of a name already seen is not merged: its keys are skipped.
            section.Begin(inserted.second ? &inserted.first->second : nullptr);
            if (!inserted.second) return true;
            parsed.bytes += cost;
            return ++parsed.entryCount <= EntryLimit();
        }
        if (!section.Active()) return true;
        std::string key = std::move(line.name);
        if (!FileName(key, wide)) return true;
        std::string value = line.hasValue ? HandedOut(std::move(line.value), line.quoted, wide) : std::string();
        const std::size_t cost = sizeof(KeyEntry) + key.size() + value.size();
        if (!section.Add(std::move(key), std::move(value), line.hasValue)) return true;  // first key wins
        parsed.bytes += cost;
        return ++parsed.entryCount <= EntryLimit();
    });
    section.End();
    return whole;
}

// The file the calling thread holds (see CIniReader::HoldFile).
struct HeldFile {
    bool active = false;
    std::string name;  // as the getters pass it, before NativePath
    std::shared_ptr<const ParsedFile> parsed;
    std::string refusal;
};

thread_local HeldFile held;

std::shared_ptr<const ParsedFile> LoadFromDisk(const std::string& fileName, std::string& reason);

// The parsed content of the file as it is on disk now (or as it was when this
// thread began to hold it), or null when the file is missing (`reason` empty)
// or refused (`reason` says why).
std::shared_ptr<const ParsedFile> Load(const std::string& fileName, std::string& reason) {
    if (held.active && held.name == fileName) {
        reason = held.refusal;
        return held.parsed;
    }
    return LoadFromDisk(fileName, reason);
}

std::shared_ptr<const ParsedFile> LoadFromDisk(const std::string& fileName, std::string& reason) {
    reason.clear();
    const std::string nativeName = NativePath(fileName);
    Cache& cache = TheCache();
    PlatformFileStamp stamp;
    if (!PlatformStampFile(nativeName, stamp, reason)) {
        std::lock_guard<std::mutex> lock(cache.mutex);
        cache.Erase(nativeName);
        return nullptr;
    }
    {
        std::lock_guard<std::mutex> lock(cache.mutex);
        auto kept = cache.entries.find(nativeName);
        if (kept != cache.entries.end() && kept->second.stamp == stamp) {
            kept->second.lastUse = ++cache.useClock;
            reason = kept->second.refusal;
            return kept->second.parsed;
        }
    }

    // Read and parse outside the lock. The stamp kept is the one taken before
    // reading: a change during the read gives a newer stamp on disk, so the next
    // call reads the file again.
    std::string content;
    if (!PlatformReadFile(nativeName, content, reason)) {
        if (reason == "no such file") reason.clear();  // removed since the stat
        std::lock_guard<std::mutex> lock(cache.mutex);
        cache.Erase(nativeName);
        return nullptr;
    }
    auto parsed = std::make_shared<ParsedFile>();
    CacheEntry entry;
    entry.stamp = stamp;
    if (Parse(DecodeFile(std::move(content)), *parsed)) {
        entry.parsed = parsed;
        entry.bytes = parsed->bytes;
    } else {
        entry.refusal = reason = "more than " + std::to_string(EntryLimit()) + " sections and keys";
    }

    std::lock_guard<std::mutex> lock(cache.mutex);
    ++cache.parseCount;
    cache.Erase(nativeName);
    entry.lastUse = ++cache.useClock;
    cache.bytes += entry.bytes;
    cache.entries[nativeName] = entry;
    cache.Trim(nativeName);
    return entry.parsed;
}

}  // namespace

bool CIniReader::TryReadValue(const std::string& section, const std::string& key,
                              const std::string& fileName, std::string& value) {
    std::string reason;
    std::shared_ptr<const ParsedFile> parsed = Load(fileName, reason);
    if (!parsed) return false;
    auto foundSection = parsed->sections.find(QueryName(section));
    if (foundSection == parsed->sections.end()) return false;
    const std::string name = QueryName(key);
    const auto begin = parsed->keys.begin() + foundSection->second.first;
    const auto end = begin + foundSection->second.count;
    const auto found = std::lower_bound(begin, end, name, [&parsed](const KeyEntry& entry, const std::string& wanted) {
        return parsed->Name(entry) < wanted;
    });
    if (found == end || parsed->Name(*found) != name || found->valueLength == NO_VALUE) return false;
    value = std::string(parsed->Value(*found));
    return true;
}

std::string CIniReader::ReadValue(const std::string& section, const std::string& key,
                                  const std::string& defaultValue, const std::string& fileName) {
    std::string value;
    if (TryReadValue(section, key, fileName, value)) return value;
    // The default goes through the same 1024-unit buffer as a value would.
    std::string text = UpToNul(defaultValue);
    if (text.size() > MAX_VALUE_LENGTH) text.resize(MAX_VALUE_LENGTH);
    return text;
}

bool CIniReader::CheckFile(const std::string& fileName, std::string& reason) {
    std::string why;
    if (Load(fileName, why) || why.empty()) return true;
    reason = why;
    return false;
}

void CIniReader::HoldFile(const std::string& fileName) {
    ReleaseFile();
    held.parsed = LoadFromDisk(fileName, held.refusal);
    held.name = fileName;
    held.active = true;
}

void CIniReader::ReleaseFile() {
    held.active = false;
    held.parsed.reset();
    held.name.clear();
    held.refusal.clear();
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
    c.bytes = 0;
    c.parseCount = 0;
}

void CIniReader::SetEntryLimitForTesting(std::size_t limit) {
    entryLimit.store(limit, std::memory_order_relaxed);
}

std::string CIniReader::DecodeText(std::string bytes, bool& wide) {
    DecodedText decoded = DecodeFile(std::move(bytes));
    wide = decoded.wide;
    return std::move(decoded.text);
}

std::string CIniReader::Narrow(const std::string& text, bool wide) {
    bool latin1 = true;
    return wide ? NarrowWide(text, latin1) : text;
}

std::size_t CIniReader::ReadCharacter(const std::string& text, std::size_t pos, std::uint32_t& codePoint) {
    const auto lead = static_cast<unsigned char>(text[pos]);
    if (lead < 0x80) {
        codePoint = lead;
        return 1;
    }
    std::size_t tail = 0;
    unsigned char low = 0x80, high = 0xBF;  // range of the first continuation byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        tail = 1;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        tail = 2;
        if (lead == 0xE0) low = 0xA0;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        tail = 3;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    } else {
        return 0;
    }
    if (pos + tail >= text.size()) return 0;
    std::uint32_t value = lead & (0x3F >> tail);
    for (std::size_t i = 1; i <= tail; ++i) {
        const auto c = static_cast<unsigned char>(text[pos + i]);
        if (c < (i == 1 ? low : 0x80) || c > (i == 1 ? high : 0xBF)) return 0;
        value = value << 6 | (c & 0x3F);
    }
    codePoint = value;
    return tail + 1;
}

bool CIniReader::ScanLines(const std::string& text, const std::function<bool(Line&)>& visit) {
    Line line;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t lineEnd = text.find_first_of("\r\n", pos);
        if (lineEnd == std::string::npos) lineEnd = text.size();
        std::size_t begin = pos;
        const std::size_t end = lineEnd;
        pos = lineEnd + 1;
        // CR LF ends one line (the empty line between them would be passed over anyway).
        if (lineEnd < text.size() && text[lineEnd] == '\r' && pos < text.size() && text[pos] == '\n') ++pos;
        ++line.number;
        while (begin < end && IsBlank(text[begin])) ++begin;
        if (begin == end || text[begin] == ';') continue;

        if (text[begin] == '[') {
            std::size_t close = end - 1;
            while (close > begin && text[close] != ']') --close;
            if (close > begin) {
                line.header = true;
                line.name = Field(text, begin + 1, close);
                line.value.clear();
                line.hasValue = line.quoted = false;
                if (!visit(line)) return false;
                continue;
            }
            // No ']': not a header, read on as an ordinary line.
        }
        // A line without '=' is a key without a value: it yields the default, and
        // as the first of its name it hides a later key of that name.
        const std::size_t equals = FindIn(text, begin, end, '=');
        line.header = false;
        line.name = Field(text, begin, equals);
        line.hasValue = equals != end;
        line.value = line.hasValue ? Field(text, equals + 1, end) : std::string();
        line.quoted = line.value.size() >= 2 && (line.value[0] == '"' || line.value[0] == '\'') &&
                      line.value.back() == line.value[0];
        if (line.quoted) line.value = line.value.substr(1, line.value.size() - 2);
        if (!visit(line)) return false;
    }
    return true;
}
