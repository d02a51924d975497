#include "store/DateIndex.h"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <utility>

std::optional<long long> CDateIndex::SecondOf(const CMeeting& record) {
    if (!record.date.IsValid()) {
        return std::nullopt;
    }
    return record.date.ToSerialSeconds();
}

bool CDateIndex::Before(const Item& a, const Item& b) {
    if (a.second != b.second) {
        return a.second < b.second;
    }
    return std::less<const Entry*>{}(a.entry, b.entry);
}

void CDateIndex::Clear() {
    std::vector<Item>().swap(m_items); // the memory too: a load reserves exactly what it needs
    m_sorted = true;
}

void CDateIndex::Rebuild(const CMeetingMap& map) {
    Clear();
    Reserve(map.GetCount());
    for (const Entry& entry : map) {
        Append(entry);
    }
    Sort();
}

void CDateIndex::Reserve(std::size_t count) {
    m_items.reserve(count);
}

void CDateIndex::ReserveOneMore() {
    if (m_items.size() == m_items.capacity()) {
        m_items.reserve(std::max<std::size_t>(16, m_items.size() * 2));
    }
}

void CDateIndex::Append(const Entry& entry) {
    if (const std::optional<long long> second = SecondOf(entry.value)) {
        m_items.push_back({*second, &entry});
        m_sorted = false;
    }
}

void CDateIndex::Sort() {
    std::sort(m_items.begin(), m_items.end(), Before);
    m_sorted = true;
}

void CDateIndex::Insert(const Entry& entry) {
    if (const std::optional<long long> second = SecondOf(entry.value)) {
        const Item item{*second, &entry};
        m_items.insert(std::lower_bound(m_items.begin(), m_items.end(), item, Before), item);
    }
}

void CDateIndex::Erase(const Entry& entry, std::optional<long long> second) {
    if (!second) {
        return;
    }
    const Item item{*second, &entry};
    const auto found = std::lower_bound(m_items.begin(), m_items.end(), item, Before);
    if (found != m_items.end() && found->entry == &entry) {
        m_items.erase(found);
    }
}

void CDateIndex::Refile(const Entry& entry, std::optional<long long> second) {
    if (second != SecondOf(entry.value)) {
        Erase(entry, second);
        Insert(entry);
    }
}

std::vector<const CDateIndex::Entry*> CDateIndex::InBand(long long first, long long end) const {
    std::vector<std::pair<std::uint64_t, const Entry*>> ranked;
    if (first < end && m_sorted) {
        const auto bySecond = [](const Item& item, long long s) { return item.second < s; };
        const auto from = std::lower_bound(m_items.begin(), m_items.end(), first, bySecond);
        const auto to = std::lower_bound(from, m_items.end(), end, bySecond);
        ranked.reserve(static_cast<std::size_t>(to - from));
        for (auto it = from; it != to; ++it) {
            ranked.emplace_back(it->entry->Rank(), it->entry);
        }
    } else if (first < end) {
        for (const Item& item : m_items) {
            const std::optional<long long> second = SecondOf(item.entry->value);
            if (second && *second >= first && *second < end) {
                ranked.emplace_back(item.entry->Rank(), item.entry);
            }
        }
    }
    // The hits come by date; the callers meet meetings in the map's order.
    std::sort(ranked.begin(), ranked.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<const Entry*> found;
    found.reserve(ranked.size());
    for (const auto& [rank, entry] : ranked) {
        found.push_back(entry);
    }
    return found;
}
