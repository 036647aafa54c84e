#pragma once

#include <algorithm>
#include <cstddef>
#include <iterator>
#include <utility>
#include <vector>

namespace trellisk {

// A sequence that stays cheap to insert into and erase from in the middle when it holds a
// hundred thousand rows: rows live in chunks of bounded size, so an insertion moves at most
// one chunk's rows and the start positions of the chunks after it.
template <class T> class ChunkedVector {
public:
    class const_iterator {
    public:
        using iterator_category = std::random_access_iterator_tag;
        using value_type = T;
        using difference_type = std::ptrdiff_t;
        using pointer = const T*;
        using reference = const T&;

        const_iterator() = default;
        const_iterator(const ChunkedVector* owner, std::size_t at) : owner_(owner), at_(at) {}
        reference operator*() const { return (*owner_)[at_]; }
        pointer operator->() const { return &(*owner_)[at_]; }
        reference operator[](difference_type n) const { return *(*this + n); }
        const_iterator& operator++() {
            ++at_;
            return *this;
        }
        const_iterator operator++(int) {
            const_iterator before = *this;
            ++at_;
            return before;
        }
        const_iterator& operator--() {
            --at_;
            return *this;
        }
        const_iterator operator--(int) {
            const_iterator before = *this;
            --at_;
            return before;
        }
        const_iterator& operator+=(difference_type n) {
            at_ = static_cast<std::size_t>(static_cast<difference_type>(at_) + n);
            return *this;
        }
        const_iterator& operator-=(difference_type n) { return *this += -n; }
        friend const_iterator operator+(const_iterator it, difference_type n) { return it += n; }
        friend const_iterator operator+(difference_type n, const_iterator it) { return it += n; }
        friend const_iterator operator-(const_iterator it, difference_type n) { return it -= n; }
        friend difference_type operator-(const const_iterator& a, const const_iterator& b) {
            return static_cast<difference_type>(a.at_) - static_cast<difference_type>(b.at_);
        }
        friend bool operator==(const const_iterator& a, const const_iterator& b) {
            return a.at_ == b.at_;
        }
        friend auto operator<=>(const const_iterator& a, const const_iterator& b) {
            return a.at_ <=> b.at_;
        }

    private:
        const ChunkedVector* owner_ = nullptr;
        std::size_t at_ = 0;
    };

    [[nodiscard]] std::size_t size() const { return size_; }
    [[nodiscard]] bool empty() const { return size_ == 0; }
    [[nodiscard]] const_iterator begin() const { return {this, 0}; }
    [[nodiscard]] const_iterator end() const { return {this, size_}; }

    [[nodiscard]] const T& operator[](std::size_t at) const {
        const std::size_t c = chunkOf(at);
        return chunks_[c][at - starts_[c]];
    }
    [[nodiscard]] T& operator[](std::size_t at) {
        const std::size_t c = chunkOf(at);
        return chunks_[c][at - starts_[c]];
    }

    void insert(std::size_t at, T value) {
        if (chunks_.empty()) {
            chunks_.emplace_back().reserve(kChunkRows);
            starts_.push_back(0);
        }
        // Past the end goes into the last chunk.
        const std::size_t c = at == size_ ? chunks_.size() - 1 : chunkOf(at);
        std::vector<T>& chunk = chunks_[c];
        chunk.insert(chunk.begin() + static_cast<std::ptrdiff_t>(at - starts_[c]),
                     std::move(value));
        ++size_;
        if (chunk.size() > kChunkRows)
            split(c);
        renumberFrom(c + 1);
    }

    // Erases rows [first, last).
    void erase(std::size_t first, std::size_t last) {
        while (last > first) {
            const std::size_t c = chunkOf(last - 1);
            const std::size_t from = std::max(first, starts_[c]);
            std::vector<T>& chunk = chunks_[c];
            chunk.erase(chunk.begin() + static_cast<std::ptrdiff_t>(from - starts_[c]),
                        chunk.begin() + static_cast<std::ptrdiff_t>(last - starts_[c]));
            size_ -= last - from;
            last = from;
            if (chunk.empty()) {
                chunks_.erase(chunks_.begin() + static_cast<std::ptrdiff_t>(c));
                starts_.erase(starts_.begin() + static_cast<std::ptrdiff_t>(c));
            }
            renumberFrom(c);
        }
    }

    void clear() {
        chunks_.clear();
        starts_.clear();
        size_ = 0;
    }

private:
    static constexpr std::size_t kChunkRows = 512;

    [[nodiscard]] std::size_t chunkOf(std::size_t at) const {
        return static_cast<std::size_t>(std::upper_bound(starts_.begin(), starts_.end(), at) -
                                        starts_.begin()) -
               1;
    }

    void split(std::size_t c) {
        std::vector<T>& full = chunks_[c];
        std::vector<T> upper;
        upper.reserve(kChunkRows);
        const auto middle = full.begin() + static_cast<std::ptrdiff_t>(full.size() / 2);
        std::move(middle, full.end(), std::back_inserter(upper));
        full.erase(middle, full.end());
        chunks_.insert(chunks_.begin() + static_cast<std::ptrdiff_t>(c + 1), std::move(upper));
        starts_.insert(starts_.begin() + static_cast<std::ptrdiff_t>(c + 1), 0);
    }

    void renumberFrom(std::size_t c) {
        for (; c < chunks_.size(); ++c)
            starts_[c] = c == 0 ? 0 : starts_[c - 1] + chunks_[c - 1].size();
    }

    std::vector<std::vector<T>> chunks_;
    std::vector<std::size_t> starts_; // position of each chunk's first row
    std::size_t size_ = 0;
};

} // namespace trellisk
