#pragma once

#include <cstddef>
#include <random>
#include <string>
#include <vector>

// Texts as people write them, for the benchmarks' meetings: words from a vocabulary of 3,000
// of ordinary minutes, the first 200 far more common, drawn from a fixed seed so that every run
// writes the same folder.
class CMeetingTexts {
public:
    CMeetingTexts() {
        m_words = {"budget",  "cuts",     "review",   "plan",     "quarter",  "report",   "staff",
                   "hiring",  "office",   "move",     "contract", "renewal",  "customer", "launch",
                   "product", "design",   "safety",   "audit",    "training", "travel",   "policy",
                   "vote",    "approved", "deferred", "action",   "owner",    "deadline", "room",
                   "kitchen", "roof",     "repair",   "invoice"};
        std::mt19937 random(11);
        const std::string letters = "abcdefghijklmnopqrstuvwxyz";
        while (m_words.size() < 3000) {
            std::string word;
            const int length = 4 + static_cast<int>(random() % 7);
            for (int i = 0; i < length; ++i) {
                word += letters[random() % letters.size()];
            }
            m_words.push_back(word);
        }
    }

    // `count` words with a space between each two.
    std::string Words(int count) {
        std::string text;
        for (int i = 0; i < count; ++i) {
            if (i > 0) {
                text += ' ';
            }
            const std::size_t pick =
                m_random() % 4 == 0 ? m_random() % 200 : m_random() % m_words.size();
            text += m_words[pick];
        }
        return text;
    }
    unsigned Next() { return m_random(); }
    // The vocabulary's `i`th word: past the first 200, a rare one.
    const std::string& Word(std::size_t i) const { return m_words[i]; }

private:
    std::vector<std::string> m_words;
    std::mt19937 m_random{5};
};
