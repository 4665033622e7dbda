#include <gtest/gtest.h>
#include <stdlib.h>

#include <string>

#include "frame/frame.h"

namespace {

struct Buffer : buffer_t {
    Buffer() : buffer_t{} {}
    ~Buffer() { free(data); }
    std::string text() const { return used ? std::string(data, used - 1) : std::string(); }
};

TEST(Buffer, EmptyAppendAllocatesOneBlock) {
    Buffer b;
    ASSERT_EQ(buffer_strappend(&b, ""), 1);
    EXPECT_EQ(b.used, 1u);
    EXPECT_EQ(b.size, 256u);
    EXPECT_EQ(b.data[0], '\0');
}

TEST(Buffer, AppendOverwritesTheTerminator) {
    Buffer b;
    ASSERT_EQ(buffer_strappend(&b, "xyz"), 1);
    EXPECT_EQ(b.used, 4u);
    ASSERT_EQ(buffer_strappend(&b, "abc"), 1);
    EXPECT_EQ(b.used, 7u);
    EXPECT_EQ(b.text(), "xyzabc");
    EXPECT_EQ(buffer_strappend(&b, nullptr), 1);
    EXPECT_EQ(b.used, 7u);
}

TEST(Buffer, GrowsToTheNextMultipleOf256AboveTheNeed) {
    Buffer b;
    ASSERT_EQ(buffer_strappend(&b, std::string(249, 'a').c_str()), 1);
    ASSERT_EQ(b.used, 250u);
    ASSERT_EQ(b.size, 256u);
    ASSERT_EQ(buffer_strappend(&b, "0123456789"), 1);
    EXPECT_EQ(b.size, 512u);
    EXPECT_EQ(b.used, 260u);

    // The need counts the new NUL even though the old one is overwritten: 255 bytes in
    // use leave one free, too few for one more character.
    Buffer c;
    ASSERT_EQ(buffer_strappend(&c, std::string(253, 'b').c_str()), 1);
    ASSERT_EQ(buffer_strappend(&c, "c"), 1);
    EXPECT_EQ(c.used, 255u);
    EXPECT_EQ(c.size, 256u);
    ASSERT_EQ(buffer_strappend(&c, "d"), 1);
    EXPECT_EQ(c.size, 512u);
    EXPECT_EQ(c.text(), std::string(253, 'b') + "cd");
}

TEST(Buffer, GrowthCountsTheNulEvenOnAnEmptyBuffer) {
    // 255 characters plus NUL need exactly 256 bytes: (0 + 256) & ~255 + 256 = 512.
    Buffer b;
    ASSERT_EQ(buffer_strappend(&b, std::string(255, 'q').c_str()), 1);
    EXPECT_EQ(b.size, 512u);
    EXPECT_EQ(b.used, 256u);
}

TEST(Buffer, StrcatnAppendsUntilTheFirstNull) {
    Buffer b;
    ASSERT_EQ(buffer_strcatn(&b, "<a>", "v", "</a>", static_cast<const char *>(nullptr)), 1);
    EXPECT_EQ(b.text(), "<a>v</a>");
    ASSERT_EQ(buffer_strcatn(&b, "<b>", static_cast<const char *>(nullptr), "</b>",
                             static_cast<const char *>(nullptr)), 1);
    EXPECT_EQ(b.text(), "<a>v</a><b>");
}

TEST(Buffer, EscapesMarkupOnly) {
    Buffer b;
    buffer_strcat_xmlescape(&b, "A<B & C>D \"q\" 'a' \xC3\xBC");
    EXPECT_EQ(b.text(), "A&lt;B &amp; C&gt;D \"q\" 'a' \xC3\xBC");
    buffer_strcat_xmlescape(&b, nullptr);
    buffer_strcat_xmlescape(&b, "&");
    EXPECT_EQ(b.text(), "A&lt;B &amp; C&gt;D \"q\" 'a' \xC3\xBC&amp;");
}

TEST(Buffer, EscapedGrowthUsesTheEscapedLength) {
    Buffer b;
    ASSERT_EQ(buffer_strappend(&b, std::string(200, 'x').c_str()), 1);
    buffer_strcat_xmlescape(&b, std::string(20, '&').c_str()); // 100 bytes after escaping
    EXPECT_EQ(b.used, 301u);
    EXPECT_EQ(b.size, 512u);
    EXPECT_EQ(b.text().substr(200), [] {
        std::string s;
        for (int i = 0; i < 20; ++i) s += "&amp;";
        return s;
    }());
}

} // namespace
