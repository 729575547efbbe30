// The large-page hint keeps an unaligned block's contents, whatever its size.
#include "platform/Platform.h"

#include <gtest/gtest.h>

#include <vector>

TEST(LargePagesTest, HintKeepsContents)
{
    for (size_t size : {size_t{0}, size_t{4095}, size_t{3 * 1024 * 1024 + 7}}) {
        std::vector<char> buffer(size + 16);
        for (size_t i = 0; i < buffer.size(); i++)
            buffer[i] = static_cast<char>(i * 7 + 1);
        AdviseLargePages(buffer.data() + 3, size);
        size_t changed = 0;
        for (size_t i = 0; i < buffer.size(); i++)
            changed += buffer[i] != static_cast<char>(i * 7 + 1);
        EXPECT_EQ(changed, 0u) << size;
    }
}
