#include "store/MeetingMap.h"

#include <utility>

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
        m_count = other.m_count;
        m_inserted = other.m_inserted;
        other.m_heads.fill(nullptr);
        other.m_slots.clear();
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
    for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
        const Slot& slot = m_slots[i];
        if (slot.entry == nullptr) {
            return m_slots.size();
        }
        if (slot.hash == hash && slot.entry->Key() == key) {
            return i;
        }
    }
}

void CMeetingMap::Rehash(std::size_t slotCount) {
    std::vector<Slot> old = std::exchange(m_slots, std::vector<Slot>(slotCount));
    const std::size_t mask = slotCount - 1;
    for (Slot& slot : old) {
        if (slot.entry != nullptr) {
            std::size_t i = slot.hash & mask;
            while (m_slots[i].entry != nullptr) {
                i = (i + 1) & mask;
            }
            m_slots[i] = std::move(slot);
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
    return i < m_slots.size() ? m_slots[i].entry.get() : nullptr;
}

void CMeetingMap::LinkAtHead(Entry& entry, std::size_t bucket) {
    // Later insertions get smaller ranks, so that within a chain the newest comes first.
    constexpr int bucketShift = 58;
    constexpr std::uint64_t ageMask = (std::uint64_t{1} << bucketShift) - 1;
    entry.m_rank = (std::uint64_t{bucket} << bucketShift) | (ageMask - (m_inserted++ & ageMask));
    Entry*& head = m_heads[bucket];
    entry.prev = nullptr;
    entry.next = head;
    if (head != nullptr) {
        head->prev = &entry;
    }
    head = &entry;
}

const CMeetingMap::Entry& CMeetingMap::SetAt(std::string_view key, const CMeeting& value) {
    return SetAt(key, CMeeting(value));
}

const CMeetingMap::Entry& CMeetingMap::SetAt(std::string_view key, CMeeting&& value) {
    // `key` may view value.id, which the move below empties: everything it decides comes first.
    const std::size_t hash = IndexHash(key);
    const std::size_t bucket = BucketOf(key);
    if (const std::size_t i = SlotOf(key, hash); i < m_slots.size()) {
        Entry& entry = *m_slots[i].entry;
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
    Entry* entry = owned.get();
    const std::size_t mask = m_slots.size() - 1;
    std::size_t i = hash & mask;
    while (m_slots[i].entry != nullptr) {
        i = (i + 1) & mask;
    }
    m_slots[i] = Slot{hash, std::move(owned)};
    ++m_count;
    LinkAtHead(*entry, bucket);
    return *entry;
}

const CMeetingMap::Entry& CMeetingMap::SetAt(std::unique_ptr<Entry> owned) {
    const std::string& key = owned->value.id;
    const std::size_t hash = IndexHash(key);
    if (const std::size_t i = SlotOf(key, hash); i < m_slots.size()) {
        Entry& entry = *m_slots[i].entry;
        entry.value = std::move(owned->value);
        entry.m_otherKey.reset();
        return entry;
    }
    Reserve(m_count + 1);
    owned->m_otherKey.reset();
    Entry* entry = owned.get();
    const std::size_t mask = m_slots.size() - 1;
    std::size_t i = hash & mask;
    while (m_slots[i].entry != nullptr) {
        i = (i + 1) & mask;
    }
    const std::size_t bucket = BucketOf(key);
    m_slots[i] = Slot{hash, std::move(owned)};
    ++m_count;
    LinkAtHead(*entry, bucket);
    return *entry;
}

bool CMeetingMap::RemoveKey(std::string_view key) {
    std::size_t i = SlotOf(key, IndexHash(key));
    if (i >= m_slots.size()) {
        return false;
    }
    std::unique_ptr<Entry> entry = std::move(m_slots[i].entry);
    if (entry->prev != nullptr) {
        entry->prev->next = entry->next;
    } else {
        m_heads[BucketOf(entry->Key())] = entry->next;
    }
    if (entry->next != nullptr) {
        entry->next->prev = entry->prev;
    }
    // Close the gap: pull back every later slot of the run that may now sit nearer its home.
    const std::size_t mask = m_slots.size() - 1;
    for (std::size_t j = (i + 1) & mask; m_slots[j].entry != nullptr; j = (j + 1) & mask) {
        const std::size_t home = m_slots[j].hash & mask;
        const bool between = i <= j ? (i < home && home <= j) : (i < home || home <= j);
        if (!between) {
            m_slots[i] = std::move(m_slots[j]);
            i = j;
        }
    }
    --m_count;
    return true;
}

void CMeetingMap::RemoveAll() {
    m_heads.fill(nullptr);
    m_slots.clear();
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
