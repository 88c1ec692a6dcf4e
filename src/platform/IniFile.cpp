#include "platform/IniFile.h"

#include <algorithm>
#include <cctype>
#include <optional>
#include <string_view>
#include <vector>

#include "platform/FileSystem.h"

namespace platform {
namespace {

std::string_view trim(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    return text;
}

bool sameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(std::move(line));
        start = end + 1;
    }
    return lines;
}

std::optional<std::string> sectionName(std::string_view line) {
    line = trim(line);
    if (line.size() < 2 || line.front() != '[' || line.back() != ']') return std::nullopt;
    return std::string(trim(line.substr(1, line.size() - 2)));
}

// Key of a "key=value" line, or nothing for comments and other lines.
std::optional<std::string_view> keyOf(std::string_view line) {
    const std::string_view trimmed = trim(line);
    if (trimmed.empty() || trimmed.front() == ';') return std::nullopt;
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) return std::nullopt;
    return trim(line.substr(0, equals));
}

std::string quotedIfNeeded(const std::string& value) {
    const bool blankAtEnds = !value.empty() && (std::isspace(static_cast<unsigned char>(value.front())) ||
                                                std::isspace(static_cast<unsigned char>(value.back())));
    const bool looksQuoted = value.size() >= 2 && value.front() == '"' && value.back() == '"';
    return blankAtEnds || looksQuoted ? "\"" + value + "\"" : value;
}

}  // namespace

std::string readIniValue(const std::string& path, const std::string& section, const std::string& key) {
    std::string text;
    try {
        if (!fileExists(path)) return {};
        text = readFile(path);
    } catch (const std::exception&) {
        return {};
    }
    bool inSection = false;
    for (const std::string& line : splitLines(text)) {
        if (const auto name = sectionName(line)) {
            inSection = sameName(*name, section);
            continue;
        }
        if (!inSection) continue;
        const auto lineKey = keyOf(line);
        if (!lineKey || !sameName(*lineKey, key)) continue;
        std::string_view value = trim(std::string_view(line).substr(line.find('=') + 1));
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"') value = value.substr(1, value.size() - 2);
        return std::string(value);
    }
    return {};
}

void writeIniValue(const std::string& path, const std::string& section, const std::string& key,
                   const std::string& value) {
    std::vector<std::string> lines;
    if (fileExists(path)) {
        try {
            lines = splitLines(readFile(path));
        } catch (const std::exception&) {
            lines.clear();  // an unreadable file is replaced by one holding the key
        }
    }
    const std::string entry = key + "=" + quotedIfNeeded(value);

    bool inSection = false;
    std::optional<std::size_t> sectionEnd;  // index after the last line of the section
    bool written = false;
    for (std::size_t i = 0; i < lines.size() && !written; ++i) {
        if (const auto name = sectionName(lines[i])) {
            if (inSection) break;
            inSection = sameName(*name, section);
            if (inSection) sectionEnd = i + 1;
            continue;
        }
        if (!inSection) continue;
        if (!trim(lines[i]).empty()) sectionEnd = i + 1;
        const auto lineKey = keyOf(lines[i]);
        if (lineKey && sameName(*lineKey, key)) {
            lines[i] = entry;
            written = true;
        }
    }
    if (!written) {
        if (sectionEnd) {
            lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(*sectionEnd), entry);
        } else {
            if (!lines.empty() && !trim(lines.back()).empty()) lines.emplace_back();
            lines.push_back("[" + section + "]");
            lines.push_back(entry);
        }
    }

    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    writeFileAtomically(path, text);
}

}  // namespace platform
