#pragma once

#include "store/Meeting.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// A map from meeting id to record whose enumeration order is part of what users see (the
// order of shortcuts, the order in which lists meet meetings): 17 chains chosen by a fixed
// hash, walked in ascending chain order, newest key first within a chain. A hash index
// beside the chains keeps lookups and inserts constant-time at any size: an open table of
// entries with a byte of each key's hash beside it, so that a lookup passes over other keys
// by that byte and touches only the entry it finds. A removal walks its key's chain.
class CMeetingMap {
public:
    static constexpr std::size_t bucketCount = 17;

    struct Entry {
        explicit Entry(CMeeting v) : value(std::move(v)) {}

        // The key is almost always the record's own id, which is then kept once: ids are one
        // character too long for a string's inline buffer, so a second copy costs a block.
        const std::string& Key() const { return m_otherKey ? *m_otherKey : value.id; }
        // Entries of one map enumerate in ascending rank: the chain, then newest first. It
        // lets a few entries found some other way be put back in enumeration order.
        std::uint64_t Rank() const { return m_rank; }

        CMeeting value;

    private:
        friend class CMeetingMap;

        // Every field counts: a store holds one entry per meeting. An entry is one allocation
        // of 240 bytes with the allocator's own word; one pointer more would make it 256, so
        // the chains link one way and a removal finds its predecessor by walking.
        std::unique_ptr<std::string> m_otherKey; // only when the key is not value.id
        Entry* next = nullptr;
        std::uint64_t m_rank = 0;
    };

    class ConstIterator {
    public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = Entry;
        using difference_type = std::ptrdiff_t;
        using pointer = const Entry*;
        using reference = const Entry&;

        ConstIterator() = default;
        reference operator*() const { return *m_entry; }
        pointer operator->() const { return m_entry; }
        ConstIterator& operator++();
        ConstIterator operator++(int) {
            ConstIterator old = *this;
            ++*this;
            return old;
        }
        friend bool operator==(const ConstIterator& a, const ConstIterator& b) {
            return a.m_entry == b.m_entry;
        }

    private:
        friend class CMeetingMap;
        ConstIterator(const CMeetingMap* map, std::size_t bucket, const Entry* entry)
            : m_map(map), m_bucket(bucket), m_entry(entry) {}

        const CMeetingMap* m_map = nullptr;
        std::size_t m_bucket = 0;
        const Entry* m_entry = nullptr;
    };

    CMeetingMap() = default;
    ~CMeetingMap() = default;
    CMeetingMap(const CMeetingMap& other);
    CMeetingMap& operator=(const CMeetingMap& other);
    CMeetingMap(CMeetingMap&& other) noexcept;
    CMeetingMap& operator=(CMeetingMap&& other) noexcept;

    static std::uint32_t HashKey(std::string_view key);
    static std::size_t BucketOf(std::string_view key) { return HashKey(key) % bucketCount; }

    std::size_t GetCount() const { return m_count; }
    bool IsEmpty() const { return m_count == 0; }

    const CMeeting* Find(std::string_view key) const;
    const Entry* FindEntry(std::string_view key) const;
    bool Contains(std::string_view key) const { return Find(key) != nullptr; }

    // Inserts at the head of the key's chain, or replaces the value where it stands. Returns
    // the entry now holding the value.
    const Entry& SetAt(std::string_view key, const CMeeting& value);
    const Entry& SetAt(std::string_view key, CMeeting&& value);
    // Stores a record made into an entry beforehand (a loader decodes straight into one) under
    // the record's own id: inserted at the head of its chain, or moved over the stored record.
    const Entry& SetAt(std::unique_ptr<Entry> entry);
    // Room for `count` keys in the index, so that a large load does not rehash as it grows.
    void Reserve(std::size_t count);
    bool RemoveKey(std::string_view key);
    void RemoveAll();

    // The keys in enumeration order.
    std::vector<std::string> GetKeys() const;

    ConstIterator begin() const;
    ConstIterator end() const { return {}; }

private:
    ConstIterator FirstFrom(std::size_t bucket) const;
    static std::size_t IndexHash(std::string_view key);
    // The byte of a key's hash kept beside its slot: never 0, which marks an empty slot.
    static std::uint8_t TagOf(std::size_t hash) {
        return static_cast<std::uint8_t>(hash >> (8 * sizeof hash - 7)) + 1;
    }
    // The free slot a new key of this hash goes into.
    std::size_t FreeSlot(std::size_t hash) const;
    // The slot holding `key`, or the slot count when it is absent.
    std::size_t SlotOf(std::string_view key, std::size_t hash) const;
    void Rehash(std::size_t slotCount);
    // Links a new entry in at the head of its chain.
    void LinkAtHead(Entry& entry, std::size_t bucket);
    // Puts a new entry into the free slot `i` and links it in.
    const Entry& Insert(std::size_t i, std::size_t hash, std::unique_ptr<Entry> owned);
    void Unlink(const Entry& entry);

    std::array<Entry*, bucketCount> m_heads{};
    // A power of two in size, at most half full; m_tags[i] is 0 for an empty slot, else
    // TagOf the hash of m_slots[i]'s key.
    std::vector<std::unique_ptr<Entry>> m_slots;
    std::vector<std::uint8_t> m_tags;
    std::size_t m_count = 0;
    std::uint64_t m_inserted = 0; // entries inserted since the map was last empty
};
