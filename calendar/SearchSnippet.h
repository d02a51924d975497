#pragma once

#include <QString>

#include <string_view>
#include <vector>

// One stretch of a search result's passage: the words the search matched are marked.
struct CSnippetRun {
    QString text;
    bool marked = false;

    friend bool operator==(const CSnippetRun&, const CSnippetRun&) = default;
};

// Splits a passage from the index (UTF-8, matched words between searchMarkBegin and
// searchMarkEnd) into runs for one line: line breaks, tabs and other control characters
// become spaces, an unclosed mark runs to the end, a stray end mark is dropped, and
// neighbouring runs of the same kind are joined.
std::vector<CSnippetRun> SnippetRuns(std::string_view snippet);
