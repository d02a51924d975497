#include "store/MeetingMap.h"

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
            SetAt((*it)->key, (*it)->value);
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
        m_index = std::move(other.m_index);
        other.m_heads.fill(nullptr);
        other.m_index.clear();
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

const CMeeting* CMeetingMap::Find(std::string_view key) const {
    const auto found = m_index.find(key);
    return found == m_index.end() ? nullptr : &found->second->value;
}

void CMeetingMap::SetAt(std::string_view key, const CMeeting& value) {
    SetAt(key, CMeeting(value));
}

void CMeetingMap::SetAt(std::string_view key, CMeeting&& value) {
    if (const auto found = m_index.find(key); found != m_index.end()) {
        found->second->value = std::move(value);
        return;
    }
    auto owned = std::make_unique<Entry>(std::string(key), std::move(value));
    Entry* entry = owned.get();
    // Index first: should that allocation fail, no chain points at the entry yet.
    m_index.emplace(std::string_view(entry->key), std::move(owned));
    Entry*& head = m_heads[BucketOf(key)];
    entry->next = head;
    if (head != nullptr) {
        head->prev = entry;
    }
    head = entry;
}

bool CMeetingMap::RemoveKey(std::string_view key) {
    const auto found = m_index.find(key);
    if (found == m_index.end()) {
        return false;
    }
    Entry* entry = found->second.get();
    if (entry->prev != nullptr) {
        entry->prev->next = entry->next;
    } else {
        m_heads[BucketOf(key)] = entry->next;
    }
    if (entry->next != nullptr) {
        entry->next->prev = entry->prev;
    }
    m_index.erase(found);
    return true;
}

void CMeetingMap::RemoveAll() {
    m_heads.fill(nullptr);
    m_index.clear();
}

std::vector<std::string> CMeetingMap::GetKeys() const {
    std::vector<std::string> keys;
    keys.reserve(GetCount());
    for (const Entry& entry : *this) {
        keys.push_back(entry.key);
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
