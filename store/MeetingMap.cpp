#include "store/MeetingMap.h"

#include <utility>

// A meeting's entry is one allocation of 240 bytes with the allocator's own word: see Entry.
static_assert(sizeof(CMeetingMap::Entry) <= 232);

CMeetingMap::CMeetingMap(const CMeetingMap& other) {
    *this = other;
}

CMeetingMap& CMeetingMap::operator=(const CMeetingMap& other) {
    if (this == &other) {
        return *this;
    }
    RemoveAll();
    // Re-inserting each chain from its tail to its head rebuilds the same order.
    for (std::size_t bucket = 0; bucket < bucketCount; ++bucket) {
        std::vector<const Entry*> chain;
        for (const Entry* e = other.m_heads[bucket]; e != nullptr; e = e->next) {
            chain.push_back(e);
        }
        for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
            SetAt((*it)->Key(), (*it)->value);
        }
    }
    return *this;
}

CMeetingMap::CMeetingMap(CMeetingMap&& other) noexcept {
    *this = std::move(other);
}

CMeetingMap& CMeetingMap::operator=(CMeetingMap&& other) noexcept {
    if (this != &other) {
        m_heads = other.m_heads;
        m_slots = std::move(other.m_slots);
        m_tags = std::move(other.m_tags);
        m_count = other.m_count;
        m_inserted = other.m_inserted;
        other.m_heads.fill(nullptr);
        other.m_slots.clear();
        other.m_tags.clear();
        other.m_count = 0;
        other.m_inserted = 0;
    }
    return *this;
}

std::uint32_t CMeetingMap::HashKey(std::string_view key) {
    std::uint32_t hash = 0;
    for (const char c : key) {
        hash = hash * 33u + static_cast<unsigned char>(c);
    }
    return hash;
}

std::size_t CMeetingMap::IndexHash(std::string_view key) {
    return std::hash<std::string_view>{}(key);
}

std::size_t CMeetingMap::SlotOf(std::string_view key, std::size_t hash) const {
    if (m_slots.empty()) {
        return 0;
    }
    const std::size_t mask = m_slots.size() - 1;
    const std::uint8_t tag = TagOf(hash);
    for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
        if (m_tags[i] == 0) {
            return m_slots.size();
        }
        if (m_tags[i] == tag && m_slots[i]->Key() == key) {
            return i;
        }
    }
}

std::size_t CMeetingMap::FreeSlot(std::size_t hash) const {
    const std::size_t mask = m_slots.size() - 1;
    std::size_t i = hash & mask;
    while (m_tags[i] != 0) {
        i = (i + 1) & mask;
    }
    return i;
}

void CMeetingMap::Rehash(std::size_t slotCount) {
    std::vector<std::unique_ptr<Entry>> old =
        std::exchange(m_slots, std::vector<std::unique_ptr<Entry>>(slotCount));
    m_tags.assign(slotCount, 0);
    for (std::unique_ptr<Entry>& entry : old) {
        if (entry != nullptr) {
            const std::size_t hash = IndexHash(entry->Key());
            const std::size_t i = FreeSlot(hash);
            m_tags[i] = TagOf(hash);
            m_slots[i] = std::move(entry);
        }
    }
}

void CMeetingMap::Reserve(std::size_t count) {
    std::size_t slotCount = 16;
    while (slotCount < 2 * count) {
        slotCount *= 2;
    }
    if (slotCount > m_slots.size()) {
        Rehash(slotCount);
    }
}

const CMeeting* CMeetingMap::Find(std::string_view key) const {
    const Entry* entry = FindEntry(key);
    return entry != nullptr ? &entry->value : nullptr;
}

const CMeetingMap::Entry* CMeetingMap::FindEntry(std::string_view key) const {
    const std::size_t i = SlotOf(key, IndexHash(key));
    return i < m_slots.size() ? m_slots[i].get() : nullptr;
}

void CMeetingMap::LinkAtHead(Entry& entry, std::size_t bucket) {
    // Later insertions get smaller ranks, so that within a chain the newest comes first.
    constexpr int bucketShift = 58;
    constexpr std::uint64_t ageMask = (std::uint64_t{1} << bucketShift) - 1;
    entry.m_rank = (std::uint64_t{bucket} << bucketShift) | (ageMask - (m_inserted++ & ageMask));
    entry.next = m_heads[bucket];
    m_heads[bucket] = &entry;
}

