#include "engine/log/log_tables.h"

#include <gtest/gtest.h>

#include <clocale>
#include <optional>
#include <string>
#include <vector>

namespace trellisk {
namespace {

// Byte order as the collation, whatever the environment says; the previous one comes back.
class UpdateTableTest : public ::testing::Test {
protected:
    void SetUp() override {
        previous_ = std::setlocale(LC_COLLATE, nullptr);
        std::setlocale(LC_COLLATE, "C");
    }
    void TearDown() override { std::setlocale(LC_COLLATE, previous_.c_str()); }

    void add(const std::string& file, const std::string& folder = "/f/") {
        UpdateRow row;
        row.file = file;
        row.folder = folder;
        table.insertSorted(std::move(row));
    }
    [[nodiscard]] std::vector<std::string> files() const {
        std::vector<std::string> result;
        for (const UpdateRow& row : table)
            result.push_back(row.file + "@" + row.folder);
        return result;
    }

    UpdateTable table;

private:
    std::string previous_;
};

TEST_F(UpdateTableTest, KeepsRowsInOrderOfTheFileName) {
    for (const char* file : {"b", "a.txt", "c", "B", "a"})
        add(file);
    EXPECT_EQ(files(), (std::vector<std::string>{"B@/f/", "a@/f/", "a.txt@/f/", "b@/f/", "c@/f/"}));
    // An equal name goes after the rows of that name, whatever its folder.
    UpdateRow equal;
    equal.file = "a";
    equal.folder = "/e/";
    EXPECT_EQ(table.insertSorted(equal), 2u);
    EXPECT_EQ(table[1].folder, "/f/");
    EXPECT_EQ(table[2].folder, "/e/");
}

TEST_F(UpdateTableTest, FindsTheExactFileAndFolder) {
    EXPECT_EQ(table.find("x.txt", "/f/"), std::nullopt);
    add("y");
    add("x.txt", "/one/");
    add("a");
    add("x.txt", "/two/");
    add("readme.txt");
    ASSERT_EQ(files(), (std::vector<std::string>{"a@/f/", "readme.txt@/f/", "x.txt@/one/",
                                                 "x.txt@/two/", "y@/f/"}));
    const struct {
        const char* file;
        const char* folder;
        std::optional<std::size_t> row;
    } cases[] = {
        {"a", "/f/", 0},
        {"x.txt", "/one/", 2},
        {"x.txt", "/two/", 3},
        {"y", "/f/", 4},
        {"x.txt", "/three/", std::nullopt},
        {"Readme.txt", "/f/", std::nullopt},
        {"readme.txt", "/F/", std::nullopt},
        {"b", "/f/", std::nullopt},
        {"z", "/f/", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(table.find(c.file, c.folder), c.row) << c.file << " in " << c.folder;

    // Rows added in front move the others down.
    add("0");
    add("Y");
    EXPECT_EQ(table.find("x.txt", "/two/"), 5u);
    EXPECT_EQ(table.find("y", "/f/"), 6u);
}

// Writes down every call, with the row count the table had at that moment.
class Recorder : public TableObserver {
public:
    explicit Recorder(const ObservableTable<int>& table) : table_(table) {}
    void rowsAboutToBeInserted(std::size_t first, std::size_t last) override {
        note("aboutToInsert " + std::to_string(first) + "-" + std::to_string(last));
    }
    void rowsInserted() override { note("inserted"); }
    void rowChanged(std::size_t row) override { note("changed " + std::to_string(row)); }
    void rowsAboutToBeRemoved(std::size_t first, std::size_t last) override {
        note("aboutToRemove " + std::to_string(first) + "-" + std::to_string(last));
    }
    void rowsRemoved() override { note("removed"); }
    void aboutToReset() override { note("aboutToReset"); }
    void reset() override { note("reset"); }
    void scrollTo(std::size_t row) override { note("scrollTo " + std::to_string(row)); }

    std::vector<std::string> calls;

private:
    void note(const std::string& call) {
        calls.push_back(call + " [" + std::to_string(table_.count()) + "]");
    }
    const ObservableTable<int>& table_;
};

TEST(ObservableTable, TellsObserversBeforeAndAfterEachChange) {
    ObservableTable<int> table;
    for (int value : {10, 11, 12, 13, 14})
        table.append(value);
    Recorder recorder(table);
    table.addObserver(&recorder);

    table.append(15);
    table.change(1, [](int& value) { value = 21; });
    table.scrollTo(5);
    table.removeIf([](int value) { return value == 21 || value >= 14; });
    std::vector<int> kept(table.begin(), table.end());
    table.clear();

    EXPECT_EQ(kept, (std::vector<int>{10, 12, 13}));
    EXPECT_EQ(recorder.calls, (std::vector<std::string>{
                                  "aboutToInsert 5-5 [5]",
                                  "inserted [6]",
                                  "changed 1 [6]",
                                  "scrollTo 5 [6]",
                                  "aboutToRemove 4-5 [6]",
                                  "removed [4]",
                                  "aboutToRemove 1-1 [4]",
                                  "removed [3]",
                                  "aboutToReset [3]",
                                  "reset [0]",
                              }));
    EXPECT_EQ(table.count(), 0u);

    table.removeObserver(&recorder);
    table.append(1);
    EXPECT_EQ(recorder.calls.size(), 10u);
}

} // namespace
} // namespace trellisk
