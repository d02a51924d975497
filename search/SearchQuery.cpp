#include "search/SearchQuery.h"

#include "ui/TextConversion.h"

#include <QString>

namespace {

bool IsWordCharacter(QChar c) {
    return c.isLetterOrNumber() || c.isMark();
}

} // namespace

std::string MatchExpressionFor(std::string_view words) {
    const QString text = ToQString(words);
    std::string expression;
    qsizetype start = -1;
    const auto endWord = [&](qsizetype end) {
        if (start < 0) {
            return;
        }
        if (!expression.empty()) {
            expression += ' ';
        }
        // A word holds no quote, so quoting it is all the escaping it needs.
        expression += '"';
        expression += FromQString(text.mid(start, end - start));
        expression += "\"*";
        start = -1;
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (IsWordCharacter(text[i]) || (text[i].isSurrogate() && text[i].isHighSurrogate())) {
            if (start < 0) {
                start = i;
            }
        } else if (text[i].isLowSurrogate() && start >= 0) {
            continue;
        } else {
            endWord(i);
        }
    }
    endWord(text.size());
    return expression;
}
