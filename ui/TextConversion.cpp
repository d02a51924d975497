#include "ui/TextConversion.h"

#include <QStringDecoder>

#include <array>

namespace {

// The printable characters Windows-1252 puts where Latin-1 has control codes (0x80..0x9F);
// the five unused positions keep their code.
constexpr std::array<char16_t, 32> cp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

QString FromWindows1252(std::string_view bytes) {
    QString text;
    text.reserve(static_cast<qsizetype>(bytes.size()));
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        text.append(byte >= 0x80 && byte <= 0x9F ? QChar(cp1252High[byte - 0x80]) : QChar(byte));
    }
    return text;
}

} // namespace

QString ToQString(std::string_view bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
    if (!utf8.hasError()) {
        return text;
    }
    return FromWindows1252(bytes);
}

QString ToShownText(std::string_view bytes) {
    if (bytes.size() <= shownTextLimit) {
        return ToQString(bytes);
    }
    // Step back over UTF-8 continuation bytes so that no character is cut in two; a text in
    // Windows-1252 loses at most three more bytes of a prefix nobody sees in full anyway.
    std::size_t cut = shownTextLimit;
    for (int step = 0; step < 3 && (static_cast<unsigned char>(bytes[cut]) & 0xC0) == 0x80;
         ++step) {
        --cut;
    }
    return ToQString(bytes.substr(0, cut)) + QChar(0x2026);
}

std::string FromQString(const QString& text) {
    return text.toUtf8().toStdString();
}
