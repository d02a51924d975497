#include "app/SkippedFilesNotice.h"

#include <QDir>
#include <QStringDecoder>
#include <QStringList>

#include <algorithm>

namespace {

// The length of the UTF-8 sequence that `lead` starts; 0 for a byte that starts none.
int SequenceLength(unsigned char lead) {
    if (lead >= 0xC2 && lead <= 0xDF) {
        return 2;
    }
    if (lead >= 0xE0 && lead <= 0xEF) {
        return 3;
    }
    if (lead >= 0xF0 && lead <= 0xF4) {
        return 4;
    }
    return 0;
}

QString Escape(unsigned char byte) {
    return QStringLiteral("\\x%1").arg(byte, 2, 16, QLatin1Char('0'));
}

QString ShownPath(const std::filesystem::path& path) {
    return QDir::toNativeSeparators(EscapedFileName(path.native()));
}

} // namespace

QString EscapedFileName(std::string_view bytes) {
    QString text;
    std::size_t at = 0;
    while (at < bytes.size()) {
        const auto byte = static_cast<unsigned char>(bytes[at]);
        if (byte < 0x80) {
            text += byte < 0x20 || byte == 0x7F ? Escape(byte) : QString(QChar(byte));
            ++at;
            continue;
        }
        // Qt judges the sequence (overlong forms, surrogates, truncation); a bad one shows
        // its first byte escaped and the rest is looked at again.
        const auto length = static_cast<std::size_t>(SequenceLength(byte));
        if (length > 0 && at + length <= bytes.size()) {
            QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
            const QString decoded =
                utf8.decode(QByteArrayView(bytes.data() + at, static_cast<qsizetype>(length)));
            if (!utf8.hasError()) {
                text += decoded;
                at += length;
                continue;
            }
        }
        text += Escape(byte);
        ++at;
    }
    return text;
}

CSkippedFilesNotice SkippedFilesNotice(const std::vector<std::filesystem::path>& files) {
    CSkippedFilesNotice notice;
    if (files.empty()) {
        return notice;
    }
    // The scan reads one folder: it is named once and the files by their names, which keeps
    // long paths from wrapping; files of several folders are named by their whole paths.
    const std::filesystem::path folder = files.front().parent_path();
    const bool oneFolder = std::all_of(
        files.begin(), files.end(), [&](const auto& file) { return file.parent_path() == folder; });
    const auto count = static_cast<qsizetype>(files.size());
    QStringList shown;
    for (qsizetype i = 0; i < std::min<qsizetype>(count, noticeNamesShown); ++i) {
        const std::filesystem::path& file = files[static_cast<std::size_t>(i)];
        shown.append(oneFolder ? EscapedFileName(file.filename().native()) : ShownPath(file));
    }
    const QString where = oneFolder ? QStringLiteral(" in %1").arg(ShownPath(folder)) : QString();
    notice.text = count == 1 ? QStringLiteral("1 meeting file%1 is damaged or incomplete and was "
                                              "left out. It has not been changed:")
                                   .arg(where)
                             : QStringLiteral("%1 meeting files%2 are damaged or incomplete and "
                                              "were left out. They have not been changed:")
                                   .arg(count)
                                   .arg(where);
    notice.text += QStringLiteral("\n\n") + shown.join(QLatin1Char('\n'));
    if (count > noticeNamesShown) {
        notice.text += QStringLiteral("\n\nand %1 more (Show Details lists them all).")
                           .arg(count - noticeNamesShown);
        QStringList all;
        all.reserve(count);
        for (const auto& file : files) {
            all.append(ShownPath(file));
        }
        notice.details = all.join(QLatin1Char('\n'));
    }
    return notice;
}
