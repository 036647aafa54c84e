#pragma once

#include "engine/tables/chunked_vector.h"

#include <algorithm>
#include <cstddef>
#include <utility>
#include <vector>

namespace trellisk {

// Told of every change to an observable table, so that a view can follow without copying.
// The "about to" calls come before the rows change, the others after.
class TableObserver {
public:
    virtual ~TableObserver() = default;
    virtual void rowsAboutToBeInserted(std::size_t first, std::size_t last) = 0;
    virtual void rowsInserted() = 0;
    virtual void rowChanged(std::size_t row) = 0;
    virtual void rowsAboutToBeRemoved(std::size_t first, std::size_t last) = 0;
    virtual void rowsRemoved() = 0;
    virtual void aboutToReset() = 0;
    virtual void reset() = 0;
    // The engine asks for the row to be scrolled into view.
    virtual void scrollTo(std::size_t row) = 0;
};

// An ordered list of rows whose observers hear of every change. Rows are kept in chunks, so
// inserting into or removing from the middle of a long table stays cheap.
template <class Row> class ObservableTable {
public:
    ObservableTable() = default;
    ObservableTable(const ObservableTable&) = delete;
    ObservableTable& operator=(const ObservableTable&) = delete;

    void addObserver(TableObserver* observer) { observers_.push_back(observer); }
    void removeObserver(TableObserver* observer) { std::erase(observers_, observer); }

    [[nodiscard]] std::size_t count() const { return rows_.size(); }
    [[nodiscard]] bool empty() const { return rows_.empty(); }
    [[nodiscard]] const Row& operator[](std::size_t row) const { return rows_[row]; }
    [[nodiscard]] auto begin() const { return rows_.begin(); }
    [[nodiscard]] auto end() const { return rows_.end(); }

    // Returns the position of the new row.
    std::size_t append(Row row) { return insert(rows_.size(), std::move(row)); }

    std::size_t insert(std::size_t at, Row row) {
        notify([&](TableObserver* o) { o->rowsAboutToBeInserted(at, at); });
        rows_.insert(at, std::move(row));
        notify([](TableObserver* o) { o->rowsInserted(); });
        return at;
    }

    // Changes one row in place through `edit(Row&)`.
    template <class Edit> void change(std::size_t row, Edit&& edit) {
        edit(rows_[row]);
        notify([&](TableObserver* o) { o->rowChanged(row); });
    }

    void remove(std::size_t row) {
        notify([&](TableObserver* o) { o->rowsAboutToBeRemoved(row, row); });
        rows_.erase(row, row + 1);
        notify([](TableObserver* o) { o->rowsRemoved(); });
    }

    // Removes every row for which `remove(row)` holds, keeping the order of the others;
    // observers hear of each run of removed rows, last run first.
    template <class Predicate> void removeIf(Predicate&& remove) {
        std::vector<bool> gone(rows_.size());
        for (std::size_t i = 0; i < rows_.size(); ++i)
            gone[i] = remove(rows_[i]);
        for (std::size_t end = rows_.size(); end > 0;) {
            if (!gone[end - 1]) {
                --end;
                continue;
            }
            std::size_t first = end - 1;
            while (first > 0 && gone[first - 1])
                --first;
            notify([&](TableObserver* o) { o->rowsAboutToBeRemoved(first, end - 1); });
            rows_.erase(first, end);
            notify([](TableObserver* o) { o->rowsRemoved(); });
            end = first;
        }
    }

    void clear() {
        notify([](TableObserver* o) { o->aboutToReset(); });
        rows_.clear();
        notify([](TableObserver* o) { o->reset(); });
    }

    void scrollTo(std::size_t row) {
        notify([&](TableObserver* o) { o->scrollTo(row); });
    }

private:
    template <class Call> void notify(Call&& call) {
        for (TableObserver* observer : observers_)
            call(observer);
    }

    ChunkedVector<Row> rows_;
    std::vector<TableObserver*> observers_;
};

} // namespace trellisk
