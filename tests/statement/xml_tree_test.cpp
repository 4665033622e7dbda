#include <gtest/gtest.h>
#include <string.h>
#include <sys/mman.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "statement/xml_tree.h"

namespace tarvo::xml {
namespace {

// Names of every length the tree takes, among them names alike in their first sixteen
// bytes, so that a key that drops a byte or a length lets two of them meet.
const std::vector<std::string> names = {
    "A", "Id", "Amt", "Ntry", "TxDtls", "AmtDtls", "NtryDtls", "RltdPties", "EndToEndId", "AddtlNtryInf",
    "ABCDEFGHIJKLMNOP", "ABCDEFGHIJKLMNOPQ", "ABCDEFGHIJKLMNOPR", "ABCDEFGHIJKLMNOPQRSTUVW",
};

struct Built {
    Tree tree;
    std::vector<uint16_t> nodes; // of names, below node 0
    uint16_t parent = 0;         // a second parent, sharing the children of node 0
};

// A name as the parser hands it over: NUL-terminated, in a buffer that goes on after it.
struct Name {
    explicit Name(const std::string &text) : buffer(64, '\0') { text.copy(buffer.data(), text.size()); }
    operator const char *() const { return buffer.data(); }
    std::vector<char> buffer;
};

Built build() {
    Built b;
    for (const std::string &name : names) b.nodes.push_back(b.tree.walk(0, name));
    b.parent = b.tree.walk(b.nodes[4], "Other");
    b.tree.walk(b.parent, "Own");
    b.tree.share_children(b.parent, 0);
    b.tree.seal();
    return b;
}

TEST(ElementTree, FindsEveryNameAndNothingElse) {
    const Built b = build();
    for (size_t i = 0; i < names.size(); ++i) {
        EXPECT_EQ(b.tree.child(0, Name(names[i])), b.nodes[i]) << names[i];
        EXPECT_EQ(b.tree.child(b.parent, Name(names[i])), b.nodes[i]) << names[i];
    }
    for (const char *absent : {"", "B", "Am", "Amt ", "TxDtl", "ABCDEFGHIJKLMNO", "ABCDEFGHIJKLMNOPS",
                               "ABCDEFGHIJKLMNOPQRSTUVX", "ABCDEFGHIJKLMNOPQRSTUVWX", "ABCDEFGHIJKLMNOPQRSTUVWXYZ"})
        EXPECT_EQ(b.tree.child(0, Name(absent)), -1) << absent;
    EXPECT_EQ(b.tree.child(0, Name("Own")), -1);
    EXPECT_GE(b.tree.child(b.parent, Name("Own")), 0);
}

// A reader that learns the order of children must give the answers of the table
// whatever the order, and keep parents apart that share children.
TEST(ElementTree, LearnedOrderGivesTheTablesAnswers) {
    const Built b = build();
    Tree::Order order;
    const std::vector<std::vector<std::string>> runs = {
        {"Id", "Amt", "Ntry", "Unknown", "EndToEndId"},
        {"Id", "Amt", "Ntry", "EndToEndId"},
        {"Amt", "Id", "ABCDEFGHIJKLMNOPR", "ABCDEFGHIJKLMNOPQ", "Ntry"},
        {"Id", "Amt", "Own", "ABCDEFGHIJKLMNOPQ"},
    };
    for (const uint16_t parent : {uint16_t{0}, b.parent, uint16_t{0}}) {
        for (const auto &run : runs) {
            uint8_t previous = 0;
            for (const std::string &name : run)
                EXPECT_EQ(b.tree.next_child(parent, Name(name), previous, order), b.tree.child(parent, Name(name)))
                    << parent << " " << name;
        }
    }
}

// Names are read eight bytes at a time: a name that ends right before an unreadable
// page must be found without touching it.
TEST(ElementTree, NameAtTheEndOfAPage) {
    const Built b = build();
    const size_t page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
    void *map = mmap(nullptr, 2 * page, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    ASSERT_NE(map, MAP_FAILED);
    char *base = static_cast<char *>(map);
    ASSERT_EQ(mprotect(base + page, page, PROT_NONE), 0);
    Tree::Order order;
    for (size_t i = 0; i < names.size(); ++i) {
        char *name = base + page - names[i].size() - 1;
        memcpy(name, names[i].c_str(), names[i].size() + 1);
        uint8_t previous = 0;
        EXPECT_EQ(b.tree.child(0, name), b.nodes[i]) << names[i];
        EXPECT_EQ(b.tree.next_child(0, name, previous, order), b.nodes[i]) << names[i];
    }
    munmap(map, 2 * page);
}

} // namespace
} // namespace tarvo::xml
