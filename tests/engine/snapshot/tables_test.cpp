#include "engine/snapshot/file_table.h"
#include "engine/tables/observable_table.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <stdexcept>

#include <string>
#include <vector>

namespace trellisk {
namespace {

TEST(FileTable, AppendKeepsNameSizeAndDate) {
    FileTable table;
    table.append("a.txt", 5368709120, 1141517106);
    table.append("", 0, -2);
    ASSERT_EQ(table.count(), 2u);
    EXPECT_EQ(table.name(0), "a.txt");
    EXPECT_EQ(table.size(0), 5368709120u);
    EXPECT_EQ(table.dateKey(0), 1141517106);
    EXPECT_EQ(table.sizeText(0), " 5368709120");
    EXPECT_EQ(table.name(1), "");
}

TEST(FileTable, KeepsNamesOfEveryLengthOverManyBlocks) {
    FileTable table;
    std::vector<std::string> names;
    for (std::size_t i = 0; i < 3000; ++i)
        names.push_back(std::string(i % 800, static_cast<char>('a' + i % 26)) + std::to_string(i));
    for (std::size_t i = 0; i < names.size(); ++i)
        table.append(names[i], i, 2 * static_cast<std::int64_t>(i));
    ASSERT_EQ(table.count(), names.size());
    for (std::size_t i = 0; i < names.size(); ++i) {
        ASSERT_EQ(table.name(i), names[i]) << i;
        ASSERT_EQ(table.size(i), i);
    }
    EXPECT_THROW(table.append(std::string(64 * 1024, 'x'), 0, 0), std::length_error);
    EXPECT_EQ(table.count(), names.size());
}

TEST(FileTable, SharedNamesOutliveTheTableTheyCameFrom) {
    auto base = std::make_unique<FileTable>();
    base->append("one", 1, 2);
    base->append("two", 2, 4);
    FileTable snapshot;
    const FileTable::Run run = base->run(0, 2);
    snapshot.appendNamedAs(run, 1, 20, 40);
    snapshot.append("three", 3, 6);
    snapshot.appendNamedAs(run, 0, 10, 4294967296);
    const auto rows = [&] {
        std::vector<std::string> texts;
        for (std::size_t i = 0; i < snapshot.count(); ++i)
            texts.push_back(std::string(snapshot.name(i)) + "/" + std::to_string(snapshot.size(i)) +
                            "/" + std::to_string(snapshot.dateKey(i)));
        return texts;
    };
    const std::vector<std::string> expected = {"two/20/40", "three/3/6", "one/10/4294967296"};
    EXPECT_EQ(rows(), expected);
    // Cleared and filled again, the base writes its new names elsewhere.
    base->clear();
    base->append(std::string(300, 'x'), 0, 0);
    base->append("zzz", 0, 0);
    EXPECT_EQ(rows(), expected);
    base.reset();
    EXPECT_EQ(rows(), expected);
}

TEST(FileTable, KeepsEveryDateExactlyWhetherNearOrFar) {
    // Even dates of about a century around 1970 fit in a row; the others are kept beside it.
    const std::vector<std::int64_t> dates = {0,          -2,          1141517106, 4294967294,
                                             4294967296, -4294967298, 3,          -1,
                                             INT64_MAX,  INT64_MIN,   2147483646, -4294967296};
    FileTable table;
    for (std::size_t i = 0; i < dates.size(); ++i)
        table.append("f" + std::to_string(i), i, dates[i]);
    for (std::size_t i = 0; i < dates.size(); ++i)
        EXPECT_EQ(table.dateKey(i), dates[i]) << i;
    table.truncate(5);
    table.append("again", 9, 7);
    EXPECT_EQ(table.dateKey(4), 4294967296);
    EXPECT_EQ(table.dateKey(5), 7);
    EXPECT_EQ(table.name(5), "again");
}

TEST(FileTable, AdoptedRowsFollowInOrderAndRunsReadThemInPlace) {
    FileTable table;
    table.append("a", 1, 10);
    FileTable other;
    other.append("b", 2, 20);
    other.append("cc", 3, 4294967296);
    table.adopt(std::move(other));
    EXPECT_TRUE(other.empty());
    table.append("d", 4, 40);
    ASSERT_EQ(table.count(), 4u);

    std::vector<std::string> rows;
    for (std::size_t i = 0; i < table.count(); ++i)
        rows.push_back(std::string(table.name(i)) + "/" + std::to_string(table.size(i)) + "/" +
                       std::to_string(table.dateKey(i)));
    EXPECT_EQ(rows, (std::vector<std::string>{"a/1/10", "b/2/20", "cc/3/4294967296", "d/4/40"}));
    const FileTable::Run run = table.run(1, 2);
    ASSERT_EQ(run.count(), 2u);
    EXPECT_EQ(run.name(1), "cc");
    EXPECT_EQ(run.dateKey(1), 4294967296);

    // Many rows are taken over whole, a few copied: either way they follow in order.
    FileTable large;
    for (std::size_t i = 0; i < 1500; ++i)
        large.append("l" + std::to_string(i), i, 2);
    table.adopt(std::move(large));
    table.append("after", 7, 70);
    ASSERT_EQ(table.count(), 1505u);
    EXPECT_EQ(table.name(4), "l0");
    EXPECT_EQ(table.name(1503), "l1499");
    EXPECT_EQ(table.size(1503), 1499u);
    EXPECT_EQ(table.name(1504), "after");
    EXPECT_EQ(table.run(4, 1500).name(1000), "l1000");

    table.truncate(1); // back into the first part
    table.append("e", 5, 50);
    EXPECT_EQ(table.count(), 2u);
    EXPECT_EQ(table.name(1), "e");
    table.clear();
    EXPECT_TRUE(table.empty());
    table.append("f", 6, 60);
    EXPECT_EQ(table.name(0), "f");
    EXPECT_EQ(table.dateKey(0), 60);
}

// Writes down every notification as one line.
class Recorder : public TableObserver {
public:
    std::vector<std::string> calls;

