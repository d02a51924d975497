#include "calendar/SearchSnippet.h"

#include "search/SearchHit.h"

namespace {

void Append(std::vector<CSnippetRun>& runs, std::string_view bytes, bool marked) {
    if (bytes.empty()) {
        return;
    }
    QString text = QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
    for (QChar& c : text) {
        if (c.category() == QChar::Other_Control) {
            c = QLatin1Char(' ');
        }
    }
    if (!runs.empty() && runs.back().marked == marked) {
        runs.back().text += text;
    } else {
        runs.push_back({text, marked});
    }
}

} // namespace

std::vector<CSnippetRun> SnippetRuns(std::string_view snippet) {
    std::vector<CSnippetRun> runs;
    bool marked = false;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= snippet.size(); ++i) {
        const bool end = i == snippet.size();
        if (!end && snippet[i] != searchMarkBegin && snippet[i] != searchMarkEnd) {
            continue;
        }
        Append(runs, snippet.substr(start, i - start), marked);
        if (!end) {
            marked = snippet[i] == searchMarkBegin;
        }
        start = i + 1;
    }
    return runs;
}
