#include "engine/snapshot/file_table.h"
#include "engine/tables/observable_table.h"

#include <gtest/gtest.h>

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