const CMeetingMap::Entry& CMeetingMap::Insert(std::size_t i, std::size_t hash,
                                              std::unique_ptr<Entry> owned) {
    Entry& entry = *owned;
    m_tags[i] = TagOf(hash);
    m_slots[i] = std::move(owned);
    ++m_count;
    LinkAtHead(entry, BucketOf(entry.Key()));
    return entry;
}

const CMeetingMap::Entry& CMeetingMap::SetAt(std::string_view key, const CMeeting& value) {
    return SetAt(key, CMeeting(value));
}

const CMeetingMap::Entry& CMeetingMap::SetAt(std::string_view key, CMeeting&& value) {
    // `key` may view value.id, which the move below empties: everything it decides comes first.
    const std::size_t hash = IndexHash(key);
    if (const std::size_t i = SlotOf(key, hash); i < m_slots.size()) {
        Entry& entry = *m_slots[i];
        std::unique_ptr<std::string> otherKey;
        if (key != value.id) {
            otherKey = std::make_unique<std::string>(key);
        }
        entry.value = std::move(value);
        entry.m_otherKey = std::move(otherKey);
        return entry;
    }
    // Room first: should that allocation fail, nothing has changed.
    Reserve(m_count + 1);
    std::unique_ptr<std::string> otherKey;
    if (key != value.id) {
        otherKey = std::make_unique<std::string>(key);
    }
    auto owned = std::make_unique<Entry>(std::move(value));
    owned->m_otherKey = std::move(otherKey);
    return Insert(FreeSlot(hash), hash, std::move(owned));
}

const CMeetingMap::Entry& CMeetingMap::SetAt(std::unique_ptr<Entry> owned) {
    const std::string& key = owned->value.id;
    const std::size_t hash = IndexHash(key);
    if (const std::size_t i = SlotOf(key, hash); i < m_slots.size()) {
        Entry& entry = *m_slots[i];
        entry.value = std::move(owned->value);
        entry.m_otherKey.reset();
        return entry;
    }
    Reserve(m_count + 1);
    owned->m_otherKey.reset();
    return Insert(FreeSlot(hash), hash, std::move(owned));
}

void CMeetingMap::Unlink(const Entry& entry) {
    Entry** link = &m_heads[BucketOf(entry.Key())];
    while (*link != &entry) {
        link = &(*link)->next;
    }
    *link = entry.next;
}

bool CMeetingMap::RemoveKey(std::string_view key) {
    std::size_t i = SlotOf(key, IndexHash(key));
    if (i >= m_slots.size()) {
        return false;
    }
    const std::unique_ptr<Entry> entry = std::move(m_slots[i]);
    m_tags[i] = 0;
    Unlink(*entry);
    // Close the gap: pull back every later slot of the run that may now sit nearer its home.
    const std::size_t mask = m_slots.size() - 1;
    for (std::size_t j = (i + 1) & mask; m_tags[j] != 0; j = (j + 1) & mask) {
        const std::size_t home = IndexHash(m_slots[j]->Key()) & mask;
        const bool between = i <= j ? (i < home && home <= j) : (i < home || home <= j);
        if (!between) {
            m_slots[i] = std::move(m_slots[j]);
            m_tags[i] = std::exchange(m_tags[j], 0);
            i = j;
        }
    }
    --m_count;
    return true;
}

void CMeetingMap::RemoveAll() {
    m_heads.fill(nullptr);
    m_slots.clear();
    m_tags.clear();
    m_count = 0;
    m_inserted = 0;
}

std::vector<std::string> CMeetingMap::GetKeys() const {
    std::vector<std::string> keys;
    keys.reserve(GetCount());
    for (const Entry& entry : *this) {
        keys.push_back(entry.Key());
    }
    return keys;
}

CMeetingMap::ConstIterator CMeetingMap::FirstFrom(std::size_t bucket) const {
    for (; bucket < bucketCount; ++bucket) {
        if (m_heads[bucket] != nullptr) {
            return ConstIterator(this, bucket, m_heads[bucket]);
        }
    }
    return {};
}

CMeetingMap::ConstIterator CMeetingMap::begin() const {
    return FirstFrom(0);
}

CMeetingMap::ConstIterator& CMeetingMap::ConstIterator::operator++() {
    if (m_entry->next != nullptr) {
        m_entry = m_entry->next;
    } else {
        *this = m_map->FirstFrom(m_bucket + 1);
    }
    return *this;
}
