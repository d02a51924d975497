#include "share/CalendarText.h"

#include "ui/TextConversion.h"

#include <QByteArrayView>

#include <charconv>

namespace {

// The text as UTF-8: valid UTF-8 as it is, anything else read as Windows-1252 (as ToQString
// reads it) and converted.
std::string AsUtf8(std::string_view bytes) {
    if (QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())).isValidUtf8()) {
        return std::string(bytes);
    }
    return ToQString(bytes).toUtf8().toStdString();
}

} // namespace

std::string ToCalendarText(std::string_view stored) {
    const std::string utf8 = AsUtf8(stored);
    std::string text;
    text.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(utf8[i]);
        if (c == '\r') {
            // CR LF and a lone CR are both one line break.
            if (i + 1 < utf8.size() && utf8[i + 1] == '\n') {
                ++i;
            }
            text += '\n';
        } else if ((c < 0x20 && c != '\t' && c != '\n') || c == 0x7f) {
            // Other control characters would make the file invalid: other programs refuse it.
            continue;
        } else {
            text += static_cast<char>(c);
        }
    }
    return text;
}

std::string FromCalendarText(std::string_view value) {
    const std::string utf8 = AsUtf8(value);
    std::string text;
    text.reserve(utf8.size() + utf8.size() / 16);
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const char c = utf8[i];
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < utf8.size() && utf8[i + 1] == '\n') {
                ++i;
            }
            text += "\r\n";
        } else {
            text += c;
        }
    }
    return text;
}

namespace {
constexpr char endMark = '|';
}

std::string FramedText(std::string_view text) {
    std::string framed(text);
    framed += endMark;
    return framed;
}

std::string_view UnframedText(std::string_view value) {
    if (!value.empty() && value.back() == endMark) {
        value.remove_suffix(1);
    }
    return value;
}

std::string LeadingBlanksWord(std::string_view text) {
    std::string word;
    for (const char c : text) {
        if (c != ' ' && c != '\t') {
            break;
        }
        word += c == ' ' ? 's' : 't';
    }
    return word;
}

std::string LeadingBlanksFromWord(std::string_view word) {
    std::string blanks;
    for (const char c : word) {
        if (c == 's' || c == 't') {
            blanks += c == 's' ? ' ' : '\t';
        }
    }
    return blanks;
}

std::string EncodeParameterValue(std::string_view value) {
    std::string text;
    text.reserve(value.size());
    for (const char c : value) {
        text += c;
        if (c == '^') {
            text += '^';
        }
    }
    return text;
}

std::string DayCountText(double dayCount) {
    // The shortest text that reads back as the same double, whatever the locale.
    char text[40];
    const auto result = std::to_chars(text, text + sizeof text, dayCount);
    return std::string(text, result.ptr);
}

bool ParseDayCount(std::string_view text, double& dayCount) {
    double value = 0.0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (result.ec != std::errc() || result.ptr != text.data() + text.size()) {
        return false;
    }
    dayCount = value;
    return true;
}
