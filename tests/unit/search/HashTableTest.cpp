// Creation of the transposition table from Hashtable.ini: the size exponent's
// loose syntax, the default for a missing file and sizes that cannot be had.
// Each test ends with the table of the shipped Hashtable.ini again.
#include "../frontend/FrontendTestSupport.h"

#include <algorithm>
#include <filesystem>

namespace {

class HashTableCreation : public ::testing::Test {
protected:
    std::filesystem::path Folder;

    void SetUp() override
    {
        Folder = std::filesystem::temp_directory_path() / ("talvoran-hash-" + std::to_string(getpid()));
        std::filesystem::create_directories(Folder);
    }
    void TearDown() override
    {
        CreateHashTable(ShippedData("Hashtable.ini"));
        std::filesystem::remove_all(Folder);
    }

    // Creates the table from a file holding the bytes; returns the error output.
    std::string CreateFrom(const std::string& bytes, bool present = true)
    {
        std::string path = (Folder / "Hashtable.ini").string();
        std::filesystem::remove(path);
        if (present) {
            std::FILE* file = std::fopen(path.c_str(), "wb");
            std::fwrite(bytes.data(), 1, bytes.size(), file);
            std::fclose(file);
        }
        CapturedStream errors(2);
        CreateHashTable(path);
        return errors.Text();
    }
};

}  // namespace

TEST_F(HashTableCreation, LeadingDigitsGiveTheExponent)
{
    const struct {
        const char* Bytes;
        int32_t Mask;
    } cases[] = {{"20\n", (1 << 20) - 1}, {"8", 255}, {" 20", 0}, {"260", 15}, {"3 # comment 12", 7}};
    for (const auto& c : cases) {
        EXPECT_EQ(CreateFrom(c.Bytes), "") << c.Bytes;
        EXPECT_EQ(HashMask, c.Mask) << c.Bytes;
        ASSERT_NE(HashTable, nullptr);
        EXPECT_EQ(HashTable[HashMask].Bound, EmptyBound);
    }
}

TEST_F(HashTableCreation, MissingFileGivesTheDefaultSize)
{
    std::string path = (Folder / "Hashtable.ini").string();
    EXPECT_EQ(CreateFrom("", false), "Error: " + path + " not found\n");
    EXPECT_EQ(HashMask, (1 << DefaultHashBits) - 1);
}

TEST_F(HashTableCreation, AnImpossibleSizeFallsBackWithANotice)
{
#ifdef __SANITIZE_ADDRESS__
    GTEST_SKIP() << "the sanitizer's allocator ends the process on a refused allocation";
#endif
    std::string notice = CreateFrom("40");
    EXPECT_EQ(notice.rfind("Error: ", 0), 0u) << notice;
    EXPECT_EQ(std::count(notice.begin(), notice.end(), '\n'), 1);
    ASSERT_NE(HashTable, nullptr);
    EXPECT_GT(HashMask, 0);
    EXPECT_EQ(HashMask & (HashMask + 1), 0) << "a power of two minus one";
}
