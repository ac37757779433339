#include "formats/ProfileText.h"

#include <algorithm>
#include <cctype>
#include <vector>

namespace glyphary::formats {

namespace {

struct Line {
    std::size_t begin = 0; // first byte
    std::size_t end = 0;   // before the line end
    std::size_t next = 0;  // after the line end
};

struct Layout {
    std::vector<Line> lines;
    std::size_t textEnd = 0; // where profile text stops (a NUL byte, or the end)
    std::string newline = "\r\n";
};

Layout layoutOf(Bytes text)
{
    Layout layout;
    const auto nul = std::find(text.begin(), text.end(), std::uint8_t{0});
    layout.textEnd = static_cast<std::size_t>(nul - text.begin());
    std::size_t pos = 0;
    bool sawLf = false;
    bool sawCrLf = false;
    while (pos < layout.textEnd) {
        std::size_t end = pos;
        while (end < layout.textEnd && text[end] != '\n')
            ++end;
        std::size_t next = end < layout.textEnd ? end + 1 : end;
        if (end < layout.textEnd) {
            sawLf = true;
            if (end > pos && text[end - 1] == '\r') {
                sawCrLf = true;
                --end;
            }
        }
        layout.lines.push_back({pos, end, next});
        pos = next;
    }
    if (sawLf && !sawCrLf)
        layout.newline = "\n";
    return layout;
}

std::string_view viewOf(Bytes text, std::size_t begin, std::size_t end)
{
    return {reinterpret_cast<const char*>(text.data()) + begin, end - begin};
}

std::string_view trimmed(std::string_view s)
{
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (!s.empty() && blank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && blank(s.back()))
        s.remove_suffix(1);
    return s;
}

bool sameName(std::string_view a, std::string_view b)
{
    a = trimmed(a);
    b = trimmed(b);
    return a.size() == b.size()
        && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

std::optional<std::string_view> sectionName(std::string_view line)
{
    line = trimmed(line);
    if (line.empty() || line.front() != '[')
        return std::nullopt;
    const auto close = line.find(']');
    return close == std::string_view::npos ? line.substr(1) : line.substr(1, close - 1);
}

struct Found {
    std::optional<std::size_t> section; // index of the header line
    std::size_t sectionEnd = 0;         // index after the section's last non-blank line
    std::optional<std::size_t> key;     // index of the key's line
};

Found find(Bytes text, const Layout& layout, std::string_view section, std::string_view key)
{
    Found found;
    bool inside = false;
    for (std::size_t i = 0; i < layout.lines.size(); ++i) {
        const std::string_view line = viewOf(text, layout.lines[i].begin, layout.lines[i].end);
        if (const auto name = sectionName(line)) {
            if (inside)
                break; // the first section of a name wins, as on Windows
            inside = sameName(*name, section);
            if (inside) {
                found.section = i;
                found.sectionEnd = i + 1;
            }
            continue;
        }
        if (!inside)
            continue;
        const std::string_view content = trimmed(line);
        if (content.empty())
            continue;
        found.sectionEnd = i + 1;
        if (content.front() == ';' || found.key)
            continue;
        if (sameName(content.substr(0, content.find('=')), key))
            found.key = i;
    }
    return found;
}

} // namespace

std::optional<std::string> profileValue(Bytes text, std::string_view section, std::string_view key)
{
    const Layout layout = layoutOf(text);
    const Found found = find(text, layout, section, key);
    if (!found.key)
        return std::nullopt;
    const Line& line = layout.lines[*found.key];
    const std::string_view content = viewOf(text, line.begin, line.end);
    const auto equals = content.find('=');
    if (equals == std::string_view::npos)
        return std::string();
    std::string_view value = trimmed(content.substr(equals + 1));
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        value = value.substr(1, value.size() - 2);
    return std::string(value);
}

ByteVector withProfileValue(Bytes text, std::string_view section, std::string_view key,
                            const std::optional<std::string>& value)
{
    const Layout layout = layoutOf(text);
    const Found found = find(text, layout, section, key);
    const auto keyLine = [&](std::string_view name) {
        std::string line(trimmed(name));
        line += '=';
        line += *value;
        return line;
    };
    const auto splice = [&](std::size_t from, std::size_t to, std::string_view insert) {
        ByteVector out(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(from));
        out.insert(out.end(), insert.begin(), insert.end());
        out.insert(out.end(), text.begin() + static_cast<std::ptrdiff_t>(to), text.end());
        return out;
    };
    if (found.key) {
        const Line& line = layout.lines[*found.key];
        if (!value)
            return splice(line.begin, line.next, {});
        const std::string_view content = viewOf(text, line.begin, line.end);
        return splice(line.begin, line.end, keyLine(content.substr(0, content.find('='))));
    }
    if (!value)
        return ByteVector(text.begin(), text.end());
    if (found.section) {
        const Line& last = layout.lines[found.sectionEnd - 1];
        std::string insert;
        if (last.next == last.end) // the last line had no line end
            insert = layout.newline;
        insert += keyLine(key) + layout.newline;
        return splice(last.next, last.next, insert);
    }
    std::string insert;
    if (layout.textEnd > 0 && text[layout.textEnd - 1] != '\n')
        insert = layout.newline;
    insert += "[" + std::string(section) + "]" + layout.newline + keyLine(key) + layout.newline;
    return splice(layout.textEnd, layout.textEnd, insert);
}

} // namespace glyphary::formats
