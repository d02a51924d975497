#include "share/ServerSafeText.h"

std::string EscapeOwnValueSeparators(std::string_view text) {
    constexpr std::string_view own = "X-TAVELIN-";
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    bool lineStart = true; // at the start of a logical line (not a fold's continuation)
    bool ownLine = false;  // the current logical line is one of our properties
    bool inValue = false;  // past the name and parameters
    bool inQuotes = false; // inside a quoted parameter value
    bool escaped = false;  // the character before was an escaping backslash
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            out += c;
            const bool fold =
                c == '\n' && i + 1 < text.size() && (text[i + 1] == ' ' || text[i + 1] == '\t');
            if (c == '\n' && !fold) {
                lineStart = true;
            }
            if (fold) {
                out += text[++i]; // the fold's blank belongs to the fold, not the value
            }
            continue;
        }
        if (lineStart) {
            ownLine = text.substr(i, own.size()) == own;
            inValue = inQuotes = escaped = false;
            lineStart = false;
        }
        if (!ownLine) {
            out += c;
            continue;
        }
        if (!inValue) {
            inQuotes = c == '"' ? !inQuotes : inQuotes;
            inValue = c == ':' && !inQuotes;
        } else if (escaped) {
            escaped = false;
        } else if (c == '\\') {
            escaped = true;
        } else if (c == ',' || c == ';') {
            out += '\\';
        }
        out += c;
    }
    return out;
}