    void rowsAboutToBeInserted(std::size_t first, std::size_t last) override {
        calls.push_back("about to insert " + std::to_string(first) + "-" + std::to_string(last));
    }
    void rowsInserted() override { calls.emplace_back("inserted"); }
    void rowChanged(std::size_t row) override { calls.push_back("changed " + std::to_string(row)); }
    void rowsAboutToBeRemoved(std::size_t first, std::size_t last) override {
        calls.push_back("about to remove " + std::to_string(first) + "-" + std::to_string(last));
    }
    void rowsRemoved() override { calls.emplace_back("removed"); }
    void aboutToReset() override { calls.emplace_back("about to reset"); }
    void reset() override { calls.emplace_back("reset"); }
    void scrollTo(std::size_t row) override { calls.push_back("scroll " + std::to_string(row)); }
};

TEST(ObservableTable, TellsObserversBeforeAndAfterEachChange) {
    ObservableTable<int> table;
    Recorder recorder;
    table.addObserver(&recorder);
    table.append(10);
    table.insert(0, 5);
    table.change(1, [](int& row) { row = 11; });
    table.remove(0);
    table.clear();
    EXPECT_EQ(recorder.calls,
              (std::vector<std::string>{"about to insert 0-0", "inserted", "about to insert 0-0",
                                        "inserted", "changed 1", "about to remove 0-0", "removed",
                                        "about to reset", "reset"}));
}

TEST(ObservableTable, RemoveIfReportsRunsLastFirst) {
    ObservableTable<int> table;
    for (int row : {0, 1, 2, 3, 4, 5})
        table.append(row);
    Recorder recorder;
    table.addObserver(&recorder);
    table.removeIf([](int row) { return row == 1 || row == 2 || row == 4; });
    EXPECT_EQ(recorder.calls, (std::vector<std::string>{"about to remove 4-4", "removed",
                                                        "about to remove 1-2", "removed"}));
    EXPECT_EQ(std::vector<int>(table.begin(), table.end()), (std::vector<int>{0, 3, 5}));
}

} // namespace
} // namespace trellisk
