#pragma once

#include <iterator>
#include <memory>
#include <vector>

// Walks a vector of owning pointers and hands out plain, non-owning ones, so
// that a list can own its objects while its callers only look at them.
// Stored is the type the list owns; T the type it hands out (a derived class
// when the list owns through a base with a virtual destructor).
template <class T, class Stored = T> class OwnedPtrIterator {
    using Position = typename std::vector<std::unique_ptr<Stored>>::const_iterator;

public:
    using iterator_category = std::forward_iterator_tag;
    using value_type = T*;
    using difference_type = std::ptrdiff_t;
    using pointer = void;
    using reference = T*;

    explicit OwnedPtrIterator(Position at) : m_at(at) {}
    T* operator*() const { return static_cast<T*>(m_at->get()); }
    OwnedPtrIterator& operator++() {
        ++m_at;
        return *this;
    }
    bool operator==(const OwnedPtrIterator& other) const { return m_at == other.m_at; }
    bool operator!=(const OwnedPtrIterator& other) const { return m_at != other.m_at; }

private:
    Position m_at;
};
