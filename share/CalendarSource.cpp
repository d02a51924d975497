#include "share/CalendarSource.h"

#include "share/CalendarParseError.h"

#include <QByteArrayView>
#include <QStringDecoder>

#include <algorithm>
#include <cctype>
#include <optional>

namespace {

// The UTF-16 byte order of a file that is UTF-16, and how many bytes its byte order mark takes.
std::optional<QStringDecoder::Encoding> Utf16Order(std::string_view bytes, std::size_t& bom) {
    const auto at = [bytes](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
    bom = 0;
    if (bytes.size() < 2) {
        return std::nullopt;
    }
    if (at(0) == 0xFF && at(1) == 0xFE) {
        bom = 2;
        return QStringDecoder::Utf16LE;
    }
    if (at(0) == 0xFE && at(1) == 0xFF) {
        bom = 2;
        return QStringDecoder::Utf16BE;
    }
    if (std::toupper(at(0)) == 'B' && at(1) == 0) {
        return QStringDecoder::Utf16LE;
    }
    if (at(0) == 0 && std::toupper(at(1)) == 'B') {
        return QStringDecoder::Utf16BE;
    }
    return std::nullopt;
}

std::string AsUtf8(std::string_view bytes) {
    std::size_t bom = 0;
    const std::optional<QStringDecoder::Encoding> order = Utf16Order(bytes, bom);
    if (!order) {
        return std::string(bytes);
    }
    QStringDecoder decoder(*order, QStringDecoder::Flag::Stateless);
    bytes.remove_prefix(bom);
    const QString text =
        decoder(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
    return text.toUtf8().toStdString();
}

bool NameIs(std::string_view head, std::string_view name) {
    const std::size_t end = std::min(head.find(':'), head.find(';'));
    if (end == std::string_view::npos) {
        return false;
    }
    head = head.substr(0, end);
    return std::equal(head.begin(), head.end(), name.begin(), name.end(), [](char a, char b) {
        return std::toupper(static_cast<unsigned char>(a)) == b;
    });
}

// Counts BEGIN and END lines as libical reads them (unfolded, an END with nothing open
// ignored) and refuses a file that nests too deep.
class CNestingCheck {
public:
    void StartLine() {
        Finish();
        m_head.clear();
    }
    void Add(std::string_view piece) {
        if (m_head.size() < headLength) {
            m_head += piece.substr(0, headLength - m_head.size());
        }
    }
    void Finish() {
        if (NameIs(m_head, "BEGIN")) {
            if (++m_depth > maxCalendarNesting) {
                throw CCalendarParseError("Its entries are nested deeper than any calendar's.");
            }
        } else if (NameIs(m_head, "END") && m_depth > 0) {
            --m_depth;
        }
        m_head.clear();
    }

private:
    static constexpr std::size_t headLength = 8; // "BEGIN:" or "END;" with room
    std::string m_head;
    int m_depth = 0;
};

} // namespace

std::string ParserInput(std::string_view bytes) {
    std::string text = AsUtf8(bytes);
    std::erase(text, '\0');
    std::string input;
    input.reserve(text.size() + text.size() / maxParserLineLength * 3 + 2);
    CNestingCheck nesting;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        end = end == std::string::npos ? text.size() : end + 1;
        std::string_view line(text.data() + start, end - start);
        std::string_view ending;
        const std::size_t content = line.find_last_not_of("\r\n") + 1;
        ending = line.substr(content);
        line = line.substr(0, content);
        if (line.empty() || (line.front() != ' ' && line.front() != '\t')) {
            nesting.StartLine();
            nesting.Add(line);
        } else {
            nesting.Add(line.substr(1));
        }
        // A folded line reads back as the same text: a line break and one blank are dropped.
        constexpr std::size_t piece = maxParserLineLength - 1; // and the blank in front
        for (std::size_t at = 0; at < line.size(); at += piece) {
            input += at == 0 ? "" : "\r\n ";
            input += line.substr(at, piece);
        }
        input += ending;
        start = end;
    }
    nesting.Finish();
    return input;
}
